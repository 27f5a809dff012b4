// ecu-vantor-cli as a workshop runs it: the built program as a process, its
// exit code and what it prints (English texts, JSON documents), against
// profile files and the ECU simulator on a pseudo-terminal; and the helpers
// it hands to the ECU subcommands (port choice, progress bar, Ctrl+C).
#include "cli/ports.h"
#include "cli/terminal.h"
#include "ecusimulator.h"
#include "portsearch/virtualports.h"
#include "ptysimserver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <memory>

namespace {

struct CliRun
{
    int code = -1; // -1: it did not end in time
    QString out;
    QString err;
};

// Runs the program with the locale variables cleared (English) plus env,
// turning this thread's event loop meanwhile: the simulator serves from it.
CliRun runCli(const QStringList &args, const QStringList &env)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG", "LANGUAGE"})
        environment.remove(QLatin1String(name));
    for (const QString &entry : env)
        environment.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    QProcess process;
    process.setProcessEnvironment(environment);
    QSignalSpy finished(&process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished));
    process.start(QStringLiteral(CLI_PROGRAM), args);
    CliRun run;
    if (!finished.count() && !finished.wait(30000)) {
        process.kill();
        process.waitForFinished();
    } else if (process.exitStatus() == QProcess::NormalExit) {
        run.code = process.exitCode();
    }
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The simulator on a pseudo-terminal, linked into the virtual-port folder.
struct Simulator
{
    EcuSimulator sim;
    PtySimServer server{&sim};

    explicit Simulator(const QString &name, const QString &kind = QString())
    {
        if (!server.open() || !server.linkInto(virtualPortFolder(), name))
            qFatal("cannot serve the simulator on a pseudo-terminal");
        server.setPaced(kind == QLatin1String("paced"));
        if (kind == QLatin1String("wrong-store"))
            sim.setFault(EcuSimulator::Fault::WrongStore);
    }
};

// "re:" starts a regular expression (multi-line); anything else is a
// plain substring.
bool holds(const QString &text, const QString &expected)
{
    if (!expected.startsWith(QLatin1String("re:")))
        return text.contains(expected);
    const QRegularExpression re(expected.mid(3), QRegularExpression::MultilineOption);
    return re.match(text).hasMatch();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

} // namespace

class tst_Cli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void run_data();
    void run();
    void portChoice_data();
    void portChoice();
    void progressBar();
    void interrupt();

private:
    QTemporaryDir scratch;
    QMap<QString, QString> places; // placeholder -> text
    QString fill(QString text) const;
};

void tst_Cli::initTestCase()
{
    QVERIFY(scratch.isValid());
    qRegisterMetaType<QProcess::ExitStatus>();
    // a: values -5..35, K 2. b: points 1 and 40 and K differ. same: a with
    // bytes past the 42nd, which a profile ignores.
    QByteArray a;
    for (int i = 0; i < 41; ++i)
        a.append(static_cast<char>(i - 5));
    a.append(char(2));
    QByteArray b = a;
    b[1] = 7;
    b[40] = 30;
    b[41] = 3;
    const auto file = [this](const char *name) { return scratch.filePath(QLatin1String(name)); };
    writeFile(file("a.prf"), a);
    writeFile(file("b.prf"), b);
    writeFile(file("same.prf"), a + QByteArray("xyz"));
    writeFile(file("short.prf"), a.left(10));
    places = {{QStringLiteral("{dir}"), scratch.path()},
              {QStringLiteral("{a}"), file("a.prf")},
              {QStringLiteral("{b}"), file("b.prf")},
              {QStringLiteral("{same}"), file("same.prf")},
              {QStringLiteral("{short}"), file("short.prf")},
              {QStringLiteral("{missing}"), file("missing.prf")},
              {QStringLiteral("{sim}"), QDir(virtualPortFolder()).filePath(QStringLiteral("sim"))},
              {QStringLiteral("{sim2}"), QDir(virtualPortFolder()).filePath(QStringLiteral("sim2"))}};
}

QString tst_Cli::fill(QString text) const
{
    for (auto it = places.cbegin(); it != places.cend(); ++it)
        text.replace(it.key(), it.value());
    return text;
}

// Each row: the command line, extra environment, the simulator served
// meanwhile at {sim} ("": none; "sim": unpaced; "paced": paced like a
// 9600-baud line; "wrong-store": storing every written value with its
// lowest bit flipped; "two": unpaced, and a second one at {sim2}), the exit
// code, and what standard output and standard error must hold. With
// --json, standard output must be one JSON document (checked in its compact
// form) carrying the exit code, and an "error" exactly when the code says
// failure. A row that ends in a usage or file error (2, 5) must have sent
// the simulator nothing.
void tst_Cli::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QString>("simulator");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QStringList>("err");
    using L = QStringList;

    // Help and version.
    QTest::newRow("help") << L{"--help"} << L{} << "" << 0
                          << L{"Usage: ecu-vantor-cli [global options] SUBCOMMAND [options]",
                               "re:^  read \\[--port P\\] -o FILE ",
                               "re:^  write FILE \\[--port P\\] \\[--no-check\\]$",
                               "re:^  monitor \\[--port P\\] \\[--seconds N\\] \\[--csv FILE\\]$",
                               "re:^  diff A B \\[--cylinders 2\\|4\\] ", "re:^  --json ",
                               "re:^  4 +different values", "re:^  5 +a file that cannot be read"}
                          << L{};
    QTest::newRow("help, Italian locale")
        << L{"-h"} << L{"LANG=it_IT.UTF-8"} << "" << 0
        << L{"Uso: ecu-vantor-cli [opzioni globali] SOTTOCOMANDO [opzioni]", "re:^  3 +centralina non trovata$"}
        << L{};
    QTest::newRow("subcommand help")
        << L{"show", "--help"} << L{} << "" << 0
        << L{"Usage: ecu-vantor-cli [global options] show FILE [--cylinders 2|4]",
             "re:^  --cylinders 2\\|4 "}
        << L{};
    QTest::newRow("help beats a missing file") << L{"write", "--help"} << L{} << "" << 0
                                               << L{"--no-check"} << L{};
    QTest::newRow("version") << L{"--version"} << L{} << "" << 0 << L{"re:^ECU Vantor 2.0.0.1$"} << L{};

    // show and diff.
    QTest::newRow("show")
        << L{"show", "{a}"} << L{} << "" << 0
        << L{"Profile {a} (2-cylinder ECU, 0 to 12000 RPM)", "re:^K: 2$",
             "re:^ +Point +RPM +Value$", "re:^ +0 +0 +-5$", "re:^ +1 +300 +-4$", "re:^ +40 +12000 +35$"}
        << L{};
    QTest::newRow("show, 4 cylinders") << L{"show", "--cylinders", "4", "{a}"} << L{} << "" << 0
                                       << L{"re:^ +1 +425 +-4$", "re:^ +40 +17000 +35$"} << L{};
    QTest::newRow("show --json")
        << L{"--json", "show", "{a}"} << L{} << "" << 0
        << L{"\"command\":\"show\"", "\"k\":2", "\"max_rpm\":12000", "{\"point\":0,\"rpm\":0,\"value\":-5}",
             "{\"point\":40,\"rpm\":12000,\"value\":35}"}
        << L{};
    QTest::newRow("diff, the same") << L{"diff", "{a}", "{same}"} << L{} << "" << 0
                                    << L{"The profiles {a} and {same} are the same"} << L{};
    QTest::newRow("diff")
        << L{"diff", "{a}", "{b}"} << L{} << "" << 4
        << L{"2 points of 41 differ", "re:^ +Point +RPM +A +B +Difference$",
             "re:^ +1 +300 +-4 +7 +\\+11$", "re:^ +40 +12000 +35 +30 +-5$", "re:^K: 2 in A, 3 in B$"}
        << L{};
    QTest::newRow("diff --json, global option last")
        << L{"diff", "{a}", "{b}", "--json"} << L{} << "" << 4
        << L{"\"identical\":false", "\"k\":{\"a\":2,\"b\":3,\"differs\":true}",
             "{\"a\":-4,\"b\":7,\"difference\":11,\"point\":1,\"rpm\":300}"}
        << L{};

    // Files that cannot be read or written.
    QTest::newRow("short file") << L{"show", "{short}"} << L{} << "" << 5 << L{}
                                << L{"ecu-vantor-cli: the file {short} is 10 bytes long, a profile has 42"};
    QTest::newRow("short file, Italian")
        << L{"diff", "{a}", "{short}"} << L{"LANG=it_IT.UTF-8"} << "" << 5 << L{}
        << L{"il file {short} è lungo 10 byte, un profilo ne ha 42"};
    QTest::newRow("LC_ALL beats LANG") << L{"show", "{short}"} << L{"LC_ALL=C", "LANG=it_IT.UTF-8"} << ""
                                       << 5 << L{} << L{"is 10 bytes long"};
    QTest::newRow("--lang beats the locale")
        << L{"--lang", "en", "show", "{short}"} << L{"LANG=it_IT.UTF-8"} << "" << 5 << L{} << L{"is 10 bytes long"};
    QTest::newRow("short file --json")
        << L{"--json", "show", "{short}"} << L{} << "" << 5
        << L{"\"error\":\"the file {short} is 10 bytes long, a profile has 42\""} << L{};
    QTest::newRow("missing file") << L{"show", "{missing}"} << L{} << "" << 5 << L{}
                                  << L{"cannot open the file {missing}: "};
    QTest::newRow("write: short file, nothing sent")
        << L{"write", "{short}", "--port", "{sim}"} << L{} << "sim" << 5 << L{} << L{"is 10 bytes long"};
    QTest::newRow("read: -o is a folder")
        << L{"read", "--port", "{sim}", "-o", "{dir}"} << L{} << "sim" << 5 << L{}
        << L{"cannot write the file {dir}: it is a folder"};
    QTest::newRow("read: -o in no folder")
        << L{"read", "--port", "{sim}", "-o", "{dir}/none/a.prf"} << L{} << "sim" << 5 << L{}
        << L{"cannot write the file {dir}/none/a.prf: "};
    QTest::newRow("monitor: --csv in no folder")
        << L{"monitor", "--port", "{sim}", "--csv", "{dir}/none/log.csv"} << L{} << "sim" << 5 << L{}
        << L{"cannot write the file {dir}/none/log.csv: "};

    // Usage errors.
    QTest::newRow("nothing") << L{} << L{} << "" << 2 << L{}
                             << L{"ecu-vantor-cli: missing subcommand", "Use \"ecu-vantor-cli --help\" for help."};
    QTest::newRow("unknown subcommand") << L{"flash", "{a}"} << L{} << "" << 2 << L{}
                                        << L{"unknown subcommand: flash"};
    QTest::newRow("unknown option") << L{"show", "{a}", "--bogus"} << L{} << "" << 2 << L{}
                                    << L{"unknown option: --bogus", "Use \"ecu-vantor-cli show --help\" for help."};
    QTest::newRow("option of another subcommand") << L{"show", "{a}", "--port", "ttyS0"} << L{} << "" << 2
                                                  << L{} << L{"option --port does not apply to show"};
    QTest::newRow("show without a file") << L{"show"} << L{} << "" << 2 << L{} << L{"missing profile file"};
    QTest::newRow("diff with one file") << L{"diff", "{a}"} << L{} << "" << 2 << L{}
                                        << L{"diff needs two profile files"};
    QTest::newRow("stray argument") << L{"ports", "extra"} << L{} << "" << 2 << L{}
                                    << L{"unexpected argument: extra"};
    QTest::newRow("bad cylinders") << L{"show", "{a}", "--cylinders=6"} << L{} << "" << 2 << L{}
                                   << L{"--cylinders needs 2 or 4, not \"6\""};
    QTest::newRow("read without -o") << L{"read", "--port", "{sim}"} << L{} << "sim" << 2 << L{}
                                     << L{"missing -o FILE"};
    QTest::newRow("bad --seconds") << L{"monitor", "--port", "{sim}", "--seconds", "1.5"} << L{} << "sim" << 2
                                   << L{} << L{"--seconds needs a whole number of seconds from 1 to 2147483, not \"1.5\""};
    QTest::newRow("--seconds 0") << L{"monitor", "--seconds", "0"} << L{} << "" << 2 << L{} << L{"not \"0\""};
    QTest::newRow("missing value") << L{"monitor", "--csv", "--seconds", "2"} << L{} << "" << 2 << L{}
                                   << L{"missing value for option --csv"};
    QTest::newRow("option twice") << L{"probe", "--port", "ttyS0", "--port=ttyS1"} << L{} << "" << 2 << L{}
                                  << L{"option --port is given more than once"};
    QTest::newRow("bad port") << L{"probe", "--port", "printer"} << L{} << "" << 2 << L{}
                              << L{"invalid port: \"printer\""};
    QTest::newRow("bad language") << L{"--lang", "fr", "ports"} << L{} << "" << 2 << L{}
                                  << L{"invalid language: \"fr\" (allowed: it, en)"};
    QTest::newRow("usage error --json") << L{"--json", "read"} << L{} << "" << 2
                                        << L{"\"command\":\"read\"", "\"error\":\"missing -o FILE"} << L{};
    QTest::newRow("several candidates")
        << L{"probe"} << L{} << "two" << 2 << L{}
        << L{"there are several candidate ports; choose one with --port:", "re:^  {sim}$", "re:^  {sim2}$"};

    // Ports, and the hand-over to the ECU subcommands. The subcommands do
    // not talk to the ECU yet: until they do, they name the port they were
    // given and exit 1.
    QTest::newRow("ports") << L{"ports"} << L{} << "sim" << 0 << L{"re:^{sim} +virtual port \"sim\"$"} << L{};
    QTest::newRow("ports --json") << L{"ports", "--json"} << L{} << "sim" << 0
                                  << L{"{\"kind\":\"virtual\",\"name\":\"{sim}\"}", "\"hid\":false"} << L{};
    QTest::newRow("probe, the port by its link's name")
        << L{"probe", "--port", "sim"} << L{} << "sim" << 1 << L{} << L{"(port chosen: {sim})"};
    QTest::newRow("write --json") << L{"--json", "write", "{a}", "--port", "{sim}", "--no-check"} << L{}
                                  << "sim" << 1 << L{"\"port\":\"{sim}\""} << L{};
    QTest::newRow("monitor") << L{"monitor", "--port", "{sim}", "--seconds", "2", "--csv", "{dir}/log.csv"}
                             << L{} << "sim" << 1 << L{} << L{"monitor: this version does not talk to the ECU"};
}

void tst_Cli::run()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, env);
    QFETCH(QString, simulator);
    QFETCH(int, code);
    QFETCH(QStringList, out);
    QFETCH(QStringList, err);

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<Simulator> second;
    if (!simulator.isEmpty())
        sim = std::make_unique<Simulator>(QStringLiteral("sim"), simulator);
    if (simulator == QLatin1String("two"))
        second = std::make_unique<Simulator>(QStringLiteral("sim2"));

    for (QString &arg : args)
        arg = fill(arg);
    const CliRun r = runCli(args, env);
    const QString shown = QStringLiteral("exit %1\n--- stdout\n%2--- stderr\n%3").arg(r.code).arg(r.out, r.err);
    QVERIFY2(r.code == code, qPrintable(shown));

    QString output = r.out;
    if (args.contains(QStringLiteral("--json"))) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(r.out.toUtf8(), &error);
        QVERIFY2(document.isObject(), qPrintable(error.errorString() + QLatin1Char('\n') + shown));
        const QJsonObject object = document.object();
        QCOMPARE(object.value(QStringLiteral("exit_code")).toInt(-1), code);
        QCOMPARE(object.contains(QStringLiteral("error")), code != 0 && code != 4);
        QVERIFY2(!r.err.contains(QLatin1String("ecu-vantor-cli:")), qPrintable(shown));
        output = QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    }
    for (const QString &expected : qAsConst(out))
        QVERIFY2(holds(output, fill(expected)), qPrintable(fill(expected) + QStringLiteral("\nnot in\n") + output));
    for (const QString &expected : qAsConst(err))
        QVERIFY2(holds(r.err, fill(expected)), qPrintable(fill(expected) + QStringLiteral("\nnot in\n") + r.err));
    if (sim && (code == 2 || code == 5))
        QVERIFY(sim->sim.requests().isEmpty());
}

void tst_Cli::portChoice_data()
{
    QTest::addColumn<bool>("hid");
    QTest::addColumn<QStringList>("serial");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("port");
    using L = QStringList;
    const QString link = QStringLiteral("/run/user/1000/ecu-vantor-ports/ecu-sim");
    QTest::newRow("HID first") << true << L{"ttyUSB0"} << L{link} << int(CPortChoice::Chosen) << "HID";
    QTest::newRow("the only serial port") << false << L{"ttyUSB0"} << L{} << int(CPortChoice::Chosen) << "ttyUSB0";
    QTest::newRow("the only link") << false << L{} << L{link} << int(CPortChoice::Chosen) << link;
    QTest::newRow("several") << false << L{"ttyS0"} << L{link} << int(CPortChoice::Several) << "";
    QTest::newRow("none") << false << L{} << L{} << int(CPortChoice::None) << "";
}

void tst_Cli::portChoice()
{
    QFETCH(bool, hid);
    QFETCH(QStringList, serial);
    QFETCH(QStringList, links);
    QFETCH(int, outcome);
    QFETCH(QString, port);

    CPortCandidates candidates;
    candidates.hid = hid;
    candidates.serial = serial;
    candidates.virtualPorts = links;
    const CPortChoice choice = choosePort(candidates);
    QCOMPARE(int(choice.outcome), outcome);
    QCOMPARE(choice.port, port);
    if (outcome == CPortChoice::Several)
        QCOMPARE(choice.candidates, serial + links);
}

void tst_Cli::progressBar()
{
    QCOMPARE(CProgressBar::render(QStringLiteral("Reading"), 50, 10), QStringLiteral("Reading [#####.....]  50%"));
    QCOMPARE(CProgressBar::render(QStringLiteral("R"), 150, 4), QStringLiteral("R [####] 100%"));
    QCOMPARE(CProgressBar::render(QStringLiteral("R"), -3, 4), QStringLiteral("R [....]   0%"));
}

// SIGINT reaches the event loop as a signal of the watcher and does not end
// the program; a later watcher catches it again.
void tst_Cli::interrupt()
{
    for (int round = 0; round < 2; ++round) {
        CInterruptWatcher watcher;
        QSignalSpy spy(&watcher, &CInterruptWatcher::interrupted);
        QVERIFY(!watcher.isInterrupted());
        std::raise(SIGINT);
        QVERIFY(spy.wait(5000));
        QVERIFY(watcher.isInterrupted());
        QCOMPARE(spy.count(), 1);
    }
}

QTEST_GUILESS_MAIN(tst_Cli)
#include "tst_cli.moc"
