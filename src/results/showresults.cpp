// The fill of the results area from an experiment: ResultsView::ShowResults
// and the summary, hardness and chart parts it runs in turn.

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/pointconverter.h"
#include "platform/busycursor.h"
#include "platform/geometry.h"
#include "platform/readabletext.h"
#include "results/pointsmodel.h"
#include "results/resultmarks.h"
#include "results/resultschart.h"
#include "results/resultsview.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <exception>
#include <utility>

namespace {
constexpr std::int32_t kViewStressStrain = 2;

// Only a tension test has a stress against strain view; for every other
// kind the chart shows load against displacement whatever the choice. A
// tension test whose area or length is not known shows load against
// displacement too, titled as such: stress titles stand over stresses only.
bool showsStressStrain(const Experiment& experiment, std::int32_t viewMode) {
    return experiment.TestType() == kTestTension && viewMode == kViewStressStrain &&
           HasStressDimensions(experiment.specimen());
}

// A converted value as shown in a summary box; empty when it cannot be
// computed (no points, a reading far outside the raw range).
template <typename Compute> QString summaryText(Compute compute) {
    try {
        return QString::fromStdString(PlainNumberText(compute()));
    } catch (const std::exception&) {
        return {};
    }
}

// Load against displacement of points 1 to `count`, in single precision. A
// point whose conversion fails is left out rather than stopping the fill;
// `numbers` then holds the number of each point kept, and stays empty while
// every point is.
// The table is written over `table`, whose memory it reuses.
QList<QPointF> loadDisplacement(const Experiment& experiment,
                                std::int32_t units,
                                std::int32_t count,
                                QList<qint32>& numbers,
                                QList<QPointF> table = {}) {
    table.resize(std::max(count, 0));
    QPointF* next = table.data();
    numbers.clear();
    const PointConverter converter(experiment, units);
    // Every point converts, but in a damaged file: all in one pass.
    // Otherwise, point by point, leaving out those that do not.
    const auto store = [next](std::size_t i, float x, float y) { next[i] = QPointF(x, y); };
    if (converter.convertEach(1, count, store))
        return table;
    bool leftOut = false;
    for (std::int32_t i = 1; i <= count; ++i) {
        float load = 0.0f;
        float displacement = 0.0f;
        if (converter.convert(i, displacement, load)) {
            if (leftOut)
                numbers.append(i);
            *next++ = QPointF(displacement, load);
        } else if (!leftOut) {
            leftOut = true;
            for (qint32 kept = 1; kept <= next - table.data(); ++kept)
                numbers.append(kept);
        }
    }
    table.resize(next - table.data());
    return table;
}

// Divides each displacement by the specimen's strain length (strain) and
// each load by its area (stress), in single precision, with the dimensions
// taken from inches to the display units: psi or MPa, and a strain that is
// the same number in both. False, with the table part-divided, when a
// quotient is not a finite number: a length too small for single precision
// has no strain.
bool toStressStrain(QList<QPointF>& table, const Experiment& experiment, std::int32_t units) {
    const auto length = static_cast<float>(StrainLength(experiment.specimen(), units));
    const auto area = static_cast<float>(SpecimenArea(experiment.specimen(), units));
    for (QPointF& point : table) {
        const float strain = static_cast<float>(point.x()) / length;
        const float stress = static_cast<float>(point.y()) / area;
        if (!std::isfinite(strain) || !std::isfinite(stress))
            return false;
        point = QPointF(strain, stress);
    }
    return true;
}
} // namespace

// The load caption says "(lb)" while the load axis says "(lbs)".
AxisTitles ChartAxisTitles(bool stressStrain, std::int32_t units) {
    const bool english = units == kUnitsEnglish;
    if (stressStrain) {
        return {english ? QStringLiteral("Strain (inch/inch)") : QStringLiteral("Strain (mm/mm)"),
                english ? QStringLiteral("Stress (lbs/sq. inch)") : QStringLiteral("Stress (MPa)")};
    }
    return {english ? QStringLiteral("Displacement (inch)") : QStringLiteral("Displacement (mm)"),
            english ? QStringLiteral("Load (lbs)") : QStringLiteral("Load (N)")};
}

void ResultsView::ShowResults(const Experiment& experiment,
                              std::int32_t units,
                              std::int32_t viewMode,
                              bool experimentPresent) {
    const BusyCursor busy;
    // The line is drawn once, for the new points.
    const struct DrawingHeld {
        QPointer<ResultsChart> chart;
        explicit DrawingHeld(ResultsChart* held) : chart(held) { chart->holdDrawing(true); }
        ~DrawingHeld() {
            if (chart)
                chart->holdDrawing(false);
        }
        DrawingHeld(const DrawingHeld&) = delete;
        DrawingHeld& operator=(const DrawingHeld&) = delete;
    } held(m_chart);
    const bool stressStrain = showsStressStrain(experiment, viewMode);
    const AxisTitles titles = ChartAxisTitles(stressStrain, units);
    m_chart->setAxisTitles(titles.x, titles.y);
    if (!experimentPresent)
        return;

    showSummary(experiment, units);
    ResetGrid();
    m_points->showEmptyRows(0);
    // The emptied grid repaints before the fill. A command run meanwhile
    // that fills or clears the area again has the last word.
    const quint64 generation = m_generation;
    const QPointer<ResultsView> self(this);
    QCoreApplication::processEvents();
    if (!self || generation != m_generation)
        return;

    // The experiment may have changed in that pass; what it holds now counts.
    const std::int32_t count = experiment.Count();
    m_points->showPoints(experiment, units, count);
    showChart(experiment, units, count, stressStrain);
    if (experiment.TestType() == kTestHardness)
        showHardness(experiment);
}

void ResultsView::showSummary(const Experiment& experiment, std::int32_t units) {
    const bool english = units == kUnitsEnglish;
    setCaption(*m_labelMaxLoad, *m_textMaxLoad,
               english ? QStringLiteral("Max. Load (lb)") : QStringLiteral("Max. Load (N)"));
    setCaption(*m_labelMaxDisp, *m_textMaxDisp,
               english ? QStringLiteral("Max. Disp. (inch)") : QStringLiteral("Max. Disp. (mm)"));
    // A record without points still holds its seeded extremes, which are no
    // measurement: both boxes stay empty.
    const bool measured = experiment.Count() > 0;
    SetReadableText(*m_textMaxLoad,
                    measured ? summaryText([&] { return experiment.MaxLoad(units); }) : QString());
    SetReadableText(*m_textMaxDisp,
                    measured ? summaryText([&] { return experiment.MaxDisplacement(units); })
                             : QString());
}

// A hardness number beyond the 16-bit range has no value to show: the box
// stays empty rather than showing a wrapped number.
void ResultsView::showHardness(const Experiment& experiment) {
    QString text;
    try {
        text = QString::fromStdString(NumberText(std::int32_t{HardnessNumber(experiment)}));
    } catch (const std::exception&) {
    }
    setCaption(*m_labelTestSpecific, *m_textTestSpecific, QStringLiteral("Torvik Hardness"));
    SetReadableText(*m_textTestSpecific, text);
    m_labelTestSpecific->show();
    m_textTestSpecific->show();
}

// Stress against strain that cannot be computed shows load against
// displacement, titled as such, instead of infinities.
void ResultsView::showChart(const Experiment& experiment,
                            std::int32_t units,
                            std::int32_t count,
                            bool stressStrain) {
    QList<qint32> numbers;
    // The chart's old points make room for the new ones: a long test's
    // table is not allocated afresh.
    QList<QPointF> table =
        loadDisplacement(experiment, units, count, numbers, m_chart->takePoints());
    const bool stress = stressStrain && toStressStrain(table, experiment, units);
    if (stressStrain && !stress) {
        table = loadDisplacement(experiment, units, count, numbers, std::move(table));
        const AxisTitles titles = ChartAxisTitles(false, units);
        m_chart->setAxisTitles(titles.x, titles.y);
    }
    m_chart->setPoints(table, std::move(numbers));
    m_chart->setMarks(m_resultMarks ? ResultMarksOf(experiment, units, stress) : ChartMarks{});
    dropPrintCopy();
}

ChartCurve ChartPoints(const Experiment& experiment, std::int32_t units, std::int32_t viewMode) {
    const Experiment* test = &experiment;
    // False, at the first, when a quotient is not a finite number.
    const auto visitAll = [test, units](bool stressStrain, const ChartPointVisit& visit) {
        const PointConverter converter(*test, units);
        const auto length = static_cast<float>(StrainLength(test->specimen(), units));
        const auto area = static_cast<float>(SpecimenArea(test->specimen(), units));
        for (std::int32_t i = 1; i <= test->Count(); ++i) {
            float displacement = 0.0f;
            float load = 0.0f;
            if (!converter.convert(i, displacement, load))
                continue;
            if (!stressStrain) {
                visit(displacement, load);
                continue;
            }
            const float strain = displacement / length;
            const float stress = load / area;
            if (!std::isfinite(strain) || !std::isfinite(stress))
                return false;
            visit(strain, stress);
        }
        return true;
    };
    bool stressStrain = showsStressStrain(experiment, viewMode);
    if (stressStrain && !visitAll(true, [](double, double) {}))
        stressStrain = false;
    return {
        ChartAxisTitles(stressStrain, units),
        [visitAll, stressStrain](const ChartPointVisit& visit) { visitAll(stressStrain, visit); }};
}
