#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

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
    // Each pass hands the thread to the event dispatcher until it has handled
    // at least one event, and returns right after it: a wake-up costs no more
    // than the event itself, with no nested QEventLoop to quit and no timer
    // set and killed per wait. A template, so that a read's condition is
    // called directly, with nothing made on the heap for it.
    template <typename Done> void until(Done&& done) {
        if (done())
            return;
        begin();
        do
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        while (!done());
        --m_waiting;
    }

private:
    void begin();
    void armSecondTimer();

    Clock& m_clock;
    QTimer m_secondTimer;
    int m_waiting = 0; // until() calls running, nested ones included
};
