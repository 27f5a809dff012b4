// The time the engine spends in each cell: the shares from live answers and
// from a replayed log, the gaps that do not count, the coalesced change
// signal, and the bars on a plot.
#include "profile/celltime.h"

#include <QAction>
#include <QSignalSpy>
#include <QtTest>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_curve.h>
#include <qwt_scale_map.h>

using Samples = QVector<CLiveSample>;
using CellMs = QVector<qint64>;

namespace {

struct Answer
{
    qint64 ms;
    int cell;
    int rpm = 1500; // the engine runs
};

Samples run(std::initializer_list<Answer> answers)
{
    Samples out;
    for (const Answer &a : answers) {
        CLiveSample s;
        s.ms = a.ms;
        s.cellIndex = a.cell;
        s.rpm = a.rpm;
        out.append(s);
    }
    return out;
}

// The time expected per cell, from (cell, ms) pairs; every other cell 0.
CellMs cells(std::initializer_list<std::pair<int, qint64>> counted)
{
    CellMs out(CCellTimeHistogram::Cells, 0);
    for (const auto &[cell, ms] : counted)
        out[cell] = ms;
    return out;
}

CellMs countedMs(const CCellTimeHistogram &h)
{
    CellMs out;
    for (int i = 0; i < CCellTimeHistogram::Cells; ++i)
        out.append(h.cellMs(i));
    return out;
}

} // namespace

class TestCellTime : public QObject
{
    Q_OBJECT
private slots:
    void shares_data();
    void shares();
    void logIsARunOfItsOwn();
    void changesCoalescedAndReset();
    void barRects_data();
    void barRects();
    void barsOnThePlot();
    void plotDeletedFirst();
};

void TestCellTime::shares_data()
{
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<CellMs>("expected");

    QTest::newRow("nothing") << Samples() << cells({});
    QTest::newRow("one answer closes no interval") << run({{0, 3}}) << cells({});
    QTest::newRow("time counts for the earlier answer's cell")
        << run({{0, 3}, {100, 3}, {300, 5}}) << cells({{3, 300}});
    QTest::newRow("two cells") << run({{0, 3}, {250, 7}, {1000, 7}})
                               << cells({{3, 250}, {7, 750}});
    QTest::newRow("a gap of exactly 1 s counts") << run({{0, 2}, {1000, 4}}) << cells({{2, 1000}});
    QTest::newRow("a longer gap counts not at all")
        << run({{0, 2}, {1001, 4}, {1101, 4}}) << cells({{4, 100}});
    QTest::newRow("a clock going back starts a new run")
        << run({{500, 2}, {400, 6}, {600, 6}}) << cells({{6, 200}});
    QTest::newRow("two answers at once") << run({{0, 1}, {0, 2}, {50, 2}}) << cells({{2, 50}});
    QTest::newRow("a cell beyond the curve is not counted")
        << run({{0, 41}, {100, -1}, {200, 5}, {300, 40}, {325, 0}})
        << cells({{5, 100}, {40, 25}});
    QTest::newRow("a stopped engine counts nothing")
        << run({{0, 0, 0}, {100, 0, 0}, {200, 0, 900}, {300, 1, 0}, {400, 1}})
        << cells({{0, 100}});
}

// Live answers and the same answers as a log give the same time per cell;
// the shares are that time over the total.
void TestCellTime::shares()
{
    QFETCH(Samples, samples);
    QFETCH(CellMs, expected);

    CCellTimeHistogram live;
    for (const CLiveSample &s : samples)
        live.onLiveSample(s);
    CCellTimeHistogram replayed;
    replayed.addLog(samples);

    qint64 total = 0;
    for (qint64 ms : expected)
        total += ms;
    for (const CCellTimeHistogram *h : {&live, &replayed}) {
        QCOMPARE(countedMs(*h), expected);
        QCOMPARE(h->totalMs(), total);
        const QVector<double> shares = h->shares();
        QCOMPARE(shares.size(), CCellTimeHistogram::Cells);
        double sum = 0.0;
        for (int i = 0; i < shares.size(); ++i) {
            QCOMPARE(shares[i], total ? double(expected[i]) / double(total) : 0.0);
            sum += shares[i];
        }
        QCOMPARE(sum, total ? 1.0 : 0.0);
    }
}

// A log joins neither the live answers before it nor those after it.
void TestCellTime::logIsARunOfItsOwn()
{
    CCellTimeHistogram h;
    QSignalSpy changed(&h, &CCellTimeHistogram::changed);
    for (const CLiveSample &s : run({{0, 3}, {100, 3}}))
        h.onLiveSample(s);
    h.addLog(run({{150, 9}, {250, 9}}));
    QCOMPARE(changed.count(), 1); // at once, not at the next tick
    h.onLiveSample(run({{260, 1}}).first());
    h.onLiveSample(run({{300, 1}}).first());
    QCOMPARE(countedMs(h), cells({{3, 100}, {9, 100}, {1, 40}}));

    // The link stopped: the time up to its next answer is not counted.
    h.endRun();
    h.onLiveSample(run({{800, 2}}).first());
    QCOMPARE(h.totalMs(), 240);
}

void TestCellTime::changesCoalescedAndReset()
{
    CCellTimeHistogram h(30);
    QSignalSpy changed(&h, &CCellTimeHistogram::changed);
    for (int i = 0; i < 50; ++i)
        h.onLiveSample(run({{i * 25, i % 41}}).first());
    QCOMPARE(changed.count(), 0);
    QVERIFY(changed.wait(1000));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(h.totalMs(), 49 * 25);

    h.reset();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(h.totalMs(), 0);
    QCOMPARE(h.shares(), QVector<double>(CCellTimeHistogram::Cells, 0.0));
    // The reset ends the run too: the answer after it only starts one.
    h.onLiveSample(run({{49 * 25 + 100, 4}}).first());
    QCOMPARE(h.totalMs(), 0);
}

void TestCellTime::barRects_data()
{
    QTest::addColumn<double>("maxRpm");
    QTest::addColumn<QVector<double>>("shares");
    QTest::addColumn<int>("cell");
    QTest::addColumn<QRectF>("expected");

    // An 800 x 300 canvas: the largest share is 100 px high, bars are 0.7 of
    // a cell wide (14 px with 40 cells over 800 px).
    QVector<double> three(CCellTimeHistogram::Cells, 0.0);
    three[0] = 0.25;
    three[10] = 0.5;
    three[20] = 0.25;
    QTest::newRow("the largest share reaches a third") << 12000.0 << three << 10
                                                      << QRectF(193, 200, 14, 100);
    QTest::newRow("half the largest, half as high") << 12000.0 << three << 20
                                                    << QRectF(393, 250, 14, 50);
    QTest::newRow("centred on the cell's engine speed, 4 cylinders") << 17000.0 << three << 10
                                                                     << QRectF(193, 200, 14, 100);
    QTest::newRow("the first cell straddles the edge") << 12000.0 << three << 0
                                                       << QRectF(-7, 250, 14, 50);
    QTest::newRow("no time, no bar") << 12000.0 << three << 5 << QRectF();
    QTest::newRow("nothing counted")
        << 12000.0 << QVector<double>(CCellTimeHistogram::Cells, 0.0) << 10 << QRectF();
}

void TestCellTime::barRects()
{
    QFETCH(double, maxRpm);
    QFETCH(QVector<double>, shares);
    QFETCH(int, cell);
    QFETCH(QRectF, expected);

    CCellTimeBars bars;
    bars.setMaxRpm(maxRpm);
    bars.setShares(shares);
    QwtScaleMap x;
    x.setScaleInterval(0.0, maxRpm);
    x.setPaintInterval(0.0, 800.0);
    const QVector<QRectF> rects = bars.barRects(x, QRectF(0, 0, 800, 300));
    QCOMPARE(rects.size(), CCellTimeHistogram::Cells);
    const QRectF got = rects[cell];
    const auto near = [](double a, double b) { return std::abs(a - b) < 1e-9; };
    QVERIFY2(near(got.x(), expected.x()) && near(got.y(), expected.y())
                 && near(got.width(), expected.width()) && near(got.height(), expected.height()),
             qPrintable(QStringLiteral("%1,%2 %3x%4")
                            .arg(got.x()).arg(got.y()).arg(got.width()).arg(got.height())));
}

// The view on a real plot: the bars show only when asked, show through over
// an opaque curve fill, follow the histogram and the variant's scale, and the
// reset action empties them.
void TestCellTime::barsOnThePlot()
{
    QwtPlot plot;
    plot.resize(800, 400);
    plot.canvas()->setStyleSheet(QStringLiteral("background-color: rgb(0, 0, 0);"));
    plot.setAxisScale(QwtPlot::xBottom, 0.0, 12000.0);
    plot.setAxisScale(QwtPlot::yLeft, -10.0, 25.0);
    // A filled curve over the cells 20 and up only, like the profile's fill.
    auto *fill = new QwtPlotCurve;
    fill->setBrush(QBrush(Qt::blue));
    fill->setBaseline(-10.0);
    fill->setSamples(QVector<QPointF>{{6000.0, 25.0}, {12000.0, 25.0}});
    fill->attach(&plot);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));

    CCellTimeView view(&plot, nullptr, 10);
    // Two cells: 10 (3000 rpm, outside the fill) and 30 (under it).
    view.histogram()->addLog(run({{0, 10}, {500, 30}, {1000, 30}}));
    auto pixelAt = [&](double rpm) {
        const QImage canvas = plot.canvas()->grab().toImage();
        const int x = qRound(plot.transform(QwtPlot::xBottom, rpm));
        return QColor(canvas.pixel(x, canvas.height() - 10));
    };
    const QColor black(0, 0, 0);
    QCOMPARE(pixelAt(3000.0), black);

    view.showAction()->trigger();
    QVERIFY(view.bars()->isVisible());
    const QColor bar = pixelAt(3000.0);
    QVERIFY2(bar.lightness() > 60, qPrintable(bar.name()));
    const QColor overFill = pixelAt(9000.0); // the fill shows through, lighter
    QVERIFY2(overFill != QColor(Qt::blue) && overFill.blue() > 200 && overFill.lightness() > 60,
             qPrintable(overFill.name()));
    QCOMPARE(pixelAt(4500.0), black);            // a cell without time

    // A variant change moves cell 10 to 4250 rpm.
    view.setMaxRpm(17000.0);
    plot.setAxisScale(QwtPlot::xBottom, 0.0, 17000.0);
    plot.replot();
    QCOMPARE(pixelAt(3000.0), black);
    QCOMPARE(pixelAt(4250.0), bar);

    // Live answers reach the bars after the coalescing interval.
    for (const CLiveSample &s : run({{2000, 20}, {2400, 20}}))
        view.histogram()->onLiveSample(s);
    QTRY_COMPARE(view.bars()->shares().at(20), 400.0 / 1400.0);

    // A rebuild of the plot that deletes every item: the bars come back with
    // the variant's scale, shown as they were.
    plot.detachItems(QwtPlotItem::Rtti_PlotItem, true);
    view.setMaxRpm(17000.0);
    QCOMPARE(plot.itemList(CCellTimeBars::Rtti).size(), 1);
    QVERIFY(view.bars()->isVisible());
    QCOMPARE(pixelAt(4250.0), bar);

    view.resetAction()->trigger();
    QCOMPARE(pixelAt(4250.0), black);
    view.showAction()->trigger();
    QVERIFY(!view.bars()->isVisible());
}

// The plot goes first (the window's form is deleted before the view): the
// view draws nothing any more and is deleted without touching the bars.
void TestCellTime::plotDeletedFirst()
{
    auto *plot = new QwtPlot;
    CCellTimeView view(plot);
    QVERIFY(view.bars());
    delete plot;
    QVERIFY(!view.bars());
    view.histogram()->addLog(run({{0, 1}, {100, 1}}));
    view.setShown(true);
    view.setMaxRpm(17000.0);
    QVERIFY(view.showAction()->isChecked());
}

QTEST_MAIN(TestCellTime)
#include "tst_celltime.moc"
