#pragma once

#include <QList>
#include <QObject>
#include <QRect>

class QAction;
class QContextMenuEvent;
class QDockWidget;
class QMainWindow;
class QSettings;
class CViewScroll;

// The workbench's views (dock widgets) in the main window: the user shows
// and hides them from the menu, and the window remembers them (its state in
// the settings, written at exit with the geometry). Until the user has shown
// or hidden one himself, the views follow the window's size: hidden at the
// designed size, shown once the window is at least ShowWidth wide.
//
// The views shown fit the screen together with the form, never over it:
// each time one is shown, and at start-up with the saved layout, they are
// laid out beside the form (side by side, else one above the other, else in
// tabs) or, where even that is too wide, in tabs below it; where the screen
// is too small for that too, in tabs beside the form in the room it leaves,
// each view's content scrolled in it. The window grows for them up to the
// screen's available geometry and no further, and moves to stay on it. The
// window is widened before the views are laid out, so that the layout never
// has to push the window past its size itself. When every view is hidden
// again, the window gives back the room it took. Only a screen too small
// even for the form and a narrow column leaves the views floating.
//
// So the menu shows and hides each view through an action of this class
// (showAction()), not the dock's own toggleViewAction(), which would show
// it before the window has made room; the window's context menu of views
// offers the same actions.
//
// Keys belong to the widget that has the focus: while it is in a view, the
// arrows, Home/End, Page Up/Down and Enter (plain or with Shift) are its
// own, never the window's cursor or editing commands.
class CWorkbenchViews : public QObject
{
public:
    static constexpr int ShowWidth = 1400;
    // How the views are placed: beside the form in columns, one above the
    // other, in tabs; in tabs below the form; in tabs beside the form with
    // their content scrolled; floating.
    enum class Arrangement { Columns, Stacked, Tabbed, Below, Scrolled, Floating };

    explicit CWorkbenchViews(QMainWindow *window);

    // A view to manage: added to the window's right-hand dock area, its
    // content put in a scroll area.
    void add(QDockWidget *dock);
    // The menu entry that shows and hides a view added: checked while the
    // view is shown, with the view's title as its text.
    QAction *showAction(const QDockWidget *dock) const;
    // At start-up, after the geometry has been restored.
    void restore(const QSettings &settings);
    // At exit, with the geometry.
    void save(QSettings &settings) const;
    bool chosenByUser() const { return m_chosen; }

    Arrangement arrangement() const { return m_arrangement; }
    // The room the window may take: by default its screen's available
    // geometry (what the desktop's panels leave).
    void setAvailableGeometry(const QRect &available) { m_available = available; }
    // The room the form and these views need in an arrangement: the
    // smallest frame of the window.
    QSize minimumFrameSize(Arrangement a, const QList<QDockWidget *> &docks) const;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void follow();
    // Shows these views with the others shown, in the arrangement kept (when
    // it still fits and keepArrangement) or the first that fits.
    void showViews(const QList<QDockWidget *> &docks, bool keepArrangement = true);
    QRect availableGeometry() const;
    bool fits(Arrangement a, const QList<QDockWidget *> &docks, const QRect &available) const;
    Arrangement choose(const QList<QDockWidget *> &docks, const QRect &available) const;
    void placeWithin(const QRect &available, const QSize &need);
    void arrange(Arrangement arrangement, const QList<QDockWidget *> &docks);
    QList<QDockWidget *> shownDocks() const;
    void giveBackRoom();
    void offerMenu(const QContextMenuEvent *event);

    QMainWindow *m_window;
    const QSize m_designed; // the window's size before anything restored it
    QList<QDockWidget *> m_docks;
    QList<QAction *> m_actions;     // showAction() of each dock, in order
    QList<CViewScroll *> m_scrolls; // the scroll area of each dock, in order
    Arrangement m_arrangement = Arrangement::Columns;
    QRect m_available;       // empty: the screen's
    QSize m_grownBy{0, 0};   // what fitting added to the window's size
    bool m_chosen = false;   // the user showed or hid a view
    bool m_fitting = false;
};
