// How the outcome of a port search is taken into use by the real main
// window, on the serial route (the simulator on a pseudo-terminal) and the
// HID route (the hidapi fake): what the window shows. The line itself (frame
// assembly, routes, HID reads) is the session's test.
#include "ecuconnection.h"
#include "hidfake.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"

#include <QLCDNumber>
#include <QSerialPort>
#include <QSignalSpy>

namespace {

const char *const FourButtons[] = {"btStartLink", "btSaveFlash", "btReadFlash", "btBanco"};

} // namespace

class TestTransport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void hidRoute();
    void searchOutcomeOk();
    void searchThroughSimulatorPort();
    void searchFoundThenPlaceholder();
    void searchSilentSimulator();
    void searchAgainAfterDisconnectingWithLinkOn();
};

void TestTransport::initTestCase()
{
    useTestSettings();
}

void TestTransport::init()
{
    hidfake::reset();
}

// The HID route as the user meets it: the search finds the device, the
// profile is read over it and the link's readouts come over it; a search
// of a silent device leaves the window free meanwhile.
void TestTransport::hidRoute()
{
    EcuSimulator sim;
    EcuSimulator::Identity id;
    id.hardware = 10;
    id.cylinders = 2;
    sim.setIdentity(id);
    hidfake::attach(&sim);
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(p.hasHid());
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    QSignalSpy esito(p.ricercaPorta(), &frmRicercaPorta::sgnEsito);

    w.onCercaPortaClicked();
    QVERIFY(dialog->isVisible());
    QTRY_COMPARE(dialog->findChild<QLabel *>("lblStatus")->text(), CMsg::messages[7]);
    QVERIFY(p.deviceInfoLabel()->text().contains(QStringLiteral("CYL2")));
    dialog->close();
    QCOMPARE(esito.count(), 1);
    QCOMPARE(esito.at(0).at(0).toString(), QStringLiteral("OK"));
    QCOMPARE(esito.at(0).at(1).toString(), QStringLiteral("HID"));
    QVERIFY(p.connected());
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->text(), QStringLiteral("HID"));

    QTRY_VERIFY_WITH_TIMEOUT(widget<QPushButton>(w, "btReadFlash")->isEnabled(), 10000);
    QVector<double> expected;
    for (int i = 0; i < 41; ++i)
        expected.append(static_cast<qint8>(sim.tableByte(i)));
    QCOMPARE(p.profile(), expected);

    sim.setFixedRpm(2200);
    w.onLinkClicked();
    QTRY_COMPARE_WITH_TIMEOUT(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 2200, 1000);
    w.onLinkClicked();

    sim.setFault(EcuSimulator::Fault::Silent);
    w.onCercaPortaClicked(); // disconnects
    QElapsedTimer clock;
    clock.start();
    w.onCercaPortaClicked();
    QVERIFY(clock.elapsed() < 100);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->findChild<QComboBox *>("cbPorteSeriali")->isHidden(), 3000);
    dialog->close();
    QVERIFY(!p.connected());
}

// A successful outcome: LED on, the name shown without the "\\.\" prefix,
// the controls enabled and the profile read at once.
void TestTransport::searchOutcomeOk()
{
    CWorkerTimings t = shortTimings();
    t.transferRetries = 1; // nothing answers on COM12: let the read fail fast
    frmProgPannel w(nullptr, t);
    MainWindowProbe p(w);
    const QString name = QStringLiteral("\\\\.\\COM12");
    w.onEsitoRicercaPorta(QStringLiteral("OK"), name);
    QCOMPARE(widget<QPushButton>(w, "btRicercaPorta")->styleSheet(), QStringLiteral(LED_ON_STYLE));
    QVERIFY(p.connected());
    QCOMPARE(p.portName(), name);
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->text(), QStringLiteral("COM12"));
    // The read started at once: it holds the controls until it ends.
    QVERIFY(!widget<QPushButton>(w, "btReadFlash")->isEnabled());

    // No ECU there: the read fails, the window disconnects and warns.
    MessageBoxSeen seen;
    answerMessageBox(&seen);
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 5000);
    QCOMPARE(seen.text, CMsg::messages[15]);
    QVERIFY(!p.connected());
    // The disconnection forgets the route: the next search starts afresh
    // rather than writing its probe to the port (or the HID device) of the
    // connection that ended.
    QVERIFY(p.portName().isEmpty());
}

// The search as a user runs it against the simulator's port.
void TestTransport::searchThroughSimulatorPort()
{
    SimulatedEcu ecu(QStringLiteral("found"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QCOMPARE(searchAndPick(w, ecu.path()), CMsg::messages[7]);
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    QVERIFY(dialog->findChild<QLabel *>("lblStatus")->styleSheet().contains("rgb(85, 255, 0)"));
    dialog->close();
    QVERIFY(p.connected());
    QCOMPARE(p.portName(), ecu.path());
    QCOMPARE(widget<QPushButton>(w, "btRicercaPorta")->styleSheet(), QStringLiteral(LED_ON_STYLE));
    // The link's own name; the whole path in the tool tip.
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->text(), QFileInfo(ecu.path()).fileName());
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->toolTip(), ecu.path());
    QTRY_VERIFY_WITH_TIMEOUT(widget<QPushButton>(w, "btReadFlash")->isEnabled(), 10000);
    for (const char *name : FourButtons)
        QVERIFY2(widget<QPushButton>(w, name)->isEnabled(), name);
    QCOMPARE(p.profile().at(20), double(static_cast<qint8>(ecu.sim.tableByte(20))));
    QVERIFY(ecu.heldOpen());
}

// A port found, then the placeholder chosen: closing reports "KO"; the
// window does not keep that port open, and its ECU buttons stay off with
// no read started.
void TestTransport::searchFoundThenPlaceholder()
{
    SimulatedEcu ecu(QStringLiteral("changed-mind"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QCOMPARE(searchAndPick(w, ecu.path()), CMsg::messages[7]);
    QVERIFY(ecu.heldOpen());
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    dialog->findChild<QComboBox *>("cbPorteSeriali")->setCurrentIndex(0);
    dialog->close();
    QVERIFY(!p.connected());
    QVERIFY(!ecu.heldOpen());
    QCOMPARE(widget<QPushButton>(w, "btRicercaPorta")->styleSheet(), QStringLiteral(LED_OFF_STYLE));
    for (const char *name : FourButtons)
        QVERIFY2(!widget<QPushButton>(w, name)->isEnabled(), name);
    QTest::qWait(50);
    QCOMPARE(ecu.sim.requests().size(), 1); // the probe alone
}

void TestTransport::searchSilentSimulator()
{
    SimulatedEcu ecu(QStringLiteral("silent"));
    ecu.sim.setFault(EcuSimulator::Fault::Silent);
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QCOMPARE(searchAndPick(w, ecu.path()), CMsg::messages[8]);
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    QVERIFY(dialog->findChild<QLabel *>("lblStatus")->styleSheet().contains("rgb(255, 0, 0)"));
    QVERIFY(!ecu.heldOpen());
    dialog->close();
    QVERIFY(!p.connected());
    QVERIFY(p.portName().isEmpty());
    QCOMPARE(widget<QPushButton>(w, "btRicercaPorta")->styleSheet(), QStringLiteral(LED_OFF_STYLE));
    for (const char *name : FourButtons)
        QVERIFY2(!widget<QPushButton>(w, name)->isEnabled(), name);
    QCOMPARE(ecu.sim.requests().size(), 1); // the probe alone
}

// Disconnecting with the link on leaves the tail of the last poll answer on
// its way to a closed port; each new search still finds the ECU.
void TestTransport::searchAgainAfterDisconnectingWithLinkOn()
{
    SimulatedEcu ecu(QStringLiteral("again"), true);
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    for (int round = 0; round < 3; ++round) {
        QVERIFY(connectToEcu(w, ecu.path()));
        w.onLinkClicked();
        QTest::qWait(60 + round * 7); // cut off at different points of a poll
        w.onCercaPortaClicked(); // disconnects
        QVERIFY(!p.connected());
        QCOMPARE(searchAndPick(w, ecu.path()), CMsg::messages[7]);
        static_cast<QDialog *>(p.ricercaPorta())->close();
        QVERIFY(p.connected());
        QTRY_VERIFY(widget<QPushButton>(w, "btReadFlash")->isEnabled());
        w.onCercaPortaClicked();
    }
}

QTEST_MAIN(TestTransport)
#include "tst_transport.moc"
