// The strip chart and the datalog panel, each built alone.

#include "comm/datalog.h"
#include "comm/datalogrecorder.h"
#include "comm/logreplayer.h"
#include "gauge/datalogpanel.h"
#include "gauge/stripchart.h"
#include "profile/profilefolder.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>
#include <qwt_plot_curve.h>

namespace {

CLiveSample sample(qint64 ms, int rpm, int adc = 100)
{
    CLiveSample s;
    s.ms = ms;
    s.rpm = rpm;
    s.adc = adc;
    return s;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// Closes the next message box once it is up and hands back its text.
void closeNextMessageBox(QString *text)
{
    QTimer::singleShot(0, [text] {
        QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        *text = box->text();
        box->close();
    });
}

} // namespace

class tst_DataLogPanel : public QObject
{
    Q_OBJECT

private slots:
    void chartRedrawsOnceForABurstAndThenSleeps();
    void chartKeepsTheLast30Seconds_data();
    void chartKeepsTheLast30Seconds();
    void chartStartsAfreshWhenTimeGoesBack();

    void failedStartLeavesTheSwitchOff();
    void badLogIsShownNamingTheLine();
    void sliderAndChartMoveTheReplay();
    void chartZoomsPansAndReads();
    void playIconFollowsTheReplayOnceShown();
};

// Taking answers never replots; one redraw follows a burst, and the timer
// stops when the answers do (an idle chart does not wake up). A hidden chart
// only stores them, and is redrawn once when it shows.
void tst_DataLogPanel::chartRedrawsOnceForABurstAndThenSleeps()
{
    CStripChart chart;
    auto *timer = chart.findChild<QTimer *>();
    QVERIFY(timer);
    chart.addSample(sample(0, 900));
    QVERIFY(!timer->isActive());
    chart.show();
    QTRY_COMPARE(chart.repaints(), 1);
    QCOMPARE(chart.visibleCount(), 1);
    QVERIFY(!timer->isActive());

    for (int i = 1; i < 500; ++i)
        chart.addSample(sample(i * 16, 1000 + i));
    QCOMPARE(chart.repaints(), 1);
    QTRY_COMPARE(chart.repaints(), 2);
    QVERIFY(!timer->isActive());

    chart.addSample(sample(8000, 3000));
    QVERIFY(timer->isActive());
    QTRY_COMPARE(chart.repaints(), 3);
    QVERIFY(!timer->isActive());
}

void tst_DataLogPanel::chartKeepsTheLast30Seconds_data()
{
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("held");
    QTest::addColumn<int>("visible");

    QTest::newRow("few answers") << 20 << 10 << 10 << 10;
    QTest::newRow("a minute at 60 a second: 30 s shown")
        << 16 << 3750 << CStripChart::Capacity << 1876;
    QTest::newRow("a fast source: the ring's bound") << 5 << 5000 << CStripChart::Capacity
                                                      << CStripChart::Capacity;
    QTest::newRow("a slow source: 30 s of it") << 1000 << 100 << 100 << 31;
}

void tst_DataLogPanel::chartKeepsTheLast30Seconds()
{
    QFETCH(int, stepMs);
    QFETCH(int, count);
    QFETCH(int, held);
    QFETCH(int, visible);

    CStripChart chart;
    chart.show();
    for (int i = 0; i < count; ++i)
        chart.addSample(sample(qint64(i) * stepMs, i % 12000, i % 256));
    QTRY_COMPARE(chart.repaints(), 1);
    QCOMPARE(chart.sampleCount(), held);
    QCOMPARE(chart.sample(held - 1).rpm, (count - 1) % 12000);
    QCOMPARE(chart.visibleCount(), visible);

    const QwtSeriesData<QPointF> *rpm = chart.rpmCurve()->data();
    const QwtSeriesData<QPointF> *probe = chart.probeCurve()->data();
    QCOMPARE(int(rpm->size()), visible);
    QCOMPARE(rpm->sample(size_t(visible - 1)), QPointF(0.0, (count - 1) % 12000));
    QCOMPARE(probe->sample(size_t(visible - 1)), QPointF(0.0, (count - 1) % 256));
    QVERIFY(rpm->sample(0).x() >= -30.0);
    const int oldest = count - visible;
    QCOMPARE(rpm->sample(0).x(), double(qint64(oldest - (count - 1)) * stepMs) / 1000.0);
}

void tst_DataLogPanel::chartStartsAfreshWhenTimeGoesBack()
{
    CStripChart chart;
    for (int i = 0; i < 10; ++i)
        chart.addSample(sample(60000 + i * 20, 5000));
    chart.addSample(sample(1000, 1500));
    QCOMPARE(chart.sampleCount(), 1);
    QCOMPARE(chart.sample(0).rpm, 1500);
}

// A folder that cannot be made: the switch goes back off, the reason is
// shown.
void tst_DataLogPanel::failedStartLeavesTheSwitchOff()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dataLogFolder(dir.path()), "not a folder"));
    setProfileFolderOverride(dir.path());
    CDataLogDock dock;
    QCOMPARE(dock.objectName(), QStringLiteral("dockRegistrazione"));
    QCOMPARE(dock.recordAction()->shortcut(), QKeySequence(Qt::Key_F9));

    QString text;
    closeNextMessageBox(&text);
    dock.recordAction()->trigger();
    QVERIFY(!dock.recorder()->isRecording());
    QVERIFY(!dock.recordAction()->isChecked());
    QVERIFY2(text.contains(QDir::toNativeSeparators(dataLogFolder(dir.path()))), qPrintable(text));

    // Once the folder can be made, the same switch records.
    QVERIFY(QFile::remove(dataLogFolder(dir.path())));
    dock.recordAction()->trigger();
    QVERIFY(dock.recorder()->isRecording());
    QVERIFY(dock.recordAction()->isChecked());
    QVERIFY(dock.recorder()->filePath().startsWith(dataLogFolder(dir.path())));
    dock.recordAction()->trigger();
    QVERIFY(!dock.recorder()->isRecording());
    setProfileFolderOverride(QString());
}

void tst_DataLogPanel::badLogIsShownNamingTheLine()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.csv"));
    QVERIFY(writeFile(path, QByteArray(kDataLogHeader)
                                + "0,1200,4,-3,131,2,0\n10,1200,4,-3,131,9,0\n"));
    CDataLogDock dock;
    QSignalSpy opened(&dock, &CDataLogDock::logOpened);

    QString text;
    closeNextMessageBox(&text);
    QVERIFY(!dock.openLog(path));
    QVERIFY2(text.contains(QStringLiteral("Riga 3:")), qPrintable(text));

    // A header and no rows: nothing to replay, and it says so.
    QVERIFY(writeFile(path, kDataLogHeader));
    closeNextMessageBox(&text);
    QVERIFY(!dock.openLog(path));
    QVERIFY2(text.contains(QStringLiteral("vuoto")), qPrintable(text));
    QCOMPARE(opened.count(), 0);
}

// Dragging the slider jumps the replay; the chart holds the whole log and
// its view follows the replay: the 30 s before the new position. A click on
// the chart moves the replay to that moment.
void tst_DataLogPanel::sliderAndChartMoveTheReplay()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ride.csv"));
    QByteArray data = kDataLogHeader;
    for (int i = 0; i <= 1200; ++i) // two minutes, one row every 100 ms
        appendDataLogRow(&data, i * 100, sample(0, 1000 + i), 1, false);
    QVERIFY(writeFile(path, data));

    CDataLogDock dock;
    dock.show();
    QVERIFY(dock.openLog(path));
    auto *slider = dock.findChild<QSlider *>();
    QVERIFY(slider && slider->isEnabled());
    QCOMPARE(slider->maximum(), 120000);

    QSignalSpy rows(dock.replayer(), &CLogReplayer::sampleAt);
    slider->setValue(90050);
    QCOMPARE(dock.replayer()->position(), qint64(90050));
    QCOMPARE(rows.count(), 1);
    QCOMPARE(rows.at(0).at(0).value<CLiveSample>().rpm, 1000 + 900);
    CStripChart *chart = dock.chart();
    QVERIFY(chart->showsLog());
    QCOMPARE(chart->sampleCount(), 1201);
    QTRY_COMPARE(chart->viewEndMs(), qint64(90050));
    QTRY_COMPARE(chart->visibleCount(), 300); // 60.1 s .. 90.0 s

    QWidget *canvas = chart->canvas();
    QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(canvas->width() / 2, 10));
    const qint64 middle = 90050 - CStripChart::WindowMs / 2;
    const qint64 perPixel = CStripChart::WindowMs / canvas->width() + 1;
    QVERIFY2(qAbs(dock.replayer()->position() - middle) <= 2 * perPixel,
             qPrintable(QString::number(dock.replayer()->position())));

    // With the link on, replay waits.
    dock.setLinkOn(true);
    QVERIFY(!slider->isEnabled());
}

// The time axis zooms around the mouse, pans with a drag and shows all with
// Home; the cursor reads the row under the mouse; a view put elsewhere
// follows the replay again once the replay leaves it.
void tst_DataLogPanel::chartZoomsPansAndReads()
{
    QVector<CLiveSample> log;
    for (int i = 0; i <= 1200; ++i)
        log << sample(i * 100, 1000 + i, i % 256);
    CStripChart chart;
    chart.resize(600, 300);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    chart.setLog(log);
    chart.setPosition(60000);
    QTRY_COMPARE(chart.viewEndMs(), qint64(60000));
    QWidget *canvas = chart.canvas();
    canvas->setFocus();

    QTest::keyClick(canvas, Qt::Key_Home);
    QCOMPARE(chart.viewSpanMs(), qint64(120000));
    QCOMPARE(chart.visibleCount(), 1201);
    QWheelEvent in(QPointF(canvas->width() / 2.0, 10), QPointF(canvas->mapToGlobal(QPoint(0, 10))),
                   QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                   false);
    QApplication::sendEvent(canvas, &in);
    QCOMPARE(chart.viewSpanMs(), qint64(96000));
    QVERIFY(qAbs(chart.viewEndMs() - 108000) <= 500); // still centred on 60 s

    // A drag to the right shows earlier moments and stops following.
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(100, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(400, 20), QPointF(canvas->mapToGlobal(QPoint(400, 20))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(400, 20));
    QVERIFY(!chart.follows());
    QVERIFY(chart.viewEndMs() < 108000);
    QVERIFY2(chart.cursorText().contains(QStringLiteral("giri/min")),
             qPrintable(chart.cursorText()));
    chart.setPosition(119000);
    QVERIFY(chart.follows());
}

// The hidden panel takes its play button's icon only when shown; it must then
// be the one of the replay's state at that moment, and follow it afterwards.
void tst_DataLogPanel::playIconFollowsTheReplayOnceShown()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ride.csv"));
    QByteArray data = kDataLogHeader;
    for (int i = 0; i <= 100; ++i)
        appendDataLogRow(&data, i * 100, sample(0, 1000 + i), 1, false);
    QVERIFY(writeFile(path, data));

    CDataLogDock dock;
    const auto image = [&dock](const QIcon &icon) {
        return icon.pixmap(dock.style()->pixelMetric(QStyle::PM_SmallIconSize)).toImage();
    };
    const QImage playImage = image(dock.style()->standardIcon(QStyle::SP_MediaPlay));
    const QImage pauseImage = image(dock.style()->standardIcon(QStyle::SP_MediaPause));
    QVERIFY(!playImage.isNull());
    QVERIFY(playImage != pauseImage);

    QVERIFY(dock.openLog(path));
    dock.replayer()->play(); // while hidden
    QVERIFY(dock.replayer()->isPlaying());
    auto *button = dock.findChild<QToolButton *>(QStringLiteral("btRiproduciLog"));
    QVERIFY(button);
    dock.show();
    QCOMPARE(image(button->icon()), pauseImage);
    dock.replayer()->pause();
    QCOMPARE(image(button->icon()), playImage);
}

QTEST_MAIN(tst_DataLogPanel)
#include "tst_datalogpanel.moc"
