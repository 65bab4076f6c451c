#include "reportcontent.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/settable.h"
#include "model/standardresults.h"
#include "model/testproperties.h"
#include "results/resultmarks.h"
#include "results/resultsview.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <exception>

namespace {
// The sensitivity a load-cell ratio of 1 stands for.
constexpr double kReferenceSensitivityMilliVoltPerVolt = 3.906;
constexpr std::int32_t kViewLoadDisplacement = 1;
// Loads in lbf are shown to the nearest fifth.
constexpr double kLoadStepsPerLbf = 5.0;
const QString kDateFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString UnitsText(std::int32_t units) {
    return units == kUnitsEnglish ? QStringLiteral("English (lbf, inch)")
                                  : QStringLiteral("Metric (N, mm)");
}

QString ProgramText() {
    return QStringLiteral("Torvik " TORVIK_VERSION);
}

// The calibration the test was converted with: the sensitivity the ratio
// stands for, and the zero offset as the force it takes off every reading,
// rounded as loads are shown (0.2 lbf, 1 N), with its raw counts.
QString LoadCellText(const Experiment& experiment, std::int32_t units) {
    const float ratio = experiment.LoadCellRatio();
    const std::int32_t offset = experiment.LoadCellOffset();
    const double offsetLbf = ReadingLbf(0, ratio, 0) - ReadingLbf(0, ratio, offset);
    const bool english = units == kUnitsEnglish;
    const double steps = english ? kLoadStepsPerLbf : 1.0;
    const double shown = std::round(offsetLbf * LoadUnitsPerLbf(units) * steps) / steps;
    return QStringLiteral("sensitivity %1 mV/V, offset %2 %3 (%4 counts)")
        .arg(Text(PlainNumberText(ratio != 0.0f ? kReferenceSensitivityMilliVoltPerVolt / ratio
                                                : 0.0)),
             Text(PlainNumberText(static_cast<float>(shown))),
             english ? QStringLiteral("lbf") : QStringLiteral("N"), QString::number(offset));
}

// A length in inches as the report's units show it; "not given" for 0.
QString LengthText(double inches, std::int32_t units) {
    if (!(inches > 0.0))
        return QStringLiteral("not given");
    const bool english = units == kUnitsEnglish;
    const double shown = english ? inches : inches * kMillimetresPerInch;
    return Text(PlainNumberText(static_cast<float>(shown))) +
           (english ? QStringLiteral(" in") : QStringLiteral(" mm"));
}

// The cross-section of a rectangular or round specimen, before or after.
QString SectionText(bool round, float diameter, float thickness, float width, std::int32_t units) {
    return round ? QStringLiteral("diameter %1").arg(LengthText(diameter, units))
                 : QStringLiteral("thickness %1, width %2")
                       .arg(LengthText(thickness, units), LengthText(width, units));
}

// The specimen's dimensions, area and gauge length for the report's header.
void AddSpecimenLines(ReportContent& report, const SpecimenRecord& s, std::int32_t units) {
    const bool round = s.shape == SpecimenShape::Round;
    const bool given = s.thickness > 0.0f || s.width > 0.0f || s.diameter > 0.0f || s.length > 0.0f;
    report.header.emplace_back(
        QStringLiteral("Dimensions"),
        !given ? QStringLiteral("not given")
               : QStringLiteral("%1 specimen, %2, length %3")
                     .arg(round ? QStringLiteral("round") : QStringLiteral("rectangular"),
                          SectionText(round, s.diameter, s.thickness, s.width, units),
                          LengthText(s.length, units)));
    const double area = SpecimenArea(s, units);
    const QString squared =
        units == kUnitsEnglish ? QStringLiteral(" sq. in") : QStringLiteral(" sq. mm");
    report.header.emplace_back(QStringLiteral("Area"),
                               area > 0.0
                                   ? Text(PlainNumberText(static_cast<float>(area))) + squared
                                   : QStringLiteral("not known"));
    report.header.emplace_back(QStringLiteral("Gauge length"), LengthText(StrainLength(s), units));
    if (s.finalLength > 0.0f || s.finalThickness > 0.0f || s.finalWidth > 0.0f ||
        s.finalDiameter > 0.0f)
        report.header.emplace_back(
            QStringLiteral("After the test"),
            QStringLiteral("gauge length %1, %2")
                .arg(LengthText(s.finalLength, units),
                     SectionText(round, s.finalDiameter, s.finalThickness, s.finalWidth, units)));
}

std::pair<QString, QString> BeganLine(const ReportSource& source) {
    if (!source.began)
        return {QStringLiteral("Test began"), QStringLiteral("not known")};
    const QString when = source.began->toString(kDateFormat);
    if (source.beganIsModified)
        return {QStringLiteral("File modified"), when + QStringLiteral(" (test start not known)")};
    return {QStringLiteral("Test began"), when};
}

QString PointsText(std::int32_t count) {
    return QString::number(count);
}

// The Test Properties window's table: the reason in brackets where a value
// is missing.
ReportTable PropertyTable(const Experiment& experiment, std::int32_t units) {
    ReportTable table;
    table.headings = {QStringLiteral("Property"), QStringLiteral("Value")};
    table.rows.push_back({QStringLiteral("Test type"), Text(experiment.TestString())});
    table.rows.push_back({QStringLiteral("Points"), PointsText(experiment.Count())});
    const TestProperties properties = ComputeTestProperties(experiment, units);
    for (const PropertyColumn& column : PropertyColumns(units)) {
        const PropertyValue& value = properties.*column.member;
        const std::string text = value.present() ? PropertyText(value, column.pointNumber)
                                                 : "(" + AbsenceText(value.absence) + ")";
        table.rows.push_back({Text(column.heading), Text(text)});
    }
    const TestResults results = StandardResults(experiment);
    if (const auto kind = ResultKind(experiment.TestType(), experiment.specimen());
        kind && !results.results.empty()) {
        table.rows.push_back({QStringLiteral("Results of the ") + Text(ResultKindText(*kind)), {}});
        for (const Result& result : results.results)
            table.rows.push_back(
                {Text(ResultHeading(result, units)), Text(ResultCellText(result, units))});
    }
    return table;
}

QString ValueText(const std::optional<double>& value, bool pointNumber) {
    return value ? Text(PropertyText(PropertyValue::Of(*value), pointNumber)) : QString();
}

// The Compare Tests window's table: a row per test, then the statistics.
ReportTable SetReportTable(const std::vector<ReportSpecimen>& specimens, std::int32_t units) {
    std::vector<SetEntry> entries;
    for (const ReportSpecimen& specimen : specimens)
        entries.push_back(SetEntryOf(*specimen.experiment, units));
    const SetTable set = MakeSetTable(entries, units);
    ReportTable table;
    table.headings = {QStringLiteral("File"), QStringLiteral("Test type"),
                      QStringLiteral("Points")};
    for (const SetColumn& column : set.columns)
        table.headings << Text(column.heading);
    table.headings << Text(kLeftOutHeading);
    for (std::size_t t = 0; t < entries.size(); ++t) {
        QStringList row{QFileInfo(specimens[t].fileName).fileName(), Text(entries[t].testType),
                        PointsText(entries[t].points)};
        for (std::size_t c = 0; c < set.columns.size(); ++c)
            row << ValueText(set.values[t][c], set.columns[c].pointNumber);
        row << Text(entries[t].leftOut);
        table.rows.push_back(row);
    }
    if (specimens.size() < 2)
        return table;
    for (std::size_t i = 0; i < StatisticNames().size(); ++i) {
        QStringList row{Text(StatisticNames()[i]), {}, {}};
        for (const SetStatistics& statistics : set.statistics)
            row << ValueText(StatisticValues(statistics)[i], false);
        row << QString();
        table.rows.push_back(row);
    }
    return table;
}

} // namespace

QString UnsavedTestTitle() {
    return QStringLiteral("Unsaved test");
}

ReportContent SpecimenReport(const Experiment& experiment,
                             const ReportSource& source,
                             const ReportFields& fields,
                             std::int32_t units,
                             std::int32_t viewMode) {
    ReportContent report;
    report.title =
        source.fileName.isEmpty() ? UnsavedTestTitle() : QFileInfo(source.fileName).fileName();
    report.header = {{QStringLiteral("Test type"), Text(experiment.TestString())},
                     BeganLine(source),
                     {QStringLiteral("Points"), PointsText(experiment.Count())}};
    AddSpecimenLines(report, experiment.specimen(), units);
    try {
        report.header.emplace_back(QStringLiteral("Load cell"), LoadCellText(experiment, units));
    } catch (const std::exception&) {
        report.header.emplace_back(QStringLiteral("Load cell"), QStringLiteral("does not convert"));
    }
    report.header.emplace_back(QStringLiteral("Units"), UnitsText(units));
    report.header.emplace_back(QStringLiteral("Program"), ProgramText());
    report.fields = fields;
    const ChartCurve chart = ChartPoints(experiment, units, viewMode);
    report.xTitle = chart.titles.x;
    report.yTitle = chart.titles.y;
    report.curves.push_back({report.title, chart.points});
    report.table = PropertyTable(experiment, units);
    return report;
}

namespace {
// A curve of a few points held by the report itself.
ReportCurve FixedCurve(const QString& name, const QList<QPointF>& points) {
    return {name, [points](const std::function<void(double x, double y)>& visit) {
                for (const QPointF& point : points)
                    visit(point.x(), point.y());
            }};
}
} // namespace

void AddResultMarks(ReportContent& report,
                    const Experiment& experiment,
                    std::int32_t units,
                    std::int32_t viewMode) {
    constexpr std::int32_t kViewStressStrain = 2;
    constexpr double kCrossShare = 0.015; // of the curve's extent, each arm
    const bool stressStrain = experiment.TestType() == kTestTension &&
                              viewMode == kViewStressStrain &&
                              HasStressDimensions(experiment.specimen());
    const ChartMarks marks = ResultMarksOf(experiment, units, stressStrain);
    if (report.curves.empty())
        return;
    double width = 0.0;
    double height = 0.0;
    report.curves.front().points([&](double x, double y) {
        width = std::max(width, std::fabs(x));
        height = std::max(height, std::fabs(y));
    });
    if (marks.modulusLine.size() == 2)
        report.curves.push_back(FixedCurve(QStringLiteral("Modulus line"), marks.modulusLine));
    const double dx = width * kCrossShare;
    const double dy = height * kCrossShare;
    // Each cross one stroke: across, back to the middle, up and down.
    for (const QPointF& p : marks.points)
        report.curves.push_back(
            FixedCurve(QStringLiteral("Result point"), {p - QPointF(dx, 0), p + QPointF(dx, 0), p,
                                                        p + QPointF(0, dy), p - QPointF(0, dy)}));
}

ReportContent SetReport(const std::vector<ReportSpecimen>& specimens,
                        const ReportFields& fields,
                        std::int32_t units) {
    ReportContent report;
    report.title = specimens.size() == 1
                       ? QStringLiteral("Specimen set of 1 test")
                       : QStringLiteral("Specimen set of %1 tests").arg(specimens.size());
    QStringList types;
    for (const ReportSpecimen& specimen : specimens) {
        // A test of a kind the program does not know has no name to list.
        QString type = Text(specimen.experiment->TestString());
        if (type.isEmpty())
            type = QStringLiteral("not known");
        if (!types.contains(type))
            types << type;
    }
    QStringList leftOut;
    for (const ReportSpecimen& specimen : specimens)
        if (!specimen.experiment->specimen().excluded.empty())
            leftOut << QFileInfo(specimen.fileName).fileName() + QStringLiteral(": ") +
                           Text(specimen.experiment->specimen().excluded);
    report.header = {{QStringLiteral("Test type"), types.join(QStringLiteral(", "))},
                     {QStringLiteral("Tests"), QString::number(specimens.size())},
                     {QStringLiteral("Units"), UnitsText(units)},
                     {QStringLiteral("Program"), ProgramText()}};
    // Only a set with a test left out says so, with why.
    if (!leftOut.isEmpty())
        report.header.emplace_back(QStringLiteral("Left out of the statistics"),
                                   leftOut.join(QStringLiteral("; ")));
    report.fields = fields;
    const AxisTitles titles = ChartAxisTitles(false, units);
    report.xTitle = titles.x;
    report.yTitle = titles.y;
    report.legend = true;
    for (const ReportSpecimen& specimen : specimens) {
        report.curves.push_back(
            {QFileInfo(specimen.fileName).fileName(),
             ChartPoints(*specimen.experiment, units, kViewLoadDisplacement).points});
    }
    report.table = SetReportTable(specimens, units);
    return report;
}
