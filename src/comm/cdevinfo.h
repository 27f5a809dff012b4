#pragma once

#include <QDateTime>
#include <QMetaType>
#include <QString>
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

// The part of a file name that says when and from which ECU a file was made:
// 2026-12-07_105133_HW10_V1.1-R0 (profile backups and datalogs).
inline QString devInfoFileStem(const QDateTime &when, const CDevInfo &info)
{
    return QStringLiteral("%1_HW%2_V%3.%4-R%5")
        .arg(when.toString(QStringLiteral("yyyy-MM-dd_HHmmss")))
        .arg(info.hardware)
        .arg(QLatin1Char(info.versionMajor))
        .arg(QLatin1Char(info.versionMinor))
        .arg(QLatin1Char(info.revision));
}

inline bool sameEcu(const CDevInfo &a, const CDevInfo &b)
{
    return a.hardware == b.hardware && a.cylinders == b.cylinders
           && a.versionMajor == b.versionMajor && a.versionMinor == b.versionMinor
           && a.revision == b.revision;
}

// The ECU's identity as the status bar shows it: "ECU: HW21 - CYL4 -
// V2.0-R3", or without the cylinders when the ECU did not report them.
inline QString ecuIdentityText(const CDevInfo &d)
{
    if (d.cylinders != 0)
        return QStringLiteral("ECU: HW%1 - CYL%2 - V%3.%4-R%5")
            .arg(d.hardware)
            .arg(d.cylinders)
            .arg(QChar::fromLatin1(d.versionMajor))
            .arg(QChar::fromLatin1(d.versionMinor))
            .arg(QChar::fromLatin1(d.revision));
    return QStringLiteral("ECU: HW%1 - V%2.%3-R%4")
        .arg(d.hardware)
        .arg(QChar::fromLatin1(d.versionMajor))
        .arg(QChar::fromLatin1(d.versionMinor))
        .arg(QChar::fromLatin1(d.revision));
}
