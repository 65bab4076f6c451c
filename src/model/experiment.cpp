#include "model/experiment.h"

#include "model/gfunctions.h"

namespace {

constexpr std::int32_t kRawReadingMin = 0;
constexpr std::int32_t kRawReadingMax = 65535;

} // namespace

Experiment::Experiment() {
    Clear();
}

float Experiment::load(std::int32_t index, std::int32_t units) const {
    const float value =
        DigitalToLoad(m_digitalLoad.Value(index), units, m_loadCellRatio, m_loadCellOffset);
    return static_cast<float>(direction()) * value;
}

float Experiment::Displacement(std::int32_t index, std::int32_t units) const {
    // Point 1 is the reference of every displacement.
    const float value = DigitalToDisplacement(
        m_digitalDisplacement.Value(1), m_digitalLoad.Value(1), m_digitalDisplacement.Value(index),
        m_digitalLoad.Value(index), units, m_loadCellRatio, m_loadCellOffset);
    return static_cast<float>(direction()) * value;
}

float Experiment::MaxLoad(std::int32_t units) const {
    const float value = DigitalToLoad(m_maxLoadDigital, units, m_loadCellRatio, m_loadCellOffset);
    return static_cast<float>(direction()) * value;
}

float Experiment::MaxDisplacement(std::int32_t units) const {
    // The extremes may belong to different points; they are paired anyway.
    const float value = DigitalToDisplacement(
        m_digitalDisplacement.Value(1), m_digitalLoad.Value(1), m_maxDisplacementDigital,
        m_maxLoadDigital, units, m_loadCellRatio, m_loadCellOffset);
    return static_cast<float>(direction()) * value;
}

void Experiment::SetTestType(std::int32_t code) {
    m_testType = code;
    // Seed the extremes with the far end of the range for the loading
    // direction: tension raises the load and lowers the displacement.
    if (code == kTestTension) {
        m_maxLoadDigital = kRawReadingMin;
        m_maxDisplacementDigital = kRawReadingMax;
    } else {
        m_maxLoadDigital = kRawReadingMax;
        m_maxDisplacementDigital = kRawReadingMin;
    }
}

std::string Experiment::TestString() const {
    return TestTypeNames(m_testType);
}

std::int16_t Experiment::direction() const {
    return m_testType == kTestTension ? -1 : 1;
}

float Experiment::SampleArea() const {
    if (m_specimen.shape == SpecimenShape::Rectangular) {
        if (m_specimen.width > 0.0f && m_specimen.thickness > 0.0f) {
            return m_specimen.width * m_specimen.thickness;
        }
        return 1.0f;
    }
    const auto area = static_cast<float>(SpecimenArea(m_specimen));
    return area > 0.0f ? area : 1.0f;
}

void Experiment::AddDataPoint(std::int32_t tempLoad, std::int32_t tempDisp) {
    const std::int32_t n = Count() + 1;
    m_digitalLoad.SetValue(n, tempLoad);
    m_digitalDisplacement.SetValue(n, tempDisp);
    if (m_testType == kTestTension) {
        if (tempLoad > m_maxLoadDigital) {
            m_maxLoadDigital = tempLoad;
        }
        if (tempDisp < m_maxDisplacementDigital) {
            m_maxDisplacementDigital = tempDisp;
        }
    } else {
        if (tempLoad < m_maxLoadDigital) {
            m_maxLoadDigital = tempLoad;
        }
        if (tempDisp > m_maxDisplacementDigital) {
            m_maxDisplacementDigital = tempDisp;
        }
    }
}

void Experiment::Clear() {
    m_digitalLoad.Clear();
    m_digitalDisplacement.Clear();
    m_maxLoadDigital = 0;
    m_maxDisplacementDigital = 0;
    m_specimen = SpecimenRecord{};
    m_testType = kTestNone;
    m_loadCellRatio = 0.0f;
    m_loadCellOffset = 0;
}
