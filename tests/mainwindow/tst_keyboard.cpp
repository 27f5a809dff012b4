// The keyboard in the real window: no key does two things, every menu level
// has mnemonics of its own over the catalogue's texts, Alt and F10 open the
// menus, and F5/F6/F7 are the read, write and link buttons.
#include "comm/datalog.h"
#include "ecuconnection.h"
#include "gauge/datalogpanel.h"
#include "mainwindow/cacceleratormanager.h"
#include "mainwindow/cworkbenchviews.h"

#include <QAction>
#include <QDockWidget>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QSlider>
#include <QTableView>

namespace {

// What each menu entry reads, by the name of its action, its menu, or the
// dock it shows; "menu/entry" is an unnamed entry of that menu.
struct MenuText
{
    const char *name;
    const char *italian;
    const char *english;
};

const MenuText menuTexts[] = {
    {"menuFile", "File", "File"},
    {"actionCarica_Profilo", "Carica Mappa", "Load Profile"},
    {"actionSalva_Profilo", "Salva Mappa", "Save Profile"},
    {"actionApri_Backup", "Apri cartella backup", "Open backup folder"},
    {"menuFileRecenti", "File recenti", "Recent files"},
    {"menuFileRecenti/entry", "Nessun file recente", "No recent files"},
    {"actionEsporta_Grafico", "Esporta grafico...", "Export plot..."},
    {"actionEsporta_CSV", "Esporta mappa CSV...", "Export profile as CSV..."},
    {"actionUscita_Programma", "Termina programma", "Exit program"},
    {"menuModifica", "Modifica", "Edit"},
    {"actionAnnulla", "Annulla", "Undo"},
    {"actionRipeti", "Ripeti", "Redo"},
    {"actionEstendi_Sinistra", "Estendi selezione a sinistra", "Extend selection left"},
    {"actionEstendi_Destra", "Estendi selezione a destra", "Extend selection right"},
    {"actionAumenta", "Aumenta di 1", "Increase by 1"},
    {"actionDiminuisci", "Diminuisci di 1", "Decrease by 1"},
    {"actionImposta_Valore", "Imposta valore...", "Set value..."},
    {"actionScala", "Scala in percentuale...", "Scale by percentage..."},
    {"actionInterpola", "Interpola", "Interpolate"},
    {"actionLeviga", "Leviga", "Smooth"},
    {"actionConfronta", "Confronta con file...", "Compare with file..."},
    {"actionRipristina", "Ripristina dal riferimento", "Restore from reference"},
    {"menuCentralina", "Centralina", "ECU"},
    {"action_btReadFlash", "Leggi Mappa da ECU Vantor", "Read Profile from ECU Vantor"},
    {"action_btSaveFlash", "Invia Mappa a ECU Vantor", "Update Profile on ECU Vantor"},
    {"action_btStartLink", "Monitor n.ro giri", "RPM Monitor"},
    {"menuConfigurazione", "Configurazione", "Configuration"},
    {"actionCercaCentralina", "Cerca ECU Vantor", "Search for ECU Vantor"},
    {"menuTipoCentralina", "Seleziona versione ECU Vantor", "Select version of ECU Vantor"},
    {"actionCentralina_2cilindri", "ECU Vantor per moto a 2 cilindri",
     "ECU Vantor for 2 cylinder bikes"},
    {"actionCentralina_4cilindri", "ECU Vantor per moto a 4 cilindri",
     "ECU Vantor for 4 cylinder bikes"},
    {"menuSeleziona_Lingua", "Seleziona Lingua", "Choose your language"},
    {"actionItaliano", "Italiano", "Italian"},
    {"actionInglese", "Inglese", "English"},
    {"actionModo_Esperto", "Modo Esperto", "Expert Mode"},
    {"menuMuovi_Cursure", "Muovi Cursore", "Move Cursor"},
    {"actionMuovi_Su", "Muovi Sù", "Move Up"},
    {"actionMuovi_Giu", "Muovi Giù", "Move Down"},
    {"actionMuovi_Sinistra", "Muovi Sinistra", "Move Left"},
    {"actionMuovi_Destra", "Muovi Destra", "Move Right"},
    {"menuStrumenti", "Strumenti", "Tools"},
    {"dockTabella", "Tabella mappa", "Profile table"},
    {"dockRegistrazione", "Registrazione dati", "Data logging"},
    {"actionTempo_Celle", "Tempo nelle celle", "Time in each cell"},
    {"actionRegistra_Log", "Registra log", "Record log"},
    {"actionApri_Log", "Apri log...", "Open log..."},
    {"actionAzzera_Tempo_Celle", "Azzera tempo nelle celle", "Reset time in each cell"},
    {"menuAbout", "Informazioni", "About"},
    {"actionInformazioni", "Informazioni", "About"},
};

void switchTo(frmProgPannel &w, bool english)
{
    widget<QAction>(w, english ? "actionInglese" : "actionItaliano")->trigger();
    // Menus that retitle themselves do so on the language change event.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
}

void key(frmProgPannel &w, Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    if (QApplication::activeWindow() != &w)
        QApplication::setActiveWindow(&w);
    QTest::keyClick(&w, k, mods);
}

// Every action of the window, the docks' included.
QSet<QAction *> allActions(frmProgPannel &w)
{
    QSet<QAction *> actions;
    for (QAction *a : w.findChildren<QAction *>())
        actions.insert(a);
    for (QDockWidget *dock : w.findChildren<QDockWidget *>()) {
        actions.insert(dock->toggleViewAction());
        for (QAction *a : dock->actions())
            actions.insert(a);
    }
    return actions;
}

QString entryName(frmProgPannel &w, QAction *entry, const QWidget *level)
{
    if (entry->menu())
        return entry->menu()->objectName();
    if (!entry->objectName().isEmpty())
        return entry->objectName();
    for (QDockWidget *dock : w.findChildren<QDockWidget *>()) {
        if (MainWindowProbe(w).views()->showAction(dock) == entry)
            return dock->objectName();
    }
    return level->objectName() + QStringLiteral("/entry");
}

QList<QWidget *> menuLevels(QMenuBar *bar)
{
    QList<QWidget *> levels{bar};
    for (int i = 0; i < levels.size(); ++i) {
        for (QAction *a : levels.at(i)->actions()) {
            if (a->menu())
                levels << a->menu();
        }
    }
    return levels;
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void keysAndMnemonics_data();
    void keysAndMnemonics();
    void altAndF10OpenMenus();
    void functionKeysAreTheButtons();
    void keysBelongToTheFocusWidget();
};

void TestKeyboard::initTestCase()
{
    useTestSettings();
}

void TestKeyboard::init()
{
    QSettings().clear();
}

void TestKeyboard::keysAndMnemonics_data()
{
    QTest::addColumn<bool>("english");
    QTest::newRow("Italian") << false;
    QTest::newRow("English") << true;
}

void TestKeyboard::keysAndMnemonics()
{
    QFETCH(bool, english);
    frmProgPannel w;
    switchTo(w, english);

    // No key sequence belongs to two actions, whether enabled or not.
    QMap<QString, QString> owner;
    QStringList clashes;
    for (QAction *a : allActions(w)) {
        const QString name = a->objectName().isEmpty() ? plainText(a) : a->objectName();
        for (const QKeySequence &k : a->shortcuts()) {
            const QString keys = k.toString(QKeySequence::PortableText);
            if (owner.contains(keys))
                clashes << QStringLiteral("%1: %2 and %3").arg(keys, owner.value(keys), name);
            owner.insert(keys, name);
        }
    }
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QStringLiteral("; "))));
    QCOMPARE(widget<QAction>(w, "actionCarica_Profilo")->shortcuts(),
             QKeySequence::keyBindings(QKeySequence::Open));
    QCOMPARE(widget<QAction>(w, "actionSalva_Profilo")->shortcuts(),
             QKeySequence::keyBindings(QKeySequence::Save));
    QCOMPARE(owner.value(QStringLiteral("F5")), QStringLiteral("action_btReadFlash"));
    QCOMPARE(owner.value(QStringLiteral("F6")), QStringLiteral("action_btSaveFlash"));
    QCOMPARE(owner.value(QStringLiteral("F7")), QStringLiteral("action_btStartLink"));
    QCOMPARE(owner.value(QStringLiteral("F10")), QStringLiteral("actionApriMenu"));

    // Each level: one mnemonic per entry, none twice; without it, the entry
    // reads the catalogue's text.
    QMap<QString, QString> expected;
    for (const MenuText &t : menuTexts)
        expected.insert(QLatin1String(t.name), QString::fromUtf8(english ? t.english : t.italian));
    QStringList wrong;
    QSet<QString> seen;
    for (QWidget *level : menuLevels(w.menuBar())) {
        QMap<QString, QString> letters;
        for (QAction *entry : level->actions()) {
            if (entry->isSeparator())
                continue;
            const QString name = entryName(w, entry, level);
            seen.insert(name);
            const QString mnemonic = QKeySequence::mnemonic(entry->text()).toString();
            if (mnemonic.isEmpty())
                wrong << QStringLiteral("%1 \"%2\" has no mnemonic").arg(name, entry->text());
            else if (letters.contains(mnemonic))
                wrong << QStringLiteral("%1 and %2 share %3")
                             .arg(letters.value(mnemonic), name, mnemonic);
            letters.insert(mnemonic, name);
            if (!expected.contains(name))
                wrong << QStringLiteral("%1 \"%2\": no catalogue text").arg(name, entry->text());
            else if (plainText(entry) != expected.value(name))
                wrong << QStringLiteral("%1 reads \"%2\", not \"%3\"")
                             .arg(name, plainText(entry), expected.value(name));
        }
    }
    for (const QString &name : expected.keys()) {
        if (!seen.contains(name))
            wrong << QStringLiteral("%1 is in no menu").arg(name);
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

// Alt with the File menu's letter opens it, as F10 opens the first menu.
void TestKeyboard::altAndF10OpenMenus()
{
    frmProgPannel w;
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    switchTo(w, false);
    auto *file = widget<QMenu>(w, "menuFile");
    auto *edit = widget<QMenu>(w, "menuModifica");
    QCOMPARE(edit->title(), QStringLiteral("&Modifica"));

    key(w, Qt::Key_M, Qt::AltModifier);
    QTRY_VERIFY(edit->isVisible());
    edit->close();
    QTRY_VERIFY(!edit->isVisible());

    key(w, Qt::Key_F10);
    QTRY_VERIFY(file->isVisible());
    file->close();
}

// F5, F6 and F7 are the buttons: their commands are enabled exactly when the
// buttons are, and a key does what a click on the button does.
void TestKeyboard::functionKeysAreTheButtons()
{
    SimulatedEcu ecu(QStringLiteral("keys"));
    ecu.sim.setTableByte(3, 7);
    frmProgPannel w(nullptr, shortTimings());
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MainWindowProbe p(w);
    auto *read = widget<QPushButton>(w, "btReadFlash");
    auto *write = widget<QPushButton>(w, "btSaveFlash");
    auto *link = widget<QPushButton>(w, "btStartLink");
    const QList<QPair<QPushButton *, QAction *>> commands{
        {read, widget<QAction>(w, "action_btReadFlash")},
        {write, widget<QAction>(w, "action_btSaveFlash")},
        {link, widget<QAction>(w, "action_btStartLink")}};
    const auto sameState = [&commands] {
        for (const auto &c : commands) {
            if (c.first->isEnabled() != c.second->isEnabled())
                return false;
        }
        return true;
    };
    QSignalSpy readPressed(read, &QPushButton::pressed);
    QSignalSpy writePressed(write, &QPushButton::pressed);
    QSignalSpy linkPressed(link, &QPushButton::pressed);

    // Without an ECU the buttons are off, and so are their keys.
    QVERIFY(!read->isEnabled());
    QVERIFY(sameState());
    for (Qt::Key k : {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7})
        key(w, k);
    QCOMPARE(readPressed.count() + writePressed.count() + linkPressed.count(), 0);

    QVERIFY(connectToEcu(w, ecu.path()));
    QVERIFY(read->isEnabled());
    QVERIFY(sameState());
    QCOMPARE(p.profile().at(3), 7.0);

    // F7 switches the link, and its command takes the button's new caption.
    for (bool on : {true, false}) {
        key(w, Qt::Key_F7);
        QCOMPARE(p.linkOn(), on);
        QTRY_COMPARE(plainText(commands.at(2).second), link->text());
    }
    QCOMPARE(linkPressed.count(), 2);

    // F6 writes the profile shown; the commands are off while it runs.
    QVector<double> values = p.profile();
    values[3] = 9;
    p.setProfile(values);
    key(w, Qt::Key_F6);
    QCOMPARE(writePressed.count(), 1);
    QVERIFY(!read->isEnabled());
    QVERIFY(sameState());
    QTRY_VERIFY_WITH_TIMEOUT(read->isEnabled(), 15000);
    QCOMPARE(ecu.sim.tableByte(3), quint8(9));

    // F5 reads the ECU's profile back.
    ecu.sim.setTableByte(3, 5);
    key(w, Qt::Key_F5);
    QCOMPARE(readPressed.count(), 1);
    QVERIFY(sameState());
    QTRY_COMPARE_WITH_TIMEOUT(p.profile().at(3), 5.0, 15000);
    QTRY_VERIFY(read->isEnabled());
    QVERIFY(sameState());
}

// Every widget that takes the focus gets every plain key that moves, scrolls
// or confirms. In the views (docks) the widget keeps them: no value and no
// selection of the profile changes, except through the table, whose keys
// edit it. On the form the arrows stay the cursor commands, as designed.
void TestKeyboard::keysBelongToTheFocusWidget()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("ride.csv"));
    QByteArray rows = kDataLogHeader;
    for (int i = 0; i <= 600; ++i) {
        CLiveSample s;
        s.rpm = 1000 + i;
        s.cellIndex = i % 41;
        appendDataLogRow(&rows, i * 100, s, 1, false);
    }
    QFile file(log);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(rows) == rows.size());
    file.close();

    frmProgPannel w;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    MainWindowProbe p(w);
    p.views()->showAction(widget<QDockWidget>(w, "dockTabella"))->trigger();
    p.views()->showAction(widget<QDockWidget>(w, "dockRegistrazione"))->trigger();
    QVERIFY(p.dataLogDock()->openLog(log));
    auto *slider = widget<QSlider>(w, "slPosizioneLog");
    auto *table = widget<QTableView>(w, "tableMappa");
    QWidget *canvas = p.plot().plot()->canvas();

    const auto state = [&p] {
        return QVariantList{QVariant::fromValue(p.profile()), p.model().first(),
                            p.model().last(), p.model().current()};
    };
    const Qt::Key keys[] = {Qt::Key_Up,   Qt::Key_Down,   Qt::Key_Left,     Qt::Key_Right,
                            Qt::Key_Home, Qt::Key_End,    Qt::Key_PageUp,   Qt::Key_PageDown,
                            Qt::Key_Return, Qt::Key_Enter};
    QStringList wrong;
    int walked = 0;
    for (QWidget *target : w.findChildren<QWidget *>()) {
        if (target->focusPolicy() == Qt::NoFocus || !target->isVisible() || !target->isEnabled()
            || table->isAncestorOf(target) || target == table)
            continue;
        bool inView = false;
        for (QWidget *up = target; up; up = up->parentWidget())
            inView = inView || qobject_cast<QDockWidget *>(up);
        const bool onPlot = target == canvas || target == p.plot().plot();
        if (onPlot)
            continue; // the plot's own keys: the cursor commands
        ++walked;
        for (Qt::Key k : keys) {
            // Enter on the form is the value dialog's command, as designed.
            if (!inView && (k == Qt::Key_Return || k == Qt::Key_Enter))
                continue;
            p.model().select(20);
            target->setFocus();
            if (!target->hasFocus())
                break;
            const QVariantList before = state();
            const int sliderBefore = slider->value();
            QTest::keyClick(target, k);
            const bool changed = state() != before;
            const QString name = target->objectName().isEmpty()
                                     ? QString::fromLatin1(target->metaObject()->className())
                                     : target->objectName();
            const QString keyName = QKeySequence(k).toString();
            if (inView && changed)
                wrong << QStringLiteral("%1 in a view: %2 changed the profile").arg(name, keyName);
            if (!inView && k == Qt::Key_Up && !changed)
                wrong << QStringLiteral("%1 on the form: Up did not nudge").arg(name);
            if (target == slider && k == Qt::Key_Up && slider->value() == sliderBefore)
                wrong << QStringLiteral("Up did not move the replay slider");
        }
    }
    QVERIFY2(walked >= 8, qPrintable(QString::number(walked)));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
