// The profile plot and the editing commands on an offscreen plot: a rebuild
// for another variant keeps the values, the undo history and other classes'
// items, the picker follows a selection made elsewhere, the legend names the
// reference's source, the live cell takes the poll values, the editor is
// refused while the document is locked, the scale takes what is typed and
// says how many points the value range limited, and "Confronta con file"
// opens in the profile folder.
#include "profile/canvaspicker.h"
#include "profile/profiledocument.h"
#include "profile/profileeditor.h"
#include "profile/profilefolder.h"
#include "profile/profileplot.h"
#include "profile/wholenumberdialog.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>
#include <qwt_plot_legenditem.h>
#include <qwt_plot_marker.h>

using Values = QVector<double>;

class TestProfilePlot : public QObject
{
    Q_OBJECT
private slots:
    void rebuildKeepsValuesAndHistory();
    void pickerFollowsTheModel();
    void referenceSource_data();
    void referenceSource();
    void liveCellTakesPollValues();
    void editorCommands();
};

// The ECU reports its cylinders: the plot is rebuilt, the profile stays, and
// the history has no step to zeros in it.
void TestProfilePlot::rebuildKeepsValuesAndHistory()
{
    QwtPlot plot;
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    doc.setFlat(3);
    doc.setFlat(5);
    doc.model()->select(4);
    auto *foreign = new QwtPlotMarker; // another class's item
    foreign->attach(&plot);
    const int items = plot.itemList().size();

    doc.setEcuHardware(21);
    doc.applyVariant(true);
    QVERIFY(plot.itemList().contains(foreign));
    QCOMPARE(plot.itemList().size(), items);
    QCOMPARE(doc.model()->undoStack()->count(), 2);
    QCOMPARE(doc.model()->values(), Values(ProfilePoints, 5.0));
    QCOMPARE(pp.profileCurve()->sample(40), QPointF(17000.0, 5.0));
    QCOMPARE(doc.model()->valueMax(), 50.0);
    QCOMPARE(pp.picker()->selectedIndex(), -1);
    QVERIFY(!doc.model()->hasSelection());

    QVERIFY(doc.undo());
    QVERIFY(doc.undo());
    QVERIFY(doc.redo());
    QCOMPARE(pp.profileCurve()->sample(7).y(), 3.0);

    // The user's variant change is a rebuild and a reset: one step to zeros.
    doc.setEcuHardware(10);
    doc.applyVariant(false);
    QVERIFY(doc.resetProfile());
    QCOMPARE(pp.profileCurve()->sample(40), QPointF(12000.0, 0.0));
    QVERIFY(doc.undo());
    QCOMPARE(doc.model()->values(), Values(ProfilePoints, 3.0));
}

// A point selected in the table is the picker's point: the cursor commands
// go on from it.
void TestProfilePlot::pickerFollowsTheModel()
{
    QwtPlot plot;
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    doc.model()->select(7);
    QCOMPARE(pp.picker()->selectedIndex(), 7);
    QCOMPARE(pp.picker()->selectedCurve(), pp.profileCurve());
    pp.cursorCommand(Qt::Key_Right);
    QCOMPARE(doc.model()->current(), 8);
    doc.model()->clearSelection();
    QVERIFY(!pp.picker()->selectedCurve());
}

void TestProfilePlot::referenceSource_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("profileSource");
    QTest::addColumn<QString>("referenceSource"); // empty: no legend

    const QString read = QStringLiteral("ECU, letta alle 10:51");
    QTest::newRow("read") << QStringList{"read"} << read << read;
    QTest::newRow("load") << QStringList{"load"} << "gara.prf" << QString();
    QTest::newRow("compare") << QStringList{"compare"} << QString() << "gara.prf";
    QTest::newRow("flat map after a read") << QStringList{"read", "flat"} << QString() << read;
    QTest::newRow("load after a read, then compare")
        << QStringList{"read", "load", "compare"} << "gara.prf" << "gara.prf";
    QTest::newRow("failed read keeps the sources")
        << QStringList{"load", "compare", "failedRead"} << "gara.prf" << "gara.prf";
}

void TestProfilePlot::referenceSource()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, profileSource);
    QFETCH(QString, referenceSource);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("gara.prf"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(42, '\2')) == 42);
    f.close();

    QwtPlot plot;
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    QSignalSpy changed(&doc, &CProfileDocument::sourcesChanged);
    QString error;
    for (const QString &step : qAsConst(steps)) {
        if (step == "read" || step == "failedRead") {
            doc.beginRead();
            if (step == "read")
                doc.finishRead(QByteArray(41, '\1'), CDevInfo(), QDateTime(QDate(2026, 12, 7), QTime(10, 51, 33)));
            else
                doc.failRead();
        } else if (step == "load") {
            QVERIFY(doc.load(file, &error));
        } else if (step == "compare") {
            QVERIFY(doc.setReferenceFromFile(file, &error));
        } else {
            QVERIFY(doc.setFlat(3));
        }
    }
    QCOMPARE(doc.profileSource(), profileSource);
    QCOMPARE(doc.referenceSource(), referenceSource);
    QVERIFY(changed.count() > 0);

    // The legend: only while there is a reference, naming its source, and
    // listing the reference curve alone.
    QwtPlotLegendItem *legend = pp.referenceLegend();
    QCOMPARE(legend->isVisible(), !referenceSource.isEmpty());
    if (!referenceSource.isEmpty()) {
        QCOMPARE(pp.referenceCurve()->title().text(), "Riferimento: " + referenceSource);
        QCOMPARE(legend->plotItems(), QList<const QwtPlotItem *>{pp.referenceCurve()});
    }
    // A variant change rebuilds the plot and keeps the legend's text.
    doc.applyVariant(true);
    QCOMPARE(pp.referenceLegend()->isVisible(), !referenceSource.isEmpty());
    QVERIFY(pp.referenceCurve()->title().text().endsWith(doc.referenceSource()));
}

void TestProfilePlot::liveCellTakesPollValues()
{
    QwtPlot plot;
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    CLiveCellMarker *live = pp.liveCell();
    live->setSample(3000, 10, -10); // ignored while the link is off
    QVERIFY(!live->isShown());
    live->setActive(true);
    live->setSample(3000, 10, -10);
    QVERIFY(live->ringShown());
    QCOMPARE(live->rpm(), 3000);
    QCOMPARE(live->ringPoint(), QPointF(3000.0, 0.0));
    QCOMPARE(live->ecuValue(), -10);
    live->setSample(3000, 41, 0); // no cell of the curve: the line alone
    QVERIFY(live->isShown() && !live->ringShown());
    live->setActive(false);
    QVERIFY(!live->isShown());
}

void TestProfilePlot::editorCommands()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    setProfileFolderOverride(dir.path());
    QWidget window;
    QwtPlot plot(&window);
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    CProfileEditor editor(&window, &doc, &pp);
    QSignalSpy messages(&editor, &CProfileEditor::message);

    editor.onAumenta();
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("Nessun punto selezionato"));
    doc.model()->select(2);
    doc.model()->extendSelection(4);
    editor.onAumenta();
    QCOMPARE(doc.model()->values().mid(1, 5), Values({0, 1, 1, 1, 0}));

    // While locked: no change, no dialog, no message.
    doc.setLocked(true);
    editor.onDiminuisci();
    editor.onConfrontaConFile();
    QCOMPARE(doc.model()->value(3), 1.0);
    QCOMPARE(messages.count(), 1);
    doc.setLocked(false);

    // The scale takes three digits as typed; results cut to the range are told.
    const auto scaleBy = [&editor](const char *typed) {
        QTimer::singleShot(0, [typed] {
            if (auto *d = qobject_cast<CWholeNumberDialog *>(QApplication::activeModalWidget())) {
                d->lineEdit()->setText(QString::fromLatin1(typed));
                d->accept();
                if (d->isVisible()) // refused: fail on the values, not by hanging
                    d->reject();
            }
        });
        editor.onScala();
    };
    scaleBy("150");
    QCOMPARE(doc.model()->values().mid(1, 5), Values({0, 3, 3, 3, 0}));
    scaleBy("+500");
    QCOMPARE(doc.model()->values().mid(1, 5), Values({0, 18, 18, 18, 0}));
    QCOMPARE(messages.count(), 1);
    scaleBy("50");
    QCOMPARE(doc.model()->values().mid(1, 5), Values({0, 25, 25, 25, 0}));
    QCOMPARE(messages.count(), 2);
    QCOMPARE(messages.last().at(0).toString(),
             QStringLiteral("Punti limitati all'intervallo da -10 a 25: 3"));
    editor.onAumenta();
    QCOMPARE(messages.count(), 3);

    // The compare dialog opens where the load and save dialogs do.
    QString shownDir;
    QTimer timer;
    connect(&timer, &QTimer::timeout, [&]() {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            if (auto *d = qobject_cast<QFileDialog *>(top); d && d->isVisible()) {
                shownDir = d->directory().absolutePath();
                d->reject();
            }
        }
    });
    timer.start(20);
    editor.onConfrontaConFile();
    timer.stop();
    QCOMPARE(shownDir, QDir(profileFolder()).absolutePath());
    QVERIFY(!doc.model()->hasReference());
    setProfileFolderOverride(QString());
}

QTEST_MAIN(TestProfilePlot)
#include "tst_profileplot.moc"
