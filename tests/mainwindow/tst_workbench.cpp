// The tuner's workbench through the real window: a spreadsheet column pasted
// into the table and saved; a datalog recorded from the simulator, then
// replayed without an ECU; the curve exported and a recent file opened.
#include "comm/datalog.h"
#include "comm/logreplayer.h"
#include "ecuconnection.h"
#include "gauge/crpmgauge.h"
#include "gauge/datalogpanel.h"
#include "mainwindow/cworkbenchviews.h"
#include "profile/celltime.h"
#include "profile/profilefolder.h"
#include "profile/recentfiles.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QImage>
#include <QLCDNumber>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QUndoStack>

class TestWorkbench : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void pasteThenSave();
    void recordThenReplay();
    void exportAndRecentFiles();
    void contextMenuOffersTheViews();
    void viewWidensWithItsContent();

private:
    QTemporaryDir dir;
};

void TestWorkbench::initTestCase()
{
    useTestSettings();
    QVERIFY(dir.isValid());
}

void TestWorkbench::init()
{
    QSettings().clear();
    setProfileFolderOverride(dir.path());
}

// A column of 41 numbers from a spreadsheet, decimal commas and all, goes
// into the points as one undo step and is saved as those 41 values; a paste
// with one bad cell changes nothing and names the cell.
void TestWorkbench::pasteThenSave()
{
    frmProgPannel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    auto *dock = widget<QDockWidget>(w, "dockTabella");
    QVERIFY(!dock->isVisible()); // the designed size shows the form alone
    p.views()->showAction(dock)->trigger();
    QVERIFY(dock->isVisible());
    auto *view = widget<QTableView>(w, "tableMappa");
    view->setFocus();
    view->setCurrentIndex(view->model()->index(0, 1));
    QCOMPARE(p.model().current(), 0);

    QString column;
    QVector<double> values;
    for (int i = 0; i < 41; ++i) {
        values << (i % 9) - 3;
        column += QStringLiteral(" %1,0\n").arg(values.last());
    }
    const int steps = p.model().undoStack()->count();
    QApplication::clipboard()->setText(QStringLiteral("1\n2\n12.5\n4\n"));
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(widget<QLabel>(w, "lblMessaggioTabella")->text().contains(QStringLiteral("riga 3")));
    QCOMPARE(p.model().undoStack()->count(), steps);

    QApplication::clipboard()->setText(column);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(p.profile(), values);
    QCOMPARE(p.model().undoStack()->count(), steps + 1);

    const QString path = dir.filePath(QStringLiteral("pasted.prf"));
    answerFileDialog(path);
    p.runCommand(EcuCommand::SaveProfile);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QCOMPARE(bytes.size(), 42);
    for (int i = 0; i < 41; ++i)
        QCOMPARE(int(qint8(bytes.at(i))), int(values.at(i)));
}

// With the link on, a recording of a few seconds on a line paced at 9600
// baud gives a CSV with its header and a row for each poll answer (about 50
// a second; here the simulator shares the test's thread, so fewer); without an
// ECU, replaying it moves the gauge, the readout and the live cell, and the
// time in each cell shows where the engine was.
void TestWorkbench::recordThenReplay()
{
    SimulatedEcu ecu(QStringLiteral("log"), true);
    ecu.sim.setLiveValues(4321, 77, 14, 12);
    CWorkerTimings t = shortTimings();
    t.linkTimeoutMs = 300;
    frmProgPannel w(nullptr, t);
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    w.onLinkClicked();
    QTRY_VERIFY(p.liveCell().isShown());

    auto *record = widget<QAction>(w, "actionRegistra_Log");
    QVERIFY(!record->shortcut().isEmpty());
    record->trigger();
    QVERIFY(record->isChecked());
    QTest::qWait(3000);
    record->trigger();
    QVERIFY(!record->isChecked());
    const QStringList logs = QDir(dir.filePath(QStringLiteral("log")))
                                 .entryList({QStringLiteral("*.csv")}, QDir::Files);
    QCOMPARE(logs.size(), 1);
    const QString path = dir.filePath(QStringLiteral("log/") + logs.first());
    QVERIFY(logs.first().contains(QStringLiteral("_HW10_V1.1-R0")));
    CDataLog log;
    QString error;
    QVERIFY2(readDataLog(path, &log, &error), qPrintable(error));
    const double perSecond = log.size() * 1000.0 / qMax<qint64>(1, log.duration());
    QVERIFY2(perSecond > 25 && perSecond < 65, qPrintable(QString::number(perSecond)));
    QVERIFY(log.samples.first().rpm == 4321 && log.samples.last().rpm == 4321);

    // Without an ECU: the connection ends, the readouts go to 0.
    w.onCercaPortaClicked();
    QVERIFY(!p.connected());
    auto *lcd = widget<QLCDNumber>(w, "lcdRPM");
    QCOMPARE(lcd->intValue(), 0);
    CDataLogDock *panel = p.dataLogDock();
    QVERIFY(panel->openLog(path));
    panel->replayer()->play();
    QTRY_COMPARE(lcd->intValue(), 4321);
    QCOMPARE(p.gauge()->value(), 4321);
    QTRY_VERIFY(p.liveCell().isShown());
    QCOMPARE(p.liveCell().rpm(), 4321);
    QCOMPARE(p.liveCell().cellIndex(), 14);
    QCOMPARE(p.cellTime()->histogram()->shares().at(14), 1.0);
}

// The curve as a picture, and a recent file opened from the File menu; one
// that is gone leaves the list with a message.
void TestWorkbench::exportAndRecentFiles()
{
    frmProgPannel w;
    MainWindowProbe p(w);
    const QString png = dir.filePath(QStringLiteral("curve.png"));
    answerFileDialog(png);
    widget<QAction>(w, "actionEsporta_Grafico")->trigger();
    QTRY_VERIFY(QFile::exists(png));
    QVERIFY(!QImage(png).isNull());

    const QString first = dir.filePath(QStringLiteral("first.prf"));
    const QString second = dir.filePath(QStringLiteral("second.prf"));
    p.setProfile(QVector<double>(41, 3.0));
    answerFileDialog(first);
    p.runCommand(EcuCommand::SaveProfile);
    p.setProfile(QVector<double>(41, 6.0));
    answerFileDialog(second);
    p.runCommand(EcuCommand::SaveProfile);
    QCOMPARE(p.recentFiles()->files(), QStringList({second, first}));

    // The other one comes back through the menu, without a dialog.
    QFile f(first);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(41, char(3)) + QByteArray(1, char(2)));
    f.close();
    auto *menu = widget<QMenu>(w, "menuFileRecenti");
    QAction *entry = menu->actions().at(1);
    QVERIFY(entry->text().contains(QStringLiteral("first.prf")));
    entry->trigger();
    QTRY_COMPARE(p.profile(), QVector<double>(41, 3.0));
    QCOMPARE(widget<QLabel>(w, "lblPathProfilo")->text(), first);

    QFile::remove(second);
    MessageBoxSeen seen;
    answerMessageBox(&seen);
    menu->actions().at(p.recentFiles()->files().indexOf(second))->trigger();
    QTRY_VERIFY(seen.seen);
    QVERIFY(seen.text.contains(QStringLiteral("second.prf")));
    QVERIFY(!p.recentFiles()->files().contains(second));
}

// A right click on the menu bar offers the views with the menu's entries,
// which make room before a view shows, not with the docks' own toggles.
void TestWorkbench::contextMenuOffersTheViews()
{
    frmProgPannel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QList<QAction *> offered;
    QTimer::singleShot(0, &w, [&offered] {
        if (QWidget *menu = QApplication::activePopupWidget()) {
            offered = menu->actions();
            menu->close();
        }
    });
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                            w.menuBar()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(w.menuBar(), &click);
    QCOMPARE(offered, (QList<QAction *>{
                          p.views()->showAction(widget<QDockWidget>(w, "dockTabella")),
                          p.views()->showAction(widget<QDockWidget>(w, "dockRegistrazione"))}));
}

// Recording, the datalog panel's state line is longer than at rest: the view
// widens with its content instead of cutting it.
void TestWorkbench::viewWidensWithItsContent()
{
    frmProgPannel w;
    MainWindowProbe p(w);
    p.views()->setAvailableGeometry(QRect(0, 0, 1366, 768));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    CDataLogDock *dock = p.dataLogDock();
    p.views()->showAction(dock)->trigger();
    auto *scroll = qobject_cast<QScrollArea *>(dock->widget());
    QVERIFY(scroll);
    QWidget *content = scroll->widget();
    QTRY_VERIFY(scroll->contentsRect().contains(QRect(QPoint(0, 0), content->size())));
    const int before = content->minimumSizeHint().width();

    dock->recordAction()->trigger();
    QVERIFY(dock->recordAction()->isChecked());
    QVERIFY(content->minimumSizeHint().width() > before);
    QTRY_VERIFY(content->width() >= content->minimumSizeHint().width()); // laid out again
    QTRY_VERIFY(scroll->contentsRect().contains(QRect(QPoint(0, 0), content->size())));
    dock->recordAction()->trigger();
}

QTEST_MAIN(TestWorkbench)
#include "tst_workbench.moc"
