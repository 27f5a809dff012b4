#pragma once

// Style sheets the main window puts on its buttons.
#define LED_ON_STYLE "background-image: url(:/led/imgs/LEDON.JPG);"
#define LED_OFF_STYLE "background-image: url(:/led/imgs/LEDOFF.JPG);"
#define BANCO_ON_STYLE                                                                             \
    "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, stop:0 rgba(165, 28, " \
    "32, 255), stop:1 rgba(255, 255, 255, 255));"
#define BANCO_OFF_STYLE                                                                            \
    "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:1, y2:0, stop:0 rgba(0, 0, 0, " \
    "255), stop:1 rgba(255, 255, 255, 255));"

// The expert-mode password.
#define EXPERT_PASSWORD "5821"

// The LED of LED_ON_STYLE / LED_OFF_STYLE sits at the left of the button face
// (a 20 px lamp centred 17 px from the left edge): a caption beside it starts
// at this x of the button or further right.
#define LED_CAPTION_LEFT 30
