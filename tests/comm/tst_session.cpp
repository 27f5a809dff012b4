// The session without a window: the simulator on a real pseudo-terminal (or
// behind the hidapi fake), reached through the session's own line, and the
// workers' reports wired to the session the way the window wires them.
#include "comm/cecusession.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/ecucommands.h"
#include "comm/frames.h"
#include "ecusimulator.h"
#include "hidfake.h"
#include "ptysimserver.h"
#include "support/openports.h"
#include "support/workerharness.h"

#include <QSignalSpy>
#include <QTemporaryFile>
#include <QtTest>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

using State = CEcuSession::State;
using Kind = CTransferOutcome::Kind;
using Fault = EcuSimulator::Fault;
Q_DECLARE_METATYPE(EcuSimulator::Fault)

namespace {

// Short time-outs for tests; the line's rules are the program's own.
CWorkerTimings quickTimings(int transferRetries = 20, int linkRetries = 5)
{
    CWorkerTimings t;
    t.transferTimeoutMs = 100 * qMax(1, qEnvironmentVariableIntValue("VANTOR_TEST_TIMEOUT_SCALE"));
    t.transferRetries = transferRetries;
    t.linkTimeoutMs = 50;
    t.linkRetries = linkRetries;
    return t;
}

QByteArray pollAnswer(int rpm)
{
    QByteArray a = QByteArray::fromHex("FE008021");
    a.append(char(rpm & 0xFF));
    a.append(char(rpm >> 8));
    a.append(char(7));
    a.append(frameChecksum(a));
    return a;
}

// Runs `start`, then the event loop with standard output going to a file
// until what has been printed contains `until` (3 s at most); returns it.
QByteArray printedUntil(const std::function<void()> &start, const char *until)
{
    QTemporaryFile file;
    if (!file.open())
        qFatal("no temporary file");
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(file.handle(), STDOUT_FILENO);
    start();
    QByteArray printed;
    (void)QTest::qWaitFor([&] {
        QFile again(file.fileName());
        printed = again.open(QIODevice::ReadOnly) ? again.readAll() : QByteArray();
        return printed.contains(until);
    }, 3000);
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    ::close(saved);
    return printed;
}

} // namespace

// A session connected to a simulated ECU, on the serial route (paced like a
// 9600-baud line or not, answering after a latency) or on the HID route
// through the hidapi fake. Commands handed back by the real-time worker go to
// `onCommand` (by default run as the window runs them, with no question); a
// link failure ends the connection as the window has it end. Transfer
// outcomes, states, progress, the latest engine speed and link errors are
// recorded.
struct SessionRig
{
    enum Route { Serial, PacedSerial, Hid };

    EcuSimulator sim;
    std::unique_ptr<PtySimServer> server;
    struct HidDetach
    {
        ~HidDetach() { hidfake::reset(); } // after the session has closed the device
    } hidDetach;
    Route route;
    std::unique_ptr<CEcuSession> owned;
    CEcuSession &session;
    QString slave;
    QList<CTransferOutcome> outcomes;
    QList<State> states;
    QList<int> percents;
    int rpm = -1;
    QStringList errors;
    int notSent = 0;
    std::function<void(const QString &)> onCommand;

    static CHidSource hidSource(EcuSimulator *sim, Route route)
    {
        hidfake::reset();
        if (route != Hid)
            return CHidSource{QStringLiteral("HID"), nullptr};
        hidfake::attach(sim);
        return CHidSource{QStringLiteral("HID"), [] { return hid_open(0x04D8, 0x0080, nullptr); }};
    }

    explicit SessionRig(const CWorkerTimings &t = quickTimings(), Route route = Serial,
                        int latencyMs = 0)
        : server(std::make_unique<PtySimServer>(&sim)), route(route),
          owned(std::make_unique<CEcuSession>(hidSource(&sim, route), t)), session(*owned)
    {
        if (!server->open())
            qFatal("no pseudo-terminal");
        slave = server->slavePath();
        server->setPaced(route == PacedSerial);
        server->setLatencyMs(latencyMs);
        const auto result = [this](const QString &r) { session.transferResult(r); };
        QObject::connect(session.gestSend(), &CGestSend::sgnEsito, &session, result);
        QObject::connect(session.gestReceive(), &CGestReceive::sgnEsito, &session, result);
        QObject::connect(&session, &CEcuSession::transferEnded, &session,
                         [this](const CTransferOutcome &o) { outcomes << o; });
        const auto percent = [this](int p) { percents << session.overallPercent(p); };
        QObject::connect(session.gestSend(), &CGestSend::sgnPercent, &session, percent);
        QObject::connect(session.gestReceive(), &CGestReceive::sgnPercent, &session, percent);
        QObject::connect(&session, &CEcuSession::readingsPublished, &session,
                         [this](int r, uchar) { rpm = r; });
        QObject::connect(session.gestRT(), &CGestRT::sgnExecCmd, &session,
                         [this](const QString &cmd) { onCommand(cmd); });
        const auto error = [this](const QString &e) {
            errors << e;
            if (e.startsWith(QLatin1String("KO")))
                session.linkFailed();
        };
        QObject::connect(session.gestRT(), &CGestRT::sgnError, &session, error);
        QObject::connect(&session, &CEcuSession::linkError, &session, error);
        QObject::connect(&session, &CEcuSession::commandNotSent, &session, [this] { ++notSent; });
        QObject::connect(&session, &CEcuSession::stateChanged, &session, [this] {
            if (states.isEmpty() || states.last() != session.state())
                states << session.state();
        });
        onCommand = [this](const QString &cmd) {
            if (!session.takeCommand(cmd))
                return;
            if (!session.startRead() && !session.startWrite())
                session.endCommand();
        };
    }

    // Quits: the session goes as it goes when the program ends. Returns
    // how long that took, in milliseconds.
    qint64 quit()
    {
        QElapsedTimer clock;
        clock.start();
        owned.reset();
        return clock.elapsed();
    }

    bool connect()
    {
        session.connectTo(route == Hid ? QStringLiteral("HID") : slave);
        states.clear();
        return session.state() == State::Idle;
    }
    // Whether the session holds the simulator's port open (the server keeps
    // one descriptor of it itself).
    bool heldOpen() const { return descriptorsOpenOn(slave) > (server ? 1 : 0); }
};

class TestSession : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void readAndWrite_data();
    void readAndWrite();
    void faultyReadsFillEveryAddressWithItsOwnValue_data();
    void faultyReadsFillEveryAddressWithItsOwnValue();
    void serialFrameAssembly();
    void onlyTheNameHidTakesTheHidRoute_data();
    void onlyTheNameHidTakesTheHidRoute();
    void hidReadsThatGetNothingHandNothingOn_data();
    void hidReadsThatGetNothingHandNothingOn();
    void oneCommandAtATime();
    void commandsPausePolling();
    void ecuCommandsAndTheEndOfTheConnection();
    void lineFaultsKeepTheLinkUp_data();
    void lineFaultsKeepTheLinkUp();
    void connectionEndsBeforeAReadStarts_data();
    void connectionEndsBeforeAReadStarts();
    void connectionEndsUnderATransfer_data();
    void connectionEndsUnderATransfer();
    void failedTransferEndsTheConnection_data();
    void failedTransferEndsTheConnection();
    void linkFailsAtItsBudgetAndEndsTheConnectionOnce();
    void portGone_data();
    void portGone();
    void quittingAtEveryPhase_data();
    void quittingAtEveryPhase();
    void linkSwitchedWhileExchangesRun();
};

void TestSession::init()
{
    QSettings().clear();
}

// A read, then a write of changed values, through the states a transfer
// passes, with the program's own line rules: an ECU that answers at once,
// after 1 ms (a USB virtual port), after 16 ms, or paced like a 9600-baud
// line; over HID. The ECU ends up holding what was written, and the read
// brings its table exactly. The write is read back unless
// "Line/VerifyWrites" is off; a store that goes wrong is then reported as a
// difference, not as done. From hardware 20 on the check compares the
// values and the name's bytes up to the 79th. The progress of a checked
// write fills the bar once over its two halves.
void TestSession::readAndWrite_data()
{
    QTest::addColumn<int>("route");
    QTest::addColumn<int>("latencyMs");
    QTest::addColumn<int>("hardware");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<int>("corrupt"); // -1 nothing, -2 every byte stored wrong, else that address
    const int serial = SessionRig::Serial;
    QTest::newRow("at once, checked") << serial << 0 << 10 << true << -1;
    QTest::newRow("after 1 ms, checked") << serial << 1 << 10 << true << -1;
    QTest::newRow("after 16 ms, checked") << serial << 16 << 10 << true << -1;
    QTest::newRow("paced, checked") << int(SessionRig::PacedSerial) << 0 << 10 << true << -1;
    QTest::newRow("HID, checked") << int(SessionRig::Hid) << 0 << 10 << true << -1;
    QTest::newRow("checked, stored wrong") << serial << 0 << 10 << true << -2;
    QTest::newRow("unchecked") << serial << 0 << 10 << false << -1;
    QTest::newRow("unchecked, stored wrong") << serial << 0 << 10 << false << -2;
    QTest::newRow("HW20 after 1 ms, checked") << serial << 1 << 20 << true << -1;
    QTest::newRow("HW20, the name's 39th byte differs") << serial << 0 << 20 << true << 79;
    QTest::newRow("HW20, byte 80 differs") << serial << 0 << 20 << true << 80;
}

void TestSession::readAndWrite()
{
    QFETCH(int, route);
    QFETCH(int, latencyMs);
    QFETCH(int, hardware);
    QFETCH(bool, verify);
    QFETCH(int, corrupt);
    QSettings().setValue(QStringLiteral("Line/VerifyWrites"), verify);
    SessionRig rig(quickTimings(), SessionRig::Route(route), latencyMs);
    QVERIFY(rig.connect());
    CDevInfo info;
    info.hardware = static_cast<quint8>(hardware);
    rig.session.setDevInfo(info);
    rig.states.clear();
    const int reads = hardware >= 20 ? 90 : 50;

    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 10000);
    QCOMPARE(rig.outcomes.at(0).kind, Kind::ReadDone);
    QCOMPARE(rig.outcomes.at(0).image, rig.sim.table().left(reads));
    QCOMPARE(rig.states,
             QList<State>({State::CommandPending, State::Command, State::Reading, State::Idle}));
    // Each address asked once: nothing went wrong on the line.
    QList<QByteArray> asked;
    for (int a = 0; a < reads; ++a)
        asked << buildReadFrame(a);
    QCOMPARE(requestsOf(rig.sim, ReadRequest), asked);
    if (route == SessionRig::Hid) {
        // Each request in bytes 1..8 of a 65-byte report numbered 0.
        const QList<QByteArray> reports = hidfake::writtenReports();
        QCOMPARE(reports.size(), reads);
        for (int i = 0; i < reports.size(); ++i)
            QCOMPARE(reports.at(i), QByteArray(1, '\0') + buildReadFrame(i) + QByteArray(56, '\0'));
    }

    QByteArray image(hardware >= 20 ? 81 : 41, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 3 + 1);
    if (corrupt == -2)
        rig.sim.setFault(Fault::WrongStore);
    QObject context;
    if (corrupt >= 0) {
        // The ECU changes one byte after it acknowledged it.
        const QByteArray write = buildWriteFrame(corrupt, static_cast<quint8>(image.at(corrupt)));
        QObject::connect(rig.server.get(), &PtySimServer::frameSeen, &context,
                         [&rig, write, corrupt](const QByteArray &request) {
                             if (request == write)
                                 rig.sim.setTableByte(corrupt, quint8(rig.sim.tableByte(corrupt) ^ 0x40));
                         });
    }
    rig.states.clear();
    rig.percents.clear();
    const int before = rig.sim.requests().size();
    QVERIFY(rig.session.requestWrite(image));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 2, 15000);
    const CTransferOutcome &w = rig.outcomes.at(1);
    const bool differs = verify && (corrupt == -2 || (corrupt >= 0 && corrupt < 80));
    QCOMPARE(w.kind, differs ? Kind::WriteDiffers : Kind::WriteDone);
    QCOMPARE(w.checked, verify);
    QCOMPARE(w.image, image);
    QList<State> states{State::CommandPending, State::Command, State::Writing};
    if (verify)
        states << State::Verifying;
    QCOMPARE(rig.states, states << State::Idle);
    QVERIFY(rig.session.isConnected()); // a difference leaves the line as it is

    QList<QByteArray> writes;
    for (int a = 0; a < image.size(); ++a)
        writes << buildWriteFrame(a, static_cast<quint8>(image.at(a)));
    QCOMPARE(requestsOf(rig.sim, WriteRequest, before), writes);
    QCOMPARE(requestsOf(rig.sim, ReadRequest, before).size(), verify ? reads : 0);
    if (corrupt == -1) {
        QCOMPARE(rig.sim.table().left(image.size()), image);
    } else if (corrupt == -2) {
        for (int a = 0; a < image.size(); ++a)
            QCOMPARE(rig.sim.tableByte(a), quint8(image.at(a) ^ 1));
    }

    QCOMPARE(rig.percents.last(), 100);
    for (int i = 1; i < rig.percents.size(); ++i)
        QVERIFY(rig.percents.at(i) >= rig.percents.at(i - 1));
    QCOMPARE(rig.percents.contains(50), verify);
}

// Answers that come after their request has timed out, an address answered
// in a later exchange, answers with a wrong byte 0: a read answer does not
// say its address, so each must end up at its own address (or the read
// fail), never be shifted onto the next one.
void TestSession::faultyReadsFillEveryAddressWithItsOwnValue_data()
{
    QTest::addColumn<int>("route");
    QTest::addColumn<QString>("fault");
    QTest::newRow("paced, two answers late") << int(SessionRig::PacedSerial) << "late";
    QTest::newRow("at once, two answers late") << int(SessionRig::Serial) << "late";
    QTest::newRow("paced, address 20 answered in a later exchange")
        << int(SessionRig::PacedSerial) << "late read";
    QTest::newRow("at once, address 20 answered in a later exchange")
        << int(SessionRig::Serial) << "late read";
    QTest::newRow("HID, two answers late") << int(SessionRig::Hid) << "late";
    QTest::newRow("serial, wrong byte 0 until asked twice") << int(SessionRig::Serial) << "byte 0";
}

void TestSession::faultyReadsFillEveryAddressWithItsOwnValue()
{
    QFETCH(int, route);
    QFETCH(QString, fault);
    const bool hid = route == SessionRig::Hid;
    // HID reads wait 250 ms: a late answer comes after that, before the
    // worker's time-out. On the paced serial line it comes just after the
    // time-out, and the answer to the repeated request right behind it.
    CWorkerTimings t = quickTimings();
    t.transferTimeoutMs = hid ? 300 : 100;
    SessionRig rig(t, SessionRig::Route(route));
    for (int a = 0; a < 50; ++a)
        rig.sim.setTableByte(a, static_cast<quint8>(a + 1)); // every address its own value
    QVERIFY(rig.connect());

    if (fault == QLatin1String("late read")) {
        rig.sim.setLateRead(20, t.transferTimeoutMs + 150);
    } else if (fault == QLatin1String("late")) {
        rig.sim.setFaultAfter(5);
        rig.sim.setAnswerDelayMs(hid ? 280 : 130, hid ? 2 : 1);
    } else {
        rig.sim.setTableByte(0, 77); // what the wrong answers carry
        rig.sim.setFault(Fault::WrongByte0);
    }
    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    if (fault == QLatin1String("byte 0")) {
        QTRY_VERIFY(rig.sim.requests().count(buildReadFrame(0)) >= 2);
        rig.sim.setTableByte(0, static_cast<quint8>(-7));
        rig.sim.setFault(Fault::None);
    }
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 20000);
    QCOMPARE(rig.outcomes.at(0).kind, Kind::ReadDone);
    QCOMPARE(rig.outcomes.at(0).image, rig.sim.table().left(50));
}

// Serial frame assembly on the line's thread, as the port search meets it:
// answers come only as whole 8-byte frames, whether bytes come in bursts or
// one at a time (a paced answer); a burst of 12 bytes gives one frame and
// keeps 4 waiting; a partial answer is dropped when the next request goes
// out.
void TestSession::serialFrameAssembly()
{
    SessionRig rig;
    rig.sim.setFault(Fault::Silent); // the test puts the answers on the line
    CEcuLink *link = rig.session.link();
    QVERIFY(link->openPort(rig.slave));
    QList<QByteArray> answers;
    QObject::connect(link, &CEcuLink::searchAnswersWaiting, link,
                     [&] { answers << link->takeSearchAnswers(); });
    const auto request = [&](const QByteArray &frame) {
        const int seen = rig.sim.requests().size();
        rig.session.sendFrame(frame);
        QTRY_COMPARE(rig.sim.requests().size(), seen + 1);
    };

    request(buildPollFrame());
    QByteArray ack = buildWriteFrame(42, 1);
    ack[0] = char(AnswerWrite);
    ack[7] = frameChecksum(ack.left(7));
    const QByteArray first = pollAnswer(1000);
    rig.server->sendUnasked(ack + first.left(4));
    QTRY_COMPARE(answers, QList<QByteArray>{ack});
    rig.server->sendUnasked(first.mid(4)); // the 4 waiting bytes and 4 more
    QTRY_COMPARE(answers, (QList<QByteArray>{ack, first}));

    rig.sim.setFault(Fault::None);
    rig.sim.setLiveValues(2345, 1, 2, 3);
    rig.server->setPaced(true); // the answer's bytes come one by one
    request(buildPollFrame());
    QTRY_COMPARE(answers.size(), 3);
    QCOMPARE(answers.at(2), rig.sim.handle(buildPollFrame()));

    rig.sim.setFault(Fault::Silent);
    rig.server->setPaced(false);
    rig.server->sendUnasked(pollAnswer(7777).left(5));
    request(buildInfoFrame());
    rig.server->sendUnasked(pollAnswer(3000));
    QTRY_COMPARE(answers.size(), 4);
    QCOMPARE(answers.at(3), pollAnswer(3000));
}

// The port search names the HID device "HID": only that exact name takes
// the HID route, every other name the serial port.
void TestSession::onlyTheNameHidTakesTheHidRoute_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hid");
    QTest::newRow("HID") << "HID" << true;
    QTest::newRow("hid") << "hid" << false;
    QTest::newRow("Hid") << "Hid" << false;
    QTest::newRow("hID") << "hID" << false;
}

void TestSession::onlyTheNameHidTakesTheHidRoute()
{
    QFETCH(QString, name);
    QFETCH(bool, hid);
    SessionRig rig(quickTimings(20, 2), SessionRig::Hid);
    rig.session.connectTo(name);
    QVERIFY(rig.session.toggleLink()); // polls go out on the route taken
    if (hid) {
        QTRY_VERIFY(requestsOf(rig.sim, PollRequest).size() >= 3);
        return;
    }
    // A serial port of that name: nothing answers there, and the HID
    // device is never asked.
    QTRY_COMPARE_WITH_TIMEOUT(rig.errors, QStringList{QStringLiteral("KO")}, 3000);
    QVERIFY(rig.sim.requests().isEmpty());
}

// A HID read that gets no report in time (250 ms at most) prints its message
// and hands nothing on; the next exchange works again. A read that fails
// (hidapi returns -1) means the device is gone: the connection ends like
// after a link failure.
void TestSession::hidReadsThatGetNothingHandNothingOn_data()
{
    QTest::addColumn<bool>("silent");
    QTest::newRow("the read fails") << false;
    QTest::newRow("the device stays silent") << true;
}

void TestSession::hidReadsThatGetNothingHandNothingOn()
{
    QFETCH(bool, silent);
    SessionRig rig(quickTimings(20, 30), SessionRig::Hid);
    QVERIFY(rig.connect());
    if (silent)
        rig.sim.setFault(Fault::Silent);
    else
        hidfake::setReadFails(1);
    QByteArray out = printedUntil([&] { QVERIFY(rig.session.toggleLink()); }, "Unable to read()");
    QVERIFY2(out.contains("OnSendSerialData: bytes written=65\n"), out.constData());
    QVERIFY2(out.contains("OnSendSerialData: Unable to read()\n"), out.constData());
    QVERIFY(!out.contains("bytes read="));
    QCOMPARE(rig.rpm, -1); // no reading came of it
    if (!silent) {
        QTRY_COMPARE(rig.errors, QStringList{QStringLiteral("KO")});
        QTRY_VERIFY(!rig.session.isConnected());
        return;
    }

    rig.sim.setFault(Fault::None);
    rig.sim.setFixedRpm(1234);
    out = printedUntil([] {}, "bytes read=");
    QVERIFY2(out.contains("OnSendSerialData: bytes read=65\n"), out.constData());
    QTRY_COMPARE(rig.rpm, 1234);
    QVERIFY(rig.errors.isEmpty());
}

// While a command waits for the line or a transfer runs, nothing else may
// start: no second command, no link switch, no test-bench command, no
// disconnection through a search.
void TestSession::oneCommandAtATime()
{
    SessionRig rig;
    rig.sim.setAnswerDelayMs(20); // a read long enough to look at
    QVERIFY(rig.connect());
    QStringList handed;
    rig.onCommand = [&](const QString &cmd) {
        handed << cmd;
        if (rig.session.takeCommand(cmd) && !rig.session.startRead())
            rig.session.endCommand();
    };

    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QCOMPARE(rig.session.state(), State::CommandPending);
    QVERIFY(!rig.session.requestCommand(EcuCommand::LoadProfile));
    QVERIFY(!rig.session.requestWrite(QByteArray(41, '\1')));
    QVERIFY(!rig.session.toggleLink());
    QVERIFY(!rig.session.toggleBench());
    QVERIFY(!rig.session.mayStartCommand() && !rig.session.mayUseEcu());
    QTRY_COMPARE(rig.session.state(), State::Reading);
    QVERIFY(!rig.session.mayStartCommand() && rig.session.transferBusy());
    QVERIFY(!rig.session.writeBusy());
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 10000);
    QCOMPARE(handed, QStringList{EcuCommand::FlashRead});
    QVERIFY(rig.session.mayUseEcu());

    // A file command with no ECU goes through the worker all the same and
    // leaves the session disconnected afterwards.
    rig.session.endConnection();
    QVERIFY(rig.session.requestCommand(EcuCommand::LoadProfile));
    QVERIFY(!rig.session.requestCommand(EcuCommand::FlashRead));
    rig.onCommand = [&](const QString &cmd) {
        handed << cmd;
        QVERIFY(rig.session.takeCommand(cmd));
        QVERIFY(!rig.session.startRead());
        rig.session.endCommand();
    };
    QTRY_COMPARE(handed.size(), 2);
    QCOMPARE(rig.session.state(), State::Disconnected);
}

// Polling stops while a command has the line and resumes after it: a file
// command held while its dialog is open, a read whose requests go out back
// to back, and a save followed by its write, with the link paused between
// the two. Switched off, the link sends nothing more.
void TestSession::commandsPausePolling()
{
    SessionRig rig;
    rig.sim.setLiveValues(4321, 77, 9, 0xF6);
    QVERIFY(rig.connect());
    QSignalSpy samples(&rig.session, &CEcuSession::liveSample);
    const auto runAsTheWindow = rig.onCommand;
    QVERIFY(rig.session.toggleLink());
    QTRY_VERIFY(requestsOf(rig.sim, PollRequest).size() >= 3);

    int atTake = -1, atEnd = -1;
    rig.onCommand = [&](const QString &cmd) {
        QVERIFY(rig.session.takeCommand(cmd));
        atTake = rig.sim.requests().size();
        QTest::qWait(150); // the file dialog is open
        atEnd = rig.sim.requests().size();
        rig.session.endCommand();
    };
    QVERIFY(rig.session.requestCommand(EcuCommand::LoadProfile));
    QTRY_VERIFY(atEnd >= 0);
    QCOMPARE(atEnd, atTake);
    QTRY_VERIFY(requestsOf(rig.sim, PollRequest, atEnd).size() >= 3);

    rig.onCommand = runAsTheWindow;
    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 10000);
    QList<QByteArray> all = rig.sim.requests();
    const int firstRead = all.indexOf(buildReadFrame(0));
    const int lastRead = all.lastIndexOf(buildReadFrame(49));
    QCOMPARE(requestsOf(rig.sim, ReadRequest, firstRead).size(), lastRead - firstRead + 1);
    QTRY_VERIFY(!requestsOf(rig.sim, PollRequest, lastRead).isEmpty());

    // The save keeps the link paused; the write that follows resumes it.
    atEnd = -1;
    rig.onCommand = [&](const QString &cmd) {
        if (cmd != EcuCommand::SaveProfileAndSend)
            return runAsTheWindow(cmd);
        QVERIFY(rig.session.takeCommand(cmd));
        atTake = rig.sim.requests().size();
        rig.session.endCommand(false);
        QTest::qWait(150);
        atEnd = rig.sim.requests().size();
        QVERIFY(rig.session.requestWrite(QByteArray(41, '\3')));
    };
    QVERIFY(rig.session.requestCommand(EcuCommand::SaveProfileAndSend));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 2, 15000);
    QCOMPARE(atEnd, atTake);
    QCOMPARE(rig.outcomes.at(1).kind, Kind::WriteDone);
    all = rig.sim.requests();
    QTRY_VERIFY(!requestsOf(rig.sim, PollRequest, all.lastIndexOf(buildReadFrame(49))).isEmpty());

    QVERIFY(rig.session.toggleLink());
    QTest::qWait(100); // the exchange in flight ends
    const int sent = rig.sim.requests().size();
    const int sampled = samples.size();
    QTest::qWait(150);
    QCOMPARE(rig.sim.requests().size(), sent);
    QVERIFY(rig.session.isConnected());

    // Every poll answer while the link polled is a live sample; the zeros the
    // worker publishes when the link pauses or stops are not.
    QCOMPARE(samples.size(), sampled);
    // (Around each of the five pauses and stops the answers that come after
    // the request are left out, the zeros among them.)
    const int polls = requestsOf(rig.sim, PollRequest).size();
    QVERIFY2(samples.size() >= polls - 10 && samples.size() < polls,
             qPrintable(QStringLiteral("%1 of %2").arg(samples.size()).arg(polls)));
    qint64 last = -1;
    for (const QList<QVariant> &args : samples) {
        const auto sample = args.at(0).value<CLiveSample>();
        QCOMPARE(sample.rpm, 4321);
        QCOMPARE(sample.adc, 77);
        QCOMPARE(sample.cellIndex, 9);
        QCOMPARE(sample.cellValue, -10);
        QVERIFY(sample.ms >= last);
        last = sample.ms;
    }
}

// K and the test bench go out from the idle worker and the ECU holds them.
// The end of the connection stops the link with a poll on the line (no
// failure follows it), leaves the ECU's test bench as it is, and nothing is
// queued afterwards, even with the port open to the ECU again; a search
// that finds nothing there leaves that port closed.
void TestSession::ecuCommandsAndTheEndOfTheConnection()
{
    SessionRig rig;
    QVERIFY(rig.connect());
    rig.session.queueK(3);
    QTRY_COMPARE(rig.sim.requests(), QList<QByteArray>{QByteArray::fromHex("FD032A010101012E")});
    QCOMPARE(rig.sim.tableByte(42), quint8(3));
    for (bool on : {true, false, true}) {
        QVERIFY(rig.session.toggleBench());
        QCOMPARE(rig.session.benchOn(), on);
        QTRY_COMPARE(rig.sim.tableByte(49), quint8(on));
    }

    QVERIFY(rig.session.toggleLink());
    QTRY_VERIFY(requestsOf(rig.sim, PollRequest).size() >= 3);
    bool armed = true;
    QObject context;
    QObject::connect(rig.server.get(), &PtySimServer::frameSeen, &context,
                     [&](const QByteArray &request) {
                         if (armed && request == buildPollFrame()) {
                             armed = false; // its answer is not read any more
                             rig.session.endConnection();
                         }
                     });
    QTRY_VERIFY(!armed);
    QVERIFY(!rig.heldOpen());
    const int atEnd = rig.sim.requests().size();
    // The port search opens the port again.
    QVERIFY(rig.session.link()->openPort(rig.slave));
    rig.session.queueK(2);
    QVERIFY(!rig.session.toggleBench() && !rig.session.toggleLink());
    QTest::qWait(600); // past the link's budget of time-outs
    QCOMPARE(rig.sim.requests().size(), atEnd);
    QVERIFY(rig.errors.isEmpty());
    QCOMPARE(rig.notSent, 0);
    QCOMPARE(rig.sim.tableByte(49), quint8(1));
    QCOMPARE(rig.sim.tableByte(42), quint8(1)); // the bench commands' K
    QVERIFY(rig.heldOpen());
    rig.session.searchFailed();
    QVERIFY(!rig.heldOpen());
}

// Faults that cost the link a time-out or two must not end it: one answer a
// byte short or a byte long (the assembly realigns with the next request),
// and acknowledgements that never come (each following poll refills the
// budget). The readouts go on with the ECU's latest values.
void TestSession::lineFaultsKeepTheLinkUp_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("once");
    QTest::newRow("an answer a byte short") << Fault::DropByte << true;
    QTest::newRow("an answer a byte long") << Fault::ExtraByte << true;
    QTest::newRow("five acknowledgements lost") << Fault::NoWriteAck << false;
}

void TestSession::lineFaultsKeepTheLinkUp()
{
    QFETCH(Fault, fault);
    QFETCH(bool, once);
    SessionRig rig(quickTimings(20, 3));
    QVERIFY(rig.connect());
    rig.sim.setFixedRpm(1500);
    QVERIFY(rig.session.toggleLink());
    QTRY_COMPARE(rig.rpm, 1500);

    int faulty = 0;
    QObject context;
    QObject::connect(rig.server.get(), &PtySimServer::frameSeen, &context,
                     [&](const QByteArray &, const QByteArray &answer) {
                         if (once && rig.sim.fault() != Fault::None && !answer.isEmpty()) {
                             ++faulty;
                             rig.sim.setFault(Fault::None);
                         }
                     });
    rig.sim.setFault(fault);
    if (once) {
        QTRY_COMPARE(faulty, 1);
    } else {
        for (int k : {2, 3, 4, 1, 2})
            rig.session.queueK(k);
        QTRY_COMPARE(requestsOf(rig.sim, WriteRequest).size(), 5);
        QCOMPARE(rig.sim.tableByte(42), quint8(2)); // written, only never acknowledged
    }
    rig.sim.setFixedRpm(4321);
    QTRY_COMPARE(rig.rpm, 4321);
    QVERIFY(rig.errors.isEmpty());
    QVERIFY(rig.session.isConnected() && rig.session.linkOn());
}

// The connection ends before a read asked for has started: while the window
// asks the user about an edited profile, or because the link fails while
// the read waits for the line (the ECU fell silent under the last poll the
// link allows itself). What follows finds the session disconnected and free
// for a new search; the read starts nothing, also when the worker hands it
// back late.
void TestSession::connectionEndsBeforeAReadStarts_data()
{
    QTest::addColumn<bool>("linkFails");
    QTest::newRow("during the question") << false;
    QTest::newRow("the link fails while the read waits for the line") << true;
}

void TestSession::connectionEndsBeforeAReadStarts()
{
    QFETCH(bool, linkFails);
    CWorkerTimings t = quickTimings(20, 1);
    t.linkTimeoutMs = 300;
    SessionRig rig(t);
    QVERIFY(rig.connect());
    if (linkFails) {
        QVERIFY(rig.session.toggleLink());
        QTRY_VERIFY(!requestsOf(rig.sim, PollRequest).isEmpty());
        rig.sim.setFault(Fault::Silent);
        rig.sim.clearRequests();
        QTRY_VERIFY(!rig.sim.requests().isEmpty()); // a poll that gets no answer
    } else {
        rig.onCommand = [&](const QString &cmd) {
            QVERIFY(rig.session.takeCommand(cmd));
            rig.session.endConnection(); // during the question
            QVERIFY(!rig.session.startRead());
            rig.session.endCommand();
        };
    }
    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_COMPARE_WITH_TIMEOUT(rig.session.state(), State::Disconnected, 3000);
    QCOMPARE(rig.errors.size(), linkFails ? 1 : 0);
    QVERIFY(rig.session.mayStartCommand() && !rig.session.transferBusy());
    QVERIFY(!rig.session.mayUseEcu() && !rig.session.acceptsReadings());
    QVERIFY(!rig.heldOpen());
    for (const QLatin1String cmd : {EcuCommand::FlashWrite, EcuCommand::FlashRead}) {
        QVERIFY(!rig.session.takeCommand(cmd));
        QVERIFY(!rig.session.startRead() && !rig.session.startWrite());
    }
    QTest::qWait(100);
    QCOMPARE(rig.session.state(), State::Disconnected);
    QVERIFY(rig.outcomes.isEmpty());
    QVERIFY(requestsOf(rig.sim, ReadRequest).isEmpty());
}

// The connection ends (a search, a link failure, an unplugged adapter) while
// a transfer runs: the transfer fails once, as a read or a write, and the
// session is disconnected with its port closed.
void TestSession::connectionEndsUnderATransfer_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("unplug");
    QTest::newRow("read, ended") << false << false;
    QTest::newRow("write, ended") << true << false;
    QTest::newRow("write, adapter unplugged") << true << true;
}

void TestSession::connectionEndsUnderATransfer()
{
    QFETCH(bool, write);
    QFETCH(bool, unplug);
    SessionRig rig;
    rig.sim.setAnswerDelayMs(10);
    QVERIFY(rig.connect());
    QSignalSpy ended(&rig.session, &CEcuSession::connectionEnded);
    if (write)
        QVERIFY(rig.session.requestWrite(QByteArray(41, '\2')));
    else
        QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_VERIFY(rig.sim.answersGiven() > 5);
    if (unplug)
        rig.server.reset(); // the far end of the line is gone
    else
        rig.session.endConnection();
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 5000);
    QTest::qWait(200);
    QCOMPARE(rig.outcomes.size(), 1);
    QCOMPARE(rig.outcomes.at(0).kind, write ? Kind::WriteFailed : Kind::ReadFailed);
    QVERIFY(rig.outcomes.at(0).connectionLost);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(rig.session.state(), State::Disconnected);
    QVERIFY(!rig.heldOpen());
    QVERIFY(rig.session.portName().isEmpty());
    QVERIFY(rig.errors.isEmpty()); // the transfer reports, not the link
}

// A transfer the line fails ends the connection: a silent ECU, one that
// falls silent part-way, answers with a wrong byte 0, writes never
// acknowledged. The failure is reported once, and the next search starts
// on no route.
void TestSession::failedTransferEndsTheConnection_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<Fault>("fault"); // Silent with silentAfter: from then on
    QTest::addColumn<int>("silentAfter");
    QTest::addColumn<bool>("link");
    QTest::newRow("read, silent ECU") << false << Fault::Silent << -1 << false;
    QTest::newRow("read, ECU falls silent mid-way, link on") << false << Fault::Silent << 20 << true;
    QTest::newRow("read, answers with a wrong byte 0") << false << Fault::WrongByte0 << -1 << false;
    QTest::newRow("write, ECU falls silent mid-way, link on") << true << Fault::Silent << 20 << true;
    QTest::newRow("write, never acknowledged") << true << Fault::NoWriteAck << -1 << false;
}

void TestSession::failedTransferEndsTheConnection()
{
    QFETCH(bool, write);
    QFETCH(Fault, fault);
    QFETCH(int, silentAfter);
    QFETCH(bool, link);
    SessionRig rig(quickTimings(3));
    QVERIFY(rig.connect());
    QSignalSpy ended(&rig.session, &CEcuSession::connectionEnded);
    if (link) {
        QVERIFY(rig.session.toggleLink());
        QTRY_VERIFY(!requestsOf(rig.sim, PollRequest).isEmpty());
    }
    if (silentAfter >= 0)
        rig.sim.setSilentAfter(silentAfter);
    else
        rig.sim.setFault(fault);
    if (write)
        QVERIFY(rig.session.requestWrite(QByteArray(41, '\6')));
    else
        QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 10000);
    QCOMPARE(rig.outcomes.at(0).kind, write ? Kind::WriteFailed : Kind::ReadFailed);
    QVERIFY(!rig.outcomes.at(0).connectionLost);
    QCOMPARE(rig.session.state(), State::Disconnected);
    QVERIFY(!rig.session.linkOn() && !rig.session.benchOn());
    QVERIFY(!rig.heldOpen());
    QVERIFY(rig.session.portName().isEmpty());
    if (silentAfter >= 0) // it did fall silent part-way
        QVERIFY(requestsOf(rig.sim, write ? WriteRequest : ReadRequest).size() > 15);
    QTest::qWait(150);
    QCOMPARE(rig.outcomes.size(), 1);
    QCOMPARE(ended.size(), 1);
    QVERIFY(rig.errors.isEmpty());
}

// A silent ECU with the link on: the link fails at the 30th time-out in a
// row, and the failure ends the connection once; a report that comes after
// ends nothing more.
void TestSession::linkFailsAtItsBudgetAndEndsTheConnectionOnce()
{
    std::atomic<int> requestsAtFailure{-1};
    SessionRig rig(quickTimings(20, CWorkerTimings().linkRetries));
    QVERIFY(rig.connect());
    QObject::connect(rig.session.gestRT(), &CGestRT::sgnError, rig.session.gestRT(),
                     [&] { requestsAtFailure = rig.sim.requests().size(); }, Qt::DirectConnection);
    QSignalSpy ended(&rig.session, &CEcuSession::connectionEnded);
    QVERIFY(rig.session.toggleLink());
    QVERIFY(rig.session.linkOn() && rig.session.acceptsReadings());
    QTRY_VERIFY(rig.sim.answersGiven() > 3);
    rig.sim.setFault(Fault::Silent);
    rig.sim.clearRequests();
    QTRY_VERIFY_WITH_TIMEOUT(!rig.errors.isEmpty(), 10000);
    QCOMPARE(int(requestsAtFailure), 30);
    QVERIFY(!rig.session.linkOn() && !rig.session.isConnected());
    QCOMPARE(ended.size(), 1);
    QVERIFY(!rig.session.linkFailed());
    QCOMPARE(ended.size(), 1);
}

// With the link off nothing goes over the line, yet a port that goes away
// ends the connection within 2 s, as a link failure does: the far end of a
// virtual port hangs up, its link goes, a HID device is unplugged. A port
// that stays ends nothing.
// The port goes away under a connection, with the line idle or while the
// link polls.
void TestSession::portGone_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("polling");
    QTest::newRow("serial, the far end hangs up") << "hang-up" << false;
    QTest::newRow("serial, the virtual port's link goes") << "link" << false;
    QTest::newRow("HID, the device is unplugged") << "hid" << false;
    QTest::newRow("serial, nothing goes") << "" << false;
    QTest::newRow("serial, the far end hangs up while the link polls") << "hang-up" << true;
    QTest::newRow("serial, the link polls on") << "" << true;
}

void TestSession::portGone()
{
    QFETCH(QString, how);
    QFETCH(bool, polling);
    SessionRig rig(quickTimings(), how == QLatin1String("hid") ? SessionRig::Hid
                                                               : SessionRig::Serial);
    QTemporaryDir links;
    if (how == QLatin1String("link")) {
        QVERIFY(rig.server->linkInto(links.path(), QStringLiteral("ecu")));
        rig.session.connectTo(rig.server->linkPath());
    } else {
        QVERIFY(rig.connect());
    }
    QVERIFY(rig.session.isConnected() && !rig.session.linkOn());
    int published = 0;
    QObject::connect(&rig.session, &CEcuSession::liveSample, [&published] { ++published; });
    if (polling) {
        QVERIFY(rig.session.toggleLink());
        QTRY_VERIFY(published > 3);
    }
    QElapsedTimer clock;
    clock.start();
    if (how == QLatin1String("hang-up"))
        rig.server.reset();
    else if (how == QLatin1String("link"))
        rig.server->unlink();
    else if (how == QLatin1String("hid"))
        hidfake::unplug();
    if (how.isEmpty()) {
        const int before = published;
        QTest::qWait(2500); // three looks at the port find it there
        QVERIFY(rig.errors.isEmpty());
        QVERIFY(rig.session.isConnected());
        if (polling) { // every poll is answered: about 100 samples
            QVERIFY2(published - before > 50, qPrintable(QString::number(published - before)));
            QVERIFY(rig.session.toggleLink());
        }
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!rig.errors.isEmpty(), 2500);
    // Idle, the port is looked at once a second; a polling link's next
    // exchange finds it gone.
    QVERIFY2(clock.elapsed() <= (polling ? 300 : 2200), qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rig.errors.first(), QStringLiteral("KO"));
    QVERIFY(!rig.session.isConnected());
    QVERIFY(!rig.heldOpen());
    QTest::qWait(100);
    QCOMPARE(rig.errors.size(), 1);
}

// Quitting ends every thread promptly, whatever the line is doing: the
// program never waits on a thread that nothing wakes. (A HID read in flight
// is bounded at 250 ms.)
void TestSession::quittingAtEveryPhase_data()
{
    QTest::addColumn<int>("route");
    QTest::addColumn<QString>("phase");
    for (const char *phase : {"idle", "reading", "writing", "checking", "polling",
                              "a command queued", "the ECU gone silent"})
        QTest::newRow(phase) << int(SessionRig::Serial) << phase;
    QTest::newRow("HID, reading") << int(SessionRig::Hid) << "reading";
    QTest::newRow("HID, the ECU gone silent") << int(SessionRig::Hid) << "the ECU gone silent";
}

void TestSession::quittingAtEveryPhase()
{
    QFETCH(int, route);
    QFETCH(QString, phase);
    SessionRig rig(quickTimings(), SessionRig::Route(route), 5);
    QVERIFY(rig.connect());
    const auto answered = [&rig](int n) {
        const int before = rig.sim.answersGiven();
        return [&rig, before, n] { return rig.sim.answersGiven() >= before + n; };
    };
    if (phase == QLatin1String("reading")) {
        QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
        QVERIFY(QTest::qWaitFor(answered(5)));
    } else if (phase == QLatin1String("writing")) {
        QVERIFY(rig.session.requestWrite(QByteArray(41, '\3')));
        QVERIFY(QTest::qWaitFor(answered(5)));
    } else if (phase == QLatin1String("checking")) {
        QVERIFY(rig.session.requestWrite(QByteArray(41, '\3')));
        QTRY_COMPARE_WITH_TIMEOUT(rig.session.state(), State::Verifying, 5000);
    } else if (phase == QLatin1String("polling")) {
        QVERIFY(rig.session.toggleLink());
        QVERIFY(QTest::qWaitFor(answered(3)));
    } else if (phase == QLatin1String("a command queued")) {
        rig.sim.setFault(Fault::Silent);
        rig.session.queueK(3);
        rig.session.queueK(4);
        QTRY_VERIFY(!requestsOf(rig.sim, WriteRequest).isEmpty()); // the first waits for its answer
    } else if (phase == QLatin1String("the ECU gone silent")) {
        QVERIFY(rig.session.toggleLink());
        QVERIFY(QTest::qWaitFor(answered(3)));
        rig.sim.setFault(Fault::Silent);
        const int seen = rig.sim.requests().size();
        QTRY_VERIFY(rig.sim.requests().size() > seen + 1);
    }
    const qint64 ms = rig.quit();
    QVERIFY2(ms < 1000, qPrintable(QString::number(ms)));
    // Nothing more goes out (what left before has reached the simulator
    // first).
    QTest::qWait(50);
    const int sent = rig.sim.requests().size();
    QTest::qWait(100);
    QCOMPARE(rig.sim.requests().size(), sent);
}

// The link switched on and off while exchanges are in flight, with ECU
// commands queued between: every command reaches the ECU once, in the order
// it was given, and the line stays up.
void TestSession::linkSwitchedWhileExchangesRun()
{
    SessionRig rig(quickTimings(), SessionRig::Serial, 1);
    QVERIFY(rig.connect());
    QList<QByteArray> commands;
    for (int i = 0; i < 30; ++i) {
        const int before = rig.sim.requests().size();
        QVERIFY(rig.session.toggleLink());
        const int k = 1 + i % 4;
        rig.session.queueK(k);
        commands << buildWriteFrame(42, k);
        if (i % 5 == 0) {
            QVERIFY(rig.session.toggleBench());
            const bool on = rig.session.benchOn();
            commands << buildWriteFrame(41, 2) << buildWriteFrame(42, 1)
                     << buildWriteFrame(49, on ? 1 : 0);
        }
        // The next switch comes while a request of this round is in flight.
        QTRY_VERIFY(rig.sim.requests().size() > before);
    }
    if (rig.session.linkOn())
        QVERIFY(rig.session.toggleLink());
    QTRY_COMPARE(requestsOf(rig.sim, WriteRequest), commands);
    QVERIFY(rig.errors.isEmpty());
    QCOMPARE(rig.notSent, 0);
    QVERIFY(rig.session.isConnected());
    QCOMPARE(rig.sim.tableByte(49), quint8(rig.session.benchOn() ? 1 : 0));
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
