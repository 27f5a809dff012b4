// The ECU variant and the identity the ECU reports; the live readouts of
// engine speed and probe level, transfer progress, expert mode and About.
#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"
#include "ecuconnection.h"
#include "gauge/crpmgauge.h"
#include "mainwindowprobe.h"

#include <QAction>
#include <QLCDNumber>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <qwt_scale_div.h>

namespace {

const char *const Logo2 = ":/images/imgs/vantor2.jpg";
const char *const Logo4 = ":/images/imgs/vantor4.jpg";
// Without an installed catalogue the placeholder is the source text.
const QString NoProfile = QStringLiteral("<Nessun profilo>");

QImage logoOf(frmProgPannel &w)
{
    return widget<QLabel>(w, "lblLogo")->pixmap(Qt::ReturnByValue).toImage();
}

QPair<double, double> axisRange(frmProgPannel &w, int axis)
{
    const QwtScaleDiv div = widget<QwtPlot>(w, "qwtPlot")->axisScaleDiv(axis);
    return {div.lowerBound(), div.upperBound()};
}

CDevInfo devInfo(quint8 hardware, quint8 cylinders, char major, char minor, char revision)
{
    CDevInfo info;
    info.hardware = hardware;
    info.cylinders = cylinders;
    info.versionMajor = major;
    info.versionMinor = minor;
    info.revision = revision;
    return info;
}

void press(QAbstractButton *button)
{
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
}

} // namespace

class TestVariant : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void selectVariant_data();
    void selectVariant();
    void deviceReport_data();
    void deviceReport();
    void reportLocksAndUnlocksVariant();
    void liveReadoutsFromEcu();
    void readoutsDroppedWhileLinkButtonDisabled();
    void probeLevelAndProgress();
    void expertModeLogin();
    void expertModeRejected_data();
    void expertModeRejected();
    void aboutDialog();
};

void TestVariant::initTestCase()
{
    useTestSettings();
    QVERIFY(!QImage(QLatin1String(Logo2)).isNull());
    QVERIFY(QImage(QLatin1String(Logo2)) != QImage(QLatin1String(Logo4)));
}

void TestVariant::init()
{
    QSettings().clear();
}

void TestVariant::selectVariant_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("chooseFour");
    QTest::addColumn<int>("answer"); // to the question about an edited profile; 0: not edited
    QTest::newRow("2, then 2 again") << "2" << false << 0;
    QTest::newRow("2, then 4") << "2" << true << 0;
    QTest::newRow("4, then 4 again") << "4" << true << 0;
    QTest::newRow("4, then 2") << "4" << false << 0;
    QTest::newRow("2, then 4, edited: discard") << "2" << true << int(QMessageBox::Discard);
    QTest::newRow("2, then 4, edited: cancel") << "2" << true << int(QMessageBox::Cancel);
}

void TestVariant::selectVariant()
{
    QFETCH(QString, stored);
    QFETCH(bool, chooseFour);
    QFETCH(int, answer);
    QSettings().setValue("Cylinders", stored);

    frmProgPannel w;
    MainWindowProbe p(w);
    // A profile from a file is on screen, edited or not.
    p.setProfile(QVector<double>(41, 7.0));
    QTemporaryDir files;
    p.showFile(files.filePath(QStringLiteral("a.prf")));
    auto *path = widget<QLabel>(w, "lblPathProfilo");
    if (answer)
        p.setProfile(QVector<double>(41, 8.0));
    bool asked = false;
    answerNextDialog<QMessageBox>(
        [&](QMessageBox *box) {
            asked = true;
            box->button(QMessageBox::StandardButton(answer))->click();
        },
        answer ? 10000 : 100);

    widget<QAction>(w, chooseFour ? "actionCentralina_4cilindri" : "actionCentralina_2cilindri")
        ->trigger();
    QCOMPARE(asked, answer != 0);
    if (!answer)
        QTest::qWait(150); // the answerer must not outlive the row
    if (answer == QMessageBox::Cancel) {
        // Nothing changes, the checked variant included.
        const bool wasFour = stored == QLatin1String("4");
        QCOMPARE(widget<QAction>(w, "actionCentralina_4cilindri")->isChecked(), wasFour);
        QCOMPARE(widget<QAction>(w, "actionCentralina_2cilindri")->isChecked(), !wasFour);
        QCOMPARE(QSettings().value("Cylinders").toString(), stored);
        QCOMPARE(p.maxRpm(), wasFour ? 17000.0 : 12000.0);
        QCOMPARE(p.profile(), QVector<double>(41, 8.0));
        QCOMPARE(path->text(), files.filePath(QStringLiteral("a.prf")));
        return;
    }

    const int max = chooseFour ? 17000 : 12000;
    QCOMPARE(widget<QAction>(w, "actionCentralina_4cilindri")->isChecked(), chooseFour);
    QCOMPARE(widget<QAction>(w, "actionCentralina_2cilindri")->isChecked(), !chooseFour);
    QCOMPARE(QSettings().value("Cylinders").toString(),
             chooseFour ? QStringLiteral("4") : QStringLiteral("2"));
    QCOMPARE(p.maxRpm(), double(max));
    QCOMPARE(axisRange(w, QwtPlot::xBottom), qMakePair(0.0, double(max)));
    QCOMPARE(axisRange(w, QwtPlot::yLeft), qMakePair(-10.0, 25.0));

    CRpmGauge *gauge = p.gauge();
    QCOMPARE(gauge->skin(), chooseFour ? QStringLiteral("RPMbackground16000.svg")
                                       : QStringLiteral("RPMbackground12000.svg"));
    QCOMPARE(gauge->maximum(), max);
    QCOMPARE(gauge->endAngle(), chooseFour ? 149.0 : 133.0);
    QCOMPARE(gauge->minimum(), 0);
    QCOMPARE(gauge->startAngle(), -130.0);

    QCOMPARE(logoOf(w), QImage(QLatin1String(chooseFour ? Logo4 : Logo2)));

    // The profile is flat at 0 with the new speed steps; the file is gone.
    QCOMPARE(p.profile(), QVector<double>(41, 0.0));
    QCOMPARE(p.curve()->dataSize(), size_t(41));
    QCOMPARE(p.curve()->sample(1).x(), max / 40.0);
    QCOMPARE(p.curve()->sample(40).x(), double(max));
    QVERIFY(!p.profileFileShown());
    QCOMPARE(path->text(), NoProfile);
}

void TestVariant::deviceReport_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<CDevInfo>("info");
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("valueMin");
    QTest::addColumn<float>("valueMax");
    QTest::addColumn<int>("axisStep");
    QTest::addColumn<int>("keyStep");
    QTest::addColumn<bool>("four");
    QTest::addColumn<bool>("locked");

    QTest::newRow("serial route, 2-cylinder setting")
        << "2" << devInfo(10, 0, '1', '1', '0') << "ECU: HW10 - V1.1-R0" << -10.0f << 25.0f << 5
        << 10 << false << false;
    QTest::newRow("serial route, 4-cylinder setting")
        << "4" << devInfo(10, 0, '1', '1', '0') << "ECU: HW10 - V1.1-R0" << -10.0f << 25.0f << 5
        << 10 << true << false;
    QTest::newRow("HW21, 4 cylinders")
        << "2" << devInfo(21, 4, '2', '0', '3') << "ECU: HW21 - CYL4 - V2.0-R3" << -20.0f << 50.0f
        << 10 << 5 << true << true;
    QTest::newRow("HW10 exactly, 2 cylinders")
        << "4" << devInfo(10, 2, '3', '1', '7') << "ECU: HW10 - CYL2 - V3.1-R7" << -10.0f << 25.0f
        << 5 << 10 << false << true;
    QTest::newRow("HW11, 3 cylinders")
        << "2" << devInfo(11, 3, '1', '1', '0') << "ECU: HW11 - CYL3 - V1.1-R0" << -20.0f << 50.0f
        << 10 << 5 << false << false;
    QTest::newRow("HW255, no cylinders")
        << "2" << devInfo(255, 0, '9', 'a', 'Z') << "ECU: HW255 - V9.a-RZ" << -20.0f << 50.0f
        << 10 << 5 << false << false;
}

void TestVariant::deviceReport()
{
    QFETCH(QString, stored);
    QFETCH(CDevInfo, info);
    QFETCH(QString, text);
    QFETCH(float, valueMin);
    QFETCH(float, valueMax);
    QFETCH(int, axisStep);
    QFETCH(int, keyStep);
    QFETCH(bool, four);
    QFETCH(bool, locked);
    QSettings().setValue("Cylinders", stored);

    frmProgPannel w;
    MainWindowProbe p(w);
    QLabel *label = p.deviceInfoLabel();
    QVERIFY(!w.statusBar()->isAncestorOf(label));
    const QVector<double> edited(41, 4.0);
    p.setProfile(edited);

    const int steps = p.model().undoStack()->count();
    CDevInfo report = info;
    w.onGetDeviceInfo(report);
    // Whatever the report rebuilds, the history of edits stays as it was.
    QCOMPARE(p.model().undoStack()->count(), steps);

    QCOMPARE(p.devInfo().hardware, info.hardware);
    QCOMPARE(p.devInfo().cylinders, info.cylinders);
    QCOMPARE(p.devInfo().revision, info.revision);
    QCOMPARE(label->text(), text);
    QVERIFY(w.statusBar()->isAncestorOf(label));
    QCOMPARE(label->frameShape(), QFrame::Box);
    QCOMPARE(label->frameShadow(), QFrame::Sunken);

    QCOMPARE(p.valueMin(), valueMin);
    QCOMPARE(p.valueMax(), valueMax);
    QCOMPARE(p.valueAxisStep(), axisStep);
    QCOMPARE(p.keyStepPixels(), keyStep);

    const int max = four ? 17000 : 12000;
    QCOMPARE(p.maxRpm(), double(max));
    QCOMPARE(p.gauge()->maximum(), max);
    QCOMPARE(axisRange(w, QwtPlot::xBottom), qMakePair(0.0, double(max)));
    QCOMPARE(widget<QAction>(w, "actionCentralina_4cilindri")->isChecked(), four);
    QCOMPARE(widget<QAction>(w, "actionCentralina_2cilindri")->isChecked(), !four);
    QCOMPARE(QSettings().value("Cylinders").toString(),
             four ? QStringLiteral("4") : QStringLiteral("2"));
    QCOMPARE(logoOf(w), QImage(QLatin1String(four ? Logo4 : Logo2)));
    QCOMPARE(widget<QAction>(w, "actionCentralina_2cilindri")->isEnabled(), !locked);
    QCOMPARE(widget<QAction>(w, "actionCentralina_4cilindri")->isEnabled(), !locked);

    auto *flat = widget<QSpinBox>(w, "spProfiloPiatto");
    if (locked) {
        // The ECU imposed the variant: the plot is rebuilt with the new range.
        QCOMPARE(axisRange(w, QwtPlot::yLeft), qMakePair(double(valueMin), double(valueMax)));
        QCOMPARE(flat->minimum(), int(valueMin));
        QCOMPARE(flat->maximum(), int(valueMax));
        // The profile shown stays: the read after the connection asks first.
        QCOMPARE(p.profile(), edited);
        QCOMPARE(p.curve()->sample(40).x(), double(max));
    } else {
        // The range is only stored; the plot keeps its limits and the curve.
        QCOMPARE(axisRange(w, QwtPlot::yLeft), qMakePair(-10.0, 25.0));
        QCOMPARE(flat->minimum(), -10);
        QCOMPARE(flat->maximum(), 25);
        QCOMPARE(p.profile(), edited);

        // The next selection of a variant takes the stored range into use
        // (the edited profile is discarded after a question).
        answerNextDialog<QMessageBox>(
            [](QMessageBox *box) { box->button(QMessageBox::Discard)->click(); });
        widget<QAction>(w, "actionCentralina_2cilindri")->trigger();
        QCOMPARE(axisRange(w, QwtPlot::yLeft), qMakePair(double(valueMin), double(valueMax)));
        QCOMPARE(flat->minimum(), int(valueMin));
        QCOMPARE(flat->maximum(), int(valueMax));
        QCOMPARE(axisRange(w, QwtPlot::xBottom), qMakePair(0.0, 12000.0));
    }
}

void TestVariant::reportLocksAndUnlocksVariant()
{
    frmProgPannel w;
    MainWindowProbe p(w);
    auto *two = widget<QAction>(w, "actionCentralina_2cilindri");
    auto *four = widget<QAction>(w, "actionCentralina_4cilindri");

    CDevInfo locking = devInfo(21, 4, '2', '0', '3');
    w.onGetDeviceInfo(locking);
    QVERIFY(!two->isEnabled());
    QVERIFY(!four->isEnabled());

    // A later report without a cylinder count unlocks the menu, keeps the
    // variant and the text follows the new report.
    CDevInfo plain = devInfo(10, 0, '1', '1', '0');
    w.onGetDeviceInfo(plain);
    QVERIFY(two->isEnabled());
    QVERIFY(four->isEnabled());
    QVERIFY(four->isChecked());
    QCOMPARE(p.maxRpm(), 17000.0);
    QCOMPARE(p.deviceInfoLabel()->text(), QStringLiteral("ECU: HW10 - V1.1-R0"));
    QCOMPARE(p.valueMax(), 25.0f);
    // Still on the large range until a variant is selected.
    QCOMPARE(axisRange(w, QwtPlot::yLeft), qMakePair(-20.0, 50.0));
    four->trigger();
    QCOMPARE(axisRange(w, QwtPlot::yLeft), qMakePair(-10.0, 25.0));
    QCOMPARE(QSettings().value("Cylinders").toString(), QStringLiteral("4"));
}

void TestVariant::liveReadoutsFromEcu()
{
    SimulatedEcu ecu(QStringLiteral("readouts"));
    ecu.sim.setLiveValues(9500, 0, 0, 0);
    CWorkerTimings t = shortTimings();
    t.linkTimeoutMs = 60;
    frmProgPannel w(nullptr, t);
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    auto *lcd = widget<QLCDNumber>(w, "lcdRPM");
    auto *adc = widget<QLabel>(w, "lblAdcSonda");
    CRpmGauge *gauge = p.gauge();
    QCOMPARE(lcd->intValue(), 0);
    // The highest speed the ECU can report fits the LCD.
    QVERIFY(!lcd->checkOverflow(65535));

    press(widget<QPushButton>(w, "btStartLink"));
    QVERIFY(p.linkOn());
    QTRY_COMPARE(lcd->intValue(), 9500);
    QCOMPARE(gauge->value(), 9500);
    QCOMPARE(adc->text(), QStringLiteral("0"));

    ecu.sim.setLiveValues(9500, 255, 0, 0);
    QTRY_COMPARE(adc->text(), QStringLiteral("255"));
    ecu.sim.setLiveValues(9500, 0, 0, 0);
    QTRY_COMPARE(adc->text(), QStringLiteral("0"));

    // Beyond the 2-cylinder dial: the LCD shows it, the needle stops at the top.
    ecu.sim.setFixedRpm(20000);
    QTRY_COMPARE(lcd->intValue(), 20000);
    QCOMPARE(gauge->value(), 12000);

    // A variant chosen while the link runs does not stop it; the gauge
    // takes its new maximum with the next readings.
    widget<QAction>(w, "actionCentralina_4cilindri")->trigger();
    QVERIFY(p.linkOn());
    QTRY_COMPARE(gauge->value(), 17000);
    QCOMPARE(lcd->intValue(), 20000);
    ecu.sim.setFixedRpm(3000);
    QTRY_COMPARE(lcd->intValue(), 3000);
    QCOMPARE(gauge->value(), 3000);
}

void TestVariant::readoutsDroppedWhileLinkButtonDisabled()
{
    frmProgPannel w;
    MainWindowProbe p(w);
    auto *lcd = widget<QLCDNumber>(w, "lcdRPM");
    auto *adc = widget<QLabel>(w, "lblAdcSonda");
    auto *link = widget<QPushButton>(w, "btStartLink");

    // Not connected: the link button is disabled and readings are dropped.
    QVERIFY(!link->isEnabled());
    w.onUpdateRpm(5000);
    w.onUpdateValAdc(77);
    QTest::qWait(100); // longer than the readouts' pace
    QCOMPARE(lcd->intValue(), 0);
    QCOMPARE(p.gauge()->value(), 0);
    QCOMPARE(adc->text(), QStringLiteral("0"));

    p.session().connectTo(QStringLiteral("HID")); // no exchange follows
    QVERIFY(link->isEnabled());
    w.onUpdateRpm(5000);
    w.onUpdateValAdc(77);
    QTRY_COMPARE(lcd->intValue(), 5000);
    QCOMPARE(p.gauge()->value(), 5000);
    QCOMPARE(adc->text(), QStringLiteral("77"));

    // A transfer disables the controls: readings arriving then are dropped.
    QVERIFY(p.session().requestCommand(EcuCommand::FlashRead));
    QVERIFY(!link->isEnabled());
    w.onUpdateRpm(6000);
    w.onUpdateValAdc(88);
    QTest::qWait(100); // longer than the readouts' pace
    QCOMPARE(lcd->intValue(), 5000);
    QCOMPARE(p.gauge()->value(), 5000);
    QCOMPARE(adc->text(), QStringLiteral("77"));
}

void TestVariant::probeLevelAndProgress()
{
    frmProgPannel w;
    auto *adc = widget<QLabel>(w, "lblAdcSonda");
    MainWindowProbe(w).session().connectTo(QStringLiteral("HID")); // readings are taken
    // Updated while hidden (expert mode off), with no leading zeros.
    QVERIFY(adc->isHidden());
    for (uchar level : {uchar(255), uchar(0), uchar(7), uchar(100)}) {
        w.onUpdateValAdc(level);
        QTRY_COMPARE(adc->text(), QString::number(level));
    }

    auto *bar = widget<QProgressBar>(w, "progressBar");
    QCOMPARE(bar->value(), 0);
    for (int percent : {1, 42, 100}) {
        w.onPercentSndRcv(percent);
        QCOMPARE(bar->value(), percent);
    }
    w.onClearUpdateBar();
    QCOMPARE(bar->value(), 0);
}

void TestVariant::expertModeLogin()
{
    frmProgPannel w;
    MainWindowProbe p(w);
    auto *action = widget<QAction>(w, "actionModo_Esperto");
    QDialog *login = p.loginDialog();
    auto *field = login->findChild<QLineEdit *>(QStringLiteral("lePassword"));
    auto *confirm = login->findChild<QPushButton *>(QStringLiteral("btLogin"));
    QVERIFY(field && confirm);
    const QList<QWidget *> controls = {widget<QPushButton>(w, "btBanco"),
                                       widget<QLabel>(w, "lblAdcSonda"),
                                       widget<QLabel>(w, "lblLivelloSensore")};
    auto allHidden = [&] {
        for (QWidget *c : controls)
            if (!c->isHidden())
                return false;
        return true;
    };
    auto allShown = [&] {
        for (QWidget *c : controls)
            if (c->isHidden())
                return false;
        return true;
    };
    QVERIFY(allHidden());
    field->setText(QStringLiteral("left over"));

    for (int round = 0; round < 2; ++round) {
        // Ticking asks for the password with an empty field.
        action->trigger();
        QVERIFY(action->isChecked());
        QVERIFY(login->isVisible());
        QVERIFY(login->isModal());
        QCOMPARE(field->text(), QString());
        QVERIFY(allHidden());

        QTest::keyClicks(field, QStringLiteral("5821"));
        QTest::mousePress(confirm, Qt::LeftButton);
        QVERIFY(!login->isVisible());
        QVERIFY(action->isChecked());
        QVERIFY(allShown());

        // Unticking hides them without asking.
        action->trigger();
        QVERIFY(!action->isChecked());
        QVERIFY(!login->isVisible());
        QVERIFY(allHidden());
    }
}

void TestVariant::expertModeRejected_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("how"); // 0 confirm, 1 close the window, 2 Escape
    QTest::newRow("wrong password") << "1234" << 0;
    QTest::newRow("password and a blank") << "5821 " << 0;
    QTest::newRow("prefix of the password") << "582" << 0;
    QTest::newRow("empty, confirmed") << "" << 0;
    QTest::newRow("empty, window closed") << "" << 1;
    QTest::newRow("right password, window closed") << "5821" << 1;
    QTest::newRow("empty, Escape") << "" << 2;
}

void TestVariant::expertModeRejected()
{
    QFETCH(QString, typed);
    QFETCH(int, how);

    frmProgPannel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    auto *action = widget<QAction>(w, "actionModo_Esperto");
    QDialog *login = p.loginDialog();
    auto *field = login->findChild<QLineEdit *>(QStringLiteral("lePassword"));
    QSignalSpy spy(p.loginDialog(), &frmLogin::sgnPassword);

    action->trigger();
    QVERIFY(login->isVisible());
    QTest::keyClicks(field, typed);
    if (how == 0)
        QTest::mousePress(login->findChild<QPushButton *>(QStringLiteral("btLogin")),
                          Qt::LeftButton);
    else if (how == 1)
        login->close();
    else
        QTest::keyClick(field, Qt::Key_Escape);

    QTRY_VERIFY(!login->isVisible());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), typed);
    const bool accepted = typed == QLatin1String("5821");
    QCOMPARE(action->isChecked(), accepted);
    QCOMPARE(widget<QPushButton>(w, "btBanco")->isHidden(), !accepted);
    QCOMPARE(widget<QLabel>(w, "lblAdcSonda")->isHidden(), !accepted);
    QCOMPARE(widget<QLabel>(w, "lblLivelloSensore")->isHidden(), !accepted);
}

void TestVariant::aboutDialog()
{
    frmProgPannel w;
    MainWindowProbe p(w);
    frmAbout *about = p.aboutDialog();
    QVERIFY(about && !about->isVisible());
    auto *action = widget<QAction>(w, "actionInformazioni");

    action->trigger();
    QVERIFY(about->isVisible());
    about->close();
    QVERIFY(!about->isVisible());
    action->trigger();
    QVERIFY(about->isVisible());
    QCOMPARE(p.aboutDialog(), about);
    QCOMPARE(w.findChildren<frmAbout *>().size(), 1);
    QVERIFY(about->parentWidget() == &w);
}

QTEST_MAIN(TestVariant)
#include "tst_variant.moc"
