#pragma once

#include <cstdint>

class EventPump;
class Interface;

// Measures the load cell's zero offset: ten good readings, one after each
// one-second wait, averaged as counts from mid-scale. Window events run during
// the waits and reads, so abort() may be called from inside run(). Window
// thread.
class ZeroMeasurement {
public:
    enum class Outcome {
        Measured, // offset() holds the new offset
        NoAnswer, // no good reading for kNoAnswerLimitSeconds
        Aborted,  // abort() was called
    };

    // Without a good reading for this long the machine is taken to be silent.
    static constexpr std::int64_t kNoAnswerLimitSeconds = 30;
    static constexpr int kReadingCount = 10;
    static constexpr std::int32_t kLoadZeroCounts = 32768;

    ZeroMeasurement(Interface& device, EventPump& pump);

    // Blocks, letting window events run, until the measurement ends.
    Outcome run();
    // Ends a running measurement without a result at its next step.
    void abort();
    bool running() const { return m_running; }
    std::int32_t offset() const { return m_offset; }

    // The mean of ten readings' differences from mid-scale, rounded to whole
    // counts with halves to the even neighbour.
    static std::int32_t OffsetFromSum(std::int32_t sum);

private:
    bool TimeLeftForAnotherTry(std::int64_t sinceSecond);

    Interface& m_device;
    EventPump& m_pump;
    bool m_running = false;
    bool m_abortRequested = false;
    std::int32_t m_offset = 0;
};
