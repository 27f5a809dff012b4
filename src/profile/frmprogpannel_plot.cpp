// The profile plot: set-up for the current variant and value range, the
// drawing of the profile model (curve, selected range, reference), and the
// four cursor commands.
#include "mainwindow/frmprogpannel.h"

#include "profile/canvaspicker.h"
#include "profile/profilecodec.h"
#include "ui_frmprogpannel.h"

#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_widget.h>
#include <qwt_symbol.h>

void frmProgPannel::setupPlot()
{
    QwtPlot *plot = ui->qwtPlot;
    plot->detachItems(QwtPlotItem::Rtti_PlotItem, true);
    profileCurve = nullptr;
    referenceCurve = nullptr;
    rangeCurve = nullptr;

    setPlotTitles();

    QFont tickFont(QStringLiteral("Arial"), 8);
    plot->setAxisScale(QwtPlot::xBottom, 0.0, maxRpm, 1000.0);
    plot->setAxisFont(QwtPlot::xBottom, tickFont);
    plot->setAxisScale(QwtPlot::yLeft, valueMin, valueMax, valueAxisStep);
    plot->setAxisFont(QwtPlot::yLeft, tickFont);

    plot->setStyleSheet(QStringLiteral("background-color: rgb(60, 60, 60);"));
    plot->canvas()->setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));

    auto *grid = new QwtPlotGrid;
    grid->setMajorPen(QPen(QBrush(QColor(137, 82, 0)), 0, Qt::SolidLine, Qt::SquareCap,
                           Qt::BevelJoin));
    grid->setMinorPen(QPen(QBrush(QColor(0, 50, 255)), 0, Qt::DotLine, Qt::SquareCap,
                           Qt::BevelJoin));
    grid->enableX(true);
    grid->enableY(true);
    grid->enableXMin(true);
    grid->enableYMin(true);
    grid->attach(plot);

    // The reference: thin and grey, over the profile's fill so that it shows
    // where it runs below the profile too.
    referenceCurve = new COverlayCurve(QString());
    referenceCurve->setStyle(QwtPlotCurve::Lines);
    referenceCurve->setPen(QPen(QBrush(QColor(170, 170, 170)), 1.0, Qt::SolidLine));
    referenceCurve->setZ(25);
    referenceCurve->attach(plot);

    profileCurve = new QwtPlotCurve(QString());
    profileCurve->setStyle(QwtPlotCurve::Lines);
    profileCurve->setPen(QPen(QBrush(Qt::white), 2.0, Qt::SolidLine, Qt::SquareCap,
                              Qt::BevelJoin));
    profileCurve->setBrush(QBrush(Qt::blue));
    profileCurve->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(Qt::red),
                                          QPen(Qt::black), QSize(8, 8)));
    profileCurve->attach(plot);

    // The points of a selected range, drawn highlighted over the profile.
    rangeCurve = new COverlayCurve(QString());
    rangeCurve->setStyle(QwtPlotCurve::NoCurve);
    rangeCurve->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(QColor(128, 255, 0)),
                                        QPen(Qt::black), QSize(8, 8)));
    rangeCurve->setZ(26);
    rangeCurve->attach(plot);

    liveCell.attachTo(plot, maxRpm);

    profileModel.setLimits(valueMin, valueMax);
    profileModel.clearSelection();
    setFlatCurve(0);
    drawReference();
    drawProfile(); // also when the values were zeros already

    delete picker;
    picker = new CanvasPicker(plot);
    picker->setLimits(valueMin, valueMax, keyStepPixels);
    picker->setModel(&profileModel);
    connect(picker, &CanvasPicker::sgnEditRequested, this, &frmProgPannel::onImpostaValore);

    ui->spProfiloPiatto->setRange(static_cast<int>(valueMin), static_cast<int>(valueMax));
}

void frmProgPannel::onMuoviDestra()
{
    picker->cursorCommand(Qt::Key_Right);
}

void frmProgPannel::onMuoviSinistra()
{
    picker->cursorCommand(Qt::Key_Left);
}

void frmProgPannel::onMuoviSu()
{
    picker->cursorCommand(Qt::Key_Up);
}

void frmProgPannel::onMuoviGiu()
{
    picker->cursorCommand(Qt::Key_Down);
}

void frmProgPannel::drawProfile()
{
    if (!profileCurve)
        return;
    const QVector<double> keys = profileKeys(maxRpm);
    const QVector<double> &values = profileModel.values();
    QVector<QPointF> points;
    for (int i = 0; i < ProfilePoints; ++i)
        points.append(QPointF(keys[i], values[i]));
    profileCurve->setSamples(points);
    drawSelection();
    liveCell.follow();
    ui->qwtPlot->replot();
}

void frmProgPannel::drawReference()
{
    if (!referenceCurve)
        return;
    const QVector<double> keys = profileKeys(maxRpm);
    QVector<QPointF> points;
    const QVector<double> &ref = profileModel.reference();
    for (int i = 0; i < ref.size(); ++i)
        points.append(QPointF(keys[i], ref[i]));
    referenceCurve->setSamples(points);
    referenceCurve->setVisible(profileModel.hasReference());
}

// Puts the selected range's points into the highlight curve; a single point
// is highlighted by the picker alone.
void frmProgPannel::drawSelection()
{
    if (!rangeCurve)
        return;
    const QVector<double> keys = profileKeys(maxRpm);
    QVector<QPointF> points;
    if (profileModel.hasSelection() && profileModel.last() > profileModel.first()) {
        for (int i = profileModel.first(); i <= profileModel.last(); ++i)
            points.append(QPointF(keys[i], profileModel.value(i)));
    }
    rangeCurve->setSamples(points);
}
