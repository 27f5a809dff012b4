#pragma once

#include <QList>
#include <QObject>

class QDockWidget;
class QMainWindow;
class QSettings;

// The workbench's views (dock widgets) in the main window: the user shows
// and hides them from the menu, and the window remembers them (its state in
// the settings, written at exit with the geometry). Until the user has shown
// or hidden one himself, the views follow the window's size: hidden at the
// designed size, shown once the window is at least ShowWidth wide.
class CWorkbenchViews : public QObject
{
public:
    static constexpr int ShowWidth = 1400;

    explicit CWorkbenchViews(QMainWindow *window);

    // A view to manage: added to the window's right-hand dock area.
    void add(QDockWidget *dock);
    // At start-up, after the geometry has been restored.
    void restore(const QSettings &settings);
    // At exit, with the geometry.
    void save(QSettings &settings) const;
    bool chosenByUser() const { return m_chosen; }

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void follow();

    QMainWindow *m_window;
    QList<QDockWidget *> m_docks;
    bool m_chosen = false;   // the user showed or hid a view
};
