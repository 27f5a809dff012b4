#pragma once

#include <QColor>
#include <QRectF>
#include <QTransform>
#include <QString>
#include <QWidget>

class QtSvgPixmapCache;
class QSvgRenderer;

// Needle angle for a value: startAngle + (endAngle - startAngle) *
// (value - minimum) / (maximum - minimum); startAngle when the range is empty.
qreal gaugeAngle(int value, int minimum, int maximum, qreal startAngle, qreal endAngle);

// The engine-speed dial: four SVG layers (face, needle shadow, needle, glass
// overlay); the needle turns with the value.
class CRpmGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString skin READ skin WRITE setSkin)
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(qreal startAngle READ startAngle WRITE setStartAngle)
    Q_PROPERTY(qreal endAngle READ endAngle WRITE setEndAngle)
public:
    explicit CRpmGauge(QWidget *parent = nullptr);

    QString skin() const { return m_skin; }
    void setSkin(const QString &skin);
    int minimum() const { return m_minimum; }
    void setMinimum(int v);
    int maximum() const { return m_maximum; }
    void setMaximum(int v);
    qreal startAngle() const { return m_startAngle; }
    void setStartAngle(qreal a);
    qreal endAngle() const { return m_endAngle; }
    void setEndAngle(qreal a);

    int value() const { return m_value; }
    qreal needleOriginX() const { return m_originX; }
    qreal needleOriginY() const { return m_originY; }
    void setNeedleOrigin(qreal x, qreal y);
    void setShowOverlay(bool show);
    // A colour to paint behind the dial (none by default: the parent shows
    // through). With one the dial is opaque, and a new needle position
    // repaints the dial alone, not the widgets behind it.
    void setBackgroundColour(const QColor &colour);
    bool showOverlay() const { return m_showOverlay; }

    // The angle the needle is drawn at for the current value.
    qreal needleAngle() const;
    // The part of the widget that the needle and its shadow cover at this
    // value: a new value repaints the old and the new part alone.
    QRect needleArea(int value) const;

    // For tests: the three cached layers.
    QtSvgPixmapCache *backgroundCache() const { return m_background; }
    QtSvgPixmapCache *shadowCache() const { return m_shadow; }
    QtSvgPixmapCache *overlayCache() const { return m_overlay; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setValue(int v);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Where the needle's layers are drawn: the offset of the centred dial,
    // the pivot, and the layers' rectangle around the pivot.
    struct NeedleFrame
    {
        QPointF offset;
        QPointF pivot;
        QRectF layer;
    };
    NeedleFrame needleFrame() const;
    QTransform needleTransform(qreal angle, bool shadow) const;

    QtSvgPixmapCache *m_background;
    QtSvgPixmapCache *m_shadow;
    QSvgRenderer *m_needle;
    QtSvgPixmapCache *m_overlay;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_value = 0;
    qreal m_startAngle = 0.0;
    qreal m_endAngle = 100.0;
    qreal m_originX = 0.5;
    qreal m_originY = 0.5;
    bool m_showOverlay = true;
    QString m_skin;
    QColor m_backgroundColour;
    // The needle's and the shadow's drawn pixels within their layer, found
    // once per size (empty: not known, the whole dial is repainted).
    mutable QRectF m_needleInk;
    mutable QRectF m_shadowInk;
    mutable QSize m_inkSize;
};
