#include "profile/profileplot.h"

#include "profile/canvaspicker.h"
#include "profile/profiledocument.h"

#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_grid.h>
#include <qwt_symbol.h>
#include <qwt_text.h>

namespace {
const QColor ReferenceColour(255, 190, 60);
}

CProfilePlot::CProfilePlot(QwtPlot *plot, CProfileDocument *document)
    : QObject(plot)
    , m_plot(plot)
    , m_document(document)
    , m_liveCell(document->model())
{
    const CProfileModel *model = document->model();
    connect(model, &CProfileModel::valuesChanged, this, &CProfilePlot::drawProfile);
    connect(model, &CProfileModel::selectionChanged, this, [this]() {
        // A selection made in the table moves the picker's point too, so
        // that the cursor commands go on from it.
        if (m_picker)
            m_picker->showSelection(m_profileCurve, m_document->model()->current());
        const bool wasRange = m_rangeCurve->dataSize() > 0;
        drawSelection();
        if (wasRange || m_rangeCurve->dataSize() > 0)
            m_plot->replot();
    });
    auto redrawReference = [this]() {
        drawReference();
        m_plot->replot();
    };
    connect(model, &CProfileModel::referenceChanged, this, redrawReference);
    connect(document, &CProfileDocument::sourcesChanged, this, redrawReference);
    connect(document, &CProfileDocument::variantApplied, this, &CProfilePlot::rebuild);
    rebuild();
}

// Only the items made here go; items of other classes stay on the plot.
// The picker goes first: it still points at the old profile curve.
void CProfilePlot::deleteItems()
{
    delete m_picker;
    delete m_legend;
    delete m_rangeCurve;
    delete m_profileCurve;
    delete m_referenceCurve;
    delete m_grid;
    m_legend = nullptr;
    m_rangeCurve = nullptr;
    m_profileCurve = nullptr;
    m_referenceCurve = nullptr;
    m_grid = nullptr;
}

void CProfilePlot::rebuild()
{
    const double maxRpm = m_document->maxRpm();
    const ValueRange range = m_document->valueRange();
    deleteItems();

    const QFont tickFont(QStringLiteral("Arial"), 8);
    m_plot->setAxisScale(QwtPlot::xBottom, 0.0, maxRpm, 1000.0);
    m_plot->setAxisFont(QwtPlot::xBottom, tickFont);
    m_plot->setAxisScale(QwtPlot::yLeft, range.valueMin, range.valueMax, range.valueAxisStep);
    m_plot->setAxisFont(QwtPlot::yLeft, tickFont);

    m_plot->setStyleSheet(QStringLiteral("background-color: rgb(60, 60, 60);"));
    m_plot->canvas()->setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));

    m_grid = new QwtPlotGrid;
    QwtPlotGrid *grid = m_grid;
    grid->setMajorPen(QPen(QBrush(QColor(137, 82, 0)), 0, Qt::SolidLine, Qt::SquareCap,
                           Qt::BevelJoin));
    grid->setMinorPen(QPen(QBrush(QColor(0, 50, 255)), 0, Qt::DotLine, Qt::SquareCap,
                           Qt::BevelJoin));
    grid->enableX(true);
    grid->enableY(true);
    grid->enableXMin(true);
    grid->enableYMin(true);
    grid->attach(m_plot);

    // The reference: dashed light orange, over the profile's blue fill so
    // that it shows where it runs below the profile too.
    m_referenceCurve = new COverlayCurve(QString());
    m_referenceCurve->setStyle(QwtPlotCurve::Lines);
    m_referenceCurve->setPen(QPen(QBrush(ReferenceColour), 2.0, Qt::DashLine));
    m_referenceCurve->setLegendAttribute(QwtPlotCurve::LegendShowLine);
    m_referenceCurve->setLegendIconSize(QSize(24, 8));
    m_referenceCurve->setZ(25);
    m_referenceCurve->attach(m_plot);

    m_profileCurve = new QwtPlotCurve(QString());
    m_profileCurve->setStyle(QwtPlotCurve::Lines);
    m_profileCurve->setPen(QPen(QBrush(Qt::white), 2.0, Qt::SolidLine, Qt::SquareCap,
                                Qt::BevelJoin));
    m_profileCurve->setBrush(QBrush(Qt::blue));
    m_profileCurve->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(Qt::red),
                                            QPen(Qt::black), QSize(8, 8)));
    m_profileCurve->attach(m_plot);

    // The points of a selected range, drawn highlighted over the profile.
    m_rangeCurve = new COverlayCurve(QString());
    m_rangeCurve->setStyle(QwtPlotCurve::NoCurve);
    m_rangeCurve->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(QColor(128, 255, 0)),
                                          QPen(Qt::black), QSize(8, 8)));
    m_rangeCurve->setZ(26);
    m_rangeCurve->attach(m_plot);

    // The reference's source, top right in the canvas: light text on a dark
    // box, so that it reads over the black canvas and the blue fill alike.
    m_legend = new CItemLegend(m_referenceCurve);
    m_legend->setAlignment(Qt::AlignRight | Qt::AlignTop);
    m_legend->setTextPen(QPen(Qt::white));
    m_legend->setBorderPen(QPen(ReferenceColour));
    m_legend->setBackgroundBrush(QBrush(QColor(30, 30, 30, 220)));
    m_legend->setBorderRadius(3.0);
    m_legend->setMargin(4);
    m_legend->attach(m_plot);

    m_liveCell.attachTo(m_plot, maxRpm);

    CProfileModel *model = m_document->model();
    // A new picker starts with nothing selected; so does the model.
    model->clearSelection();
    drawReference();
    drawProfile();

    m_picker = new CanvasPicker(m_plot);
    m_picker->setLimits(range.valueMin, range.valueMax, range.keyStepPixels);
    m_picker->setModel(model);
    m_picker->setEditRequestHandler([this] { emit editRequested(); });
}

void CProfilePlot::setTitles(const QString &title, const QString &xTitle, const QString &yTitle)
{
    QwtText plotTitle(title, QwtText::AutoText);
    plotTitle.setColor(Qt::yellow);
    m_plot->setTitle(plotTitle);

    QFont axisFont(QStringLiteral("Arial"), 18);
    axisFont.setBold(true);
    QwtText x(xTitle, QwtText::AutoText);
    x.setColor(Qt::white);
    x.setFont(axisFont);
    m_plot->setAxisTitle(QwtPlot::xBottom, x);

    QwtText y(yTitle, QwtText::AutoText);
    y.setColor(Qt::white);
    y.setFont(axisFont);
    m_plot->setAxisTitle(QwtPlot::yLeft, y);

    drawReference();
    m_plot->replot();
}

void CProfilePlot::cursorCommand(int key)
{
    if (m_picker)
        m_picker->cursorCommand(key);
}

// Points first..last of a list of values, at their engine speeds.
QVector<QPointF> CProfilePlot::points(const QVector<double> &values, int first, int last) const
{
    const QVector<double> keys = profileKeys(m_document->maxRpm());
    QVector<QPointF> out;
    for (int i = first; i <= last && i < values.size(); ++i)
        out.append(QPointF(keys[i], values[i]));
    return out;
}

void CProfilePlot::drawProfile()
{
    const QVector<double> &values = m_document->model()->values();
    m_profileCurve->setSamples(points(values, 0, ProfilePoints - 1));
    drawSelection();
    m_liveCell.follow();
    m_plot->replot();
}

void CProfilePlot::drawReference()
{
    const CProfileModel *model = m_document->model();
    m_referenceCurve->setSamples(points(model->reference(), 0, ProfilePoints - 1));
    m_referenceCurve->setVisible(model->hasReference());
    const QString source = m_document->referenceSource();
    m_referenceCurve->setTitle(source.isEmpty() ? tr("Riferimento")
                                                : tr("Riferimento: %1").arg(source));
    m_legend->setVisible(model->hasReference());
}

// The selected range's points go into the highlight curve; a single point is
// highlighted by the picker alone.
void CProfilePlot::drawSelection()
{
    const CProfileModel *model = m_document->model();
    const bool range = model->hasSelection() && model->last() > model->first();
    m_rangeCurve->setSamples(range ? points(model->values(), model->first(), model->last())
                                   : QVector<QPointF>());
}
