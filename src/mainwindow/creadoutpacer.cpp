#include "creadoutpacer.h"

#include "gauge/crpmgauge.h"
#include "profile/plotoverlays.h"

#include <QEvent>
#include <QLCDNumber>
#include <QLabel>

CReadoutPacer::CReadoutPacer(QLCDNumber *lcd, CRpmGauge *gauge, QLabel *probe,
                             CLiveCellMarker *cell, QObject *parent)
    : QObject(parent), m_lcd(lcd), m_gauge(gauge), m_probe(probe), m_cell(cell)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CReadoutPacer::flush);
    // The LCD fills its own background, so a new reading repaints the LCD
    // alone and not the frames and labels behind it. The style sheet's
    // polish turns the fill off again: it is turned back on after each.
    m_lcd->setAutoFillBackground(true);
    m_lcd->installEventFilter(this);
}

bool CReadoutPacer::eventFilter(QObject *watched, QEvent *event)
{
    // The style's polish runs after this filter has seen the event: the fill
    // is turned on again once it is over.
    if (watched == m_lcd && (event->type() == QEvent::Polish || event->type() == QEvent::StyleChange))
        QMetaObject::invokeMethod(
            this, [this] { m_lcd->setAutoFillBackground(true); }, Qt::QueuedConnection);
    return QObject::eventFilter(watched, event);
}

void CReadoutPacer::setRpm(int rpm)
{
    m_rpm = rpm;
    schedule();
}

void CReadoutPacer::setProbe(int level)
{
    m_level = level;
    schedule();
}

void CReadoutPacer::setCell(int index, int ecuValue)
{
    m_index = index;
    m_value = ecuValue;
    schedule();
}

// A sample is shown once the rest of it (or of the samples handed over
// together) is in: at the end of this pass of the event loop when the needle
// last moved long enough ago, else when it will have.
void CReadoutPacer::schedule()
{
    m_numbersPending = true;
    const qint64 since = m_sinceFlush.isValid() ? m_sinceFlush.elapsed() : IntervalMs;
    const int wait = int(qBound<qint64>(0, IntervalMs - since, IntervalMs));
    if (!m_timer.isActive() || m_timer.remainingTime() > wait)
        m_timer.start(wait);
}

void CReadoutPacer::reset()
{
    m_timer.stop();
    m_rpm = m_level = 0;
    m_gauge->setValue(0);
    showNumbers();
}

void CReadoutPacer::flush()
{
    // The dial repaints only when its needle moves.
    m_gauge->setValue(m_rpm);
    m_sinceFlush.start();
    // The numbers change when their time has come (a little early rather
    // than a sample late); until then a sample that is not followed by
    // another is still shown, a little after their time.
    const qint64 since =
        m_sinceNumbers.isValid() ? m_sinceNumbers.elapsed() : qint64(NumbersIntervalMs);
    if (since >= NumbersIntervalMs - IntervalMs / 4)
        showNumbers();
    else if (m_numbersPending)
        m_timer.start(int(NumbersIntervalMs - since + IntervalMs));
}

void CReadoutPacer::showNumbers()
{
    // Each repaints only when what it shows changes.
    if (m_lcd->intValue() != m_rpm)
        m_lcd->display(m_rpm);
    const QString level = QString::number(m_level);
    if (m_probe->text() != level)
        m_probe->setText(level);
    // The marker's label shows the same speed as the LCD.
    m_cell->setSample(m_rpm, m_index, m_value);
    m_numbersPending = false;
    m_sinceNumbers.start();
    ++m_updates;
}
