#pragma once

#include <QDateTime>
#include <QPointF>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class Experiment;

// What the operator types before a report is written: for one test, the
// text fields of its specimen record, kept in its data file; for a set, the
// Report dialog keeps the last values in the settings.
struct ReportFields {
    QString specimen;
    QString material;
    QString operatorName;
    QString notes; // may run over several lines
};

// Where a report's test comes from, beyond its record: the data file it was
// opened from or saved to (empty for a test not yet saved), and when the test
// began, when known. A test opened from a file knows only the file's
// modification time, which the header says as such.
struct ReportSource {
    QString fileName;
    std::optional<QDateTime> began;
    bool beganIsModified = false;
};

// One curve of the chart, in the report's view and units: x to the right,
// y upwards. Its points are visited in order, converted from the test's
// readings as they are visited rather than kept, so that a long test costs
// the report no memory; the test must outlive the content. Points that did
// not convert are left out.
struct ReportCurve {
    QString name; // the legend's entry; set reports only
    std::function<void(const std::function<void(double x, double y)>& visit)> points;
};

// A table of text cells. Where its columns do not fit the page's width they
// are dealt into groups, each repeating the first `keyColumns` columns; rows
// that do not fit the page continue on the next with the headings again.
struct ReportTable {
    QStringList headings;
    std::vector<QStringList> rows;
    int keyColumns = 1;
};

// Everything a report's pages show, made from an experiment or a specimen
// set, in one units code. The texts of the table are those of the Test
// Properties and Compare Tests windows and of `torvik-export --properties`.
struct ReportContent {
    QString title;
    std::vector<std::pair<QString, QString>> header; // label and value, in order
    ReportFields fields;
    QString xTitle;
    QString yTitle;
    std::vector<ReportCurve> curves;
    bool legend = false;
    ReportTable table;
};

// One test of a set, with the name its file goes by in the set.
struct ReportSpecimen {
    QString fileName;
    const Experiment* experiment;
};

// The report of one test in `units`, the chart in `viewMode` (2: stress
// against strain, which only a tension test with usable dimensions shows).
ReportContent SpecimenReport(const Experiment& experiment,
                             const ReportSource& source,
                             const ReportFields& fields,
                             std::int32_t units,
                             std::int32_t viewMode);
// Adds the marks of the test's results to the chart of its report (as the
// results chart draws them with View, Result Marks): the modulus line, and a
// small cross at the proof point, the peak and the break, as curves after the
// test's own.
void AddResultMarks(ReportContent& report,
                    const Experiment& experiment,
                    std::int32_t units,
                    std::int32_t viewMode);
// The report of a specimen set: the overlaid load against displacement
// curves with a legend, a row of properties per test, then the mean, the
// standard deviation and the coefficient of variation of each measured column.
ReportContent SetReport(const std::vector<ReportSpecimen>& specimens,
                        const ReportFields& fields,
                        std::int32_t units);

// The title of a report of a test that was never saved.
QString UnsavedTestTitle();
