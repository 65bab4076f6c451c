#pragma once

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/pointconverter.h"
#include "standards/straightfit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// The curves the test properties are computed from (testproperties.cpp),
// visited point by point so that a long test's converted values are never
// kept: the properties of a test cost its raw readings and a bounded amount.
namespace propertycurves {

// A point as displayed: displacement and load in the display units.
struct Shown {
    double x = 0.0;
    double y = 0.0;
};

// A curve is visited from point 0 in a few passes. `shown` gives a point
// as displayed, false when it does not convert; the fit's `extension` and
// `force` give the readings the points are chosen on, unrounded and in one
// unit whatever the display units, and `loadScale` and `dispScale` take
// them to the display units.
//
// A hand-made curve: its points are their own readings, with factors of 1.
class GivenCurve final : public FitCurve {
public:
    GivenCurve(const std::vector<double>& x, const std::vector<double>& y) : m_x(x), m_y(y) {}
    std::size_t size() const override { return m_x.size(); }
    double extension(std::size_t index) const override { return m_x[index]; }
    double force(std::size_t index) const override { return m_y[index]; }
    bool shown(std::size_t index, Shown& point) const {
        point = {m_x[index], m_y[index]};
        return true;
    }
    double loadScale = 1.0;
    double dispScale = 1.0;

private:
    const std::vector<double>& m_x;
    const std::vector<double>& m_y;
};

// An experiment's points: shown exactly as the experiment converts them,
// through the converter's tables; the readings are worked out from the raw
// counts as they are asked for.
class ExperimentCurve final : public FitCurve {
public:
    ExperimentCurve(const Experiment& experiment, std::int32_t units)
        : loadScale(LoadUnitsPerLbf(units)), dispScale(DisplacementUnitsPerInch(units)),
          m_converter(experiment, units), m_loads(experiment.DigitalLoad().Values()),
          m_disps(experiment.DigitalDisplacement().Values()),
          m_count(static_cast<std::size_t>(std::max(experiment.Count(), 0))),
          m_direction(experiment.direction()), m_ratio(experiment.LoadCellRatio()),
          m_offset(experiment.LoadCellOffset()) {
        if (m_count > 0) {
            m_referenceDisp = experiment.DigitalDisplacement().Value(1);
            m_referenceLoad = experiment.DigitalLoad().Value(1);
        }
    }
    std::size_t size() const override { return m_count; }
    // Called only for points that were shown: their readings exist.
    double extension(std::size_t index) const override {
        return m_direction * ReadingInches(m_referenceDisp, m_referenceLoad, m_disps[index],
                                           m_loads[index], m_ratio, m_offset);
    }
    double force(std::size_t index) const override {
        return m_direction * ReadingLbf(m_loads[index], m_ratio, m_offset);
    }
    bool shown(std::size_t index, Shown& point) const {
        float x = 0.0f;
        float y = 0.0f;
        if (!m_converter.convert(static_cast<std::int32_t>(index + 1), x, y)) {
            return false;
        }
        point = {x, y};
        return true;
    }
    const double loadScale;
    const double dispScale;

private:
    PointConverter m_converter;
    const std::vector<std::int32_t>& m_loads;
    const std::vector<std::int32_t>& m_disps;
    std::size_t m_count;
    double m_direction;
    float m_ratio;
    std::int32_t m_offset;
    std::int32_t m_referenceDisp = 0;
    std::int32_t m_referenceLoad = 0;
};

} // namespace propertycurves
