#pragma once

#include "platform/clock.h"

#include <QTimer>
#include <functional>

// Moves a manual clock on by one second every few milliseconds, so that waits
// of whole seconds take no real time. With a condition, the clock moves only
// while it holds (for example: no read is waiting for its reply, so that a
// slow reply is never taken for a silent machine).
class ClockDriver {
public:
    // For a port probe, which gives up on a port once the clock has moved.
    static constexpr int kProbeIntervalMsecs = 300;

    explicit ClockDriver(ManualClock& clock, int intervalMsecs = 5) : m_clock(clock) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (!m_mayAdvance || m_mayAdvance())
                m_clock.advance(1);
        });
        m_timer.start(intervalMsecs);
    }
    void setCondition(std::function<bool()> mayAdvance) { m_mayAdvance = std::move(mayAdvance); }

private:
    ManualClock& m_clock;
    QTimer m_timer;
    std::function<bool()> m_mayAdvance;
};
