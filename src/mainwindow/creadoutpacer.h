#pragma once

#include <QObject>
#include <QTimer>

class CLiveCellMarker;
class CRpmGauge;
class QLabel;
class QLCDNumber;

// The live readouts at the display's pace: the engine speed on the LCD and
// the gauge, the probe level, and the live cell on the plot. Samples come
// about 50 times a second; each readout shows the last one received, all
// from the same sample, at most 20 times a second, and only what changed is
// repainted.
class CReadoutPacer : public QObject
{
public:
    static constexpr int IntervalMs = 50; // 20 updates a second

    CReadoutPacer(QLCDNumber *lcd, CRpmGauge *gauge, QLabel *probe, CLiveCellMarker *cell,
                  QObject *parent = nullptr);

    void setRpm(int rpm);
    void setProbe(int level);
    void setCell(int index, int ecuValue);
    // Every readout at 0 now; what was still to be shown is dropped.
    void reset();

    int updates() const { return m_updates; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void schedule();
    void flush();

    QLCDNumber *m_lcd;
    CRpmGauge *m_gauge;
    QLabel *m_probe;
    CLiveCellMarker *m_cell;
    QTimer m_timer;
    int m_rpm = 0, m_level = 0, m_index = -1, m_value = 0; // the latest sample
    int m_updates = 0;
};
