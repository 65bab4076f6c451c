#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string_view>

// The kinds of test the simulator can run, each with its own curve.
enum class SpecimenKind { Tension, Compression, Hardness, Shear, Structures };
std::optional<SpecimenKind> SpecimenKindFromName(std::string_view name);

// One reading in raw counts, as the interface box reports it.
struct RawPair {
    std::int32_t load;
    std::int32_t disp;
};

// A simulated specimen in the machine. It rests unloaded at the zero point,
// loads through an elastic and a plastic part to its peak, breaks with a
// sudden drop of load and rests unloaded again; while cycling is on (the
// default) the cycle repeats so that an operator can run test after test.
// Tension raises the raw load and lowers the raw displacement; the other
// kinds do the opposite. Times are seconds on the caller's monotonic clock.
class Specimen {
public:
    enum class Phase { Resting, Loading, Broken };

    static constexpr std::int32_t kLoadZeroCounts = 32768;
    static constexpr std::int32_t kStartDispCounts = 30000;
    static constexpr double kRestSeconds = 4.0;
    static constexpr double kLoadingSeconds = 10.0;
    static constexpr double kBrokenSeconds = 4.0;

    Specimen(SpecimenKind kind, std::int32_t offsetCounts, std::uint32_t seed, double now);

    // Switches the kind and starts again from rest.
    void setKind(SpecimenKind kind, double now);
    SpecimenKind kind() const { return m_kind; }
    // Rests unloaded and stops the automatic cycle.
    void idle(double now);
    // Starts loading now; after the break the specimen rests (and cycles on
    // if cycling is on).
    void load(double now);
    // Breaks now: the load drops to zero and stays there.
    void breakNow(double now);
    // Turns the automatic cycle back on, starting from rest.
    void cycle(double now);

    Phase phase(double now);
    // The reading at `now` without noise, and with the small noise of a real
    // load cell and displacement transducer.
    RawPair exact(double now);
    RawPair sample(double now);

private:
    void advance(double now);
    void enter(Phase phase, double since);
    double loadFraction(double now) const;

    SpecimenKind m_kind;
    std::int32_t m_zeroCounts;
    Phase m_phase = Phase::Resting;
    double m_since;
    double m_breakFraction = 0.0; // how far loading had got when it broke
    bool m_cycling = true;
    std::mt19937 m_random;
};
