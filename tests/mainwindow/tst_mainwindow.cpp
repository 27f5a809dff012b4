// The main window as a user meets it without an ECU: start-up and settings,
// closing, profile files, flat profiles, and editing the curve.
#include "app/startup.h"
#include "gauge/crpmgauge.h"
#include "mainwindowprobe.h"
#include "comm/cgestreceive.h"
#include "comm/cgestrt.h"
#include "comm/cgestsend.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"
#include "portsearch/frmricercaporta.h"
#include "profile/canvaspicker.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTranslator>
#include <QWindow>
#include <qwt_scale_div.h>

Q_DECLARE_METATYPE(const QMetaObject *)

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void firstStart();
    void startupSettings_data();
    void startupSettings();
    void geometryRestored();
    void grownWindowGivesThePlotTheRoom();
    void closePaths_data();
    void closePaths();
    void profileFileRoundTrip();
    void profileFileOddSizes_data();
    void profileFileOddSizes();
    void profileFileCancelAndFailures();
    void unsavedGuard_data();
    void unsavedGuard();
    void flatProfile();
    void dragClampsAndRounds();
    void cursorCommandsStepAndNudge_data();
    void cursorCommandsStepAndNudge();
    void declaredSignalsAndSlots_data();
    void declaredSignalsAndSlots();

private:
    QTemporaryDir dir;
};

void TestMainWindow::initTestCase()
{
    useTestSettings();
    QVERIFY(dir.isValid());
}

void TestMainWindow::init()
{
    QSettings().clear();
}

void TestMainWindow::firstStart()
{
    QSettings settings;
    QTranslator translator;
    QCOMPARE(installStartupTranslator(settings, translator), QStringLiteral("ECUVantor-it.qm"));
    QCOMPARE(settings.value("Language").toString(), QStringLiteral("IT"));
    QCOMPARE(settings.contains("Cylinders"), false);

    paintWithRasterOnly();
    {
        frmProgPannel w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // A surface that could take OpenGL would load the GL driver at start.
        QCOMPARE(w.windowHandle()->surfaceType(), QSurface::RasterSurface);
        MainWindowProbe p(w);
        QCOMPARE(w.size(), QSize(1075, 536));
        QCOMPARE(shownTitle(w), QStringLiteral("ECU Vantor - V.2.0.0.1"));
        QCOMPARE(QSettings().value("Cylinders").toString(), QStringLiteral("2"));
        QVERIFY(widget<QAction>(w, "actionItaliano")->isChecked());
        QVERIFY(!widget<QAction>(w, "actionInglese")->isChecked());
        QVERIFY(widget<QAction>(w, "actionCentralina_2cilindri")->isChecked());
        QVERIFY(!widget<QAction>(w, "actionCentralina_4cilindri")->isChecked());
        QCOMPARE(p.maxRpm(), 12000.0);
        QCOMPARE(p.gauge()->maximum(), 12000);
        QCOMPARE(p.profile(), QVector<double>(41, 0.0));
        auto *plot = widget<QwtPlot>(w, "qwtPlot");
        QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), 12000.0);
        QCOMPARE(plot->axisScaleDiv(QwtPlot::yLeft).lowerBound(), -10.0);
        QCOMPARE(plot->axisScaleDiv(QwtPlot::yLeft).upperBound(), 25.0);

        // Initial states: only the search button works; expert controls hidden.
        QVERIFY(widget<QPushButton>(w, "btRicercaPorta")->isEnabled());
        for (const char *name : {"btStartLink", "btSaveFlash", "btReadFlash", "btBanco"})
            QVERIFY2(!widget<QPushButton>(w, name)->isEnabled(), name);
        QVERIFY(widget<QPushButton>(w, "btBanco")->isHidden());
        QVERIFY(widget<QLabel>(w, "lblAdcSonda")->isHidden());
        QVERIFY(widget<QLabel>(w, "lblLivelloSensore")->isHidden());
        QCOMPARE(widget<QLabel>(w, "lblAdcSonda")->text(), QStringLiteral("0"));
        QCOMPARE(widget<QSpinBox>(w, "spProfiloPiatto")->minimum(), -10);
        QCOMPARE(widget<QSpinBox>(w, "spProfiloPiatto")->maximum(), 25);
        QVERIFY(!QSettings().contains("Geometry"));
    }
    QVERIFY(QSettings().contains("Geometry"));
}

void TestMainWindow::startupSettings_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("cylinders");
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<bool>("italianChecked");
    QTest::addColumn<bool>("englishChecked");
    QTest::addColumn<bool>("four");
    QTest::newRow("IT, 2") << "IT" << "2" << "ECUVantor-it.qm" << true << false << false;
    QTest::newRow("EN, 4") << "EN" << "4" << "ECUVantor-en.qm" << false << true << true;
    QTest::newRow("other language, other count")
        << "de" << "banana" << "ECUVantor-en.qm" << false << false << true;
    QTest::newRow("lower-case it") << "it" << "2" << "ECUVantor-en.qm" << false << false << false;
}

void TestMainWindow::startupSettings()
{
    QFETCH(QString, language);
    QFETCH(QString, cylinders);
    QFETCH(QString, catalogue);
    QFETCH(bool, italianChecked);
    QFETCH(bool, englishChecked);
    QFETCH(bool, four);

    QSettings settings;
    settings.setValue("Language", language);
    settings.setValue("Cylinders", cylinders);
    QTranslator translator;
    QCOMPARE(installStartupTranslator(settings, translator), catalogue);
    QCOMPARE(settings.value("Language").toString(), language);
    QCoreApplication::removeTranslator(&translator);

    frmProgPannel w;
    MainWindowProbe p(w);
    QCOMPARE(widget<QAction>(w, "actionItaliano")->isChecked(), italianChecked);
    QCOMPARE(widget<QAction>(w, "actionInglese")->isChecked(), englishChecked);
    QCOMPARE(p.maxRpm(), four ? 17000.0 : 12000.0);
    QCOMPARE(widget<QAction>(w, "actionCentralina_4cilindri")->isChecked(), four);
    QCOMPARE(QSettings().value("Cylinders").toString(), four ? QStringLiteral("4") : QStringLiteral("2"));
}

void TestMainWindow::geometryRestored()
{
    QRect moved;
    {
        frmProgPannel w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setGeometry(40, 60, 1200, 640);
        QTRY_COMPARE(w.geometry().size(), QSize(1200, 640));
        moved = w.geometry();
    }
    frmProgPannel again;
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.geometry().size(), moved.size());
    QCOMPARE(again.geometry().topLeft(), moved.topLeft());
}

// A bigger window goes to the plot: the bottom panels keep their natural
// height (at the designed size they are a little short of it) and the dial
// keeps its size.
void TestMainWindow::grownWindowGivesThePlotTheRoom()
{
    frmProgPannel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    const QSize dial = p.gauge()->size();
    const char *panels[] = {"gbPortaComm", "gbLoadSave", "gbParametri", "gbProfilo", "gbRPMValue"};
    QMap<QString, int> natural;
    for (const QSize size : {QSize(1300, 700), QSize(1920, 1080)}) {
        w.resize(size);
        QTRY_COMPARE(w.size(), size);
        QCoreApplication::processEvents();
        for (const char *name : panels) {
            const int height = widget<QWidget>(w, name)->height();
            QCOMPARE(natural.value(name, height), height);
            natural[name] = height;
        }
        QCOMPARE(p.gauge()->size(), dial);
    }
    QVERIFY2(widget<QwtPlot>(w, "qwtPlot")->height() >= 0.6 * 1080,
             qPrintable(QString::number(widget<QwtPlot>(w, "qwtPlot")->height())));
}

void TestMainWindow::closePaths_data()
{
    QTest::addColumn<int>("path");
    QTest::newRow("menu exit") << 0;
    QTest::newRow("close button") << 1;
    QTest::newRow("title bar") << 2;
}

void TestMainWindow::closePaths()
{
    QFETCH(int, path);
    QSettings().remove("Geometry");
    auto *w = new frmProgPannel;
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    if (path == 0)
        widget<QAction>(*w, "actionUscita_Programma")->trigger();
    else if (path == 1)
        QTest::mousePress(widget<QPushButton>(*w, "btClose"), Qt::LeftButton);
    else
        w->close();
    QTRY_VERIFY(!w->isVisible());
    delete w;
    QVERIFY(QSettings().contains("Geometry"));
}

void TestMainWindow::profileFileRoundTrip()
{
    frmProgPannel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    auto *label = widget<QLabel>(w, "lblPathProfilo");
    const QString placeholder = label->text();
    QVERIFY(placeholder.startsWith('<'));

    // Saving right after start-up: 41 zero bytes, then K.
    const QString flat = dir.filePath("flat.prf");
    answerFileDialog(flat);
    QCOMPARE(p.saveProfileFile(), FileOutcome::Done);
    QFile f(flat);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(label->text()));
    QCOMPARE(f.readAll(), QByteArray(41, '\0') + QByteArray(1, '\1'));
    f.close();
    QCOMPARE(label->text(), flat);
    QVERIFY(p.profileFileShown());

    QVector<double> values;
    for (int i = 0; i < 41; ++i)
        values.append(i % 7 - 3);
    p.setProfile(values);
    widget<QSpinBox>(w, "spKIniezione")->setValue(3);
    // A name typed without ".prf" gets it, so that the open dialog lists it.
    const QString path = dir.filePath("edited.prf");
    answerFileDialog(dir.filePath("edited"));
    p.runCommand(EcuCommand::SaveProfile);
    QCOMPARE(label->text(), path);
    QFile saved(path);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    QCOMPARE(bytes.size(), 42);
    QCOMPARE(int(qint8(bytes.at(0))), -3);
    QCOMPARE(int(bytes.at(41)), 3);
    QCOMPARE(widget<QLabel>(w, "lblAvviso")->text(), QStringLiteral("Mappa salvata in ") + path);

    p.setProfile(QVector<double>(41, 0.0));
    widget<QSpinBox>(w, "spKIniezione")->setValue(1);
    answerNextDialog<QMessageBox>([&](QMessageBox *box) {
        answerFileDialog(path);
        box->button(QMessageBox::Discard)->click();
    });
    p.runCommand(EcuCommand::LoadProfile);
    QCOMPARE(p.profile(), values);
    QCOMPARE(widget<QSpinBox>(w, "spKIniezione")->value(), 3);
    QCOMPARE(label->text(), path);
    QCOMPARE(widget<QLabel>(w, "lblAvviso")->text(), QStringLiteral("Mappa caricata da ") + path);

    // The same file under the other variant keeps its values; x steps change.
    widget<QAction>(w, "actionCentralina_4cilindri")->trigger();
    QCOMPARE(label->text(), placeholder);
    QVERIFY(!p.profileFileShown());
    answerFileDialog(path);
    QCOMPARE(p.loadProfileFile(), FileOutcome::Done);
    QCOMPARE(p.profile(), values);
    QCOMPARE(p.curve()->sample(1).x(), 425.0);
}

void TestMainWindow::profileFileOddSizes_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QVector<double>>("expected"); // empty: refused, nothing changes
    QTest::addColumn<int>("k");
    QByteArray ten;
    for (int i = 0; i < 10; ++i)
        ten.append(char(i + 1));
    QTest::newRow("10 bytes: refused") << ten << QVector<double>() << 0;
    QTest::newRow("empty: refused") << QByteArray() << QVector<double>() << 0;
    QTest::newRow("41 bytes, no K: refused") << QByteArray(41, char(7)) << QVector<double>() << 0;
    QByteArray sixty(60, char(4));
    sixty[0] = char(0xF6);
    sixty[1] = char(0x32);
    sixty[2] = char(60);
    QVector<double> sixtyValues(41, 4.0);
    sixtyValues[0] = -10;
    sixtyValues[1] = 50;
    sixtyValues[2] = 60; // beyond the axis, shown unchanged
    QTest::newRow("60 bytes: the rest ignored") << sixty << sixtyValues << 4;
}

void TestMainWindow::profileFileOddSizes()
{
    QFETCH(QByteArray, content);
    QFETCH(QVector<double>, expected);
    QFETCH(int, k);
    const QString path = dir.filePath(QStringLiteral("odd-%1.prf").arg(content.size()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();

    frmProgPannel w;
    MainWindowProbe p(w);
    const QVector<double> before(41, 2.0);
    p.setProfile(before);
    widget<QSpinBox>(w, "spKIniezione")->setValue(3);
    auto *label = widget<QLabel>(w, "lblPathProfilo");
    const QString labelBefore = label->text();
    MessageBoxSeen box;
    if (expected.isEmpty())
        answerMessageBox(&box); // only a refusal shows one
    answerFileDialog(path);
    const FileOutcome outcome = p.loadProfileFile();
    if (expected.isEmpty()) {
        QCOMPARE(outcome, FileOutcome::OpenFailure);
        QVERIFY(box.seen);
        QVERIFY2(box.text.contains(QStringLiteral(" %1 byte").arg(content.size())),
                 qPrintable(box.text));
        QVERIFY(box.text.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(p.profile(), before);
        QCOMPARE(widget<QSpinBox>(w, "spKIniezione")->value(), 3);
        QCOMPARE(label->text(), labelBefore);
    } else {
        QCOMPARE(outcome, FileOutcome::Done);
        QCOMPARE(p.profile(), expected);
        QCOMPARE(widget<QSpinBox>(w, "spKIniezione")->value(), k);
    }
}

void TestMainWindow::profileFileCancelAndFailures()
{
    frmProgPannel w;
    MainWindowProbe p(w);
    auto *label = widget<QLabel>(w, "lblPathProfilo");
    const QString placeholder = label->text();
    QVector<double> values(41, 5.0);
    p.setProfile(values);

    answerFileDialog(QString());
    QCOMPARE(p.loadProfileFile(), FileOutcome::Cancelled);
    answerFileDialog(QString());
    QCOMPARE(p.saveProfileFile(), FileOutcome::Cancelled);

    // A file that vanishes between the dialog and the open changes nothing;
    // the message names the file and the reason.
    const QString gone = dir.filePath("gone.prf");
    QFile g(gone);
    QVERIFY(g.open(QIODevice::WriteOnly));
    g.write(QByteArray(42, char(9)));
    g.close();
    answerNextDialog<QFileDialog>([gone](QFileDialog *d) {
        chooseFile(d, gone);
        QFile::remove(gone);
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
    MessageBoxSeen openBox;
    answerMessageBox(&openBox);
    QCOMPARE(p.loadProfileFile(), FileOutcome::OpenFailure);
    QVERIFY2(openBox.text.contains(QDir::toNativeSeparators(gone)), qPrintable(openBox.text));
    QVERIFY(openBox.text.contains(QStringLiteral("No such file")));
    QCOMPARE(p.profile(), values);
    QCOMPARE(label->text(), placeholder);
    QVERIFY(!p.profileFileShown());

    // A save that cannot be written is not reported as done, says so and
    // leaves the label alone.
    const QString blocked = dir.filePath("no-such-dir/x.prf");
    answerNextDialog<QFileDialog>([blocked](QFileDialog *d) {
        chooseFile(d, blocked);
        static_cast<QDialog *>(d)->done(QDialog::Accepted);
    });
    MessageBoxSeen saveBox;
    answerMessageBox(&saveBox);
    QCOMPARE(p.saveProfileFile(), FileOutcome::OpenFailure);
    QVERIFY(saveBox.text.contains(QDir::toNativeSeparators(blocked)));
    QCOMPARE(label->text(), placeholder);
    QVERIFY(!QFile::exists(blocked));
}

// An edited profile is not replaced or dropped without a question; each
// answer does what it says. Without an edit nothing is asked.
void TestMainWindow::unsavedGuard_data()
{
    QTest::addColumn<bool>("close");
    QTest::addColumn<bool>("edit");
    QTest::addColumn<int>("answer");
    for (const bool close : {false, true}) {
        const QByteArray a = close ? "close, " : "load, ";
        QTest::newRow(a + "no edit") << close << false << int(QMessageBox::NoButton);
        QTest::newRow(a + "save") << close << true << int(QMessageBox::Save);
        QTest::newRow(a + "discard") << close << true << int(QMessageBox::Discard);
        QTest::newRow(a + "cancel") << close << true << int(QMessageBox::Cancel);
    }
}

void TestMainWindow::unsavedGuard()
{
    QFETCH(bool, close);
    QFETCH(bool, edit);
    QFETCH(int, answer);
    const QString file = dir.filePath("guard-load.prf");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(41, char(9)) + QByteArray(1, char(2)));
    f.close();
    const QString saved = dir.filePath("guard-saved.prf");
    QFile::remove(saved);

    frmProgPannel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    const QVector<double> edited(41, 4.0);
    if (edit) {
        p.setProfile(edited);
        QCOMPARE(shownTitle(w), QStringLiteral("ECU Vantor - V.2.0.0.1*"));
    }
    // The dialogs in the order they come: the question, the save dialog,
    // the open dialog.
    const auto openFile = [&]() {
        if (!close)
            answerFileDialog(file);
    };
    bool asked = false;
    if (edit) {
        answerNextDialog<QMessageBox>([&](QMessageBox *box) {
            asked = true;
            if (answer == QMessageBox::Save) {
                answerNextDialog<QFileDialog>([&](QFileDialog *d) {
                    chooseFile(d, saved);
                    static_cast<QDialog *>(d)->accept();
                    openFile();
                });
            } else if (answer == QMessageBox::Discard) {
                openFile();
            }
            box->button(QMessageBox::StandardButton(answer))->click();
        });
    } else {
        openFile();
    }
    if (close)
        w.close();
    else
        p.runCommand(EcuCommand::LoadProfile);

    QCOMPARE(asked, edit);
    const bool goesOn = answer != QMessageBox::Cancel;
    if (close)
        QCOMPARE(w.isVisible(), !goesOn);
    else
        QCOMPARE(p.profile(), goesOn ? QVector<double>(41, 9.0) : edited);
    QCOMPARE(QFile::exists(saved), answer == QMessageBox::Save);
    if (answer == QMessageBox::Save) {
        QFile s(saved);
        QVERIFY(s.open(QIODevice::ReadOnly));
        QCOMPARE(s.readAll(), QByteArray(41, char(4)) + QByteArray(1, char(1)));
    }
    if (goesOn && !close)
        QCOMPARE(shownTitle(w), QStringLiteral("ECU Vantor - V.2.0.0.1"));
}

void TestMainWindow::flatProfile()
{
    frmProgPannel w;
    MainWindowProbe p(w);
    auto *spin = widget<QSpinBox>(w, "spProfiloPiatto");
    spin->setValue(7);
    p.showFile(dir.filePath("x.prf"));
    QTest::mousePress(widget<QPushButton>(w, "btFlatProfile"), Qt::LeftButton);
    QCOMPARE(p.profile(), QVector<double>(41, 7.0));
    QVERIFY(!p.profileFileShown());
    QVERIFY(widget<QLabel>(w, "lblPathProfilo")->text().startsWith('<'));
    spin->setValue(99); // the range stops it at valueMax
    QCOMPARE(spin->value(), 25);
}

static QPoint pointPos(QwtPlot *plot, QwtPlotCurve *curve, int i)
{
    const QPointF s = curve->sample(i);
    return QPoint(qRound(plot->transform(QwtPlot::xBottom, s.x())),
                  qRound(plot->transform(QwtPlot::yLeft, s.y())));
}

static void press(QWidget *canvas, const QPoint &pos)
{
    QMouseEvent e(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &e);
}

static void moveHeld(QWidget *canvas, const QPoint &pos)
{
    QMouseEvent e(QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &e);
}

void TestMainWindow::dragClampsAndRounds()
{
    frmProgPannel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    auto *plot = widget<QwtPlot>(w, "qwtPlot");
    QWidget *canvas = plot->canvas();

    // A press far from every point selects nothing, and a move does nothing.
    press(canvas, pointPos(plot, p.curve(), 5) + QPoint(0, -40));
    QCOMPARE(p.picker()->selectedIndex(), -1);
    moveHeld(canvas, QPoint(10, 10));
    QCOMPARE(p.profile(), QVector<double>(41, 0.0));

    press(canvas, pointPos(plot, p.curve(), 5) + QPoint(3, 2));
    QCOMPARE(p.picker()->selectedIndex(), 5);
    moveHeld(canvas, QPoint(0, -200));
    QCOMPARE(p.profile()[5], 25.0);
    moveHeld(canvas, QPoint(0, canvas->height() + 200));
    QCOMPARE(p.profile()[5], -10.0);
    // Only the selected point moved, and it never moves sideways.
    QCOMPARE(p.profile().count(0.0), 40);
    QCOMPARE(p.curve()->sample(5).x(), 1500.0);

    // Nearest whole number, exact halves going up.
    QCOMPARE(CanvasPicker::roundHalfUp(2.5), 3.0);
    QCOMPARE(CanvasPicker::roundHalfUp(-2.5), -2.0);
    QCOMPARE(CanvasPicker::roundHalfUp(-2.6), -3.0);
    // Rows worth 2.5 and -2.5: put them on whole pixels by shifting the
    // scale, then drag there.
    for (double target : {2.5, -2.5}) {
        const QwtScaleMap map = plot->canvasMap(QwtPlot::yLeft);
        const double unitsPerPixel = (map.s2() - map.s1()) / (map.p2() - map.p1());
        const double t = map.transform(target);
        const double shift = (t - std::round(t)) * unitsPerPixel;
        const QwtScaleDiv div = plot->axisScaleDiv(QwtPlot::yLeft);
        plot->setAxisScale(QwtPlot::yLeft, div.lowerBound() + shift, div.upperBound() + shift, 5);
        plot->replot();
        const int row = int(std::round(plot->canvasMap(QwtPlot::yLeft).transform(target)));
        double at = plot->invTransform(QwtPlot::yLeft, row);
        QVERIFY2(qAbs(at - target) < 1e-6, qPrintable(QString::number(at, 'g', 17)));
        if (at < target) { // lift a hair below the half onto it
            const QwtScaleDiv d = plot->axisScaleDiv(QwtPlot::yLeft);
            const double lift = target - at + 1e-9;
            plot->setAxisScale(QwtPlot::yLeft, d.lowerBound() + lift, d.upperBound() + lift, 5);
            plot->replot();
            at = plot->invTransform(QwtPlot::yLeft, row);
        }
        QVERIFY(at >= target && at - target < 1e-6);
        moveHeld(canvas, QPoint(0, row));
        QCOMPARE(p.profile()[5], target > 0 ? 3.0 : -2.0);
    }
}

void TestMainWindow::cursorCommandsStepAndNudge_data()
{
    QTest::addColumn<int>("hardware");
    QTest::addColumn<int>("step");
    QTest::newRow("hardware 10: 10 pixels") << 10 << 10;
    QTest::newRow("hardware 11: 5 pixels") << 11 << 5;
}

void TestMainWindow::cursorCommandsStepAndNudge()
{
    QFETCH(int, hardware);
    QFETCH(int, step);
    frmProgPannel w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MainWindowProbe p(w);
    CDevInfo info;
    info.hardware = quint8(hardware);
    w.onGetDeviceInfo(info);
    widget<QAction>(w, "actionCentralina_2cilindri")->trigger(); // rebuild with the new range
    QCOMPARE(p.keyStepPixels(), step);
    auto *plot = widget<QwtPlot>(w, "qwtPlot");
    QWidget *canvas = plot->canvas();

    press(canvas, pointPos(plot, p.curve(), 40));
    QCOMPARE(p.picker()->selectedIndex(), 40);
    QTest::keyClick(&w, Qt::Key_Right);
    QCOMPARE(p.picker()->selectedIndex(), 0);
    QTest::keyClick(&w, Qt::Key_Left);
    QCOMPARE(p.picker()->selectedIndex(), 40);
    w.onMuoviSinistra();
    QCOMPARE(p.picker()->selectedIndex(), 39);

    // Up moves the point step pixels up, then to a whole number.
    const double before = p.profile()[39];
    const double row = plot->transform(QwtPlot::yLeft, before) - step;
    const double expected =
        qBound(double(p.valueMin()), CanvasPicker::roundHalfUp(plot->invTransform(QwtPlot::yLeft, int(row))),
               double(p.valueMax()));
    QTest::keyClick(&w, Qt::Key_Up);
    QCOMPARE(p.profile()[39], expected);
    QVERIFY(p.profile()[39] > before);
    const double up = p.profile()[39];
    QTest::keyClick(&w, Qt::Key_Down);
    QVERIFY(p.profile()[39] < up);
    // Many nudges up stop at the top of the range.
    for (int i = 0; i < 200; ++i)
        w.onMuoviSu();
    QCOMPARE(p.profile()[39], double(p.valueMax()));
    QCOMPARE(p.profile().count(0.0), 40);
}

// Every class whose signals and slots the description lists declares those
// and no others, in the description's order: what the program adds lives in
// classes of its own, or in lambdas.
void TestMainWindow::declaredSignalsAndSlots_data()
{
    QTest::addColumn<const QMetaObject *>("meta");
    QTest::addColumn<QStringList>("methods");
    QTest::newRow("frmProgPannel")
        << &frmProgPannel::staticMetaObject
        << QStringList{"sgnClose()", "onCercaPortaClicked()", "onLinkClicked()",
                       "onBancoClicked()", "onIniezioneChanged(int)", "onSaveFlashClicked()",
                       "onReadFlashClicked()", "onFlatProfileClicked()", "onLoadProfileClicked()",
                       "onSaveProfileClicked()", "onMuoviDestra()", "onMuoviSinistra()",
                       "onMuoviSu()", "onMuoviGiu()", "onItalianoClicked()", "onIngleseClicked()",
                       "onSelect2Cylinders()", "onSelect4Cylinders()", "onCloseClicked()",
                       "onAboutClicked()", "onExpertModeClicked()", "onReceiveSerialData()",
                       "onSendSerialData(QByteArray)", "onPercentSndRcv(int)",
                       "onClearUpdateBar()", "onEsitoSndRcv(QString)",
                       "onEsitoRicercaPorta(QString,QString)", "onUpdateValAdc(uchar)",
                       "onUpdateRpm(int)", "onErrorRT(QString)", "execCmd(QString)",
                       "onGetPassword(QString)", "onGetDeviceInfo(CDevInfo&)"};
    QTest::newRow("CanvasPicker") << &CanvasPicker::staticMetaObject << QStringList();
    QTest::newRow("frmRicercaPorta")
        << &frmRicercaPorta::staticMetaObject
        << QStringList{"sgnSndByte(QByteArray)", "sgnEsito(QString,QString)", "sgnClose()",
                       "sgnDeviceInfo(CDevInfo&)", "onSelezionePortaClicked(QString)",
                       "onSendSerialData(QByteArray)", "onTimeout()", "onClose()"};
    QTest::newRow("frmLogin") << &frmLogin::staticMetaObject
                              << QStringList{"sgnPassword(QString)", "onCloseClicked()"};
    QTest::newRow("frmAbout") << &frmAbout::staticMetaObject << QStringList();
    const QStringList transfer{"sgnSndByte(QByteArray)", "sgnPercent(int)", "sgnEsito(QString)"};
    QTest::newRow("CGestSend") << &CGestSend::staticMetaObject << transfer;
    QTest::newRow("CGestReceive") << &CGestReceive::staticMetaObject << transfer;
    QTest::newRow("CGestRT") << &CGestRT::staticMetaObject
                             << QStringList{"sgnSndByte(QByteArray)", "sgnRpm(int)",
                                            "sgnADC(uchar)", "sgnIdxCella(uchar)",
                                            "sgnValCella(uchar)", "sgnError(QString)",
                                            "sgnExecCmd(QString)"};
}

void TestMainWindow::declaredSignalsAndSlots()
{
    QFETCH(const QMetaObject *, meta);
    QFETCH(QStringList, methods);
    // Methods declared by the class itself or by a base of the program's own
    // between it and Qt's classes.
    const QMetaObject *qtBase = meta;
    while (qtBase && !QByteArray(qtBase->className()).startsWith('Q'))
        qtBase = qtBase->superClass();
    QStringList declared;
    for (int i = qtBase->methodCount(); i < meta->methodCount(); ++i)
        declared << QString::fromLatin1(meta->method(i).methodSignature());
    QCOMPARE(declared, methods);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
