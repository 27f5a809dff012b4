// The command line: options, bad values and exit codes (texts checked in
// English, which also proves the keys match the catalogue), and the start-up
// options against the real main window and the ECU simulator.
#include "app/commandline.h"
#include "comm/frames.h"
#include "mainwindow/cacceleratormanager.h"
#include "mainwindow/ecuconnection.h"
#include "profile/profilefolder.h"

#include <QAction>
#include <QTranslator>

using Action = CCommandLine::Action;
Q_DECLARE_METATYPE(CCommandLine::Action)

class tst_CommandLine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parse_data();
    void parse();
    void startUpOptions();

private:
    QTemporaryDir scratch;
    QTranslator english;
};

void tst_CommandLine::initTestCase()
{
    QVERIFY(scratch.isValid());
    QVERIFY(english.load(QStringLiteral("ECUVantor-en.qm"), QStringLiteral(":/linguist")));
    QCoreApplication::installTranslator(&english);
    QFile file(scratch.filePath(QStringLiteral("a-file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

void tst_CommandLine::parse_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("error"); // how the message begins

    const QString dir = scratch.filePath(QStringLiteral("made/on/demand"));
    const QString file = scratch.filePath(QStringLiteral("a-file"));
    using L = QStringList;
    QTest::newRow("none") << L{} << Action::Run << "" << "" << "";
    QTest::newRow("help") << L{"--help"} << Action::Help << "" << "" << "";
    QTest::newRow("-h") << L{"-h"} << Action::Help << "" << "" << "";
    QTest::newRow("version") << L{"--version"} << Action::Version << "" << "" << "";
    QTest::newRow("lang en") << L{"--lang", "en"} << Action::Run << "en" << "" << "";
    QTest::newRow("lang=IT") << L{"--lang=IT"} << Action::Run << "it" << "" << "";
    QTest::newRow("port by name") << L{"--port", "ttyUSB0"} << Action::Run << "" << "ttyUSB0" << "";
    QTest::newRow("port by path") << L{"--port", "/dev/pts/7"} << Action::Run << "" << "/dev/pts/7" << "";
    QTest::newRow("profiles made") << L{"--profiles", dir} << Action::Run << "" << "" << "";
    QTest::newRow("toolkit options pass")
        << L{"-platform", "offscreen", "-style=fusion", "--reverse", "--lang", "en"} << Action::Run << "en"
        << "" << "";
    QTest::newRow("unknown option") << L{"--bogus"} << Action::Error << "" << ""
                                    << "ecu-vantor: unknown option: --bogus";
    QTest::newRow("one dash, long name") << L{"-lang", "en"} << Action::Error << "" << ""
                                         << "ecu-vantor: unknown option: -lang";
    QTest::newRow("unknown beats help") << L{"--help", "-x"} << Action::Error << "" << ""
                                        << "ecu-vantor: unknown option: -x";
    QTest::newRow("missing value") << L{"--port"} << Action::Error << "" << ""
                                   << "ecu-vantor: missing value for option --port";
    QTest::newRow("bad language") << L{"--lang", "fr"} << Action::Error << "" << ""
                                  << "ecu-vantor: invalid language: \"fr\" (allowed: it, en)";
    QTest::newRow("bad port") << L{"--port", "printer"} << Action::Error << "" << ""
                              << "ecu-vantor: invalid port: \"printer\" (a name such as ttyUSB0 or COM3, "
                                 "or the device's path)";
    QTest::newRow("empty port") << L{"--port="} << Action::Error << "" << ""
                                << "ecu-vantor: invalid port: \"\" (a name such as ttyUSB0 or COM3, "
                                   "or the device's path)";
    QTest::newRow("profiles is a file") << L{"--profiles", file} << Action::Error << "" << ""
                                        << QStringLiteral("ecu-vantor: cannot use the profile folder: \"%1\"")
                                               .arg(file);
    QTest::newRow("stray argument") << L{"gara.prf"} << Action::Error << "" << ""
                                    << "ecu-vantor: unexpected argument: gara.prf";
    QTest::newRow("value on a flag") << L{"--version=2"} << Action::Error << "" << ""
                                     << "ecu-vantor: invalid command line: ";
}

void tst_CommandLine::parse()
{
    QFETCH(QStringList, args);
    QFETCH(Action, action);
    QFETCH(QString, language);
    QFETCH(QString, port);
    QFETCH(QString, error);

    const CCommandLine cl(QStringList{QStringLiteral("/usr/bin/ecu-vantor")} + args);
    QCOMPARE(cl.action(), action);
    QCOMPARE(cl.exitCode(), action == Action::Error ? 2 : 0);
    QCOMPARE(cl.language(), language);
    QCOMPARE(cl.port(), port);
    const QString firstLine = cl.errorText().section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(error.isEmpty() ? cl.errorText().isEmpty() : firstLine.startsWith(error), qPrintable(firstLine));
    if (action == Action::Error)
        QVERIFY(cl.errorText().contains(QLatin1String("Use \"ecu-vantor --help\" for the list of options.")));
    if (args.contains(QStringLiteral("--profiles")) && action == Action::Run)
        QVERIFY(QFileInfo(cl.profiles()).isDir());
    if (action == Action::Help) {
        const QString help = cl.helpText();
        QVERIFY(help.startsWith(QLatin1String("Usage: ecu-vantor [options]\n")));
        for (const char *option : {"--help", "--version", "--lang it|en", "--port NAME", "--profiles FOLDER"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
    }
}

// --lang, --profiles and --port as the program applies them: English on
// screen and in the menu with the setting left as it was, the profile
// dialogs' folder, and the port probed and connected to, the profile read.
void tst_CommandLine::startUpOptions()
{
    QCoreApplication::removeTranslator(&english);
    QSettings().setValue(QStringLiteral("Language"), QStringLiteral("IT"));
    SimulatedEcu ecu;
    const QString folder = scratch.filePath(QStringLiteral("profiles"));
    const CCommandLine cl({QStringLiteral("ecu-vantor"), QStringLiteral("--lang"), QStringLiteral("en"),
                           QStringLiteral("--profiles"), folder, QStringLiteral("--port"), ecu.path()});
    QCOMPARE(cl.action(), Action::Run);

    QTranslator startup;
    QVERIFY(startup.load(QStringLiteral("ECUVantor-it.qm"), QStringLiteral(":/linguist")));
    QCoreApplication::installTranslator(&startup);
    cl.applyBeforeWindow(startup);
    QCOMPARE(profileFolder(), folder);
    setProfileFolderOverride(QString());

    frmProgPannel w(nullptr, shortTimings());
    w.show();
    cl.applyToWindow(&w);
    QCOMPARE(widget<QAction>(w, "actionInglese")->isChecked(), true);
    QCOMPARE(widget<QAction>(w, "actionItaliano")->isChecked(), false);
    QCOMPARE(plainText(widget<QAction>(w, "actionCercaCentralina")), QStringLiteral("Search for ECU Vantor"));

    MainWindowProbe p(w);
    auto *dialog = static_cast<QDialog *>(p.ricercaPorta());
    QVERIFY(dialog->isVisible());
    QTRY_VERIFY(p.connected());
    QVERIFY(!dialog->isVisible()); // closed itself on "found"
    QCOMPARE(p.portName(), ecu.path());
    // The profile is read as after a search the user made.
    QTRY_VERIFY_WITH_TIMEOUT(widget<QPushButton>(w, "btReadFlash")->isEnabled(), 15000);
    QVERIFY(ecu.sim.requests().contains(buildReadFrame(0)));
    QCOMPARE(QSettings().value(QStringLiteral("Language")).toString(), QStringLiteral("IT"));
    QCoreApplication::removeTranslator(&startup);
}

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
