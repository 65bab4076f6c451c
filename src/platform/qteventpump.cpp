#include "qteventpump.h"

#include "clock.h"
#include "eventwait.h"

#include <QCoreApplication>

QtEventPump::QtEventPump(Clock& clock) : m_clock(clock) {}

std::int64_t QtEventPump::WholeSeconds() {
    return m_clock.wholeSeconds();
}

void QtEventPump::ProcessPendingEvents() {
    QCoreApplication::processEvents();
}

void QtEventPump::WaitUntilSecond(std::int64_t second) {
    EventWait wait(m_clock);
    wait.until([&] { return m_clock.wholeSeconds() >= second; });
}
