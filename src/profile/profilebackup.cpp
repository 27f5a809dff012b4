#include "profile/profilebackup.h"

#include "profile/profilecodec.h"
#include "profile/profilefolder.h"

#include <QDir>
#include <QFileInfo>

QString backupFolder()
{
    return QDir(profileFolder()).absoluteFilePath(QStringLiteral("backup"));
}

QString backupFileName(const QDateTime &when, const CDevInfo &info)
{
    return QStringLiteral("%1_HW%2_V%3.%4-R%5.prf")
        .arg(when.toString(QStringLiteral("yyyy-MM-dd_HHmmss")))
        .arg(info.hardware)
        .arg(QLatin1Char(info.versionMajor))
        .arg(QLatin1Char(info.versionMinor))
        .arg(QLatin1Char(info.revision));
}

QString writeBackup(const QString &folder, const QString &name, const QVector<double> &values,
                    int k, QString *error)
{
    const QDir dir(folder);
    (void)dir.mkpath(QStringLiteral(".")); // a folder that cannot be made fails the open
    const QString base = QFileInfo(name).completeBaseName();
    QString path = dir.absoluteFilePath(name);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.absoluteFilePath(QStringLiteral("%1_%2.prf").arg(base).arg(n));

    return writeProfileFile(path, values, k, error) ? path : QString();
}
