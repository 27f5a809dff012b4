#include "crpmgauge.h"
#include "qtsvgpixmapcache.h"

#include <QPainter>
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
    if (v < m_minimum)
        m_value = m_minimum;
    else if (v > m_maximum)
        m_value = m_maximum;
    else
        m_value = v;
    update();
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
    const QRectF r = fittedRect(face, size());
    painter.translate((width() - r.width()) * 0.5, (height() - r.height()) * 0.5);
    painter.save();
    m_background->draw(&painter, r);

    // Move the coordinate origin onto the needle's pivot.
    QRectF n = fittedRect(m_needle->defaultSize(), size());
    const qreal pivotX = m_originX * n.width();
    const qreal pivotY = m_originY * n.height();
    n.moveTo(-std::trunc(pivotX), -std::trunc(pivotY));
    painter.translate(pivotX, pivotY);
    painter.save();

    const qreal angle = needleAngle();

    // The shadow falls down and to the right of the needle, whatever its angle.
    painter.translate(2.0, 4.0);
    painter.rotate(angle);
    m_shadow->draw(&painter, n);
    painter.restore();

    painter.rotate(angle);
    if (m_needle->isValid())
        m_needle->render(&painter, n);
    painter.restore();

    if (m_showOverlay)
        m_overlay->draw(&painter, fittedRect(m_overlay->defaultSize(), size()));
}
