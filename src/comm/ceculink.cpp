#include "ceculink.h"

#include "chidtransport.h"
#include "cserialtransport.h"

CEcuLink::CEcuLink(const CHidSource &hid, QObject *parent)
    : QObject(parent)
{
    if (hid.open) {
        m_hid = new CHidTransport(hid.open, hid.portName, &m_rules, this);
        if (m_hid->isOpen()) {
            hook(m_hid);
            connect(m_hid, &CHidTransport::sgnProbe, this, &CEcuLink::hidProbed);
        } else {
            delete m_hid; // no device attached: its thread ends
            m_hid = nullptr;
        }
    }
}

CEcuLink::~CEcuLink()
{
    {
        WorkerLock lock(&m_mutex);
        m_current = nullptr;
        m_handler = nullptr;
    }
    closeSerial();
    delete m_hid; // its thread closes the device; its read is bounded
    m_hid = nullptr;
    hid_exit();
}

void CEcuLink::setAnswerHandler(AnswerHandler handler)
{
    WorkerLock lock(&m_mutex);
    m_handler = std::move(handler);
}

// Every transport hands its answers to the link, and its loss, on the
// window's thread, with the number it was given: a report of a transport
// the link no longer uses is ignored.
void CEcuLink::hook(CEcuTransport *transport)
{
    const quint64 id = ++m_lastId;
    if (transport == m_serial)
        m_serialId = id;
    else
        m_hidId = id;
    transport->setAnswerHandler([this](const QByteArray &frame) { dispatch(frame); });
    connect(transport, &CEcuTransport::gone, this, [this, id] {
        bool ours = false;
        {
            WorkerLock lock(&m_mutex);
            ours = !m_forSearch && id == m_currentId;
        }
        if (ours)
            emit portGone();
    }, Qt::QueuedConnection);
}

// The handler runs under the lock, so that once it has been withdrawn no
// answer reaches what it served.
void CEcuLink::dispatch(const QByteArray &frame)
{
    bool first = false;
    bool forSearch = false;
    {
        WorkerLock lock(&m_mutex);
        if (m_handler)
            m_handler(frame);
        forSearch = m_forSearch;
        if (forSearch) {
            first = m_searchAnswers.isEmpty();
            m_searchAnswers.append(frame);
        }
    }
    if (forSearch && first)
        QMetaObject::invokeMethod(this, &CEcuLink::searchAnswersWaiting, Qt::QueuedConnection);
}

bool CEcuLink::hasHid() const
{
    return m_hid != nullptr;
}

void CEcuLink::probeHid(int attempts)
{
    if (m_hid)
        m_hid->probe(attempts);
}

void CEcuLink::abortHidProbe()
{
    if (m_hid && m_connected.isEmpty())
        m_hid->abort();
}

void CEcuLink::use(CEcuTransport *transport, bool forSearch)
{
    quint64 id = 0;
    if (transport == m_serial)
        id = m_serialId;
    else if (transport)
        id = m_hidId;
    WorkerLock lock(&m_mutex);
    m_current = transport;
    m_currentId = id;
    m_forSearch = forSearch;
    m_searchAnswers.clear();
}

bool CEcuLink::openPort(const QString &name)
{
    if (!m_connected.isEmpty())
        return false;
    closeSerial();
    m_serial = new CSerialTransport(name, &m_rules, this);
    hook(m_serial);
    use(m_serial, true);
    return m_serial->isOpen();
}

void CEcuLink::closePort()
{
    if (!m_connected.isEmpty())
        return;
    use(nullptr, true);
    closeSerial();
}

// The serial transport goes once no worker is inside a write through it.
void CEcuLink::closeSerial()
{
    if (!m_serial)
        return;
    CSerialTransport *gone = m_serial;
    m_serial = nullptr;
    m_serialId = 0;
    gone->abort();
    {
        WorkerLock lock(&m_mutex);
        if (m_current == gone) {
            m_current = nullptr;
            m_currentId = 0;
        }
        while (m_writers > 0)
            lock.wait(&m_unused, -1);
    }
    delete gone; // the port closes on its own thread
}

void CEcuLink::post(const QByteArray &frame)
{
    WorkerLock lock(&m_mutex);
    if (m_current)
        m_current->post(frame);
}

QList<QByteArray> CEcuLink::takeSearchAnswers()
{
    WorkerLock lock(&m_mutex);
    QList<QByteArray> answers;
    answers.swap(m_searchAnswers);
    return answers;
}

void CEcuLink::connectTo(const QString &name)
{
    m_rules.reset();
    CEcuTransport *transport = nullptr;
    if (m_hid && name == m_hid->portName()) {
        closeSerial();
        transport = m_hid;
    } else {
        if (!m_serial || m_serial->portName() != name) {
            closeSerial();
            m_serial = new CSerialTransport(name, &m_rules, this);
            hook(m_serial);
        }
        transport = m_serial;
    }
    m_connected = name;
    transport->rearm();
    use(transport, false);
}

void CEcuLink::endConnection()
{
    m_connected.clear();
    if (m_hid) {
        m_hid->setWatching(false);
        m_hid->abort();
    }
    use(nullptr, true);
    closeSerial();
}

QString CEcuLink::portName() const
{
    return m_connected;
}

void CEcuLink::setWatching(bool watch)
{
    WorkerLock lock(&m_mutex);
    if (m_current && !m_forSearch)
        m_current->setWatching(watch);
}

void CEcuLink::postRequest(const QByteArray &frame, Written written)
{
    CEcuTransport *transport = nullptr;
    {
        WorkerLock lock(&m_mutex);
        // Nothing a worker sends outside a connection reaches the line.
        if (!m_forSearch && m_current) {
            transport = m_current;
            ++m_writers;
        }
    }
    if (!transport) {
        tellWritten(written, false);
        return;
    }
    transport->post(frame, [this, written](bool ok) { tellWritten(written, ok); });
    WorkerLock lock(&m_mutex);
    if (--m_writers == 0)
        m_unused.wakeAll();
}

// The worker is told under the lock, so that once the workers are detached
// nothing reaches them.
void CEcuLink::tellWritten(const Written &written, bool ok)
{
    WorkerLock lock(&m_mutex);
    if (written && m_handler)
        written(ok);
}
