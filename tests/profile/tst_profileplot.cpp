// The profile plot and the editing commands on an offscreen plot: a rebuild
// for another variant keeps the values and the undo history, the picker
// drags nothing while the document is locked, the live cell takes the poll
// values, and "Confronta con file" opens in the profile folder.
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

namespace {

QPoint pointPos(CProfilePlot &pp, int i)
{
    const QPointF s = pp.profileCurve()->sample(i);
    return QPoint(qRound(pp.plot()->transform(QwtPlot::xBottom, s.x())),
                  qRound(pp.plot()->transform(QwtPlot::yLeft, s.y())));
}

void mouse(QWidget *canvas, QEvent::Type type, const QPoint &pos)
{
    QMouseEvent e(type, pos, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &e);
}

} // namespace

class TestProfilePlot : public QObject
{
    Q_OBJECT
private slots:
    void rebuildKeepsValuesAndHistory();
    void lockedPickerDragsNothing();
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

void TestProfilePlot::lockedPickerDragsNothing()
{
    QwtPlot plot;
    plot.resize(700, 450);
    CProfileDocument doc;
    CProfilePlot pp(&plot, &doc);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QWidget *canvas = plot.canvas();

    mouse(canvas, QEvent::MouseButtonPress, pointPos(pp, 5));
    QCOMPARE(pp.picker()->selectedIndex(), 5);
    doc.setLocked(true);
    mouse(canvas, QEvent::MouseMove, QPoint(0, 0));
    pp.cursorCommand(Qt::Key_Up);
    QCOMPARE(doc.model()->values(), Values(ProfilePoints, 0.0));

    doc.setLocked(false);
    mouse(canvas, QEvent::MouseMove, QPoint(0, 0));
    QCOMPARE(doc.model()->value(5), 25.0);
    QCOMPARE(pp.profileCurve()->sample(5).y(), 25.0);
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
    QSignalSpy text(&editor, &CProfileEditor::selectionTextChanged);

    editor.onAumenta();
    QCOMPARE(messages.count(), 1);
    QCOMPARE(messages.at(0).at(0).toString(), QStringLiteral("Nessun punto selezionato"));

    doc.model()->select(2);
    doc.model()->extendSelection(4);
    QCOMPARE(editor.selectionText(),
             QStringLiteral("1200 giri/min: valore 0; selezione da 600 a 1200 giri/min"));
    const int texts = text.count();
    editor.onAumenta();
    QCOMPARE(doc.model()->values().mid(1, 5), Values({0, 1, 1, 1, 0}));
    QVERIFY(text.count() > texts);

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
