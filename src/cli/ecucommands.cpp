#include "cli/ecucommands.h"

#include "cli/cli.h"
#include "cli/clioutput.h"
#include "cli/terminal.h"

// NOT BUILT YET: these four functions are where the command line meets the
// ECU session. Until the session and its command sequencer run without the
// window, each one says so and fails with exit code 1; everything before
// them (options, files, the port) is done and tested.

namespace {

int notAvailableYet(CEcuJob &job, const QString &command)
{
    return job.out.fail(CliExit::CommunicationFailure,
                        CCli::tr("%1: questa versione non comunica ancora con la centralina dalla "
                                 "riga di comando (porta scelta: %2); usare la finestra, "
                                 "ecu-vantor.")
                            .arg(command, job.port));
}

} // namespace

// NOT BUILT YET: probe.
int runProbe(CEcuJob &job)
{
    return notAvailableYet(job, QStringLiteral("probe"));
}

// NOT BUILT YET: read.
int runRead(CEcuJob &job)
{
    return notAvailableYet(job, QStringLiteral("read"));
}

// NOT BUILT YET: write.
int runWrite(CEcuJob &job, const ProfileData &profile)
{
    Q_UNUSED(profile)
    return notAvailableYet(job, QStringLiteral("write"));
}

// NOT BUILT YET: monitor.
int runMonitor(CEcuJob &job)
{
    return notAvailableYet(job, QStringLiteral("monitor"));
}
