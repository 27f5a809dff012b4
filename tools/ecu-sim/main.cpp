// ecu-sim: serves the ECU simulator on a pseudo-terminal and links it into
// the virtual-port folder, where ECU Vantor's port search lists it.

#include "ecusimulator.h"
#include "ptysimserver.h"
#include "portsearch/virtualports.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int signo)
{
    const char c = static_cast<char>(signo);
    const ssize_t ignored = ::write(signalPipe[1], &c, 1);
    (void)ignored;
}

void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

void dumpTable(const EcuSimulator &sim)
{
    const QByteArray t = sim.table();
    printLine(QStringLiteral("Table, addresses 0..89 (hex):"));
    for (int row = 0; row < 90; row += 10)
        printLine(QStringLiteral("  %1: %2").arg(row, 2).arg(hex(t.mid(row, 10))));
    QStringList curve;
    for (int i = 0; i <= 40; ++i)
        curve << QString::number(static_cast<qint8>(t.at(i)));
    printLine(QStringLiteral("  curve 0..40: %1").arg(curve.join(QLatin1Char(' '))));
    auto at = [&t](int a) { return static_cast<int>(static_cast<quint8>(t.at(a))); };
    printLine(QStringLiteral("  small table: bench byte[41]=%1 K[42]=%2 bench switch[49]=%3")
                  .arg(at(41)).arg(at(42)).arg(at(49)));
    printLine(QStringLiteral("  large table: name[41..80]=\"%1\" bench byte[81]=%2 K[82]=%3 bench switch[89]=%4")
                  .arg(QString::fromLatin1(t.mid(41, 40).constData()))
                  .arg(at(81)).arg(at(82)).arg(at(89)));
}

bool parseFault(const QString &name, EcuSimulator::Fault *fault)
{
    static const QList<QPair<QString, EcuSimulator::Fault>> names = {
        {QStringLiteral("none"), EcuSimulator::Fault::None},
        {QStringLiteral("silent"), EcuSimulator::Fault::Silent},
        {QStringLiteral("wrong-byte0"), EcuSimulator::Fault::WrongByte0},
        {QStringLiteral("drop-byte"), EcuSimulator::Fault::DropByte},
        {QStringLiteral("extra-byte"), EcuSimulator::Fault::ExtraByte},
        {QStringLiteral("no-write-ack"), EcuSimulator::Fault::NoWriteAck},
        {QStringLiteral("wrong-store"), EcuSimulator::Fault::WrongStore},
    };
    for (const auto &entry : names) {
        if (entry.first == name) {
            *fault = entry.second;
            return true;
        }
    }
    return false;
}

bool parseByte(const QString &text, int min, int max, int *value)
{
    bool ok = false;
    const int v = text.toInt(&ok, 0);
    if (!ok || v < min || v > max)
        return false;
    *value = v;
    return true;
}

int fail(const QString &message)
{
    std::fprintf(stderr, "ecu-sim: %s\n", message.toLocal8Bit().constData());
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ecu-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates the ECU on a pseudo-terminal and links it into the virtual-port folder\n"
        "(%1), where ECU Vantor's port search lists it.\n"
        "Prints every request and answer. SIGUSR1 prints the table; it is printed again at exit.")
                                         .arg(virtualPortFolder()));
    parser.addHelpOption();
    const QCommandLineOption hardwareOpt(QStringLiteral("hardware"),
                                         QStringLiteral("Hardware version reported by the probe (0..255, default 10)."),
                                         QStringLiteral("N"), QStringLiteral("10"));
    const QCommandLineOption cylindersOpt(QStringLiteral("cylinders"),
                                          QStringLiteral("Cylinders reported by the probe: 0, 2 or 4 (default 0). "
                                                         "4 gives a 17000 rpm engine, otherwise 12000."),
                                          QStringLiteral("N"), QStringLiteral("0"));
    const QCommandLineOption versionOpt(QStringLiteral("version"),
                                        QStringLiteral("Firmware version reported by the probe, X.Y-R, one character "
                                                       "each (default 1.1-0)."),
                                        QStringLiteral("X.Y-R"), QStringLiteral("1.1-0"));
    const QCommandLineOption pacedOpt(QStringLiteral("paced"),
                                      QStringLiteral("Pace the whole exchange like a 9600-baud line (about 1.04 ms "
                                                     "per byte, request and answer: 16.7 ms an exchange)."));
    const QCommandLineOption latencyOpt(QStringLiteral("latency"),
                                        QStringLiteral("The ECU's own time to answer: every answer starts MS "
                                                       "milliseconds after its request (default 0: at once; "
                                                       "a USB virtual port answers within about 1 ms)."),
                                        QStringLiteral("MS"));
    const QCommandLineOption lateOpt(QStringLiteral("late"),
                                     QStringLiteral("Answer MS milliseconds after each request (a late ECU)."),
                                     QStringLiteral("MS"));
    const QCommandLineOption lateReadOpt(QStringLiteral("late-read"),
                                         QStringLiteral("Answer the first read of address ADDR MS milliseconds "
                                                        "late, every later one at once (e.g. 20:700)."),
                                         QStringLiteral("ADDR:MS"));
    const QCommandLineOption faultAfterOpt(QStringLiteral("fault-after"),
                                           QStringLiteral("Begin the fault and the late answers only after N "
                                                          "answers (e.g. after the probe, during a transfer)."),
                                           QStringLiteral("N"));
    const QCommandLineOption faultOpt(QStringLiteral("fault"),
                                      QStringLiteral("Misbehave: silent, wrong-byte0, drop-byte, extra-byte, "
                                                     "no-write-ack or wrong-store (default none)."),
                                      QStringLiteral("FAULT"), QStringLiteral("none"));
    const QCommandLineOption silentAfterOpt(QStringLiteral("silent-after"),
                                            QStringLiteral("Fall silent after N answers."), QStringLiteral("N"));
    const QCommandLineOption nameOpt(QStringLiteral("name"),
                                     QStringLiteral("Name of the link in the virtual-port folder (default ecu-sim)."),
                                     QStringLiteral("NAME"), QStringLiteral("ecu-sim"));
    const QCommandLineOption linkDirOpt(QStringLiteral("link-dir"),
                                        QStringLiteral("Put the link into DIR instead of the virtual-port folder."),
                                        QStringLiteral("DIR"));
    const QCommandLineOption noLinkOpt(QStringLiteral("no-link"),
                                       QStringLiteral("Do not link the port anywhere; only print its path."));
    const QCommandLineOption rpmOpt(QStringLiteral("rpm"),
                                    QStringLiteral("Fixed engine speed instead of the running-engine model."),
                                    QStringLiteral("N"));
    const QCommandLineOption quietOpt(QStringLiteral("quiet"), QStringLiteral("Do not print every frame."));
    parser.addOptions({hardwareOpt, cylindersOpt, versionOpt, pacedOpt, latencyOpt, faultOpt, silentAfterOpt, lateOpt,
                       lateReadOpt, faultAfterOpt, nameOpt, linkDirOpt, noLinkOpt, rpmOpt, quietOpt});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().constFirst()));

    EcuSimulator sim;
    EcuSimulator::Identity id;
    int value = 0;
    if (!parseByte(parser.value(hardwareOpt), 0, 255, &value))
        return fail(QStringLiteral("--hardware wants a number 0..255"));
    id.hardware = static_cast<quint8>(value);
    if (!parseByte(parser.value(cylindersOpt), 0, 255, &value))
        return fail(QStringLiteral("--cylinders wants a number 0..255"));
    id.cylinders = static_cast<quint8>(value);
    const QRegularExpressionMatch version =
        QRegularExpression(QStringLiteral("^(.)\\.(.)-(.)$")).match(parser.value(versionOpt));
    if (!version.hasMatch() || version.captured(0).toLatin1().size() != 5)
        return fail(QStringLiteral("--version wants X.Y-R with one ASCII character each, e.g. 2.3-1"));
    id.versionMajor = version.captured(1).at(0).toLatin1();
    id.versionMinor = version.captured(2).at(0).toLatin1();
    id.revision = version.captured(3).at(0).toLatin1();
    sim.setIdentity(id);

    EcuSimulator::Fault fault = EcuSimulator::Fault::None;
    if (!parseFault(parser.value(faultOpt), &fault))
        return fail(QStringLiteral("unknown --fault %1").arg(parser.value(faultOpt)));
    sim.setFault(fault);
    if (parser.isSet(silentAfterOpt)) {
        if (!parseByte(parser.value(silentAfterOpt), 0, 1 << 30, &value))
            return fail(QStringLiteral("--silent-after wants a number >= 0"));
        sim.setSilentAfter(value);
    }
    if (parser.isSet(lateOpt)) {
        if (!parseByte(parser.value(lateOpt), 0, 60000, &value))
            return fail(QStringLiteral("--late wants milliseconds 0..60000"));
        sim.setAnswerDelayMs(value);
    }
    if (parser.isSet(lateReadOpt)) {
        const QStringList parts = parser.value(lateReadOpt).split(QLatin1Char(':'));
        int delayMs = 0;
        if (parts.size() != 2 || !parseByte(parts.at(0), 0, 255, &value)
            || !parseByte(parts.at(1), 0, 60000, &delayMs))
            return fail(QStringLiteral("--late-read wants ADDR:MS, an address 0..255 and milliseconds 0..60000"));
        sim.setLateRead(value, delayMs);
    }
    if (parser.isSet(faultAfterOpt)) {
        if (!parseByte(parser.value(faultAfterOpt), 0, 1 << 30, &value))
            return fail(QStringLiteral("--fault-after wants a number >= 0"));
        sim.setFaultAfter(value);
    }
    if (parser.isSet(rpmOpt)) {
        if (!parseByte(parser.value(rpmOpt), 0, 0xFFFF, &value))
            return fail(QStringLiteral("--rpm wants a number 0..65535"));
        sim.setFixedRpm(value);
    }

    // Signals end the event loop (or print the table) through a pipe, so the
    // link is removed by the server's destructor on Ctrl+C and SIGTERM too.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return fail(QStringLiteral("cannot create the signal pipe"));
    QSocketNotifier signalNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [&sim] {
        char c = 0;
        if (::read(signalPipe[0], &c, 1) != 1)
            return;
        if (c == SIGUSR1) {
            dumpTable(sim);
            return;
        }
        printLine(QStringLiteral("Signal %1: stopping.").arg(static_cast<int>(c)));
        QCoreApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int signo : {SIGINT, SIGTERM, SIGHUP, SIGUSR1})
        ::sigaction(signo, &sa, nullptr);

    PtySimServer server(&sim);
    if (!server.open())
        return fail(QStringLiteral("cannot create a pseudo-terminal"));
    server.setPaced(parser.isSet(pacedOpt));
    int latencyMs = 0;
    if (parser.isSet(latencyOpt) && !parseByte(parser.value(latencyOpt), 0, 60000, &latencyMs))
        return fail(QStringLiteral("--latency wants milliseconds 0..60000"));
    server.setLatencyMs(latencyMs);

    printLine(QStringLiteral("ECU simulator: HW%1 CYL%2 V%3.%4-R%5, %6, fault %7%8")
                  .arg(id.hardware).arg(id.cylinders)
                  .arg(QLatin1Char(id.versionMajor)).arg(QLatin1Char(id.versionMinor))
                  .arg(QLatin1Char(id.revision))
                  .arg((parser.isSet(pacedOpt) ? QStringLiteral("paced at 9600 baud")
                                               : QStringLiteral("unpaced"))
                       + (latencyMs > 0 ? QStringLiteral(", answers %1 ms after each request")
                                              .arg(latencyMs)
                                        : QString()))
                  .arg(parser.value(faultOpt))
                  .arg(parser.isSet(silentAfterOpt)
                           ? QStringLiteral(", silent after %1 answers").arg(parser.value(silentAfterOpt))
                           : QString()));
    printLine(QStringLiteral("Port: %1").arg(server.slavePath()));
    if (!parser.isSet(noLinkOpt)) {
        const QString dir = parser.isSet(linkDirOpt) ? parser.value(linkDirOpt) : virtualPortFolder();
        if (!server.linkInto(dir, parser.value(nameOpt)))
            return fail(QStringLiteral("cannot link the port as %1/%2").arg(dir, parser.value(nameOpt)));
        printLine(QStringLiteral("Link: %1").arg(server.linkPath()));
    }

    if (!parser.isSet(quietOpt)) {
        QObject::connect(&server, &PtySimServer::frameSeen, &app,
                         [](const QByteArray &request, const QByteArray &answer) {
                             printLine(QStringLiteral("%1 -> %2").arg(
                                 hex(request), answer.isEmpty() ? QStringLiteral("(no answer)") : hex(answer)));
                         });
    }

    const int rc = app.exec();

    dumpTable(sim);
    const QString link = server.linkPath();
    server.unlink();
    if (!link.isEmpty())
        printLine(QStringLiteral("Link removed: %1").arg(link));
    return rc;
}
