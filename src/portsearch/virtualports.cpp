#include "virtualports.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString virtualPortFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
           + QStringLiteral("/ecu-vantor-ports");
}

QStringList virtualPorts()
{
    QStringList result;
    QDir dir(virtualPortFolder());
    if (!dir.exists())
        return result;
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        // exists() follows the link: a link whose target is gone is skipped.
        if (entry.exists())
            result.append(entry.absoluteFilePath());
    }
    return result;
}

QString portDisplayName(const QString &portName)
{
    const QFileInfo info(portName);
    if (info.isAbsolute()
        && QDir::cleanPath(info.absolutePath()) == QDir::cleanPath(virtualPortFolder()))
        return info.fileName();
    QString shown = portName;
    shown.remove(QStringLiteral("\\\\.\\"));
    return shown;
}
