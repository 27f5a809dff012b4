#include "cacceleratormanager.h"

#include <QAction>
#include <QActionEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QSet>

namespace {

// What the manager last made of an entry: the text it was given, and the
// text with the marker that the entry shows. An entry whose text is no
// longer the one shown has been given a new text.
const char *const OriginalProperty = "vantorMnemonicOriginal";
const char *const ShownProperty = "vantorMnemonicShown";

// A text split into what it reads and the letter its own marker points at.
struct Parsed
{
    QString plain;
    int marker = -1; // index into plain, or -1
};

// A marker points at a letter or digit; a '&' before anything else is a
// literal character that was never escaped.
Parsed parse(const QString &text)
{
    Parsed p;
    p.plain.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('&') || i + 1 >= text.size()) {
            p.plain += c;
            continue;
        }
        const QChar next = text.at(i + 1);
        if (next == QLatin1Char('&')) {
            p.plain += next;
            ++i;
        } else if (next.isLetterOrNumber()) {
            if (p.marker < 0)
                p.marker = p.plain.size();
            // a second marker shows as nothing, as the menus draw it
        } else {
            p.plain += c;
        }
    }
    return p;
}

QString escaped(const QString &plain)
{
    QString out = plain;
    out.replace(QLatin1Char('&'), QLatin1String("&&"));
    return out;
}

// Letters and digits any keyboard types with Alt.
bool usable(QChar c)
{
    return c.unicode() < 128 && c.isLetterOrNumber();
}

bool wordStart(const QString &plain, int i)
{
    return i == 0 || !plain.at(i - 1).isLetterOrNumber();
}

// The first free letter that begins a word, else the first free one.
int chooseMarker(const QString &plain, const QSet<QChar> &used)
{
    for (bool initialsOnly : {true, false}) {
        for (int i = 0; i < plain.size(); ++i) {
            const QChar c = plain.at(i);
            if (usable(c) && (!initialsOnly || wordStart(plain, i)) && !used.contains(c.toUpper()))
                return i;
        }
    }
    return -1;
}

QList<QWidget *> subMenus(QWidget *level)
{
    QList<QWidget *> menus;
    for (QAction *action : level->actions()) {
        if (QMenu *menu = action->menu())
            menus << menu;
    }
    return menus;
}

} // namespace

QString plainText(const QString &text)
{
    return parse(text).plain;
}

QString plainText(const QAction *action)
{
    return action ? plainText(action->text()) : QString();
}

QStringList CAcceleratorManager::assign(const QStringList &texts)
{
    QVector<Parsed> parsed;
    parsed.reserve(texts.size());
    for (const QString &text : texts)
        parsed << parse(text);

    // The entries' own markers first, in order: a letter taken twice goes to
    // the first entry, and the other one gets a letter of its own.
    QSet<QChar> used;
    for (Parsed &p : parsed) {
        if (p.marker < 0)
            continue;
        const QChar key = p.plain.at(p.marker).toUpper();
        if (used.contains(key))
            p.marker = -1;
        else
            used.insert(key);
    }
    QVector<bool> own(parsed.size());
    for (int i = 0; i < parsed.size(); ++i)
        own[i] = parsed[i].marker >= 0;
    for (int i = 0; i < parsed.size(); ++i) {
        Parsed &p = parsed[i];
        if (own[i])
            continue;
        p.marker = chooseMarker(p.plain, used);
        if (p.marker >= 0)
            used.insert(p.plain.at(p.marker).toUpper());
    }

    QStringList out;
    out.reserve(parsed.size());
    for (const Parsed &p : qAsConst(parsed)) {
        if (p.marker < 0)
            out << escaped(p.plain);
        else
            out << escaped(p.plain.left(p.marker)) + QLatin1Char('&')
                       + escaped(p.plain.mid(p.marker));
    }
    return out;
}

CAcceleratorManager::CAcceleratorManager(QMenuBar *bar, QObject *parent)
    : QObject(parent)
    , m_bar(bar)
{
    watch(bar);
    update();

    // F10 opens the first menu. The key belongs to the window the bar sits
    // in; a bar on its own has none to give it to.
    auto *openMenu = new QAction(this);
    openMenu->setObjectName(QStringLiteral("actionApriMenu"));
    openMenu->setShortcut(QKeySequence(Qt::Key_F10));
    openMenu->setShortcutContext(Qt::WindowShortcut);
    if (QWidget *window = bar->parentWidget())
        window->addAction(openMenu);
    connect(openMenu, &QAction::triggered, this, &CAcceleratorManager::openFirstMenu);
}

void CAcceleratorManager::watch(QWidget *level)
{
    level->installEventFilter(this); // installing twice keeps one filter
    for (QWidget *menu : subMenus(level))
        watch(menu);
}

void CAcceleratorManager::update()
{
    updateTree(m_bar);
}

void CAcceleratorManager::updateTree(QWidget *top)
{
    QList<QWidget *> levels{top};
    for (int i = 0; i < levels.size(); ++i) {
        updateLevel(levels.at(i));
        levels << subMenus(levels.at(i));
    }
}

void CAcceleratorManager::updateLevel(QWidget *level)
{
    QList<QAction *> entries;
    QStringList originals;
    for (QAction *action : level->actions()) {
        if (action->isSeparator())
            continue;
        QString original = action->text();
        const QVariant shown = action->property(ShownProperty);
        if (shown.isValid() && shown.toString() == original)
            original = action->property(OriginalProperty).toString();
        if (original.isEmpty())
            continue;
        entries << action;
        originals << original;
    }
    const QStringList marked = assign(originals);

    const QScopedValueRollback<bool> busy(m_busy, true);
    for (int i = 0; i < entries.size(); ++i) {
        QAction *action = entries.at(i);
        action->setProperty(OriginalProperty, originals.at(i));
        action->setProperty(ShownProperty, marked.at(i));
        action->setText(marked.at(i)); // no change, no event
    }
}

bool CAcceleratorManager::eventFilter(QObject *watched, QEvent *event)
{
    auto *level = qobject_cast<QWidget *>(watched);
    if (m_busy || !level)
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged: {
        QAction *action = static_cast<QActionEvent *>(event)->action();
        if (QMenu *menu = action->menu()) {
            watch(menu);
            // A menu built before it was attached brings its entries along.
            if (event->type() == QEvent::ActionAdded)
                updateTree(menu);
        }
        // An entry's state (enabled, checked) changes often, its text seldom.
        if (event->type() == QEvent::ActionAdded
            || action->text() != action->property(ShownProperty).toString())
            updateLevel(level);
        break;
    }
    case QEvent::LanguageChange:
        if (level == m_bar)
            update();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void CAcceleratorManager::openFirstMenu()
{
    for (QAction *action : m_bar->actions()) {
        if (action->menu() && action->isVisible() && action->isEnabled()) {
            m_bar->setActiveAction(action);
            return;
        }
    }
}
