#include "clogolabel.h"

#include <QPainter>
#include <QStyle>

CLogoLabel::CLogoLabel(QWidget *parent)
    : QLabel(parent)
{
}

QSize CLogoLabel::sizeHint() const
{
    return QSize(0, 0);
}

QSize CLogoLabel::minimumSizeHint() const
{
    return QSize(0, 0);
}

QRect CLogoLabel::pictureRect() const
{
    const QPixmap picture = pixmap(Qt::ReturnByValue);
    if (picture.isNull())
        return QRect();
    const QRect room = contentsRect();
    const QSize size = (QSizeF(picture.size()) / picture.devicePixelRatio())
                           .scaled(QSizeF(room.size()), Qt::KeepAspectRatio)
                           .toSize();
    return QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, size, room);
}

void CLogoLabel::paintEvent(QPaintEvent *event)
{
    const QPixmap picture = pixmap(Qt::ReturnByValue);
    if (picture.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(pictureRect(), picture);
}
