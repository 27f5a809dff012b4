// The ECU line through the real main window: frame assembly on the serial
// route (over a pseudo-terminal the test drives byte by byte), recovery from
// lost and surplus bytes, the HID route through the hidapi fake, and how the
// outcome of a port search is taken into use.
#include "comm/cgestrt.h"
#include "comm/chidtransport.h"
#include "comm/frames.h"
#include "ecuconnection.h"
#include "hidfake.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"

#include <QLCDNumber>
#include <QSerialPort>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryFile>
#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

Q_DECLARE_METATYPE(EcuSimulator::Fault)

namespace {

// A bare pseudo-terminal: the window opens the slave as its serial port and
// the test plays the ECU on the master, byte by byte.
struct RawPty
{
    int master = -1;
    int slaveFd = -1; // kept open so the master never sees a hang-up
    QString slave;

    RawPty()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            qFatal("cannot open a pseudo-terminal");
        slave = QString::fromLocal8Bit(ptsname(master));
        slaveFd = ::open(ptsname(master), O_RDWR | O_NOCTTY);
        termios tio{};
        tcgetattr(slaveFd, &tio);
        cfmakeraw(&tio);
        tcsetattr(slaveFd, TCSANOW, &tio);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    ~RawPty()
    {
        ::close(slaveFd);
        ::close(master);
    }
    void send(const QByteArray &bytes)
    {
        if (::write(master, bytes.constData(), static_cast<size_t>(bytes.size())) != bytes.size())
            qFatal("short write to the pseudo-terminal");
    }
    // Collects what the window wrote until n bytes have come or timeoutMs passed.
    QByteArray receive(int n, int timeoutMs = 1000)
    {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < n && t.elapsed() < timeoutMs) {
            char buf[64];
            const ssize_t r = ::read(master, buf, static_cast<size_t>(qMin<int>(64, n - got.size())));
            if (r > 0)
                got.append(buf, static_cast<int>(r));
            else
                QTest::qWait(2);
        }
        return got;
    }
    // Everything written so far, after letting the window run for ms.
    QByteArray drain(int ms)
    {
        QTest::qWait(ms);
        QByteArray got;
        char buf[256];
        ssize_t r;
        while ((r = ::read(master, buf, sizeof buf)) > 0)
            got.append(buf, static_cast<int>(r));
        return got;
    }
};

QByteArray pollAnswer(int rpm, quint8 adc = 0x80)
{
    QByteArray a;
    a.append(char(0xFE));
    a.append(char(0));
    a.append(char(adc));
    a.append(char(0x21));
    a.append(char(rpm & 0xFF));
    a.append(char(rpm >> 8));
    a.append(char(7));
    a.append(frameChecksum(a));
    return a;
}

// Runs f with standard output sent to a file; returns what was printed.
QByteArray captureStdout(const std::function<void()> &f)
{
    QTemporaryFile file;
    if (!file.open())
        qFatal("no temporary file");
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(file.handle(), STDOUT_FILENO);
    f();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    ::close(saved);
    QFile again(file.fileName());
    again.open(QIODevice::ReadOnly);
    return again.readAll();
}

const char *const FourButtons[] = {"btStartLink", "btSaveFlash", "btReadFlash", "btBanco"};

} // namespace

class TestTransport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void serialAssembly();
    void misalignedLineRecovers_data();
    void misalignedLineRecovers();
    void hidNameCaseTakesSerialRoute();
    void hidRoute();
    void searchOutcomeOk();
    void searchOutcomeKo();
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

// Bytes written on the master reach the consumers only as whole 8-byte
// frames: the real-time worker, waiting for a poll answer, publishes the
// engine speed on the LCD only when the whole answer has been assembled.
void TestTransport::serialAssembly()
{
    RawPty pty;
    CWorkerTimings t = shortTimings();
    t.linkTimeoutMs = 500; // the test writes the answers by hand
    frmProgPannel w(nullptr, t);
    MainWindowProbe p(w);
    auto *lcd = widget<QLCDNumber>(w, "lcdRPM");
    p.port()->setPortName(pty.slave);
    QVERIFY(p.port()->open(QIODevice::ReadWrite));
    p.session().connectTo(pty.slave); // workers' frames reach a connected line only
    QSignalSpy readyRead(p.port(), &QSerialPort::readyRead);

    p.gestRT()->startLink();
    QCOMPARE(pty.receive(8), buildPollFrame());

    // 12 bytes in one burst: a whole frame the worker does not wait for (an
    // acknowledgement) and the first 4 bytes of the poll answer.
    const QByteArray first = pollAnswer(1000);
    QByteArray burst = buildWriteFrame(42, 1);
    burst[0] = char(AnswerWrite);
    burst[7] = frameChecksum(burst.left(7));
    pty.send(burst + first.left(4));
    QTest::qWait(100);
    QCOMPARE(lcd->intValue(), 0);
    QCOMPARE(p.session().lastFrame().left(4), first.left(4)); // assembled so far
    QVERIFY(pty.drain(0).isEmpty()); // the worker is still waiting for its answer
    // The 4 waiting bytes and 4 more make the poll answer.
    pty.send(first.mid(4));
    QTRY_COMPARE_WITH_TIMEOUT(lcd->intValue(), 1000, 400);

    // The same answer one byte at a time, each with its own readyRead().
    QCOMPARE(pty.receive(8), buildPollFrame());
    const QByteArray second = pollAnswer(2345);
    readyRead.clear();
    for (char c : second) {
        QCOMPARE(lcd->intValue(), 1000);
        pty.send(QByteArray(1, c));
        QTest::qWait(15);
    }
    QVERIFY(readyRead.count() >= 8);
    QTRY_COMPARE_WITH_TIMEOUT(lcd->intValue(), 2345, 400);

    // A partial answer is discarded when the next request goes out: the
    // next answer is taken whole, not glued to the stale bytes.
    QCOMPARE(pty.receive(8), buildPollFrame());
    pty.send(pollAnswer(7777).left(5));
    QTest::qWait(50);
    w.onSendSerialData(buildInfoFrame()); // another request written meanwhile
    QCOMPARE(pty.receive(8), buildInfoFrame());
    pty.send(pollAnswer(3000));
    QTRY_COMPARE_WITH_TIMEOUT(lcd->intValue(), 3000, 400);

    p.gestRT()->stopLink();
    QTest::qWait(30);
}

void TestTransport::misalignedLineRecovers_data()
{
    QTest::addColumn<EcuSimulator::Fault>("fault");
    QTest::newRow("lost byte") << EcuSimulator::Fault::DropByte;
    QTest::newRow("extra byte") << EcuSimulator::Fault::ExtraByte;
}

// One answer a byte short or a byte long must not shift every later answer:
// the link keeps working, well past the 30 time-outs that would end it.
void TestTransport::misalignedLineRecovers()
{
    QFETCH(EcuSimulator::Fault, fault);
    SimulatedEcu ecu(QStringLiteral("misaligned"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    auto *lcd = widget<QLCDNumber>(w, "lcdRPM");
    ecu.sim.setFixedRpm(1500);
    w.onLinkClicked();
    QTRY_COMPARE_WITH_TIMEOUT(lcd->intValue(), 1500, 1000);

    // The fault applies to exactly one answer.
    int faulty = 0;
    QObject once;
    connect(ecu.server.get(), &PtySimServer::frameSeen, &once, [&](const QByteArray &, const QByteArray &answer) {
        if (ecu.sim.fault() != EcuSimulator::Fault::None && !answer.isEmpty()) {
            ++faulty;
            ecu.sim.setFault(EcuSimulator::Fault::None);
        }
    });
    MessageBoxSeen box;
    answerNextDialog<QMessageBox>(
        [&box](QMessageBox *b) {
            box.seen = true;
            b->accept();
        },
        2500);
    ecu.sim.setFault(fault);
    QTRY_COMPARE_WITH_TIMEOUT(faulty, 1, 1000);
    ecu.sim.setFixedRpm(4321);
    QTRY_COMPARE_WITH_TIMEOUT(lcd->intValue(), 4321, 1000);
    QTest::qWait(2000); // 30 time-outs of 50 ms would have ended the link by now
    QVERIFY(!box.seen);
    QVERIFY(p.connected());
    QVERIFY(p.linkOn());
    ecu.sim.setFixedRpm(999);
    QTRY_COMPARE_WITH_TIMEOUT(lcd->intValue(), 999, 1000);
    w.onLinkClicked();
    QTest::qWait(30);
}

// Only the exact name "HID" selects the HID device.
void TestTransport::hidNameCaseTakesSerialRoute()
{
    EcuSimulator sim;
    hidfake::attach(&sim);
    RawPty pty;
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(p.hidDevice());
    p.port()->setPortName(pty.slave);
    QVERIFY(p.port()->open(QIODevice::ReadWrite));
    for (const char *name : {"hid", "Hid", "hID"}) {
        p.session().connectTo(QLatin1String(name));
        w.onSendSerialData(buildPollFrame());
        QCOMPARE(pty.receive(8), buildPollFrame());
    }
    QVERIFY(hidfake::writtenReports().isEmpty());

    p.session().connectTo(QStringLiteral("HID"));
    w.onSendSerialData(buildPollFrame());
    QTRY_COMPARE(hidfake::writtenReports().size(), 1); // written on the HID thread
    QVERIFY(pty.drain(50).isEmpty());
}

// The HID route end to end: the search finds the device, the profile is read
// over it, the link polls over it, and a failing read hands nothing on.
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
    QVERIFY(p.hidDevice());
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    QSignalSpy esito(p.ricercaPorta(), &frmRicercaPorta::sgnEsito);

    w.onCercaPortaClicked();
    QVERIFY(dialog->isVisible());
    QTRY_COMPARE(dialog->findChild<QLabel *>("lblStatus")->text(), CMsg::messages[7]);
    QVERIFY(p.deviceInfoLabel()->text().contains(QStringLiteral("CYL2")));
    hidfake::reset();
    hidfake::attach(&sim);
    dialog->close();
    QCOMPARE(esito.count(), 1);
    QCOMPARE(esito.at(0).at(0).toString(), QStringLiteral("OK"));
    QCOMPARE(esito.at(0).at(1).toString(), QStringLiteral("HID"));
    QVERIFY(p.connected());
    QCOMPARE(p.portName(), QStringLiteral("HID"));
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->text(), QStringLiteral("HID"));
    QVERIFY(!p.port()->isOpen());

    // The automatic flash read runs over HID.
    QTRY_VERIFY_WITH_TIMEOUT(widget<QPushButton>(w, "btReadFlash")->isEnabled(), 10000);
    QVector<double> expected;
    for (int i = 0; i < 41; ++i)
        expected.append(static_cast<qint8>(sim.tableByte(i)));
    QCOMPARE(p.profile(), expected);
    const QList<QByteArray> reports = hidfake::writtenReports();
    QCOMPARE(reports.size(), 50);
    for (int i = 0; i < reports.size(); ++i) {
        const QByteArray &r = reports.at(i);
        QCOMPARE(r.size(), 65);
        QCOMPARE(r.at(0), char(0));
        QCOMPARE(r.mid(1, 8), buildReadFrame(i));
        QCOMPARE(r.mid(9), QByteArray(56, '\0'));
    }

    // The link polls over HID and its answers reach the readouts.
    hidfake::reset();
    hidfake::attach(&sim);
    sim.setFixedRpm(2200);
    w.onLinkClicked();
    QTRY_COMPARE_WITH_TIMEOUT(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 2200, 1000);
    w.onLinkClicked();
    QTest::qWait(50);
    QVERIFY(!hidfake::writtenReports().isEmpty());
    for (const QByteArray &r : hidfake::writtenReports())
        QCOMPARE(r.mid(1, 8), buildPollFrame());

    // A failing read prints its message and hands nothing on.
    QSignalSpy answers(&p.session(), &CEcuSession::answerReceived);
    hidfake::setReadFails(1);
    // The exchange runs on the HID thread; its read waits at most 250 ms.
    const auto exchange = [&] {
        w.onSendSerialData(buildPollFrame());
        QTest::qWait(HidReadTimeoutMs + 150);
    };
    QByteArray out = captureStdout(exchange);
    QVERIFY2(out.contains("OnSendSerialData: bytes written=65\n"), out.constData());
    QVERIFY2(out.contains("OnSendSerialData: Unable to read()\n"), out.constData());
    QVERIFY(!out.contains("bytes read="));
    QCOMPARE(answers.count(), 0);
    // The next exchange works again and hands the answer on.
    out = captureStdout(exchange);
    QVERIFY2(out.contains("OnSendSerialData: bytes read=65\n"), out.constData());
    QCOMPARE(answers.count(), 1);
    const QByteArray answer = answers.at(0).at(0).toByteArray();
    QCOMPARE(static_cast<quint8>(answer.at(0)), AnswerPoll);
    QCOMPARE(answer.size(), 8);
    // A silent device: a new search asks it on the HID thread; the window
    // goes on meanwhile, and the serial list follows.
    sim.setFault(EcuSimulator::Fault::Silent);
    w.onCercaPortaClicked(); // disconnects
    QElapsedTimer clock;
    clock.start();
    w.onCercaPortaClicked();
    QVERIFY(clock.elapsed() < 100);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->findChild<QComboBox *>("cbPorteSeriali")->isHidden(), 3000);
    dialog->close();
    sim.setFault(EcuSimulator::Fault::None);
    QVERIFY(!p.connected());
    p.session().connectTo(QStringLiteral("HID")); // the exchanges below go to a connected line

    // A silent device times out the bounded read the same way.
    sim.setFault(EcuSimulator::Fault::Silent);
    answers.clear();
    out = captureStdout(exchange);
    QVERIFY2(out.contains("OnSendSerialData: Unable to read()\n"), out.constData());
    QCOMPARE(answers.count(), 0);
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

// "KO" turns the LED off, forgets the port and closes a port the search
// left open; the ECU's buttons stay off and no read starts.
void TestTransport::searchOutcomeKo()
{
    RawPty pty;
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    p.port()->setPortName(pty.slave); // found, then the placeholder chosen
    QVERIFY(p.port()->open(QIODevice::ReadWrite));

    w.onEsitoRicercaPorta(QStringLiteral("KO"), QString());
    QCOMPARE(widget<QPushButton>(w, "btRicercaPorta")->styleSheet(),
             QStringLiteral(LED_OFF_STYLE));
    QVERIFY(!p.connected());
    QVERIFY(p.portName().isNull());
    QVERIFY(!p.port()->isOpen());
    for (const char *name : FourButtons)
        QVERIFY(!widget<QPushButton>(w, name)->isEnabled());
    QVERIFY(pty.drain(50).isEmpty()); // no read started
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
    QVERIFY(p.port()->isOpen());
}

// A port found, then the placeholder chosen: closing reports "KO" and the
// window does not keep that port open.
void TestTransport::searchFoundThenPlaceholder()
{
    SimulatedEcu ecu(QStringLiteral("changed-mind"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QCOMPARE(searchAndPick(w, ecu.path()), CMsg::messages[7]);
    QVERIFY(p.port()->isOpen());
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    dialog->findChild<QComboBox *>("cbPorteSeriali")->setCurrentIndex(0);
    dialog->close();
    QVERIFY(!p.connected());
    QVERIFY(!p.port()->isOpen());
    QCOMPARE(widget<QPushButton>(w, "btRicercaPorta")->styleSheet(), QStringLiteral(LED_OFF_STYLE));
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
    QVERIFY(!p.port()->isOpen());
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
