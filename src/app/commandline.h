#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class QTranslator;
class QWidget;

// The program's command line:
//   -h, --help          the options, in the language of this run
//   -v, --version       "ECU Vantor 2.0.0.1"
//   --lang it|en        the interface language of this run; the setting stays
//   --port NAME         at start-up, probe that port; when the ECU answers,
//                       go on as a port search that found it
//   --profiles DIR      the folder the profile file dialogs start in
// An unknown option, a missing or bad value or a stray argument is an error:
// a clear message on standard error and exit code 2.
//
// The arguments are read before the application object exists, so that
// --help and --version work without a display; the options the GUI toolkit
// takes itself (-platform, -style, ...) are left to it.
class CCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CCommandLine)

public:
    enum class Action { Run, Help, Version, Error };

    // arguments[0] is the program.
    explicit CCommandLine(const QStringList &arguments);

    static QStringList argumentsOf(int argc, char **argv);

    Action action() const { return m_action; }
    int exitCode() const { return m_action == Action::Error ? 2 : 0; }
    QString language() const { return m_language; } // "it", "en", or empty: the setting decides
    QString port() const { return m_port; }
    QString profiles() const { return m_profiles; } // absolute, or empty

    // Texts in the language of the installed translators.
    QString helpText() const;
    QString errorText() const;
    static QString versionText();

    // Help, version or error: prints the text to standard output (standard
    // error for an error) in the language that --lang or the setting picks,
    // and returns the exit code. Creates the core application it needs.
    int report(int &argc, char **argv) const;

    // Before the main window is built: --lang reloads the start-up
    // translator, --profiles sets the folder of the profile dialogs.
    void applyBeforeWindow(QTranslator &startupTranslator) const;
    // Once the main window is shown: the language menu shows --lang, and
    // --port starts the probe of that port.
    void applyToWindow(QWidget *mainWindow) const;

private:
    enum class Fault {
        None, UnknownOption, MissingValue, BadLanguage, BadPort, BadProfiles, StrayArgument, Other
    };

    QString programName() const;
    QString catalogue() const;

    Action m_action = Action::Run;
    Fault m_fault = Fault::None;
    QString m_faultDetail;
    QString m_program;
    QString m_language;
    QString m_port;
    QString m_profiles;
};
