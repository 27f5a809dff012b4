// The profile model on its own: range operations give whole numbers within
// the value range, each is one undo step and tells how many points the
// range limited; drags and reads merge into one.
#include "profile/profilemodel.h"

#include <QSignalSpy>
#include <QtTest>

using Values = QVector<double>;
Q_DECLARE_METATYPE(Values)

namespace {

// The first points as given, the rest 0.
Values profile(std::initializer_list<double> head)
{
    Values v(head);
    v.resize(ProfilePoints);
    return v;
}

} // namespace

class TestProfileModel : public QObject
{
    Q_OBJECT
private slots:
    void rangeOperations_data();
    void rangeOperations();
    void stepsMergeAndSelectionExtends();
};

void TestProfileModel::rangeOperations_data()
{
    QTest::addColumn<Values>("start");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("op");
    QTest::addColumn<double>("arg");
    QTest::addColumn<Values>("expected");
    QTest::addColumn<int>("limited"); // points brought into -10..25, told once

    const Values ramp = profile({0, 3, 9, 1, 20, 5});
    QTest::newRow("set, either direction") << ramp << 4 << 1 << "set" << 7.0
                                           << profile({0, 7, 7, 7, 7, 5}) << 0;
    QTest::newRow("set rounds and clamps") << ramp << 0 << 0 << "set" << 99.4
                                           << profile({25, 3, 9, 1, 20, 5}) << 1;
    QTest::newRow("+1 on a range") << ramp << 2 << 4 << "add" << 1.0
                                   << profile({0, 3, 10, 2, 21, 5}) << 0;
    QTest::newRow("-1 below the range clamps")
        << profile({-30, -10}) << 0 << 1 << "add" << -1.0 << profile({-10, -10}) << 2;
    QTest::newRow("+1 on a value beyond the range brings it in")
        << profile({60}) << 0 << 0 << "add" << 1.0 << profile({25}) << 1;
    QTest::newRow("+1 at the top changes nothing and is told")
        << profile({25, 24}) << 0 << 1 << "add" << 1.0 << profile({25, 25}) << 1;
    QTest::newRow("scale +50 %, halves up") << profile({3, -3, 10, 1}) << 0 << 3 << "scale"
                                            << 50.0 << profile({5, -4, 15, 2}) << 0;
    QTest::newRow("scale -90 %, exact halves up")
        << profile({5, 15, -5, 25}) << 0 << 3 << "scale" << -90.0 << profile({1, 2, 0, 3}) << 0;
    QTest::newRow("scale -100 % gives 0") << ramp << 1 << 5 << "scale" << -100.0
                                          << profile({0, 0, 0, 0, 0, 0}) << 0;
    QTest::newRow("scale clamps") << ramp << 4 << 4 << "scale" << 100.0
                                  << profile({0, 3, 9, 1, 25, 5}) << 1;
    QTest::newRow("scale +500 %, both limits") << profile({4, 5, -2, 0}) << 0 << 3 << "scale"
                                               << 500.0 << profile({24, 25, -10, 0}) << 2;
    QTest::newRow("scale past +500 % refused") << ramp << 0 << 5 << "scale refused" << 501.0
                                               << ramp << 0;
    QTest::newRow("scale past -100 % refused") << ramp << 0 << 5 << "scale refused" << -101.0
                                               << ramp << 0;
    QTest::newRow("interpolate keeps the ends") << ramp << 1 << 5 << "interpolate" << 0.0
                                                << profile({0, 3, 4, 4, 5, 5}) << 0;
    QTest::newRow("interpolate downhill, whole numbers")
        << profile({10, 0, 0, 0}) << 0 << 3 << "interpolate" << 0.0 << profile({10, 7, 3, 0})
        << 0;
    QTest::newRow("interpolate from an end beyond the range")
        << profile({-40, 0, 0, 20}) << 0 << 3 << "interpolate" << 0.0
        << profile({-40, -10, 0, 20}) << 1;
    QTest::newRow("smooth 1-2-1 keeps the ends") << ramp << 1 << 5 << "smooth" << 0.0
                                                 << profile({0, 3, 6, 8, 12, 5}) << 0;
    QTest::newRow("smooth next to an end beyond the range")
        << profile({80, 20, 0}) << 0 << 2 << "smooth" << 0.0 << profile({80, 25, 0}) << 1;
    QTest::newRow("two points: smooth changes nothing")
        << ramp << 2 << 3 << "smooth" << 0.0 << ramp << 0;
    QTest::newRow("restore copies the reference exactly")
        << ramp << 0 << 2 << "restore" << 0.0 << profile({-50, 40, 2, 1, 20, 5}) << 0;
    QTest::newRow("nothing selected: nothing changes")
        << ramp << -1 << -1 << "set" << 99.0 << ramp << 0;

    // While the ECU is read or written the user changes nothing; the read's
    // own steps go through.
    for (const char *op : {"set", "add", "scale", "interpolate", "smooth", "restore", "undo",
                           "drag", "replace"})
        QTest::newRow(qPrintable(QStringLiteral("locked: %1 refused").arg(op)))
            << ramp << 1 << 4 << QStringLiteral("locked:%1").arg(op) << 70.0 << ramp << 0;
    QTest::newRow("locked: a read replaces the values")
        << ramp << 1 << 4 << "locked:read" << 0.0 << profile({4, 4}) << 0;
}

void TestProfileModel::rangeOperations()
{
    QFETCH(Values, start);
    QFETCH(int, anchor);
    QFETCH(int, current);
    QFETCH(QString, op);
    QFETCH(double, arg);
    QFETCH(Values, expected);
    QFETCH(int, limited);

    CProfileModel m;
    m.setLimits(-10, 25);
    m.replaceValues(start);
    m.setReference(profile({-50, 40, 2, 7}));
    m.select(anchor);
    m.extendSelection(current);
    const int steps = m.undoStack()->count();
    QSignalSpy limitedSpy(&m, &CProfileModel::pointsLimited);

    const bool locked = op.startsWith("locked:");
    m.setLocked(locked);
    op.remove("locked:");
    if (op == "set")
        m.setRange(arg);
    else if (op == "add")
        m.addToRange(int(arg));
    else if (op == "scale")
        QVERIFY(m.scaleRange(arg));
    else if (op == "scale refused")
        QVERIFY(!m.scaleRange(arg));
    else if (op == "interpolate")
        m.interpolateRange();
    else if (op == "smooth")
        m.smoothRange();
    else if (op == "restore")
        m.restoreRangeFromReference();
    else if (op == "undo")
        QCOMPARE(m.undo(), false);
    else if (op == "drag") {
        m.beginDrag();
        m.dragValue(1, arg);
    } else if (op == "replace")
        QCOMPARE(m.replaceValues(Values(ProfilePoints, arg)), false);
    else if (op == "read") {
        m.replaceValues(Values(ProfilePoints, 0.0), CProfileModel::Step::ReadStart);
        m.replaceValues(expected, CProfileModel::Step::ReadEnd);
    }
    QCOMPARE(m.values(), expected);
    m.setLocked(false);
    // One step, and none when nothing changed.
    QCOMPARE(m.undoStack()->count(), steps + (expected == start ? 0 : 1));
    m.undo();
    QCOMPARE(m.values(), expected == start && steps > 0 ? Values(ProfilePoints, 0.0) : start);
    m.redo();
    QCOMPARE(m.values(), expected);
    // Once for the operation; undo and redo do not tell it again.
    QCOMPARE(limitedSpy.count(), limited > 0 ? 1 : 0);
    if (limited > 0)
        QCOMPARE(limitedSpy.at(0).at(0).toInt(), limited);
}

void TestProfileModel::stepsMergeAndSelectionExtends()
{
    CProfileModel m;
    m.setLimits(-10, 25);
    QSignalSpy changed(&m, &CProfileModel::valuesChanged);

    // A drag is one step however many moves; the next drag is another.
    m.beginDrag();
    m.dragValue(3, 4.5);
    m.dragValue(3, 30);
    QCOMPARE(m.value(3), 25.0);
    m.beginDrag();
    m.dragValue(3, -2.5);
    QCOMPARE(m.value(3), -2.0);
    QCOMPARE(m.undoStack()->count(), 2);
    // A drag that ends where it began leaves no step.
    m.beginDrag();
    m.dragValue(5, 1);
    m.dragValue(5, 0);
    QCOMPARE(m.undoStack()->count(), 2);
    m.undo();
    QCOMPARE(m.value(3), 25.0);

    // A read clears the profile, then fills it: one step back to before it.
    const Values before = m.values();
    m.replaceValues(Values(ProfilePoints, 0.0), CProfileModel::Step::ReadStart);
    m.replaceValues(profile({1, 2, 3}), CProfileModel::Step::ReadEnd);
    m.replaceValues(profile({1, 2, 4})); // the next edit is a step of its own
    m.undo();
    m.undo();
    QCOMPARE(m.values(), before);
    QVERIFY(changed.count() > 0);

    // The range runs from the anchor to the current point, either way.
    m.select(10);
    m.extendSelection(7);
    QCOMPARE(m.first(), 7);
    QCOMPARE(m.last(), 10);
    m.extendSelection(12);
    QCOMPARE(m.first(), 10);
    m.select(41);
    QVERIFY(!m.hasSelection());

    // Saved state: the values and K last read, loaded, saved or written;
    // modifiedChanged fires only when the state turns, undo included.
    m.markSaved();
    QVERIFY(!m.isModified());
    QSignalSpy modified(&m, &CProfileModel::modifiedChanged);
    const int savedK = m.k();
    m.setK(savedK + 1);
    m.setK(savedK + 2);
    QVERIFY(m.isModified());
    m.setK(savedK);
    m.markSaved();
    QVector<double> other = m.values();
    other[0] += 1;
    m.replaceValues(other);
    m.undo();
    QCOMPARE(modified.count(), 4);
    QCOMPARE(modified.at(0).at(0).toBool(), true);
    QCOMPARE(modified.at(3).at(0).toBool(), false);
    QVERIFY(!m.isModified());
}

QTEST_GUILESS_MAIN(TestProfileModel)
#include "tst_profilemodel.moc"
