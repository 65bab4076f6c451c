#include "eventwait.h"

#include "clock.h"

EventWait::EventWait(Clock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_secondTimer(this) {
    m_secondTimer.setSingleShot(true);
    m_secondTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_secondTimer, &QTimer::timeout, this, [this] {
        if (m_waiting > 0)
            armSecondTimer();
    });
}

// The second timer runs for as long as any wait does, and is only set again
// when it fires.
void EventWait::begin() {
    ++m_waiting;
    if (!m_secondTimer.isActive())
        armSecondTimer();
}

// The start of every whole second of the clock is the only moment a time
// limit measured in whole seconds can change its answer. A manual clock has
// no such moment: its advance() runs as an event, which ends the pass anyway.
void EventWait::armSecondTimer() {
    const int msecs = m_clock.msecsToNextSecond();
    if (msecs >= 0)
        m_secondTimer.start(msecs + 1);
}
