#pragma once

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QStringList>

// The profile files loaded or saved last, most recent first: at most
// MaxFiles, each once (by absolute path). The list is read from the settings
// ("RecentFiles", a list of texts) when the object is made and written back
// only by save(), which the window calls at exit with the geometry.
//
// The menu "File recenti" lists them; choosing one emits openRequested().
// When that file is gone the window removes it (remove()) and tells the user
// with missingFileText().
class CRecentFiles : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxFiles = 8;
    static constexpr const char *SettingsKey = "RecentFiles";

    explicit CRecentFiles(QObject *parent = nullptr);

    QStringList files() const { return m_files; }
    // The menu, filled now and whenever the list changes. Not owned.
    QMenu *menu() const { return m_menu; }
    void setMenu(QMenu *menu);
    QString missingFileText(const QString &path) const;

public slots:
    // Puts a file at the top (moving it there when it is listed already).
    void add(const QString &path);
    void remove(const QString &path);
    void save() const;
    void retranslate();

signals:
    void changed();
    void openRequested(const QString &path);

private:
    static QString normalised(const QString &path);
    void setFiles(QStringList files);
    void fillMenu();

    QStringList m_files;
    QPointer<QMenu> m_menu;
};
