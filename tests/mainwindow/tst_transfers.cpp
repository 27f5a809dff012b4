// Profile transfers and the command sequencer as the user meets them: the
// real main window talks to the ECU simulator over a pseudo-terminal, and
// the checks look at what the window shows and at what the ECU ends up
// holding. What goes over the line, and the state of the connection after a
// failure, are the session's tests.
#include "ecuconnection.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "profile/profilefolder.h"
#include "support/workerharness.h"

#include <QAction>
#include <QDir>
#include <QProgressBar>
#include <QRegularExpression>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

namespace {

// Short time-outs; the failure tests also shorten the budgets, so that a
// silent ECU is given up quickly.
CWorkerTimings xferTimings(int transferRetries = 20, int linkRetries = 30)
{
    return shortTimings(transferRetries, linkRetries, 150);
}

// A request frame as the ECU expects it on the line: seven bytes and their
// 8-bit sum.
QByteArray frameOf(std::initializer_list<int> bytes)
{
    QByteArray f;
    quint8 sum = 0;
    for (int b : bytes) {
        f.append(static_cast<char>(b & 0xFF));
        sum = static_cast<quint8>(sum + (b & 0xFF));
    }
    f.append(static_cast<char>(sum));
    return f;
}

QByteArray writeFrame(int address, int value)
{
    return frameOf({0xFD, value, address, 0x01, 0x01, 0x01, 0x01});
}

const char *const transferControls[] = {"btReadFlash",     "btSaveFlash",    "btBanco",
                                         "btStartLink",     "btRicercaPorta", "btCaricaProfilo",
                                         "btSalvaProfilo",  "btFlatProfile",  "spKIniezione",
                                         "spProfiloPiatto"};

QStringList controlsWithState(frmProgPannel &w, bool enabled)
{
    QStringList names;
    for (const char *name : transferControls) {
        if (widget<QWidget>(w, name)->isEnabled() == enabled)
            names << QLatin1String(name);
    }
    return names;
}

} // namespace

// Closes every message box the window shows and records it, so that a
// transfer that fails unexpectedly cannot block the test on a modal box.
class MessageBoxWatcher : public QObject
{
public:
    struct Box
    {
        QString title;
        QString text;
    };
    QList<Box> boxes;
    std::function<void()> onBox; // runs while the box is on the screen

    MessageBoxWatcher()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this]() {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(top);
                if (box && box->isVisible()) {
                    boxes.append({box->windowTitle(), box->text()});
                    if (onBox)
                        onBox();
                    box->accept();
                }
            }
        });
        timer.start();
    }

private:
    QTimer timer;
};

class TestTransfers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void readTakesProfileKAndTestBench();
    void writeSendsTheEditedCurve_data();
    void writeSendsTheEditedCurve();
    void largeTableCarriesTheProfileName();
    void hardware11SavesAFileFirst();
    void closeButtonDuringTransfers();
    void failedTransferDisconnects_data();
    void failedTransferDisconnects();
    void linkFailureWhileTransferPending();
    void execCmdUnknownAndFilePolling();
    void readAsksFirst_data();
    void readAsksFirst();

private:
    QTemporaryDir dir;
    MessageBoxWatcher *watcher = nullptr;
};

void TestTransfers::initTestCase()
{
    useTestSettings();
    QVERIFY(dir.isValid());
}

void TestTransfers::init()
{
    QSettings().clear();
    watcher = new MessageBoxWatcher;
}

void TestTransfers::cleanup()
{
    delete watcher;
    watcher = nullptr;
}

// Waits until a transfer started by a press has ended (the read button is
// enabled again).
static bool waitTransferEnd(frmProgPannel &w, int timeoutMs = 10000)
{
    auto *read = widget<QPushButton>(w, "btReadFlash");
    QElapsedTimer t;
    t.start();
    while (!read->isEnabled() && t.elapsed() < timeoutMs)
        QTest::qWait(10);
    return read->isEnabled();
}

void TestTransfers::readTakesProfileKAndTestBench()
{
    SimulatedEcu ecu(QStringLiteral("read"));
    QVector<double> expected;
    for (int i = 0; i < 41; ++i) {
        const int v = (i * 7) % 60 - 20;
        expected.append(v);
        ecu.sim.setTableByte(i, static_cast<quint8>(static_cast<qint8>(v)));
    }
    // Any signed byte is taken as it is.
    ecu.sim.setTableByte(3, 0x80);
    expected[3] = -128;
    ecu.sim.setTableByte(4, 0x7F);
    expected[4] = 127;
    ecu.sim.setTableByte(42, 3); // K
    ecu.sim.setTableByte(49, 1); // test bench on

    frmProgPannel w(nullptr, xferTimings());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    auto *bar = widget<QProgressBar>(w, "progressBar");
    auto *banco = widget<QPushButton>(w, "btBanco");
    auto *path = widget<QLabel>(w, "lblPathProfilo");
    QSignalSpy progress(bar, &QProgressBar::valueChanged);
    // Backups go into <profile folder>/backup.
    setProfileFolderOverride(dir.filePath("profiles"));
    QDir backups(dir.filePath("profiles/backup"));
    backups.removeRecursively();
    // A file shown before the read gives way to the placeholder.
    p.showFile(dir.filePath("before.prf"));

    QVERIFY(connectToEcu(w, ecu.path()));
    QVERIFY(watcher->boxes.isEmpty());
    QCOMPARE(p.profile(), expected);
    QCOMPARE(p.curve()->sample(40).x(), 12000.0);
    QCOMPARE(widget<QSpinBox>(w, "spKIniezione")->value(), 3);
    QCOMPARE(banco->text(), QStringLiteral("Banco ON"));
    QCOMPARE(banco->styleSheet(), QStringLiteral(BANCO_ON_STYLE));
    QVERIFY(p.bancoOn());
    QCOMPARE(path->text(), QStringLiteral("<Nessun profilo>"));
    QVERIFY(!p.profileFileShown());
    QVERIFY(p.profileNameLabel()->text().isEmpty());
    // The read says so beside the device label, which stays in view; the
    // placeholder's tool tip tells where the profile shown came from.
    QCOMPARE(widget<QLabel>(w, "lblAvviso")->text(), QStringLiteral("Mappa letta dalla centralina"));
    QVERIFY(p.deviceInfoLabel()->isVisible());
    QVERIFY2(path->toolTip().startsWith(QStringLiteral("Mappa letta da ECU: HW10 - V1.1-R0 alle ")),
             qPrintable(path->toolTip()));

    // The read is kept: the ECU's 41 bytes and its K, named by time and ECU.
    QStringList kept = backups.entryList(QDir::Files);
    QCOMPARE(kept.size(), 1);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d{6}_HW10_V1\\.1-R0\\.prf$"))
                 .match(kept.at(0))
                 .hasMatch(),
             qPrintable(kept.at(0)));
    QFile backup(backups.filePath(kept.at(0)));
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QByteArray table;
    for (int a = 0; a < 41; ++a)
        table.append(char(ecu.sim.tableByte(a)));
    QCOMPARE(backup.readAll(), table + QByteArray(1, char(3)));
    // The new K reaches the ECU through the real-time worker.
    QTRY_VERIFY(requestsOf(ecu.sim, WriteRequest).contains(writeFrame(42, 3)));

    // Progress ran up to 100; the bar is cleared about 1 s later.
    // (the bar stood at 0 already, so the first value it shows is a later one)
    QVERIFY(progress.size() >= 3);
    QVERIFY(progress.first().at(0).toInt() > 0 && progress.first().at(0).toInt() < 10);
    QCOMPARE(bar->value(), 100);
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 0, 2000);

    // The test bench off in the ECU: the button follows, and so does bancoOn.
    ecu.sim.setTableByte(49, 0);
    ecu.sim.setTableByte(10, static_cast<quint8>(-5));
    expected[10] = -5;
    QTest::mousePress(widget<QPushButton>(w, "btReadFlash"), Qt::LeftButton);
    QVERIFY(waitTransferEnd(w));
    QVERIFY(watcher->boxes.isEmpty());
    QCOMPARE(p.profile(), expected);
    QCOMPARE(banco->text(), QStringLiteral("Banco OFF"));
    QCOMPARE(banco->styleSheet(), QStringLiteral(BANCO_OFF_STYLE));
    QVERIFY(!p.bancoOn());
    QVERIFY(p.connected());
    QCOMPARE(backups.entryList(QDir::Files).size(), 2); // none is overwritten

    // A backup that cannot be written is reported; the read still counts.
    QVERIFY(backups.removeRecursively());
    QFile blocker(backups.path());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ecu.sim.setTableByte(10, 9);
    expected[10] = 9;
    QTest::mousePress(widget<QPushButton>(w, "btReadFlash"), Qt::LeftButton);
    QVERIFY(waitTransferEnd(w));
    QTRY_COMPARE(watcher->boxes.size(), 1);
    QVERIFY(watcher->boxes.at(0).text.startsWith(QStringLiteral("Impossibile salvare")));
    QCOMPARE(p.profile(), expected);
    QVERIFY(p.connected());
    QFile::remove(backups.path());
    setProfileFolderOverride(QString());
}

// The edited curve is written and read back; an ECU that stores something
// else than it acknowledges makes the write fail, and the warning says where.
void TestTransfers::writeSendsTheEditedCurve_data()
{
    QTest::addColumn<bool>("fails");
    QTest::newRow("stored as sent") << false;
    QTest::newRow("ECU stores other values") << true;
}

void TestTransfers::writeSendsTheEditedCurve()
{
    QFETCH(bool, fails);
    SimulatedEcu ecu(QStringLiteral("write"));
    frmProgPannel w(nullptr, xferTimings());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    if (fails)
        ecu.sim.setFault(EcuSimulator::Fault::WrongStore);

    QVector<double> values = p.profile();
    values[0] = -10;
    values[5] = 25;
    values[20] = -1;
    values[40] = 7;
    p.setProfile(values);
    const QString pathText = widget<QLabel>(w, "lblPathProfilo")->text();

    auto *bar = widget<QProgressBar>(w, "progressBar");
    auto *close = widget<QPushButton>(w, "btClose");
    QSignalSpy progress(bar, &QProgressBar::valueChanged);
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 0, 2000); // the read's progress is cleared
    progress.clear();

    QTest::mousePress(widget<QPushButton>(w, "btSaveFlash"), Qt::LeftButton);
    QVERIFY(!close->isEnabled());
    QVERIFY(waitTransferEnd(w));
    QVERIFY(close->isEnabled());
    QVERIFY(p.connected()); // the line works: a difference does not disconnect
    QCOMPARE(watcher->boxes.size(), fails ? 1 : 0);

    for (int a = 0; a < 41; ++a)
        QCOMPARE(static_cast<qint8>(ecu.sim.tableByte(a)),
                 static_cast<qint8>(int(values[a]) ^ (fails ? 1 : 0)));

    // The write changes neither the curve nor the labels.
    QCOMPARE(p.profile(), values);
    QCOMPARE(widget<QLabel>(w, "lblPathProfilo")->text(), pathText);
    // Written and checked, the curve counts as saved; a failed check does not.
    QCOMPARE(shownTitle(w).endsWith(QLatin1Char('*')), fails);
    QCOMPARE(widget<QLabel>(w, "lblAvviso")->text(),
             fails ? QStringLiteral("Scrittura non riuscita: la verifica ha trovato differenze")
                   : QStringLiteral("Mappa scritta nella centralina e verificata"));

    if (fails) {
        // The warning names the first points that differ; no success shows.
        QCOMPARE(watcher->boxes.at(0).title, QStringLiteral("Aggiornamento FLASH"));
        QVERIFY2(watcher->boxes.at(0).text.contains(QStringLiteral(
                     "(0 giri/min, 300 giri/min, 600 giri/min, 900 giri/min, 1200 giri/min, \u2026)")),
                 qPrintable(watcher->boxes.at(0).text));
        QCOMPARE(bar->value(), 0);
        return;
    }

    // Progress ran up to 100, passing 50 between the write and its check,
    // stays there for a while, then returns to 0.
    QVERIFY(progress.size() >= 3);
    QVERIFY(progress.first().at(0).toInt() > 0 && progress.first().at(0).toInt() < 10);
    QCOMPARE(progress.last().at(0).toInt(), 100);
    bool half = false;
    for (int i = 1; i < progress.size(); ++i) {
        QVERIFY(progress.at(i).at(0).toInt() >= progress.at(i - 1).at(0).toInt());
        half = half || progress.at(i).at(0).toInt() == 50;
    }
    QVERIFY(half);
    QTest::qWait(500);
    QCOMPARE(bar->value(), 100);
    QTRY_COMPARE_WITH_TIMEOUT(bar->value(), 0, 1500);

    // "OK_SND" on its own leaves the curve and both labels alone.
    p.profileNameLabel()->setText(QStringLiteral("gara.prf"));
    w.onEsitoSndRcv(QStringLiteral("OK_SND"));
    QCOMPARE(p.profile(), values);
    QCOMPARE(widget<QLabel>(w, "lblPathProfilo")->text(), pathText);
    QCOMPARE(p.profileNameLabel()->text(), QStringLiteral("gara.prf"));
}

void TestTransfers::largeTableCarriesTheProfileName()
{
    SimulatedEcu ecu(QStringLiteral("large"));
    frmProgPannel w(nullptr, xferTimings());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    p.setHardware(20);
    for (int a = 41; a <= 80; ++a)
        ecu.sim.setTableByte(a, 0x55);

    QVector<double> values = p.profile();
    values[1] = 11;
    values[39] = -9;
    p.setProfile(values);
    const QString gara = dir.filePath(QStringLiteral("gara.prf"));
    answerFileDialog(gara);
    p.runCommand(EcuCommand::SaveProfile);
    QCOMPARE(widget<QLabel>(w, "lblPathProfilo")->text(), gara);

    QTest::mousePress(widget<QPushButton>(w, "btSaveFlash"), Qt::LeftButton);
    QVERIFY(waitTransferEnd(w));
    QVERIFY(watcher->boxes.isEmpty());

    // The values, then "gara.prf" and 32 zeros.
    QCOMPARE(ecu.sim.table().mid(41, 40), QByteArrayLiteral("gara.prf") + QByteArray(32, '\0'));
    QCOMPARE(static_cast<qint8>(ecu.sim.tableByte(39)), qint8(-9));

    // A read of the large table brings the name back into the status bar,
    // K from 82 and the test bench from 89.
    ecu.sim.setTableByte(82, 2);
    ecu.sim.setTableByte(89, 1);
    ecu.sim.setTableByte(49, 0);
    QTest::mousePress(widget<QPushButton>(w, "btReadFlash"), Qt::LeftButton);
    QVERIFY(waitTransferEnd(w));
    QVERIFY(watcher->boxes.isEmpty());
    QLabel *nameLabel = p.profileNameLabel();
    QCOMPARE(nameLabel->text(), QStringLiteral("gara.prf"));
    QVERIFY(w.statusBar()->isAncestorOf(nameLabel));
    QVERIFY(nameLabel->isVisible());
    QCOMPARE(nameLabel->frameStyle(), int(QFrame::Panel | QFrame::Sunken));
    QCOMPARE(p.profile(), values);
    QCOMPARE(widget<QSpinBox>(w, "spKIniezione")->value(), 2);
    QCOMPARE(widget<QPushButton>(w, "btBanco")->text(), QStringLiteral("Banco ON"));
    QVERIFY(p.bancoOn());
    // The read put the placeholder in place of the file path.
    QVERIFY(widget<QLabel>(w, "lblPathProfilo")->text().startsWith(QLatin1Char('<')));

    // Below hardware 20 there is no name: nothing is shown.
    p.setHardware(19);
    QTest::mousePress(widget<QPushButton>(w, "btReadFlash"), Qt::LeftButton);
    QVERIFY(waitTransferEnd(w));
    QVERIFY(nameLabel->text().isEmpty());
    QCOMPARE(widget<QPushButton>(w, "btBanco")->text(), QStringLiteral("Banco OFF"));
}

void TestTransfers::hardware11SavesAFileFirst()
{
    SimulatedEcu ecu(QStringLiteral("hw11"));
    frmProgPannel w(nullptr, xferTimings());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    p.setHardware(11);
    auto *path = widget<QLabel>(w, "lblPathProfilo");
    QVERIFY(path->text().startsWith(QLatin1Char('<')));
    QVector<double> values = p.profile();
    values[7] = 33;
    p.setProfile(values);

    // Cancelled: nothing is written.
    bool asked = false;
    answerNextDialog<QFileDialog>([&](QFileDialog *d) {
        asked = true;
        ecu.sim.clearRequests(); // K went out after the read
        d->reject();
    });
    QTest::mousePress(widget<QPushButton>(w, "btSaveFlash"), Qt::LeftButton);
    QTRY_VERIFY(asked);
    QTest::qWait(200);
    QVERIFY(requestsOf(ecu.sim, WriteRequest).isEmpty());
    QVERIFY(path->text().startsWith(QLatin1Char('<')));
    QVERIFY(widget<QPushButton>(w, "btClose")->isEnabled());

    // Saved: the write follows without a further click.
    const QString file = dir.filePath(QStringLiteral("hw11.prf"));
    QVERIFY(!QFile::exists(file));
    answerFileDialog(file);
    ecu.sim.clearRequests();
    QTest::mousePress(widget<QPushButton>(w, "btSaveFlash"), Qt::LeftButton);
    QTRY_VERIFY(QFile::exists(file));
    QTRY_COMPARE_WITH_TIMEOUT(requestsOf(ecu.sim, WriteRequest).size(), 41, 10000);
    QVERIFY(waitTransferEnd(w));
    QVERIFY(watcher->boxes.isEmpty());
    QCOMPARE(path->text(), file);
    QVERIFY(p.profileFileShown());
    QCOMPARE(ecu.sim.tableByte(7), quint8(33));
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll().size(), 42);

    // With a file shown, the next write asks for nothing.
    bool askedAgain = false;
    QElapsedTimer answering;
    answering.start();
    answerNextDialog<QFileDialog>(
        [&](QFileDialog *d) {
            askedAgain = true;
            d->reject();
        },
        1500);
    ecu.sim.clearRequests();
    QTest::mousePress(widget<QPushButton>(w, "btSaveFlash"), Qt::LeftButton);
    QVERIFY(waitTransferEnd(w));
    QCOMPARE(requestsOf(ecu.sim, WriteRequest).size(), 41);
    QVERIFY(!askedAgain);
    while (answering.elapsed() < 1600) // the answerer must not outlive the test
        QTest::qWait(20);

    // The connection ends while the save dialog is open: the file is saved,
    // nothing is written, and the panel is that of no ECU, "Chiudi" on.
    p.document().showPlaceholder();
    const QString late = dir.filePath(QStringLiteral("late.prf"));
    answerNextDialog<QFileDialog>([&](QFileDialog *d) {
        p.session().endConnection();
        chooseFile(d, late);
        static_cast<QDialog *>(d)->accept();
    });
    ecu.sim.clearRequests();
    QTest::mousePress(widget<QPushButton>(w, "btSaveFlash"), Qt::LeftButton);
    QTRY_VERIFY(QFile::exists(late));
    QTest::qWait(200);
    QVERIFY(requestsOf(ecu.sim, WriteRequest).isEmpty());
    QCOMPARE(controlsWithState(w, false),
             QStringList({"btReadFlash", "btSaveFlash", "btBanco", "btStartLink"}));
    QVERIFY(widget<QPushButton>(w, "btClose")->isEnabled());
}

// While a transfer waits for the line or runs, nothing else can start one:
// the panel, the menu actions and their slots alike; and nothing quits a
// write half way without asking.
void TestTransfers::closeButtonDuringTransfers()
{
    SimulatedEcu ecu(QStringLiteral("paced"), true);
    frmProgPannel w(nullptr, xferTimings());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    auto *bar = widget<QProgressBar>(w, "progressBar");
    auto *close = widget<QPushButton>(w, "btClose");
    auto *quit = widget<QAction>(w, "actionUscita_Programma");
    const auto lineActionsEnabled = [&] {
        QStringList on;
        for (const char *name : {"actionCarica_Profilo", "actionSalva_Profilo", "actionCercaCentralina"})
            if (widget<QAction>(w, name)->isEnabled())
                on << QLatin1String(name);
        return on;
    };

    // Read: every transfer control and line action is disabled, closing is
    // not. The slots behind them do nothing meanwhile.
    w.onLinkClicked();
    QTest::mousePress(widget<QPushButton>(w, "btReadFlash"), Qt::LeftButton);
    QCOMPARE(lineActionsEnabled(), QStringList());
    QTRY_VERIFY(bar->value() > 0 && bar->value() < 100);
    QVERIFY(close->isEnabled() && quit->isEnabled());
    QCOMPARE(controlsWithState(w, true), QStringList());
    QCOMPARE(lineActionsEnabled(), QStringList());
    w.onCercaPortaClicked(); // Ctrl+P
    w.onLoadProfileClicked();
    w.onSaveProfileClicked();
    QVERIFY(p.connected());
    QVERIFY(waitTransferEnd(w));
    QCOMPARE(controlsWithState(w, false), QStringList());
    QCOMPARE(lineActionsEnabled().size(), 3);
    // No file dialog or search was left behind.
    QVERIFY(!static_cast<QWidget *>(p.ricercaPorta())->isVisible());
    w.onLinkClicked();

    // Write: closing too. Closing the window asks first; "no" goes on.
    const QVector<double> flat(41, 5.0);
    p.setProfile(flat); // edited, neither saved nor written
    QTest::mousePress(widget<QPushButton>(w, "btSaveFlash"), Qt::LeftButton);
    QVERIFY(!close->isEnabled() && !quit->isEnabled());
    QTRY_VERIFY(bar->value() > 0 && bar->value() < 100);
    QVERIFY(!close->isEnabled() && !quit->isEnabled());
    QCOMPARE(controlsWithState(w, true), QStringList());
    QVERIFY(!w.close()); // the watcher answers the question without "yes"
    QCOMPARE(watcher->boxes.size(), 1);
    QCOMPARE(watcher->boxes.at(0).title, QStringLiteral("Aggiornamento FLASH"));
    // The profile takes no change while it is written: no undo, no nudge,
    // no edit command, whether from the menu or its slot.
    for (const char *name : {"actionAnnulla", "actionRipeti", "actionMuovi_Su", "actionAumenta",
                             "actionImposta_Valore", "actionCentralina_4cilindri"})
        QVERIFY2(!widget<QAction>(w, name)->isEnabled(), name);
    QVERIFY(!p.document().undo());
    w.onMuoviSu();
    QCOMPARE(p.profile(), flat);
    // "Yes" to quitting a write half way still asks about the edited
    // profile; Cancel keeps the window.
    watcher->onBox = [&] {
        for (QWidget *top : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(top);
            if (box && box->isVisible())
                box->button(box->button(QMessageBox::Yes) ? QMessageBox::Yes
                                                          : QMessageBox::Cancel)->click();
        }
    };
    QVERIFY(!w.close());
    watcher->onBox = nullptr;
    QCOMPARE(watcher->boxes.size(), 3);
    QCOMPARE(watcher->boxes.at(2).title, QStringLiteral("Mappa modificata"));
    QVERIFY(waitTransferEnd(w));
    QVERIFY(w.isVisible());
    QVERIFY(close->isEnabled() && quit->isEnabled());
    QCOMPARE(controlsWithState(w, false), QStringList());
    // What was written is what is shown, and it counts as saved.
    QCOMPARE(p.profile(), flat);
    QCOMPARE(ecu.sim.table().left(41), QByteArray(41, char(5)));
    QVERIFY(!w.isWindowModified());
    QCOMPARE(watcher->boxes.size(), 3);
}

// A transfer the line fails: one warning, titled after the transfer, with
// the window already in the state of no ECU; a failed read puts back the
// curve it found (nothing of a half-read image comes in), a failed write
// keeps the curve shown.
void TestTransfers::failedTransferDisconnects_data()
{
    QTest::addColumn<bool>("write");
    QTest::newRow("read, ECU falls silent mid-way, link on") << false;
    QTest::newRow("write, never acknowledged") << true;
}

void TestTransfers::failedTransferDisconnects()
{
    QFETCH(bool, write);

    SimulatedEcu ecu(QStringLiteral("fail"));
    ecu.sim.setTableByte(42, 1);
    ecu.sim.setTableByte(49, 0);
    frmProgPannel w(nullptr, xferTimings(6));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    QVERIFY(p.profile() != QVector<double>(41, 0.0)); // the ECU's curve is shown
    if (write)
        p.setProfile(QVector<double>(41, 6.0));
    const QVector<double> shown = p.profile();
    const QString pathShown = widget<QLabel>(w, "lblPathProfilo")->text();
    if (!write) {
        QTest::mousePress(widget<QPushButton>(w, "btStartLink"), Qt::LeftButton);
        QTRY_VERIFY(!requestsOf(ecu.sim, PollRequest).isEmpty());
    }
    // The bench-on byte and K beyond the point where the read stops: a
    // half-read image must not bring them in.
    ecu.sim.setTableByte(42, 4);
    ecu.sim.setTableByte(49, 1);
    if (write)
        ecu.sim.setFault(EcuSimulator::Fault::NoWriteAck);
    else
        ecu.sim.setSilentAfter(20);

    // What the user sees while the warning is on the screen.
    QVector<double> profileAtBox;
    bool connectedAtBox = true;
    watcher->onBox = [&]() {
        profileAtBox = p.profile();
        connectedAtBox = p.connected();
    };

    QTest::mousePress(widget<QPushButton>(w, write ? "btSaveFlash" : "btReadFlash"),
                      Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(watcher->boxes.size(), 1, 10000);
    QCOMPARE(watcher->boxes.at(0).title,
             write ? QStringLiteral("Aggiornamento FLASH") : QStringLiteral("Lettura FLASH"));
    QCOMPARE(watcher->boxes.at(0).text, QStringLiteral("Errore di comunicazione con la scheda"));
    QCOMPARE(profileAtBox, shown);
    QVERIFY(!connectedAtBox);
    if (!write) // it did fall silent part-way through the read
        QVERIFY(requestsOf(ecu.sim, ReadRequest).size() > 20);

    // No ECU: LEDs off, the four buttons disabled; everything else can be
    // used again, a new search in particular.
    QCOMPARE(widget<QPushButton>(w, "btRicercaPorta")->styleSheet(),
             QStringLiteral(LED_OFF_STYLE));
    QCOMPARE(widget<QPushButton>(w, "btStartLink")->styleSheet(), QStringLiteral(LED_OFF_STYLE));
    QCOMPARE(controlsWithState(w, false),
             QStringList({"btReadFlash", "btSaveFlash", "btBanco", "btStartLink"}));
    QVERIFY(widget<QPushButton>(w, "btClose")->isEnabled());
    QCOMPARE(p.profile(), shown);
    QCOMPARE(widget<QLabel>(w, "lblPathProfilo")->text(), pathShown);
    QCOMPARE(widget<QProgressBar>(w, "progressBar")->value(), 0);
    QCOMPARE(widget<QPushButton>(w, "btBanco")->text(), QStringLiteral("Banco OFF"));
    QCOMPARE(widget<QSpinBox>(w, "spKIniezione")->value(), 1);

    // No second box, nothing comes back later.
    QTest::qWait(150);
    QCOMPARE(watcher->boxes.size(), 1);
    QCOMPARE(p.profile(), shown);
}

// The ECU falls silent while the link polls, and the user asks for a read
// while the last poll the link allows itself is still in flight: the link
// fails with the read still waiting for the line. One warning, and the
// panel is that of no ECU.
void TestTransfers::linkFailureWhileTransferPending()
{
    SimulatedEcu ecu(QStringLiteral("pending"));
    CWorkerTimings t = xferTimings();
    t.linkTimeoutMs = 300;
    t.linkRetries = 1;
    frmProgPannel w(nullptr, t);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    const QVector<double> shown = p.profile();
    QTest::mousePress(widget<QPushButton>(w, "btStartLink"), Qt::LeftButton);
    QTRY_VERIFY(!requestsOf(ecu.sim, PollRequest).isEmpty());
    ecu.sim.setFault(EcuSimulator::Fault::Silent);
    ecu.sim.clearRequests();
    QTRY_VERIFY(!ecu.sim.requests().isEmpty()); // a poll that gets no answer
    QTest::mousePress(widget<QPushButton>(w, "btReadFlash"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!watcher->boxes.isEmpty(), 5000);
    QTest::qWait(300);
    QCOMPARE(watcher->boxes.size(), 1);
    QCOMPARE(watcher->boxes.at(0).text, QStringLiteral("Errore di comunicazione con la scheda"));
    QVERIFY(!p.connected());
    QCOMPARE(p.profile(), shown);
    // The user must be able to search for the ECU again.
    const QStringList noEcu({"btReadFlash", "btSaveFlash", "btBanco", "btStartLink"});
    QCOMPARE(controlsWithState(w, false), noEcu);

    // The worker may also hand the waiting command on just after the
    // disconnection: then no second warning and no port search follow, and
    // the panel stays in the state without an ECU.
    p.execCmd(QStringLiteral("FLASH_WRITE"));
    p.execCmd(QStringLiteral("FLASH_READ"));
    QTest::qWait(300);
    QCOMPARE(watcher->boxes.size(), 1);
    QVERIFY(!static_cast<QWidget *>(p.ricercaPorta())->isVisible());
    QCOMPARE(controlsWithState(w, false), noEcu);
    QVERIFY(widget<QPushButton>(w, "btClose")->isEnabled());
}

void TestTransfers::execCmdUnknownAndFilePolling()
{
    SimulatedEcu ecu(QStringLiteral("cmds"));
    frmProgPannel w(nullptr, xferTimings());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    QTest::mousePress(widget<QPushButton>(w, "btStartLink"), Qt::LeftButton);
    QTRY_VERIFY(!requestsOf(ecu.sim, PollRequest).isEmpty());
    const QVector<double> before = p.profile();
    auto *path = widget<QLabel>(w, "lblPathProfilo");
    const QString pathBefore = path->text();

    // Unknown names (the first three are compared exactly) do nothing.
    bool dialogOpened = false;
    answerNextDialog<QFileDialog>(
        [&](QFileDialog *d) {
            dialogOpened = true;
            d->reject();
        },
        250);
    ecu.sim.clearRequests();
    for (const char *cmd : {"", "flash_read", "FLASH_READ ", "FLASH_WRITE_NOW", "LOAD", "PROFILE"})
        p.execCmd(QLatin1String(cmd));
    QTest::qWait(400); // also lets the dialog answerer above expire
    QVERIFY(!dialogOpened);
    QVERIFY(requestsOf(ecu.sim, ReadRequest).isEmpty());
    QVERIFY(requestsOf(ecu.sim, WriteRequest).isEmpty());
    QVERIFY(!requestsOf(ecu.sim, PollRequest).isEmpty()); // the link goes on polling
    QCOMPARE(p.profile(), before);
    QCOMPARE(path->text(), pathBefore);
    QCOMPARE(controlsWithState(w, false), QStringList());

    auto *load = widget<QPushButton>(w, "btCaricaProfilo");
    const auto expectPolling = [&]() {
        ecu.sim.clearRequests();
        QElapsedTimer t;
        t.start();
        while (requestsOf(ecu.sim, PollRequest).isEmpty() && t.elapsed() < 2000)
            QTest::qWait(10);
        return !requestsOf(ecu.sim, PollRequest).isEmpty();
    };

    // A load whose file cannot be opened says so, and polling resumes.
    const QString gone = dir.filePath(QStringLiteral("gone.prf"));
    const auto makeGone = [gone]() {
        QFile g(gone);
        return g.open(QIODevice::WriteOnly) && g.write(QByteArray(42, char(9))) == 42;
    };
    QVERIFY(makeGone());
    answerNextDialog<QFileDialog>([gone](QFileDialog *d) {
        chooseFile(d, gone);
        QFile::remove(gone);
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
    QTest::mousePress(load, Qt::LeftButton);
    QTRY_COMPARE(watcher->boxes.size(), 1);
    QVERIFY(watcher->boxes.at(0).text.contains(QDir::toNativeSeparators(gone)));
    QVERIFY(expectPolling());
    QVERIFY(p.linkOn());
    QCOMPARE(p.profile(), before);

    // Cancelled: polling resumes.
    answerFileDialog(QString());
    QTest::mousePress(load, Qt::LeftButton);
    QTest::qWait(200);
    QVERIFY(expectPolling());

    // A load that succeeds resumes it too.
    const QString file = dir.filePath(QStringLiteral("load.prf"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QByteArray bytes(41, char(3));
    bytes.append(char(2));
    f.write(bytes);
    f.close();
    answerFileDialog(file);
    QTest::mousePress(load, Qt::LeftButton);
    QTRY_COMPARE(path->text(), file);
    QCOMPARE(p.profile(), QVector<double>(41, 3.0));
    // The loaded K reaches the ECU, and polling resumes.
    QTRY_COMPARE(ecu.sim.tableByte(42), quint8(2));
    QVERIFY(expectPolling());

    // The same rule for a save: a failure says so and polling resumes.
    answerNextDialog<QFileDialog>([this](QFileDialog *d) {
        chooseFile(d, dir.filePath(QStringLiteral("no-such-dir/x.prf")));
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
    QTest::mousePress(widget<QPushButton>(w, "btSalvaProfilo"), Qt::LeftButton);
    QTRY_COMPARE(watcher->boxes.size(), 2);
    QVERIFY(expectPolling());
    const QString saved = dir.filePath(QStringLiteral("saved.prf"));
    answerFileDialog(saved);
    QTest::mousePress(widget<QPushButton>(w, "btSalvaProfilo"), Qt::LeftButton);
    QTRY_VERIFY(QFile::exists(saved));
    QVERIFY(expectPolling());
    QCOMPARE(watcher->boxes.size(), 2);
}

// A read would replace an edited profile: the question comes first, also
// for the read that follows a connection. The connection may end while the
// question is open: then nothing is read whatever the answer, and the
// panel is that of no ECU.
void TestTransfers::readAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("endsMeanwhile");
    QTest::newRow("save") << int(QMessageBox::Save) << false;
    QTest::newRow("discard") << int(QMessageBox::Discard) << false;
    QTest::newRow("cancel") << int(QMessageBox::Cancel) << false;
    QTest::newRow("discard, connection ended meanwhile") << int(QMessageBox::Discard) << true;
    QTest::newRow("cancel, connection ended meanwhile") << int(QMessageBox::Cancel) << true;
}

void TestTransfers::readAsksFirst()
{
    QFETCH(int, answer);
    QFETCH(bool, endsMeanwhile);
    delete watcher; // this test answers the question itself
    watcher = nullptr;
    SimulatedEcu ecu(QStringLiteral("ask"));
    frmProgPannel w(nullptr, xferTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path())); // nothing edited: no question
    const QVector<double> ecuCurve = p.profile();
    const QVector<double> edited(41, 5.0);
    p.setProfile(edited);
    // Edited, disconnected, connected again to an ECU that reports its
    // cylinders (the plot is rebuilt): the read after the connection asks.
    w.onCercaPortaClicked();
    QCOMPARE(p.profile(), edited);
    EcuSimulator::Identity id;
    id.cylinders = 2;
    ecu.sim.setIdentity(id);
    const QString saved = dir.filePath(QStringLiteral("before-read.prf"));
    QFile::remove(saved);
    bool asked = false;
    answerNextDialog<QMessageBox>([&](QMessageBox *box) {
        asked = true;
        if (endsMeanwhile)
            p.session().endConnection(); // the link failed, or the adapter went
        if (answer == QMessageBox::Save)
            answerFileDialog(saved);
        box->button(QMessageBox::StandardButton(answer))->click();
    });
    ecu.sim.clearRequests();
    const bool connected = connectToEcu(w, ecu.path());
    QVERIFY(asked);
    QCOMPARE(connected, !endsMeanwhile);
    const bool read = answer != QMessageBox::Cancel && !endsMeanwhile;
    QTest::qWait(100);
    QCOMPARE(!requestsOf(ecu.sim, ReadRequest).isEmpty(), read);
    QCOMPARE(p.profile(), read ? ecuCurve : edited);
    QCOMPARE(QFile::exists(saved), answer == QMessageBox::Save);
    QCOMPARE(controlsWithState(w, false),
             endsMeanwhile ? QStringList({"btReadFlash", "btSaveFlash", "btBanco", "btStartLink"})
                           : QStringList());
}

QTEST_MAIN(TestTransfers)
#include "tst_transfers.moc"
