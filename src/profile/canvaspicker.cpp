#include "canvaspicker.h"

#include "profile/profilemodel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMouseEvent>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_directpainter.h>
#include <qwt_symbol.h>
#include <cmath>

namespace {
const QPoint CursorStartPos(330, 168); // where a cursor command looks first
constexpr double PickDistance = 10.0;  // pixels
}

CanvasPicker::CanvasPicker(QwtPlot *plot)
    : QObject(plot)
{
    QWidget *c = plot->canvas();
    c->installEventFilter(this);
    c->setCursor(Qt::PointingHandCursor);
    if (QwtPlotCanvas *pc = canvas())
        pc->setFocusIndicator(QwtPlotCanvas::ItemFocusIndicator);
    c->setFocus(Qt::OtherFocusReason);
}

QwtPlot *CanvasPicker::plot() const
{
    return qobject_cast<QwtPlot *>(parent());
}

QwtPlotCanvas *CanvasPicker::canvas() const
{
    return qobject_cast<QwtPlotCanvas *>(plot()->canvas());
}

void CanvasPicker::setLimits(float valueMin, float valueMax, int keyStepPixels)
{
    m_valueMin = valueMin;
    m_valueMax = valueMax;
    m_keyStepPixels = keyStepPixels;
}

double CanvasPicker::roundHalfUp(double v)
{
    return std::floor(v + 0.5);
}

bool CanvasPicker::event(QEvent *event)
{
    if (event->type() == QEvent::User) {
        drawSelected(true);
        return true;
    }
    return QObject::event(event);
}

bool CanvasPicker::eventFilter(QObject *object, QEvent *event)
{
    // While the plot is destroyed its canvas still sends events (it loses
    // the focus), but the plot is no plot any more and its curves are gone.
    const QwtPlot *p = plot();
    if (!p || object != p->canvas())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        pickAt(mouse->pos(), mouse->modifiers() & Qt::ShiftModifier);
        if (m_model)
            m_model->beginDrag(); // a drag is one step, however long
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (m_selectedCurve && m_onEdit)
            m_onEdit();
        return true;
    case QEvent::MouseMove:
        dragTo(static_cast<QMouseEvent *>(event)->pos());
        return true;
    case QEvent::FocusIn:
        drawSelected(true);
        drawSelected(false);
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        return false;
    case QEvent::FocusOut:
        drawSelected(false);
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        return false;
    case QEvent::Paint:
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
        return false;
    default:
        return false;
    }
}

void CanvasPicker::cursorCommand(int key)
{
    if (!m_selectedCurve)
        pickAt(CursorStartPos);
    switch (key) {
    case Qt::Key_Left:
        stepSelection(false);
        break;
    case Qt::Key_Right:
        stepSelection(true);
        break;
    case Qt::Key_Up:
        nudge(-m_keyStepPixels);
        break;
    case Qt::Key_Down:
        nudge(m_keyStepPixels);
        break;
    default:
        break;
    }
}

void CanvasPicker::pickAt(const QPoint &pos, bool extend)
{
    double bestDistance = 1e11;
    QwtPlotCurve *bestCurve = nullptr;
    int bestIndex = -1;
    const QwtPlotItemList items = plot()->itemList();
    for (QwtPlotItem *item : items) {
        if (item->rtti() != QwtPlotItem::Rtti_PlotCurve)
            continue;
        auto *curve = static_cast<QwtPlotCurve *>(item);
        double d = 1e11;
        const int idx = curve->closestPoint(pos, &d);
        if (idx >= 0 && d < bestDistance) {
            bestCurve = curve;
            bestIndex = idx;
            bestDistance = d;
        }
    }

    drawSelected(false);
    m_selectedCurve = nullptr;
    m_selectedIndex = -1;

    if (bestCurve && bestDistance < PickDistance) {
        m_selectedCurve = bestCurve;
        m_selectedIndex = bestIndex;
        drawSelected(true);
    }
    selectInModel(extend && m_selectedCurve);
}

void CanvasPicker::showSelection(QwtPlotCurve *curve, int index)
{
    if (index < 0 || !curve) {
        curve = nullptr;
        index = -1;
    }
    if (curve == m_selectedCurve && index == m_selectedIndex)
        return;
    drawSelected(false);
    m_selectedCurve = curve;
    m_selectedIndex = index;
    drawSelected(true);
}

void CanvasPicker::selectInModel(bool extend)
{
    if (!m_model)
        return;
    if (extend)
        m_model->extendSelection(m_selectedIndex);
    else
        m_model->select(m_selectedIndex);
}

void CanvasPicker::dragTo(const QPoint &pos)
{
    // While the ECU is read or written nothing is dragged or nudged.
    if (!m_model || m_model->isLocked() || !m_selectedCurve || m_selectedIndex < 0
        || m_selectedIndex >= static_cast<int>(m_selectedCurve->dataSize()))
        return;

    double v = roundHalfUp(plot()->invTransform(m_selectedCurve->yAxis(), pos.y()));
    v = std::min(v, static_cast<double>(m_valueMax));
    v = std::max(v, static_cast<double>(m_valueMin));

    // The model redraws the curve when the value changes; every move is
    // painted at once rather than queued.
    QwtPlotCanvas *pc = canvas();
    const bool immediate = pc && pc->testPaintAttribute(QwtPlotCanvas::ImmediatePaint);
    if (pc)
        pc->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, true);
    m_model->dragValue(m_selectedIndex, v);
    if (pc)
        pc->setPaintAttribute(QwtPlotCanvas::ImmediatePaint, immediate);

    drawSelected(true);
}

void CanvasPicker::nudge(int dy)
{
    if (!m_selectedCurve || m_selectedIndex < 0
        || m_selectedIndex >= static_cast<int>(m_selectedCurve->dataSize()))
        return;
    const QPointF s = m_selectedCurve->sample(m_selectedIndex);
    const double row =
        roundHalfUp(plot()->transform(m_selectedCurve->yAxis(), s.y()) + dy);
    const double x = plot()->transform(m_selectedCurve->xAxis(), s.x());
    if (m_model)
        m_model->beginDrag(); // every nudge is a step of its own
    dragTo(QPoint(static_cast<int>(x), static_cast<int>(row)));
}

void CanvasPicker::stepSelection(bool forward, bool extend)
{
    if (!m_selectedCurve)
        return;
    const int n = static_cast<int>(m_selectedCurve->dataSize());
    if (n <= 0)
        return;
    int candidate = (m_selectedIndex + (forward ? 1 : -1) + n) % n;
    if (extend) // a range stops at the ends of the curve
        candidate = qBound(0, m_selectedIndex + (forward ? 1 : -1), n - 1);
    if (candidate != m_selectedIndex) {
        drawSelected(false);
        m_selectedIndex = candidate;
        drawSelected(true);
        selectInModel(extend);
    }
}

void CanvasPicker::drawSelected(bool highlight) const
{
    if (!m_selectedCurve || m_selectedIndex < 0
        || m_selectedIndex >= static_cast<int>(m_selectedCurve->dataSize()))
        return;
    auto *symbol = const_cast<QwtSymbol *>(m_selectedCurve->symbol());
    if (!symbol)
        return;
    const QBrush remembered = symbol->brush();
    if (highlight)
        symbol->setBrush(QBrush(QColor(128, 255, 0, 255)));

    QwtPlotDirectPainter directPainter;
    directPainter.drawSeries(m_selectedCurve, m_selectedIndex, m_selectedIndex);

    if (highlight)
        symbol->setBrush(remembered);
}
