#pragma once

#include <cstdint>

class EventPump;
class Interface;

// Measures the load cell's zero offset: ten good readings, one after each
// one-second wait, averaged as counts from mid-scale, and only when they
// show a load that stands still. Window events run during
// the waits and reads, so abort() may be called from inside run(). Window
// thread.
class ZeroMeasurement {
public:
    enum class Outcome {
        Measured, // offset() holds the new offset
        Unsteady, // the readings spread over more than kSteadySpreadCounts:
                  // given as soon as they do
        NoAnswer, // no good reading for kNoAnswerLimitSeconds
        Aborted,  // abort() was called
    };

    // Without a good reading for this long the machine is taken to be silent.
    static constexpr std::int64_t kNoAnswerLimitSeconds = 30;
    static constexpr int kReadingCount = 10;
    static constexpr std::int32_t kLoadZeroCounts = 32768;
    // The most the ten readings of a settled, unloaded load cell may spread
    // (highest less lowest): four times the 4 counts that the readings of a
    // machine at rest were seen to spread, so noise passes and any load that
    // moves does not. A load being applied moves by hundreds of counts a
    // second.
    static constexpr std::int32_t kSteadySpreadCounts = 16;

    ZeroMeasurement(Interface& device, EventPump& pump);

    // Blocks, letting window events run, until the measurement ends.
    Outcome run();
    // Ends a running measurement without a result at its next step.
    void abort();
    bool running() const { return m_running; }
    std::int32_t offset() const { return m_offset; }
    // Highest less lowest of the readings taken, in counts.
    std::int32_t spread() const { return m_spread; }

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
    std::int32_t m_spread = 0;
};
