#include "cli/ports.h"

#include "cli/cli.h"
#include "cli/clioutput.h"
#include "portsearch/portlist.h"
#include "portsearch/virtualports.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <hidapi/hidapi.h>

bool hidEcuPresent()
{
    hid_device_info *devices = hid_enumerate(EcuSearch::EcuVendorId, EcuSearch::EcuProductId);
    const bool present = devices != nullptr;
    hid_free_enumeration(devices);
    return present;
}

QStringList CPortCandidates::all() const
{
    QStringList ports;
    if (hid)
        ports << QLatin1String(EcuSearch::HidPortName);
    return ports + serial + virtualPorts;
}

CPortCandidates listPortCandidates()
{
    CPortCandidates candidates;
    candidates.hid = hidEcuPresent();
    candidates.virtualPorts = virtualPorts();
    const QStringList names = serialPortNames(); // the system's, then the links
    for (const QString &name : names) {
        if (isSerialPortName(name) && !candidates.virtualPorts.contains(name))
            candidates.serial << name;
    }
    return candidates;
}

CPortChoice choosePort(const CPortCandidates &candidates)
{
    CPortChoice choice;
    const QStringList all = candidates.all();
    if (candidates.hid) {
        choice.outcome = CPortChoice::Chosen;
        choice.port = QLatin1String(EcuSearch::HidPortName);
    } else if (all.size() == 1) {
        choice.outcome = CPortChoice::Chosen;
        choice.port = all.first();
    } else if (all.size() > 1) {
        choice.outcome = CPortChoice::Several;
        choice.candidates = all;
    }
    return choice;
}

QString resolvePortArgument(const QString &typed)
{
    if (typed.compare(QLatin1String(EcuSearch::HidPortName), Qt::CaseInsensitive) == 0)
        return QLatin1String(EcuSearch::HidPortName);
    if (isSerialPortName(typed))
        return typed;
    // A bare name: a link of the virtual-port folder (the simulator's "ecu-sim").
    if (!typed.isEmpty() && !typed.contains(QLatin1Char('/'))) {
        const QFileInfo link(QDir(virtualPortFolder()), typed);
        if (link.exists())
            return link.absoluteFilePath();
    }
    return QString();
}

QString pickPort(const QString &requested, CCliOutput &out, int *exitCode)
{
    *exitCode = CliExit::Done;
    if (!requested.isEmpty())
        return requested;
    const CPortChoice choice = choosePort(listPortCandidates());
    switch (choice.outcome) {
    case CPortChoice::Chosen:
        return choice.port;
    case CPortChoice::Several: {
        out.set(QStringLiteral("candidates"), QJsonArray::fromStringList(choice.candidates));
        QString message = CCli::tr("ci sono più porte candidate; sceglierne una con --port:");
        if (!out.isJson()) {
            for (const QString &port : choice.candidates)
                message += QStringLiteral("\n  ") + port;
        }
        *exitCode = out.usageError(message);
        return QString();
    }
    case CPortChoice::None:
        break;
    }
    *exitCode = out.fail(CliExit::EcuNotFound,
                         CCli::tr("centralina non trovata: nessuna centralina su USB e nessuna "
                                  "porta seriale o virtuale"));
    return QString();
}

int runPorts(CCliOutput &out)
{
    const CPortCandidates candidates = listPortCandidates();

    struct Row
    {
        QString name;
        QString kind; // for JSON
        QString what; // for the reader
    };
    QVector<Row> rows;
    if (candidates.hid)
        rows.append({QLatin1String(EcuSearch::HidPortName), QStringLiteral("hid"),
                     CCli::tr("centralina su USB (HID)")});
    for (const QString &name : candidates.serial)
        rows.append({name, QStringLiteral("serial"), CCli::tr("porta seriale")});
    for (const QString &name : candidates.virtualPorts)
        rows.append({name, QStringLiteral("virtual"),
                     CCli::tr("porta virtuale \"%1\"").arg(portDisplayName(name))});

    QJsonArray ports;
    int width = 0;
    for (const Row &row : qAsConst(rows)) {
        ports.append(QJsonObject{{QStringLiteral("name"), row.name},
                                 {QStringLiteral("kind"), row.kind}});
        width = qMax(width, row.name.size());
    }
    out.set(QStringLiteral("ports"), ports);
    out.set(QStringLiteral("hid"), candidates.hid);

    if (rows.isEmpty())
        out.line(CCli::tr("Nessuna porta candidata: nessuna centralina su USB e nessuna porta "
                          "seriale o virtuale."));
    for (const Row &row : qAsConst(rows))
        out.line(row.name.leftJustified(width) + QStringLiteral("  ") + row.what);
    return CliExit::Done;
}
