#include "gauge/stripchart.h"

#include <QPen>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_series_data.h>
#include <qwt_text.h>

namespace {

const QColor kRpmColour(255, 210, 0);
const QColor kProbeColour(0, 200, 255);

// One curve's points read straight from the chart's ring: drawing copies
// nothing. x is the time before the newest answer, in seconds.
class CRingSeries : public QwtSeriesData<QPointF>
{
public:
    CRingSeries(const CStripChart *chart, bool probe)
        : m_chart(chart)
        , m_probe(probe)
    {
    }

    size_t size() const override { return size_t(m_chart->visibleCount()); }

    QPointF sample(size_t i) const override
    {
        const int last = m_chart->sampleCount() - 1;
        const CLiveSample &s = m_chart->sample(last - m_chart->visibleCount() + 1 + int(i));
        const qint64 newest = m_chart->sample(last).ms;
        return QPointF(double(s.ms - newest) / 1000.0, m_probe ? s.adc : s.rpm);
    }

    QRectF boundingRect() const override { return qwtBoundingRect(*this); }

private:
    const CStripChart *m_chart;
    bool m_probe;
};

QwtText titleText(const QString &text, const QColor &colour)
{
    QwtText title(text);
    title.setColor(colour);
    QFont font(QStringLiteral("Arial"), 9);
    font.setBold(true);
    title.setFont(font);
    return title;
}

} // namespace

CStripChart::CStripChart(QWidget *parent)
    : QwtPlot(parent)
    , m_ring(Capacity)
    , m_timer(this)
{
    // Narrow enough for a laptop's screen beside the form: the time axis
    // then takes fewer labels.
    setMinimumSize(200, 140);
    setStyleSheet(QStringLiteral("background-color: rgb(60, 60, 60);"));
    canvas()->setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));

    const QFont tickFont(QStringLiteral("Arial"), 8);
    enableAxis(QwtPlot::yRight);
    setAxisScale(QwtPlot::xBottom, -double(WindowMs) / 1000.0, 0.0, 5.0);
    setAxisScale(QwtPlot::yRight, 0.0, 255.0, 64.0);
    for (int axis : { QwtPlot::xBottom, QwtPlot::yLeft, QwtPlot::yRight })
        setAxisFont(axis, tickFont);
    setMaxRpm(12000.0);

    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QPen(QColor(137, 82, 0), 0, Qt::SolidLine));
    grid->enableXMin(false);
    grid->enableYMin(false);
    grid->attach(this);

    m_rpmCurve = new QwtPlotCurve;
    m_rpmCurve->setPen(QPen(kRpmColour, 1.5));
    m_rpmCurve->setData(new CRingSeries(this, false));
    m_rpmCurve->attach(this);

    m_probeCurve = new QwtPlotCurve;
    m_probeCurve->setPen(QPen(kProbeColour, 1.5));
    m_probeCurve->setYAxis(QwtPlot::yRight);
    m_probeCurve->setData(new CRingSeries(this, true));
    m_probeCurve->attach(this);

    m_timer.setSingleShot(true);
    m_timer.setInterval(MinRepaintMs);
    connect(&m_timer, &QTimer::timeout, this, &CStripChart::redraw);
    retranslate();
}

void CStripChart::setMaxRpm(double maxRpm)
{
    setAxisScale(QwtPlot::yLeft, 0.0, maxRpm, 2000.0);
    replot();
}

void CStripChart::retranslate()
{
    setAxisTitle(QwtPlot::yLeft, titleText(tr("Giri/min"), kRpmColour));
    setAxisTitle(QwtPlot::yRight, titleText(tr("Sonda (ADC)"), kProbeColour));
    setAxisTitle(QwtPlot::xBottom, titleText(tr("Tempo (s)"), Qt::white));
}

const CLiveSample &CStripChart::sample(int i) const
{
    return m_ring.at((m_first + i) % Capacity);
}

void CStripChart::addSample(const CLiveSample &s)
{
    if (m_count > 0 && s.ms < sample(m_count - 1).ms)
        clear();
    if (m_count < Capacity) {
        m_ring[(m_first + m_count) % Capacity] = s;
        ++m_count;
    } else {
        m_ring[m_first] = s;
        m_first = (m_first + 1) % Capacity;
    }
    scheduleRedraw();
}

void CStripChart::scheduleRedraw()
{
    if (isVisible() && !m_timer.isActive())
        m_timer.start();
}

void CStripChart::showEvent(QShowEvent *event)
{
    QwtPlot::showEvent(event);
    scheduleRedraw();
}

void CStripChart::clear()
{
    m_first = 0;
    m_count = 0;
    m_visible = 0; // the curves may be painted before the next redraw
    scheduleRedraw();
}

void CStripChart::redraw()
{
    // The answers of the last 30 s before the newest one.
    m_visible = 0;
    if (m_count > 0) {
        const qint64 from = sample(m_count - 1).ms - WindowMs;
        while (m_visible < m_count && sample(m_count - 1 - m_visible).ms >= from)
            ++m_visible;
    }
    replot();
    ++m_repaints;
}
