#include "profile/profileexport.h"

#include "profile/profilecodec.h"
#include "profile/profiledocument.h"
#include "profile/profilefolder.h"
#include "profile/profileplot.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QDateTime>
#include <QFontMetricsF>
#include <QImage>
#include <QLocale>
#include <QImageWriter>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <qwt_plot.h>
#include <qwt_plot_grid.h>
#include <qwt_plot_renderer.h>
#include <qwt_text.h>

namespace {

constexpr int PdfDpi = 300;

QString trExport(const char *text)
{
    return QCoreApplication::translate("CProfileExporter", text);
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return trExport("Impossibile scrivere il file %1: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

// The file is committed only when everything before went well; otherwise the
// save file is dropped and the old file, if any, stays.
bool commit(QSaveFile &file, const QString &path, QString *error)
{
    if (file.commit())
        return true;
    if (error)
        *error = cannotWrite(path, file.errorString());
    return false;
}

// The grid's hairlines (width 0) are one device pixel wide whatever the
// device: on a 300 dpi page their dots run together into a heavy mesh. For
// the export they are one screen pixel wide, scaled with the rest, and dotted
// as on the screen; afterwards they are as they were.
class ScreenLines
{
public:
    explicit ScreenLines(QwtPlot *plot)
    {
        for (QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotGrid)) {
            auto *grid = static_cast<QwtPlotGrid *>(item);
            m_saved.append({grid, grid->majorPen(), grid->minorPen()});
            grid->setMajorPen(widened(grid->majorPen()));
            grid->setMinorPen(widened(grid->minorPen()));
        }
    }
    ~ScreenLines()
    {
        for (const Saved &s : qAsConst(m_saved)) {
            s.grid->setMajorPen(s.major);
            s.grid->setMinorPen(s.minor);
        }
    }
    ScreenLines(const ScreenLines &) = delete;
    ScreenLines &operator=(const ScreenLines &) = delete;

private:
    static QPen widened(QPen pen)
    {
        if (pen.widthF() == 0.0) {
            pen.setWidthF(1.0);
            pen.setCosmetic(false);
        }
        return pen;
    }
    struct Saved
    {
        QwtPlotGrid *grid;
        QPen major;
        QPen minor;
    };
    QVector<Saved> m_saved;
};

// The caption over the plot, in the plot's colours, then the plot below it.
void render(QwtPlot *plot, QPainter *painter, const QRectF &rect, const QString &caption)
{
    QRectF plotRect = rect;
    if (!caption.isEmpty()) {
        QFont font = plot->font();
        font.setPointSizeF(10.0);
        font.setBold(true);
        painter->save();
        painter->setFont(font);
        const QFontMetricsF fm(font, painter->device());
        const QRectF strip(rect.topLeft(), QSizeF(rect.width(), fm.height() * 2.0));
        painter->fillRect(strip, plot->palette().color(QPalette::Window));
        painter->setPen(Qt::white);
        painter->drawText(strip.adjusted(fm.height(), 0, -fm.height(), 0),
                          Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          fm.elidedText(caption, Qt::ElideMiddle, strip.width() - 2 * fm.height()));
        painter->restore();
        plotRect.setTop(strip.bottom());
    }
    const ScreenLines lines(plot);
    QwtPlotRenderer().render(plot, painter, plotRect);
}

bool renderPng(QwtPlot *plot, const QString &caption, QSaveFile &file, const QString &path,
               QString *error)
{
    QImage image(PlotImageSize, QImage::Format_ARGB32_Premultiplied);
    const int dotsPerMeter = qRound(PlotImageDpi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(plot->palette().color(QPalette::Window));
    {
        QPainter painter(&image);
        render(plot, &painter, QRectF(QPointF(0, 0), PlotImageSize), caption);
    }
    QImageWriter writer(&file, "png");
    if (writer.write(image))
        return true;
    if (error)
        *error = cannotWrite(path, writer.errorString());
    return false;
}

bool renderPdf(QwtPlot *plot, const QString &caption, QSaveFile &file, const QString &path,
               QString *error)
{
    QPdfWriter pdf(&file);
    pdf.setCreator(QCoreApplication::applicationName());
    pdf.setTitle(caption.isEmpty() ? plot->title().text() : caption);
    pdf.setResolution(PdfDpi);
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                  QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        if (error)
            *error = cannotWrite(path, file.errorString());
        return false;
    }
    const QRect page = pdf.pageLayout().paintRectPixels(pdf.resolution());
    painter.fillRect(QRect(QPoint(0, 0), page.size()), plot->palette().color(QPalette::Window));
    render(plot, &painter, QRectF(QPointF(0, 0), page.size()), caption);
    if (painter.end())
        return true;
    if (error)
        *error = cannotWrite(path, file.errorString());
    return false;
}

// A name without one of the offered extensions gets the one of the chosen
// file type, so that the file opens where it is meant to.
QString withSuffix(const QString &name, const QStringList &accepted, const QString &fallback)
{
    const QString suffix = QFileInfo(name).suffix().toLower();
    return accepted.contains(suffix) ? name : name + QLatin1Char('.') + fallback;
}

} // namespace

bool exportPlot(QwtPlot *plot, const QString &path, QString *error, const QString &caption)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool png = suffix == QLatin1String("png");
    if (!png && suffix != QLatin1String("pdf")) {
        if (error)
            *error = trExport("Il formato di %1 non è riconosciuto: il nome deve finire con .png o .pdf.")
                         .arg(QDir::toNativeSeparators(path));
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = cannotWrite(path, file.errorString());
        return false;
    }
    // The plot's colours come from style sheets, which a widget takes only
    // when it is polished: a plot not shown yet would come out white, with
    // its white curve line invisible.
    plot->ensurePolished();
    const bool drawn = png ? renderPng(plot, caption, file, path, error)
                           : renderPdf(plot, caption, file, path, error);
    if (!drawn) {
        file.cancelWriting();
        return false;
    }
    return commit(file, path, error);
}

QByteArray profileCsv(const QVector<double> &values, double maxRpm)
{
    const QVector<double> keys = profileKeys(maxRpm);
    QByteArray csv("rpm,value\n");
    for (int i = 0; i < ProfilePoints; ++i) {
        // QString::number ignores the locale: "." is always the decimal mark.
        csv += QString::number(keys[i], 'g', 12).toUtf8() + ','
               + QString::number(values.value(i), 'g', 12).toUtf8() + '\n';
    }
    return csv;
}

bool exportProfileCsv(const QString &path, const QVector<double> &values, double maxRpm,
                      QString *error)
{
    QSaveFile file(path);
    const QByteArray csv = profileCsv(values, maxRpm);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size()) {
        if (error)
            *error = cannotWrite(path, file.errorString());
        return false;
    }
    return commit(file, path, error);
}

CProfileExporter::CProfileExporter(QWidget *dialogParent, CProfileDocument *document,
                                   CProfilePlot *plot, QObject *parent)
    : QObject(parent)
    , m_dialogParent(dialogParent)
    , m_document(document)
    , m_plot(plot)
    , m_plotAction(new QAction(this))
    , m_csvAction(new QAction(this))
{
    m_plotAction->setObjectName(QStringLiteral("actionEsporta_Grafico"));
    m_csvAction->setObjectName(QStringLiteral("actionEsporta_CSV"));
    connect(m_plotAction, &QAction::triggered, this, &CProfileExporter::onEsportaGrafico);
    connect(m_csvAction, &QAction::triggered, this, &CProfileExporter::onEsportaCsv);
    connect(document, &CProfileDocument::lockedChanged, this, [this](bool locked) {
        m_plotAction->setEnabled(!locked);
        m_csvAction->setEnabled(!locked);
    });
    m_plotAction->setEnabled(!document->isLocked());
    m_csvAction->setEnabled(!document->isLocked());
    retranslate();
}

void CProfileExporter::retranslate()
{
    m_plotAction->setText(tr("Esporta grafico..."));
    m_csvAction->setText(tr("Esporta mappa CSV..."));
}

// In the profile folder, named after the profile file shown ("mappa" when
// none is).
QString CProfileExporter::suggestedPath(const QString &suffix) const
{
    const QString shown = QFileInfo(m_document->filePath()).completeBaseName();
    const QString base = shown.isEmpty() ? tr("mappa") : shown;
    return QDir(profileFolder()).filePath(base + QLatin1Char('.') + suffix);
}

QString CProfileExporter::caption(const QDateTime &when) const
{
    QString profile = m_document->fileShown() ? QFileInfo(m_document->filePath()).fileName()
                                              : m_document->profileSource();
    if (profile.isEmpty())
        profile = tr("senza nome");
    QStringList parts{tr("Mappa: %1").arg(profile)};
    const QString ecu = m_ecuIdentity ? m_ecuIdentity() : QString();
    if (!ecu.isEmpty())
        parts << ecu;
    parts << QLocale().toString(when, QLocale::ShortFormat);
    return parts.join(QStringLiteral("   \u2014   "));
}

// While a transfer runs the profile on screen is not the profile: nothing is
// exported.
void CProfileExporter::onEsportaGrafico()
{
    if (m_document->isLocked())
        return;
    const QString title = tr("Esporta grafico");
    const QString pngFilter = tr("Immagine PNG (*.png)");
    const QString pdfFilter = tr("Documento PDF (*.pdf)");
    QString chosenFilter = pngFilter;
    QString name = QFileDialog::getSaveFileName(
        m_dialogParent, title, suggestedPath(QStringLiteral("png")),
        pngFilter + QStringLiteral(";;") + pdfFilter, &chosenFilter);
    if (name.isEmpty())
        return;
    name = withSuffix(name, {QStringLiteral("png"), QStringLiteral("pdf")},
                      chosenFilter == pdfFilter ? QStringLiteral("pdf") : QStringLiteral("png"));
    QString error;
    if (!exportPlot(m_plot->plot(), name, &error, caption(QDateTime::currentDateTime()))) {
        QMessageBox::warning(m_dialogParent, title, error);
        return;
    }
    emit message(tr("Grafico esportato in %1").arg(QDir::toNativeSeparators(name)));
}

void CProfileExporter::onEsportaCsv()
{
    if (m_document->isLocked())
        return;
    const QString title = tr("Esporta mappa CSV");
    QString name = QFileDialog::getSaveFileName(m_dialogParent, title,
                                                suggestedPath(QStringLiteral("csv")),
                                                tr("File CSV (*.csv)"));
    if (name.isEmpty())
        return;
    name = withSuffix(name, {QStringLiteral("csv")}, QStringLiteral("csv"));
    QString error;
    if (!exportProfileCsv(name, m_document->model()->values(), m_document->maxRpm(), &error)) {
        QMessageBox::warning(m_dialogParent, title, error);
        return;
    }
    emit message(tr("Mappa esportata in %1").arg(QDir::toNativeSeparators(name)));
}
