#pragma once

#include <cstdint>

// What a wait needs from the window system: the wall clock read to the whole
// second, and a way to let pending window events run. The platform layer
// implements it over the Qt event loop; tests implement it with a manual clock.
class EventPump {
public:
    virtual ~EventPump() = default;
    // Seconds since the epoch, fractions dropped.
    virtual std::int64_t WholeSeconds() = 0;
    // Runs the events that are pending now, then returns.
    virtual void ProcessPendingEvents() = 0;
    // Blocks, running window events, until WholeSeconds() >= second.
    // Never spins: an idle wait uses no processor time.
    virtual void WaitUntilSecond(std::int64_t second) = 0;
};
