#include "profilefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString &folderOverride()
{
    static QString folder;
    return folder;
}

} // namespace

QString profileFolder()
{
    if (!folderOverride().isEmpty())
        return folderOverride();

    const QFileInfo local(QDir::current(), QStringLiteral("Profili"));
    if (local.isDir())
        return local.absoluteFilePath();

    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    const QString folder = QDir(documents).absoluteFilePath(QStringLiteral("Profili"));
    // A folder that cannot be made leaves the dialogs to start where they can.
    (void)QDir().mkpath(folder);
    return folder;
}

void setProfileFolderOverride(const QString &folder)
{
    folderOverride() = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}
