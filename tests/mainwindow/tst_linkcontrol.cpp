// Link control through the real main window and the ECU simulator on a
// pseudo-terminal: switching the real-time link, the commands queued for the
// ECU (K Iniezione, test bench), disconnecting, link failure, and the pause
// of the link while a file dialog is open.
#include "comm/cgestrt.h"
#include "comm/frames.h"
#include "ecuconnection.h"
#include "gauge/crpmgauge.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"

#include <QAction>
#include <QLCDNumber>
#include <QSerialPort>
#include <QSpinBox>
#include <QTemporaryDir>

namespace {

int countFrames(const EcuSimulator &sim, const QByteArray &frame)
{
    return static_cast<int>(sim.requests().count(frame));
}

int countPolls(const EcuSimulator &sim)
{
    return countFrames(sim, buildPollFrame());
}

// Write frames (byte 0 = FD) the simulator has seen, oldest first.
QList<QByteArray> writesSeen(const EcuSimulator &sim)
{
    QList<QByteArray> writes;
    for (const QByteArray &r : sim.requests()) {
        if (!r.isEmpty() && static_cast<quint8>(r.at(0)) == 0xFD)
            writes.append(r);
    }
    return writes;
}

QPushButton *button(frmProgPannel &w, const char *name)
{
    return widget<QPushButton>(w, name);
}

// Watches for a message box for a while; closes it and records that it came.
void watchForMessageBox(MessageBoxSeen *seen, int ms)
{
    answerNextDialog<QMessageBox>(
        [seen](QMessageBox *box) {
            seen->title = box->windowTitle();
            seen->text = box->text();
            seen->seen = true;
            box->accept();
        },
        ms);
}

} // namespace

class TestLinkControl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void linkButtonStartsAndStopsPolling();
    void kIniezioneQueuedOnlyWhileConnected();
    void testBenchButton();
    void disconnectWithLinkOn();
    void disconnectDuringPollExchange();
    void searchWithoutEcu();
    void silenceEndsTheLink();
    void errorTexts();
    void unacknowledgedCommandsKeepLinkUp();
    void fileDialogPausesPolling();

private:
    // Checks every control the disconnection resets.
    void verifyDisconnected(frmProgPannel &w, const QVector<double> &curve);
};

void TestLinkControl::initTestCase()
{
    useTestSettings();
}

void TestLinkControl::verifyDisconnected(frmProgPannel &w, const QVector<double> &curve)
{
    MainWindowProbe p(w);
    QVERIFY(!p.connected());
    QVERIFY(!p.linkOn());
    QVERIFY(!p.bancoOn());
    QCOMPARE(button(w, "btStartLink")->styleSheet(), QStringLiteral(LED_OFF_STYLE));
    QCOMPARE(button(w, "btStartLink")->text(), CMsg::messages[1]);
    QCOMPARE(button(w, "btBanco")->styleSheet(), QStringLiteral(BANCO_OFF_STYLE));
    QCOMPARE(button(w, "btBanco")->text(), CMsg::messages[3]);
    QCOMPARE(button(w, "btRicercaPorta")->styleSheet(), QStringLiteral(LED_OFF_STYLE));
    for (const char *name : {"btStartLink", "btSaveFlash", "btReadFlash", "btBanco"})
        QVERIFY2(!button(w, name)->isEnabled(), name);
    QVERIFY(!p.port()->isOpen());
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->text(), CMsg::messages[5]);
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->toolTip(), QString()); // no stale path
    QCOMPARE(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 0);
    QCOMPARE(p.gauge()->value(), 0);
    QCOMPARE(widget<QLabel>(w, "lblAdcSonda")->text(), QStringLiteral("0"));
    QCOMPARE(p.profile(), curve); // the profile survives the disconnection
    QVERIFY(p.deviceInfoLabel()->text().isEmpty());
    QCOMPARE(p.deviceInfoLabel()->frameStyle(), int(QFrame::NoFrame | QFrame::Plain));
    QVERIFY(widget<QAction>(w, "actionCentralina_2cilindri")->isEnabled());
    QVERIFY(widget<QAction>(w, "actionCentralina_4cilindri")->isEnabled());
}

void TestLinkControl::linkButtonStartsAndStopsPolling()
{
    SimulatedEcu ecu(QStringLiteral("link"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    auto *link = button(w, "btStartLink");
    QCOMPARE(countPolls(ecu.sim), 0); // the read does not poll

    QTest::mouseClick(link, Qt::LeftButton);
    QVERIFY(p.linkOn());
    QCOMPARE(link->styleSheet(), QStringLiteral(LED_ON_STYLE));
    QCOMPARE(link->text(), CMsg::messages[0]);
    QTRY_VERIFY_WITH_TIMEOUT(countPolls(ecu.sim) >= 3, 1000);

    QTest::mouseClick(link, Qt::LeftButton);
    QVERIFY(!p.linkOn());
    QCOMPARE(link->styleSheet(), QStringLiteral(LED_OFF_STYLE));
    QCOMPARE(link->text(), CMsg::messages[1]);
    QTest::qWait(100); // the exchange in flight ends
    ecu.sim.clearRequests();
    QTest::qWait(300);
    QCOMPARE(ecu.sim.requests().size(), 0);
    QVERIFY(p.connected());
}

void TestLinkControl::kIniezioneQueuedOnlyWhileConnected()
{
    SimulatedEcu ecu(QStringLiteral("k"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    auto *k = widget<QSpinBox>(w, "spKIniezione");
    QCOMPARE(k->value(), 1);
    QCOMPARE(p.devInfo().hardware, quint8(10));

    // With the link off the command goes out from the idle worker.
    ecu.sim.clearRequests();
    k->setValue(3);
    const QByteArray k3 = QByteArray::fromHex("FD032A010101012E");
    QTRY_COMPARE_WITH_TIMEOUT(countFrames(ecu.sim, k3), 1, 1000);
    QCOMPARE(ecu.sim.tableByte(42), quint8(3));
    QCOMPARE(ecu.sim.requests().size(), 1);

    // Not connected: nothing is queued, even with the port open to the ECU.
    w.onCercaPortaClicked();
    QVERIFY(!p.connected());
    p.port()->setPortName(ecu.path());
    QVERIFY(p.port()->open(QIODevice::ReadWrite));
    ecu.sim.clearRequests();
    k->setValue(2);
    QTest::qWait(300);
    QCOMPARE(ecu.sim.requests().size(), 0);
    QCOMPARE(ecu.sim.tableByte(42), quint8(3));
    p.port()->close();
}

void TestLinkControl::testBenchButton()
{
    SimulatedEcu ecu(QStringLiteral("banco"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    auto *banco = button(w, "btBanco");
    banco->show();
    QVERIFY(banco->isEnabled());
    QVERIFY(!p.bancoOn());

    ecu.sim.clearRequests();
    QTest::mouseClick(banco, Qt::LeftButton);
    QVERIFY(p.bancoOn());
    QCOMPARE(banco->styleSheet(), QStringLiteral(BANCO_ON_STYLE));
    QCOMPARE(banco->text(), CMsg::messages[2]);
    const QList<QByteArray> on = {QByteArray::fromHex("FD022901010101" "2C"),
                                  QByteArray::fromHex("FD012A01010101" "2C"),
                                  QByteArray::fromHex("FD013101010101" "33")};
    QTRY_COMPARE_WITH_TIMEOUT(writesSeen(ecu.sim), on, 1000);
    QCOMPARE(ecu.sim.tableByte(49), quint8(1));

    ecu.sim.clearRequests();
    QTest::mouseClick(banco, Qt::LeftButton);
    QVERIFY(!p.bancoOn());
    QCOMPARE(banco->styleSheet(), QStringLiteral(BANCO_OFF_STYLE));
    QCOMPARE(banco->text(), CMsg::messages[3]);
    const QList<QByteArray> off = {on.at(0), on.at(1), QByteArray::fromHex("FD003101010101" "32")};
    QTRY_COMPARE_WITH_TIMEOUT(writesSeen(ecu.sim), off, 1000);
    QCOMPARE(ecu.sim.tableByte(49), quint8(0));
}

void TestLinkControl::disconnectWithLinkOn()
{
    SimulatedEcu ecu(QStringLiteral("disconnect"));
    ecu.sim.setFixedRpm(3000);
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    p.setProfile(QVector<double>(41, 7.0)); // an edited curve
    const QVector<double> shown = p.profile();
    QVERIFY(p.profile() != QVector<double>(41, 0.0));
    QVERIFY(!p.deviceInfoLabel()->text().isEmpty());
    w.onBancoClicked();
    QTRY_COMPARE_WITH_TIMEOUT(ecu.sim.tableByte(49), quint8(1), 1000);
    QTest::mouseClick(button(w, "btStartLink"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 3000, 1000);
    QCOMPARE(p.gauge()->value(), 3000);
    QVERIFY(widget<QLabel>(w, "lblAdcSonda")->text() != QStringLiteral("0"));
    widget<QAction>(w, "actionCentralina_2cilindri")->setEnabled(false);
    widget<QAction>(w, "actionCentralina_4cilindri")->setEnabled(false);

    QTest::mouseClick(button(w, "btRicercaPorta"), Qt::LeftButton);
    verifyDisconnected(w, shown);
    QVERIFY(!static_cast<QDialog *>(p.ricercaPorta())->isVisible());
    // Polling ends; late readouts of the exchange in flight change nothing.
    QTest::qWait(150);
    ecu.sim.clearRequests();
    QTest::qWait(200);
    QCOMPARE(ecu.sim.requests().size(), 0);
    QCOMPARE(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 0);
    QCOMPARE(ecu.sim.tableByte(49), quint8(1)); // the ECU's test bench is left as it was
}

// The user disconnects while a poll is on the line: its answer is lost with
// the port. That is no failure of the ECU, so no warning and no port search
// may follow.
void TestLinkControl::disconnectDuringPollExchange()
{
    SimulatedEcu ecu(QStringLiteral("inflight"));
    CWorkerTimings t = shortTimings();
    t.linkRetries = 5; // a late failure would come after 5 time-outs
    frmProgPannel w(nullptr, t);
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    const QVector<double> shown = p.profile();
    w.onLinkClicked();
    QTRY_VERIFY_WITH_TIMEOUT(countPolls(ecu.sim) >= 3, 1000);

    // Disconnect when the ECU has just read a poll, before its answer is back.
    bool armed = true;
    QObject context;
    connect(ecu.server.get(), &PtySimServer::frameSeen, &context,
            [&](const QByteArray &request, const QByteArray &) {
                if (armed && request == buildPollFrame()) {
                    armed = false;
                    w.onCercaPortaClicked();
                }
            });
    QTRY_VERIFY_WITH_TIMEOUT(!armed, 1000);
    verifyDisconnected(w, shown);

    MessageBoxSeen late;
    watchForMessageBox(&late, 1500);
    QTest::qWait(1600); // well past 5 time-outs of 50 ms
    // The poll cut off by the disconnection times out once; with the link
    // off no further polls follow, so no late "KO" warns or opens the search.
    QVERIFY2(!late.seen, qPrintable(late.text));
    QVERIFY(!static_cast<QDialog *>(p.ricercaPorta())->isVisible());
    QVERIFY(!p.connected());
}

void TestLinkControl::searchWithoutEcu()
{
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    const QString ledStyle = button(w, "btRicercaPorta")->styleSheet();
    const QString linkText = button(w, "btStartLink")->text();
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    QVERIFY(!dialog->isVisible());
    QTest::mouseClick(button(w, "btRicercaPorta"), Qt::LeftButton);
    QVERIFY(dialog->isVisible());
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->text(), CMsg::messages[5]);
    QVERIFY(!p.connected());
    QCOMPARE(button(w, "btRicercaPorta")->styleSheet(), ledStyle);
    QCOMPARE(button(w, "btStartLink")->text(), linkText);
    QVERIFY(!button(w, "btStartLink")->isEnabled());
    dialog->close();
    QVERIFY(!p.connected());
}

// An ECU that falls silent ends the link at the 30th time-out in a row; the
// window disconnects before it warns. A "KO" that comes after the
// disconnection opens the port search and warns again.
void TestLinkControl::silenceEndsTheLink()
{
    SimulatedEcu ecu(QStringLiteral("silence"));
    ecu.sim.setFixedRpm(2000);
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    const QVector<double> shown = p.profile();
    w.onLinkClicked();
    QTRY_COMPARE_WITH_TIMEOUT(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 2000, 1000);

    MessageBoxSeen seen;
    int pollsAtWarning = -1;
    bool connectedAtWarning = true;
    answerNextDialog<QMessageBox>([&](QMessageBox *box) {
        pollsAtWarning = countPolls(ecu.sim);
        connectedAtWarning = p.connected();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.seen = true;
        box->accept();
    }, 8000);
    ecu.sim.setFault(EcuSimulator::Fault::Silent);
    ecu.sim.clearRequests();
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 8000);
    QCOMPARE(pollsAtWarning, 30);
    QVERIFY(!connectedAtWarning);
    QCOMPARE(seen.title, CMsg::messages[15]);
    QCOMPARE(seen.text, CMsg::messages[15]);
    verifyDisconnected(w, shown);
    // A poll the worker sent before it saw the link switched off can time
    // out into one more "KO"; that warning is closed here, so it cannot
    // block the test.
    MessageBoxSeen straggler;
    watchForMessageBox(&straggler, 300);
    QTest::qWait(350);
    QCOMPARE(countPolls(ecu.sim), 30);

    // A further "KO" from the ended connection opens nothing and warns no
    // more.
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    MessageBoxSeen again;
    watchForMessageBox(&again, 300);
    w.onErrorRT(QStringLiteral("KO"));
    QTest::qWait(350);
    QVERIFY(!again.seen);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!p.connected());
    QVERIFY(!p.linkOn());
}

void TestLinkControl::errorTexts()
{
    SimulatedEcu ecu(QStringLiteral("errors"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    const QVector<double> shown = p.profile();
    w.onLinkClicked();

    // "OK" changes nothing and shows nothing.
    MessageBoxSeen none;
    watchForMessageBox(&none, 400);
    w.onErrorRT(QStringLiteral("OK"));
    QTest::qWait(450);
    QVERIFY(!none.seen);
    QVERIFY(p.connected());
    QVERIFY(p.linkOn());
    QCOMPARE(button(w, "btStartLink")->styleSheet(), QStringLiteral(LED_ON_STYLE));
    ecu.sim.clearRequests();
    QTRY_VERIFY_WITH_TIMEOUT(countPolls(ecu.sim) > 0, 500);

    // Any text starting with "KO" disconnects.
    MessageBoxSeen seen;
    answerMessageBox(&seen);
    w.onErrorRT(QStringLiteral("KO_SND"));
    QVERIFY(seen.seen);
    QCOMPARE(seen.title, CMsg::messages[15]);
    verifyDisconnected(w, shown);
    static_cast<QDialog *>(p.ricercaPorta())->close();
}

// Each lost acknowledgement costs one time-out, and the poll after it refills
// the budget: even with a budget of 3, five lost acknowledgements in a row
// leave the link up.
void TestLinkControl::unacknowledgedCommandsKeepLinkUp()
{
    SimulatedEcu ecu(QStringLiteral("noack"));
    CWorkerTimings t = shortTimings();
    t.linkRetries = 3;
    frmProgPannel w(nullptr, t);
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    ecu.sim.setFixedRpm(1100);
    w.onLinkClicked();
    QTRY_COMPARE_WITH_TIMEOUT(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 1100, 1000);

    MessageBoxSeen none;
    QElapsedTimer watching;
    watching.start();
    watchForMessageBox(&none, 2500);
    ecu.sim.setFault(EcuSimulator::Fault::NoWriteAck);
    ecu.sim.clearRequests();
    auto *k = widget<QSpinBox>(w, "spKIniezione");
    for (int value : {2, 3, 4, 1, 2})
        k->setValue(value);
    QTRY_COMPARE_WITH_TIMEOUT(writesSeen(ecu.sim).size(), 5, 2000);
    ecu.sim.setFixedRpm(1700);
    QTRY_COMPARE_WITH_TIMEOUT(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 1700, 1000);
    QTest::qWait(300);
    QVERIFY(!none.seen);
    QVERIFY(p.connected());
    QVERIFY(p.linkOn());
    QCOMPARE(ecu.sim.tableByte(42), quint8(2)); // written, only never acknowledged
    w.onLinkClicked();
    QTest::qWait(50);
    // The watcher must not outlive `none` into the next test.
    QTest::qWait(qMax<qint64>(0, 2600 - watching.elapsed()));
}

// A file dialog opens only once polling has stopped, and polling resumes
// after a cancelled load; a file that cannot be opened leaves it paused.
void TestLinkControl::fileDialogPausesPolling()
{
    SimulatedEcu ecu(QStringLiteral("files"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    QTest::mouseClick(button(w, "btStartLink"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(countPolls(ecu.sim) >= 3, 1000);

    int atOpen = -1, atClose = -1;
    bool done = false;
    answerNextDialog<QFileDialog>([&](QFileDialog *dialog) {
        atOpen = ecu.sim.requests().size();
        QTest::qWait(200);
        atClose = ecu.sim.requests().size();
        dialog->reject();
        done = true;
    });
    QTest::mouseClick(button(w, "btCaricaProfilo"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(done, 3000);
    QCOMPARE(atClose, atOpen);
    QVERIFY(p.linkOn());
    QTRY_VERIFY_WITH_TIMEOUT(ecu.sim.requests().size() >= atClose + 3, 1000);

    // A file that vanishes before it is opened: a message, then polling
    // resumes.
    QTemporaryDir dir;
    const QString gone = dir.filePath(QStringLiteral("gone.prf"));
    QFile file(gone);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(42, char(3)));
    file.close();
    done = false;
    answerNextDialog<QFileDialog>([&](QFileDialog *dialog) {
        atOpen = ecu.sim.requests().size();
        QTest::qWait(200);
        atClose = ecu.sim.requests().size();
        chooseFile(dialog, gone);
        QFile::remove(gone);
        static_cast<QDialog *>(dialog)->done(QDialog::Accepted);
        done = true;
    });
    const QVector<double> before = p.profile();
    MessageBoxSeen box;
    answerMessageBox(&box);
    w.onLoadProfileClicked();
    QTRY_VERIFY_WITH_TIMEOUT(done, 3000);
    QCOMPARE(atClose, atOpen);
    QTRY_VERIFY_WITH_TIMEOUT(box.seen, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(ecu.sim.requests().size() >= atClose + 3, 1000);
    QVERIFY(p.linkOn());
    QCOMPARE(p.profile(), before);
    QVERIFY(p.connected());
}

QTEST_MAIN(TestLinkControl)
#include "tst_linkcontrol.moc"
