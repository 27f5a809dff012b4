// monitor: the live link of the connection, its readings on the terminal
// and in a datalog.
#include "cli/cli.h"
#include "cli/cliconnection.h"
#include "cli/clioutput.h"
#include "cli/ecucommands.h"
#include "cli/terminal.h"
#include "comm/datalogrecorder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonObject>
#include <QTimer>

#include <climits>

namespace {

// On a terminal a line every 100 ms at most: more cannot be read.
constexpr qint64 TerminalLineMs = 100;
// Rows reach the file at least this often.
constexpr int FlushMs = 1000;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

int runMonitor(CEcuJob &job)
{
    CCliOutput &out = job.out;
    const CCliOptions &options = job.options;
    CCliConnection ecu(job);
    const int connected = ecu.connectToEcu();
    if (connected != CliExit::Done)
        return connected;
    CEcuSession *session = ecu.session();

    // The rows carry the K and test-bench state the ECU holds, as read.
    const FlashImage &read = ecu.readImage();
    const int k = qBound(1, read.k, 4);
    const bool bench = read.benchOn;
    out.set(QStringLiteral("k"), k);
    out.set(QStringLiteral("test_bench"), read.benchOn);
    out.set(QStringLiteral("csv"), options.csv.isEmpty() ? QJsonValue() : QJsonValue(options.csv));

    // The rows as the window's recorder writes them (at least once a
    // second); a reading a row cannot hold (a garbled cell index) is left
    // out.
    CDataLogRecorder log(nullptr, FlushMs);
    bool logFailed = false;
    QObject::connect(&log, &CDataLogRecorder::error, &log, [&logFailed] { logFailed = true; });
    if (!options.csv.isEmpty() && !log.startFile(options.csv, k, bench))
        return out.fail(CliExit::FileError, CCli::tr("impossibile scrivere il file %1: %2")
                                                .arg(shown(options.csv), log.fileError()));

    // On a terminal at most 10 lines a second; into a file or a pipe every
    // reading, as the CSV has it.
    const bool terminal = isTerminal(stdout);
    const QStringList headers{CCli::tr("Tempo s"), CCli::tr("Giri/min"), CCli::tr("Cella"),
                              CCli::tr("Valore"), CCli::tr("Sonda")};
    out.line(options.seconds > 0
                 ? CCli::tr("Collegamento in tempo reale per %n secondi (K %1)", nullptr,
                            options.seconds)
                       .arg(k)
                 : CCli::tr("Collegamento in tempo reale fino a Ctrl+C (K %1)").arg(k));
    out.line(tableRow(headers, headers));

    qint64 readings = 0;
    qint64 firstMs = -1;
    qint64 lastShownMs = -1;
    int rpmMin = 0;
    int rpmMax = 0;
    QObject context;
    QObject::connect(session, &CEcuSession::liveSample, &context, [&](const CLiveSample &s) {
        if (firstMs < 0)
            firstMs = s.ms;
        rpmMin = readings ? qMin(rpmMin, s.rpm) : s.rpm;
        rpmMax = readings ? qMax(rpmMax, s.rpm) : s.rpm;
        ++readings;
        log.addSample(s);
        if (terminal && lastShownMs >= 0 && s.ms - lastShownMs < TerminalLineMs)
            return;
        lastShownMs = s.ms;
        out.line(tableRow(headers, {QString::number((s.ms - firstMs) / 1000.0, 'f', 3),
                                    QString::number(s.rpm), QString::number(s.cellIndex),
                                    QString::number(s.cellValue), QString::number(s.adc)}));
    });
    bool timeUp = false;
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer); // a coarse one may end the run 5 % early
    QObject::connect(&limit, &QTimer::timeout, &context, [&timeUp] { timeUp = true; });
    QElapsedTimer clock;
    if (!session->toggleLink())
        return out.fail(CliExit::CommunicationFailure,
                        ecu.communicationFailure(CCliConnection::Phase::Link));
    clock.start();
    if (options.seconds > 0)
        limit.start(options.seconds * 1000);

    const bool stopped = !ecu.runUntil([&] { return timeUp || ecu.ended() || logFailed; });
    const qint64 elapsed = clock.elapsed();
    // The link off, then the connection ended; nothing is left running.
    if (session->linkOn())
        session->toggleLink();
    ecu.end();
    log.stop();

    out.set(QStringLiteral("readings"), readings);
    out.set(QStringLiteral("seconds"), elapsed / 1000.0);
    const QJsonObject rpm{{QStringLiteral("min"), rpmMin}, {QStringLiteral("max"), rpmMax}};
    out.set(QStringLiteral("rpm"), readings ? QJsonValue(rpm) : QJsonValue());
    if (!options.csv.isEmpty()) {
        out.set(QStringLiteral("rows"), log.rowCount());
        out.set(QStringLiteral("skipped"), log.skippedCount());
    }
    out.line(CCli::tr("%n letture in %1 s", nullptr, int(qMin<qint64>(readings, INT_MAX)))
                 .arg(elapsed / 1000.0, 0, 'f', 1));
    if (!options.csv.isEmpty() && !logFailed)
        out.line(CCli::tr("Salvate in %1 (%2 righe)").arg(shown(options.csv)).arg(log.rowCount()));

    if (logFailed)
        return out.fail(CliExit::FileError,
                        CCli::tr("impossibile scrivere il file %1: %2")
                            .arg(shown(options.csv), log.fileError()));
    if (stopped)
        return out.fail(CliExit::Interrupted,
                        CCli::tr("interrotto con Ctrl+C: il collegamento è chiuso"));
    if (!timeUp)
        return out.fail(CliExit::CommunicationFailure,
                        ecu.communicationFailure(CCliConnection::Phase::Link));
    return CliExit::Done;
}
