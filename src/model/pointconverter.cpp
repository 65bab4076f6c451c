#include "model/pointconverter.h"

#include "model/experiment.h"
#include "model/gfunctions.h"

#include <exception>

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
    if (inSpan(raw) && m_loads[static_cast<std::size_t>(raw)].state != 0)
        return m_loads[static_cast<std::size_t>(raw)];
    LoadParts parts;
    try {
        parts.load = DigitalToLoad(raw, m_units, m_ratio, m_offset);
        parts.deflection = FrameDeflection(m_referenceLoad, raw, m_ratio, m_offset);
        parts.state = 1;
    } catch (const std::exception&) {
        parts.state = 2;
    }
    if (inSpan(raw))
        m_loads[static_cast<std::size_t>(raw)] = parts;
    return parts;
}

PointConverter::TravelPart PointConverter::travelPart(std::int32_t raw) const {
    if (inSpan(raw) && m_travels[static_cast<std::size_t>(raw)].state != 0)
        return m_travels[static_cast<std::size_t>(raw)];
    TravelPart part;
    try {
        part.travel = DisplacementTravel(m_referenceDisp, raw);
        part.state = 1;
    } catch (const std::exception&) {
        part.state = 2;
    }
    if (inSpan(raw))
        m_travels[static_cast<std::size_t>(raw)] = part;
    return part;
}

bool PointConverter::finish(std::int32_t rawLoad,
                            std::int32_t rawDisp,
                            float& displacement,
                            float& load) const {
    const LoadParts parts = loadParts(rawLoad);
    const TravelPart travel = travelPart(rawDisp);
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
