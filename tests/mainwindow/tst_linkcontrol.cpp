// Link control through the real main window and the ECU simulator on a
// pseudo-terminal, as the user sees it: the link and test-bench switches,
// disconnecting, a link failure and its warning. What goes over the line
// meanwhile is the session's test.
#include "ecuconnection.h"
#include "gauge/crpmgauge.h"
#include "mainwindow/cmsg.h"
#include "mainwindow/frmprogpannel_styles.h"

#include <QAction>
#include <QLCDNumber>
#include <QSerialPort>

namespace {

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
    void linkAndTestBenchSwitches();
    void testBenchQuestionAtExit_data();
    void testBenchQuestionAtExit();
    void disconnectWithLinkOn();
    void searchWithoutEcu();
    void silenceEndsTheLink();
    void errorTexts();

private:
    // Checks every control the disconnection resets.
    void verifyDisconnected(frmProgPannel &w, const SimulatedEcu &ecu, const QVector<double> &curve);
};

void TestLinkControl::initTestCase()
{
    useTestSettings();
}

void TestLinkControl::verifyDisconnected(frmProgPannel &w, const SimulatedEcu &ecu,
                                         const QVector<double> &curve)
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
    QVERIFY(!ecu.heldOpen());
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

// The link and test-bench switches show what they are set to; the ECU's
// test bench follows its switch.
void TestLinkControl::linkAndTestBenchSwitches()
{
    SimulatedEcu ecu(QStringLiteral("switches"));
    frmProgPannel w(nullptr, shortTimings());
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    auto *link = button(w, "btStartLink");
    for (bool on : {true, false}) {
        QTest::mouseClick(link, Qt::LeftButton);
        QCOMPARE(p.linkOn(), on);
        QCOMPARE(link->styleSheet(), QLatin1String(on ? LED_ON_STYLE : LED_OFF_STYLE));
        QCOMPARE(link->text(), CMsg::messages[on ? 0 : 1]);
    }
    QVERIFY(p.connected());

    auto *banco = button(w, "btBanco");
    banco->show();
    for (bool on : {true, false}) {
        QTest::mouseClick(banco, Qt::LeftButton);
        QCOMPARE(p.bancoOn(), on);
        QCOMPARE(banco->styleSheet(), QLatin1String(on ? BANCO_ON_STYLE : BANCO_OFF_STYLE));
        QCOMPARE(banco->text(), CMsg::messages[on ? 2 : 3]);
        QTRY_COMPARE(ecu.sim.tableByte(49), quint8(on));
    }
}

// Quitting with the test bench on asks first; the switch-off goes out before
// the program ends, and an ECU that does not acknowledge it is reported.
void TestLinkControl::testBenchQuestionAtExit_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("acks");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("benchByte");
    QTest::addColumn<QString>("warning");
    QTest::newRow("switch off") << "Spegni e chiudi" << true << true << 0 << QString();
    // (this ECU stores the writes but answers none of them)
    QTest::newRow("switch off, no acknowledgement")
        << "Spegni e chiudi" << false << true << 0 << QStringLiteral("Modo banco attivo");
    QTest::newRow("leave it on") << "Chiudi senza spegnere" << true << true << 1 << QString();
    QTest::newRow("cancel") << "Cancel" << true << false << 1 << QString();
}

void TestLinkControl::testBenchQuestionAtExit()
{
    QFETCH(QString, answer);
    QFETCH(bool, acks);
    QFETCH(bool, closes);
    QFETCH(int, benchByte);
    QFETCH(QString, warning);
    SimulatedEcu ecu(QStringLiteral("benchexit"));
    frmProgPannel w(nullptr, shortTimings());
    w.show();
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    w.onBancoClicked();
    QTRY_COMPARE_WITH_TIMEOUT(ecu.sim.tableByte(49), quint8(1), 1000);
    if (!acks)
        ecu.sim.setFault(EcuSimulator::Fault::NoWriteAck);
    QSignalSpy closed(&w, &frmProgPannel::sgnClose);

    QString asked;
    MessageBoxSeen seen;
    answerNextDialog<QMessageBox>([&](QMessageBox *box) {
        asked = box->windowTitle();
        for (QAbstractButton *b : box->buttons())
            if (b->text() == answer)
                b->click();
        if (!warning.isEmpty())
            answerMessageBox(&seen);
    });
    w.close();
    QCOMPARE(asked, QStringLiteral("Modo banco attivo"));
    QTRY_COMPARE_WITH_TIMEOUT(closed.size(), closes ? 1 : 0, 3000);
    QCOMPARE(w.isVisible(), !closes);
    QCOMPARE(int(ecu.sim.tableByte(49)), benchByte);
    QCOMPARE(seen.title, warning);
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
    verifyDisconnected(w, ecu, shown);
    QVERIFY(!static_cast<QDialog *>(p.ricercaPorta())->isVisible());
    // Late readouts of the exchange in flight change nothing.
    QTest::qWait(150);
    QCOMPARE(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 0);
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

// An ECU that falls silent ends the link; the window disconnects before it
// warns. A "KO" that comes after the disconnection opens nothing and warns
// no more.
void TestLinkControl::silenceEndsTheLink()
{
    SimulatedEcu ecu(QStringLiteral("silence"));
    ecu.sim.setFixedRpm(2000);
    frmProgPannel w(nullptr, shortTimings(20, 3));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    const QVector<double> shown = p.profile();
    w.onLinkClicked();
    QTRY_COMPARE_WITH_TIMEOUT(widget<QLCDNumber>(w, "lcdRPM")->intValue(), 2000, 1000);

    MessageBoxSeen seen;
    bool connectedAtWarning = true;
    answerNextDialog<QMessageBox>([&](QMessageBox *box) {
        connectedAtWarning = p.connected();
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.seen = true;
        box->accept();
    }, 8000);
    ecu.sim.setFault(EcuSimulator::Fault::Silent);
    QTRY_VERIFY_WITH_TIMEOUT(seen.seen, 8000);
    QVERIFY(!connectedAtWarning);
    QCOMPARE(seen.title, CMsg::messages[15]);
    QCOMPARE(seen.text, CMsg::messages[15]);
    verifyDisconnected(w, ecu, shown);

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

    // Any text starting with "KO" disconnects.
    MessageBoxSeen seen;
    answerMessageBox(&seen);
    w.onErrorRT(QStringLiteral("KO_SND"));
    QVERIFY(seen.seen);
    QCOMPARE(seen.title, CMsg::messages[15]);
    verifyDisconnected(w, ecu, shown);
    static_cast<QDialog *>(p.ricercaPorta())->close();
}

QTEST_MAIN(TestLinkControl)
#include "tst_linkcontrol.moc"
