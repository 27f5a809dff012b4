// Editing like a tuner through the real main window against the simulator:
// a shaped range, undone and redone and saved; the reference after a read;
// the live cell on the plot.
#include "ecuconnection.h"
#include "gauge/crpmgauge.h"
#include "mainwindow/creadoutpacer.h"
#include "profile/wholenumberdialog.h"

#include <QAction>
#include <QLCDNumber>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

class TestEditing : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void shapeUndoRedoSave();
    void liveCellFollowsTheEngine();

private:
    QTemporaryDir dir;
};

void TestEditing::initTestCase()
{
    useTestSettings();
    QVERIFY(dir.isValid());
}

// Whole numbers, halves up, within the default range -10..25.
static double whole(double v)
{
    return qBound(-10.0, std::floor(v + 0.5), 25.0);
}

// A key press as the user types it into the window. The offscreen platform
// leaves no window active after a dialog closed: make it active first.
static void key(frmProgPannel &w, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    if (QApplication::activeWindow() != &w)
        QApplication::setActiveWindow(&w);
    QTest::keyClick(&w, k, mods);
}

static void press(QWidget *canvas, const QPoint &pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, mods);
    QApplication::sendEvent(canvas, &e);
}

void TestEditing::shapeUndoRedoSave()
{
    SimulatedEcu ecu(QStringLiteral("edit"));
    const int zigzag[] = {12, 2, 14, 3, 10, 6}; // points 5..10
    for (int i = 0; i < 6; ++i)
        ecu.sim.setTableByte(5 + i, quint8(zigzag[i]));
    frmProgPannel w(nullptr, shortTimings());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MainWindowProbe p(w);
    QVERIFY(!p.referenceCurve()->isVisible());
    QVERIFY(connectToEcu(w, ecu.path()));

    // The reference after a read is the ECU's profile.
    QVector<double> ecuProfile;
    for (int i = 0; i < 41; ++i)
        ecuProfile.append(static_cast<qint8>(ecu.sim.tableByte(i)));
    QCOMPARE(p.model().reference(), ecuProfile);
    QCOMPARE(p.profile(), ecuProfile);
    QVERIFY(p.referenceCurve()->isVisible());
    QVERIFY(!p.model().isModified());

    // Point 5 by the mouse, then Shift+click on 8 and Shift+Right to 10.
    auto *plot = widget<QwtPlot>(w, "qwtPlot");
    auto at = [&](int i) {
        return QPoint(qRound(plot->transform(QwtPlot::xBottom, p.curve()->sample(i).x())),
                      qRound(plot->transform(QwtPlot::yLeft, p.curve()->sample(i).y())));
    };
    press(plot->canvas(), at(5));
    press(plot->canvas(), at(8), Qt::ShiftModifier);
    key(w, Qt::Key_Right, Qt::ShiftModifier);
    key(w, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(p.model().first(), 5);
    QCOMPARE(p.model().last(), 10);
    QCOMPARE(p.rangeCurve()->dataSize(), size_t(6));
    QVERIFY(p.selectionLabel()->text().contains(QLatin1String("3000")));

    // Smooth, scale by +40 %, interpolate; what each promises, worked out here.
    QVector<double> v = ecuProfile;
    key(w, Qt::Key_L, Qt::ControlModifier);
    for (int i = 6; i < 10; ++i)
        v[i] = whole((ecuProfile[i - 1] + 2 * ecuProfile[i] + ecuProfile[i + 1]) / 4);
    QCOMPARE(p.profile(), v);
    answerNextDialog<CWholeNumberDialog>([](CWholeNumberDialog *d) {
        d->lineEdit()->setText(QStringLiteral("40"));
        d->accept();
    });
    key(w, Qt::Key_M, Qt::ControlModifier);
    for (int i = 5; i <= 10; ++i)
        v[i] = whole(v[i] * 1.4);
    QCOMPARE(p.profile(), v);
    const QVector<double> scaled = v;
    key(w, Qt::Key_I, Qt::ControlModifier);
    for (int i = 6; i < 10; ++i)
        v[i] = whole(v[5] + (v[10] - v[5]) * (i - 5) / 5.0);
    QVERIFY(v != scaled);
    QCOMPARE(p.profile(), v);
    QVERIFY(p.model().isModified());

    for (int i = 0; i < 3; ++i)
        key(w, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(p.profile(), ecuProfile);
    key(w, Qt::Key_Y, Qt::ControlModifier);
    key(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    key(w, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(p.profile(), v);
    // The curve on the plot is the drawing of the model.
    QCOMPARE(p.curve()->sample(7).y(), v[7]);

    // Enter types the value of the whole selection.
    // A value beyond the range is refused and the dialog stays open.
    QString refusal;
    answerNextDialog<CWholeNumberDialog>([&refusal](CWholeNumberDialog *d) {
        d->lineEdit()->setText(QStringLiteral("99"));
        d->accept();
        refusal = d->problemText();
        d->lineEdit()->setText(QStringLiteral("25"));
        d->accept();
    });
    key(w, Qt::Key_Return);
    QCOMPARE(refusal, QStringLiteral("99 è fuori dall'intervallo da -10 a 25"));
    QCOMPARE(p.profile().mid(5, 6), QVector<double>(6, 25.0));
    // So does a double-click on the plot.
    answerNextDialog<CWholeNumberDialog>([](CWholeNumberDialog *d) {
        d->lineEdit()->setText(QStringLiteral("-3"));
        d->accept();
    });
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at(10), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(plot->canvas(), &dbl);
    QCOMPARE(p.profile().mid(5, 6), QVector<double>(6, -3.0));
    key(w, Qt::Key_Z, Qt::ControlModifier);
    key(w, Qt::Key_Z, Qt::ControlModifier);

    const QString file = dir.filePath("shaped.prf");
    answerFileDialog(file);
    w.onSaveProfileClicked();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(file), 5000);
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QByteArray expected;
    for (double x : v)
        expected.append(static_cast<char>(static_cast<qint8>(x)));
    expected.append(char(1)); // K as read
    QCOMPARE(saved.readAll(), expected);
    QVERIFY(!p.model().isModified());

    // Restore from reference brings the ECU's values back into the selection.
    widget<QAction>(w, "actionRipristina")->trigger();
    QCOMPARE(p.profile(), ecuProfile);
}

void TestEditing::liveCellFollowsTheEngine()
{
    SimulatedEcu ecu(QStringLiteral("live"));
    ecu.sim.setFixedRpm(3000);
    frmProgPannel w(nullptr, shortTimings());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    MainWindowProbe p(w);
    QVERIFY(connectToEcu(w, ecu.path()));
    QVERIFY(!p.liveCell().isShown());

    w.onLinkClicked();
    QTRY_VERIFY_WITH_TIMEOUT(p.liveCell().isShown() && p.liveCell().rpm() == 3000, 3000);
    QCOMPARE(p.liveCell().cellIndex(), EcuSimulator::cellIndexFor(3000, 12000));

    // A running engine: the marker and the LCD follow, at most 10 times a
    // second, and always show the same sample; the needle is never behind.
    ecu.sim.setFixedRpm(-1);
    auto *lcd = widget<QLCDNumber>(w, "lcdRPM");
    const int before = p.liveCell().repaints();
    const int updatesBefore = p.readouts()->updates();
    QElapsedTimer t;
    t.start();
    int compared = 0;
    while (t.elapsed() < 1000) {
        QTest::qWait(7);
        QCOMPARE(p.liveCell().rpm(), lcd->intValue());
        ++compared;
    }
    const int repaints = p.liveCell().repaints() - before;
    const int updates = p.readouts()->updates() - updatesBefore;
    QVERIFY2(repaints <= 10 * t.elapsed() / 1000 + 1, qPrintable(QString::number(repaints)));
    QVERIFY2(updates > 5 && updates <= 10 * t.elapsed() / 1000 + 1,
             qPrintable(QString::number(updates)));

    ecu.sim.setFixedRpm(7200);
    QTRY_VERIFY_WITH_TIMEOUT(p.liveCell().rpm() == 7200, 3000);
    QCOMPARE(p.gauge()->value(), 7200);
    QCOMPARE(p.liveCell().cellIndex(), 24);

    w.onLinkClicked();
    QVERIFY(!p.liveCell().isShown());
    QTest::qWait(200); // late answers of the stopped link leave it hidden
    QVERIFY(!p.liveCell().isShown());
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
