#pragma once

#include "comm/livesample.h"

#include <QTimer>
#include <QVector>
#include <qwt_plot.h>

class QwtPlotCurve;
class QwtPlotMarker;

// Engine speed (left axis, rpm) and probe level (right axis, 0..255) over
// time, live or from a log, in the dark look of the profile plot.
//
// Live, the answers go into a bounded ring and the time axis counts the
// seconds before the newest one (0 s on the right). A log is held whole:
// the time axis is the log's own clock (m:ss), and a dashed line marks the
// replay's position.
//
// The view shows the last 30 s up to the newest answer (live) or the
// replay's position (log) and follows it. The wheel zooms the time axis
// around the mouse (from a second to all the chart holds), a drag pans it
// (the view then stays where it was put until it is panned back to the
// newest second), Left/Right pan, +/- zoom and Home shows it all. A cursor
// follows the mouse over the canvas with the time, engine speed and probe
// level there; a click (without a drag) asks for that moment (timeChosen),
// for the replay to move there.
//
// Taking an answer only stores it and arms a single-shot timer, whose end
// replots once. So the chart is redrawn at most 4 times a second by the
// answers, its timer runs only while answers come, and a hidden chart is
// redrawn only when it shows again; the user's zoom, pan and cursor redraw
// at once. A view of more rows than MaxPoints is drawn from the lowest and
// highest values of each of MaxPoints / 2 slices, so no peak is lost.
class CStripChart : public QwtPlot
{
    Q_OBJECT
public:
    static constexpr qint64 WindowMs = 30000;
    static constexpr qint64 MinSpanMs = 1000;
    // 30 s at the link's ~60 answers a second, with room to spare.
    static constexpr int Capacity = 2048;
    static constexpr int MinRepaintMs = 250;
    static constexpr int MaxPoints = 4096;

    explicit CStripChart(QWidget *parent = nullptr);

    // The top of the engine-speed axis (the variant's 12000 or 17000 rpm).
    void setMaxRpm(double maxRpm);
    void retranslate();

    // The rows held, oldest first: the ring of live answers, or the log.
    int sampleCount() const;
    const CLiveSample &sample(int i) const;
    bool showsLog() const { return m_showsLog; }
    // Rows within the view, as the curves draw them (or their slices).
    int visibleCount() const { return m_visible; }
    int repaints() const { return m_repaints; }
    QwtPlotCurve *rpmCurve() const { return m_rpmCurve; }
    QwtPlotCurve *probeCurve() const { return m_probeCurve; }

    // The view: its span and right edge (ms on the rows' clock), and whether
    // it follows the newest answer or the replay's position.
    qint64 viewSpanMs() const { return m_spanMs; }
    qint64 viewEndMs() const;
    bool follows() const { return m_follow; }
    // The cursor's text, empty while the mouse is off the canvas.
    QString cursorText() const;

public slots:
    // An answer (live). One older than the newest held (another source)
    // starts the chart afresh; after a log, the ring starts empty.
    void addSample(const CLiveSample &sample);
    // A whole log, shown at position 0 with the view of its first 30 s.
    void setLog(const QVector<CLiveSample> &rows);
    // The replay's position in the log, ms.
    void setPosition(qint64 ms);
    void clear();
    // The whole of what is held.
    void showAll();
    // Zooms by factor (below 1: in) around the moment at ms.
    void zoom(double factor, qint64 aroundMs);
    // Moves the view by ms (positive: later).
    void pan(qint64 ms);

signals:
    void timeChosen(qint64 ms);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void redraw();
    void scheduleRedraw();
    qint64 newestMs() const;
    qint64 oldestMs() const;
    qint64 originMs() const { return m_showsLog ? 0 : newestMs(); }
    qint64 msAt(double canvasX) const;
    int indexAt(qint64 ms) const; // the last row at or before ms; -1: none
    void setView(qint64 span, qint64 end);
    void showCursor(double canvasX);

    QVector<CLiveSample> m_ring;
    int m_first = 0;   // the oldest answer's place in the ring
    int m_count = 0;
    QVector<CLiveSample> m_log;
    bool m_showsLog = false;
    qint64 m_position = 0;
    qint64 m_spanMs = WindowMs;
    qint64 m_endMs = 0; // while not following
    bool m_follow = true;
    int m_visible = 0;
    int m_repaints = 0;
    double m_pressX = -1.0; // the canvas x of a press, -1 without one
    qint64 m_pressEnd = 0;
    bool m_dragged = false;
    qint64 m_cursorMs = -1; // -1: no cursor
    QwtPlotCurve *m_rpmCurve;
    QwtPlotCurve *m_probeCurve;
    QwtPlotMarker *m_cursor;
    QwtPlotMarker *m_positionLine;
    QTimer m_timer;
};
