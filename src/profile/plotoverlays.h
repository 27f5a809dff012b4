#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <qwt_plot_curve.h>
#include <qwt_plot_legenditem.h>

class CLiveCellOverlay;
class CProfileModel;
class QwtPlot;

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

// A legend inside the canvas that lists one item only (the reference
// curve), whatever other items of the plot would show on a legend.
class CItemLegend : public QwtPlotLegendItem
{
public:
    explicit CItemLegend(const QwtPlotItem *shown)
        : m_shown(shown)
    {
    }
    void updateLegend(const QwtPlotItem *item, const QList<QwtLegendData> &data) override;

private:
    const QwtPlotItem *m_shown;
};

// The engine speed and the cell in use, as the link reports them: a vertical
// line at the speed and a ring around the cell's point. Shown only while the
// link is on. Reports come about 40 times a second: they are drawn on an
// overlay over the canvas, so the plot itself is never replotted for them,
// and the overlay is repainted at most once per MinRepaintMs.
class CLiveCellMarker : public QObject
{
    Q_OBJECT
public:
    static constexpr int MinRepaintMs = 34; // below 30 repaints a second

    explicit CLiveCellMarker(const CProfileModel *model, QObject *parent = nullptr);

    // Draws over this plot, whose engine-speed scale goes up to maxRpm.
    void attachTo(QwtPlot *plot, double maxRpm);
    void setActive(bool active);
    void setRpm(int rpm);
    void setCell(int index, int ecuValue);
    // Puts the ring back on its point after the profile changed.
    void follow();

    bool isShown() const;
    int rpm() const { return m_rpm; }
    int cellIndex() const { return m_index; }
    int repaints() const { return m_repaints; }

    // What the overlay draws, in plot coordinates.
    bool ringShown() const { return isShown() && m_index >= 0; }
    QPointF ringPoint() const;
    int ecuValue() const { return m_ecuValue; }

public slots:
    // The real-time worker's poll values, wired straight to its signals. The
    // cell's index comes right before its value in every poll answer.
    void onRpm(int rpm) { setRpm(rpm); }
    void onIdxCella(uchar index) { m_pendingIndex = index; }
    void onValCella(uchar value) { setCell(m_pendingIndex, static_cast<qint8>(value)); }

private:
    void schedule();
    void flush();

    const CProfileModel *m_model;
    QPointer<CLiveCellOverlay> m_overlay;
    double m_maxRpm = 12000.0;
    bool m_active = false;
    bool m_seen = false; // a report arrived since the link went on
    int m_rpm = 0;
    int m_index = -1;
    int m_pendingIndex = 0; // the index of the value still to come
    int m_ecuValue = 0;
    int m_repaints = 0;
    QTimer m_timer;
};
