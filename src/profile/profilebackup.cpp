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
    return devInfoFileStem(when, info) + QStringLiteral(".prf");
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
