#pragma once

#include <QObject>
#include <QPointer>
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

// The engine speed and the cell in use, as the link (or a replayed log)
// reports them: a vertical line at the speed and a ring around the cell's
// point. Shown only while the link is on or a log is replayed. Drawn on an
// overlay over the canvas, so the plot itself is never replotted for them;
// each change repaints only the strips the marker leaves and enters (no
// mask is computed). The caller paces the samples (the window's readouts,
// at most 30 a second).
class CLiveCellMarker : public QObject
{
    Q_OBJECT
public:
    explicit CLiveCellMarker(const CProfileModel *model, QObject *parent = nullptr);

    // Draws over this plot, whose engine-speed scale goes up to maxRpm.
    void attachTo(QwtPlot *plot, double maxRpm);
    void setActive(bool active);
    // One sample: the speed, the cell in use and the value the ECU reports
    // for it. Repainted at once.
    void setSample(int rpm, int index, int ecuValue);
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

private:
    void flush();

    const CProfileModel *m_model;
    QPointer<CLiveCellOverlay> m_overlay;
    double m_maxRpm = 12000.0;
    bool m_active = false;
    bool m_seen = false; // a report arrived since the link went on
    int m_rpm = 0;
    int m_index = -1;
    int m_ecuValue = 0;
    int m_repaints = 0;
};
