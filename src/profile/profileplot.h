#pragma once

#include "profile/canvaspicker.h"
#include "profile/plotoverlays.h"
#include "profile/profilecodec.h"

#include <QObject>
#include <QPointer>

class CProfileDocument;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotGrid;

// The profile on the form's plot: the curve, the reference and the selected
// range drawn from the document's model, on the document's ranges (rebuilt
// whenever a variant is taken into use), the picker that selects and drags
// points, and the live cell marker. It redraws whenever the model changes;
// while the document is locked the picker drags nothing. While there is a
// reference, a legend in the canvas names where it comes from. It is a child
// of the plot; the document must outlive the plot. Items that other classes
// attach to the plot are theirs: a rebuild leaves them alone.
class CProfilePlot : public QObject
{
    Q_OBJECT
public:
    CProfilePlot(QwtPlot *plot, CProfileDocument *document);

    // The three titles, and the legend's text in the language in use.
    void setTitles(const QString &title, const QString &xTitle, const QString &yTitle);
    // The four cursor commands: Qt::Key_Left, Key_Right, Key_Up, Key_Down.
    void cursorCommand(int key);

    QwtPlot *plot() const { return m_plot; }
    CanvasPicker *picker() const { return m_picker; }
    CLiveCellMarker *liveCell() { return &m_liveCell; }
    QwtPlotCurve *profileCurve() const { return m_profileCurve; }
    QwtPlotCurve *referenceCurve() const { return m_referenceCurve; }
    QwtPlotCurve *rangeCurve() const { return m_rangeCurve; }
    QwtPlotLegendItem *referenceLegend() const { return m_legend; }

signals:
    // A double-click on the selection: the user wants to type its value.
    void editRequested();

private:
    // Rebuilds the plot for the document's variant and value range: axes,
    // grid, curves, a new picker with nothing selected. The values and the
    // undo history stay as they are.
    void rebuild();
    void drawProfile();
    void drawReference();
    void drawSelection();
    void deleteItems();
    QVector<QPointF> points(const QVector<double> &values, int first, int last) const;

    QwtPlot *m_plot;
    CProfileDocument *m_document;
    QPointer<CanvasPicker> m_picker;
    // The plot items made here; the plot deletes them with itself.
    QwtPlotGrid *m_grid = nullptr;
    QwtPlotCurve *m_profileCurve = nullptr;
    COverlayCurve *m_referenceCurve = nullptr;
    COverlayCurve *m_rangeCurve = nullptr;
    CItemLegend *m_legend = nullptr;
    CLiveCellMarker m_liveCell;
};
