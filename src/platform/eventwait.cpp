#include "eventwait.h"

#include "clock.h"

#include <QCoreApplication>
#include <QEventLoop>

EventWait::EventWait(Clock& clock, QObject* parent)
    : QObject(parent), m_clock(clock), m_secondTimer(this) {
    m_secondTimer.setSingleShot(true);
    m_secondTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_secondTimer, &QTimer::timeout, this, [this] {
        if (m_waiting > 0)
            armSecondTimer();
    });
}

// Each pass hands the thread to the event dispatcher until it has handled at
// least one event, and returns right after it. A wake-up therefore costs no
// more than the event itself: no nested QEventLoop to quit, no interrupt of
// the dispatcher, no timer set and killed per wait. The second timer runs for
// as long as any wait does, and is only set again when it fires.
void EventWait::until(const std::function<bool()>& done) {
    if (done())
        return;
    ++m_waiting;
    if (!m_secondTimer.isActive())
        armSecondTimer();
    do
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    while (!done());
    --m_waiting;
}

// The start of every whole second of the clock is the only moment a time
// limit measured in whole seconds can change its answer. A manual clock has
// no such moment: its advance() runs as an event, which ends the pass anyway.
void EventWait::armSecondTimer() {
    const int msecs = m_clock.msecsToNextSecond();
    if (msecs >= 0)
        m_secondTimer.start(msecs + 1);
}
