#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>

class QDateTime;

class CProfileDocument;
class CProfilePlot;
class QAction;
class QWidget;
class QwtPlot;

// The plot as a picture: a PNG of PlotImageSize pixels at PlotImageDpi, or an
// A4 landscape PDF page, chosen by the file's extension (".png", ".pdf", in
// any case), looking as on the screen (the grid's dotted hairlines too), with
// the caption (when there is one) in a strip over it. The file is written
// whole or not at all. False, with the reason in *error, for another
// extension or when the file cannot be written.
constexpr QSize PlotImageSize(1600, 900);
constexpr int PlotImageDpi = 150;
bool exportPlot(QwtPlot *plot, const QString &path, QString *error,
                const QString &caption = QString());

// The profile as a table for a spreadsheet: the header "rpm,value", then one
// row per point (engine speed, value), "." as the decimal mark, lines ended
// by "\n", UTF-8 without a byte-order mark. Missing values read as 0.
QByteArray profileCsv(const QVector<double> &values, double maxRpm);
// Writes profileCsv() whole or not at all; false with the reason in *error.
bool exportProfileCsv(const QString &path, const QVector<double> &values, double maxRpm,
                      QString *error);

// The two export commands, "Esporta grafico..." and "Esporta mappa CSV...":
// each asks for a file (starting in the profile folder, named after the
// profile shown), writes it and reports where, or shows why it could not.
// The plot's caption names the profile (its file, or where it was read),
// the ECU (when the window tells one) and the moment of the export.
// While the document is locked (a transfer runs) the commands are off.
class CProfileExporter : public QObject
{
    Q_OBJECT
public:
    CProfileExporter(QWidget *dialogParent, CProfileDocument *document, CProfilePlot *plot,
                     QObject *parent = nullptr);

    QAction *plotAction() const { return m_plotAction; }
    QAction *csvAction() const { return m_csvAction; }
    // What names the ECU in the caption (empty: no ECU known).
    void setEcuIdentity(std::function<QString()> identity) { m_ecuIdentity = std::move(identity); }
    QString caption(const QDateTime &when) const;

public slots:
    void onEsportaGrafico();
    void onEsportaCsv();
    void retranslate();

signals:
    // A short note for the status bar.
    void message(const QString &text);

private:
    QString suggestedPath(const QString &suffix) const;

    QPointer<QWidget> m_dialogParent;
    CProfileDocument *m_document;
    CProfilePlot *m_plot;
    QAction *m_plotAction;
    QAction *m_csvAction;
    std::function<QString()> m_ecuIdentity;
};
