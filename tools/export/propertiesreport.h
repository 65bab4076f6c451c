#pragma once

#include "model/testproperties.h"

#include <cstdint>
#include <string>
#include <vector>

class Experiment;

// The comma-delimited table of `torvik-export --properties`: a header row,
// one row per test (file name, test type, points, then the properties, empty
// where a property has none) and, over several tests, rows for the mean, the
// standard deviation and the coefficient of variation (percent) of each
// measured column. Point counts and point numbers are not measurements; their
// statistic cells stay empty. Lines end in a line feed.
class PropertiesReport {
public:
    explicit PropertiesReport(std::int32_t units);

    void Add(const std::string& fileName, const Experiment& experiment);
    std::string Text() const;

private:
    struct Row {
        std::string fileName;
        std::string testType;
        std::int32_t points;
        TestProperties properties;
    };
    std::string StatisticRows() const;

    std::int32_t m_units;
    std::vector<PropertyColumn> m_columns;
    std::vector<Row> m_rows;
};

// A field as a spreadsheet reads it: in double quotes, inner quotes doubled,
// when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
