#pragma once

#include <QLabel>
#include <QTimer>

// A short message in the status bar that leaves the bar's other labels in
// place (QStatusBar::showMessage hides every ordinary status-bar widget):
// a label of its own that clears itself after a few seconds.
class CStatusNotice : public QLabel
{
    Q_OBJECT
public:
    explicit CStatusNotice(QWidget *parent = nullptr);

public slots:
    void showMessage(const QString &text, int milliseconds = 5000);
    void clearMessage();

private:
    QTimer m_clear;
};
