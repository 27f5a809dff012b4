#pragma once

#include <QLabel>

// The product logo under the gauge. Its panel is much wider than high, so the
// picture is scaled to fit the label whole, keeping its proportions, and
// centred; a plain QLabel with scaled contents would stretch it out of shape,
// and one without would show a sliver of it.
class CLogoLabel : public QLabel
{
    Q_OBJECT
public:
    explicit CLogoLabel(QWidget *parent = nullptr);

    // Where the picture is drawn: the largest rectangle of the picture's
    // proportions that fits the label's contents, centred; empty without one.
    QRect pictureRect() const;

    // The picture scales to whatever room the panel has left, so it asks for
    // none: unlike a plain label, it does not push the gauge above it aside.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};
