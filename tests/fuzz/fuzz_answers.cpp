// The decoders of the ECU's answers, on anything a line can bring: the probe
// answer of the serial route (an 8-byte frame) and of the HID route (a
// report), the read answer and the poll answer. Input: the answer's bytes.
#include "fuzzcheck.h"

#include "comm/frames.h"
#include "portsearch/hidprobe.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray frame(reinterpret_cast<const char *>(data), static_cast<int>(size));
    auto byteAt = [&](size_t i) -> int { return i < size ? data[i] : 0; };
    const bool probeBytes = size >= 2 && data[0] == AnswerProbe && data[1] == AnswerProbeOk;

    // Serial probe: found only on FA C8.
    FUZZ_CHECK(isProbeFound(frame) == probeBytes);

    // HID probe: the report buffer is zeroed before the read; a read of no
    // bytes (or an error) is never a find, whatever the buffer holds.
    unsigned char report[65] = {};
    const size_t got = size < sizeof report ? size : sizeof report;
    std::memcpy(report, data, got);
    for (int readResult : {static_cast<int>(got), 0, -1}) {
        CDevInfo info;
        const bool found = parseHidProbeAnswer(report, readResult, info);
        FUZZ_CHECK(found == (readResult > 0 && probeBytes));
        const CDevInfo untouched;
        FUZZ_CHECK(info.hardware == (found ? report[2] : untouched.hardware));
        FUZZ_CHECK(info.cylinders == (found ? report[3] : untouched.cylinders));
        FUZZ_CHECK(info.versionMajor == (found ? char(report[4]) : untouched.versionMajor));
        FUZZ_CHECK(info.versionMinor == (found ? char(report[5]) : untouched.versionMinor));
        FUZZ_CHECK(info.revision == (found ? char(report[6]) : untouched.revision));
    }

    // Read answer: the value is byte 1, 0 when the answer is shorter.
    FUZZ_CHECK(readAnswerValue(frame) == byteAt(1));
    FUZZ_CHECK(isAnswer(frame, AnswerRead) == (size > 0 && data[0] == AnswerRead));

    // Poll answer: missing bytes read as 0; the speed is a 16-bit word.
    const PollAnswer poll = decodePollAnswer(frame);
    FUZZ_CHECK(poll.rpm >= 0 && poll.rpm <= 0xFFFF);
    FUZZ_CHECK(poll.rpm == byteAt(5) * 256 + byteAt(4));
    FUZZ_CHECK(poll.adc == byteAt(2));
    FUZZ_CHECK(poll.cellValue == byteAt(3));
    FUZZ_CHECK(poll.cellIndex == byteAt(6));
    return 0;
}
