#pragma once

#include <QObject>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

// One SVG layer rendered once per size into a pixmap and then only blitted.
class QtSvgPixmapCache : public QObject
{
public:
    explicit QtSvgPixmapCache(QObject *parent = nullptr);
    ~QtSvgPixmapCache() override;

    bool load(const QString &fileName);
    QSize defaultSize() const;
    void draw(QPainter *painter, const QRectF &rect);

    bool isValid() const;
    // How often the SVG has been rendered into the pixmap (for tests).
    int renderCount() const;

private:
    struct Private;
    Private *d;
};
