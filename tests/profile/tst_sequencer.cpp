// The sequences of a connection without a window: the sequencer drives the
// session against the simulator on a pseudo-terminal, with a profile side
// and a user side that record what they are asked and answer as told.
#include "profile/cecusequencer.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "comm/frames.h"
#include "ecusimulator.h"
#include "profile/profilebackup.h"
#include "profile/profilefolder.h"
#include "ptysimserver.h"
#include "support/workerharness.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The profile: its values and whether a file is shown; what it was given.
struct Profile : CProfileSide
{
    bool file = false;
    QByteArray image = QByteArray(41, '\x07');
    QByteArray read;
    CDevInfo readFrom;
    int begun = 0;
    int failed = 0;
    QByteArray written;

    bool fileShown() const override { return file; }
    QByteArray flashImage(quint8 hardware) const override
    {
        return hardware >= 20 ? image + QByteArray(40, 'n') : image;
    }
    void beginRead() override { ++begun; }
    FlashImage finishRead(const QByteArray &i, const CDevInfo &ecu, const QDateTime &) override
    {
        read = i;
        readFrom = ecu;
        return parseFlashImage(i, ecu.hardware);
    }
    void failRead() override { ++failed; }
    void writeDone(const QByteArray &i, quint8) override { written = i; }
    void writeCheckFailed() override {}
};

// The user: the answers to give, and what was asked.
struct User : CSequenceUser
{
    bool settle = true;
    FileOutcome saveAnswer = FileOutcome::Done;
    BenchAtExit bench = BenchAtExit::Leave;
    bool cut = false;
    QStringList asked;
    QStringList loaded;
    std::function<void()> onSave; // what saving does to the profile

    bool settleUnsavedProfile() override
    {
        asked << QStringLiteral("settle");
        return settle;
    }
    FileOutcome loadProfileFile(const QString &path) override
    {
        loaded << path;
        return FileOutcome::Done;
    }
    FileOutcome saveProfileFile() override
    {
        asked << QStringLiteral("save");
        if (onSave && saveAnswer == FileOutcome::Done)
            onSave();
        return saveAnswer;
    }
    BenchAtExit askBenchAtExit() override
    {
        asked << QStringLiteral("bench");
        return bench;
    }
    bool cutWriteShort() override
    {
        asked << QStringLiteral("cut");
        return cut;
    }
};

// The session and the sequencer, wired as a front end wires them, with the
// simulator on a pseudo-terminal.
struct Rig
{
    EcuSimulator sim;
    PtySimServer server{&sim};
    Profile profile;
    User user;
    CEcuSession session{CHidSource(), shortTimings()};
    CEcuSequencer sequencer{&session, &profile, &user};
    QList<CTransferOutcome> shown;

    static CWorkerTimings shortTimings()
    {
        CWorkerTimings t;
        t.transferTimeoutMs = 100 * qMax(1, qEnvironmentVariableIntValue("VANTOR_TEST_TIMEOUT_SCALE"));
        t.linkTimeoutMs = 50;
        t.linkRetries = 3;
        return t;
    }

    Rig()
    {
        if (!server.open())
            qFatal("no pseudo-terminal");
        const auto result = [this](const QString &r) { session.transferResult(r); };
        QObject::connect(session.gestSend(), &CGestSend::sgnEsito, &session, result);
        QObject::connect(session.gestReceive(), &CGestReceive::sgnEsito, &session, result);
        QObject::connect(session.gestRT(), &CGestRT::sgnExecCmd, &sequencer,
                         &CEcuSequencer::execCmd);
        QObject::connect(&sequencer, &CEcuSequencer::transferShown, &session,
                         [this](const CTransferOutcome &o) { shown << o; });
    }

    // Connected, with the read that every connection starts with done.
    bool connect(int hardware = 10)
    {
        CDevInfo info;
        info.hardware = static_cast<quint8>(hardware);
        session.setDevInfo(info);
        sequencer.connectTo(server.slavePath());
        return QTest::qWaitFor([this] { return !shown.isEmpty(); }, 10000)
               && shown.first().kind == CTransferOutcome::ReadDone;
    }
};

} // namespace

class TestSequencer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void aConnectionStartsWithARead();
    void writeGoesThroughAFileFromHardware11_data();
    void writeGoesThroughAFileFromHardware11();
    void loadTakesItsFile();
    void quitting_data();
    void quitting();

private:
    QTemporaryDir dir;
};

void TestSequencer::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestSequencer::init()
{
    setProfileFolderOverride(dir.filePath(QStringLiteral("profiles")));
}

// The read after connecting asks first, gives the profile side the image and
// the ECU it came from, sets the test bench as the ECU holds it, and keeps a
// backup named by the time and the ECU; a backup that cannot be written is
// reported and changes nothing else.
void TestSequencer::aConnectionStartsWithARead()
{
    Rig rig;
    rig.sim.setTableByte(49, 1); // the test bench is on in the ECU
    rig.sim.setTableByte(42, 3); // K
    QVERIFY(rig.connect(12));
    QCOMPARE(rig.user.asked, QStringList{QStringLiteral("settle")});
    QCOMPARE(rig.profile.begun, 1);
    QCOMPARE(rig.profile.read, rig.sim.table().left(50));
    QCOMPARE(rig.profile.readFrom.hardware, quint8(12));
    QVERIFY(rig.session.benchOn());

    QDir backups(backupFolder());
    const QStringList kept = backups.entryList(QDir::Files);
    QCOMPARE(kept.size(), 1);
    QVERIFY2(kept.first().contains(QStringLiteral("_HW12_V1.1-R0")), qPrintable(kept.first()));
    QFile backup(backups.filePath(kept.first()));
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), rig.sim.table().left(41) + char(3));

    // A file where the backup folder should be: the backup fails, the read
    // counts.
    QVERIFY(backups.removeRecursively());
    QFile blocker(backups.path());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QSignalSpy failed(&rig.sequencer, &CEcuSequencer::backupFailed);
    QVERIFY(rig.sequencer.read());
    QTRY_COMPARE(rig.shown.size(), 2);
    QCOMPARE(rig.shown.at(1).kind, CTransferOutcome::ReadDone);
    QCOMPARE(failed.size(), 1);
    QVERIFY(failed.at(0).at(0).toString().startsWith(backups.path()));
    QVERIFY(!failed.at(0).at(1).toString().isEmpty());
    QFile::remove(backups.path());
}

// From hardware 11 on a write needs a file: without one shown the profile is
// saved first and the write follows; a save that does not happen writes
// nothing. The image is the profile side's, with the name from hardware 20.
void TestSequencer::writeGoesThroughAFileFromHardware11_data()
{
    QTest::addColumn<int>("hardware");
    QTest::addColumn<bool>("file");
    QTest::addColumn<int>("save"); // FileOutcome, when asked
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("written");
    QTest::newRow("HW10, no file") << 10 << false << int(FileOutcome::Done) << false << true;
    QTest::newRow("HW11, no file, saved") << 11 << false << int(FileOutcome::Done) << true << true;
    QTest::newRow("HW11, no file, save cancelled")
        << 11 << false << int(FileOutcome::Cancelled) << true << false;
    QTest::newRow("HW20, a file shown") << 20 << true << int(FileOutcome::Done) << false << true;
}

void TestSequencer::writeGoesThroughAFileFromHardware11()
{
    QFETCH(int, hardware);
    QFETCH(bool, file);
    QFETCH(int, save);
    QFETCH(bool, asked);
    QFETCH(bool, written);
    Rig rig;
    QVERIFY(rig.connect(hardware));
    rig.user.asked.clear();
    rig.profile.file = file;
    rig.user.saveAnswer = FileOutcome(save);
    rig.user.onSave = [&rig] { rig.profile.file = true; };
    const int before = rig.sim.requests().size();

    QVERIFY(rig.sequencer.write());
    if (written) {
        QTRY_COMPARE_WITH_TIMEOUT(rig.shown.size(), 2, 10000);
        QCOMPARE(rig.shown.at(1).kind, CTransferOutcome::WriteDone);
        const QByteArray image = rig.profile.flashImage(quint8(hardware));
        QCOMPARE(rig.profile.written, image);
        QCOMPARE(rig.sim.table().left(image.size()), image);
    } else {
        QTRY_COMPARE(rig.session.state(), CEcuSession::State::Idle);
        QCOMPARE(requestsOf(rig.sim, WriteRequest, before).size(), 0);
    }
    QCOMPARE(rig.user.asked.contains(QStringLiteral("save")), asked);
}

// A load takes the file it was asked with (a recent file) or lets the user
// pick one; one the user will not give the profile up for loads nothing.
void TestSequencer::loadTakesItsFile()
{
    Rig rig;
    QVERIFY(rig.sequencer.load(QStringLiteral("/recent/a.prf")));
    QTRY_COMPARE(rig.user.loaded, QStringList{QStringLiteral("/recent/a.prf")});
    QTRY_COMPARE(rig.session.state(), CEcuSession::State::Disconnected);
    QVERIFY(rig.sequencer.load());
    QTRY_COMPARE(rig.user.loaded.size(), 2);
    QCOMPARE(rig.user.loaded.at(1), QString());
    rig.user.settle = false;
    QVERIFY(rig.sequencer.load(QStringLiteral("/recent/b.prf")));
    QTRY_COMPARE(rig.user.asked.size(), 3);
    QTRY_COMPARE(rig.session.state(), CEcuSession::State::Disconnected);
    QCOMPARE(rig.user.loaded.size(), 2);
}

// Quitting asks about the test bench, a write under way and an edited
// profile, in this order, and switches the bench off first when asked to:
// the program may end once the ECU has taken it, or its frames timed out.
void TestSequencer::quitting_data()
{
    QTest::addColumn<bool>("bench");
    QTest::addColumn<int>("answer"); // BenchAtExit
    QTest::addColumn<bool>("settle");
    QTest::addColumn<bool>("silent"); // the ECU takes nothing any more
    QTest::addColumn<int>("quit");    // CEcuSequencer::Quit
    QTest::addColumn<QStringList>("asked");
    using B = CSequenceUser::BenchAtExit;
    using Q = CEcuSequencer::Quit;
    const QString bench = QStringLiteral("bench"), settle = QStringLiteral("settle");
    QTest::newRow("nothing on") << false << int(B::Leave) << true << false << int(Q::Now)
                                << QStringList{settle};
    QTest::newRow("an edited profile kept") << false << int(B::Leave) << false << false
                                            << int(Q::Stay) << QStringList{settle};
    QTest::newRow("bench left on") << true << int(B::Leave) << true << false << int(Q::Now)
                                   << QStringList{bench, settle};
    QTest::newRow("bench question cancelled") << true << int(B::Cancel) << true << false
                                              << int(Q::Stay) << QStringList{bench};
    QTest::newRow("bench switched off") << true << int(B::SwitchOff) << true << false
                                        << int(Q::Later) << QStringList{bench, settle};
    QTest::newRow("bench switched off, the ECU silent")
        << true << int(B::SwitchOff) << true << true << int(Q::Later)
        << QStringList{bench, settle};
}

void TestSequencer::quitting()
{
    QFETCH(bool, bench);
    QFETCH(int, answer);
    QFETCH(bool, settle);
    QFETCH(bool, silent);
    QFETCH(int, quit);
    QFETCH(QStringList, asked);
    Rig rig;
    QVERIFY(rig.connect());
    if (bench) {
        QVERIFY(rig.session.toggleBench());
        QTRY_COMPARE(rig.sim.tableByte(49), quint8(1));
    }
    rig.user.asked.clear();
    rig.user.bench = CSequenceUser::BenchAtExit(answer);
    rig.user.settle = settle;
    if (silent)
        rig.sim.setFault(EcuSimulator::Fault::Silent);
    QSignalSpy ready(&rig.sequencer, &CEcuSequencer::quitReady);

    QCOMPARE(int(rig.sequencer.quit()), quit);
    QCOMPARE(rig.user.asked, asked);
    if (quit != int(CEcuSequencer::Quit::Later))
        return;
    QVERIFY(ready.wait(5000));
    QCOMPARE(ready.first().first().toBool(), !silent);
    QCOMPARE(rig.sim.tableByte(49), quint8(silent ? 1 : 0));
    // Now the program ends without another question.
    rig.user.asked.clear();
    QCOMPARE(rig.sequencer.quit(), CEcuSequencer::Quit::Now);
    QVERIFY(rig.user.asked.isEmpty());
}

QTEST_GUILESS_MAIN(TestSequencer)
#include "tst_sequencer.moc"
