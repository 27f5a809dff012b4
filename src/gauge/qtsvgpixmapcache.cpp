#include "qtsvgpixmapcache.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QtMath>

struct QtSvgPixmapCache::Private
{
    QSvgRenderer renderer;
    QPixmap pixmap;
    int renderCount = 0;
};

QtSvgPixmapCache::QtSvgPixmapCache(QObject *parent)
    : QObject(parent), d(new Private)
{
}

QtSvgPixmapCache::~QtSvgPixmapCache()
{
    delete d;
}

bool QtSvgPixmapCache::load(const QString &fileName)
{
    // A new file always invalidates the rendered pixmap, even when the load
    // fails (the renderer is then invalid and nothing is drawn).
    d->pixmap = QPixmap();
    return d->renderer.load(fileName);
}

QSize QtSvgPixmapCache::defaultSize() const
{
    return d->renderer.defaultSize();
}

void QtSvgPixmapCache::draw(QPainter *painter, const QRectF &rect)
{
    if (!d->renderer.isValid())
        return;

    // Round halves upward (qRound would round -0.5 away from zero).
    const QSize target(int(qFloor(rect.width() + 0.5)), int(qFloor(rect.height() + 0.5)));
    if (target.isEmpty())
        return;

    if (d->pixmap.isNull() || d->pixmap.size() != target) {
        d->pixmap = QPixmap(target);
        d->pixmap.fill(Qt::transparent);
        QPainter p(&d->pixmap);
        d->renderer.render(&p);
        p.end();
        ++d->renderCount;
    }
    painter->drawPixmap(rect.topLeft(), d->pixmap);
}

bool QtSvgPixmapCache::isValid() const
{
    return d->renderer.isValid();
}

int QtSvgPixmapCache::renderCount() const
{
    return d->renderCount;
}
