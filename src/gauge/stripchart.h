#pragma once

#include "comm/livesample.h"

#include <QTimer>
#include <QVector>
#include <qwt_plot.h>

class QwtPlotCurve;

// Engine speed (left axis, rpm) and probe level (right axis, 0..255) over the
// last 30 seconds, live or replayed, in the dark look of the profile plot.
// The newest answer sits at 0 s on the right.
//
// Answers go into a bounded ring; taking one only stores it and arms a
// single-shot timer, whose end replots once. So the chart is redrawn at most
// 4 times a second (30 s across a few hundred pixels move by about a pixel
// meanwhile), its timer runs only while answers come, and a hidden chart is
// redrawn only when it shows again.
class CStripChart : public QwtPlot
{
    Q_OBJECT
public:
    static constexpr qint64 WindowMs = 30000;
    // 30 s at the link's ~60 answers a second, with room to spare.
    static constexpr int Capacity = 2048;
    static constexpr int MinRepaintMs = 250;

    explicit CStripChart(QWidget *parent = nullptr);

    // The top of the engine-speed axis (the variant's 12000 or 17000 rpm).
    void setMaxRpm(double maxRpm);
    void retranslate();

    // The answers held, oldest first (the ring; the curves show those of the
    // last 30 s).
    int sampleCount() const { return m_count; }
    const CLiveSample &sample(int i) const;
    // Answers within the window of the newest one, as the curves draw them.
    int visibleCount() const { return m_visible; }
    int repaints() const { return m_repaints; }
    QwtPlotCurve *rpmCurve() const { return m_rpmCurve; }
    QwtPlotCurve *probeCurve() const { return m_probeCurve; }

public slots:
    // An answer (live, or from a replay). One older than the newest held
    // (a jump back in a replay, another source) starts the chart afresh.
    void addSample(const CLiveSample &sample);
    void clear();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void redraw();
    void scheduleRedraw();

    QVector<CLiveSample> m_ring;
    int m_first = 0;   // the oldest answer's place in the ring
    int m_count = 0;
    int m_visible = 0;
    int m_repaints = 0;
    QwtPlotCurve *m_rpmCurve;
    QwtPlotCurve *m_probeCurve;
    QTimer m_timer;
};
