#include "profile/plotoverlays.h"

#include "profile/profilemodel.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStaticText>
#include <array>
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
        // No mask: a mask computed for every sample costs more than the
        // drawing. The canvas under it keeps its mouse.
        setMaskMode(NoMask);
        setRenderMode(DrawOverlay);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    // Repaints what the marker covered and what it covers now.
    void refresh()
    {
        const QRegion now = markerRegion();
        update(now + m_drawn);
        m_drawn = now;
    }

protected:
    void drawOverlay(QPainter *painter) const override
    {
        if (!m_marker->isShown())
            return;
        // The upright line sits on whole pixels: it needs no smoothing,
        // which would cost more than the rest of the marker.
        const int x = lineX();
        painter->setPen(QPen(MarkerColour, 1.0, Qt::DashLine));
        painter->drawLine(x, 0, x, height());
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->setPen(MarkerColour);
        drawNumber(painter, QPoint(x + 3, 2), m_marker->rpm());
        if (m_marker->ringShown()) {
            const QPoint c = ringCentre();
            painter->setPen(QPen(MarkerColour, 2.0));
            painter->setBrush(Qt::NoBrush);
            painter->drawEllipse(c, RingRadius, RingRadius);
            drawNumber(painter, QPoint(c.x() + RingRadius, c.y() + RingRadius),
                       m_marker->ecuValue());
        }
    }

    // Drawn straight onto the canvas, clipped to what changed: the plain
    // canvas needs none of the border clipping the overlay would look up
    // for every repaint.
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        painter.setClipRegion(event->region());
        drawOverlay(&painter);
    }

    void resizeEvent(QResizeEvent *event) override
    {
        QwtWidgetOverlay::resizeEvent(event);
        m_drawn = QRegion(rect());
    }

private:
    // A label with its top left at `at`. The labels change with every
    // sample: their characters are laid out once, each on its own, instead
    // of the whole text being shaped for every repaint.
    void drawNumber(QPainter *painter, QPoint at, int value) const
    {
        if (m_glyphFont != painter->font()) {
            m_glyphFont = painter->font();
            for (QStaticText &glyph : m_glyphs)
                glyph = QStaticText();
        }
        const QFontMetricsF metrics(m_glyphFont);
        QPointF pos(at);
        for (const QChar ch : QString::number(value)) {
            const int i = ch == QLatin1Char('-') ? 10 : ch.digitValue();
            if (i < 0)
                continue;
            QStaticText &glyph = m_glyphs[size_t(i)];
            if (glyph.text().isEmpty()) {
                glyph.setText(QString(ch));
                glyph.setTextFormat(Qt::PlainText);
                glyph.prepare(QTransform(), m_glyphFont);
            }
            painter->drawStaticText(pos, glyph);
            pos.rx() += metrics.horizontalAdvance(ch);
        }
    }

    // The strips the marker draws on: the line with its label, the ring with
    // its value.
    QRegion markerRegion() const
    {
        if (!m_marker->isShown())
            return QRegion();
        const int x = lineX();
        QRegion r(x - 2, 0, 5, height());
        r += QRect(x + 1, 0, LabelWidth + 4, 18);
        if (m_marker->ringShown()) {
            const QPoint c = ringCentre();
            r += QRect(c.x() - RingRadius - 2, c.y() - RingRadius - 2,
                       2 * RingRadius + 4 + LabelWidth, 2 * RingRadius + 4 + 16);
        }
        return r;
    }
    int lineX() const { return qRound(m_plot->transform(QwtPlot::xBottom, m_marker->rpm())); }
    QPoint ringCentre() const
    {
        const QPointF p = m_marker->ringPoint();
        return QPoint(qRound(m_plot->transform(QwtPlot::xBottom, p.x())),
                      qRound(m_plot->transform(QwtPlot::yLeft, p.y())));
    }

    QwtPlot *m_plot;
    const CLiveCellMarker *m_marker;
    QRegion m_drawn; // what the last repaint covered
    mutable QFont m_glyphFont;
    mutable std::array<QStaticText, 11> m_glyphs; // 0..9 and the minus sign
};

void CItemLegend::updateLegend(const QwtPlotItem *item, const QList<QwtLegendData> &data)
{
    QwtPlotLegendItem::updateLegend(item, item == m_shown ? data : QList<QwtLegendData>());
}

CLiveCellMarker::CLiveCellMarker(const CProfileModel *model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

void CLiveCellMarker::attachTo(QwtPlot *plot, double maxRpm)
{
    m_maxRpm = maxRpm;
    if (!m_overlay || m_overlay->parentWidget() != plot->canvas()) {
        delete m_overlay;
        m_overlay = new CLiveCellOverlay(plot, this);
        m_overlay->resize(plot->canvas()->size());
        m_overlay->show();
    }
    flush();
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
    flush(); // gone at once when the link stops, not at the next report
}

void CLiveCellMarker::setSample(int rpm, int index, int ecuValue)
{
    if (!m_active)
        return;
    // An index beyond the curve shows no ring.
    if (index < 0 || index > 40)
        index = -1;
    if (m_seen && rpm == m_rpm && index == m_index && ecuValue == m_ecuValue)
        return;
    m_rpm = rpm;
    m_index = index;
    m_ecuValue = ecuValue;
    m_seen = true;
    flush();
}

void CLiveCellMarker::follow()
{
    if (isShown())
        flush();
}

void CLiveCellMarker::flush()
{
    if (!m_overlay)
        return;
    m_overlay->refresh();
    ++m_repaints;
}
