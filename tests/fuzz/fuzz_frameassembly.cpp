// Serial answer assembly: bytes arrive one by one and every 8 make a frame;
// each new request (and each newly opened port) restarts the count, so a lost
// or surplus byte cannot misalign the answers that follow.
// Input: pairs (op, byte); an odd op is a new request, an even op a received byte.
#include "fuzzcheck.h"

#include "comm/frames.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray frame;
    int count = 0;
    std::vector<char> sinceRequest; // every byte received since the last request

    for (size_t i = 0; i + 1 < size; i += 2) {
        if (data[i] & 1) {
            count = 0; // the reset a new request makes
            sinceRequest.clear();
            continue;
        }
        const char byte = static_cast<char>(data[i + 1]);
        sinceRequest.push_back(byte);
        const bool complete = pushAnswerByte(frame, count, byte);

        FUZZ_CHECK(count >= 0 && count < FrameSize);
        FUZZ_CHECK(frame.size() <= FrameSize);
        // Frames end exactly on every 8th byte after a request...
        FUZZ_CHECK(complete == (sinceRequest.size() % FrameSize == 0));
        FUZZ_CHECK(count == static_cast<int>(sinceRequest.size() % FrameSize));
        if (complete) {
            // ...and hold exactly the last 8 bytes received, nothing older.
            FUZZ_CHECK(frame.size() == FrameSize);
            const char *last = sinceRequest.data() + sinceRequest.size() - FrameSize;
            FUZZ_CHECK(QByteArray(last, FrameSize) == frame);
        }
    }
    return 0;
}
