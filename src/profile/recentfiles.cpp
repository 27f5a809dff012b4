#include "profile/recentfiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity PathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity PathCase = Qt::CaseSensitive;
#endif

int indexOf(const QStringList &files, const QString &path)
{
    for (int i = 0; i < files.size(); ++i) {
        if (files[i].compare(path, PathCase) == 0)
            return i;
    }
    return -1;
}

} // namespace

CRecentFiles::CRecentFiles(QObject *parent)
    : QObject(parent)
{
    // A list edited by hand, or written by another version, is put in shape:
    // absolute paths, each once, at most MaxFiles.
    QStringList files;
    const QStringList stored = QSettings().value(QLatin1String(SettingsKey)).toStringList();
    for (const QString &entry : stored) {
        const QString path = normalised(entry);
        if (!path.isEmpty() && indexOf(files, path) < 0)
            files.append(path);
    }
    m_files = files.mid(0, MaxFiles);
}

QString CRecentFiles::normalised(const QString &path)
{
    if (path.trimmed().isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void CRecentFiles::setFiles(QStringList files)
{
    if (files.size() > MaxFiles)
        files.erase(files.begin() + MaxFiles, files.end());
    if (files == m_files)
        return;
    m_files = files;
    fillMenu();
    emit changed();
}

void CRecentFiles::add(const QString &path)
{
    const QString file = normalised(path);
    if (file.isEmpty())
        return;
    QStringList files = m_files;
    const int at = indexOf(files, file);
    if (at >= 0)
        files.removeAt(at);
    files.prepend(file);
    setFiles(files);
}

void CRecentFiles::remove(const QString &path)
{
    QStringList files = m_files;
    const int at = indexOf(files, normalised(path));
    if (at < 0)
        return;
    files.removeAt(at);
    setFiles(files);
}

void CRecentFiles::save() const
{
    QSettings().setValue(QLatin1String(SettingsKey), m_files);
}

void CRecentFiles::setMenu(QMenu *menu)
{
    m_menu = menu;
    retranslate();
}

QString CRecentFiles::missingFileText(const QString &path) const
{
    return tr("Il file %1 non esiste più ed è stato tolto dai file recenti.")
        .arg(QDir::toNativeSeparators(path));
}

void CRecentFiles::retranslate()
{
    if (m_menu)
        m_menu->setTitle(tr("File recenti"));
    fillMenu();
}

// One entry per file, numbered, with the file name; the whole path shows as
// the status tip. The old entries go later: the one chosen may still be
// delivering its triggered() when its file is added again.
void CRecentFiles::fillMenu()
{
    if (!m_menu)
        return;
    const QList<QAction *> old = m_menu->actions();
    for (QAction *action : old) {
        m_menu->removeAction(action);
        action->deleteLater();
    }
    if (m_files.isEmpty()) {
        m_menu->addAction(tr("Nessun file recente"))->setEnabled(false);
        return;
    }
    for (int i = 0; i < m_files.size(); ++i) {
        const QString path = m_files[i];
        QString name = QFileInfo(path).fileName();
        name.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction *action = m_menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
        action->setStatusTip(QDir::toNativeSeparators(path));
        action->setToolTip(QDir::toNativeSeparators(path));
        connect(action, &QAction::triggered, this, [this, path]() { emit openRequested(path); });
    }
}
