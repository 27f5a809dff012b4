#include "creadingsrelay.h"

#include "cgestrt.h"
#include "workerlock.h"

CReadingsRelay::CReadingsRelay(CGestRT *worker, QObject *parent)
    : QObject(parent), m_worker(worker)
{
    qRegisterMetaType<CLiveSample>();
    m_clock.start();
    m_timer.setInterval(DeliveryMs);
    connect(&m_timer, &QTimer::timeout, this, &CReadingsRelay::deliver);

    connect(worker, &CGestRT::sgnRpm, this, [this](int rpm) {
        m_gathering = CLiveSample();
        m_gathering.ms = m_clock.elapsed();
        m_gathering.rpm = rpm;
    }, Qt::DirectConnection);
    connect(worker, &CGestRT::sgnADC, this, [this](uchar adc) { m_gathering.adc = adc; },
            Qt::DirectConnection);
    connect(worker, &CGestRT::sgnIdxCella, this,
            [this](uchar index) { m_gathering.cellIndex = index; }, Qt::DirectConnection);
    // The worker adds first and then asks whether the timer runs; the
    // window's thread stops the timer first and then hands over: no reading
    // is left behind.
    connect(worker, &CGestRT::sgnValCella, this, [this](uchar value) {
        m_gathering.cellValue = static_cast<qint8>(value);
        // Values published after the link was switched off are its zeros.
        const Reading reading{m_gathering, m_worker->linkOn()};
        bool first = false;
        {
            WorkerLock lock(&m_mutex);
            first = m_waiting.isEmpty();
            m_waiting.append(reading);
        }
        if (first && !m_paced)
            QMetaObject::invokeMethod(this, &CReadingsRelay::deliver, Qt::QueuedConnection);
    }, Qt::DirectConnection);
}

void CReadingsRelay::follow(bool polling, bool connected)
{
    m_connected = connected;
    if (polling == m_paced)
        return;
    m_paced = polling;
    if (polling) {
        m_timer.start();
    } else {
        m_timer.stop();
        deliver();
    }
}

void CReadingsRelay::deliver()
{
    QVector<Reading> readings;
    {
        WorkerLock lock(&m_mutex);
        readings.swap(m_waiting);
    }
    for (const Reading &r : qAsConst(readings)) {
        emit readingsPublished(r.sample.rpm, static_cast<uchar>(r.sample.adc));
        if (r.live && m_connected)
            emit liveSample(r.sample);
    }
}
