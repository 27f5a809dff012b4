#include "profile/plotoverlays.h"

#include "profile/profilemodel.h"

#include <qwt_plot.h>
#include <qwt_plot_marker.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

CLiveCellMarker::CLiveCellMarker(const CProfileModel *model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(MinReplotMs);
    connect(&m_timer, &QTimer::timeout, this, &CLiveCellMarker::flush);
}

void CLiveCellMarker::attachTo(QwtPlot *plot, double maxRpm)
{
    m_plot = plot;
    m_maxRpm = maxRpm;

    m_line = new QwtPlotMarker;
    m_line->setLineStyle(QwtPlotMarker::VLine);
    m_line->setLinePen(QColor(255, 170, 0), 1.0, Qt::DashLine);
    m_line->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    m_line->setZ(30);
    m_line->attach(plot);

    m_ring = new QwtPlotMarker;
    m_ring->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, Qt::NoBrush,
                                    QPen(QColor(255, 170, 0), 2.0), QSize(18, 18)));
    m_ring->setLabelAlignment(Qt::AlignRight | Qt::AlignBottom);
    m_ring->setZ(30);
    m_ring->attach(plot);

    place();
}

bool CLiveCellMarker::isShown() const
{
    return m_line && m_line->isVisible();
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
        const bool wasShown = isShown();
        place();
        if (wasShown && m_plot) {
            m_plot->replot();
            ++m_replots;
        }
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
    place();
}

void CLiveCellMarker::schedule()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void CLiveCellMarker::flush()
{
    if (!m_plot)
        return;
    place();
    m_plot->replot();
    ++m_replots;
}

void CLiveCellMarker::place()
{
    if (!m_line || !m_ring)
        return;
    const bool show = m_active && m_seen;
    m_line->setVisible(show);
    m_line->setXValue(m_rpm);
    QwtText rpmText(QString::number(m_rpm));
    rpmText.setColor(QColor(255, 170, 0));
    m_line->setLabel(rpmText);

    const bool ring = show && m_index >= 0;
    m_ring->setVisible(ring);
    if (ring) {
        m_ring->setValue(m_index * m_maxRpm / 40.0, m_model->value(m_index));
        QwtText valueText(QString::number(m_ecuValue));
        valueText.setColor(QColor(255, 170, 0));
        m_ring->setLabel(valueText);
    }
}
