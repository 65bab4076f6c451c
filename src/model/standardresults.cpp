#include "model/standardresults.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "standards/results.h"

#include <exception>
#include <vector>

namespace {
constexpr double kPercent = 100.0;

// The operator's modulus window and proof offset over the library's
// defaults; a window needs both its ends.
ResultSettings SettingsOf(const SpecimenRecord& s) {
    ResultSettings settings;
    if (s.windowFrom > 0.0f && s.windowTo > s.windowFrom) {
        switch (s.windowBasis) {
        case ModulusWindow::PeakPercent:
            settings.windowBasis = WindowBasis::PeakShare;
            settings.windowFrom = s.windowFrom / kPercent;
            settings.windowTo = s.windowTo / kPercent;
            break;
        case ModulusWindow::Force:
            settings.windowBasis = WindowBasis::Force;
            settings.windowFrom = s.windowFrom;
            settings.windowTo = s.windowTo;
            break;
        case ModulusWindow::Stress:
            settings.windowBasis = WindowBasis::Stress;
            settings.windowFrom = s.windowFrom;
            settings.windowTo = s.windowTo;
            break;
        }
    }
    if (s.proofOffset > 0.0f)
        settings.proofOffsetPercent = s.proofOffset;
    settings.firstLocalMaximum = s.firstLocalMaximum;
    return settings;
}
} // namespace

std::optional<TestKind> ResultKind(std::int32_t testType, const SpecimenRecord& specimen) {
    switch (testType) {
    case kTestTension:
        return TestKind::Tension;
    case kTestCompression:
        return TestKind::Compression;
    case kTestShear:
        return TestKind::Shear;
    case kTestStructures:
        return specimen.structure == StructureKind::Other ? TestKind::Structure : TestKind::Beam;
    default:
        return std::nullopt;
    }
}

TestInput StandardInput(TestKind kind, const SpecimenRecord& s) {
    TestInput in;
    in.kind = kind;
    in.shape = s.shape == SpecimenShape::Round ? SectionShape::Round : SectionShape::Rectangle;
    in.thickness = s.thickness;
    in.width = s.width;
    in.diameter = s.diameter;
    in.gaugeLength = StrainLength(s);
    in.finalGaugeLength = s.finalLength;
    in.finalThickness = s.finalThickness;
    in.finalWidth = s.finalWidth;
    in.finalDiameter = s.finalDiameter;
    in.shear = s.shear == ShearConfiguration::Punch   ? ShearKind::Punch
               : s.shear == ShearConfiguration::Plate ? ShearKind::Plate
                                                      : ShearKind::Pin;
    in.pinDiameter = s.shearDiameter;
    in.punchDiameter = s.shearDiameter;
    in.shearPlanes = s.shearPlanes > 0 ? s.shearPlanes : 1;
    in.shearThickness = s.thickness;
    in.shearLength = s.shearLength;
    in.beam = s.structure == StructureKind::FourPoint ? BeamKind::FourPoint : BeamKind::ThreePoint;
    in.span = s.span;
    in.loadingSpan = s.loadingSpan;
    in.beamWidth = s.width;
    in.beamDepth = s.thickness;
    in.settings = SettingsOf(s);
    return in;
}

// The reading of point `index` (0-based) in inches and lbf, as the results
// take it.
std::pair<double, double> ReadingAt(const Experiment& experiment, std::size_t index) {
    const auto point = static_cast<std::int32_t>(index + 1);
    const auto& loads = experiment.DigitalLoad();
    const auto& displacements = experiment.DigitalDisplacement();
    const double direction = experiment.direction();
    const float ratio = experiment.LoadCellRatio();
    const std::int32_t offset = experiment.LoadCellOffset();
    return {direction * ReadingInches(displacements.Value(1), loads.Value(1),
                                      displacements.Value(point), loads.Value(point), ratio,
                                      offset),
            direction * ReadingLbf(loads.Value(point), ratio, offset)};
}

ResultMarks MarksOf(const Experiment& experiment, const TestResults& results) {
    ResultMarks marks;
    try {
        if (results.peak)
            marks.peak = ReadingAt(experiment, *results.peak);
        if (results.fracture)
            marks.fracture = ReadingAt(experiment, *results.fracture);
        if (results.fit && marks.peak && results.fit->slope > 0.0) {
            const StraightFit& fit = *results.fit;
            marks.modulusLine = {{fit.origin, 0.0},
                                 {fit.origin + marks.peak->second / fit.slope, marks.peak->second}};
        }
        if (results.proofExtension && results.proofForce)
            marks.proof = std::pair{*results.proofExtension, *results.proofForce};
    } catch (const std::exception&) {
        return {};
    }
    return marks;
}

TestResults StandardResults(const Experiment& experiment) {
    const auto kind = ResultKind(experiment.TestType(), experiment.specimen());
    if (!kind)
        return {};
    const TestInput input = StandardInput(*kind, experiment.specimen());
    std::vector<double> force;
    std::vector<double> extension;
    try {
        const std::int32_t count = experiment.Count();
        force.reserve(static_cast<std::size_t>(std::max(count, 0)));
        extension.reserve(force.capacity());
        const double direction = experiment.direction();
        const float ratio = experiment.LoadCellRatio();
        const std::int32_t offset = experiment.LoadCellOffset();
        const auto& loads = experiment.DigitalLoad();
        const auto& displacements = experiment.DigitalDisplacement();
        for (std::int32_t point = 1; point <= count; ++point) {
            const std::int32_t load = loads.Value(point);
            force.push_back(direction * ReadingLbf(load, ratio, offset));
            extension.push_back(direction * ReadingInches(displacements.Value(1), loads.Value(1),
                                                          displacements.Value(point), load, ratio,
                                                          offset));
        }
    } catch (const std::exception&) {
        // Every result of the kind, each empty with the reason.
        TestResults none = ComputeResults({}, {}, input);
        for (Result& result : none.results)
            result.reason = "readings do not convert";
        return none;
    }
    return ComputeResults(force, extension, input);
}

std::string ResultKindText(TestKind kind) {
    switch (kind) {
    case TestKind::Tension:
        return "tension test";
    case TestKind::Compression:
        return "compression test";
    case TestKind::Shear:
        return "shear test";
    case TestKind::Beam:
        return "beam in bending";
    case TestKind::Structure:
        return "structure";
    }
    return {};
}

std::string ResultHeading(const Result& result, std::int32_t units) {
    return result.name + " [" +
           UnitText(result.quantity,
                    units == kUnitsEnglish ? UnitSystem::English : UnitSystem::Metric) +
           "]";
}

std::string ResultValueText(const Result& result, std::int32_t units) {
    const auto value = result.In(units == kUnitsEnglish ? UnitSystem::English : UnitSystem::Metric);
    return value ? PlainNumberText(static_cast<float>(*value)) : std::string();
}

std::string ResultCellText(const Result& result, std::int32_t units) {
    if (!result.value)
        return "(" + result.reason + ")";
    const std::string value = ResultValueText(result, units);
    return result.detail.empty() ? value : value + " (" + result.detail + ")";
}
