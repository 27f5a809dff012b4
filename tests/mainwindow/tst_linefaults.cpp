// The line's faults against every phase of a connection, through the real
// window and the simulator on a pseudo-terminal, answering at once or paced
// like a 9600-baud line: the port search's probe, a read, a write, the check
// after it, the live link and a command sent with the link off. Each row ends
// in one clear state within its time-outs: the right warning, or an exact
// result; the controls usable; the curve kept; nothing reported as done that
// was not.
#include "ecuconnection.h"
#include "comm/frames.h"
#include "mainwindow/cmsg.h"
#include "support/workerharness.h"

#include <QLCDNumber>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

namespace {

enum class Expect {
    Found,     // the probe finds the ECU
    NotFound,  // the probe finds nothing
    Exact,     // the read brings the ECU's values
    Written,   // the ECU holds what was written, and the check said so
    Differs,   // the check found other values: the write's warning, the line stays
    Failed,    // the transfer's warning; the connection has ended
    Up,        // the link (or the line, with it off) goes on
    LinkFails  // the link's warning; the connection has ended
};

// Short time-outs and budgets, so that a failure is given up quickly (a late
// answer may cost a transfer a time-out and a disagreement when its address
// is asked again); the line's rules are the program's own.
CWorkerTimings faultTimings()
{
    CWorkerTimings t = shortTimings(3, 2);
    t.linkTimeoutMs = 100;
    return t;
}

// Closes every message box the window shows and records its title and text.
class BoxWatcher
{
public:
    QStringList titles;
    QStringList texts;
    BoxWatcher()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            for (QWidget *top : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(top);
                if (box && box->isVisible()) {
                    titles << box->windowTitle();
                    texts << box->text();
                    box->accept();
                }
            }
        });
        timer.start();
    }

private:
    QTimer timer;
};

} // namespace

Q_DECLARE_METATYPE(Expect)

// The rows come in three parts, each a test function of its own that CTest
// runs apart: the ECU answering at once, and paced (the transfers, the rest).
class TestLineFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void atOnce_data() { rows(false, {"probe", "read", "write", "check", "polling", "command"}); }
    void atOnce() { faultAtPhase(); }
    void pacedTransfers_data() { rows(true, {"read", "write", "check"}); }
    void pacedTransfers() { faultAtPhase(); }
    void pacedOther_data() { rows(true, {"probe", "polling", "command"}); }
    void pacedOther() { faultAtPhase(); }

private:
    void rows(bool paced, const QStringList &phases);
    void faultAtPhase();
};

void TestLineFaults::initTestCase()
{
    useTestSettings();
}

void TestLineFaults::rows(bool paced, const QStringList &phases)
{
    QTest::addColumn<QString>("phase");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("paced");
    QTest::addColumn<Expect>("expect");

    using E = Expect;
    // What each fault comes to in each phase (a fault that lasts: silent, a
    // wrong byte 0, a byte too few or too many, no acknowledgement, a wrong
    // store; one that strikes once: an answer late but before the next
    // request, one late enough to land among later exchanges; the port
    // going away).
    const QList<std::tuple<const char *, QList<std::pair<const char *, E>>>> table = {
        {"probe",
         {{"silent", E::NotFound}, {"wrong byte 0", E::NotFound}, {"dropped byte", E::NotFound},
          {"extra byte", E::Found}, {"late in order", E::NotFound},
          {"no acknowledgement", E::Found}, {"wrong stored value", E::Found},
          {"port gone", E::NotFound}}},
        {"read",
         {{"silent", E::Failed}, {"wrong byte 0", E::Failed}, {"dropped byte", E::Failed},
          {"extra byte", E::Failed}, {"late in order", E::Exact}, {"late overlapping", E::Exact},
          {"no acknowledgement", E::Exact}, {"wrong stored value", E::Exact},
          {"port gone", E::Failed}}},
        {"write",
         {{"silent", E::Failed}, {"wrong byte 0", E::Failed}, {"dropped byte", E::Failed},
          {"extra byte", E::Failed}, {"late in order", E::Written},
          {"late overlapping", E::Written}, {"no acknowledgement", E::Failed},
          {"wrong stored value", E::Differs}, {"port gone", E::Failed}}},
        {"check",
         {{"silent", E::Failed}, {"wrong byte 0", E::Failed}, {"dropped byte", E::Failed},
          {"extra byte", E::Failed}, {"late in order", E::Written},
          {"late overlapping", E::Written}, {"no acknowledgement", E::Written},
          {"wrong stored value", E::Written}, {"port gone", E::Failed}}},
        {"polling",
         {{"silent", E::LinkFails}, {"wrong byte 0", E::LinkFails}, {"dropped byte", E::LinkFails},
          {"extra byte", E::Up}, {"late in order", E::Up}, {"late overlapping", E::Up},
          {"no acknowledgement", E::Up}, {"wrong stored value", E::Up},
          {"port gone", E::LinkFails}}},
        {"command",
         {{"silent", E::LinkFails}, {"wrong byte 0", E::LinkFails},
          {"dropped byte", E::LinkFails}, {"extra byte", E::Up}, {"late in order", E::Up},
          {"late overlapping", E::Up}, {"no acknowledgement", E::Up},
          {"wrong stored value", E::Up}, {"port gone", E::LinkFails}}},
    };
    for (const auto &[phase, faults] : table) {
        if (!phases.contains(QLatin1String(phase)))
            continue;
        for (const auto &[fault, expect] : faults) {
            const QByteArray name = QByteArray(phase) + ", " + fault;
            QTest::newRow(name.constData()) << phase << fault << paced << expect;
        }
    }
}

void TestLineFaults::faultAtPhase()
{
    QFETCH(QString, phase);
    QFETCH(QString, fault);
    QFETCH(bool, paced);
    QFETCH(Expect, expect);
    QSettings().clear();
    const CWorkerTimings timings = faultTimings();
    auto ecu = std::make_unique<SimulatedEcu>(QStringLiteral("faults"), paced);
    EcuSimulator &sim = ecu->sim;
    const QString path = ecu->path();
    frmProgPannel w(nullptr, timings);
    MainWindowProbe p(w);
    BoxWatcher boxes;
    auto *lcd = widget<QLCDNumber>(w, "lcdRPM");

    // The fault strikes after `after` more answers: late in a transfer, or once
    // the link runs. A late answer comes once, just past its time-out (in
    // order: during the silence that follows) or well past it (among later
    // exchanges); a port that goes takes the next request with it.
    const bool link = phase == QLatin1String("polling") || phase == QLatin1String("command");
    const int probeTimeoutMs = 500; // the port search's
    const int timeoutMs = phase == QLatin1String("probe") ? probeTimeoutMs
                          : link                         ? timings.linkTimeoutMs
                                                         : timings.transferTimeoutMs;
    QObject context;
    const auto arm = [&](int after) {
        sim.setFaultAfter(after);
        if (fault == QLatin1String("silent"))
            sim.setFault(EcuSimulator::Fault::Silent);
        else if (fault == QLatin1String("wrong byte 0"))
            sim.setFault(EcuSimulator::Fault::WrongByte0);
        else if (fault == QLatin1String("dropped byte"))
            sim.setFault(EcuSimulator::Fault::DropByte);
        else if (fault == QLatin1String("extra byte"))
            sim.setFault(EcuSimulator::Fault::ExtraByte);
        else if (fault == QLatin1String("no acknowledgement"))
            sim.setFault(EcuSimulator::Fault::NoWriteAck);
        else if (fault == QLatin1String("wrong stored value"))
            sim.setFault(EcuSimulator::Fault::WrongStore);
        else if (fault == QLatin1String("late in order"))
            sim.setAnswerDelayMs(timeoutMs + 20, 1);
        else if (fault == QLatin1String("late overlapping"))
            sim.setAnswerDelayMs(timeoutMs + CEcuLine::DefaultQuietMs + 150, 1);
        else if (fault == QLatin1String("port gone")) {
            sim.setSilentAfter(after);
            QObject::connect(ecu->server.get(), &PtySimServer::frameSeen, &context,
                             [&](const QByteArray &, const QByteArray &answer) {
                                 if (answer.isEmpty())
                                     QTimer::singleShot(0, &context, [&] { ecu.reset(); });
                             });
        }
    };
    const auto clearFault = [&] {
        sim.setFault(EcuSimulator::Fault::None);
        sim.setAnswerDelayMs(0);
        sim.setSilentAfter(-1);
    };

    if (phase == QLatin1String("probe")) {
        arm(0);
        const QString status = searchAndPick(w, path);
        QCOMPARE(status, CMsg::messages[expect == Expect::Found ? 7 : 8]);
        if (ecu)
            clearFault();
        static_cast<QDialog *>(p.ricercaPorta())->close();
        QCOMPARE(p.connected(), expect == Expect::Found);
        QVERIFY(boxes.titles.isEmpty());
        if (expect == Expect::Found) { // and the read that follows is exact
            QTRY_VERIFY_WITH_TIMEOUT(widget<QPushButton>(w, "btReadFlash")->isEnabled(), 10000);
            QCOMPARE(p.profile().at(7), double(static_cast<qint8>(sim.tableByte(7))));
        } else {
            QVERIFY(widget<QPushButton>(w, "btRicercaPorta")->isEnabled());
            QVERIFY(!widget<QPushButton>(w, "btReadFlash")->isEnabled());
        }
        return;
    }

    QVERIFY(connectToEcu(w, path));
    QVERIFY(boxes.titles.isEmpty());
    const QVector<double> before = p.profile();
    QVector<double> edited = before;
    for (int i = 0; i < edited.size(); ++i)
        edited[i] = (i * 5) % 30 - 8;

    if (phase == QLatin1String("read")) {
        // New values in the ECU: an exact read brings them, a failed one
        // keeps the curve shown.
        for (int a = 0; a < 41; ++a)
            sim.setTableByte(a, static_cast<quint8>(static_cast<qint8>(edited.at(a))));
        arm(40);
        QTest::mousePress(widget<QPushButton>(w, "btReadFlash"), Qt::LeftButton);
    } else if (phase == QLatin1String("write") || phase == QLatin1String("check")) {
        p.setProfile(edited);
        arm(phase == QLatin1String("write") ? 33 : 41 + 40);
        QTest::mousePress(widget<QPushButton>(w, "btSaveFlash"), Qt::LeftButton);
    } else if (phase == QLatin1String("polling")) {
        sim.setFixedRpm(2500);
        w.onLinkClicked();
        QTRY_COMPARE_WITH_TIMEOUT(lcd->intValue(), 2500, 3000);
        arm(5);
    } else if (phase == QLatin1String("command")) {
        arm(0);
        widget<QSpinBox>(w, "spKIniezione")->setValue(3);
    }

    const int title = phase == QLatin1String("read") ? 13 : 14;
    switch (expect) {
    case Expect::Exact:
        QTRY_COMPARE_WITH_TIMEOUT(p.profile(), edited, 15000);
        QCOMPARE(widget<QLabel>(w, "lblAvviso")->text(), QStringLiteral("Mappa letta dalla centralina"));
        QVERIFY(boxes.titles.isEmpty());
        QVERIFY(p.connected());
        QVERIFY(widget<QPushButton>(w, "btReadFlash")->isEnabled());
        break;
    case Expect::Written:
        QTRY_COMPARE_WITH_TIMEOUT(widget<QLabel>(w, "lblAvviso")->text(),
                                  QStringLiteral("Mappa scritta nella centralina e verificata"), 15000);
        for (int a = 0; a < 41; ++a)
            QCOMPARE(double(static_cast<qint8>(sim.tableByte(a))), edited.at(a));
        QVERIFY(boxes.titles.isEmpty());
        QVERIFY(p.connected());
        QVERIFY(!shownTitle(w).endsWith(QLatin1Char('*')));
        QVERIFY(widget<QPushButton>(w, "btSaveFlash")->isEnabled());
        break;
    case Expect::Differs:
        QTRY_COMPARE_WITH_TIMEOUT(boxes.titles, QStringList{CMsg::messages[14]}, 15000);
        QCOMPARE(widget<QLabel>(w, "lblAvviso")->text(),
                 QStringLiteral("Scrittura non riuscita: la verifica ha trovato differenze"));
        QVERIFY(p.connected()); // the line works
        QVERIFY(shownTitle(w).endsWith(QLatin1Char('*')));
        QCOMPARE(p.profile(), edited);
        QVERIFY(widget<QPushButton>(w, "btSaveFlash")->isEnabled());
        break;
    case Expect::Failed:
        QTRY_COMPARE_WITH_TIMEOUT(boxes.titles, QStringList{CMsg::messages[title]}, 15000);
        QCOMPARE(boxes.texts, QStringList{CMsg::messages[15]});
        QVERIFY(!p.connected());
        // The curve shown stays: the one before a read, the edited one of a write.
        QCOMPARE(p.profile(), phase == QLatin1String("read") ? before : edited);
        QVERIFY(widget<QLabel>(w, "lblAvviso")->text().endsWith(QStringLiteral("non riuscita")));
        QVERIFY(widget<QPushButton>(w, "btRicercaPorta")->isEnabled());
        QVERIFY(!widget<QPushButton>(w, "btReadFlash")->isEnabled());
        if (phase != QLatin1String("read"))
            QVERIFY(shownTitle(w).endsWith(QLatin1Char('*'))); // not saved anywhere
        break;
    case Expect::Up:
        if (phase == QLatin1String("polling")) {
            // The readouts go on with the ECU's latest values.
            sim.setFixedRpm(4321);
            QTRY_COMPARE_WITH_TIMEOUT(lcd->intValue(), 4321, 3000);
        } else {
            // The command went out; a poll follows a lost acknowledgement.
            QTRY_VERIFY(requestsOf(sim, WriteRequest).contains(buildWriteFrame(42, 3)));
            QTest::qWait(3 * (timings.linkTimeoutMs + CEcuLine::DefaultQuietMs));
        }
        QVERIFY(boxes.titles.isEmpty());
        QVERIFY(p.connected());
        QCOMPARE(p.linkOn(), phase == QLatin1String("polling"));
        QVERIFY(widget<QPushButton>(w, "btStartLink")->isEnabled());
        break;
    case Expect::LinkFails:
        QTRY_COMPARE_WITH_TIMEOUT(boxes.titles, QStringList{CMsg::messages[15]}, 10000);
        QVERIFY(!p.connected());
        QVERIFY(!p.linkOn());
        QCOMPARE(lcd->intValue(), 0);
        QCOMPARE(p.profile(), before);
        QVERIFY(widget<QPushButton>(w, "btRicercaPorta")->isEnabled());
        break;
    default:
        QFAIL("no such outcome here");
    }
    // Nothing more is reported afterwards.
    QTest::qWait(100);
    QCOMPARE(boxes.titles.size(), expect == Expect::Differs || expect == Expect::Failed
                                          || expect == Expect::LinkFails
                                      ? 1
                                      : 0);
}

QTEST_MAIN(TestLineFaults)
#include "tst_linefaults.moc"
