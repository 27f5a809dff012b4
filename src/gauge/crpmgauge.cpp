#include "crpmgauge.h"

#include "qtsvgpixmapcache.h"

#include <QImage>
#include <QPainter>
#include <QResizeEvent>
#include <QSvgRenderer>
#include <QtMath>

#include <cmath>

namespace {

const QString kLayerFolder = QStringLiteral(":/rpm/imgs/");

// A layer's default size scaled to fit the widget, aspect ratio kept, with its
// top-left corner at (0, 0). A layer that did not load has no size.
QRectF fittedRect(const QSize &defaultSize, const QSize &widgetSize)
{
    if (defaultSize.isEmpty())
        return QRectF();
    const QSizeF fitted = QSizeF(defaultSize).scaled(QSizeF(widgetSize), Qt::KeepAspectRatio);
    return QRectF(QPointF(0.0, 0.0), fitted);
}

// The pivot must lie on the needle layer: anything not above 0 (NaN included)
// pins it to the left/top edge, anything above 1 to the right/bottom edge.
qreal clampOrigin(qreal v)
{
    if (!(v > 0.0))
        return 0.0;
    if (v > 1.0)
        return 1.0;
    return v;
}

} // namespace

qreal gaugeAngle(int value, int minimum, int maximum, qreal startAngle, qreal endAngle)
{
    if (maximum == minimum)
        return startAngle;
    // Differences in floating point: maximum - minimum can overflow an int.
    const qreal fraction = (qreal(value) - qreal(minimum)) / (qreal(maximum) - qreal(minimum));
    return startAngle + (endAngle - startAngle) * fraction;
}

CRpmGauge::CRpmGauge(QWidget *parent)
    : QWidget(parent),
      m_background(new QtSvgPixmapCache(this)),
      m_shadow(new QtSvgPixmapCache(this)),
      m_needle(new QSvgRenderer(this)),
      m_overlay(new QtSvgPixmapCache(this))
{
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    setGeometry(2, 8, 237, 237);
}

void CRpmGauge::setSkin(const QString &skin)
{
    m_skin = skin;
    m_background->load(kLayerFolder + skin);
    m_shadow->load(kLayerFolder + QStringLiteral("RPMneedle_shadow.svg"));
    m_needle->load(kLayerFolder + QStringLiteral("RPMneedle.svg"));
    m_overlay->load(kLayerFolder + QStringLiteral("RPMoverlay.svg"));
    updateGeometry();
    update();
}

void CRpmGauge::setMinimum(int v)
{
    m_minimum = v;
    if (m_value < v)
        m_value = v;
    update();
}

void CRpmGauge::setMaximum(int v)
{
    m_maximum = v;
    if (m_value > v)
        m_value = v;
    update();
}

void CRpmGauge::setStartAngle(qreal a)
{
    m_startAngle = a;
}

void CRpmGauge::setEndAngle(qreal a)
{
    m_endAngle = a;
}

void CRpmGauge::setValue(int v)
{
    const int before = m_value;
    m_value = qBound(m_minimum, v, qMax(m_minimum, m_maximum));
    if (m_value == before)
        return;
    const QRect was = needleArea(before);
    const QRect now = needleArea(m_value);
    if (was.isEmpty() || now.isEmpty())
        update();
    else
        update(QRegion(was) + now);
}

void CRpmGauge::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_inkSize = QSize(); // found again for the new size
}

CRpmGauge::NeedleFrame CRpmGauge::needleFrame() const
{
    const QSize face = m_background->defaultSize().isEmpty() ? QSize(1, 1)
                                                             : m_background->defaultSize();
    const QRectF r = fittedRect(face, size());
    NeedleFrame f;
    f.offset = QPointF((width() - r.width()) * 0.5, (height() - r.height()) * 0.5);
    f.layer = fittedRect(m_needle->defaultSize(), size());
    f.pivot = QPointF(m_originX * f.layer.width(), m_originY * f.layer.height());
    f.layer.moveTo(-std::trunc(f.pivot.x()), -std::trunc(f.pivot.y()));
    return f;
}

// The painter's transformation for a needle layer at this angle, from the
// layer's coordinates to the widget's. The shadow falls down and to the
// right of the needle, whatever its angle.
QTransform CRpmGauge::needleTransform(qreal angle, bool shadow) const
{
    const NeedleFrame f = needleFrame();
    QTransform t;
    t.translate(f.offset.x(), f.offset.y());
    t.translate(f.pivot.x(), f.pivot.y());
    if (shadow)
        t.translate(2.0, 4.0);
    t.rotate(angle);
    return t;
}

// The bounds of the pixels a layer leaves visible.
static QRectF inkBounds(const QImage &image, const QPointF &origin)
{
    int left = image.width(), top = image.height(), right = -1, bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0)
                continue;
            left = qMin(left, x);
            right = qMax(right, x);
            top = qMin(top, y);
            bottom = qMax(bottom, y);
        }
    }
    if (right < 0)
        return QRectF();
    return QRectF(origin.x() + left, origin.y() + top, right - left + 1, bottom - top + 1);
}

QRect CRpmGauge::needleArea(int value) const
{
    if (!m_needle->isValid() || width() <= 0 || height() <= 0)
        return QRect();
    const NeedleFrame f = needleFrame();
    if (m_inkSize != size()) {
        // Each layer drawn once, unturned, to find where its pixels lie.
        const QSize layer = f.layer.size().toSize().expandedTo(QSize(1, 1));
        QImage needle(layer, QImage::Format_ARGB32_Premultiplied);
        needle.fill(Qt::transparent);
        {
            QPainter p(&needle);
            m_needle->render(&p, QRectF(QPointF(0, 0), f.layer.size()));
        }
        m_needleInk = inkBounds(needle, f.layer.topLeft());
        QImage shadow(layer, QImage::Format_ARGB32_Premultiplied);
        shadow.fill(Qt::transparent);
        {
            QPainter p(&shadow);
            m_shadow->draw(&p, QRectF(QPointF(0, 0), f.layer.size()));
        }
        m_shadowInk = inkBounds(shadow, f.layer.topLeft());
        m_inkSize = size();
    }
    if (m_needleInk.isEmpty())
        return QRect();
    const qreal angle = gaugeAngle(value, m_minimum, m_maximum, m_startAngle, m_endAngle);
    QRectF area = needleTransform(angle, false).mapRect(m_needleInk);
    if (!m_shadowInk.isEmpty())
        area |= needleTransform(angle, true).mapRect(m_shadowInk);
    // Smoothing reaches a pixel beyond the shapes.
    return area.toAlignedRect().adjusted(-2, -2, 2, 2) & rect();
}

void CRpmGauge::setNeedleOrigin(qreal x, qreal y)
{
    m_originX = clampOrigin(x);
    m_originY = clampOrigin(y);
}

void CRpmGauge::setBackgroundColour(const QColor &colour)
{
    m_backgroundColour = colour;
    setAttribute(Qt::WA_OpaquePaintEvent, colour.isValid() && colour.alpha() == 255);
    update();
}

void CRpmGauge::setShowOverlay(bool show)
{
    m_showOverlay = show;
    update();
}

qreal CRpmGauge::needleAngle() const
{
    return gaugeAngle(m_value, m_minimum, m_maximum, m_startAngle, m_endAngle);
}

QSize CRpmGauge::sizeHint() const
{
    return QSize(400, 400);
}

QSize CRpmGauge::minimumSizeHint() const
{
    return QSize(100, 100);
}

void CRpmGauge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_backgroundColour.isValid())
        painter.fillRect(rect(), m_backgroundColour);

    // Centre the dial face in the widget. Without a face (a skin that did not
    // load) the other layers still go where the dial would be: its fitted
    // square, as every layer is drawn square.
    const QSize face = m_background->defaultSize().isEmpty() ? QSize(1, 1)
                                                             : m_background->defaultSize();
    const NeedleFrame f = needleFrame();
    painter.translate(f.offset);
    m_background->draw(&painter, fittedRect(face, size()));

    // The needle's layers around its pivot, turned to the value.
    const qreal angle = needleAngle();
    painter.setTransform(needleTransform(angle, true));
    m_shadow->draw(&painter, f.layer);
    painter.setTransform(needleTransform(angle, false));
    if (m_needle->isValid())
        m_needle->render(&painter, f.layer);
    painter.resetTransform();
    painter.translate(f.offset);

    if (m_showOverlay)
        m_overlay->draw(&painter, fittedRect(m_overlay->defaultSize(), size()));
}
