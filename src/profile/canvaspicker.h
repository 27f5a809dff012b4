#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class CProfileModel;
class QwtPlot;
class QwtPlotCurve;
class QwtPlotCanvas;

// Selects and drags single points of the profile curve with the mouse, and
// steps and nudges the selection for the cursor commands. Values change
// through the profile model; Shift extends the model's selected range.
class CanvasPicker : public QObject
{
    Q_OBJECT
public:
    explicit CanvasPicker(QwtPlot *plot);

    void setLimits(float valueMin, float valueMax, int keyStepPixels);
    void setModel(CProfileModel *model) { m_model = model; }
    // Called on a double-click on the selection: the user wants to type its
    // value. (The picker declares no signals of its own.)
    void setEditRequestHandler(std::function<void()> handler) { m_onEdit = std::move(handler); }
    void cursorCommand(int key);

    QwtPlotCurve *selectedCurve() const { return m_selectedCurve; }
    int selectedIndex() const { return m_selectedIndex; }

    // Shows a selection made elsewhere (the table): point index of curve, or
    // nothing when index is -1. The model is not told; it is the source.
    void showSelection(QwtPlotCurve *curve, int index);

    void pickAt(const QPoint &pos, bool extend = false);
    void dragTo(const QPoint &pos);
    void nudge(int dy);
    void stepSelection(bool forward, bool extend = false);
    void drawSelected(bool highlight) const;

    bool event(QEvent *event) override;
    bool eventFilter(QObject *object, QEvent *event) override;

    // Nearest whole number, exact halves going up (2.5 -> 3, -2.5 -> -2).
    static double roundHalfUp(double v);

private:
    QwtPlot *plot() const;
    QwtPlotCanvas *canvas() const;

    void selectInModel(bool extend);

    CProfileModel *m_model = nullptr;
    std::function<void()> m_onEdit;
    QwtPlotCurve *m_selectedCurve = nullptr;
    int m_selectedIndex = -1;
    float m_valueMin = -10.0f;
    float m_valueMax = 25.0f;
    int m_keyStepPixels = 10;
};
