// The session without a window: the simulator on a real pseudo-terminal, the
// session's port on its slave side, and the workers wired to the session the
// way the window wires them to its slots.
#include "comm/cecusession.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/ecucommands.h"
#include "ecusimulator.h"
#include "ptysimserver.h"

#include <QSignalSpy>
#include <QtTest>
#include <functional>
#include <memory>

using State = CEcuSession::State;
using Kind = CTransferOutcome::Kind;

namespace {

CWorkerTimings quickTimings(int transferRetries = 20)
{
    CWorkerTimings t;
    t.transferTimeoutMs = 100 * qMax(1, qEnvironmentVariableIntValue("VANTOR_TEST_TIMEOUT_SCALE"));
    t.transferRetries = transferRetries;
    t.linkTimeoutMs = 50;
    t.linkRetries = 5;
    t.serialAnswerMinNs = 0; // the simulator answers at once
    return t;
}

} // namespace

// A session connected to a simulated ECU. Commands handed back by the
// real-time worker go to `onCommand` (by default run as the window runs them,
// with no question); transfer outcomes and states are recorded.
struct SessionRig
{
    EcuSimulator sim;
    std::unique_ptr<PtySimServer> server;
    CEcuSession session;
    QList<CTransferOutcome> outcomes;
    QList<State> states;
    QStringList errors;
    std::function<void(const QString &)> onCommand;

    explicit SessionRig(const CWorkerTimings &t = quickTimings())
        : server(std::make_unique<PtySimServer>(&sim)), session(nullptr, t)
    {
        if (!server->open())
            qFatal("no pseudo-terminal");
        const auto relay = [this](QObject *worker) {
            return [this, worker](const QByteArray &frame) { session.sendFrame(frame, worker); };
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
        QObject::connect(session.gestRT(), &CGestRT::sgnExecCmd, &session,
                         [this](const QString &cmd) { onCommand(cmd); });
        QObject::connect(session.gestRT(), &CGestRT::sgnError, &session,
                         [this](const QString &e) { errors << e; });
        QObject::connect(&session, &CEcuSession::linkError, &session,
                         [this](const QString &e) { errors << e; });
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

    bool connect()
    {
        session.port()->setPortName(server->slavePath());
        if (!session.port()->open(QIODevice::ReadWrite))
            return false;
        session.connectTo(server->slavePath());
        states.clear();
        return session.state() == State::Idle;
    }
};

class TestSession : public QObject
{
    Q_OBJECT
private slots:
    void readAndCheckedWrite_data();
    void readAndCheckedWrite();
    void oneCommandAtATime();
    void connectionEndsWhileACommandWaitsForTheUser();
    void connectionEndsUnderATransfer_data();
    void connectionEndsUnderATransfer();
    void failedTransferEndsTheConnection();
    void linkFailureEndsTheConnectionOnce();
};

// A read, then a write of changed values and its check, through the states
// a transfer passes: the ECU ends up holding what was written, and a store
// that goes wrong is reported as a difference, not as done.
void TestSession::readAndCheckedWrite_data()
{
    QTest::addColumn<bool>("wrongStore");
    QTest::newRow("stored as sent") << false;
    QTest::newRow("stored wrong") << true;
}

void TestSession::readAndCheckedWrite()
{
    QFETCH(bool, wrongStore);
    SessionRig rig;
    QVERIFY(rig.connect());

    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 10000);
    QCOMPARE(rig.outcomes.at(0).kind, Kind::ReadDone);
    QCOMPARE(rig.outcomes.at(0).image, rig.sim.table().left(50));
    QCOMPARE(rig.states,
             QList<State>({State::CommandPending, State::Command, State::Reading, State::Idle}));

    QByteArray image(41, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i * 3);
    if (wrongStore)
        rig.sim.setFault(EcuSimulator::Fault::WrongStore);
    rig.states.clear();
    QVERIFY(rig.session.requestWrite(image));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 2, 15000);
    const CTransferOutcome &w = rig.outcomes.at(1);
    QCOMPARE(w.kind, wrongStore ? Kind::WriteDiffers : Kind::WriteDone);
    QCOMPARE(w.image, image);
    QCOMPARE(rig.states, QList<State>({State::CommandPending, State::Command, State::Writing,
                                       State::Verifying, State::Idle}));
    QVERIFY(rig.session.isConnected()); // a difference leaves the line as it is
    if (!wrongStore)
        QCOMPARE(rig.sim.table().left(41), image);
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

// The window asks the user before a read; the connection may end while the
// question is open. Whatever follows the question finds the session
// disconnected: no read starts, and nothing makes the ECU's controls usable.
void TestSession::connectionEndsWhileACommandWaitsForTheUser()
{
    SessionRig rig;
    QVERIFY(rig.connect());
    rig.onCommand = [&](const QString &cmd) {
        QVERIFY(rig.session.takeCommand(cmd));
        QCOMPARE(rig.session.state(), State::Command);
        rig.session.endConnection(); // during the question
        QVERIFY(!rig.session.startRead());
        rig.session.endCommand();
    };
    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_COMPARE(rig.session.state(), State::Disconnected);
    QTest::qWait(100);
    QCOMPARE(rig.session.state(), State::Disconnected);
    QVERIFY(!rig.session.mayUseEcu() && !rig.session.acceptsReadings());
    QVERIFY(rig.outcomes.isEmpty());
    const int reads = rig.sim.requests().size();
    QTest::qWait(50);
    QCOMPARE(rig.sim.requests().size(), reads);
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

// An ECU that stops answering mid-read: the read fails, the connection ends.
void TestSession::failedTransferEndsTheConnection()
{
    SessionRig rig(quickTimings(3));
    QVERIFY(rig.connect());
    rig.sim.setSilentAfter(10);
    QVERIFY(rig.session.requestCommand(EcuCommand::FlashRead));
    QTRY_COMPARE_WITH_TIMEOUT(rig.outcomes.size(), 1, 10000);
    QCOMPARE(rig.outcomes.at(0).kind, Kind::ReadFailed);
    QVERIFY(!rig.outcomes.at(0).connectionLost);
    QCOMPARE(rig.session.state(), State::Disconnected);
    QVERIFY(!rig.session.port()->isOpen());
}

// A silent ECU with the link on: the link fails, and the failure ends the
// connection once; a report that comes after ends nothing more.
void TestSession::linkFailureEndsTheConnectionOnce()
{
    SessionRig rig;
    QVERIFY(rig.connect());
    QVERIFY(rig.session.toggleLink());
    QVERIFY(rig.session.linkOn() && rig.session.acceptsReadings());
    QTRY_VERIFY(rig.sim.answersGiven() > 3);
    rig.sim.setFault(EcuSimulator::Fault::Silent);
    QTRY_VERIFY_WITH_TIMEOUT(!rig.errors.isEmpty(), 3000);
    QVERIFY(rig.session.linkFailed());
    QVERIFY(!rig.session.linkOn() && !rig.session.isConnected());
    QVERIFY(!rig.session.linkFailed());
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
