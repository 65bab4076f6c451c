#pragma once

#include "model/gfunctions.h"

#include <algorithm>
#include <cstdint>
#include <exception>
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
    // untouched, when Experiment would fail to convert it. Readings met
    // before take the quick way here.
    bool convert(std::int32_t index, float& displacement, float& load) const {
        if (index < 1 || static_cast<std::size_t>(index) > m_rawLoads.size() ||
            static_cast<std::size_t>(index) > m_rawDisps.size())
            return false;
        const std::int32_t rawLoad = m_rawLoads[static_cast<std::size_t>(index) - 1];
        const std::int32_t rawDisp = m_rawDisps[static_cast<std::size_t>(index) - 1];
        if (inSpan(rawLoad) && inSpan(rawDisp)) {
            const LoadParts& parts = m_loads[static_cast<std::size_t>(rawLoad)];
            const TravelPart& travel = m_travels[static_cast<std::size_t>(rawDisp)];
            if (parts.state == 1 && travel.state == 1) {
                try {
                    const float value = DisplacementOf(travel.travel, parts.deflection,
                                                       m_referenceDisp > rawDisp, m_units);
                    displacement = m_direction * value;
                    load = m_direction * parts.load;
                    return true;
                } catch (const std::exception&) {
                    return false;
                }
            }
        }
        return finish(rawLoad, rawDisp, displacement, load);
    }

    // Points `first` to `last` (from 1) in turn, each given to
    // `store(index from 0, displacement, load)` as convert gives it; false at
    // the first that does not convert.
    template <typename Store>
    bool convertEach(std::int32_t first, std::int32_t last, Store& store) const {
        const std::size_t size = std::min(m_rawLoads.size(), m_rawDisps.size());
        if (first < 1 || (last >= first && static_cast<std::size_t>(last) > size))
            return false;
        const std::int32_t* const loads = m_rawLoads.data();
        const std::int32_t* const disps = m_rawDisps.data();
        const LoadParts* const loadParts = m_loads.data();
        const TravelPart* const travels = m_travels.data();
        for (std::int32_t i = first; i <= last; ++i) {
            const auto at = static_cast<std::size_t>(i) - 1;
            const std::int32_t rawLoad = loads[at];
            const std::int32_t rawDisp = disps[at];
            float displacement = 0.0f;
            float load = 0.0f;
            if (inSpan(rawLoad) && inSpan(rawDisp) &&
                loadParts[static_cast<std::size_t>(rawLoad)].state == 1 &&
                travels[static_cast<std::size_t>(rawDisp)].state == 1) {
                const LoadParts& parts = loadParts[static_cast<std::size_t>(rawLoad)];
                try {
                    displacement =
                        m_direction *
                        DisplacementOf(travels[static_cast<std::size_t>(rawDisp)].travel,
                                       parts.deflection, m_referenceDisp > rawDisp, m_units);
                } catch (const std::exception&) {
                    return false;
                }
                load = m_direction * parts.load;
            } else if (!finish(rawLoad, rawDisp, displacement, load)) {
                return false;
            }
            store(at, displacement, load);
        }
        return true;
    }

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
    static constexpr std::int32_t kReadingSpan = 65536; // raw readings 0 to 65535
    static bool inSpan(std::int32_t raw) { return raw >= 0 && raw < kReadingSpan; }
    // The conversion of a reading not met before, or outside the range.
    bool finish(std::int32_t rawLoad, std::int32_t rawDisp, float& displacement, float& load) const;
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
