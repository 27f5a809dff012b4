// The session without a window: the simulator on a real pseudo-terminal (or
// behind the hidapi fake), the session's port on its slave side, and the
// workers wired to the session the way the window wires them to its slots.
#include "comm/cecusession.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/ecucommands.h"
#include "comm/frames.h"
#include "ecusimulator.h"
#include "hidfake.h"
#include "ptysimserver.h"
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

CWorkerTimings quickTimings(int transferRetries = 20, int linkRetries = 5)
{
    CWorkerTimings t;
    t.transferTimeoutMs = 100 * qMax(1, qEnvironmentVariableIntValue("VANTOR_TEST_TIMEOUT_SCALE"));
    t.transferRetries = transferRetries;
    t.linkTimeoutMs = 50;
    t.linkRetries = linkRetries;
    t.serialAnswerMinNs = 0; // the simulator answers at once
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
// 9600-baud line or not) or on the HID route through the hidapi fake.
// Commands handed back by the real-time worker go to `onCommand` (by default
// run as the window runs them, with no question); a link failure ends the
// connection as the window has it end. The frames the workers hand to the
// session, transfer outcomes, states, progress, the latest engine speed and
// link errors are recorded.
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
    CEcuSession session;
    QList<QByteArray> workerFrames;
    QList<CTransferOutcome> outcomes;
    QList<State> states;
    QList<int> percents;
    int rpm = -1;
    QStringList errors;
    std::function<void(const QString &)> onCommand;

    static hid_device *openHid(EcuSimulator *sim, Route route)
    {
        hidfake::reset();
        if (route != Hid)
            return nullptr;
        hidfake::attach(sim);
        return hid_open(0x04D8, 0x0080, nullptr);
    }

    explicit SessionRig(const CWorkerTimings &t = quickTimings(), Route route = Serial)
        : server(std::make_unique<PtySimServer>(&sim)), route(route),
          session(openHid(&sim, route), t)
    {
        if (!server->open())
            qFatal("no pseudo-terminal");
        server->setPaced(route == PacedSerial);
        const auto relay = [this](QObject *worker) {
            return [this, worker](const QByteArray &frame) {
                workerFrames << frame;
                session.sendFrame(frame, worker);
            };
        };
        QObject::connect(session.gestSend(), &CGestSend::sgnSndByte, &session,
                         relay(session.gestSend()));
        QObject::connect(session.gestReceive(), &CGestReceive::sgnSndByte, &session,
                         relay(session.gestReceive()));
        QObject::connect(session.gestRT(), &CGestRT::sgnSndByte, &session,
                         relay(session.gestRT()));
        QObject::connect(session.port(), &QSerialPort::readyRead, &session,
                         [this] { session.readSerial(); });
        const auto result = [this](const QString &r) {
            const CTransferOutcome o = session.transferResult(r);
            if (o.kind != Kind::None)
                outcomes << o;
        };
        QObject::connect(session.gestSend(), &CGestSend::sgnEsito, &session, result);
        QObject::connect(session.gestReceive(), &CGestReceive::sgnEsito, &session, result);
        const auto percent = [this](int p) { percents << session.overallPercent(p); };
        QObject::connect(session.gestSend(), &CGestSend::sgnPercent, &session, percent);
        QObject::connect(session.gestReceive(), &CGestReceive::sgnPercent, &session, percent);
        QObject::connect(session.gestRT(), &CGestRT::sgnRpm, &session, [this](int r) { rpm = r; });
        QObject::connect(session.gestRT(), &CGestRT::sgnExecCmd, &session,
                         [this](const QString &cmd) { onCommand(cmd); });
        const auto error = [this](const QString &e) {
            errors << e;
            if (e.startsWith(QLatin1String("KO")))
                session.linkFailed();
        };
        QObject::connect(session.gestRT(), &CGestRT::sgnError, &session, error);
        QObject::connect(&session, &CEcuSession::linkError, &session, error);
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

    bool openPort()
    {
        session.port()->setPortName(server->slavePath());
        return session.port()->open(QIODevice::ReadWrite);
    }

    bool connect()
    {
        if (route == Hid) {
            session.connectTo(QStringLiteral("HID"));
        } else {
            if (!openPort())
                return false;
            session.connectTo(server->slavePath());
        }
        states.clear();
        return session.state() == State::Idle;
    }
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
};

void TestSession::init()
{
    QSettings().clear();
}

// A read, then a write of changed values, through the states a transfer
// passes: the ECU ends up holding what was written. The write is read back
// unless "Line/VerifyWrites" is off; a store that goes wrong is then
// reported as a difference, not as done. The progress of a checked write
// fills the bar once over its two halves.
void TestSession::readAndWrite_data()
{
    QTest::addColumn<bool>("hid");
    QTest::addColumn<bool>("verify");
    QTest::addColumn<bool>("wrongStore");
    QTest::newRow("serial, checked, stored as sent") << false << true << false;
    QTest::newRow("serial, checked, stored wrong") << false << true << true;
    QTest::newRow("serial, unchecked, stored as sent") << false << false << false;
    QTest::newRow("serial, unchecked, stored wrong") << false << false << true;
    QTest::newRow("HID, checked, stored as sent") << true << true << false;
}

void TestSession::readAndWrite()
{
    QFETCH(bool, hid);
    QFETCH(bool, verify);
    QFETCH(bool, wrongStore);
    QSettings().setValue(QStringLiteral("Line/VerifyWrites"), verify);
    SessionRig rig(quickTimings(), hid ? SessionRig::Hid : SessionRig::Serial);
    QVERIFY(rig.connect());

    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 10000);
    QCOMPARE(rig.outcomes.at(0).kind, Kind::ReadDone);
    QCOMPARE(rig.outcomes.at(0).image, rig.sim.table().left(50));
    QCOMPARE(rig.states,
             QList<State>({State::CommandPending, State::Command, State::Reading, State::Idle}));
    if (hid) {
        // Each request in bytes 1..8 of a 65-byte report numbered 0.
        const QList<QByteArray> reports = hidfake::writtenReports();
        QCOMPARE(reports.size(), 50);
        for (int i = 0; i < reports.size(); ++i)
            QCOMPARE(reports.at(i), QByteArray(1, '\0') + buildReadFrame(i) + QByteArray(56, '\0'));
    }

    QByteArray image(41, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 3);
    if (wrongStore)
        rig.sim.setFault(Fault::WrongStore);
    rig.states.clear();
    rig.percents.clear();
    const int before = rig.sim.requests().size();
    QVERIFY(rig.session.requestWrite(image));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 2, 15000);
    const CTransferOutcome &w = rig.outcomes.at(1);
    QCOMPARE(w.kind, verify && wrongStore ? Kind::WriteDiffers : Kind::WriteDone);
    QCOMPARE(w.image, image);
    QList<State> states{State::CommandPending, State::Command, State::Writing};
    if (verify)
        states << State::Verifying;
    QCOMPARE(rig.states, states << State::Idle);
    QVERIFY(rig.session.isConnected()); // a difference leaves the line as it is

    QList<QByteArray> writes;
    for (int a = 0; a < 41; ++a)
        writes << buildWriteFrame(a, static_cast<quint8>(image.at(a)));
    QCOMPARE(requestsOf(rig.sim, WriteRequest, before), writes);
    QCOMPARE(requestsOf(rig.sim, ReadRequest, before).size(), verify ? 50 : 0);
    for (int a = 0; a < 41; ++a)
        QCOMPARE(rig.sim.tableByte(a), quint8(image.at(a) ^ (wrongStore ? 1 : 0)));

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
    QTest::newRow("serial, two answers late") << int(SessionRig::PacedSerial) << "late";
    QTest::newRow("serial, address 20 answered in a later exchange")
        << int(SessionRig::PacedSerial) << "late read";
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
    if (route != SessionRig::Serial) // the program's: a 9600-baud line, none for HID
        t.serialAnswerMinNs = CWorkerTimings().serialAnswerMinNs;
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

// Serial frame assembly: answers reach the consumers only as whole 8-byte
// frames, whether bytes come in bursts or one at a time; a burst of 12 bytes
// gives one frame and keeps 4 waiting; a partial answer is dropped when the
// next request goes out.
void TestSession::serialFrameAssembly()
{
    SessionRig rig;
    rig.sim.setFault(Fault::Silent); // the test puts the answers on the line
    QVERIFY(rig.connect());
    QSignalSpy answers(&rig.session, &CEcuSession::answerReceived);
    QSignalSpy readyRead(rig.session.port(), &QSerialPort::readyRead);
    const auto request = [&](const QByteArray &frame) {
        const int seen = rig.sim.requests().size();
        rig.session.sendFrame(frame, nullptr);
        QTRY_COMPARE(rig.sim.requests().size(), seen + 1);
    };

    request(buildPollFrame());
    QByteArray ack = buildWriteFrame(42, 1);
    ack[0] = char(AnswerWrite);
    ack[7] = frameChecksum(ack.left(7));
    const QByteArray first = pollAnswer(1000);
    rig.server->sendUnasked(ack + first.left(4));
    QTRY_COMPARE(rig.session.lastFrame().left(4), first.left(4));
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers.at(0).at(0).toByteArray(), ack);
    rig.server->sendUnasked(first.mid(4)); // the 4 waiting bytes and 4 more
    QTRY_COMPARE(answers.size(), 2);
    QCOMPARE(answers.at(1).at(0).toByteArray(), first);

    const QByteArray second = pollAnswer(2345);
    for (char c : second) {
        QCOMPARE(answers.size(), 2);
        readyRead.clear();
        rig.server->sendUnasked(QByteArray(1, c));
        QVERIFY(readyRead.wait(1000));
    }
    QTRY_COMPARE(answers.size(), 3);
    QCOMPARE(answers.at(2).at(0).toByteArray(), second);

    rig.server->sendUnasked(pollAnswer(7777).left(5));
    QTRY_COMPARE(rig.session.lastFrame().left(5), pollAnswer(7777).left(5));
    request(buildInfoFrame());
    rig.server->sendUnasked(pollAnswer(3000));
    QTRY_COMPARE(answers.size(), 4);
    QCOMPARE(answers.at(3).at(0).toByteArray(), pollAnswer(3000));
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
    SessionRig rig(quickTimings(), SessionRig::Hid);
    EcuSimulator hidSim; // the HID device answers apart from the serial line
    hidfake::attach(&hidSim);
    QVERIFY(rig.openPort());
    rig.session.connectTo(name);
    rig.session.sendFrame(buildPollFrame(), nullptr);
    const EcuSimulator &taken = hid ? hidSim : rig.sim;
    const EcuSimulator &other = hid ? rig.sim : hidSim;
    QTRY_COMPARE(taken.requests(), QList<QByteArray>{buildPollFrame()});
    QTest::qWait(50);
    QVERIFY(other.requests().isEmpty());
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
    SessionRig rig(quickTimings(), SessionRig::Hid);
    QVERIFY(rig.connect());
    QSignalSpy answers(&rig.session, &CEcuSession::answerReceived);
    const auto exchange = [&] { rig.session.sendFrame(buildPollFrame(), nullptr); };
    if (silent)
        rig.sim.setFault(Fault::Silent);
    else
        hidfake::setReadFails(1);
    QByteArray out = printedUntil(exchange, "Unable to read()");
    QVERIFY2(out.contains("OnSendSerialData: bytes written=65\n"), out.constData());
    QVERIFY2(out.contains("OnSendSerialData: Unable to read()\n"), out.constData());
    QVERIFY(!out.contains("bytes read="));
    if (!silent) {
        QTRY_COMPARE(rig.errors, QStringList{QStringLiteral("KO")});
        QTRY_VERIFY(!rig.session.isConnected());
        QCOMPARE(answers.size(), 0);
        return;
    }

    rig.sim.setFault(Fault::None);
    out = printedUntil(exchange, "bytes read=");
    QVERIFY2(out.contains("OnSendSerialData: bytes read=65\n"), out.constData());
    QTRY_COMPARE(answers.size(), 1);
    const QByteArray answer = answers.at(0).at(0).toByteArray();
    QCOMPARE(answer.size(), 8);
    QCOMPARE(static_cast<quint8>(answer.at(0)), AnswerPoll);
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
    const int atEnd = rig.sim.requests().size();
    const int sentAtEnd = rig.workerFrames.size();
    QVERIFY(rig.openPort());
    rig.session.queueK(2);
    QVERIFY(!rig.session.toggleBench() && !rig.session.toggleLink());
    QTest::qWait(600); // past the link's budget of time-outs
    QCOMPARE(rig.workerFrames.size(), sentAtEnd);
    QCOMPARE(rig.sim.requests().size(), atEnd);
    QVERIFY(rig.errors.isEmpty());
    QCOMPARE(rig.sim.tableByte(49), quint8(1));
    QCOMPARE(rig.sim.tableByte(42), quint8(1)); // the bench commands' K
    rig.session.searchFailed();
    QVERIFY(!rig.session.port()->isOpen());
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
    QVERIFY(!rig.session.port()->isOpen());
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
    QVERIFY(!rig.session.port()->isOpen());
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
    QVERIFY(!rig.session.port()->isOpen());
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
// link polls (its exchanges then run off the window's thread).
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
        rig.session.port()->setPortName(rig.server->linkPath());
        QVERIFY(rig.session.port()->open(QIODevice::ReadWrite));
        rig.session.connectTo(rig.server->linkPath());
    } else {
        QVERIFY(rig.connect());
    }
    QVERIFY(rig.session.isConnected() && !rig.session.linkOn());
    int published = 0;
    QObject::connect(&rig.session, &CEcuSession::liveSample, [&published] { ++published; });
    if (polling) {
        QVERIFY(rig.session.toggleLink());
        QVERIFY(rig.session.pumping());
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
            QVERIFY(!rig.session.pumping());
        }
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!rig.errors.isEmpty(), 2500);
    // Idle, the port is looked at once a second; a polling link's next
    // exchange finds it gone.
    QVERIFY2(clock.elapsed() <= (polling ? 300 : 2200), qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(rig.errors.first(), QStringLiteral("KO"));
    QVERIFY(!rig.session.isConnected());
    QVERIFY(!rig.session.port()->isOpen());
    QVERIFY(!rig.session.pumping());
    QTest::qWait(100);
    QCOMPARE(rig.errors.size(), 1);
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
