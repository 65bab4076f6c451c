#pragma once

#include "model/eventpump.h"

class Clock;

// The model's event pump over the Qt event loop and the program's clock.
class QtEventPump : public EventPump {
public:
    explicit QtEventPump(Clock& clock);
    std::int64_t WholeSeconds() override;
    void ProcessPendingEvents() override;
    void WaitUntilSecond(std::int64_t second) override;

private:
    Clock& m_clock;
};
