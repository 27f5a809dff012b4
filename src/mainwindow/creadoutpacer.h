#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class CLiveCellMarker;
class CRpmGauge;
class QLabel;
class QLCDNumber;

// The live readouts at the display's pace: the engine speed on the gauge
// and the LCD, the probe level, and the live cell on the plot. Samples come
// about 50 times a second, one at a time or a few together, and each readout
// shows the last one received. The needle moves at most 25 times a second;
// the numbers (the LCD, the probe level and the live cell with its label)
// change at most 10 times a second, all from the same sample: a number that
// changes faster cannot be read, and they cost the most to repaint. Only
// what changed is repainted, and samples that come at the display's pace
// anyway are shown in the same pass of the event loop.
class CReadoutPacer : public QObject
{
public:
    static constexpr int IntervalMs = 40;         // the needle: at most 25 a second
    static constexpr int NumbersIntervalMs = 100; // the numbers: at most 10 a second

    CReadoutPacer(QLCDNumber *lcd, CRpmGauge *gauge, QLabel *probe, CLiveCellMarker *cell,
                  QObject *parent = nullptr);

    void setRpm(int rpm);
    void setProbe(int level);
    void setCell(int index, int ecuValue);
    // Every readout at 0 now; what was still to be shown is dropped.
    void reset();

    // How often the numbers have changed.
    int updates() const { return m_updates; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void schedule();
    void flush();
    void showNumbers();

    QLCDNumber *m_lcd;
    CRpmGauge *m_gauge;
    QLabel *m_probe;
    CLiveCellMarker *m_cell;
    QTimer m_timer;
    QElapsedTimer m_sinceFlush;
    QElapsedTimer m_sinceNumbers;
    bool m_numbersPending = false;
    int m_rpm = 0, m_level = 0, m_index = -1, m_value = 0; // the latest sample
    int m_updates = 0;
};
