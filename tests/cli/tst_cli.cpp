// ecu-vantor-cli as a workshop runs it: the built program as a process, its
// exit code and what it prints (English texts, JSON documents), against
// profile files and the ECU simulator on a pseudo-terminal; and the helpers
// it hands to the ECU subcommands (port choice, progress bar, Ctrl+C).
#include "cli/ports.h"
#include "cli/terminal.h"
#include "comm/frames.h"
#include "comm/logreplayer.h"
#include "profile/profilecodec.h"
#include "ecusimulator.h"
#include "portsearch/virtualports.h"
#include "ptysimserver.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <csignal>
#include <functional>
#include <memory>

#include <signal.h>

namespace {

struct CliRun
{
    int code = -1; // -1: it did not end in time
    QString out;
    QString err;
};

// Runs the program with the locale variables cleared (English) plus env,
// turning this thread's event loop meanwhile: the simulator serves from it.
// `started` is told of the process once it runs.
CliRun runCli(const QStringList &args, const QStringList &env,
              const std::function<void(QProcess *)> &started = nullptr)
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
    if (started && process.waitForStarted())
        started(&process);
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
        if (kind == QLatin1String("silent"))
            sim.setFault(EcuSimulator::Fault::Silent);
    }

    // Write frames for the profile's addresses (K's and the test bench's
    // lie beyond them) that reached the simulator.
    int profileWrites() const
    {
        int count = 0;
        for (const QByteArray &request : sim.requests()) {
            if (quint8(request.at(0)) == AnswerWrite && quint8(request.at(2)) < ProfilePoints)
                ++count;
        }
        return count;
    }
};

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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

// Each row: the command line ("&&" between two runs the second once the
// first has exited 0), extra environment, the simulator served meanwhile at
// {sim} ("": none; "sim": unpaced; "paced": paced like a 9600-baud line;
// "wrong-store": storing every written value with its lowest bit flipped;
// "silent": never answering; "two": unpaced, and a second one at {sim2}),
// the exit code, what standard output and standard error must hold (of all
// the runs), and checks afterwards:
// - "A=B": the profile files A and B hold the same 41 values and K, where
//   "table" stands for the simulator's table and "missing" for no file;
// - "log:FILE": the window's replay opens the datalog, with as many rows as
//   the program said;
// - "nosettings": the user's settings store has not been written;
// - "sigint:N": Ctrl+C once the simulator has seen N of the profile's write
//   frames; the addresses the program names were written, and at most one
//   frame more.
// With --json, standard output must be one JSON document (checked in its
// compact form) carrying the exit code, and an "error" exactly when the code
// says failure (every code but 0, and diff's 4). A row that ends in a usage
// or file error (2, 5) must have sent the simulator nothing.
void tst_Cli::run_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("env");
    QTest::addColumn<QString>("simulator");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("out");
    QTest::addColumn<QStringList>("err");
    QTest::addColumn<QStringList>("checks");
    using L = QStringList;

    // Help and version.
    QTest::newRow("help") << L{"--help"} << L{} << "" << 0
                          << L{"Usage: ecu-vantor-cli [global options] SUBCOMMAND [options]",
                               "re:^  read \\[--port P\\] -o FILE ",
                               "re:^  write FILE \\[--port P\\] \\[--no-check\\]$",
                               "re:^  monitor \\[--port P\\] \\[--seconds N\\] \\[--csv FILE\\]$",
                               "re:^  diff A B \\[--cylinders 2\\|4\\] ", "re:^  --json ",
                               "re:^  4 +different values", "re:^  5 +a file that cannot be read"}
                          << L{} << L{};
    QTest::newRow("help, Italian locale")
        << L{"-h"} << L{"LANG=it_IT.UTF-8"} << "" << 0
        << L{"Uso: ecu-vantor-cli [opzioni globali] SOTTOCOMANDO [opzioni]", "re:^  3 +centralina non trovata$"}
        << L{} << L{};
    QTest::newRow("subcommand help")
        << L{"show", "--help"} << L{} << "" << 0
        << L{"Usage: ecu-vantor-cli [global options] show FILE [--cylinders 2|4]",
             "re:^  --cylinders 2\\|4 "}
        << L{} << L{};
    QTest::newRow("help beats a missing file") << L{"write", "--help"} << L{} << "" << 0
                                               << L{"--no-check"} << L{} << L{};
    QTest::newRow("version") << L{"--version"} << L{} << "" << 0 << L{"re:^ECU Vantor 2.0.0.1$"} << L{} << L{};

    // show and diff.
    QTest::newRow("show")
        << L{"show", "{a}"} << L{} << "" << 0
        << L{"Profile {a} (2-cylinder ECU, 0 to 12000 RPM)", "re:^K: 2$",
             "re:^ +Point +RPM +Value$", "re:^ +0 +0 +-5$", "re:^ +1 +300 +-4$", "re:^ +40 +12000 +35$"}
        << L{} << L{};
    QTest::newRow("show, 4 cylinders") << L{"show", "--cylinders", "4", "{a}"} << L{} << "" << 0
                                       << L{"re:^ +1 +425 +-4$", "re:^ +40 +17000 +35$"} << L{} << L{};
    QTest::newRow("show --json")
        << L{"--json", "show", "{a}"} << L{} << "" << 0
        << L{"\"command\":\"show\"", "\"k\":2", "\"max_rpm\":12000", "{\"point\":0,\"rpm\":0,\"value\":-5}",
             "{\"point\":40,\"rpm\":12000,\"value\":35}"}
        << L{} << L{};
    QTest::newRow("diff, the same") << L{"diff", "{a}", "{same}"} << L{} << "" << 0
                                    << L{"The profiles {a} and {same} are the same"} << L{} << L{};
    QTest::newRow("diff")
        << L{"diff", "{a}", "{b}"} << L{} << "" << 4
        << L{"2 points of 41 differ", "re:^ +Point +RPM +A +B +Difference$",
             "re:^ +1 +300 +-4 +7 +\\+11$", "re:^ +40 +12000 +35 +30 +-5$", "re:^K: 2 in A, 3 in B$"}
        << L{} << L{};
    QTest::newRow("diff --json, global option last")
        << L{"diff", "{a}", "{b}", "--json"} << L{} << "" << 4
        << L{"\"identical\":false", "\"k\":{\"a\":2,\"b\":3,\"differs\":true}",
             "{\"a\":-4,\"b\":7,\"difference\":11,\"point\":1,\"rpm\":300}"}
        << L{} << L{};

    // Files that cannot be read or written.
    QTest::newRow("short file") << L{"show", "{short}"} << L{} << "" << 5 << L{}
                                << L{"ecu-vantor-cli: the file {short} is 10 bytes long, a profile has 42"} << L{};
    QTest::newRow("short file, Italian")
        << L{"diff", "{a}", "{short}"} << L{"LANG=it_IT.UTF-8"} << "" << 5 << L{}
        << L{"il file {short} è lungo 10 byte, un profilo ne ha 42"} << L{};
    QTest::newRow("LC_ALL beats LANG") << L{"show", "{short}"} << L{"LC_ALL=C", "LANG=it_IT.UTF-8"} << ""
                                       << 5 << L{} << L{"is 10 bytes long"} << L{};
    QTest::newRow("--lang beats the locale")
        << L{"--lang", "en", "show", "{short}"} << L{"LANG=it_IT.UTF-8"} << "" << 5 << L{} << L{"is 10 bytes long"} << L{};
    QTest::newRow("short file --json")
        << L{"--json", "show", "{short}"} << L{} << "" << 5
        << L{"\"error\":\"the file {short} is 10 bytes long, a profile has 42\""} << L{} << L{};
    QTest::newRow("missing file") << L{"show", "{missing}"} << L{} << "" << 5 << L{}
                                  << L{"cannot open the file {missing}: "} << L{};
    QTest::newRow("write: short file, nothing sent")
        << L{"write", "{short}", "--port", "{sim}"} << L{} << "sim" << 5 << L{} << L{"is 10 bytes long"} << L{};
    QTest::newRow("read: -o is a folder")
        << L{"read", "--port", "{sim}", "-o", "{dir}"} << L{} << "sim" << 5 << L{}
        << L{"cannot write the file {dir}: it is a folder"} << L{};
    QTest::newRow("read: -o in no folder")
        << L{"read", "--port", "{sim}", "-o", "{dir}/none/a.prf"} << L{} << "sim" << 5 << L{}
        << L{"cannot write the file {dir}/none/a.prf: "} << L{};
    QTest::newRow("monitor: --csv in no folder")
        << L{"monitor", "--port", "{sim}", "--csv", "{dir}/none/log.csv"} << L{} << "sim" << 5 << L{}
        << L{"cannot write the file {dir}/none/log.csv: "} << L{};

    // Usage errors.
    QTest::newRow("nothing") << L{} << L{} << "" << 2 << L{}
                             << L{"ecu-vantor-cli: missing subcommand", "Use \"ecu-vantor-cli --help\" for help."} << L{};
    QTest::newRow("unknown subcommand") << L{"flash", "{a}"} << L{} << "" << 2 << L{}
                                        << L{"unknown subcommand: flash"} << L{};
    QTest::newRow("unknown option") << L{"show", "{a}", "--bogus"} << L{} << "" << 2 << L{}
                                    << L{"unknown option: --bogus", "Use \"ecu-vantor-cli show --help\" for help."} << L{};
    QTest::newRow("option of another subcommand") << L{"show", "{a}", "--port", "ttyS0"} << L{} << "" << 2
                                                  << L{} << L{"option --port does not apply to show"} << L{};
    QTest::newRow("show without a file") << L{"show"} << L{} << "" << 2 << L{} << L{"missing profile file"} << L{};
    QTest::newRow("diff with one file") << L{"diff", "{a}"} << L{} << "" << 2 << L{}
                                        << L{"diff needs two profile files"} << L{};
    QTest::newRow("stray argument") << L{"ports", "extra"} << L{} << "" << 2 << L{}
                                    << L{"unexpected argument: extra"} << L{};
    QTest::newRow("bad cylinders") << L{"show", "{a}", "--cylinders=6"} << L{} << "" << 2 << L{}
                                   << L{"--cylinders needs 2 or 4, not \"6\""} << L{};
    QTest::newRow("read without -o") << L{"read", "--port", "{sim}"} << L{} << "sim" << 2 << L{}
                                     << L{"missing -o FILE"} << L{};
    QTest::newRow("bad --seconds") << L{"monitor", "--port", "{sim}", "--seconds", "1.5"} << L{} << "sim" << 2
                                   << L{} << L{"--seconds needs a whole number of seconds from 1 to 2147483, not \"1.5\""} << L{};
    QTest::newRow("--seconds 0") << L{"monitor", "--seconds", "0"} << L{} << "" << 2 << L{} << L{"not \"0\""} << L{};
    QTest::newRow("missing value") << L{"monitor", "--csv", "--seconds", "2"} << L{} << "" << 2 << L{}
                                   << L{"missing value for option --csv"} << L{};
    QTest::newRow("option twice") << L{"probe", "--port", "ttyS0", "--port=ttyS1"} << L{} << "" << 2 << L{}
                                  << L{"option --port is given more than once"} << L{};
    QTest::newRow("bad port") << L{"probe", "--port", "printer"} << L{} << "" << 2 << L{}
                              << L{"invalid port: \"printer\""} << L{};
    QTest::newRow("bad language") << L{"--lang", "fr", "ports"} << L{} << "" << 2 << L{}
                                  << L{"invalid language: \"fr\" (allowed: it, en)"} << L{};
    QTest::newRow("usage error --json") << L{"--json", "read"} << L{} << "" << 2
                                        << L{"\"command\":\"read\"", "\"error\":\"missing -o FILE"} << L{} << L{};
    QTest::newRow("several candidates")
        << L{"probe"} << L{} << "two" << 2 << L{}
        << L{"there are several candidate ports; choose one with --port:", "re:^  {sim}$", "re:^  {sim2}$"} << L{};

    // Ports, and the ECU subcommands against the simulator.
    QTest::newRow("ports") << L{"ports"} << L{} << "sim" << 0 << L{"re:^{sim} +virtual port \"sim\"$"} << L{} << L{};
    QTest::newRow("ports --json") << L{"ports", "--json"} << L{} << "sim" << 0
                                  << L{"{\"kind\":\"virtual\",\"name\":\"{sim}\"}", "\"hid\":false"} << L{} << L{};
    QTest::newRow("probe, the port by its link's name")
        << L{"probe", "--port", "sim"} << L{} << "sim" << 0
        << L{"ECU found on sim", "re:^  Hardware: +10$", "re:^  Cylinders: +not stated$", "re:^  Firmware: +1\\.1-R0$"}
        << L{} << L{};
    QTest::newRow("probe --json")
        << L{"--json", "probe", "--port", "{sim}"} << L{} << "sim" << 0
        << L{"\"ecu\":{\"cylinders\":0,\"firmware\":\"1.1-R0\",\"hardware\":10,\"reported\":false}",
             "\"route\":\"serial\"", "\"port\":\"{sim}\""}
        << L{} << L{};
    QTest::newRow("probe, no simulator") << L{"probe", "--port", "{sim}"} << L{} << "" << 3 << L{}
                                         << L{"ECU not found: the port {sim} cannot be opened"} << L{};
    QTest::newRow("read --json, no simulator")
        << L{"--json", "read", "--port", "{sim}", "-o", "{dir}/none.prf"} << L{} << "" << 3
        << L{"\"error\":\"ECU not found: the port {sim} cannot be opened"} << L{} << L{"{dir}/none.prf=missing"};
    QTest::newRow("probe, a silent ECU") << L{"probe", "--port", "{sim}"} << L{} << "silent" << 3 << L{}
                                         << L{"ECU not found: no answer on {sim}"} << L{};
    // The same sequences at once and paced like a 9600-baud line.
    for (const char *pace : {"sim", "paced"}) {
        QTest::newRow(qPrintable(QStringLiteral("read, %1").arg(QLatin1String(pace))))
            << L{"read", "--port", "{sim}", "-o", "{dir}/read.prf"} << L{} << QString::fromLatin1(pace) << 0
            << L{"ECU: HW10 - V1.1-R0 on sim", "Profile read: 41 values, K 1, test mode off",
                 "re:^Backup: .*_HW10_V1\\.1-R0\\.prf$", "Saved to {dir}/read.prf"}
            << L{} << L{"{dir}/read.prf=table", "nosettings"};
        QTest::newRow(qPrintable(QStringLiteral("write, then read, %1").arg(QLatin1String(pace))))
            << L{"write", "{b}", "--port", "{sim}", "&&", "read", "--port", "{sim}", "-o", "{dir}/rt.prf"} << L{}
            << QString::fromLatin1(pace) << 0
            << L{"The ECU's profile read first: K 1, test mode off", "K 3 sent (the ECU held 1)",
                 "Profile of {b} written to the ECU (41 addresses) and checked",
                 "Profile read: 41 values, K 3, test mode off"}
            << L{} << L{"table={b}", "{dir}/rt.prf={b}"};
        QTest::newRow(qPrintable(QStringLiteral("monitor --csv, %1").arg(QLatin1String(pace))))
            << L{"monitor", "--port", "{sim}", "--seconds", "2", "--csv", "{dir}/log.csv"} << L{} << QString::fromLatin1(pace) << 0
            << L{"Live link for 2 seconds (K 1)", "re:^ *Time s +RPM +Cell +Value +Probe$",
                 "re:^ *0\\.000 +\\d+ +\\d+ +-?\\d+ +\\d+$", "re:^\\d+ readings in 2\\.\\d s$",
                 "re:^Saved to {dir}/log\\.csv \\(\\d+ rows\\)$"}
            << L{} << L{"log:{dir}/log.csv"};
    }
    QTest::newRow("write --json")
        << L{"--json", "write", "{a}", "--port", "{sim}"} << L{} << "sim" << 0
        << L{"\"checked\":true", "\"written\":41", "\"addresses\":41", "\"differences\":[]", "\"name\":null",
             "\"k\":{\"acknowledged\":true,\"ecu\":1,\"file\":2,\"sent\":true}"}
        << L{} << L{"table={a}"};
    QTest::newRow("write, wrong values stored")
        << L{"write", "{b}", "--port", "{sim}"} << L{} << "wrong-store" << 4
        << L{"re:^ +Point +RPM +Sent +Read$", "re:^ +1 +300 +7 +6$", "re:^ +40 +12000 +30 +31$"}
        << L{"the check after the write found different values at 41 points: the ECU does not hold the "
             "profile of {b}"}
        << L{};
    QTest::newRow("write --json, wrong values stored")
        << L{"--json", "write", "{b}", "--port", "{sim}"} << L{} << "wrong-store" << 4
        << L{"{\"point\":1,\"read\":6,\"rpm\":300,\"sent\":7}", "\"name_differs\":false", "\"checked\":true"}
        << L{} << L{};
    QTest::newRow("write --no-check, wrong values stored")
        << L{"write", "{b}", "--port", "{sim}", "--no-check"} << L{} << "wrong-store" << 0
        << L{"Profile of {b} written to the ECU (41 addresses), not checked"} << L{} << L{"nosettings"};
    QTest::newRow("monitor --json") << L{"--json", "monitor", "--port", "{sim}", "--seconds", "1"} << L{} << "sim"
                                    << 0 << L{"\"csv\":null", "\"k\":1", "\"test_bench\":false", "\"readings\":"}
                                    << L{} << L{};
    // Ctrl+C once the write has sent 10 of the profile's frames.
    QTest::newRow("write, Ctrl+C") << L{"write", "{b}", "--port", "{sim}"} << L{} << "paced" << 130 << L{}
                                   << L{"interrupted during the write: addresses 0 to "} << L{"sigint:10"};
}

void tst_Cli::run()
{
    QFETCH(QStringList, args);
    QFETCH(QStringList, env);
    QFETCH(QString, simulator);
    QFETCH(int, code);
    QFETCH(QStringList, out);
    QFETCH(QStringList, err);
    QFETCH(QStringList, checks);

    std::unique_ptr<Simulator> sim;
    std::unique_ptr<Simulator> second;
    if (!simulator.isEmpty())
        sim = std::make_unique<Simulator>(QStringLiteral("sim"), simulator);
    if (simulator == QLatin1String("two"))
        second = std::make_unique<Simulator>(QStringLiteral("sim2"));

    // "&&" runs the next command line once the one before has succeeded.
    QList<QStringList> commands{QStringList()};
    for (const QString &arg : qAsConst(args)) {
        if (arg == QLatin1String("&&"))
            commands.append(QStringList());
        else
            commands.last() << fill(arg);
    }
    for (const QString &check : qAsConst(checks)) { // files a row compares are its own
        if (check.contains(QLatin1Char('=')))
            QFile::remove(fill(check.section(QLatin1Char('='), 0, 0)));
    }
    // "sigint:N": Ctrl+C once the simulator has seen N of the profile's write frames.
    int interruptAfter = -1;
    for (const QString &check : qAsConst(checks)) {
        if (check.startsWith(QLatin1String("sigint:")))
            interruptAfter = check.mid(7).toInt();
    }
    int writesSeen = 0;
    const std::function<void(QProcess *)> interrupt = [&](QProcess *process) {
        connect(&sim->server, &PtySimServer::frameSeen, process,
                [&writesSeen, process, interruptAfter](const QByteArray &request, const QByteArray &) {
                    if (quint8(request.at(0)) == AnswerWrite && quint8(request.at(2)) < ProfilePoints
                        && ++writesSeen == interruptAfter)
                        ::kill(pid_t(process->processId()), SIGINT);
                });
    };

    CliRun r;
    QString allOut;
    QString allErr;
    for (int i = 0; i < commands.size(); ++i) {
        r = runCli(commands.at(i), env, interruptAfter > 0 && sim ? interrupt : std::function<void(QProcess *)>());
        allOut += r.out;
        allErr += r.err;
        if (i + 1 < commands.size())
            QVERIFY2(r.code == 0, qPrintable(QStringLiteral("exit %1\n%2").arg(r.code).arg(r.err)));
    }
    const QString shown = QStringLiteral("exit %1\n--- stdout\n%2--- stderr\n%3").arg(r.code).arg(allOut, allErr);
    QVERIFY2(r.code == code, qPrintable(shown));

    QString output = allOut;
    if (args.contains(QStringLiteral("--json"))) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(r.out.toUtf8(), &error);
        QVERIFY2(document.isObject(), qPrintable(error.errorString() + QLatin1Char('\n') + shown));
        const QJsonObject object = document.object();
        QCOMPARE(object.value(QStringLiteral("exit_code")).toInt(-1), code);
        // diff's 4 is an answer, not a failure; a write's check that found
        // other values is one.
        const bool failed = code != 0
                            && !(code == 4 && object.value(QStringLiteral("command")) == QLatin1String("diff"));
        QCOMPARE(object.contains(QStringLiteral("error")), failed);
        QVERIFY2(!r.err.contains(QLatin1String("ecu-vantor-cli:")), qPrintable(shown));
        output = QString::fromUtf8(document.toJson(QJsonDocument::Compact));
    }
    for (const QString &expected : qAsConst(out))
        QVERIFY2(holds(output, fill(expected)), qPrintable(fill(expected) + QStringLiteral("\nnot in\n") + output));
    for (const QString &expected : qAsConst(err))
        QVERIFY2(holds(allErr, fill(expected)), qPrintable(fill(expected) + QStringLiteral("\nnot in\n") + allErr));
    if (sim && (code == 2 || code == 5))
        QVERIFY(sim->sim.requests().isEmpty());

    // A profile file's 42 bytes; "table": the simulator's 41 values and K
    // (as a profile keeps it, 1..4).
    const auto profileBytes = [&sim](const QString &name) {
        if (name != QLatin1String("table"))
            return readFile(name).left(ProfileFileBytes);
        const QByteArray table = sim->sim.table();
        return table.left(ProfilePoints) + char(qBound(1, int(table.at(42)), 4));
    };
    for (const QString &check : qAsConst(checks)) {
        const QString c = fill(check);
        if (c.startsWith(QLatin1String("log:"))) {
            // The window's replay opens the datalog, with every row the
            // program counted, over the time it ran.
            CLogReplayer replay;
            QString error;
            QVERIFY2(replay.load(c.mid(4), &error), qPrintable(error));
            const QRegularExpression saved(QStringLiteral("\\((\\d+) rows\\)"));
            QCOMPARE(replay.samples().size(), saved.match(allOut).captured(1).toInt());
            QVERIFY2(replay.duration() > 1500, qPrintable(QString::number(replay.duration())));
        } else if (c == QLatin1String("nosettings")) {
            // The options reach the session without a word in the user's store.
            const QString store = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                                   + QStringLiteral("/vantor");
            QVERIFY2(!QFileInfo::exists(store), qPrintable(store));
        } else if (c.startsWith(QLatin1String("sigint:"))) {
            // Stopped at a whole frame: the addresses it names were written,
            // and at most the one on its way after them.
            const QRegularExpression named(QStringLiteral("\\((\\d+) of 41;"));
            const QRegularExpressionMatch m = named.match(allErr);
            QVERIFY2(m.hasMatch(), qPrintable(allErr));
            const int acknowledged = m.captured(1).toInt();
            QVERIFY(acknowledged >= interruptAfter - 1 && acknowledged < ProfilePoints);
            const int writes = sim->profileWrites();
            QVERIFY2(writes == acknowledged || writes == acknowledged + 1,
                     qPrintable(QStringLiteral("%1 written, %2 named").arg(writes).arg(acknowledged)));
            const QByteArray file = readFile(fill(QStringLiteral("{b}")));
            QCOMPARE(sim->sim.table().left(acknowledged), file.left(acknowledged));
        } else {
            const QString a = c.section(QLatin1Char('='), 0, 0);
            const QString b = c.section(QLatin1Char('='), 1);
            if (b == QLatin1String("missing"))
                QVERIFY2(!QFileInfo::exists(a), qPrintable(a));
            else
                QCOMPARE(profileBytes(a), profileBytes(b));
        }
    }
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
