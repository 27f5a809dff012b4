#include "gauge/stripchart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPen>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_draw.h>
#include <qwt_scale_map.h>
#include <qwt_text.h>

namespace {

const QColor kRpmColour(255, 210, 0);
const QColor kProbeColour(0, 200, 255);

// "m:ss" on a log's clock, with tenths when asked; plain seconds (negative:
// before the newest answer) live.
QString clockText(double seconds, bool tenths)
{
    const bool negative = seconds < 0;
    const qint64 tens = qRound64(std::abs(seconds) * 10.0);
    const qint64 s = tens / 10;
    QString text = QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    if (tenths)
        text += QLatin1Char('.') + QString::number(tens % 10);
    return negative ? QLatin1Char('-') + text : text;
}

// The time axis: the log's clock, or seconds before the newest answer.
class CTimeScaleDraw : public QwtScaleDraw
{
public:
    explicit CTimeScaleDraw(const CStripChart *chart) : m_chart(chart) {}
    QwtText label(double value) const override
    {
        if (!m_chart->showsLog())
            return QwtScaleDraw::label(value);
        return QwtText(clockText(value, false));
    }

private:
    const CStripChart *m_chart;
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

QwtPlotMarker *verticalLine(const QPen &pen, double z)
{
    auto *line = new QwtPlotMarker;
    line->setLineStyle(QwtPlotMarker::VLine);
    line->setLinePen(pen);
    line->setZ(z);
    line->setVisible(false);
    return line;
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
    canvas()->setMouseTracking(true);
    canvas()->setFocusPolicy(Qt::StrongFocus);
    canvas()->setCursor(Qt::CrossCursor);
    canvas()->installEventFilter(this);

    const QFont tickFont(QStringLiteral("Arial"), 8);
    enableAxis(QwtPlot::yRight);
    setAxisScaleDraw(QwtPlot::xBottom, new CTimeScaleDraw(this));
    setAxisMaxMajor(QwtPlot::xBottom, 4);
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
    m_rpmCurve->attach(this);

    m_probeCurve = new QwtPlotCurve;
    m_probeCurve->setPen(QPen(kProbeColour, 1.5));
    m_probeCurve->setYAxis(QwtPlot::yRight);
    m_probeCurve->attach(this);

    m_positionLine = verticalLine(QPen(Qt::white, 1, Qt::DashLine), 30);
    m_positionLine->attach(this);
    m_cursor = verticalLine(QPen(QColor(255, 255, 255, 160), 1), 31);
    m_cursor->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    m_cursor->attach(this);

    m_timer.setSingleShot(true);
    m_timer.setInterval(MinRepaintMs);
    connect(&m_timer, &QTimer::timeout, this, &CStripChart::redraw);
    retranslate();
    redraw();
    m_repaints = 0;
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
    if (m_cursorMs >= 0)
        showCursor(-1.0);
}

int CStripChart::sampleCount() const
{
    return m_showsLog ? m_log.size() : m_count;
}

const CLiveSample &CStripChart::sample(int i) const
{
    return m_showsLog ? m_log.at(i) : m_ring.at((m_first + i) % Capacity);
}

qint64 CStripChart::newestMs() const
{
    if (m_showsLog)
        return m_position;
    return m_count > 0 ? sample(m_count - 1).ms : 0;
}

qint64 CStripChart::oldestMs() const
{
    return sampleCount() > 0 ? sample(0).ms : 0;
}

// Following a log, the view starts no earlier than the log does.
qint64 CStripChart::viewEndMs() const
{
    if (!m_follow)
        return m_endMs;
    return m_showsLog ? qMax(m_position, oldestMs() + m_spanMs) : newestMs();
}

int CStripChart::indexAt(qint64 ms) const
{
    int low = 0, high = sampleCount(); // the first row after ms is in [low, high]
    while (low < high) {
        const int mid = (low + high) / 2;
        if (sample(mid).ms <= ms)
            low = mid + 1;
        else
            high = mid;
    }
    return low - 1;
}

void CStripChart::addSample(const CLiveSample &s)
{
    if (m_showsLog) {
        m_log.clear();
        m_showsLog = false;
        m_count = 0;
        m_follow = true;
    }
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

void CStripChart::setLog(const QVector<CLiveSample> &rows)
{
    m_log = rows;
    m_showsLog = true;
    m_first = m_count = 0;
    m_position = 0;
    m_spanMs = WindowMs;
    m_follow = true;
    m_cursorMs = -1;
    redraw();
}

void CStripChart::setPosition(qint64 ms)
{
    if (!m_showsLog || ms == m_position)
        return;
    m_position = ms;
    // A view put elsewhere stays, as long as the position is in it.
    if (!m_follow && (ms > m_endMs || ms < m_endMs - m_spanMs))
        m_follow = true;
    scheduleRedraw();
}

void CStripChart::clear()
{
    m_first = 0;
    m_count = 0;
    m_log.clear();
    m_showsLog = false;
    m_position = 0;
    m_follow = true;
    m_visible = 0; // the curves may be painted before the next redraw
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

// A view of span ms ending at end, kept within what is held; it follows
// again once its end reaches the newest moment.
void CStripChart::setView(qint64 span, qint64 end)
{
    const qint64 newest = newestMs();
    const qint64 latest = m_showsLog && !m_log.isEmpty() ? m_log.constLast().ms : newest;
    const qint64 extent = qMax(MinSpanMs, latest - oldestMs());
    m_spanMs = qBound(MinSpanMs, span, extent);
    end = qBound(oldestMs() + m_spanMs, end, qMax(latest, oldestMs() + m_spanMs));
    m_follow = end == newest;
    m_endMs = end;
    redraw();
}

void CStripChart::showAll()
{
    const qint64 latest = m_showsLog && !m_log.isEmpty() ? m_log.constLast().ms : newestMs();
    setView(latest - oldestMs(), latest);
}

void CStripChart::zoom(double factor, qint64 aroundMs)
{
    const qint64 end = viewEndMs();
    const double span = double(m_spanMs);
    const double newSpan = qBound(double(MinSpanMs), span * factor, 1e15);
    const double start = double(end - m_spanMs);
    const double newStart = aroundMs - (aroundMs - start) * newSpan / span;
    setView(qint64(newSpan), qint64(newStart + newSpan));
}

void CStripChart::pan(qint64 ms)
{
    setView(m_spanMs, viewEndMs() + ms);
}

qint64 CStripChart::msAt(double canvasX) const
{
    const QwtScaleMap map = canvasMap(QwtPlot::xBottom);
    return qRound64(map.invTransform(canvasX) * 1000.0) + originMs();
}

void CStripChart::showCursor(double canvasX)
{
    if (canvasX >= 0)
        m_cursorMs = msAt(canvasX);
    const int i = indexAt(m_cursorMs);
    if (m_cursorMs < 0 || i < 0) {
        m_cursor->setVisible(false);
        return;
    }
    const double x = double(m_cursorMs - originMs()) / 1000.0;
    m_cursor->setXValue(x);
    QwtText label(cursorText());
    label.setColor(Qt::white);
    label.setBackgroundBrush(QColor(0, 0, 0, 190));
    label.setFont(QFont(QStringLiteral("Arial"), 8));
    m_cursor->setLabel(label);
    // The text stays on the canvas: left of the line in its right half.
    const QwtScaleMap map = canvasMap(QwtPlot::xBottom);
    const bool rightHalf = map.transform(x) > canvas()->width() / 2.0;
    m_cursor->setLabelAlignment((rightHalf ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignTop);
    m_cursor->setVisible(true);
}

QString CStripChart::cursorText() const
{
    const int i = m_cursorMs < 0 ? -1 : indexAt(m_cursorMs);
    if (i < 0)
        return QString();
    const CLiveSample &s = sample(i);
    const double seconds = double(m_cursorMs - originMs()) / 1000.0;
    const QString time = m_showsLog ? clockText(seconds, true)
                                    : QString::number(seconds, 'f', 1) + QStringLiteral(" s");
    return tr("%1\n%2 giri/min\nsonda %3").arg(time).arg(s.rpm).arg(s.adc);
}

bool CStripChart::eventFilter(QObject *object, QEvent *event)
{
    if (object != canvas())
        return QwtPlot::eventFilter(object, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton) {
            m_pressX = e->localPos().x();
            m_pressEnd = viewEndMs();
            m_dragged = false;
        }
        return false;
    }
    case QEvent::MouseMove: {
        const auto *e = static_cast<QMouseEvent *>(event);
        if (m_pressX >= 0 && (e->buttons() & Qt::LeftButton)) {
            const double dx = e->localPos().x() - m_pressX;
            m_dragged = m_dragged || std::abs(dx) > 3;
            if (m_dragged && canvas()->width() > 0)
                setView(m_spanMs, m_pressEnd - qRound64(dx * m_spanMs / canvas()->width()));
        }
        showCursor(e->localPos().x());
        replot();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() == Qt::LeftButton && m_pressX >= 0 && !m_dragged)
            emit timeChosen(msAt(e->localPos().x()));
        m_pressX = -1;
        return false;
    }
    case QEvent::Leave:
        m_cursorMs = -1;
        m_cursor->setVisible(false);
        replot();
        return false;
    case QEvent::Wheel: {
        const auto *e = static_cast<QWheelEvent *>(event);
        const double steps = e->angleDelta().y() / 120.0;
        if (steps != 0)
            zoom(std::pow(0.8, steps), msAt(e->position().x()));
        return true;
    }
    case QEvent::KeyPress: {
        const auto *e = static_cast<QKeyEvent *>(event);
        switch (e->key()) {
        case Qt::Key_Home:
            showAll();
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            pan((e->key() == Qt::Key_Left ? -1 : 1) * qMax<qint64>(1, m_spanMs / 10));
            return true;
        case Qt::Key_Plus:
        case Qt::Key_Minus:
            zoom(e->key() == Qt::Key_Plus ? 0.8 : 1.25, viewEndMs() - m_spanMs / 2);
            return true;
        default:
            return false;
        }
    }
    default:
        return false;
    }
}

void CStripChart::redraw()
{
    const qint64 end = viewEndMs();
    const qint64 start = end - m_spanMs;
    const qint64 origin = originMs();
    // The rows of the view, with one on each side so the lines run to its
    // edges.
    const int first = qMax(0, indexAt(start));
    const int last = m_showsLog ? qMin(indexAt(end) + 1, sampleCount() - 1) : indexAt(end);
    m_visible = 0;
    for (int i = qMax(0, indexAt(start - 1) + 1); i <= last && sample(i).ms <= end; ++i)
        ++m_visible;
    QVector<QPointF> rpm, probe;
    const int rows = last - first + 1;
    if (rows > 0) {
        const int slices = rows > MaxPoints ? MaxPoints / 2 : rows;
        rpm.reserve(2 * slices);
        probe.reserve(2 * slices);
        for (int k = 0; k < slices; ++k) {
            const int from = first + int(qint64(rows) * k / slices);
            const int to = first + int(qint64(rows) * (k + 1) / slices) - 1;
            if (from == to) {
                const CLiveSample &s = sample(from);
                const double x = double(s.ms - origin) / 1000.0;
                rpm << QPointF(x, s.rpm);
                probe << QPointF(x, s.adc);
                continue;
            }
            // The slice's lowest and highest, in their order in time.
            int rMin = from, rMax = from, pMin = from, pMax = from;
            for (int i = from; i <= to; ++i) {
                const CLiveSample &s = sample(i);
                if (s.rpm < sample(rMin).rpm) rMin = i;
                if (s.rpm > sample(rMax).rpm) rMax = i;
                if (s.adc < sample(pMin).adc) pMin = i;
                if (s.adc > sample(pMax).adc) pMax = i;
            }
            for (int i : {qMin(rMin, rMax), qMax(rMin, rMax)})
                rpm << QPointF(double(sample(i).ms - origin) / 1000.0, sample(i).rpm);
            for (int i : {qMin(pMin, pMax), qMax(pMin, pMax)})
                probe << QPointF(double(sample(i).ms - origin) / 1000.0, sample(i).adc);
        }
    }
    m_rpmCurve->setSamples(rpm);
    m_probeCurve->setSamples(probe);
    setAxisScale(QwtPlot::xBottom, double(start - origin) / 1000.0, double(end - origin) / 1000.0);
    m_positionLine->setVisible(m_showsLog);
    m_positionLine->setXValue(double(m_position) / 1000.0);
    if (m_cursorMs >= 0)
        showCursor(-1.0);
    replot();
    ++m_repaints;
}
