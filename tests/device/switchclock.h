#pragma once

#include "platform/clock.h"

// A clock that reads whichever clock it was last pointed at: a test probes on
// a manual clock, taking no real time, then reads on the real clock.
class SwitchClock : public Clock {
    Q_OBJECT
public:
    explicit SwitchClock(Clock& first) { use(first); }
    void use(Clock& clock) {
        disconnect(m_forward);
        m_current = &clock;
        m_forward = connect(&clock, &Clock::advanced, this, &Clock::advanced);
    }
    qint64 wholeSeconds() const override { return m_current->wholeSeconds(); }
    qint64 steadySeconds() const override { return m_current->steadySeconds(); }
    int msecsToNextSecond() const override { return m_current->msecsToNextSecond(); }

private:
    Clock* m_current = nullptr;
    QMetaObject::Connection m_forward;
};
