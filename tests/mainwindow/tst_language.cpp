// Switching the language of the running program: the form's texts, the
// run-time captions and placeholders, the plot titles, the dialogs, the file
// dialogs, and the language the next start begins in.
#include "app/startup.h"
#include "dialogs/frmabout.h"
#include "dialogs/frmlogin.h"
#include "ecuconnection.h"
#include "mainwindow/cacceleratormanager.h"
#include "mainwindow/frmprogpannel_styles.h"
#include "mainwindowprobe.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <qwt_text.h>

namespace {

const QString WindowTitle = QStringLiteral("ECU Vantor - V.2.0.0.1");

// One translatable text of the main window: object, property, and what each
// catalogue shows.
struct FormText
{
    const char *object;
    const char *property;
    const char *italian;
    const char *english;
};

const FormText formTexts[] = {
    {"actionCarica_Profilo", "text", "Carica Mappa", "Load Profile"},
    {"actionSalva_Profilo", "text", "Salva Mappa", "Save Profile"},
    {"actionUscita_Programma", "text", "Termina programma", "Exit program"},
    {"actionCercaCentralina", "text", "Cerca ECU Vantor", "Search for ECU Vantor"},
    {"actionMuovi_Su", "text", "Muovi Sù", "Move Up"},
    {"actionMuovi_Giu", "text", "Muovi Giù", "Move Down"},
    {"actionMuovi_Sinistra", "text", "Muovi Sinistra", "Move Left"},
    {"actionMuovi_Destra", "text", "Muovi Destra", "Move Right"},
    {"actionInformazioni", "text", "Informazioni", "About"},
    {"actionCentralina_2cilindri", "text", "ECU Vantor per moto a 2 cilindri",
     "ECU Vantor for 2 cylinder bikes"},
    {"actionCentralina_4cilindri", "text", "ECU Vantor per moto a 4 cilindri",
     "ECU Vantor for 4 cylinder bikes"},
    {"actionInglese", "text", "Inglese", "English"},
    {"actionItaliano", "text", "Italiano", "Italian"},
    {"actionModo_Esperto", "text", "Modo Esperto", "Expert Mode"},
    {"menuFile", "title", "File", "File"},
    {"menuConfigurazione", "title", "Configurazione", "Configuration"},
    {"menuTipoCentralina", "title", "Seleziona versione ECU Vantor",
     "Select version of ECU Vantor"},
    {"menuSeleziona_Lingua", "title", "Seleziona Lingua", "Choose your language"},
    {"menuMuovi_Cursure", "title", "Muovi Cursore", "Move Cursor"},
    {"menuAbout", "title", "Informazioni", "About"},
    {"lblRPM", "text", "Giri/min", "RPM"},
    {"label", "text", "Porta Virtuale", "Virtual Comm"},
    {"btRicercaPorta", "toolTip", "Cerca la connessione con ECU Vantor e ne attiva/disattiva il link",
     "Look for ECU Vantor connection and enable/disable a link"},
    {"btRicercaPorta", "text", "     Cerca ECU Vantor", "     Search for ECU Vantor"},
    {"btStartLink", "toolTip", "Attiva/Blocca l'aggiornamento dei giri",
     "Start/Stop the update of RPM"},
    {"btSaveFlash", "toolTip", "Invia la mappa a ECU Vantor", "Send the profile plot to ECU Vantor"},
    {"btSaveFlash", "text", "Invia Mappa a ECU Vantor", "Update Profile on ECU Vantor"},
    {"btReadFlash", "toolTip", "Legge la mappa iniezione da ECU Vantor",
     "Read the profile plot from ECU Vantor"},
    {"btReadFlash", "text", "Leggi Mappa da ECU Vantor", "Read Profile from ECU Vantor"},
    {"lblLivelloSensore", "text", "Analog. Sonda", "TEMP Sensor"},
    {"lblAdcSonda", "toolTip", "Valore analogico della sonda temperatura",
     "Analogic value of temperature probe"},
    {"btBanco", "toolTip", "Imposta/Rimuove la Modalità Banco Prova", "Set/Reset Test Mode"},
    {"lblIniezione", "text", "Divisore n.Giri", "RPM Divider"},
    {"spKIniezione", "toolTip", "Fattore di divisione del numero di giri", "RPM factor divider"},
    {"lblProfiloPiatto", "text", "Val. Mappa Piatta", "Flat Profile Value"},
    {"spProfiloPiatto", "toolTip", "Valore per la Mappa Piatta", "Value for Flat Profile"},
    {"btFlatProfile", "toolTip", "Genera una Mappa Piatta", "Generate a Flat Plot"},
    {"btFlatProfile", "text", "Genera Mappa Piatta", "Generate Flat Profile"},
    {"lblProfilo", "text", "Mappa utilizzata", "Profile in use"},
    {"btCaricaProfilo", "toolTip", "Carica Mappa da file", "Load from file a profile plot"},
    {"btCaricaProfilo", "text", "Carica Mappa", "Load Profile"},
    {"btSalvaProfilo", "toolTip", "Salva Mappa in uso su file",
     "Save on file the current profile plot"},
    {"btSalvaProfilo", "text", "Salva Mappa", "Save Profile"},
    {"btClose", "toolTip", "Chiude l'applicazione", "Close application"},
    {"btClose", "text", "Chiudi", "Close"},
};

// Texts the program composes at run time, per language.
struct RunTimeTexts
{
    QString link, bancoOff, bancoOn, noProfile, noPort, plotTitle, xTitle, yTitle;
};

RunTimeTexts runTimeTexts(bool english)
{
    if (english)
        return {"RPM Monitor", "Test Mode OFF",  "Test Mode ON", "<No profile loaded>",
                "<None>",      "Injection Plot", "RPM",          "Points"};
    return {"Monitor n.ro giri", "Banco OFF",       "Banco ON",       "<Nessuna mappa caricata>",
            "<Nessuna>",         "Mappa Iniezione", "Giri al minuto", "Punti"};
}

// Texts of the login and About dialogs, which a switch re-applies too.
QStringList dialogTexts(frmProgPannel &w)
{
    MainWindowProbe p(w);
    QDialog *login = p.loginDialog();
    QDialog *about = p.aboutDialog();
    return {login->windowTitle(),
            login->findChild<QLabel *>(QStringLiteral("lblReqPassword"))->text(),
            login->findChild<QPushButton *>(QStringLiteral("btLogin"))->text(),
            about->windowTitle(),
            about->findChild<QPushButton *>(QStringLiteral("btClose"))->text()};
}

// Every form text that differs from the expected one, as readable lines.
QStringList formMismatches(frmProgPannel &w, bool english)
{
    QStringList wrong;
    for (const FormText &t : formTexts) {
        QObject *object = w.findChild<QObject *>(QLatin1String(t.object));
        if (!object) {
            wrong << QStringLiteral("%1 missing").arg(QLatin1String(t.object));
            continue;
        }
        const QString expected = QString::fromUtf8(english ? t.english : t.italian);
        // Menus and their entries show a mnemonic; the text read is without it.
        QString actual = object->property(t.property).toString();
        if (qobject_cast<QAction *>(object) || qobject_cast<QMenu *>(object))
            actual = plainText(actual);
        if (actual != expected)
            wrong << QStringLiteral("%1.%2: \"%3\" instead of \"%4\"")
                         .arg(QLatin1String(t.object), QLatin1String(t.property), actual, expected);
    }
    return wrong;
}

void switchTo(frmProgPannel &w, bool english)
{
    widget<QAction>(w, english ? "actionInglese" : "actionItaliano")->trigger();
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void switchWhileDisconnected_data();
    void switchWhileDisconnected();
    void restartInChosenLanguage_data();
    void restartInChosenLanguage();
    void switchWhileConnected();
    void fileDialogTexts_data();
    void fileDialogTexts();

private:
    QTemporaryDir dir;
};

void TestLanguage::initTestCase()
{
    useTestSettings();
    QVERIFY(dir.isValid());
}

void TestLanguage::init()
{
    QSettings().clear();
}

void TestLanguage::switchWhileDisconnected_data()
{
    // The languages chosen one after another; the last choice repeats the
    // current language, which runs the whole switch again.
    QTest::addColumn<QVector<bool>>("englishSteps");
    QTest::newRow("English, Italian, Italian again") << QVector<bool>{true, false, false};
    QTest::newRow("Italian, English, English again") << QVector<bool>{false, true, true};
}

void TestLanguage::switchWhileDisconnected()
{
    QFETCH(QVector<bool>, englishSteps);

    frmProgPannel w;
    MainWindowProbe p(w);
    auto *adc = widget<QLabel>(w, "lblAdcSonda");
    auto *banco = widget<QPushButton>(w, "btBanco");
    auto *logo = widget<QLabel>(w, "lblLogo");
    auto *plot = widget<QwtPlot>(w, "qwtPlot");
    const QImage logoBefore = logo->pixmap(Qt::ReturnByValue).toImage();
    QVERIFY(!logoBefore.isNull());
    const QString bancoStyle = banco->styleSheet();
    QCOMPARE(bancoStyle, QStringLiteral(BANCO_OFF_STYLE));
    // A level left on the probe label is data, not text: no pass resets it.
    adc->setText(QStringLiteral("137"));

    for (bool english : englishSteps) {
        switchTo(w, english);
        const QString lang = english ? QStringLiteral("EN") : QStringLiteral("IT");
        const QStringList wrong = formMismatches(w, english);
        QVERIFY2(wrong.isEmpty(), qPrintable(lang + ": " + wrong.join(QStringLiteral("; "))));

        const RunTimeTexts texts = runTimeTexts(english);
        QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->text(), texts.noPort);
        QCOMPARE(widget<QLabel>(w, "lblPathProfilo")->text(), texts.noProfile);
        QCOMPARE(widget<QPushButton>(w, "btStartLink")->text(), texts.link);
        QCOMPARE(banco->text(), texts.bancoOff);

        const QwtText title = plot->title();
        QCOMPARE(title.text(), texts.plotTitle);
        QCOMPARE(title.color(), QColor(Qt::yellow));
        const QPair<int, QString> axes[] = {{QwtPlot::xBottom, texts.xTitle},
                                            {QwtPlot::yLeft, texts.yTitle}};
        for (const auto &axis : axes) {
            const QwtText t = plot->axisTitle(axis.first);
            QCOMPARE(t.text(), axis.second);
            QCOMPARE(t.color(), QColor(Qt::white));
            QCOMPARE(t.font().family(), QStringLiteral("Arial"));
            QCOMPARE(t.font().pointSize(), 18);
            QCOMPARE(t.font().weight(), 75);
            QVERIFY(!t.font().italic());
        }

        // The group boxes carry no title; the logo keeps its picture.
        const QList<QGroupBox *> groups = w.findChildren<QGroupBox *>();
        QVERIFY(groups.size() >= 9);
        for (QGroupBox *g : groups)
            QVERIFY2(g->title().isEmpty(), qPrintable(g->objectName()));
        QCOMPARE(logo->pixmap(Qt::ReturnByValue).toImage(), logoBefore);

        QCOMPARE(shownTitle(w), WindowTitle);
        QCOMPARE(widget<QAction>(w, "actionInglese")->isChecked(), english);
        QCOMPARE(widget<QAction>(w, "actionItaliano")->isChecked(), !english);
        QCOMPARE(QSettings().value("Language").toString(), lang);

        const QStringList dialogs =
            english ? QStringList{"Expert Mode", "Enter the  password", "Confirm", "Info", "Close"}
                    : QStringList{"Modalità esperto", "Digitare la password", "Conferma",
                                  "Informazioni", "Chiudi"};
        QCOMPARE(dialogTexts(w), dialogs);

        QCOMPARE(adc->text(), QStringLiteral("137"));
        QCOMPARE(banco->styleSheet(), bancoStyle);
        QVERIFY(!p.connected());
    }

    // A plot rebuilt afterwards (a variant selection) keeps the language.
    const bool english = englishSteps.last();
    widget<QAction>(w, "actionCentralina_4cilindri")->trigger();
    QCOMPARE(plot->title().text(), runTimeTexts(english).plotTitle);
    QCOMPARE(plot->axisTitle(QwtPlot::xBottom).text(), runTimeTexts(english).xTitle);
    QCOMPARE(widget<QLabel>(w, "lblPathProfilo")->text(), runTimeTexts(english).noProfile);
}

void TestLanguage::restartInChosenLanguage_data()
{
    QTest::addColumn<QString>("storedBefore");
    QTest::addColumn<bool>("english");
    QTest::newRow("Italian start, switch to English") << "IT" << true;
    QTest::newRow("English start, switch to Italian") << "EN" << false;
}

void TestLanguage::restartInChosenLanguage()
{
    QFETCH(QString, storedBefore);
    QFETCH(bool, english);

    {
        QSettings settings;
        settings.setValue("Language", storedBefore);
        QTranslator startup;
        installStartupTranslator(settings, startup);
        frmProgPannel w;
        QCOMPARE(widget<QAction>(w, "actionInglese")->isChecked(), !english);
        switchTo(w, english);
        // The start-up translator goes away with this scope, as the program's
        // does at exit.
    }
    QCOMPARE(QSettings().value("Language").toString(),
             english ? QStringLiteral("EN") : QStringLiteral("IT"));

    // The next start, as the entry point does it.
    QSettings settings;
    QTranslator startup;
    QCOMPARE(installStartupTranslator(settings, startup),
             english ? QStringLiteral("ECUVantor-en.qm") : QStringLiteral("ECUVantor-it.qm"));
    // Qt's own texts follow: the key names shown beside the cursor actions.
    QCOMPARE(QKeySequence(Qt::Key_Up).toString(QKeySequence::NativeText),
             english ? QStringLiteral("Up") : QStringLiteral("Su"));
    frmProgPannel w;
    const QStringList wrong = formMismatches(w, english);
    const RunTimeTexts texts = runTimeTexts(english);
    QCoreApplication::removeTranslator(&startup);

    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    QCOMPARE(widget<QAction>(w, "actionInglese")->isChecked(), english);
    QCOMPARE(widget<QAction>(w, "actionItaliano")->isChecked(), !english);
    QCOMPARE(widget<QPushButton>(w, "btStartLink")->text(), texts.link);
    QCOMPARE(widget<QPushButton>(w, "btBanco")->text(), texts.bancoOff);
    QCOMPARE(widget<QLabel>(w, "lblPathProfilo")->text(), texts.noProfile);
    QCOMPARE(widget<QLabel>(w, "lblVirtualPort")->text(), texts.noPort);
    QCOMPARE(widget<QwtPlot>(w, "qwtPlot")->title().text(), texts.plotTitle);
    QCOMPARE(shownTitle(w), WindowTitle);
}

void TestLanguage::switchWhileConnected()
{
    SimulatedEcu ecu(QStringLiteral("lang"));
    CWorkerTimings t = shortTimings();
    t.linkTimeoutMs = 60;
    frmProgPannel w(nullptr, t);
    MainWindowProbe p(w);

    // The port search finds the ECU; the language changes while its dialog
    // is open: its texts change and the status line is cleared.
    QCOMPARE(searchAndPick(w, ecu.path()), QStringLiteral("Scheda trovata"));
    auto *search = static_cast<QDialog *>(p.ricercaPorta());
    auto *status = search->findChild<QLabel *>(QStringLiteral("lblStatus"));
    switchTo(w, true);
    QCOMPARE(search->windowTitle(), QStringLiteral("Search for ECU Vantor"));
    QCOMPARE(search->findChild<QLabel *>(QStringLiteral("lblRicerca"))->text(),
             QStringLiteral("Communication Ports Found on your System"));
    QCOMPARE(search->findChild<QPushButton *>(QStringLiteral("btClose"))->text(),
             QStringLiteral("Close"));
    QCOMPARE(status->text(), QString());
    switchTo(w, false);
    QCOMPARE(search->windowTitle(), QStringLiteral("Cerca ECU Vantor"));
    QCOMPARE(search->findChild<QLabel *>(QStringLiteral("lblRicerca"))->text(),
             QStringLiteral("Porte seriali rilevate nel sistema"));
    QCOMPARE(search->findChild<QPushButton *>(QStringLiteral("btClose"))->text(),
             QStringLiteral("Chiudi"));

    // Close the dialog: connected; the profile is read from the ECU.
    search->close();
    QVERIFY(p.connected());
    auto *read = widget<QPushButton>(w, "btReadFlash");
    QTRY_VERIFY_WITH_TIMEOUT(read->isEnabled(), 15000);

    // Link on, test bench on, a profile file shown.
    auto *link = widget<QPushButton>(w, "btStartLink");
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton);
    QVERIFY(p.linkOn());
    w.onBancoClicked();
    QVERIFY(p.bancoOn());
    const QString profilePath = dir.filePath("shown.prf");
    QFile f(profilePath);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(41, char(3)) + QByteArray(1, char(2)));
    f.close();
    answerFileDialog(profilePath);
    QCOMPARE(p.loadProfileFile(), FileOutcome::Done);
    QVERIFY(p.profileFileShown());

    auto *port = widget<QLabel>(w, "lblVirtualPort");
    auto *path = widget<QLabel>(w, "lblPathProfilo");
    auto *banco = widget<QPushButton>(w, "btBanco");
    const QString shownPort = QFileInfo(ecu.path()).fileName(); // the link's own name
    QCOMPARE(port->text(), shownPort);

    for (bool english : {true, false, true}) {
        switchTo(w, english);
        const RunTimeTexts texts = runTimeTexts(english);
        QCOMPARE(port->text(), shownPort);
        QCOMPARE(port->toolTip(), ecu.path());
        QCOMPARE(path->text(), profilePath);
        QCOMPARE(link->text(), texts.link);
        QCOMPARE(banco->text(), texts.bancoOn);
        QCOMPARE(banco->styleSheet(), QStringLiteral(BANCO_ON_STYLE));
        QCOMPARE(link->styleSheet(), QStringLiteral(LED_ON_STYLE));
        QVERIFY(p.linkOn());
        QVERIFY(p.connected());
    }

    // Link and bench off: the captions follow the state in the new language.
    QTest::mousePress(link, Qt::LeftButton);
    QTest::mouseRelease(link, Qt::LeftButton);
    w.onBancoClicked();
    QVERIFY(!p.linkOn());
    QVERIFY(!p.bancoOn());
    switchTo(w, false);
    QCOMPARE(banco->text(), QStringLiteral("Banco OFF"));
    QCOMPARE(link->text(), QStringLiteral("Monitor n.ro giri"));
    QCOMPARE(port->text(), shownPort);
}

void TestLanguage::fileDialogTexts_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("openTitle");
    QTest::addColumn<QString>("saveTitle");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("cancel"); // Qt's own text, from Qt's catalogue
    QTest::newRow("English") << true << "Load Profile" << "Save profile" << "Profiles (*.prf)"
                             << "Cancel";
    QTest::newRow("Italian") << false << "Apre file di Mappa" << "Salva file di Mappa"
                             << "Mappe (*.prf)" << "Annulla";
}

void TestLanguage::fileDialogTexts()
{
    QFETCH(bool, english);
    QFETCH(QString, openTitle);
    QFETCH(QString, saveTitle);
    QFETCH(QString, filter);
    QFETCH(QString, cancel);

    frmProgPannel w;
    MainWindowProbe p(w);
    switchTo(w, english);

    struct Seen
    {
        QString title;
        QStringList filters;
        QStringList buttons;
        bool seen = false;
    };
    for (bool save : {false, true}) {
        auto seen = std::make_shared<Seen>();
        answerNextDialog<QFileDialog>([seen](QFileDialog *d) {
            seen->title = d->windowTitle();
            seen->filters = d->nameFilters();
            for (QAbstractButton *b : d->findChildren<QAbstractButton *>())
                seen->buttons << b->text().remove(QLatin1Char('&'));
            seen->seen = true;
            d->reject();
        });
        const FileOutcome outcome = save ? p.saveProfileFile() : p.loadProfileFile();
        QCOMPARE(outcome, FileOutcome::Cancelled);
        QVERIFY(seen->seen);
        QCOMPARE(seen->title, save ? saveTitle : openTitle);
        QCOMPARE(seen->filters, QStringList{filter});
        QVERIFY2(seen->buttons.contains(cancel), qPrintable(seen->buttons.join(QLatin1Char(','))));
    }
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
