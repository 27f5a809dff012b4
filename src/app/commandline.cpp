#include "commandline.h"
#include "startup.h"
#include "app/helptext.h"
#include "mainwindow/qtcatalogue.h"

#include "portsearch/frmricercaporta.h"
#include "portsearch/portlist.h"
#include "profile/profilefolder.h"

#include <QAction>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTranslator>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

// Options the GUI toolkit reads from the command line itself (with one or two
// dashes); they are not ours to reject.
const char *const ToolkitOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "geometry",
    "qwindowtitle", "title", "qwindowicon", "icon", "display", "name", "session", "style",
    "stylesheet"};
const char *const ToolkitFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync",
                                    "testability"};

bool isIn(const QString &name, const char *const *begin, const char *const *end)
{
    for (auto it = begin; it != end; ++it) {
        if (name == QLatin1String(*it))
            return true;
    }
    return false;
}

// The arguments without the toolkit's own options.
QStringList withoutToolkitOptions(const QStringList &arguments)
{
    QStringList kept;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg == QLatin1String("--")) { // everything after it is an argument
            kept << arguments.mid(i);
            break;
        }
        if (i == 0 || !arg.startsWith(QLatin1Char('-'))) {
            kept << arg;
            continue;
        }
        QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        const int equals = name.indexOf(QLatin1Char('='));
        const bool hasValue = equals >= 0;
        if (hasValue)
            name.truncate(equals);
        if (name == QLatin1String("qmljsdebugger")
            || isIn(name, std::begin(ToolkitFlags), std::end(ToolkitFlags)))
            continue;
        if (isIn(name, std::begin(ToolkitOptionsWithValue), std::end(ToolkitOptionsWithValue))) {
            if (!hasValue)
                ++i; // its value
            continue;
        }
        kept << arg;
    }
    return kept;
}

const char *const ValueOptions[] = {"--lang", "--port", "--profiles"};

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

} // namespace

CCommandLine::CCommandLine(const QStringList &arguments)
    : m_program(arguments.value(0))
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption lang(QStringLiteral("lang"), QString(), QStringLiteral("it|en"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption profiles(QStringLiteral("profiles"), QString(), QStringLiteral("DIR"));
    parser.addOptions({help, version, lang, port, profiles});

    const QStringList args = withoutToolkitOptions(arguments);
    const bool parsed = parser.parse(args);
    // A valid --lang also sets the language of the message about another fault.
    const QString language = parser.value(lang).toLower();
    const bool languageOk = language == QLatin1String("it") || language == QLatin1String("en");
    if (parsed && languageOk)
        m_language = language;
    if (!parsed) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            // Named as typed: "-lang" rather than the "-l" the parser saw in it.
            const QString name = unknown.first();
            m_fault = Fault::UnknownOption;
            m_faultDetail = (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
            for (const QString &arg : args.mid(1)) {
                const bool longForm = arg.startsWith(QLatin1String("--"));
                if (longForm ? arg == QLatin1String("--") + name
                                   || arg.startsWith(QLatin1String("--") + name + QLatin1Char('='))
                             : arg.startsWith(QLatin1Char('-')) && arg.contains(name)) {
                    m_faultDetail = arg;
                    break;
                }
            }
        } else if (args.size() > 1
                   && isIn(args.last(), std::begin(ValueOptions), std::end(ValueOptions))) {
            m_fault = Fault::MissingValue;
            m_faultDetail = args.last();
        } else {
            m_fault = Fault::Other;
            m_faultDetail = parser.errorText();
        }
    } else if (!parser.positionalArguments().isEmpty()) {
        m_fault = Fault::StrayArgument;
        m_faultDetail = parser.positionalArguments().first();
    } else if (parser.isSet(lang) && !languageOk) {
        m_fault = Fault::BadLanguage;
        m_faultDetail = parser.value(lang);
    } else if (parser.isSet(port) && !isSerialPortName(parser.value(port))) {
        m_fault = Fault::BadPort;
        m_faultDetail = parser.value(port);
    } else if (parser.isSet(profiles)) {
        // A folder that is missing is made, as for the documents folder; a
        // file of that name or a folder that cannot be made is refused.
        const QString dir = parser.value(profiles);
        const QFileInfo info(dir);
        if (dir.isEmpty() || (info.exists() && !info.isDir())
            || (!info.exists() && !QDir().mkpath(dir))) {
            m_fault = Fault::BadProfiles;
            m_faultDetail = dir;
        } else {
            m_profiles = QDir(dir).absolutePath();
        }
    }

    if (m_fault != Fault::None) {
        m_action = Action::Error;
        m_profiles.clear();
        return;
    }
    m_port = parser.value(port);
    if (parser.isSet(help))
        m_action = Action::Help;
    else if (parser.isSet(version))
        m_action = Action::Version;
}

QStringList CCommandLine::argumentsOf(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

QString CCommandLine::programName() const
{
    const QString name = QFileInfo(m_program).fileName();
    return name.isEmpty() ? QStringLiteral("ecu-vantor") : name;
}

QString CCommandLine::helpText() const
{
    const QVector<QPair<QString, QString>> rows = {
        {QStringLiteral("-h, --help"), tr("Mostra questo aiuto ed esce.")},
        {QStringLiteral("-v, --version"), tr("Mostra la versione del programma ed esce.")},
        {QStringLiteral("--lang it|en"),
         tr("Lingua dell'interfaccia per questa esecuzione soltanto; l'impostazione salvata "
            "resta com'era.")},
        {QStringLiteral("--port ") + tr("NOME"),
         tr("All'avvio prova la porta NOME; se vi risponde la centralina, si collega e ne "
            "legge la mappa.")},
        {QStringLiteral("--profiles ") + tr("CARTELLA"),
         tr("Cartella in cui si aprono le finestre di caricamento e salvataggio delle mappe.")},
    };
    QString text = tr("Uso: %1 [opzioni]").arg(programName()) + QLatin1Char('\n')
                   + tr("Strumento di taratura per la centralina d'iniezione ECU Vantor.")
                   + QStringLiteral("\n\n") + tr("Opzioni:") + QLatin1Char('\n');
    return text + helpRows(rows);
}

QString CCommandLine::errorText() const
{
    QString message;
    switch (m_fault) {
    case Fault::None:
        return QString();
    case Fault::UnknownOption:
        message = tr("opzione sconosciuta: %1").arg(m_faultDetail);
        break;
    case Fault::MissingValue:
        message = tr("manca il valore dell'opzione %1").arg(m_faultDetail);
        break;
    case Fault::BadLanguage:
        message = tr("lingua non valida: \"%1\" (ammesse: it, en)").arg(m_faultDetail);
        break;
    case Fault::BadPort:
        message = tr("porta non valida: \"%1\" (un nome come ttyUSB0 o COM3, o il percorso "
                     "del dispositivo)")
                      .arg(m_faultDetail);
        break;
    case Fault::BadProfiles:
        message = tr("cartella dei profili non utilizzabile: \"%1\"").arg(m_faultDetail);
        break;
    case Fault::StrayArgument:
        message = tr("argomento inatteso: %1").arg(m_faultDetail);
        break;
    case Fault::Other:
        message = tr("riga di comando non valida: %1").arg(m_faultDetail);
        break;
    }
    return programName() + QStringLiteral(": ") + message + QLatin1Char('\n')
           + tr("Usare \"%1 --help\" per l'elenco delle opzioni.").arg(programName())
           + QLatin1Char('\n');
}

QString CCommandLine::versionText()
{
    return QCoreApplication::applicationName() + QLatin1Char(' ')
           + QCoreApplication::applicationVersion();
}

// The catalogue of this run: --lang, else the setting ("IT" unless set).
QString CCommandLine::catalogue() const
{
    const bool italian = m_language.isEmpty()
                             ? QSettings().value(QStringLiteral("Language"), QStringLiteral("IT"))
                                   == QLatin1String("IT")
                             : m_language == QLatin1String("it");
    return italian ? QStringLiteral("ECUVantor-it.qm") : QStringLiteral("ECUVantor-en.qm");
}

int CCommandLine::report(int &argc, char **argv) const
{
    std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app = std::make_unique<QCoreApplication>(argc, argv);
    QTranslator translator;
    (void)translator.load(catalogue(), QStringLiteral(":/linguist"));
    QCoreApplication::installTranslator(&translator);

    switch (m_action) {
    case Action::Help:
        print(stdout, helpText());
        break;
    case Action::Version:
        print(stdout, versionText() + QLatin1Char('\n'));
        break;
    case Action::Error:
        print(stderr, errorText());
        break;
    case Action::Run:
        break;
    }
    QCoreApplication::removeTranslator(&translator);
    return exitCode();
}

void CCommandLine::applyBeforeWindow(QTranslator &startupTranslator) const
{
    if (!m_language.isEmpty()) {
        (void)startupTranslator.load(catalogue(), QStringLiteral(":/linguist"));
        installQtCatalogue(m_language == QLatin1String("it") ? QStringLiteral("IT")
                                                             : QStringLiteral("EN"));
    }
    if (!m_profiles.isEmpty())
        setProfileFolderOverride(m_profiles);
}

void CCommandLine::applyToWindow(QWidget *mainWindow) const
{
    if (!m_language.isEmpty()) {
        if (auto *italian = mainWindow->findChild<QAction *>(QStringLiteral("actionItaliano")))
            italian->setChecked(m_language == QLatin1String("it"));
        if (auto *english = mainWindow->findChild<QAction *>(QStringLiteral("actionInglese")))
            english->setChecked(m_language == QLatin1String("en"));
    }
    if (!m_port.isEmpty()) {
        if (auto *search = mainWindow->findChild<frmRicercaPorta *>()) {
            search->probePort(m_port);
            search->show();
        }
    }
}
