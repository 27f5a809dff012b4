#pragma once

#include <QObject>
#include <QString>
#include <QVector>

class QAbstractButton;
class QAction;
class QKeySequence;
class QMenu;

// Menu commands for the form's buttons, with a key each. A command reads as
// its button does and is enabled exactly when the button is; triggering it
// clicks the button, so what happens is the button's own doing. The menu
// keeps its title in the language installed.
class CButtonActions : public QObject
{
    Q_OBJECT
public:
    explicit CButtonActions(QMenu *menu, QObject *parent = nullptr);

    // A command for the button at the end of the menu.
    QAction *add(QAbstractButton *button, const QKeySequence &shortcut);
    QAction *actionFor(const QAbstractButton *button) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Entry
    {
        QAbstractButton *button;
        QAction *action;
        QString text; // the button's text the command last took
    };

    void follow(Entry &entry);
    void followAll();
    void retranslate();

    QMenu *m_menu;
    QVector<Entry> m_entries;
};
