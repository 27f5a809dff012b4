#include "comm/datalogrecorder.h"

#include "comm/datalog.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace {

// Room for several seconds of rows at the link's fastest rate; the buffer
// keeps it between writes.
constexpr int kBufferRoom = 16 * 1024;

} // namespace

CDataLogRecorder::CDataLogRecorder(QObject *parent, int flushMs)
    : QObject(parent)
    , m_flushTimer(this)
{
    // Precise: a coarse timer may fire 5 % late, past the promised second.
    m_flushTimer.setTimerType(Qt::PreciseTimer);
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(flushMs);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] {
        if (!writeOut())
            fail(tr("Impossibile scrivere il file %1: %2. La registrazione è stata interrotta.")
                     .arg(QDir::toNativeSeparators(m_path), m_file.errorString()));
    });
}

CDataLogRecorder::~CDataLogRecorder()
{
    // What is left goes out; nobody hears of a failure any more.
    if (isRecording())
        writeOut();
}

bool CDataLogRecorder::start(const QString &profileFolder, const CDevInfo &info, int k, bool bench)
{
    if (isRecording())
        return true;
    setK(k);
    setBench(bench);

    const QDir dir(dataLogFolder(profileFolder));
    if (!dir.mkpath(QStringLiteral("."))) {
        emit error(tr("Impossibile creare la cartella %1.")
                       .arg(QDir::toNativeSeparators(dir.absolutePath())));
        return false;
    }
    // NewOnly: the system refuses a name that exists, so no file is ever
    // replaced, not even one made at the same moment by another program.
    const QString stem = devInfoFileStem(QDateTime::currentDateTime(), info);
    QString path = dir.absoluteFilePath(stem + QStringLiteral(".csv"));
    m_file.setFileName(path);
    for (int n = 2; !m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
         ++n) {
        if (!QFileInfo::exists(path) || n > 999) {
            m_fileError = m_file.errorString();
            emit error(tr("Impossibile creare il file %1: %2")
                           .arg(QDir::toNativeSeparators(path), m_fileError));
            return false;
        }
        path = dir.absoluteFilePath(QStringLiteral("%1_%2.csv").arg(stem).arg(n));
        m_file.setFileName(path);
    }
    return begin(path);
}

bool CDataLogRecorder::startFile(const QString &path, int k, bool bench)
{
    if (isRecording())
        return true;
    setK(k);
    setBench(bench);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        m_fileError = m_file.errorString();
        emit error(tr("Impossibile creare il file %1: %2")
                       .arg(QDir::toNativeSeparators(path), m_fileError));
        return false;
    }
    return begin(path);
}

// The file is open: the recording starts with the header.
bool CDataLogRecorder::begin(const QString &path)
{
    m_path = path;
    m_rows = 0;
    m_skipped = 0;
    m_origin = -1;
    m_lastTime = 0;
    m_buffer.reserve(kBufferRoom);
    m_buffer.append(kDataLogHeader);
    // The header goes out at once: a file that cannot be written fails here.
    if (!writeOut()) {
        m_fileError = m_file.errorString();
        m_file.close();
        m_buffer.resize(0);
        emit error(tr("Impossibile creare il file %1: %2")
                       .arg(QDir::toNativeSeparators(path), m_fileError));
        return false;
    }
    m_clock.start();
    emit recordingChanged(true);
    return true;
}

void CDataLogRecorder::stop()
{
    if (!isRecording())
        return;
    if (!writeOut()) {
        fail(tr("Impossibile scrivere il file %1: %2. La registrazione è stata interrotta.")
                 .arg(QDir::toNativeSeparators(m_path), m_file.errorString()));
        return;
    }
    m_file.close();
    emit recordingChanged(false);
}

void CDataLogRecorder::addSample(const CLiveSample &sample)
{
    if (!isRecording())
        return;
    if (m_origin < 0)
        m_origin = sample.ms;
    // The session's clock is monotonic; should a sample still come from
    // before the last one, it takes the last time, so the file stays
    // readable.
    const qint64 time = qMax(sample.ms - m_origin, m_lastTime);
    if (!isDataLogRowValid(time, sample, m_k)) {
        ++m_skipped;
        return;
    }
    const bool wasEmpty = m_buffer.isEmpty();
    appendDataLogRow(&m_buffer, time, sample, m_k, m_bench);
    m_lastTime = time;
    ++m_rows;
    if (wasEmpty)
        m_flushTimer.start();
}

void CDataLogRecorder::setK(int k)
{
    m_k = qBound(1, k, 4);
}

void CDataLogRecorder::setBench(bool on)
{
    m_bench = on;
}

// Writes the buffer to the file (unbuffered: straight to the system).
bool CDataLogRecorder::writeOut()
{
    m_flushTimer.stop();
    if (m_buffer.isEmpty())
        return true;
    const qint64 written = m_file.write(m_buffer);
    const bool ok = written == m_buffer.size();
    m_buffer.resize(0); // keeps its room (reserved)
    return ok;
}

void CDataLogRecorder::fail(const QString &message)
{
    m_fileError = m_file.errorString();
    m_file.close();
    m_buffer.resize(0);
    emit recordingChanged(false);
    emit error(message);
}
