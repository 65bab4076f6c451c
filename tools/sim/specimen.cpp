#include "specimen.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>

namespace {
constexpr double kCountsPerLbf = 32768.0 / 1000.0; // at a load-cell ratio of 1
constexpr double kCountsPerInch = 65535.0 / 4.0;   // displacement span
constexpr double kYieldFraction = 0.4;             // end of the elastic part
constexpr double kYieldShareOfPeak = 0.7;          // load at yield / peak load
constexpr std::int32_t kLoadNoiseCounts = 2;
constexpr std::int32_t kDispNoiseCounts = 1;
constexpr std::int32_t kMaxCounts = 65535;

struct Curve {
    double peakLbf;
    double travelInch; // crosshead travel from rest to the peak
};

Curve CurveOf(SpecimenKind kind) {
    switch (kind) {
    case SpecimenKind::Tension:
        return {400.0, 0.30};
    case SpecimenKind::Compression:
        return {600.0, 0.10};
    case SpecimenKind::Hardness:
        return {250.0, 0.03};
    case SpecimenKind::Shear:
        return {300.0, 0.08};
    case SpecimenKind::Structures:
        return {500.0, 0.20};
    }
    return {400.0, 0.30};
}

// Load as a share of the peak: straight up to yield, then flattening to 1.
double LoadShare(double fraction) {
    if (fraction <= 0.0)
        return 0.0;
    if (fraction < kYieldFraction)
        return kYieldShareOfPeak * fraction / kYieldFraction;
    const double plastic = std::min(1.0, (fraction - kYieldFraction) / (1.0 - kYieldFraction));
    return kYieldShareOfPeak +
           (1.0 - kYieldShareOfPeak) * (1.0 - (1.0 - plastic) * (1.0 - plastic));
}

std::int32_t Clamp(double counts) {
    return static_cast<std::int32_t>(std::clamp(std::lround(counts), 0L, long{kMaxCounts}));
}
} // namespace

std::optional<SpecimenKind> SpecimenKindFromName(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "tension")
        return SpecimenKind::Tension;
    if (lower == "compression")
        return SpecimenKind::Compression;
    if (lower == "hardness")
        return SpecimenKind::Hardness;
    if (lower == "shear")
        return SpecimenKind::Shear;
    if (lower == "structures")
        return SpecimenKind::Structures;
    return std::nullopt;
}

Specimen::Specimen(SpecimenKind kind, std::int32_t offsetCounts, std::uint32_t seed, double now)
    : m_kind(kind), m_zeroCounts(kLoadZeroCounts + offsetCounts), m_since(now), m_random(seed) {}

void Specimen::setKind(SpecimenKind kind, double now) {
    m_kind = kind;
    enter(Phase::Resting, now);
}

void Specimen::idle(double now) {
    m_cycling = false;
    enter(Phase::Resting, now);
}

void Specimen::load(double now) {
    advance(now);
    enter(Phase::Loading, now);
}

void Specimen::breakNow(double now) {
    advance(now);
    m_breakFraction = m_phase == Phase::Loading ? loadFraction(now) : 0.0;
    enter(Phase::Broken, now);
}

void Specimen::cycle(double now) {
    m_cycling = true;
    enter(Phase::Resting, now);
}

Specimen::Phase Specimen::phase(double now) {
    advance(now);
    return m_phase;
}

void Specimen::enter(Phase phase, double since) {
    m_phase = phase;
    m_since = since;
}

// Moves through the phases whose time is up, each starting exactly when the
// one before it ended.
void Specimen::advance(double now) {
    for (;;) {
        const double elapsed = now - m_since;
        if (m_phase == Phase::Loading && elapsed >= kLoadingSeconds) {
            m_breakFraction = 1.0;
            enter(Phase::Broken, m_since + kLoadingSeconds);
        } else if (m_cycling && m_phase == Phase::Resting && elapsed >= kRestSeconds) {
            enter(Phase::Loading, m_since + kRestSeconds);
        } else if (m_cycling && m_phase == Phase::Broken && elapsed >= kBrokenSeconds) {
            enter(Phase::Resting, m_since + kBrokenSeconds);
        } else {
            return;
        }
    }
}

double Specimen::loadFraction(double now) const {
    return std::clamp((now - m_since) / kLoadingSeconds, 0.0, 1.0);
}

RawPair Specimen::exact(double now) {
    advance(now);
    double fraction = 0.0;
    double loadShare = 0.0;
    if (m_phase == Phase::Loading) {
        fraction = loadFraction(now);
        loadShare = LoadShare(fraction);
    } else if (m_phase == Phase::Broken) {
        fraction = m_breakFraction; // the crosshead stays where it broke, unloaded
    }
    const Curve curve = CurveOf(m_kind);
    const double loadCounts = loadShare * curve.peakLbf * kCountsPerLbf;
    const double dispCounts = fraction * curve.travelInch * kCountsPerInch;
    const double sign = m_kind == SpecimenKind::Tension ? 1.0 : -1.0;
    return {Clamp(m_zeroCounts + sign * loadCounts), Clamp(kStartDispCounts - sign * dispCounts)};
}

RawPair Specimen::sample(double now) {
    const RawPair exactPair = exact(now);
    std::uniform_int_distribution<std::int32_t> loadNoise(-kLoadNoiseCounts, kLoadNoiseCounts);
    std::uniform_int_distribution<std::int32_t> dispNoise(-kDispNoiseCounts, kDispNoiseCounts);
    return {Clamp(exactPair.load + loadNoise(m_random)),
            Clamp(exactPair.disp + dispNoise(m_random))};
}
