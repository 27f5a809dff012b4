#include "creadoutpacer.h"

#include "gauge/crpmgauge.h"
#include "profile/plotoverlays.h"

#include <QLCDNumber>
#include <QLabel>

CReadoutPacer::CReadoutPacer(QLCDNumber *lcd, CRpmGauge *gauge, QLabel *probe,
                             CLiveCellMarker *cell, QObject *parent)
    : QObject(parent), m_lcd(lcd), m_gauge(gauge), m_probe(probe), m_cell(cell)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &CReadoutPacer::flush);
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
    if (m_rpm != m_shownRpm || m_lcd->intValue() != m_rpm) {
        m_lcd->display(m_rpm);
        m_shownRpm = m_rpm;
    }
    // The dial clamps to its range, which a variant change may have moved.
    if (m_gauge->value() != qBound(m_gauge->minimum(), m_rpm, m_gauge->maximum()))
        m_gauge->setValue(m_rpm);
    if (m_level != m_shownLevel || m_probe->text() != QString::number(m_level)) {
        m_probe->setText(QString::number(m_level));
        m_shownLevel = m_level;
    }
    // The marker's label shows the same speed as the readouts.
    m_cell->setSample(m_rpm, m_index, m_value);
    ++m_updates;
}
