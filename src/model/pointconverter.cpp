#include "model/pointconverter.h"

#include "model/experiment.h"
#include "model/gfunctions.h"

#include <exception>

namespace {
// Raw readings from the interface are 0 to 65535.
constexpr std::int32_t kReadingSpan = 65536;

bool InSpan(std::int32_t raw) {
    return raw >= 0 && raw < kReadingSpan;
}
} // namespace

PointConverter::PointConverter(const Experiment& experiment, std::int32_t units)
    : m_rawLoads(experiment.DigitalLoad().Values()),
      m_rawDisps(experiment.DigitalDisplacement().Values()), m_ratio(experiment.LoadCellRatio()),
      m_offset(experiment.LoadCellOffset()), m_units(units),
      m_direction(static_cast<float>(experiment.direction())), m_loads(kReadingSpan),
      m_travels(kReadingSpan) {
    if (experiment.Count() > 0) {
        m_referenceDisp = experiment.DigitalDisplacement().Value(1);
        m_referenceLoad = experiment.DigitalLoad().Value(1);
    }
}

PointConverter::LoadParts PointConverter::loadParts(std::int32_t raw) const {
    if (InSpan(raw) && m_loads[static_cast<std::size_t>(raw)].state != 0)
        return m_loads[static_cast<std::size_t>(raw)];
    LoadParts parts;
    try {
        parts.load = DigitalToLoad(raw, m_units, m_ratio, m_offset);
        parts.deflection = FrameDeflection(m_referenceLoad, raw, m_ratio, m_offset);
        parts.state = 1;
    } catch (const std::exception&) {
        parts.state = 2;
    }
    if (InSpan(raw))
        m_loads[static_cast<std::size_t>(raw)] = parts;
    return parts;
}

PointConverter::TravelPart PointConverter::travelPart(std::int32_t raw) const {
    if (InSpan(raw) && m_travels[static_cast<std::size_t>(raw)].state != 0)
        return m_travels[static_cast<std::size_t>(raw)];
    TravelPart part;
    try {
        part.travel = DisplacementTravel(m_referenceDisp, raw);
        part.state = 1;
    } catch (const std::exception&) {
        part.state = 2;
    }
    if (InSpan(raw))
        m_travels[static_cast<std::size_t>(raw)] = part;
    return part;
}

bool PointConverter::convert(std::int32_t index, float& displacement, float& load) const {
    if (index < 1 || static_cast<std::size_t>(index) > m_rawLoads.size() ||
        static_cast<std::size_t>(index) > m_rawDisps.size())
        return false;
    const std::int32_t rawLoad = m_rawLoads[static_cast<std::size_t>(index) - 1];
    const std::int32_t rawDisp = m_rawDisps[static_cast<std::size_t>(index) - 1];
    // Readings met before are looked up here, the rest worked out.
    const bool loadKnown = InSpan(rawLoad) && m_loads[static_cast<std::size_t>(rawLoad)].state != 0;
    const LoadParts parts =
        loadKnown ? m_loads[static_cast<std::size_t>(rawLoad)] : loadParts(rawLoad);
    const bool travelKnown =
        InSpan(rawDisp) && m_travels[static_cast<std::size_t>(rawDisp)].state != 0;
    const TravelPart travel =
        travelKnown ? m_travels[static_cast<std::size_t>(rawDisp)] : travelPart(rawDisp);
    if (parts.state != 1 || travel.state != 1)
        return false;
    try {
        const float value =
            DisplacementOf(travel.travel, parts.deflection, m_referenceDisp > rawDisp, m_units);
        displacement = m_direction * value;
        load = m_direction * parts.load;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
