// The profile plot: set-up for the current variant and value range, and the
// four cursor commands.
#include "mainwindow/frmprogpannel.h"

#include "profile/canvaspicker.h"
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

    profileCurve = new QwtPlotCurve(QString());
    profileCurve->setStyle(QwtPlotCurve::Lines);
    profileCurve->setPen(QPen(QBrush(Qt::white), 2.0, Qt::SolidLine, Qt::SquareCap,
                              Qt::BevelJoin));
    profileCurve->setBrush(QBrush(Qt::blue));
    profileCurve->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(Qt::red),
                                          QPen(Qt::black), QSize(8, 8)));
    profileCurve->attach(plot);

    setFlatCurve(0);

    delete picker;
    picker = new CanvasPicker(plot);
    picker->setLimits(valueMin, valueMax, keyStepPixels);

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
