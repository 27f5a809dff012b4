#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <qwt_plot_curve.h>

class CProfileModel;
class QwtPlot;
class QwtPlotMarker;

// A curve drawn over or under the profile (the reference, the selected
// range). Its own run-time type keeps it out of the picker's reach and out of
// the search for the profile curve, which look for plain plot curves only.
class COverlayCurve : public QwtPlotCurve
{
public:
    static constexpr int Rtti = QwtPlotItem::Rtti_PlotUserItem + 1;
    using QwtPlotCurve::QwtPlotCurve;
    int rtti() const override { return Rtti; }
};

// The engine speed and the cell in use, as the link reports them: a vertical
// line at the speed and a ring around the cell's point. Shown only while the
// link is on. Reports come about 40 times a second; the plot is replotted
// at most once per MinReplotMs for them.
class CLiveCellMarker : public QObject
{
    Q_OBJECT
public:
    static constexpr int MinReplotMs = 34; // below 30 replots a second

    explicit CLiveCellMarker(const CProfileModel *model, QObject *parent = nullptr);

    // Creates the two markers on a plot whose items were just rebuilt (the
    // old markers went with them).
    void attachTo(QwtPlot *plot, double maxRpm);
    void setActive(bool active);
    void setRpm(int rpm);
    void setCell(int index, int ecuValue);
    // Puts the ring back on its point after the profile changed; the caller
    // replots.
    void follow();

    bool isShown() const;
    int rpm() const { return m_rpm; }
    int cellIndex() const { return m_index; }
    int replots() const { return m_replots; }

private:
    void schedule();
    void flush();
    void place();

    const CProfileModel *m_model;
    QwtPlot *m_plot = nullptr;
    QwtPlotMarker *m_line = nullptr;
    QwtPlotMarker *m_ring = nullptr;
    double m_maxRpm = 12000.0;
    bool m_active = false;
    bool m_seen = false; // a report arrived since the link went on
    int m_rpm = 0;
    int m_index = -1;
    int m_ecuValue = 0;
    int m_replots = 0;
    QTimer m_timer;
};
