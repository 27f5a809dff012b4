#pragma once

#include <QString>

// The commands that need the ECU line or a file dialog: the main window asks
// the real-time worker for the line with one of these names and runs it when
// the name comes back.
namespace EcuCommand {
inline const QString FlashRead = QStringLiteral("FLASH_READ");
inline const QString FlashWrite = QStringLiteral("FLASH_WRITE");
inline const QString LoadProfile = QStringLiteral("LOAD_PROFILE");
inline const QString SaveProfile = QStringLiteral("SAVE_PROFILE");
inline const QString SaveProfileAndSend = QStringLiteral("SAVE_PROFILE_AND_SEND");
} // namespace EcuCommand
