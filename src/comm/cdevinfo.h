#pragma once

#include <QMetaType>
#include <QtGlobal>

// The ECU's identity: five consecutive bytes as the ECU reports them.
struct CDevInfo
{
    quint8 hardware = 10;     // hardware version, shown in decimal
    quint8 cylinders = 0;     // 2 or 4, 0 when not reported
    char versionMajor = '1';  // one ASCII character each
    char versionMinor = '1';
    char revision = '0';
};

Q_DECLARE_METATYPE(CDevInfo)
