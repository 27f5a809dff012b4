#include "profile/plotoverlays.h"

#include "profile/profilemodel.h"

#include <QPainter>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_widget_overlay.h>

namespace {
const QColor MarkerColour(255, 170, 0);
constexpr int RingRadius = 9;
constexpr int LabelWidth = 48;
} // namespace

// Paints the live marker over the canvas. Only the line, the ring and their
// labels are repainted; the canvas underneath comes from its backing store.
class CLiveCellOverlay : public QwtWidgetOverlay
{
public:
    CLiveCellOverlay(QwtPlot *plot, const CLiveCellMarker *marker)
        : QwtWidgetOverlay(plot->canvas())
        , m_plot(plot)
        , m_marker(marker)
    {
    }

protected:
    QRegion maskHint() const override
    {
        if (!m_marker->isShown())
            return QRegion(0, 0, 1, 1); // nothing to show: an empty mask would mean "all"
        const int x = lineX();
        QRegion r(x - 1, 0, 3 + LabelWidth, height());
        if (m_marker->ringShown()) {
            const QPoint c = ringCentre();
            r += QRect(c.x() - RingRadius - 2, c.y() - RingRadius - 2,
                       2 * RingRadius + 4 + LabelWidth, 2 * RingRadius + 4 + 16);
        }
        return r;
    }

    void drawOverlay(QPainter *painter) const override
    {
        if (!m_marker->isShown())
            return;
        painter->setRenderHint(QPainter::Antialiasing, true);
        const int x = lineX();
        painter->setPen(QPen(MarkerColour, 1.0, Qt::DashLine));
        painter->drawLine(x, 0, x, height());
        painter->setPen(MarkerColour);
        painter->drawText(QRect(x + 3, 2, LabelWidth, 14), Qt::AlignLeft | Qt::AlignTop,
                          QString::number(m_marker->rpm()));
        if (m_marker->ringShown()) {
            const QPoint c = ringCentre();
            painter->setPen(QPen(MarkerColour, 2.0));
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(c, RingRadius, RingRadius);
            painter->drawText(QRect(c.x() + RingRadius, c.y() + RingRadius, LabelWidth, 14),
                              Qt::AlignLeft | Qt::AlignTop, QString::number(m_marker->ecuValue()));
        }
    }

private:
    int lineX() const { return qRound(m_plot->transform(QwtPlot::xBottom, m_marker->rpm())); }
    QPoint ringCentre() const
    {
        const QPointF p = m_marker->ringPoint();
        return QPoint(qRound(m_plot->transform(QwtPlot::xBottom, p.x())),
                      qRound(m_plot->transform(QwtPlot::yLeft, p.y())));
    }

    QwtPlot *m_plot;
    const CLiveCellMarker *m_marker;
};

void CItemLegend::updateLegend(const QwtPlotItem *item, const QList<QwtLegendData> &data)
{
    QwtPlotLegendItem::updateLegend(item, item == m_shown ? data : QList<QwtLegendData>());
}

CLiveCellMarker::CLiveCellMarker(const CProfileModel *model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(MinRepaintMs);
    connect(&m_timer, &QTimer::timeout, this, &CLiveCellMarker::flush);
}

void CLiveCellMarker::attachTo(QwtPlot *plot, double maxRpm)
{
    m_maxRpm = maxRpm;
    if (!m_overlay || m_overlay->parentWidget() != plot->canvas()) {
        delete m_overlay;
        m_overlay = new CLiveCellOverlay(plot, this);
        m_overlay->show();
    }
    m_overlay->updateOverlay();
}

bool CLiveCellMarker::isShown() const
{
    return m_active && m_seen;
}

QPointF CLiveCellMarker::ringPoint() const
{
    return QPointF(m_index * m_maxRpm / 40.0, m_model->value(m_index));
}

void CLiveCellMarker::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    m_seen = false;
    if (!active) {
        // Gone at once when the link stops, not at the next report.
        m_timer.stop();
        flush();
    }
}

void CLiveCellMarker::setRpm(int rpm)
{
    if (!m_active || (m_seen && rpm == m_rpm))
        return;
    m_rpm = rpm;
    m_seen = true;
    schedule();
}

void CLiveCellMarker::setCell(int index, int ecuValue)
{
    if (!m_active)
        return;
    // An index beyond the curve shows no ring.
    if (index > 40)
        index = -1;
    if (m_seen && index == m_index && ecuValue == m_ecuValue)
        return;
    m_index = index;
    m_ecuValue = ecuValue;
    m_seen = true;
    schedule();
}

void CLiveCellMarker::follow()
{
    if (isShown())
        schedule();
}

void CLiveCellMarker::schedule()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void CLiveCellMarker::flush()
{
    if (!m_overlay)
        return;
    m_overlay->updateOverlay();
    ++m_repaints;
}
