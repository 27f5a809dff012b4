#pragma once

#include <QLatin1String>

// The names of the commands that need the ECU line or a file dialog. The
// window hands them to the real-time worker (requestCommand), which hands
// them back once the line is free (sgnExecCmd).
namespace EcuCommand {
constexpr QLatin1String FlashRead("FLASH_READ");
constexpr QLatin1String FlashWrite("FLASH_WRITE");
constexpr QLatin1String LoadProfile("LOAD_PROFILE");
constexpr QLatin1String SaveProfile("SAVE_PROFILE");
constexpr QLatin1String SaveProfileAndSend("SAVE_PROFILE_AND_SEND");
// Handed back once the test-bench switch-off queued before it has gone out.
constexpr QLatin1String BenchOffForExit("BENCH_OFF_FOR_EXIT");
} // namespace EcuCommand
