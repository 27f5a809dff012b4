#include "cworkbenchviews.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QSettings>

// A view's content in a scroll area that asks for the content's whole size
// unless it is scrolled: then it asks for little more than its scroll bars,
// and the view takes the room it is given.
class CViewScroll : public QScrollArea
{
public:
    explicit CViewScroll(QWidget *parent) : QScrollArea(parent)
    {
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
        setFocusPolicy(Qt::NoFocus);
        viewport()->setAutoFillBackground(false);
    }
    void setContent(QWidget *content)
    {
        setWidget(content);
        content->setAutoFillBackground(false); // the view's background, as before
    }
    bool isScrolled() const { return m_scrolled; }
    void setScrolled(bool scrolled)
    {
        if (scrolled == m_scrolled)
            return;
        m_scrolled = scrolled;
        updateGeometry();
    }
    QSize sizeHint() const override
    {
        return m_scrolled || !widget() ? QScrollArea::sizeHint()
                                       : widget()->sizeHint().expandedTo(minimumSizeHint());
    }
    QSize minimumSizeHint() const override
    {
        return m_scrolled || !widget()
                   ? QScrollArea::minimumSizeHint()
                   : widget()->minimumSizeHint().expandedTo(widget()->minimumSize());
    }

protected:
    // The content's sizes changed (a text, the table's columns), shown or
    // not: the view's sizes follow, as they did with the content in the
    // view itself.
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (object == widget() && event->type() == QEvent::LayoutRequest && !m_scrolled)
            updateGeometry();
        return QScrollArea::eventFilter(object, event);
    }

private:
    bool m_scrolled = false;
};

namespace {
const QString StateKey = QStringLiteral("Workbench/State");
const QString ChosenKey = QStringLiteral("Workbench/Chosen");

// The keys a widget moves, scrolls or confirms with: plain, or with Shift
// (a line edit extends its selection with it). The window's cursor and
// editing commands sit on some of them.
bool isWidgetKey(const QKeyEvent *key)
{
    if (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        return false;
    }
}

// A frame moved onto the available geometry, as far as it fits.
QRect onto(QRect place, const QRect &available)
{
    place.moveRight(qMin(place.right(), available.right()));
    place.moveBottom(qMin(place.bottom(), available.bottom()));
    place.moveLeft(qMax(place.left(), available.left()));
    place.moveTop(qMax(place.top(), available.top()));
    return place;
}
} // namespace

CWorkbenchViews::CWorkbenchViews(QMainWindow *window)
    : QObject(window), m_window(window), m_designed(window->size())
{
    window->installEventFilter(this);
}

void CWorkbenchViews::add(QDockWidget *dock)
{
    m_docks << dock;
    auto *scroll = new CViewScroll(dock);
    QWidget *content = dock->widget();
    dock->setWidget(scroll);
    if (content)
        scroll->setContent(content);
    m_scrolls << scroll;
    dock->installEventFilter(this);
    dock->hide();
    if (m_docks.size() == 1)
        m_window->addDockWidget(Qt::RightDockWidgetArea, dock, Qt::Horizontal);
    else
        m_window->splitDockWidget(m_docks.at(m_docks.size() - 2), dock, Qt::Horizontal);

    // Shown from the menu, the view shows once the window has made room for
    // it, not before: shown first, it would make the window's layout push
    // the window wider by itself, past the screen, or (without a window
    // manager, which answers such a push later) lay the form out under it.
    auto *action = new QAction(dock->windowTitle(), this);
    action->setCheckable(true);
    action->setMenuRole(QAction::NoRole);
    m_actions << action;
    connect(dock, &QWidget::windowTitleChanged, action, &QAction::setText);
    // Checked while the view is shown, however it came to be shown or
    // hidden (its own close button, the saved layout).
    connect(dock->toggleViewAction(), &QAction::toggled, action, &QAction::setChecked);
    connect(action, &QAction::triggered, this, [this, dock](bool shown) {
        m_chosen = true;
        if (shown) {
            showViews({dock});
        } else {
            dock->hide();
            giveBackRoom();
        }
    });
}

QAction *CWorkbenchViews::showAction(const QDockWidget *dock) const
{
    const int i = m_docks.indexOf(const_cast<QDockWidget *>(dock));
    return i < 0 ? nullptr : m_actions.at(i);
}

void CWorkbenchViews::restore(const QSettings &settings)
{
    m_chosen = settings.value(ChosenKey, false).toBool();
    if (!m_chosen) {
        follow();
        return;
    }
    // The layout saved, fitted to the screen before the window shows: the
    // screen may be smaller than the one it was saved on. (The window is
    // not shown yet: its layout can be measured as it is.)
    m_window->restoreState(settings.value(StateKey).toByteArray());
    const QRect available = availableGeometry();
    if (available.isEmpty())
        return;
    m_window->layout()->invalidate();
    const QSize need = m_window->layout()->totalMinimumSize();
    const QList<QDockWidget *> shown = shownDocks();
    if (!shown.isEmpty()
        && (need.width() > available.width() || need.height() > available.height())) {
        // Laid out again, in a window that first comes back within the
        // screen (never smaller than designed): it had grown for the views
        // on the larger screen.
        for (QDockWidget *dock : shown)
            dock->hide();
        if (!(m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
            const QSize frame = m_window->frameGeometry().size() - m_window->geometry().size();
            const QSize size =
                m_window->size().boundedTo(available.size() - frame).expandedTo(m_designed);
            const QRect place =
                onto(QRect(m_window->frameGeometry().topLeft(), size + frame), available);
            m_fitting = true;
            m_window->resize(size);
            m_window->move(place.topLeft());
            m_fitting = false;
        }
        showViews(shown, false);
    } else {
        m_fitting = true;
        placeWithin(available, need);
        m_fitting = false;
    }
}

void CWorkbenchViews::save(QSettings &settings) const
{
    settings.setValue(StateKey, m_window->saveState());
    settings.setValue(ChosenKey, m_chosen);
}

bool CWorkbenchViews::eventFilter(QObject *object, QEvent *event)
{
    // A key the focus widget did not claim reaches its dock on its way to
    // the window's shortcuts: inside a dock, the widget keeps it.
    if (event->type() == QEvent::ShortcutOverride && object != m_window
        && isWidgetKey(static_cast<QKeyEvent *>(event))) {
        event->accept();
        return true;
    }
    // A view closed by its own button is hidden as from the menu: the user's
    // choice, and once it is hidden the window may give back its room.
    if (event->type() == QEvent::Close && object != m_window) {
        m_chosen = true;
        QTimer::singleShot(0, this, [this] { giveBackRoom(); });
    }
    if (object == m_window && event->type() == QEvent::Resize && !m_chosen && !m_fitting)
        follow();
    if (object == m_window && event->type() == QEvent::ContextMenu) {
        offerMenu(static_cast<QContextMenuEvent *>(event));
        return true;
    }
    return false;
}

// The window's context menu of views, on the menu bar or a view's title
// bar as QMainWindow offers it, with the actions that make room first.
void CWorkbenchViews::offerMenu(const QContextMenuEvent *event)
{
    const QWidget *at = m_window->childAt(event->pos());
    for (const QWidget *w = at; w && w != m_window; w = w->parentWidget()) {
        const auto *dock = qobject_cast<const QDockWidget *>(w);
        if (dock && dock->widget() && (dock->widget() == at || dock->widget()->isAncestorOf(at)))
            return; // on a view's content
        if (dock || qobject_cast<const QMenuBar *>(w)) {
            QMenu menu(m_window);
            menu.addActions(m_actions);
            menu.exec(event->globalPos());
            return;
        }
    }
}

void CWorkbenchViews::follow()
{
    const bool show = m_window->width() >= ShowWidth;
    QList<QDockWidget *> toShow;
    for (QDockWidget *dock : qAsConst(m_docks)) {
        if (!show)
            dock->hide();
        else if (dock->isHidden())
            toShow << dock;
    }
    if (!toShow.isEmpty())
        showViews(toShow);
}

QList<QDockWidget *> CWorkbenchViews::shownDocks() const
{
    QList<QDockWidget *> shown;
    for (QDockWidget *dock : m_docks) {
        if (!dock->isHidden() && !dock->isFloating())
            shown << dock;
    }
    return shown;
}

QRect CWorkbenchViews::availableGeometry() const
{
    if (!m_available.isEmpty())
        return m_available;
    const QScreen *screen = m_window->screen();
    return screen ? screen->availableGeometry() : QRect();
}

void CWorkbenchViews::showViews(const QList<QDockWidget *> &docks, bool keepArrangement)
{
    QList<QDockWidget *> all;
    for (QDockWidget *dock : qAsConst(m_docks)) {
        if (docks.contains(dock) || (!dock->isHidden() && !dock->isFloating()))
            all << dock;
    }
    QList<QDockWidget *> floating;
    for (QDockWidget *dock : docks) {
        if (dock->isFloating())
            floating << dock; // the user's own window: shown where it was
    }
    for (QDockWidget *dock : qAsConst(floating))
        all.removeOne(dock);
    const QRect available = availableGeometry();
    if (!available.isEmpty() && !all.isEmpty()) {
        m_fitting = true;
        // (A last resort is never kept while something better fits.)
        const Arrangement a = keepArrangement && m_arrangement < Arrangement::Scrolled
                                      && fits(m_arrangement, all, available)
                                  ? m_arrangement
                                  : choose(all, available);
        // Scrolled, the views take all the room the screen leaves them.
        placeWithin(available,
                    a == Arrangement::Scrolled ? available.size() : minimumFrameSize(a, all));
        arrange(a, all);
        m_fitting = false;
    }
    for (QDockWidget *dock : docks)
        dock->show();
}

// The room the views need beside or below the form, by arrangement: their
// smallest sizes, the separators between them and the tab bar of tabs.
QSize CWorkbenchViews::minimumFrameSize(Arrangement a, const QList<QDockWidget *> &docks) const
{
    const int separator =
        m_window->style()->pixelMetric(QStyle::PM_DockWidgetSeparatorExtent, nullptr, m_window);
    const int tabBar = m_window->fontMetrics().height() + 16;
    QSize form = m_window->centralWidget()->minimumSizeHint();
    int bars = 0;
    if (const QWidget *menu = m_window->menuWidget())
        bars += menu->sizeHint().height();
    if (const QStatusBar *status = m_window->findChild<QStatusBar *>())
        bars += status->minimumSizeHint().height();
    int widest = 0, tallest = 0, widths = 0, heights = 0;
    for (QDockWidget *dock : docks) {
        dock->ensurePolished();
        // Measured with its content scrolled or whole, as the arrangement
        // has it. (Not its minimumSize(): the dock's layout sets that to
        // what it needed when it last ran.)
        CViewScroll *scroll = m_scrolls.value(m_docks.indexOf(dock));
        const bool scrolled = scroll && scroll->isScrolled();
        if (scroll)
            scroll->setScrolled(a == Arrangement::Scrolled);
        const QSize m = dock->minimumSizeHint();
        if (scroll)
            scroll->setScrolled(scrolled);
        widest = qMax(widest, m.width());
        tallest = qMax(tallest, m.height());
        widths += m.width() + separator;
        heights += m.height() + separator;
    }
    QSize need;
    switch (a) {
    case Arrangement::Columns:
        need = QSize(form.width() + widths, qMax(form.height(), tallest));
        break;
    case Arrangement::Stacked:
        need = QSize(form.width() + separator + widest, qMax(form.height(), heights - separator));
        break;
    case Arrangement::Tabbed:
    case Arrangement::Scrolled:
        need = QSize(form.width() + separator + widest, qMax(form.height(), tallest + tabBar));
        break;
    case Arrangement::Below:
        need = QSize(qMax(form.width(), widest), form.height() + separator + tallest + tabBar);
        break;
    case Arrangement::Floating:
        need = form;
        break;
    }
    const QSize frame = m_window->frameGeometry().size() - m_window->geometry().size();
    return need + QSize(0, bars) + frame;
}

bool CWorkbenchViews::fits(Arrangement a, const QList<QDockWidget *> &docks,
                           const QRect &available) const
{
    const QSize need = minimumFrameSize(a, docks);
    return need.width() <= available.width() && need.height() <= available.height();
}

CWorkbenchViews::Arrangement CWorkbenchViews::choose(const QList<QDockWidget *> &docks,
                                                     const QRect &available) const
{
    for (Arrangement a : {Arrangement::Columns, Arrangement::Stacked, Arrangement::Tabbed,
                          Arrangement::Below, Arrangement::Scrolled}) {
        if (fits(a, docks, available))
            return a;
    }
    return Arrangement::Floating;
}

// A maximised window has the screen already; another one grows up to the
// room needed (its smallest frame), within the screen, and moves to stay on
// it.
void CWorkbenchViews::placeWithin(const QRect &available, const QSize &need)
{
    if (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return;
    const QSize frame = m_window->frameGeometry().size() - m_window->geometry().size();
    const QSize before = m_window->size();
    // Only ever grown, and not past the screen: a window the user made
    // larger keeps its size.
    const QSize size =
        before.expandedTo((need - frame).boundedTo(available.size() - frame));
    if (size == before)
        return;
    const QRect place = onto(QRect(m_window->frameGeometry().topLeft(), size + frame), available);
    m_grownBy += size - before;
    m_window->resize(size);
    if (place.topLeft() != m_window->frameGeometry().topLeft())
        m_window->move(place.topLeft());
}

void CWorkbenchViews::arrange(Arrangement arrangement, const QList<QDockWidget *> &docks)
{
    m_arrangement = arrangement;
    for (QDockWidget *dock : docks) {
        dock->setFloating(arrangement == Arrangement::Floating);
        m_scrolls.at(m_docks.indexOf(dock))->setScrolled(arrangement == Arrangement::Scrolled);
        // Its smallest size follows now, before the window's layout asks.
        dock->layout()->activate();
    }
    if (docks.isEmpty() || arrangement == Arrangement::Floating)
        return;
    QDockWidget *first = docks.first();
    switch (arrangement) {
    case Arrangement::Columns:
    case Arrangement::Stacked: {
        const Qt::Orientation o =
            arrangement == Arrangement::Columns ? Qt::Horizontal : Qt::Vertical;
        m_window->addDockWidget(Qt::RightDockWidgetArea, first, o);
        for (int i = 1; i < docks.size(); ++i)
            m_window->splitDockWidget(docks.at(i - 1), docks.at(i), o);
        break;
    }
    case Arrangement::Tabbed:
    case Arrangement::Scrolled:
    case Arrangement::Below:
        m_window->addDockWidget(arrangement == Arrangement::Below ? Qt::BottomDockWidgetArea
                                                                  : Qt::RightDockWidgetArea,
                                first);
        for (int i = 1; i < docks.size(); ++i)
            m_window->tabifyDockWidget(first, docks.at(i));
        break;
    case Arrangement::Floating:
        break;
    }
}

// Every view hidden: the window goes back to the size it had before they
// took room, unless the user has maximised it meanwhile.
void CWorkbenchViews::giveBackRoom()
{
    if (!shownDocks().isEmpty())
        return;
    const QSize grown = m_grownBy;
    m_grownBy = QSize(0, 0);
    if (grown == QSize(0, 0)
        || (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    m_fitting = true;
    // The window's smallest size still counts the views until its layout
    // has been redone.
    m_window->layout()->invalidate();
    m_window->layout()->activate();
    m_window->resize(m_window->size() - grown);
    m_fitting = false;
}
