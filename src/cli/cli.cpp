#include "cli/cli.h"

#include "cli/clioutput.h"
#include "cli/ecucommands.h"
#include "cli/ports.h"
#include "cli/profilecommands.h"
#include "cli/terminal.h"
#include "app/helptext.h"
#include "comm/chidtransport.h"
#include "portsearch/virtualports.h"

#include <QLocale>
#include <QTranslator>
#include <QVector>

#include <climits>
#include <cstdio>

namespace {

const char ProgramName[] = "ecu-vantor-cli";

// The longest --seconds whose milliseconds still fit an int.
constexpr int MaxSeconds = INT_MAX / 1000;

struct OptionSpec
{
    const char *name;     // long name, without "--"
    char shortName;       // 0: none
    bool takesValue;
    QVector<CliCommand> commands; // empty: a global option
};

const QVector<OptionSpec> &optionSpecs()
{
    using C = CliCommand;
    static const QVector<OptionSpec> specs = {
        {"json", 0, false, {}},
        {"lang", 0, true, {}},
        {"help", 'h', false, {}},
        {"version", 'v', false, {}},
        {"port", 0, true, {C::Probe, C::Read, C::Write, C::Monitor}},
        {"output", 'o', true, {C::Read}},
        {"no-check", 0, false, {C::Write}},
        {"seconds", 0, true, {C::Monitor}},
        {"csv", 0, true, {C::Monitor}},
        {"cylinders", 0, true, {C::Show, C::Diff}},
    };
    return specs;
}

const OptionSpec *findOption(const QString &name, bool isShort)
{
    for (const OptionSpec &spec : optionSpecs()) {
        if (isShort ? (spec.shortName && name == QLatin1Char(spec.shortName))
                    : name == QLatin1String(spec.name))
            return &spec;
    }
    return nullptr;
}

const QVector<QPair<QString, CliCommand>> &commandNames()
{
    using C = CliCommand;
    static const QVector<QPair<QString, CliCommand>> names = {
        {QStringLiteral("ports"), C::Ports},     {QStringLiteral("probe"), C::Probe},
        {QStringLiteral("read"), C::Read},       {QStringLiteral("write"), C::Write},
        {QStringLiteral("monitor"), C::Monitor}, {QStringLiteral("show"), C::Show},
        {QStringLiteral("diff"), C::Diff},
    };
    return names;
}

CliCommand commandFor(const QString &name)
{
    for (const auto &entry : commandNames()) {
        if (entry.first == name)
            return entry.second;
    }
    return CliCommand::None;
}

// A value that is itself an option ("--csv --seconds 2") is a missing value;
// a negative number is a value, refused later with its own reason.
bool looksLikeOption(const QString &arg)
{
    return arg.size() > 1 && arg.startsWith(QLatin1Char('-')) && !arg.at(1).isDigit();
}

QString optionText(const OptionSpec &spec)
{
    return QStringLiteral("--") + QLatin1String(spec.name);
}

QString portHelp()
{
    return CCli::tr("la porta: HID (la centralina su USB), un nome come ttyUSB0 o COM3, il "
                    "percorso del dispositivo, o il nome di una porta virtuale come ecu-sim. "
                    "Senza --port: la centralina su USB se è collegata, altrimenti l'unica porta "
                    "candidata (vedere ports).");
}

QString cylindersHelp()
{
    return CCli::tr("la variante della centralina, che dà la scala dei giri: 2 cilindri (fino a "
                    "12000 giri/min, il predefinito) o 4 (fino a 17000 giri/min).");
}

QString exitCodesHelp()
{
    return CCli::tr("Codici di uscita:") + QLatin1Char('\n')
           + helpRows({
               {QStringLiteral("0"), CCli::tr("fatto")},
               {QStringLiteral("1"), CCli::tr("errore di comunicazione con la centralina")},
               {QStringLiteral("2"),
                CCli::tr("uso errato: opzioni o argomenti sbagliati, più porte candidate senza "
                         "--port")},
               {QStringLiteral("3"), CCli::tr("centralina non trovata")},
               {QStringLiteral("4"),
                CCli::tr("valori diversi: la verifica dopo la scrittura, o diff di due mappe "
                         "diverse")},
               {QStringLiteral("5"),
                CCli::tr("un file che non si può leggere o scrivere (con il motivo)")},
               {QStringLiteral("130"), CCli::tr("interrotto con Ctrl+C")},
           });
}

QString globalOptionsHelp()
{
    return CCli::tr("Opzioni globali (anche dopo il sottocomando):") + QLatin1Char('\n')
           + helpRows({
               {QStringLiteral("--json"),
                CCli::tr("risultato leggibile da un programma: un documento JSON su standard "
                         "output, anche per gli errori (con il codice di uscita e il messaggio)")},
               {QStringLiteral("--lang it|en"),
                CCli::tr("lingua dei messaggi; senza, quella del sistema (LC_ALL, LC_MESSAGES, "
                         "LANG)")},
               {QStringLiteral("-h, --help"),
                CCli::tr("questo aiuto; \"%1 SOTTOCOMANDO --help\" l'aiuto del sottocomando")
                    .arg(QLatin1String(ProgramName))},
               {QStringLiteral("-v, --version"), CCli::tr("la versione del programma")},
           });
}

QString usageLine(const QString &synopsis)
{
    return CCli::tr("Uso: %1").arg(QStringLiteral("%1 [%2] %3")
                                        .arg(QLatin1String(ProgramName),
                                             CCli::tr("opzioni globali"), synopsis))
           + QLatin1Char('\n');
}

QString synopsis(CliCommand command)
{
    switch (command) {
    case CliCommand::Ports:
        return QStringLiteral("ports");
    case CliCommand::Probe:
        return QStringLiteral("probe [--port P]");
    case CliCommand::Read:
        return QStringLiteral("read [--port P] -o FILE");
    case CliCommand::Write:
        return QStringLiteral("write FILE [--port P] [--no-check]");
    case CliCommand::Monitor:
        return QStringLiteral("monitor [--port P] [--seconds N] [--csv FILE]");
    case CliCommand::Show:
        return QStringLiteral("show FILE [--cylinders 2|4]");
    case CliCommand::Diff:
        return QStringLiteral("diff A B [--cylinders 2|4]");
    case CliCommand::None:
        break;
    }
    return CCli::tr("SOTTOCOMANDO [opzioni]");
}

QString description(CliCommand command)
{
    switch (command) {
    case CliCommand::Ports:
        return CCli::tr("Le porte candidate: la centralina su USB (HID) se è collegata, le porte "
                        "seriali che elenca la ricerca della porta e i collegamenti della cartella "
                        "delle porte virtuali (%1).")
            .arg(virtualPortFolder());
    case CliCommand::Probe:
        return CCli::tr("L'identità della centralina: versione hardware, cilindri, versione del "
                        "firmware.");
    case CliCommand::Read:
        return CCli::tr("Legge la mappa della centralina (41 valori e K) nel file FILE (.prf, "
                        "sostituito se esiste) e, come la finestra dopo ogni lettura, ne salva una "
                        "copia di sicurezza nella cartella backup della cartella delle mappe.");
    case CliCommand::Write:
        return CCli::tr("Legge prima la centralina, come ogni connessione (con la copia di "
                        "sicurezza), poi scrive la mappa del file FILE con le regole della "
                        "finestra (dall'hardware 20 il nome del file viene salvato nella "
                        "centralina; K è inviato come lo invia la finestra, quando è diverso da "
                        "quello della centralina), poi la rilegge e confronta i valori. Ctrl+C "
                        "ferma la scrittura alla fine di un frame e dice quali indirizzi sono "
                        "stati scritti.");
    case CliCommand::Monitor:
        return CCli::tr("Il collegamento in tempo reale, dopo la lettura con cui comincia ogni "
                        "connessione: una riga per lettura (tempo, giri, cella, valore, sonda), "
                        "al massimo 10 al secondo su un terminale, tutte in un file o una pipe. "
                        "Si ferma dopo --seconds o con Ctrl+C (uscita 130); le letture restano "
                        "nel file CSV.");
    case CliCommand::Show:
        return CCli::tr("La mappa del file FILE come tabella di punti, giri e valori, e K.");
    case CliCommand::Diff:
        return CCli::tr("I punti in cui le mappe A e B differiscono (giri, A, B, differenza B - "
                        "A) e K quando differisce. Esce con 0 se le mappe sono uguali, con 4 se "
                        "differiscono.");
    case CliCommand::None:
        break;
    }
    return QString();
}

// One line of the subcommand list.
QString summary(CliCommand command)
{
    switch (command) {
    case CliCommand::Ports:
        return CCli::tr("le porte candidate: centralina su USB, porte seriali e virtuali");
    case CliCommand::Probe:
        return CCli::tr("l'identità della centralina (hardware, cilindri, firmware)");
    case CliCommand::Read:
        return CCli::tr("legge la mappa (41 valori e K) in FILE, con la copia di sicurezza");
    case CliCommand::Write:
        return CCli::tr("scrive la mappa di FILE nella centralina, poi la verifica");
    case CliCommand::Monitor:
        return CCli::tr("il collegamento in tempo reale, a richiesta in un file CSV");
    case CliCommand::Show:
        return CCli::tr("una mappa come tabella di giri e valori, e K");
    case CliCommand::Diff:
        return CCli::tr("i punti in cui due mappe differiscono");
    case CliCommand::None:
        break;
    }
    return QString();
}

QVector<QPair<QString, QString>> optionRows(CliCommand command)
{
    const QPair<QString, QString> port{QStringLiteral("--port P"), portHelp()};
    const QPair<QString, QString> cylinders{QStringLiteral("--cylinders 2|4"), cylindersHelp()};
    switch (command) {
    case CliCommand::Probe:
        return {port};
    case CliCommand::Read:
        return {{QStringLiteral("-o, --output FILE"), CCli::tr("il file in cui salvare la mappa letta")},
                port};
    case CliCommand::Write:
        return {port,
                {QStringLiteral("--no-check"),
                 CCli::tr("senza la verifica dopo la scrittura (che rilegge la centralina)")}};
    case CliCommand::Monitor:
        return {port,
                {QStringLiteral("--seconds N"),
                 CCli::tr("si ferma dopo N secondi (senza: fino a Ctrl+C)")},
                {QStringLiteral("--csv FILE"),
                 CCli::tr("ogni lettura nel file, nel formato dei log della finestra")}};
    case CliCommand::Show:
    case CliCommand::Diff:
        return {cylinders};
    case CliCommand::Ports:
    case CliCommand::None:
        break;
    }
    return {};
}

QString languageOfEnvironment()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value.startsWith("it") ? QStringLiteral("it") : QStringLiteral("en");
    }
    // Where the environment says nothing (Windows), the system's locale.
    return QLocale::system().language() == QLocale::Italian ? QStringLiteral("it")
                                                            : QStringLiteral("en");
}

// Everything that needs the ECU: what can be checked first is checked first,
// so that a bad file or no port never gets as far as the line.
int runEcuCommand(const CCliOptions &options, CCliOutput &out)
{
    int code = CliExit::Done;
    ProfileData profile;
    if (options.command == CliCommand::Write
        && !readProfileForCli(options.files.value(0), &profile, out, &code))
        return code;
    if (options.command == CliCommand::Read && !checkWritable(options.output, out, &code))
        return code;
    if (options.command == CliCommand::Monitor && !options.csv.isEmpty()
        && !checkWritable(options.csv, out, &code))
        return code;

    const QString port = pickPort(options.port, out, &code);
    if (port.isEmpty())
        return code;
    out.set(QStringLiteral("port"), port);

    // Standard output holds the program's own output alone: the HID route's
    // diagnostic lines are not printed.
    CHidTransport::setDiagnostics(false);
    CProgressBar progress;
    out.setProgressBar(&progress);
    CInterruptWatcher interrupt;
    CEcuJob job{options, port, out, progress, interrupt};
    int result = CliExit::Usage;
    switch (options.command) {
    case CliCommand::Probe:
        result = runProbe(job);
        break;
    case CliCommand::Read:
        result = runRead(job);
        break;
    case CliCommand::Write:
        result = runWrite(job, profile);
        break;
    case CliCommand::Monitor:
        result = runMonitor(job);
        break;
    default:
        break;
    }
    progress.clear();
    out.setProgressBar(nullptr);
    return result;
}

int dispatch(const CCliOptions &options, CCliOutput &out)
{
    switch (options.command) {
    case CliCommand::Ports:
        return runPorts(out);
    case CliCommand::Show:
        return runShow(options.files.value(0), options.cylinders, out);
    case CliCommand::Diff:
        return runDiff(options.files.value(0), options.files.value(1), options.cylinders, out);
    case CliCommand::Probe:
    case CliCommand::Read:
    case CliCommand::Write:
    case CliCommand::Monitor:
        return runEcuCommand(options, out);
    case CliCommand::None:
        break;
    }
    return CliExit::Usage;
}

} // namespace

double maxRpmForCylinders(int cylinders)
{
    return cylinders == 4 ? 17000.0 : 12000.0;
}

QString commandName(CliCommand command)
{
    for (const auto &entry : commandNames()) {
        if (entry.second == command)
            return entry.first;
    }
    return QString();
}

QString CCli::languageFor(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--"))
            break;
        QString value;
        if (arg == QLatin1String("--lang"))
            value = arguments.value(i + 1);
        else if (arg.startsWith(QLatin1String("--lang=")))
            value = arg.mid(7);
        else
            continue;
        value = value.toLower();
        if (value == QLatin1String("it") || value == QLatin1String("en"))
            return value;
        break; // a bad value: the message about it follows the environment
    }
    return languageOfEnvironment();
}

bool CCli::parse(const QStringList &arguments, CCliOptions *options, QString *error)
{
    CCliOptions &o = *options;
    // --json first, so that every error, also one met before it, is a document.
    for (int i = 1; i < arguments.size() && arguments.at(i) != QLatin1String("--"); ++i) {
        if (arguments.at(i) == QLatin1String("--json"))
            o.json = true;
    }

    QVector<QPair<const OptionSpec *, QString>> given; // as typed, in order
    QString lang;
    QString seconds;
    QString cylinders;
    QString port;
    bool endOfOptions = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (!endOfOptions && arg == QLatin1String("--")) {
            endOfOptions = true;
            continue;
        }
        if (endOfOptions || !looksLikeOption(arg)) {
            if (o.command == CliCommand::None) {
                o.command = commandFor(arg);
                if (o.command == CliCommand::None) {
                    *error = tr("sottocomando sconosciuto: %1").arg(arg);
                    return false;
                }
            } else {
                o.files << arg;
            }
            continue;
        }

        const bool isLong = arg.startsWith(QLatin1String("--"));
        QString name = isLong ? arg.mid(2) : arg.mid(1);
        QString value;
        const int equals = isLong ? name.indexOf(QLatin1Char('=')) : -1;
        const bool inlineValue = equals >= 0;
        if (inlineValue) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        const OptionSpec *spec = (isLong || name.size() == 1) ? findOption(name, !isLong) : nullptr;
        const QString typed = inlineValue ? arg.left(arg.indexOf(QLatin1Char('='))) : arg;
        if (!spec) {
            *error = tr("opzione sconosciuta: %1").arg(typed);
            return false;
        }
        if (spec->takesValue) {
            if (!inlineValue && i + 1 < arguments.size() && !looksLikeOption(arguments.at(i + 1)))
                value = arguments.at(++i);
            if (value.isEmpty()) {
                *error = tr("manca il valore dell'opzione %1").arg(typed);
                return false;
            }
            for (const auto &earlier : qAsConst(given)) {
                if (earlier.first == spec) {
                    *error = tr("l'opzione %1 è data più volte").arg(optionText(*spec));
                    return false;
                }
            }
        } else if (inlineValue) {
            *error = tr("l'opzione %1 non vuole un valore").arg(typed);
            return false;
        }
        given.append({spec, typed});

        const QLatin1String n(spec->name);
        if (n == QLatin1String("json"))
            o.json = true;
        else if (n == QLatin1String("lang"))
            lang = value;
        else if (n == QLatin1String("help"))
            o.help = true;
        else if (n == QLatin1String("version"))
            o.version = true;
        else if (n == QLatin1String("port"))
            port = value;
        else if (n == QLatin1String("output"))
            o.output = value;
        else if (n == QLatin1String("no-check"))
            o.noCheck = true;
        else if (n == QLatin1String("seconds"))
            seconds = value;
        else if (n == QLatin1String("csv"))
            o.csv = value;
        else if (n == QLatin1String("cylinders"))
            cylinders = value;
    }

    if (!lang.isEmpty()) {
        o.language = lang.toLower();
        if (o.language != QLatin1String("it") && o.language != QLatin1String("en")) {
            *error = tr("lingua non valida: \"%1\" (ammesse: it, en)").arg(lang);
            o.language.clear();
            return false;
        }
    }
    for (const auto &option : qAsConst(given)) {
        const QVector<CliCommand> &commands = option.first->commands;
        if (commands.isEmpty() || commands.contains(o.command))
            continue;
        *error = o.command == CliCommand::None
                     ? tr("l'opzione %1 vale solo con un sottocomando").arg(option.second)
                     : tr("l'opzione %1 non vale per %2").arg(option.second, commandName(o.command));
        return false;
    }
    if (o.help || o.version)
        return true;
    if (o.command == CliCommand::None) {
        *error = tr("manca il sottocomando");
        return false;
    }

    int wanted = 0;
    switch (o.command) {
    case CliCommand::Write:
    case CliCommand::Show:
        wanted = 1;
        break;
    case CliCommand::Diff:
        wanted = 2;
        break;
    default:
        break;
    }
    if (o.files.size() > wanted) {
        *error = tr("argomento inatteso: %1").arg(o.files.at(wanted));
        return false;
    }
    if (o.files.size() < wanted) {
        *error = o.command == CliCommand::Diff ? tr("diff vuole due file di mappa: A e B")
                                               : tr("manca il file della mappa");
        return false;
    }
    if (o.command == CliCommand::Read && o.output.isEmpty()) {
        *error = tr("manca -o FILE, il file in cui salvare la mappa letta");
        return false;
    }
    if (!seconds.isEmpty()) {
        bool ok = false;
        o.seconds = seconds.toInt(&ok);
        if (!ok || o.seconds < 1 || o.seconds > MaxSeconds) {
            *error = tr("--seconds vuole un numero intero di secondi da 1 a %1, non \"%2\"")
                         .arg(MaxSeconds)
                         .arg(seconds);
            o.seconds = 0;
            return false;
        }
    }
    if (!cylinders.isEmpty()) {
        if (cylinders != QLatin1String("2") && cylinders != QLatin1String("4")) {
            *error = tr("--cylinders vuole 2 o 4, non \"%1\"").arg(cylinders);
            return false;
        }
        o.cylinders = cylinders.toInt();
    }
    if (!port.isEmpty()) {
        o.port = resolvePortArgument(port);
        if (o.port.isEmpty()) {
            *error = tr("porta non valida: \"%1\" (HID, un nome come ttyUSB0 o COM3, il percorso "
                        "del dispositivo, o il nome di una porta virtuale)")
                         .arg(port);
            return false;
        }
    }
    return true;
}

QString CCli::helpText(CliCommand command)
{
    if (command == CliCommand::None) {
        QVector<QPair<QString, QString>> commands;
        for (const auto &entry : commandNames())
            commands.append({synopsis(entry.second), summary(entry.second)});
        return usageLine(synopsis(CliCommand::None))
               + helpParagraph(tr("Legge, scrive, verifica e confronta le mappe della centralina ECU "
                            "Vantor senza finestra."))
               + QLatin1Char('\n') + tr("Sottocomandi:") + QLatin1Char('\n')
               + helpRows(commands) + QLatin1Char('\n') + globalOptionsHelp()
               + QLatin1Char('\n')
               + helpParagraph(tr("Senza --port: la centralina su USB se è collegata, altrimenti "
                            "l'unica porta candidata; con più porte candidate il programma le "
                            "elenca ed esce con 2."))
               + QLatin1Char('\n') + exitCodesHelp();
    }
    QString text = usageLine(synopsis(command)) + helpParagraph(description(command));
    const QVector<QPair<QString, QString>> rows = optionRows(command);
    if (!rows.isEmpty())
        text += QLatin1Char('\n') + tr("Opzioni:") + QLatin1Char('\n') + helpRows(rows);
    return text + QLatin1Char('\n') + globalOptionsHelp() + QLatin1Char('\n') + exitCodesHelp();
}

QString CCli::versionText()
{
    return QCoreApplication::applicationName() + QLatin1Char(' ')
           + QCoreApplication::applicationVersion();
}

int CCli::run(const QStringList &arguments)
{
    QTranslator translator;
    const bool italian = languageFor(arguments) == QLatin1String("it");
    // A catalogue that fails to load leaves the Italian source texts.
    (void)translator.load(italian ? QStringLiteral("ECUVantor-it.qm")
                                  : QStringLiteral("ECUVantor-en.qm"),
                          QStringLiteral(":/linguist"));
    QCoreApplication::installTranslator(&translator);

    CCliOptions options;
    QString error;
    const bool parsed = parse(arguments, &options, &error);
    CCliOutput out(options.json, commandName(options.command));
    int code = CliExit::Done;
    if (!parsed) {
        code = out.finish(out.usageError(error));
    } else if (options.help) {
        CCliOutput::print(stdout, helpText(options.command));
    } else if (options.version) {
        CCliOutput::print(stdout, versionText() + QLatin1Char('\n'));
    } else {
        code = out.finish(dispatch(options, out));
    }
    QCoreApplication::removeTranslator(&translator);
    return code;
}
