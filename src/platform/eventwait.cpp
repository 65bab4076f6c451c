#include "eventwait.h"

#include "clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

EventWait::EventWait(Clock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

void EventWait::until(const std::function<bool()>& done) {
    QEventLoop loop;
    QEventLoop* const outer = m_loop;
    m_loop = &loop;

    // Wake at the start of every whole second of the clock, the only moment a
    // time limit measured in whole seconds can change its answer.
    QTimer secondTimer;
    secondTimer.setSingleShot(true);
    secondTimer.setTimerType(Qt::PreciseTimer);
    const auto armSecondTimer = [&] {
        const int msecs = m_clock.msecsToNextSecond();
        if (msecs >= 0)
            secondTimer.start(msecs + 1);
    };
    connect(&secondTimer, &QTimer::timeout, &loop, [&] {
        armSecondTimer();
        loop.quit();
    });
    const auto advanced = connect(&m_clock, &Clock::advanced, &loop, &QEventLoop::quit);

    armSecondTimer();
    while (!done()) {
        // Once the application has been told to quit, every event loop of the
        // thread returns at once (with -1) until the outermost one has ended.
        // Sleep until the next event directly then, rather than spinning.
        if (loop.exec() < 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    disconnect(advanced);
    m_loop = outer;
}

void EventWait::wake() {
    if (m_loop)
        m_loop->quit();
}
