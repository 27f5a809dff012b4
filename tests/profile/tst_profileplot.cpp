// The profile plot and the editing commands on an offscreen plot: a rebuild
// for another variant keeps the values and the undo history, the live cell
// takes the poll values, the editor is refused while the document is locked,
// and "Confronta con file" opens in the profile folder.
#include "profile/canvaspicker.h"
#include "profile/profiledocument.h"
#include "profile/profileeditor.h"
#include "profile/profilefolder.h"
#include "profile/profileplot.h"

#include <QApplication>
#include <QFileDialog>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_curve.h>

using Values = QVector<double>;

class TestProfilePlot : public QObject
{
    Q_OBJECT
private slots:
    void rebuildKeepsValuesAndHistory();
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

    pp.setup(17000.0, valueRangeFor(21));
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
    pp.setup(12000.0, valueRangeFor(10));
    QVERIFY(doc.resetProfile());
    QCOMPARE(pp.profileCurve()->sample(40), QPointF(12000.0, 0.0));
    QVERIFY(doc.undo());
    QCOMPARE(doc.model()->values(), Values(ProfilePoints, 3.0));
}

void TestProfilePlot::liveCellTakesPollValues()
{
    QwtPlot plot;
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    CLiveCellMarker *live = pp.liveCell();
    live->setActive(true);
    live->onRpm(3000);
    live->onIdxCella(10);
    live->onValCella(0xF6);
    QCOMPARE(live->rpm(), 3000);
    QCOMPARE(live->cellIndex(), 10);
    QCOMPARE(live->ecuValue(), -10);
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
