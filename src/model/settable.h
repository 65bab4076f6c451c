#pragma once

#include "model/testproperties.h"
#include "standards/result.h"
#include "standards/setstatistics.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Experiment;

// One test of a specimen set as its row shows it.
struct SetEntry {
    std::string testType;
    std::int32_t points = 0;
    TestProperties properties; // in the set's units
    TestResults results;       // in English units, converted when tabled
    std::string leftOut;       // why it is left out of the statistics; empty: counted
};
SetEntry SetEntryOf(const Experiment& experiment, std::int32_t units);

struct SetColumn {
    std::string heading; // with its unit
    bool pointNumber = false;
};

// The table that the Compare window, the set report and `torvik-export
// --properties` show: after the file, test type and points, the test
// properties' columns, then the results' columns of every kind in the set
// (the union by heading, in the order the tests first give them: one kind's
// own order for a set of one kind; a result two kinds share, such as the
// maximum force, is one column). A test without a result of a column leaves
// it empty. The statistics of each measured column count the tests with a
// value that are not left out; point numbers have none.
struct SetTable {
    std::vector<SetColumn> columns;
    std::vector<std::vector<std::optional<double>>> values; // per test, per column
    std::vector<SetStatistics> statistics;                  // per column
};
SetTable MakeSetTable(const std::vector<SetEntry>& entries, std::int32_t units);

// The statistic rows' names, and one column's values in the same order:
// mean, standard deviation, coefficient of variation (%), and the lower and
// upper limits of the 95% confidence interval of the mean. A value a table
// cannot show in single precision is empty.
const std::vector<std::string>& StatisticNames();
std::vector<std::optional<double>> StatisticValues(const SetStatistics& statistics);

// The heading of the column that says why a test is left out.
extern const char* const kLeftOutHeading;
