#include "results/resultmarks.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/standardresults.h"

#include <QCoreApplication>
#include <QStringList>

namespace {
constexpr double kMegapascalsPerPsi = 0.00689476;
}

ChartMarks ResultMarksOf(const Experiment& experiment, std::int32_t units, bool stressStrain) {
    const TestResults results = StandardResults(experiment);
    if (results.results.empty())
        return {};
    const ResultMarks marks = MarksOf(experiment, results);
    // From inches and lbf to the chart's axes.
    double xScale = DisplacementUnitsPerInch(units);
    double yScale = LoadUnitsPerLbf(units);
    if (stressStrain) {
        const SpecimenRecord& specimen = experiment.specimen();
        xScale = 1.0 / StrainLength(specimen);
        yScale = (units == kUnitsEnglish ? 1.0 : kMegapascalsPerPsi) / SpecimenArea(specimen);
    }
    const auto at = [&](const std::pair<double, double>& reading) {
        return QPointF(reading.first * xScale, reading.second * yScale);
    };
    ChartMarks chart;
    QStringList words;
    for (const auto& reading : marks.modulusLine)
        chart.modulusLine << at(reading);
    if (!chart.modulusLine.isEmpty())
        words << QCoreApplication::translate("ResultMarks", "modulus line");
    const std::pair<const std::optional<std::pair<double, double>>*, const char*> points[] = {
        {&marks.proof, "proof point"}, {&marks.peak, "peak"}, {&marks.fracture, "break"}};
    for (const auto& [point, name] : points) {
        if (!*point)
            continue;
        const QPointF shown = at(**point);
        chart.points << shown;
        words << QCoreApplication::translate("ResultMarks", "%1 at %2, %3")
                     .arg(QCoreApplication::translate("ResultMarks", name),
                          QString::number(shown.x(), 'g', 5), QString::number(shown.y(), 'g', 5));
    }
    chart.description = words.join(QStringLiteral("; "));
    return chart;
}
