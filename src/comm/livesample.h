#pragma once

#include <QMetaType>
#include <QtGlobal>

// One answer to a poll while the link is on: what the ECU reports of the
// running engine.
struct CLiveSample
{
    qint64 ms = 0;      // when it arrived, on a monotonic clock (milliseconds)
    int rpm = 0;        // engine speed, revolutions per minute
    int cellIndex = 0;  // the curve cell in use, 0..40
    int cellValue = 0;  // the value the ECU reports for it (a signed byte)
    int adc = 0;        // temperature-probe level, 0..255
};

Q_DECLARE_METATYPE(CLiveSample)
