#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class Clock;

// Blocks the window thread until a condition holds, handling window events
// meanwhile. The condition is checked again after every event the wait
// handles (serial input, a timer, a click, an advance of a manual clock) and
// at the start of each whole second of the clock. Nothing spins: between
// events the thread sleeps in the event dispatcher, so window events, timers
// and serial input keep running. Window thread only.
class EventWait : public QObject {
    Q_OBJECT
public:
    explicit EventWait(Clock& clock, QObject* parent = nullptr);
    // Returns once done() is true; done() is checked first, before any wait.
    void until(const std::function<bool()>& done);

private:
    void armSecondTimer();

    Clock& m_clock;
    QTimer m_secondTimer;
    int m_waiting = 0; // until() calls running, nested ones included
};
