#pragma once

#include <cstdint>
#include <vector>

class Experiment;

// The load and displacement of an experiment's points in one units code,
// exactly as Experiment::load and Experiment::Displacement give them, for a
// caller that converts every point of a long test: each part of a
// conversion that depends on one raw reading alone is worked out once per
// reading in the interface's range and then looked up, so converting
// twenty million points takes a fraction of a second. Readings outside that
// range are converted as they come. The experiment must outlive the
// converter and keep its points. Window thread.
class PointConverter {
public:
    PointConverter(const Experiment& experiment, std::int32_t units);
    // Point `index` (from 1) as displacement and load; false, with both
    // untouched, when Experiment would fail to convert it.
    bool convert(std::int32_t index, float& displacement, float& load) const;

private:
    // What a raw load reading gives, worked out on its first use.
    struct LoadParts {
        float load = 0.0f;
        float deflection = 0.0f; // the frame's, from the first point's load
        std::uint8_t state = 0;  // 0 not yet, 1 known, 2 does not convert
    };
    // What a raw displacement reading gives: the travel from the first
    // point's reading.
    struct TravelPart {
        float travel = 0.0f;
        std::uint8_t state = 0;
    };
    LoadParts loadParts(std::int32_t raw) const;
    TravelPart travelPart(std::int32_t raw) const;

    const std::vector<std::int32_t>& m_rawLoads;
    const std::vector<std::int32_t>& m_rawDisps;
    float m_ratio;
    std::int32_t m_offset;
    std::int32_t m_units;
    float m_direction;
    std::int32_t m_referenceDisp = 0;
    std::int32_t m_referenceLoad = 0;
    mutable std::vector<LoadParts> m_loads;    // by raw load reading
    mutable std::vector<TravelPart> m_travels; // by raw displacement reading
};
