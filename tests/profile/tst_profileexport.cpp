// Export of the profile: the CSV text exactly, the plot as PNG and PDF files,
// failures reported without leaving a file, and the two commands from the
// file dialog to the file written.
#include "profile/profiledocument.h"
#include "profile/profileexport.h"
#include "profile/profilefolder.h"
#include "profile/profileplot.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <qwt_plot.h>

using Values = QVector<double>;
using Rows = QMap<int, QString>; // line number (0 = header) -> line

class TestProfileExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void csv_data();
    void csv();
    void plotFiles_data();
    void plotFiles();
    void failures_data();
    void failures();
    void commands();

private:
    QTemporaryDir dir;
};

void TestProfileExport::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestProfileExport::csv_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<double>("maxRpm");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<Rows>("rows");

    Values ramp;
    for (int i = 0; i < ProfilePoints; ++i)
        ramp.append(i - 10);
    QTest::newRow("2 cylinders") << ramp << 12000.0 << "C"
                                 << Rows{{0, "rpm,value"}, {1, "0,-10"}, {2, "300,-9"},
                                         {41, "12000,30"}};
    QTest::newRow("4 cylinders") << Values(ProfilePoints, 25.0) << 17000.0 << "C"
                                 << Rows{{2, "425,25"}, {40, "16575,25"}, {41, "17000,25"}};
    QTest::newRow("a comma locale still writes points") << Values(ProfilePoints, -3.0) << 12345.0
                                                        << "de_DE"
                                                        << Rows{{2, "308.625,-3"},
                                                                {41, "12345,-3"}};
    QTest::newRow("missing values read 0") << Values{7.0} << 12000.0 << "C"
                                           << Rows{{1, "0,7"}, {2, "300,0"}, {41, "12000,0"}};
}

// The text is checked line by line: a header, 41 rows, "\n" after each line
// and nothing else (no byte-order mark, no "\r"); the file holds exactly it.
void TestProfileExport::csv()
{
    QFETCH(Values, values);
    QFETCH(double, maxRpm);
    QFETCH(QString, locale);
    QFETCH(Rows, rows);

    QLocale::setDefault(QLocale(locale));
    const QByteArray csv = profileCsv(values, maxRpm);
    QLocale::setDefault(QLocale::c());

    QVERIFY(csv.startsWith("rpm,value\n"));
    QVERIFY(csv.endsWith('\n'));
    QVERIFY(!csv.contains('\r'));
    const QList<QByteArray> lines = csv.chopped(1).split('\n');
    QCOMPARE(lines.size(), 1 + ProfilePoints);
    for (auto it = rows.cbegin(); it != rows.cend(); ++it)
        QCOMPARE(QString::fromUtf8(lines.at(it.key())), it.value());

    const QString path = dir.filePath(QStringLiteral("map.csv"));
    QString error;
    QVERIFY2(exportProfileCsv(path, values, maxRpm, &error), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), csv);
}

void TestProfileExport::plotFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("png") << "plot.png";
    QTest::newRow("pdf") << "plot.pdf";
    QTest::newRow("extension in capitals") << "PLOT.PDF";
}

void TestProfileExport::plotFiles()
{
    QFETCH(QString, name);

    QwtPlot plot;
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    doc.setFlat(7);
    const QString path = dir.filePath(name);
    QString error;
    const QString caption = QStringLiteral("Mappa: prova.prf \u2014 ECU: HW10 - V1.1-R0");
    QVERIFY2(exportPlot(&plot, path, &error, caption), qPrintable(error));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    if (name.endsWith(QLatin1String(".png"))) {
        QImage image;
        QVERIFY(image.loadFromData(data, "PNG"));
        QCOMPARE(image.size(), PlotImageSize);
        QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), PlotImageDpi);
        // In the plot's own colours, although it was never shown, under the
        // caption's white text.
        QCOMPARE(QColor(image.pixel(5, 5)), QColor(60, 60, 60));
        int white = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 600; ++x)
                white += QColor(image.pixel(x, y)).lightness() > 200;
        QVERIFY(white > 50);
    } else {
        QVERIFY(data.startsWith("%PDF-"));
        QVERIFY(data.size() > 1000);
    }
}

void TestProfileExport::failures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // a part of the error text

    QTest::newRow("png into a missing folder") << "missing/plot.png" << "Impossibile scrivere";
    QTest::newRow("pdf into a missing folder") << "missing/plot.pdf" << "Impossibile scrivere";
    QTest::newRow("csv into a missing folder") << "missing/map.csv" << "Impossibile scrivere";
    QTest::newRow("a picture format not offered") << "plot.jpg" << ".png o .pdf";
    QTest::newRow("no extension") << "plot" << ".png o .pdf";
}

// Every failure says why and where, and leaves no file behind.
void TestProfileExport::failures()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);

    QwtPlot plot;
    const QString path = dir.filePath(name);
    QString error;
    const bool written = name.endsWith(QLatin1String(".csv"))
                             ? exportProfileCsv(path, Values(ProfilePoints, 1.0), 12000.0, &error)
                             : exportPlot(&plot, path, &error);
    QVERIFY(!written);
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QVERIFY(!QFileInfo::exists(path));
}

// The commands from the dialog on: it opens in the profile folder with the
// name of the profile shown, a name typed without extension gets the one of
// the chosen type, and the status bar hears where the file went. While a
// transfer runs the commands are off.
void TestProfileExport::commands()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    setProfileFolderOverride(folder.path());
    QWidget window;
    QwtPlot plot(&window);
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    doc.applyVariant(true);
    doc.setFlat(4);
    QString error;
    QVERIFY2(doc.save(folder.filePath(QStringLiteral("gara.prf")), &error), qPrintable(error));
    CProfileExporter exporter(&window, &doc, &pp);
    QSignalSpy messages(&exporter, &CProfileExporter::message);

    QString proposed;
    QString typed;
    QString filter;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&]() {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *d = qobject_cast<QFileDialog *>(top);
            if (!d || !d->isVisible())
                continue;
            proposed = d->selectedFiles().value(0);
            if (!filter.isEmpty())
                d->selectNameFilter(filter);
            // selectFile() leaves a focused name field alone: type into it.
            d->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(typed);
            static_cast<QDialog *>(d)->accept(); // QFileDialog hides it
        }
    });
    timer.start(20);

    typed = QStringLiteral("table");
    exporter.csvAction()->trigger();
    QCOMPARE(proposed, folder.filePath(QStringLiteral("gara.csv")));
    QFile csv(folder.filePath(QStringLiteral("table.csv")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QCOMPARE(csv.readAll(), profileCsv(Values(ProfilePoints, 4.0), 17000.0));
    QCOMPARE(messages.count(), 1);
    QVERIFY(messages.at(0).at(0).toString().contains(QStringLiteral("table.csv")));

    typed = QStringLiteral("curve");
    filter = QStringLiteral("Documento PDF (*.pdf)");
    exporter.plotAction()->trigger();
    QCOMPARE(proposed, folder.filePath(QStringLiteral("gara.png")));
    QVERIFY(QFileInfo(folder.filePath(QStringLiteral("curve.pdf"))).size() > 0);
    QCOMPARE(messages.count(), 2);

    doc.setLocked(true);
    QVERIFY(!exporter.plotAction()->isEnabled() && !exporter.csvAction()->isEnabled());
    proposed.clear();
    exporter.onEsportaCsv();
    QVERIFY(proposed.isEmpty()); // no dialog
    doc.setLocked(false);
    QVERIFY(exporter.csvAction()->isEnabled());
    timer.stop();
    setProfileFolderOverride(QString());
}

QTEST_MAIN(TestProfileExport)
#include "tst_profileexport.moc"
