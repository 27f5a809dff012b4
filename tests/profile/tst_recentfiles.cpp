// The recent profile files: order, limit, one entry per file, the settings
// read at start and written only by save(), and the menu that lists them.
#include "profile/recentfiles.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

namespace {

QStringList numbered(int first, int last)
{
    QStringList out;
    for (int i = first; first <= last ? i <= last : i >= last; i += first <= last ? 1 : -1)
        out.append(QStringLiteral("/p/%1.prf").arg(i));
    return out;
}

} // namespace

class TestRecentFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { QSettings().clear(); }
    void addAndRemove_data();
    void addAndRemove();
    void settingsRoundTrip();
    void menu();
};

void TestRecentFiles::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("vantor"));
    QCoreApplication::setApplicationName(QStringLiteral("ECU Vantor"));
}

void TestRecentFiles::addAndRemove_data()
{
    // Each step: "+path" adds, "-path" removes.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("changes");

    QTest::newRow("most recent first") << QStringList{"+/p/a.prf", "+/p/b.prf", "+/p/c.prf"}
                                       << QStringList{"/p/c.prf", "/p/b.prf", "/p/a.prf"} << 3;
    QTest::newRow("a file again goes to the top")
        << QStringList{"+/p/a.prf", "+/p/b.prf", "+/p/a.prf"}
        << QStringList{"/p/a.prf", "/p/b.prf"} << 3;
    QTest::newRow("the top file again changes nothing")
        << QStringList{"+/p/a.prf", "+/p/a.prf"} << QStringList{"/p/a.prf"} << 1;
    QTest::newRow("the same file by another path")
        << QStringList{"+/p/a.prf", "+/p/x/../a.prf", "+/p//./a.prf"}
        << QStringList{"/p/a.prf"} << 1;
    QTest::newRow("names are case-sensitive here")
        << QStringList{"+/p/a.prf", "+/p/A.prf"} << QStringList{"/p/A.prf", "/p/a.prf"} << 2;
    QStringList tenAdds;
    for (const QString &path : numbered(1, 10))
        tenAdds.append(QLatin1Char('+') + path);
    QTest::newRow("at most 8, the oldest go") << tenAdds << numbered(10, 3) << 10;
    QTest::newRow("remove") << QStringList{"+/p/a.prf", "+/p/b.prf", "-/p/a.prf"}
                            << QStringList{"/p/b.prf"} << 3;
    QTest::newRow("remove by another path")
        << QStringList{"+/p/a.prf", "-/p/x/../a.prf"} << QStringList() << 2;
    QTest::newRow("remove a file not listed") << QStringList{"+/p/a.prf", "-/p/b.prf"}
                                              << QStringList{"/p/a.prf"} << 1;
    QTest::newRow("an empty name is no file") << QStringList{"+", "+ "} << QStringList() << 0;
}

void TestRecentFiles::addAndRemove()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    QFETCH(int, changes);

    CRecentFiles recent;
    QSignalSpy changed(&recent, &CRecentFiles::changed);
    for (const QString &step : steps) {
        if (step.startsWith(QLatin1Char('+')))
            recent.add(step.mid(1));
        else
            recent.remove(step.mid(1));
    }
    QCOMPARE(recent.files(), expected);
    QCOMPARE(changed.count(), changes);
    // Nothing reaches the settings before save().
    QVERIFY(!QSettings().contains(QLatin1String(CRecentFiles::SettingsKey)));
}

void TestRecentFiles::settingsRoundTrip()
{
    // A list edited by hand: relative, repeated, empty and too many entries.
    QStringList stored = numbered(1, 9);
    stored.insert(1, QStringLiteral("/p/1.prf"));
    stored.insert(2, QString());
    stored.insert(3, QStringLiteral("rel.prf"));
    QSettings().setValue(QStringLiteral("RecentFiles"), stored);

    CRecentFiles recent;
    const QStringList expected = QStringList{"/p/1.prf", QDir::current().filePath("rel.prf")}
                                 + numbered(2, 7);
    QCOMPARE(recent.files(), expected);

    recent.add(QStringLiteral("/p/new.prf"));
    QCOMPARE(QSettings().value(QStringLiteral("RecentFiles")).toStringList(), stored);
    recent.save();
    QCOMPARE(QSettings().value(QStringLiteral("RecentFiles")).toStringList(), recent.files());
    QCOMPARE(CRecentFiles().files(), recent.files());

    // An emptied list is written as empty, not left as it was.
    for (const QString &path : recent.files())
        recent.remove(path);
    recent.save();
    QVERIFY(CRecentFiles().files().isEmpty());
}

void TestRecentFiles::menu()
{
    CRecentFiles recent;
    QMenu menu;
    recent.setMenu(&menu);
    QCOMPARE(menu.title(), QStringLiteral("File recenti"));
    QCOMPARE(menu.actions().size(), 1);
    QVERIFY(!menu.actions().at(0)->isEnabled()); // "Nessun file recente"

    recent.add(QStringLiteral("/p/gara.prf"));
    recent.add(QStringLiteral("/p/R&D.prf"));
    QList<QAction *> entries = menu.actions();
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("&1 R&&D.prf"));
    QCOMPARE(entries.at(1)->text(), QStringLiteral("&2 gara.prf"));
    QCOMPARE(entries.at(1)->statusTip(), QDir::toNativeSeparators(QStringLiteral("/p/gara.prf")));

    // Choosing an entry asks for its file; the window opens it and adds it
    // again, which rebuilds the menu while the entry is still being chosen.
    QSignalSpy open(&recent, &CRecentFiles::openRequested);
    connect(&recent, &CRecentFiles::openRequested, &recent, &CRecentFiles::add);
    QPointer<QAction> chosen = entries.at(1);
    chosen->trigger();
    QCOMPARE(open.count(), 1);
    QCOMPARE(open.at(0).at(0).toString(), QStringLiteral("/p/gara.prf"));
    QCOMPARE(menu.actions().at(0)->text(), QStringLiteral("&1 gara.prf"));
    QTRY_VERIFY(chosen.isNull()); // the old entries are gone
    QCOMPARE(menu.actions().size(), 2);
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
