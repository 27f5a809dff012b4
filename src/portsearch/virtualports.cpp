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
