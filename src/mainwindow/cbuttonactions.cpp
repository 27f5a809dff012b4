#include "cbuttonactions.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>

CButtonActions::CButtonActions(QMenu *menu, QObject *parent)
    : QObject(parent)
    , m_menu(menu)
{
    menu->installEventFilter(this);
    // A button's caption changes without an event of its own: the menu
    // takes the captions again before it shows.
    connect(menu, &QMenu::aboutToShow, this, &CButtonActions::followAll);
    retranslate();
}

QAction *CButtonActions::add(QAbstractButton *button, const QKeySequence &shortcut)
{
    auto *action = new QAction(this);
    action->setObjectName(QStringLiteral("action_") + button->objectName());
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, button, &QAbstractButton::click);
    m_entries.append({button, action, QString()});
    follow(m_entries.last());
    m_menu->addAction(action);
    button->installEventFilter(this);
    return action;
}

QAction *CButtonActions::actionFor(const QAbstractButton *button) const
{
    for (const Entry &entry : m_entries) {
        if (entry.button == button)
            return entry.action;
    }
    return nullptr;
}

void CButtonActions::follow(Entry &entry)
{
    entry.action->setEnabled(entry.button->isEnabled());
    // Only a new caption is passed on: the command's own text may carry a
    // mnemonic the button's has not.
    const QString text = entry.button->text();
    if (text != entry.text) {
        entry.text = text;
        entry.action->setText(text);
    }
}

void CButtonActions::followAll()
{
    for (Entry &entry : m_entries)
        follow(entry);
}

void CButtonActions::retranslate()
{
    m_menu->setTitle(tr("Centralina"));
}

bool CButtonActions::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_menu) {
        if (event->type() == QEvent::LanguageChange)
            retranslate();
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::LanguageChange:
    case QEvent::Show:
    case QEvent::Paint: // a new caption repaints the button
        for (Entry &entry : m_entries) {
            if (entry.button == watched)
                follow(entry);
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
