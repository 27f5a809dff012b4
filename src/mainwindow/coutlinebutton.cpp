#include "coutlinebutton.h"

#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStylePainter>

COutlineButton::COutlineButton(QWidget *parent)
    : QPushButton(parent)
{
}

void COutlineButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    if (caption.isEmpty())
        return;

    // The caption centred in the contents, as the style would place it.
    const QRect room = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    const QFontMetricsF fm(font());
    const QPointF origin(room.left() + (room.width() - fm.horizontalAdvance(caption)) / 2.0,
                         room.top() + (room.height() - fm.height()) / 2.0 + fm.ascent());
    QPainterPath path;
    path.addText(origin, font(), caption);

    painter.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::ButtonText);
    const QColor outline =
        text.lightness() > 127 ? QColor(0, 0, 0, 200) : QColor(255, 255, 255, 200);
    painter.strokePath(path, QPen(outline, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, text);
}
