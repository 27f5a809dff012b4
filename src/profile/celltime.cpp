#include "profile/celltime.h"

#include <QAction>
#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <qwt_plot.h>
#include <qwt_scale_map.h>

CCellTimeHistogram::CCellTimeHistogram(int notifyMs, QObject *parent)
    : QObject(parent)
    , m_ms(Cells, 0)
{
    m_notify.setSingleShot(true);
    m_notify.setInterval(notifyMs);
    connect(&m_notify, &QTimer::timeout, this, &CCellTimeHistogram::changed);
}

QVector<double> CCellTimeHistogram::shares() const
{
    QVector<double> out(Cells, 0.0);
    if (m_totalMs <= 0)
        return out;
    for (int i = 0; i < Cells; ++i)
        out[i] = double(m_ms[i]) / double(m_totalMs);
    return out;
}

// Counts the time from the last answer to this one for the last answer's
// cell; true when some time was counted.
bool CCellTimeHistogram::take(const CLiveSample &sample)
{
    const bool continues = m_hasLast && sample.ms >= m_last.ms;
    const qint64 gap = continues ? sample.ms - m_last.ms : 0;
    const int cell = m_last.cellIndex;
    const bool running = m_last.rpm > 0;
    m_last = sample;
    m_hasLast = true;
    if (gap <= 0 || gap > MaxGapMs || !running || cell < 0 || cell >= Cells)
        return false;
    m_ms[cell] += gap;
    m_totalMs += gap;
    return true;
}

void CCellTimeHistogram::onLiveSample(const CLiveSample &sample)
{
    if (take(sample) && !m_notify.isActive())
        m_notify.start();
}

void CCellTimeHistogram::addLog(const QVector<CLiveSample> &log)
{
    endRun();
    for (const CLiveSample &sample : log)
        take(sample);
    // The log's last answer closes no interval: a live answer after it
    // would belong to another run.
    endRun();
    notifyNow();
}

void CCellTimeHistogram::reset()
{
    m_ms.fill(0);
    m_totalMs = 0;
    endRun();
    notifyNow();
}

void CCellTimeHistogram::notifyNow()
{
    m_notify.stop();
    emit changed();
}

CCellTimeBars::CCellTimeBars(CCellTimeView *view)
    : m_view(view)
    , m_shares(CCellTimeHistogram::Cells, 0.0)
{
    setZ(Z);
    setItemAttribute(QwtPlotItem::AutoScale, false);
    setItemAttribute(QwtPlotItem::Legend, false);
}

CCellTimeBars::~CCellTimeBars()
{
    if (m_view)
        m_view->barsDeleted();
}

void CCellTimeBars::setShares(const QVector<double> &shares)
{
    m_shares = shares;
    m_shares.resize(CCellTimeHistogram::Cells);
    itemChanged();
}

void CCellTimeBars::setLegend(const QString &text)
{
    m_legend = text;
    itemChanged();
}

void CCellTimeBars::setMaxRpm(double maxRpm)
{
    m_maxRpm = maxRpm;
    itemChanged();
}

QVector<QRectF> CCellTimeBars::barRects(const QwtScaleMap &xMap, const QRectF &canvasRect) const
{
    QVector<QRectF> rects(m_shares.size());
    const double largest = *std::max_element(m_shares.cbegin(), m_shares.cend());
    if (!(largest > 0.0))
        return rects;
    const double step = m_maxRpm / (CCellTimeHistogram::Cells - 1);
    const double cellPixels = std::abs(xMap.transform(step) - xMap.transform(0.0));
    const double width = std::max(1.0, cellPixels * WidthOfCell);
    const double fullHeight = canvasRect.height() / 3.0;
    for (int i = 0; i < m_shares.size(); ++i) {
        if (!(m_shares[i] > 0.0))
            continue;
        const double height = fullHeight * m_shares[i] / largest;
        const double centre = xMap.transform(i * step);
        rects[i] = QRectF(centre - width / 2.0, canvasRect.bottom() - height, width, height);
    }
    return rects;
}

QString CCellTimeBars::label(double share)
{
    const double percent = share * 100.0;
    if (!(percent >= 0.5))
        return QString();
    return QString::number(percent, 'f', percent < 9.95 ? 1 : 0) + QLatin1Char('%');
}

void CCellTimeBars::draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &,
                         const QRectF &canvasRect) const
{
    const QVector<QRectF> rects = barRects(xMap, canvasRect);
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(Colour);
    for (const QRectF &r : rects) {
        if (!r.isEmpty())
            painter->drawRect(r);
    }

    // Each bar's share over it, upright where the cell is too narrow for it
    // lying; the legend says what the bars are.
    QFont font = painter->font();
    font.setPointSizeF(7.0);
    painter->setFont(font);
    const QFontMetricsF fm(font, painter->device());
    painter->setPen(LabelColour);
    for (int i = 0; i < rects.size(); ++i) {
        const QString text = label(m_shares.at(i));
        if (text.isEmpty() || rects.at(i).isEmpty())
            continue;
        const QRectF &r = rects.at(i);
        const double width = fm.horizontalAdvance(text);
        const double cell = r.width() / WidthOfCell;
        if (width <= cell) {
            painter->drawText(QPointF(r.center().x() - width / 2.0, r.top() - fm.descent() - 1),
                              text);
        } else {
            painter->save();
            painter->translate(r.center().x() + fm.ascent() / 2.0 - fm.descent(), r.top() - 2);
            painter->rotate(-90.0);
            painter->drawText(QPointF(0, 0), text);
            painter->restore();
        }
    }
    if (!m_legend.isEmpty() && !rects.isEmpty()) {
        const double pad = fm.height() / 3.0;
        const QRectF swatch(canvasRect.left() + 2 * pad, canvasRect.top() + 2 * pad,
                            fm.height(), fm.height());
        QRectF box(swatch.topLeft() - QPointF(pad, pad),
                   QSizeF(swatch.width() + pad + fm.horizontalAdvance(m_legend) + 2 * pad,
                          swatch.height() + 2 * pad));
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 0, 0, 170));
        painter->drawRect(box);
        painter->setBrush(Colour);
        painter->drawRect(swatch);
        painter->setPen(LabelColour);
        painter->drawText(QPointF(swatch.right() + pad, swatch.bottom() - fm.descent()), m_legend);
    }
    painter->restore();
}

CCellTimeView::CCellTimeView(QwtPlot *plot, QObject *parent, int notifyMs)
    : QObject(parent)
    , m_plot(plot)
    , m_histogram(notifyMs)
    , m_show(new QAction(this))
    , m_reset(new QAction(this))
{
    m_show->setObjectName(QStringLiteral("actionTempo_Celle"));
    m_reset->setObjectName(QStringLiteral("actionAzzera_Tempo_Celle"));
    m_show->setCheckable(true);
    connect(m_show, &QAction::toggled, this, &CCellTimeView::setShown);
    connect(m_reset, &QAction::triggered, &m_histogram, &CCellTimeHistogram::reset);
    connect(&m_histogram, &CCellTimeHistogram::changed, this, [this]() {
        if (CCellTimeBars *b = bars()) {
            b->setShares(m_histogram.shares());
            if (b->isVisible())
                m_plot->replot();
        }
    });
    bars();
    retranslate();
}

CCellTimeView::~CCellTimeView()
{
    delete m_bars; // still on the plot
}

// The bars on the plot, put there again when a rebuild of the plot deleted
// them, with the shares, scale and visibility they had.
CCellTimeBars *CCellTimeView::bars()
{
    if (!m_bars && m_plot) {
        m_bars = new CCellTimeBars(this);
        m_bars->setMaxRpm(m_maxRpm);
        m_bars->setShares(m_histogram.shares());
        m_bars->setVisible(m_show->isChecked());
        m_bars->setLegend(legendText());
        m_bars->attach(m_plot);
    }
    return m_bars;
}

void CCellTimeView::setShown(bool shown)
{
    if (m_show->isChecked() != shown)
        m_show->setChecked(shown); // comes back here through toggled()
    CCellTimeBars *b = bars();
    if (!b || b->isVisible() == shown)
        return;
    b->setShares(m_histogram.shares());
    b->setVisible(shown);
    m_plot->replot();
}

void CCellTimeView::setMaxRpm(double maxRpm)
{
    m_maxRpm = maxRpm;
    CCellTimeBars *b = bars();
    if (!b)
        return;
    b->setMaxRpm(maxRpm);
    if (b->isVisible())
        m_plot->replot();
}

void CCellTimeView::retranslate()
{
    m_show->setText(tr("Tempo nelle celle"));
    m_show->setToolTip(tr("Mostra sotto la curva quanto tempo il motore è rimasto in ogni cella"));
    m_reset->setText(tr("Azzera tempo nelle celle"));
    if (m_bars)
        m_bars->setLegend(legendText());
}

QString CCellTimeView::legendText()
{
    return tr("Tempo nelle celle, in % del tempo contato");
}
