#pragma once

#include "comm/livesample.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QVector>
#include <qwt_plot_item.h>

class QAction;
class QwtPlot;
class QwtScaleMap;

// How long the engine ran in each of the 41 cells, from the poll answers of
// the link. The time between two consecutive answers counts for the cell of
// the earlier one. A gap longer than MaxGapMs (the link was stopped, paused
// for a transfer or lost) counts not at all: nobody knows where the engine
// ran meanwhile, and a guess would swell the cell the link stopped in. So
// does the time after an answer that names no cell of the curve or reports
// the engine stopped (0 rpm: a minute with the ignition on and the engine
// off would otherwise dwarf every other cell). A clock that goes backwards
// starts a new run.
//
// Answers come about 50 times a second; changed() is coalesced to at most one
// per notify interval (a second by default: each change replots the whole
// profile plot, and shares of the running time move slowly).
class CCellTimeHistogram : public QObject
{
    Q_OBJECT
public:
    static constexpr int Cells = 41;
    static constexpr qint64 MaxGapMs = 1000;
    static constexpr int DefaultNotifyMs = 1000;

    explicit CCellTimeHistogram(int notifyMs = DefaultNotifyMs, QObject *parent = nullptr);

    // The share of the counted time spent in each cell: 41 fractions that
    // sum to 1, or 41 zeros while no time has been counted.
    QVector<double> shares() const;
    qint64 cellMs(int cell) const { return m_ms.value(cell); }
    qint64 totalMs() const { return m_totalMs; }

    // A whole log (a replayed recording) as a run of its own: its first
    // answer does not join the last one seen before. changed() follows at
    // once. The log is taken in its order.
    void addLog(const QVector<CLiveSample> &log);

public slots:
    // One poll answer; wire to CEcuSession::liveSample.
    void onLiveSample(const CLiveSample &sample);
    // The next answer starts a new run (the link stopped, the connection
    // ended): the time up to it is not counted.
    void endRun() { m_hasLast = false; }
    // Forgets every time counted; changed() follows at once.
    void reset();

signals:
    void changed();

private:
    bool take(const CLiveSample &sample);
    void notifyNow();

    QVector<qint64> m_ms;
    qint64 m_totalMs = 0;
    CLiveSample m_last;
    bool m_hasLast = false;
    QTimer m_notify;
};

class CCellTimeView;

// The shares as light, translucent bars along the bottom of the canvas, one
// per cell, centred on the cell's engine speed; the largest share reaches a
// third of the canvas height. Each bar of at least half a percent carries
// its share over it ("12%", "3.5%"), and a legend in the canvas's top left
// corner says what the bars are, on the screen and in exports alike. They lie under the grid and the profile, so
// the curve, its points and the picker stay as they are; where the profile's
// opaque fill covers the bottom of the canvas (negative values) it hides them.
// A run-time type of their own keeps them out of the searches for curves.
class CCellTimeBars : public QwtPlotItem
{
public:
    static constexpr int Rtti = QwtPlotItem::Rtti_PlotUserItem + 19;
    // Just over the profile's opaque fill (the profile curve is at 20), under
    // the reference (25) and the selected range (26): translucent, so the
    // fill and the curve show through.
    static constexpr double Z = 21.0;
    static constexpr double WidthOfCell = 0.7;
    static inline const QColor Colour = QColor(170, 225, 255, 110);
    static inline const QColor LabelColour = QColor(170, 225, 255);

    CCellTimeBars() : CCellTimeBars(nullptr) {}
    // Bars that tell their view when the plot deletes them.
    explicit CCellTimeBars(CCellTimeView *view);
    ~CCellTimeBars() override;

    int rtti() const override { return Rtti; }
    void setShares(const QVector<double> &shares);
    const QVector<double> &shares() const { return m_shares; }
    void setLegend(const QString &text);
    // What a bar with this share carries over it; empty under half a
    // percent.
    static QString label(double share);
    // The engine-speed scale of the variant: cell i sits at i * maxRpm / 40.
    void setMaxRpm(double maxRpm);
    double maxRpm() const { return m_maxRpm; }

    // Where each bar goes on a canvas, in pixels; an empty rectangle for a
    // cell without time.
    QVector<QRectF> barRects(const QwtScaleMap &xMap, const QRectF &canvasRect) const;

    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

private:
    QPointer<CCellTimeView> m_view;
    QVector<double> m_shares;
    double m_maxRpm = 12000.0;
    QString m_legend;
};

// The time in each cell as the user meets it: the histogram, its bars on the
// plot and the two commands "Tempo nelle celle" (shows or hides the bars) and
// "Azzera tempo nelle celle". Counting goes on while the bars are hidden. The
// bars belong to the plot once attached. A rebuild of the plot that deletes
// every item takes them too: the next change (setMaxRpm after the rebuild,
// new shares, showing them) puts new bars on the plot.
class CCellTimeView : public QObject
{
    Q_OBJECT
public:
    explicit CCellTimeView(QwtPlot *plot, QObject *parent = nullptr,
                           int notifyMs = CCellTimeHistogram::DefaultNotifyMs);
    ~CCellTimeView() override;

    CCellTimeHistogram *histogram() { return &m_histogram; }
    // The bars on the plot; null once the plot is gone.
    CCellTimeBars *bars();
    QAction *showAction() const { return m_show; }
    QAction *resetAction() const { return m_reset; }

public slots:
    void setShown(bool shown);
    // The variant changed: the bars move to the new engine-speed scale.
    void setMaxRpm(double maxRpm);
    // The action texts in the language installed now.
    void retranslate();

private:
    friend class CCellTimeBars;
    void barsDeleted() { m_bars = nullptr; }
    static QString legendText();

    QPointer<QwtPlot> m_plot;
    CCellTimeHistogram m_histogram;
    CCellTimeBars *m_bars = nullptr; // owned by the plot
    double m_maxRpm = 12000.0;
    QAction *m_show;
    QAction *m_reset;
};
