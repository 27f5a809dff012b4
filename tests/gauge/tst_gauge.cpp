#include "gauge/crpmgauge.h"
#include "gauge/qtsvgpixmapcache.h"

#include <QDir>
#include <QImage>
#include <QMetaProperty>
#include <QPainter>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QtMath>
#include <QtTest>

#include <limits>

namespace {

// The dial as the main window sets it up, then one of the two variants.
void setUpLikeMainWindow(CRpmGauge &g)
{
    g.setNeedleOrigin(0.486, 0.466);
    g.setMinimum(0);
    g.setStartAngle(-130.0);
    g.setValue(0);
}

void select2Cylinders(CRpmGauge &g)
{
    g.setSkin(QStringLiteral("RPMbackground12000.svg"));
    g.setMaximum(12000);
    g.setEndAngle(133.0);
}

void select4Cylinders(CRpmGauge &g)
{
    g.setSkin(QStringLiteral("RPMbackground16000.svg"));
    g.setMaximum(17000);
    g.setEndAngle(149.0);
}

int renders(const CRpmGauge &g)
{
    return g.backgroundCache()->renderCount() + g.shadowCache()->renderCount()
        + g.overlayCache()->renderCount();
}

// The needle is orange-red: strong red channel, weak green and blue.
bool isNeedleRed(QRgb c)
{
    return qRed(c) > 140 && qGreen(c) < 120 && qBlue(c) < 90;
}

// Pixel at distance r from (px, py) in the direction of a needle angle
// (clockwise from straight up).
QRgb pixelAt(const QImage &img, qreal px, qreal py, qreal angle, qreal r)
{
    const qreal a = qDegreesToRadians(angle);
    return img.pixel(qRound(px + r * qSin(a)), qRound(py - r * qCos(a)));
}

} // namespace

class TstGauge : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void angleMapping_data();
    void angleMapping();
    void defaultsAndConstruction();
    void properties();
    void valueClamping_data();
    void valueClamping();
    void rangeChangesMoveValue();
    void needleOrigin_data();
    void needleOrigin();

    void layerResources_data();
    void layerResources();
    void cacheRendersOncePerSize();
    void cacheDrawsNothingWhenInvalid();
    void gaugeRendersOncePerSize();
    void skinChangeReloadsLayers();

    void needlePointsAtValue_data();
    void needlePointsAtValue();
    void dialCentredInWideWidget();
    void newValueRepaintsTheNeedleOnly_data();
    void newValueRepaintsTheNeedleOnly();
    void snapshots();
};

void TstGauge::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void TstGauge::angleMapping_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<qreal>("start");
    QTest::addColumn<qreal>("end");
    QTest::addColumn<qreal>("angle");

    QTest::newRow("4cyl 8500") << 8500 << 0 << 17000 << -130.0 << 149.0 << 9.5;
    QTest::newRow("4cyl 0") << 0 << 0 << 17000 << -130.0 << 149.0 << -130.0;
    QTest::newRow("4cyl 17000") << 17000 << 0 << 17000 << -130.0 << 149.0 << 149.0;
    QTest::newRow("2cyl 12000") << 12000 << 0 << 12000 << -130.0 << 133.0 << 133.0;
    QTest::newRow("2cyl 6000") << 6000 << 0 << 12000 << -130.0 << 133.0 << 1.5;
    QTest::newRow("empty range") << 50 << 7 << 7 << -130.0 << 149.0 << -130.0;
    // The range itself does not fit an int: the mapping must not overflow.
    QTest::newRow("full int range") << 0 << std::numeric_limits<int>::min()
                                    << std::numeric_limits<int>::max() << 0.0 << 100.0 << 50.0;
}

void TstGauge::angleMapping()
{
    QFETCH(int, value);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(qreal, start);
    QFETCH(qreal, end);
    QFETCH(qreal, angle);

    QVERIFY(qAbs(gaugeAngle(value, minimum, maximum, start, end) - angle) < 1e-6);

    CRpmGauge g;
    g.setMinimum(minimum);
    g.setMaximum(maximum);
    g.setStartAngle(start);
    g.setEndAngle(end);
    g.setValue(value);
    QVERIFY(qAbs(g.needleAngle() - angle) < 1e-6);
}

void TstGauge::defaultsAndConstruction()
{
    QWidget parent;
    CRpmGauge *g = new CRpmGauge(&parent);
    QCOMPARE(g->parentWidget(), &parent);
    QCOMPARE(g->geometry(), QRect(2, 8, 237, 237));
    QCOMPARE(g->sizePolicy().horizontalPolicy(), QSizePolicy::Maximum);
    QCOMPARE(g->sizePolicy().verticalPolicy(), QSizePolicy::Maximum);
    QCOMPARE(g->sizeHint(), QSize(400, 400));
    QCOMPARE(g->minimumSizeHint(), QSize(100, 100));

    // Nothing is loaded until a skin is set; painting without layers is harmless.
    QVERIFY(!g->backgroundCache()->isValid());
    QVERIFY(!g->grab().isNull());
    QCOMPARE(renders(*g), 0);
}

void TstGauge::properties()
{
    const QMetaObject *mo = &CRpmGauge::staticMetaObject;
    const QStringList expected = {"skin", "minimum", "maximum", "startAngle", "endAngle"};
    QStringList own;
    for (int i = mo->propertyOffset(); i < mo->propertyCount(); ++i)
        own << QString::fromLatin1(mo->property(i).name());
    QCOMPARE(own, expected);

    CRpmGauge g;
    QVERIFY(g.setProperty("minimum", 0));
    QVERIFY(g.setProperty("maximum", 17000));
    QVERIFY(g.setProperty("startAngle", -130.0));
    QVERIFY(g.setProperty("endAngle", 149.0));
    QVERIFY(g.setProperty("skin", QStringLiteral("RPMbackground16000.svg")));
    QCOMPARE(g.maximum(), 17000);
    QCOMPARE(g.property("endAngle").toReal(), 149.0);
    QCOMPARE(g.skin(), QStringLiteral("RPMbackground16000.svg"));
    QVERIFY(g.backgroundCache()->isValid());
    QVERIFY(!g.property("value").isValid());

    // The value slot is reachable through the meta-object system.
    QVERIFY(QMetaObject::invokeMethod(&g, "setValue", Q_ARG(int, 8500)));
    QCOMPARE(g.value(), 8500);
    QVERIFY(qAbs(g.needleAngle() - 9.5) < 1e-9);
}

void TstGauge::valueClamping_data()
{
    QTest::addColumn<bool>("fourCylinders");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("stored");
    QTest::addColumn<qreal>("angle");

    QTest::newRow("2cyl below") << false << -500 << 0 << -130.0;
    QTest::newRow("2cyl inside") << false << 6000 << 6000 << 1.5;
    QTest::newRow("2cyl at top") << false << 12000 << 12000 << 133.0;
    QTest::newRow("2cyl above") << false << 12001 << 12000 << 133.0;
    QTest::newRow("2cyl far above") << false << 16000 << 12000 << 133.0;
    QTest::newRow("4cyl inside") << true << 8500 << 8500 << 9.5;
    QTest::newRow("4cyl above") << true << 20000 << 17000 << 149.0;
    QTest::newRow("4cyl int min") << true << std::numeric_limits<int>::min() << 0 << -130.0;
}

void TstGauge::valueClamping()
{
    QFETCH(bool, fourCylinders);
    QFETCH(int, input);
    QFETCH(int, stored);
    QFETCH(qreal, angle);

    CRpmGauge g;
    setUpLikeMainWindow(g);
    if (fourCylinders)
        select4Cylinders(g);
    else
        select2Cylinders(g);
    g.setValue(input);
    QCOMPARE(g.value(), stored);
    QVERIFY2(qAbs(g.needleAngle() - angle) < 1e-9, qPrintable(QString::number(g.needleAngle())));
}

void TstGauge::rangeChangesMoveValue()
{
    CRpmGauge g;
    setUpLikeMainWindow(g);
    select4Cylinders(g);
    g.setValue(15000);

    // Switching to the 2-cylinder range pulls the value down to its top.
    select2Cylinders(g);
    QCOMPARE(g.value(), 12000);
    QCOMPARE(g.needleAngle(), 133.0);

    // Raising the range again does not bring the old value back.
    g.setMaximum(17000);
    QCOMPARE(g.value(), 12000);

    g.setMaximum(5000);
    QCOMPARE(g.value(), 5000);
    g.setMinimum(6000);
    QCOMPARE(g.value(), 6000);
    g.setMinimum(1000);
    QCOMPARE(g.value(), 6000);

    // Angles are stored and used for the next needle position.
    g.setMinimum(0);
    g.setMaximum(12000);
    g.setStartAngle(0.0);
    g.setEndAngle(120.0);
    QCOMPARE(g.needleAngle(), 60.0);
}

void TstGauge::needleOrigin_data()
{
    QTest::addColumn<qreal>("x");
    QTest::addColumn<qreal>("y");
    QTest::addColumn<qreal>("storedX");
    QTest::addColumn<qreal>("storedY");

    const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
    const qreal inf = std::numeric_limits<qreal>::infinity();
    QTest::newRow("main window") << 0.486 << 0.466 << 0.486 << 0.466;
    QTest::newRow("above one / below zero") << 1.7 << -0.2 << 1.0 << 0.0;
    QTest::newRow("below zero / above one") << -0.2 << 1.7 << 0.0 << 1.0;
    QTest::newRow("bounds") << 0.0 << 1.0 << 0.0 << 1.0;
    QTest::newRow("nan") << nan << nan << 0.0 << 0.0;
    QTest::newRow("infinities") << inf << -inf << 1.0 << 0.0;
}

void TstGauge::needleOrigin()
{
    QFETCH(qreal, x);
    QFETCH(qreal, y);
    QFETCH(qreal, storedX);
    QFETCH(qreal, storedY);

    CRpmGauge g;
    g.setNeedleOrigin(x, y);
    QCOMPARE(g.needleOriginX(), storedX);
    QCOMPARE(g.needleOriginY(), storedY);
}

void TstGauge::layerResources_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("face 12000") << QStringLiteral("RPMbackground12000.svg");
    QTest::newRow("face 16000") << QStringLiteral("RPMbackground16000.svg");
    QTest::newRow("needle") << QStringLiteral("RPMneedle.svg");
    QTest::newRow("shadow") << QStringLiteral("RPMneedle_shadow.svg");
    QTest::newRow("overlay") << QStringLiteral("RPMoverlay.svg");
}

void TstGauge::layerResources()
{
    QFETCH(QString, name);
    const QString path = QStringLiteral(":/rpm/imgs/") + name;
    QVERIFY2(QFile::exists(path), qPrintable(path));

    QSvgRenderer renderer(path);
    QVERIFY(renderer.isValid());
    QCOMPARE(renderer.defaultSize(), QSize(210, 210));
    QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 210, 210));

    QtSvgPixmapCache cache;
    cache.load(path);
    QVERIFY(cache.isValid());
    QCOMPARE(cache.defaultSize(), QSize(210, 210));

    // The layer paints something.
    QImage img(210, 210, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    cache.draw(&p, QRectF(0, 0, 210, 210));
    p.end();
    bool anyPixel = false;
    for (int y = 0; y < img.height() && !anyPixel; ++y)
        for (int x = 0; x < img.width() && !anyPixel; ++x)
            anyPixel = qAlpha(img.pixel(x, y)) > 0;
    QVERIFY(anyPixel);
}

void TstGauge::cacheRendersOncePerSize()
{
    QtSvgPixmapCache cache;
    cache.load(QStringLiteral(":/rpm/imgs/RPMneedle.svg"));
    QImage img(300, 300, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);

    cache.draw(&p, QRectF(0, 0, 100.4, 100.4));
    QCOMPARE(cache.renderCount(), 1);
    // 100.4 and 99.5 both round to 100 (halves upward): same pixmap.
    cache.draw(&p, QRectF(10, 10, 99.5, 99.5));
    QCOMPARE(cache.renderCount(), 1);
    // 100.5 rounds up to 101: a new size.
    cache.draw(&p, QRectF(0, 0, 100.5, 100.5));
    QCOMPARE(cache.renderCount(), 2);
    cache.draw(&p, QRectF(0, 0, 100.5, 100.5));
    QCOMPARE(cache.renderCount(), 2);
    // Loading drops the pixmap even for the same file and size.
    cache.load(QStringLiteral(":/rpm/imgs/RPMneedle.svg"));
    cache.draw(&p, QRectF(0, 0, 100.5, 100.5));
    QCOMPARE(cache.renderCount(), 3);
    p.end();
}

void TstGauge::cacheDrawsNothingWhenInvalid()
{
    QtSvgPixmapCache cache;
    QImage img(50, 50, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    cache.draw(&p, QRectF(0, 0, 50, 50)); // never loaded
    QVERIFY(!cache.load(QStringLiteral(":/rpm/imgs/no-such-layer.svg")));
    QVERIFY(!cache.isValid());
    cache.draw(&p, QRectF(0, 0, 50, 50));
    // A valid layer into an empty rectangle renders nothing either.
    QVERIFY(cache.load(QStringLiteral(":/rpm/imgs/RPMoverlay.svg")));
    cache.draw(&p, QRectF(0, 0, 0.2, 0.2));
    p.end();
    QCOMPARE(cache.renderCount(), 0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            QCOMPARE(qAlpha(img.pixel(x, y)), 0);
}

void TstGauge::gaugeRendersOncePerSize()
{
    CRpmGauge g;
    setUpLikeMainWindow(g);
    select2Cylinders(g);
    g.resize(237, 237);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    g.repaint();

    QCOMPARE(g.backgroundCache()->renderCount(), 1);
    QCOMPARE(g.shadowCache()->renderCount(), 1);
    QCOMPARE(g.overlayCache()->renderCount(), 1);

    // Value changes only turn the needle.
    for (int v = 0; v <= 12000; v += 1500) {
        g.setValue(v);
        g.repaint();
    }
    (void)g.grab();
    QCOMPARE(renders(g), 3);

    // Each new size renders the three cached layers once.
    g.resize(300, 300);
    g.repaint();
    (void)g.grab();
    QCOMPARE(g.backgroundCache()->renderCount(), 2);
    QCOMPARE(g.shadowCache()->renderCount(), 2);
    QCOMPARE(g.overlayCache()->renderCount(), 2);

    // A width change that leaves the fitted square the same size re-renders nothing.
    g.resize(350, 300);
    g.repaint();
    QCOMPARE(renders(g), 6);

    // Without the overlay, only two layers follow the next size.
    g.setShowOverlay(false);
    g.resize(237, 230);
    g.repaint();
    QCOMPARE(g.backgroundCache()->renderCount(), 3);
    QCOMPARE(g.shadowCache()->renderCount(), 3);
    QCOMPARE(g.overlayCache()->renderCount(), 2);
}

void TstGauge::skinChangeReloadsLayers()
{
    CRpmGauge g;
    setUpLikeMainWindow(g);
    select2Cylinders(g);
    g.resize(237, 237);
    (void)g.grab();
    QCOMPARE(renders(g), 3);

    // Same size, new face: all three pixmaps are made again.
    select4Cylinders(g);
    (void)g.grab();
    QCOMPARE(g.backgroundCache()->renderCount(), 2);
    QCOMPARE(g.shadowCache()->renderCount(), 2);
    QCOMPARE(g.overlayCache()->renderCount(), 2);

    // An unknown face leaves the background empty but keeps the other layers.
    g.setSkin(QStringLiteral("nothing.svg"));
    QCOMPARE(g.skin(), QStringLiteral("nothing.svg"));
    QVERIFY(!g.backgroundCache()->isValid());
    QVERIFY(g.shadowCache()->isValid());
    (void)g.grab();
    QCOMPARE(g.backgroundCache()->renderCount(), 2);
    QCOMPARE(g.shadowCache()->renderCount(), 3);
}

void TstGauge::needlePointsAtValue_data()
{
    QTest::addColumn<bool>("fourCylinders");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("faceLoads");
    QTest::newRow("2cyl 0") << false << 0 << true;
    QTest::newRow("2cyl 6000") << false << 6000 << true;
    QTest::newRow("2cyl 12000") << false << 12000 << true;
    QTest::newRow("4cyl 8500") << true << 8500 << true;
    QTest::newRow("4cyl 16000") << true << 16000 << true;
    // Needle and shadow on an empty background, still at the dial's place.
    QTest::newRow("2cyl 6000, face missing") << false << 6000 << false;
}

// The needle drawn on screen lies along the computed angle from the pivot at
// (0.486, 0.466) of the dial, and nowhere else.
void TstGauge::needlePointsAtValue()
{
    QFETCH(bool, fourCylinders);
    QFETCH(int, value);
    QFETCH(bool, faceLoads);

    CRpmGauge g;
    setUpLikeMainWindow(g);
    g.setShowOverlay(false);
    if (fourCylinders)
        select4Cylinders(g);
    else
        select2Cylinders(g);
    if (!faceLoads)
        g.setSkin(QStringLiteral("no-such-face.svg"));
    g.setValue(value);
    g.resize(237, 237);
    const QImage img = g.grab().toImage();

    const qreal px = 0.486 * 237, py = 0.466 * 237;
    const qreal angle = g.needleAngle();
    for (qreal r : {30.0, 50.0, 70.0})
        QVERIFY2(isNeedleRed(pixelAt(img, px, py, angle, r)), qPrintable(QString::number(r)));
    // Well off the needle's line (inside the numerals): the face, not the needle.
    QVERIFY(!isNeedleRed(pixelAt(img, px, py, angle + 25.0, 40.0)));
    QVERIFY(!isNeedleRed(pixelAt(img, px, py, angle - 25.0, 40.0)));
    QVERIFY(!isNeedleRed(pixelAt(img, px, py, angle + 180.0, 50.0)));
}

void TstGauge::newValueRepaintsTheNeedleOnly_data()
{
    QTest::addColumn<bool>("fourCylinders");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("2cyl, a small step") << false << QSize(237, 230) << 3000 << 3150;
    QTest::newRow("2cyl, across the dial") << false << QSize(237, 230) << 0 << 12000;
    QTest::newRow("2cyl, needle upright") << false << QSize(237, 230) << 5900 << 6100;
    QTest::newRow("4cyl, wide widget") << true << QSize(320, 200) << 16000 << 9000;
}

// Every pixel that differs between the dial at the old value and at the new
// one lies in the area repainted for the change, which is a part of the dial.
void TstGauge::newValueRepaintsTheNeedleOnly()
{
    QFETCH(bool, fourCylinders);
    QFETCH(QSize, size);
    QFETCH(int, from);
    QFETCH(int, to);

    CRpmGauge g;
    setUpLikeMainWindow(g);
    g.setBackgroundColour(QColor(3, 0, 51));
    if (fourCylinders)
        select4Cylinders(g);
    else
        select2Cylinders(g);
    g.resize(size);
    g.setValue(from);
    const QImage before = g.grab().toImage();
    g.setValue(to);
    const QImage after = g.grab().toImage();
    const QRegion repainted = QRegion(g.needleArea(from)) + g.needleArea(to);

    int differing = 0;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                ++differing;
                QVERIFY2(repainted.contains(QPoint(x, y)),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
    QVERIFY(differing > 0);
    int area = 0;
    for (const QRect &r : repainted)
        area += r.width() * r.height();
    QVERIFY2(area < size.width() * size.height() * 3 / 4, qPrintable(QString::number(area)));
}

void TstGauge::dialCentredInWideWidget()
{
    CRpmGauge g;
    g.setSkin(QStringLiteral("RPMbackground12000.svg"));
    g.setNeedleOrigin(0.486, 0.466);
    g.setShowOverlay(false);
    g.setStartAngle(0.0);
    g.setEndAngle(90.0);
    g.setMaximum(100);
    g.resize(300, 200);

    // The 200 x 200 dial sits 50 px from the left edge.
    const qreal px = 50 + 0.486 * 200, py = 0.466 * 200;
    g.setValue(0);
    QImage img = g.grab().toImage();
    QVERIFY(isNeedleRed(pixelAt(img, px, py, 0.0, 40.0)));
    QVERIFY(!isNeedleRed(pixelAt(img, px, py, 90.0, 40.0)));
    // Outside the dial the widget's own background shows through.
    QCOMPARE(img.pixel(10, 100), img.pixel(290, 100));
    QVERIFY(img.pixel(10, 100) != img.pixel(qRound(px), qRound(py + 60)));

    // Clockwise: the top of the range points right.
    g.setValue(100);
    img = g.grab().toImage();
    QVERIFY(isNeedleRed(pixelAt(img, px, py, 90.0, 40.0)));
    QVERIFY(!isNeedleRed(pixelAt(img, px, py, 0.0, 40.0)));
}

// Renders the dial for a visual check when VANTOR_GAUGE_SNAPSHOTS names a
// folder: gauge-<variant>-<value>.png at the main window's sizes.
void TstGauge::snapshots()
{
    const QString dir = qEnvironmentVariable("VANTOR_GAUGE_SNAPSHOTS");
    if (dir.isEmpty())
        QSKIP("set VANTOR_GAUGE_SNAPSHOTS to a folder to write the pictures");
    QVERIFY(QDir().mkpath(dir));

    struct Shot { bool four; int value; bool overlay; QSize size; };
    const Shot shots[] = {
        {false, 0, true, QSize(237, 237)},
        {false, 6000, true, QSize(237, 237)},
        {false, 12000, true, QSize(237, 237)},
        {true, 8500, true, QSize(237, 237)},
        {true, 16000, false, QSize(237, 230)},
        {false, 10000, false, QSize(237, 230)},
    };
    for (const Shot &s : shots) {
        CRpmGauge g;
        setUpLikeMainWindow(g);
        if (s.four)
            select4Cylinders(g);
        else
            select2Cylinders(g);
        g.setShowOverlay(s.overlay);
        g.setValue(s.value);
        g.resize(s.size);
        const QString file = QStringLiteral("%1/gauge-%2-%3%4.png")
                                 .arg(dir, s.four ? QStringLiteral("4cyl") : QStringLiteral("2cyl"))
                                 .arg(s.value)
                                 .arg(s.overlay ? QString() : QStringLiteral("-nooverlay"));
        QVERIFY(g.grab().save(file));
    }
}

QTEST_MAIN(TstGauge)
#include "tst_gauge.moc"
