#include "cli/terminal.h"

#include "cli/clioutput.h"

#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <fcntl.h>
#include <io.h>
#endif

bool isTerminal(FILE *stream)
{
#if defined(Q_OS_UNIX)
    return isatty(fileno(stream)) == 1;
#elif defined(Q_OS_WIN)
    return _isatty(_fileno(stream)) != 0;
#else
    Q_UNUSED(stream)
    return false;
#endif
}

// ---- progress bar

CProgressBar::CProgressBar()
    : CProgressBar(standardErrorIsTerminal())
{
}

CProgressBar::CProgressBar(bool shown)
    : m_shown(shown)
{
}

CProgressBar::~CProgressBar()
{
    clear();
}

bool CProgressBar::standardErrorIsTerminal()
{
    return isTerminal(stderr);
}

QString CProgressBar::render(const QString &label, int percent, int width)
{
    const int p = qBound(0, percent, 100);
    const int filled = p * width / 100;
    return label + QStringLiteral(" [") + QString(filled, QLatin1Char('#'))
           + QString(width - filled, QLatin1Char('.')) + QStringLiteral("] ")
           + QStringLiteral("%1%").arg(p, 3);
}

void CProgressBar::start(const QString &label)
{
    m_label = label;
    m_percent = 0;
    draw();
}

void CProgressBar::setPercent(int percent)
{
    const int p = qBound(0, percent, 100);
    if (p == m_percent && m_drawn)
        return;
    m_percent = p;
    draw();
}

void CProgressBar::draw()
{
    if (!m_shown)
        return;
    const QString text = render(m_label, m_percent);
    // Spaces over what a longer line drew before.
    const int pad = qMax(0, m_drawnLength - text.size());
    CCliOutput::print(stderr, QLatin1Char('\r') + text + QString(pad, QLatin1Char(' ')));
    m_drawnLength = text.size();
    m_drawn = true;
}

void CProgressBar::clear()
{
    if (!m_shown || !m_drawn)
        return;
    CCliOutput::print(stderr, QLatin1Char('\r') + QString(m_drawnLength, QLatin1Char(' '))
                                  + QLatin1Char('\r'));
    m_drawn = false;
    m_drawnLength = 0;
}

// ---- Ctrl+C

namespace {

#if defined(Q_OS_UNIX)
// The self-pipe: the handler writes, the event loop reads.
int wakePipe[2] = {-1, -1};
struct sigaction previousInt;
struct sigaction previousTerm;

extern "C" void onStopSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    if (write(wakePipe[1], &byte, 1) < 0) {
        // The pipe is full: a byte already waits, which is enough.
    }
    errno = saved;
}

bool makePipe()
{
    if (pipe(wakePipe) != 0)
        return false;
    for (int fd : wakePipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    return true;
}
#else
volatile std::sig_atomic_t signalled = 0;
void (*previousInt)(int) = SIG_DFL;
void (*previousTerm)(int) = SIG_DFL;

extern "C" void onStopSignal(int)
{
    signalled = 1;
}
#endif

} // namespace

CInterruptWatcher::CInterruptWatcher(QObject *parent)
    : QObject(parent)
{
#if defined(Q_OS_UNIX)
    if (!makePipe()) {
        wakePipe[0] = wakePipe[1] = -1;
        return; // Ctrl+C then ends the program as it always does
    }
    m_notifier = new QSocketNotifier(wakePipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (read(wakePipe[0], bytes, sizeof bytes) > 0) {
        }
        take();
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Back to the default after the first signal: a second Ctrl+C ends the
    // program even when it does not stop.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &previousInt);
    sigaction(SIGTERM, &action, &previousTerm);
#else
    signalled = 0;
    previousInt = std::signal(SIGINT, onStopSignal);
    previousTerm = std::signal(SIGTERM, onStopSignal);
    m_poll = new QTimer(this);
    m_poll->setInterval(50);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (signalled)
            take();
    });
    m_poll->start();
#endif
}

CInterruptWatcher::~CInterruptWatcher()
{
#if defined(Q_OS_UNIX)
    if (wakePipe[0] < 0)
        return;
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
    delete m_notifier;
    close(wakePipe[0]);
    close(wakePipe[1]);
    wakePipe[0] = wakePipe[1] = -1;
#else
    std::signal(SIGINT, previousInt);
    std::signal(SIGTERM, previousTerm);
#endif
}

void CInterruptWatcher::take()
{
    if (m_interrupted)
        return;
    m_interrupted = true;
    if (m_poll)
        m_poll->stop();
    emit interrupted();
}
