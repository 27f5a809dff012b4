#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// ecu-vantor-cli: the command line of the workshop.
//
//   ecu-vantor-cli [global options] <subcommand> [options]
//
// Global options (--json, --lang, --help, --version) may also follow the
// subcommand, and a subcommand's options may come in any order; "--" ends
// the options (for a file whose name starts with "-").

// The exit codes, the same in --help, the manual page and the README.
namespace CliExit {
constexpr int Done = 0;
constexpr int CommunicationFailure = 1;
constexpr int Usage = 2;
constexpr int EcuNotFound = 3;
constexpr int DifferentValues = 4; // the check after a write; diff of two profiles
constexpr int FileError = 5;       // a file that cannot be read or written
constexpr int Interrupted = 130;   // stopped with Ctrl+C, as a shell reports it
} // namespace CliExit

enum class CliCommand { None, Ports, Probe, Read, Write, Monitor, Show, Diff };

// The command line, parsed and checked.
struct CCliOptions
{
    CliCommand command = CliCommand::None;
    bool json = false;
    bool help = false;
    bool version = false;
    QString language;  // "it" or "en": the messages' language
    QString port;      // --port, as a port name ("HID", ttyUSB0, a path); empty: choose
    QString output;    // read: -o FILE
    QStringList files; // write and show: FILE; diff: A and B
    bool noCheck = false;
    int seconds = 0;   // monitor: 0 runs until Ctrl+C
    QString csv;       // monitor: --csv FILE
    int cylinders = 2; // show and diff: the variant that sets the engine-speed scale
};

// The engine speed at the last point: 12000 for the 2-cylinder variant,
// 17000 for the 4-cylinder one.
double maxRpmForCylinders(int cylinders);

// The subcommand's name as typed, or an empty text for None.
QString commandName(CliCommand command);

// The translation context of every text of the command line.
class CCli
{
    Q_DECLARE_TR_FUNCTIONS(CCli)

public:
    // Runs the whole program; returns its exit code. The core application
    // exists. arguments[0] is the program.
    static int run(const QStringList &arguments);

    // The messages' language: --lang when it is valid, else the locale of
    // the environment (LC_ALL, LC_MESSAGES, LANG, the first one set):
    // Italian when it starts with "it", else English.
    static QString languageFor(const QStringList &arguments);

    // Parses and checks the command line. On a usage error returns false
    // with the message in *error (in the installed language).
    static bool parse(const QStringList &arguments, CCliOptions *options, QString *error);

    static QString helpText(CliCommand command);
    static QString versionText();
};
