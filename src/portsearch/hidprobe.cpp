#include "hidprobe.h"

#include "comm/frames.h"

bool parseHidProbeAnswer(const unsigned char *report, int readResult, CDevInfo &info)
{
    if (readResult <= 0 || report[0] != AnswerProbe || report[1] != AnswerProbeOk)
        return false;
    info.hardware = report[2];
    info.cylinders = report[3];
    info.versionMajor = static_cast<char>(report[4]);
    info.versionMinor = static_cast<char>(report[5]);
    info.revision = static_cast<char>(report[6]);
    return true;
}
