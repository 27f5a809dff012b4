#pragma once

#include <QPushButton>

// A push button whose caption is drawn with a thin dark outline, so that it
// stays readable on a face that runs from black to white (the test-bench
// button's gradient): the plain caption, white, vanished into the white end.
// Face, frame and focus are the style's (and style sheet's) own.
class COutlineButton : public QPushButton
{
    Q_OBJECT
public:
    explicit COutlineButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
