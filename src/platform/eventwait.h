#pragma once

#include <QObject>
#include <functional>

class Clock;
class QEventLoop;

// Blocks the window thread in a nested event loop until a condition holds.
// The condition is checked again on every wake-up: the start of each whole
// second of the clock, an advance of a manual clock, and wake(). Nothing
// spins: between wake-ups the thread sleeps in the event loop, so window
// events, timers and serial input keep running. Window thread only.
class EventWait : public QObject {
    Q_OBJECT
public:
    explicit EventWait(Clock& clock, QObject* parent = nullptr);
    // Returns once done() is true; done() is checked first, before any wait.
    void until(const std::function<bool()>& done);
    // Makes the innermost running until() re-check its condition.
    void wake();

private:
    Clock& m_clock;
    QEventLoop* m_loop = nullptr;
};
