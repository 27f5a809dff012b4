#include "cworkbenchviews.h"

#include <QAction>
#include <QDockWidget>
#include <QEvent>
#include <QMainWindow>
#include <QSettings>

namespace {
const QString StateKey = QStringLiteral("Workbench/State");
const QString ChosenKey = QStringLiteral("Workbench/Chosen");
}

CWorkbenchViews::CWorkbenchViews(QMainWindow *window)
    : QObject(window), m_window(window)
{
    window->installEventFilter(this);
}

void CWorkbenchViews::add(QDockWidget *dock)
{
    m_docks << dock;
    dock->hide();
    m_window->addDockWidget(Qt::RightDockWidgetArea, dock, Qt::Vertical);
    connect(dock->toggleViewAction(), &QAction::triggered, this, [this] { m_chosen = true; });
}

void CWorkbenchViews::restore(const QSettings &settings)
{
    m_chosen = settings.value(ChosenKey, false).toBool();
    if (m_chosen)
        m_window->restoreState(settings.value(StateKey).toByteArray());
    else
        follow();
}

void CWorkbenchViews::save(QSettings &settings) const
{
    settings.setValue(StateKey, m_window->saveState());
    settings.setValue(ChosenKey, m_chosen);
}

bool CWorkbenchViews::eventFilter(QObject *object, QEvent *event)
{
    if (object == m_window && event->type() == QEvent::Resize && !m_chosen)
        follow();
    return false;
}

void CWorkbenchViews::follow()
{
    const bool show = m_window->width() >= ShowWidth;
    for (QDockWidget *dock : qAsConst(m_docks))
        dock->setVisible(show);
}
