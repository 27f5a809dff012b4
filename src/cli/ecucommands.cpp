#include "cli/ecucommands.h"

#include "cli/cli.h"
#include "cli/cliconnection.h"
#include "cli/clioutput.h"
#include "cli/ports.h"
#include "cli/terminal.h"
#include "comm/cgestrt.h"
#include "comm/frames.h"
#include "portsearch/virtualports.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>

// probe, read and write; monitor is in monitorcommand.cpp. Each runs the
// window's sequences through CCliConnection and says what came of them.

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

int rpmAt(int point, const CDevInfo &ecu)
{
    return qRound(point * maxRpmForCylinders(ecu.cylinders) / (ProfilePoints - 1));
}

QJsonArray valuesJson(const QVector<double> &values)
{
    QJsonArray array;
    for (double v : values)
        array.append(qRound(v));
    return array;
}

// Lines of "label: value", the values in one column.
void printFields(CCliOutput &out, const QVector<QPair<QString, QString>> &fields)
{
    int width = 0;
    for (const auto &field : fields)
        width = qMax(width, field.first.size());
    for (const auto &field : fields)
        out.line(QStringLiteral("  ") + (field.first + QLatin1Char(':')).leftJustified(width + 2)
                 + field.second);
}

// The backup of the read every connection starts with: where it went, or
// why it could not be written (a remark: the read counts all the same).
void reportBackup(CCliConnection &ecu, CCliOutput &out)
{
    if (!ecu.backupPath().isEmpty()) {
        out.line(CCli::tr("Copia di sicurezza: %1").arg(shown(ecu.backupPath())));
        out.set(QStringLiteral("backup"), ecu.backupPath());
        return;
    }
    out.set(QStringLiteral("backup"), QJsonValue());
    if (!ecu.backupError().isEmpty()) {
        out.note(ecu.backupError());
        out.set(QStringLiteral("backup_error"), ecu.backupError());
    }
}

QString benchText(bool on)
{
    return on ? CCli::tr("modo banco acceso") : CCli::tr("modo banco spento");
}

// A write cut short (Ctrl+C, or the line failed): which addresses the ECU
// acknowledged. The request after them was on its way and may have been
// written too.
QString partlyWritten(int acknowledged, int length)
{
    if (acknowledged <= 0)
        return CCli::tr("nessun indirizzo confermato dalla centralina (l'indirizzo 0 potrebbe "
                        "essere stato scritto)");
    if (acknowledged >= length)
        return CCli::tr("tutti i %1 indirizzi scritti").arg(length);
    return CCli::tr("scritti e confermati gli indirizzi da 0 a %1 (%2 su %3; anche "
                    "l'indirizzo %4 potrebbe essere stato scritto): la centralina ha una mappa "
                    "scritta a metà, scriverla di nuovo")
        .arg(acknowledged - 1)
        .arg(acknowledged)
        .arg(length)
        .arg(acknowledged);
}

// The check found other values: the points as a table of what was sent
// and what the ECU gave back, and whether the name differs. Returns the
// number of points that differ.
int reportDifferences(const CTransferOutcome &outcome, const CDevInfo &ecu, CCliOutput &out)
{
    const WriteCheck differences = checkWrittenImage(outcome.image, outcome.readBack);
    const QStringList headers{CCli::tr("Punto"), CCli::tr("Giri/min"), CCli::tr("Inviato"),
                              CCli::tr("Letto")};
    const auto row = [&headers](const QStringList &cells) {
        QString text;
        for (int i = 0; i < headers.size(); ++i)
            text += (i ? QStringLiteral("  ") : QString())
                    + cells.value(i).rightJustified(qMax(6, headers.at(i).size()));
        return text;
    };
    if (!differences.points.isEmpty())
        out.line(row(headers));
    QJsonArray points;
    for (int i : differences.points) {
        const int sent = static_cast<qint8>(outcome.image.at(i));
        // A byte the read-back lacks counts as different.
        const bool missing = i >= outcome.readBack.size();
        const int read = missing ? 0 : int(static_cast<qint8>(outcome.readBack.at(i)));
        out.line(row({QString::number(i), QString::number(rpmAt(i, ecu)), QString::number(sent),
                      missing ? QStringLiteral("-") : QString::number(read)}));
        points.append(QJsonObject{{QStringLiteral("point"), i},
                                  {QStringLiteral("rpm"), rpmAt(i, ecu)},
                                  {QStringLiteral("sent"), sent},
                                  {QStringLiteral("read"),
                                   missing ? QJsonValue() : QJsonValue(read)}});
    }
    if (differences.nameDiffers)
        out.line(CCli::tr("Il nome della mappa nella centralina è diverso da quello inviato."));
    out.set(QStringLiteral("differences"), points);
    out.set(QStringLiteral("name_differs"), differences.nameDiffers);
    return differences.points.size();
}

} // namespace

int runProbe(CEcuJob &job)
{
    CCliConnection ecu(job);
    const int found = ecu.probe();
    if (found != CliExit::Done)
        return found;
    const CDevInfo &info = ecu.session()->devInfo();
    const bool reported = job.port == QLatin1String(EcuSearch::HidPortName);
    CCliOutput &out = job.out;
    out.line(CCli::tr("Centralina trovata su %1").arg(shown(portDisplayName(job.port))));
    printFields(out, {{CCli::tr("Hardware"), QString::number(info.hardware)},
                      {CCli::tr("Cilindri"), info.cylinders != 0 ? QString::number(info.cylinders)
                                                                 : CCli::tr("non indicati")},
                      {CCli::tr("Firmware"), firmwareText(info)}});
    if (!reported)
        out.line(CCli::tr("(una porta seriale non comunica l'identità: sono i valori che assume "
                          "la finestra)"));
    return CliExit::Done;
}

int runRead(CEcuJob &job)
{
    CCliOutput &out = job.out;
    CCliConnection ecu(job);
    const int connected = ecu.connectToEcu();
    if (connected != CliExit::Done)
        return connected;
    ecu.end();

    const FlashImage &read = ecu.readImage();
    const quint8 hardware = ecu.session()->hardware();
    // K as the window keeps it after a read (its spin box takes 1..4).
    const int k = qBound(1, read.k, 4);
    out.set(QStringLiteral("addresses"), ecuTable(hardware).readCount);
    out.set(QStringLiteral("values"), valuesJson(read.values));
    out.set(QStringLiteral("k"), k);
    out.set(QStringLiteral("test_bench"), read.benchOn);
    out.set(QStringLiteral("name"), read.hasName ? QJsonValue(read.name) : QJsonValue());
    out.line(CCli::tr("Mappa letta: 41 valori, K %1, %2").arg(k).arg(benchText(read.benchOn)));
    if (read.hasName)
        out.line(CCli::tr("Nome della mappa nella centralina: %1").arg(read.name));
    reportBackup(ecu, out);

    const QString &path = job.options.output;
    QString error;
    if (!writeProfileFile(path, read.values, k, &error))
        return out.fail(CliExit::FileError,
                        CCli::tr("impossibile scrivere il file %1: %2").arg(shown(path), error));
    out.set(QStringLiteral("file"), path);
    out.line(CCli::tr("Salvata in %1").arg(shown(path)));
    return CliExit::Done;
}

int runWrite(CEcuJob &job, const ProfileData &profile)
{
    CCliOutput &out = job.out;
    const QString &path = job.options.files.value(0);
    out.set(QStringLiteral("file"), path);
    CCliConnection ecu(job);
    ecu.setProfileFile(path, profile);
    // The read every connection starts with, as in the window: the ECU's K
    // and a backup of what it held.
    const int connected = ecu.connectToEcu();
    if (connected != CliExit::Done)
        return connected;
    const FlashImage &read = ecu.readImage();
    out.line(CCli::tr("Letta la mappa della centralina: K %1, %2")
                 .arg(read.k)
                 .arg(benchText(read.benchOn)));
    reportBackup(ecu, out);

    CEcuSession *session = ecu.session();
    const quint8 hardware = session->hardware();
    const QByteArray image = ecu.flashImage(hardware);
    const int length = image.size();
    out.set(QStringLiteral("addresses"), length);

    // K goes as the window sends it when the file's K is not the ECU's: on
    // its own, before the write (its frame goes out before the write takes
    // the line).
    const int fileK = qBound(1, profile.k, 4);
    const bool sendK = fileK != read.k;
    const int lostBefore = session->gestRT()->lostAcknowledgements();
    const int unsentBefore = session->gestRT()->unsentCommands();
    if (sendK)
        session->queueK(fileK);

    // What became of K is known once the write has the line: the worker
    // hands the write back only after K's frame has been answered (or has
    // timed out).
    bool kReported = false;
    bool kAcknowledged = false;
    const auto reportK = [&] {
        if (kReported)
            return;
        kReported = true;
        const bool acknowledged = session->gestRT()->lostAcknowledgements() == lostBefore
                                  && session->gestRT()->unsentCommands() == unsentBefore;
        kAcknowledged = acknowledged;
        out.set(QStringLiteral("k"),
                QJsonObject{{QStringLiteral("file"), fileK},
                            {QStringLiteral("ecu"), read.k},
                            {QStringLiteral("sent"), sendK},
                            {QStringLiteral("acknowledged"),
                             sendK ? QJsonValue(acknowledged) : QJsonValue()}});
        if (!sendK)
            out.line(CCli::tr("K %1 come nella centralina: non inviato").arg(fileK));
        else if (acknowledged)
            out.line(CCli::tr("K %1 inviato (la centralina aveva %2)").arg(fileK).arg(read.k));
        else
            out.line(CCli::tr("K %1 inviato, ma la centralina non l'ha confermato (aveva %2)")
                         .arg(fileK)
                         .arg(read.k));
    };
    if (!sendK)
        reportK();
    QObject context;
    QObject::connect(session, &CEcuSession::stateChanged, &context, [&] {
        if (session->state() == CEcuSession::State::Writing)
            reportK();
    });

    // The check runs unless --no-check, whatever the user's settings say.
    session->setWriteCheck(job.options.noCheck ? CEcuSession::WriteCheck::Never
                                               : CEcuSession::WriteCheck::Always);
    ecu.resetWritePercent();
    const int before = ecu.transfersShown();
    if (!ecu.sequencer()->write())
        return out.fail(CliExit::CommunicationFailure,
                        ecu.communicationFailure(CCliConnection::Phase::Writing));
    job.progress.start(CCli::tr("Scrittura"));
    const bool finished =
        ecu.runUntil([&ecu, before] { return ecu.transfersShown() > before || ecu.ended(); });
    job.progress.clear();
    const bool checking = session->state() == CEcuSession::State::Verifying;
    if (!finished || ecu.ended()) {
        // Stopped at a whole frame: the connection ends, every exchange is
        // abandoned, and the writer's reports already on their way are
        // taken in before the count.
        ecu.end();
        QCoreApplication::processEvents();
    }

    // Cut short before the write had the line, K's frame may still have
    // been on its way: what became of it is not known.
    if (!finished && !kReported && ecu.writePercent() < 0)
        out.set(QStringLiteral("k"), QJsonObject{{QStringLiteral("file"), fileK},
                                                 {QStringLiteral("ecu"), read.k},
                                                 {QStringLiteral("sent"), sendK},
                                                 {QStringLiteral("acknowledged"), QJsonValue()}});
    else
        reportK();

    const int acknowledged = checking ? length : ecu.acknowledgedAddresses();
    if (!finished) {
        out.set(QStringLiteral("written"), acknowledged);
        out.set(QStringLiteral("checked"), false);
        if (checking)
            return out.fail(CliExit::Interrupted,
                            CCli::tr("interrotto durante la verifica: la mappa è stata scritta "
                                     "tutta (%1 indirizzi), ma non verificata")
                                .arg(length));
        if (ecu.writePercent() < 0)
            return out.fail(CliExit::Interrupted,
                            CCli::tr("interrotto prima della scrittura: nessun indirizzo della "
                                     "mappa è stato scritto"));
        return out.fail(CliExit::Interrupted,
                        CCli::tr("interrotto durante la scrittura: %1")
                            .arg(partlyWritten(acknowledged, length)));
    }

    const CTransferOutcome outcome = ecu.lastOutcome();
    if (ecu.transfersShown() == before || outcome.kind == CTransferOutcome::WriteFailed
        || outcome.kind == CTransferOutcome::None) {
        out.set(QStringLiteral("written"), acknowledged);
        out.set(QStringLiteral("checked"), false);
        return out.fail(CliExit::CommunicationFailure,
                        ecu.communicationFailure(CCliConnection::Phase::Writing)
                            + QStringLiteral("; ") + partlyWritten(acknowledged, length));
    }

    out.set(QStringLiteral("written"), length);
    out.set(QStringLiteral("checked"), outcome.checked);
    const FlashImage sent = parseFlashImage(image, hardware);
    out.set(QStringLiteral("name"), sent.hasName ? QJsonValue(sent.name) : QJsonValue());

    if (outcome.kind == CTransferOutcome::WriteDiffers) {
        const int points = reportDifferences(outcome, session->devInfo(), out);
        const QString where = points == 0 ? CCli::tr("nel nome della mappa")
                                          : CCli::tr("in %n punti", nullptr, points);
        return out.fail(CliExit::DifferentValues,
                        CCli::tr("la verifica dopo la scrittura ha trovato valori diversi %1: la "
                                 "centralina non contiene la mappa di %2")
                            .arg(where, shown(path)));
    }

    out.set(QStringLiteral("differences"), QJsonArray());
    out.set(QStringLiteral("name_differs"), false);
    out.line(outcome.checked
                 ? CCli::tr("Mappa di %1 scritta nella centralina (%2 indirizzi) e verificata")
                       .arg(shown(path))
                       .arg(length)
                 : CCli::tr("Mappa di %1 scritta nella centralina (%2 indirizzi), senza verifica")
                       .arg(shown(path))
                       .arg(length));
    if (sent.hasName)
        out.line(CCli::tr("Nome della mappa nella centralina: %1").arg(sent.name));
    if (sendK && !kAcknowledged)
        return out.fail(CliExit::CommunicationFailure,
                        CCli::tr("la centralina non ha confermato K %1").arg(fileK));
    return CliExit::Done;
}
