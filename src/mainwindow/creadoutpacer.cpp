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
    m_timer.setInterval(IntervalMs);
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

void CReadoutPacer::schedule()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void CReadoutPacer::reset()
{
    m_timer.stop();
    m_rpm = m_level = 0;
    flush();
}

void CReadoutPacer::flush()
{
    // Each readout repaints only when what it shows changes (the dial
    // checks for itself, within its range).
    if (m_lcd->intValue() != m_rpm)
        m_lcd->display(m_rpm);
    m_gauge->setValue(m_rpm);
    const QString level = QString::number(m_level);
    if (m_probe->text() != level)
        m_probe->setText(level);
    // The marker's label shows the same speed as the readouts.
    m_cell->setSample(m_rpm, m_index, m_value);
    ++m_updates;
}
