// Mnemonics for a menu bar on its own: the letters chosen for one level, and
// the markers following texts that change and entries that come later.
#include "mainwindow/cacceleratormanager.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

namespace {

QStringList texts(const QWidget *level)
{
    QStringList out;
    for (const QAction *a : level->actions()) {
        if (!a->isSeparator())
            out << a->text();
    }
    return out;
}

} // namespace

class TestAccelerators : public QObject
{
    Q_OBJECT
private slots:
    void assignLetters_data();
    void assignLetters();
    void followTextChanges();
    void laterEntriesAndSubMenus();
};

void TestAccelerators::assignLetters_data()
{
    QTest::addColumn<QStringList>("given");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("initials first, then the next free letter")
        << QStringList{"File", "Modifica", "Centralina", "Configurazione"}
        << QStringList{"&File", "&Modifica", "&Centralina", "C&onfigurazione"};
    QTest::newRow("initials of later words")
        << QStringList{"Muovi Su", "Muovi Giù", "Muovi Sinistra"}
        << QStringList{"&Muovi Su", "Muovi &Giù", "Muovi &Sinistra"};
    QTest::newRow("no initial left: any letter")
        << QStringList{"Leviga", "Legge"} << QStringList{"&Leviga", "L&egge"};
    QTest::newRow("letters taken without regard to case")
        << QStringList{"File", "finestra"} << QStringList{"&File", "f&inestra"};
    QTest::newRow("an own marker is kept, also after others")
        << QStringList{"Apri", "&Annulla"} << QStringList{"A&pri", "&Annulla"};
    QTest::newRow("an own marker taken twice: the second is moved")
        << QStringList{"&1 a.prf", "&1 b.prf"} << QStringList{"&1 a.prf", "1 &b.prf"};
    QTest::newRow("an escaped ampersand stays escaped")
        << QStringList{"&1 R&&D.prf", "R&&D"} << QStringList{"&1 R&&D.prf", "&R&&D"};
    QTest::newRow("a lone ampersand is escaped")
        << QStringList{"Salva & esci", "A&"} << QStringList{"&Salva && esci", "&A&&"};
    QTest::newRow("letters beyond ASCII are not used")
        << QStringList{"ùa"} << QStringList{"ù&a"};
    QTest::newRow("no letter left: no marker")
        << QStringList{"A", "a", "B"} << QStringList{"&A", "a", "&B"};
    QTest::newRow("a digit serves")
        << QStringList{"ECU", "Export 2", "E"} << QStringList{"&ECU", "Export &2", "E"};
}

void TestAccelerators::assignLetters()
{
    QFETCH(QStringList, given);
    QFETCH(QStringList, expected);

    const QStringList got = CAcceleratorManager::assign(given);
    QCOMPARE(got, expected);
    // What the user reads is what was given.
    for (int i = 0; i < given.size(); ++i)
        QCOMPARE(plainText(got.at(i)), plainText(given.at(i)));
}

// A new text gets its marker as it is set (a language switch sets every
// text anew); an entry's own marker set later is kept.
void TestAccelerators::followTextChanges()
{
    QMenuBar bar;
    QMenu *file = bar.addMenu(QStringLiteral("File"));
    QAction *open = file->addAction(QStringLiteral("Apri"));
    QAction *save = file->addAction(QStringLiteral("Salva"));
    file->addSeparator();
    bar.addMenu(QStringLiteral("Fine"));
    CAcceleratorManager manager(&bar);

    QCOMPARE(texts(&bar), (QStringList{"&File", "F&ine"}));
    QCOMPARE(texts(file), (QStringList{"&Apri", "&Salva"}));

    open->setText(QStringLiteral("Open"));
    save->setText(QStringLiteral("Open again"));
    QCOMPARE(texts(file), (QStringList{"&Open", "Open &again"}));
    QCOMPARE(plainText(save), QStringLiteral("Open again"));

    file->setTitle(QStringLiteral("Archivio"));
    QCOMPARE(texts(&bar), (QStringList{"&Archivio", "&Fine"}));
    QCOMPARE(plainText(file->menuAction()), QStringLiteral("Archivio"));

    save->setText(QStringLiteral("&gain"));
    QCOMPARE(texts(file), (QStringList{"&Open", "&gain"}));
    // The same text again, and a change of state only: nothing moves.
    open->setText(QStringLiteral("Open"));
    open->setEnabled(false);
    QCOMPARE(texts(file), (QStringList{"&Open", "&gain"}));
}

// Entries and menus added after the manager started get markers too, as
// the recent files and the workbench's menu do.
void TestAccelerators::laterEntriesAndSubMenus()
{
    QMenuBar bar;
    QMenu *file = bar.addMenu(QStringLiteral("File"));
    CAcceleratorManager manager(&bar);

    QMenu *recent = file->addMenu(QStringLiteral("Recenti"));
    recent->addAction(QStringLiteral("&1 uno.prf"));
    recent->addAction(QStringLiteral("&2 due.prf"));
    recent->addAction(QStringLiteral("Ultimo"));
    file->addAction(QStringLiteral("Riapri"));
    QCOMPARE(texts(file), (QStringList{"&Recenti", "R&iapri"}));
    QCOMPARE(texts(recent), (QStringList{"&1 uno.prf", "&2 due.prf", "&Ultimo"}));

    QMenu *tools = bar.addMenu(QStringLiteral("Filtri"));
    tools->addAction(QStringLiteral("Taglia"));
    QCOMPARE(texts(&bar), (QStringList{"&File", "F&iltri"}));
    QCOMPARE(texts(tools), (QStringList{"&Taglia"}));

    // A sub-menu built first and attached later.
    QMenu detached(QStringLiteral("Vista"));
    detached.addAction(QStringLiteral("Zoom"));
    tools->addMenu(&detached);
    QCOMPARE(texts(tools), (QStringList{"&Taglia", "&Vista"}));
    QCOMPARE(texts(&detached), (QStringList{"&Zoom"}));
    detached.addAction(QStringLiteral("Zona"));
    QCOMPARE(texts(&detached), (QStringList{"&Zoom", "Z&ona"}));
}

QTEST_MAIN(TestAccelerators)
#include "tst_accelerators.moc"
