#include "cli/ecuprobe.h"

#include "comm/ceculink.h"
#include "comm/frames.h"
#include "portsearch/hidprobe.h"
#include "portsearch/probe.h"

using EcuSearch::HidAttempts;
using EcuSearch::ReplyTimeoutMs;
using EcuSearch::SettleMs;

CEcuProbe::CEcuProbe(CEcuLink *link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(ReplyTimeoutMs);
    m_timeout.setTimerType(Qt::PreciseTimer); // the 500 ms hold, not up to 525
    connect(&m_settle, &QTimer::timeout, this, &CEcuProbe::sendProbe);
    connect(&m_timeout, &QTimer::timeout, this, [this] { finish(Result::NoAnswer); });
    connect(m_link, &CEcuLink::searchAnswersWaiting, this, &CEcuProbe::takeAnswers);
    connect(m_link, &CEcuLink::hidProbed, this, &CEcuProbe::onHidProbe);
}

CEcuProbe::~CEcuProbe()
{
    abort();
}

void CEcuProbe::start(const QString &port)
{
    m_result = Result::Running;
    m_info = CDevInfo();
    m_reported = false;
    m_waiting = false;
    m_hid = port == QLatin1String(EcuSearch::HidPortName);
    if (m_hid) {
        if (!m_link->hasHid()) {
            finish(Result::NoHidDevice);
            return;
        }
        m_link->probeHid(HidAttempts);
        return;
    }
    // The port opens with its input cleared, and the line is given a moment
    // to fall quiet before the probe goes out.
    if (!m_link->openPort(port)) {
        finish(Result::NotOpened);
        return;
    }
    m_settle.start();
}

void CEcuProbe::abort()
{
    if (!isRunning())
        return;
    if (m_hid)
        m_link->abortHidProbe();
    m_settle.stop();
    m_timeout.stop();
    m_waiting = false;
    m_result = Result::NoAnswer;
    if (!m_hid)
        m_link->closePort();
}

void CEcuProbe::sendProbe()
{
    if (!isRunning())
        return;
    // Armed before the frame goes out, so that an answer handed back while
    // it is being written is not missed.
    m_waiting = true;
    m_timeout.start();
    m_link->post(buildInfoFrame());
}

void CEcuProbe::takeAnswers()
{
    // Taken also while the line settles, so that nothing from before the
    // probe is mistaken for its answer.
    const QList<QByteArray> answers = m_link->takeSearchAnswers();
    if (!isRunning() || m_hid || !m_waiting || answers.isEmpty())
        return;
    // The first answer decides, as in the port search.
    finish(isProbeFound(answers.first()) ? Result::Found : Result::WrongAnswer);
}

void CEcuProbe::onHidProbe(const QByteArray &report)
{
    if (!isRunning() || !m_hid)
        return;
    CDevInfo info;
    if (report.size() >= FrameSize
        && parseHidProbeAnswer(reinterpret_cast<const unsigned char *>(report.constData()),
                               report.size(), info)) {
        m_info = info;
        m_reported = true;
        finish(Result::Found);
        return;
    }
    finish(Result::NoAnswer);
}

void CEcuProbe::finish(Result result)
{
    m_settle.stop();
    m_timeout.stop();
    m_waiting = false;
    m_result = result;
    // A serial port where the ECU did not answer is not kept open.
    if (result != Result::Found && !m_hid)
        m_link->closePort();
    emit finished();
}
