#include "calibration/zeromeasurement.h"

#include "device/interface.h"
#include "model/eventpump.h"
#include "model/gfunctions.h"

#include <algorithm>

namespace {
// Each try waits one clock second and then reads; a read gives up once the
// clock has advanced by two seconds.
constexpr std::int64_t kWaitSeconds = 1;
constexpr std::int64_t kReadLimitSeconds = 2;

// Resets a flag when the scope ends, however it ends.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RunningFlag() { m_flag = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& m_flag;
};
} // namespace

ZeroMeasurement::ZeroMeasurement(Interface& device, EventPump& pump)
    : m_device(device), m_pump(pump) {}

ZeroMeasurement::Outcome ZeroMeasurement::run() {
    const RunningFlag running(m_running);
    m_abortRequested = false;
    // Ten differences from mid-scale fit easily in 32 bits (each is within
    // +-32768).
    std::int32_t sum = 0;
    int good = 0;
    std::int32_t lowest = 0;
    std::int32_t highest = 0;
    std::int64_t lastAnswerSecond = m_pump.WholeSeconds();
    while (good < kReadingCount) {
        WaitSeconds(m_pump, static_cast<std::int16_t>(kWaitSeconds));
        if (m_abortRequested)
            return Outcome::Aborted;
        std::int32_t load = 0;
        std::int32_t disp = 0;
        const bool answered = m_device.GetVals(load, disp);
        if (m_abortRequested)
            return Outcome::Aborted;
        if (answered) {
            sum += load - kLoadZeroCounts;
            lowest = good == 0 ? load : std::min(lowest, load);
            highest = good == 0 ? load : std::max(highest, load);
            ++good;
            // A load that moves is told at once, not after ten seconds.
            m_spread = highest - lowest;
            if (m_spread > kSteadySpreadCounts)
                return Outcome::Unsteady;
            lastAnswerSecond = m_pump.WholeSeconds();
        } else if (!TimeLeftForAnotherTry(lastAnswerSecond)) {
            return Outcome::NoAnswer;
        }
    }
    m_offset = OffsetFromSum(sum);
    return Outcome::Measured;
}

// Gives up before a try that could end beyond the limit, so that the operator
// waits no more than kNoAnswerLimitSeconds for the verdict.
bool ZeroMeasurement::TimeLeftForAnotherTry(std::int64_t sinceSecond) {
    const std::int64_t elapsed = m_pump.WholeSeconds() - sinceSecond;
    return elapsed + kWaitSeconds + kReadLimitSeconds <= kNoAnswerLimitSeconds;
}

void ZeroMeasurement::abort() {
    if (!m_running)
        return;
    m_abortRequested = true;
    // A read that is waiting for its reply gives up at once.
    if (m_device.readInProgress())
        m_device.abandonRead();
}

std::int32_t ZeroMeasurement::OffsetFromSum(std::int32_t sum) {
    std::int32_t quotient = sum / kReadingCount;
    const std::int32_t remainder = sum % kReadingCount; // same sign as sum
    const std::int32_t twiceRemainder = 2 * (remainder < 0 ? -remainder : remainder);
    const bool roundAway =
        twiceRemainder > kReadingCount || (twiceRemainder == kReadingCount && quotient % 2 != 0);
    if (roundAway)
        quotient += sum < 0 ? -1 : 1;
    return quotient;
}
