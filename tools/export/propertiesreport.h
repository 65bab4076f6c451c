#pragma once

#include "model/settable.h"

#include <cstdint>
#include <string>
#include <vector>

class Experiment;

// The comma-delimited table of `torvik-export --properties`: a header row,
// one row per test (file name, test type, points, then the properties and the
// results of the kinds in the set (settable.h), empty where a test has none,
// and last why the test is left out of the statistics) and, over several
// tests, rows for the mean, the standard deviation, the coefficient of
// variation (percent) and the 95% confidence limits of the mean of each
// measured column. Point counts and point numbers are not measurements; their
// statistic cells stay empty. Lines end in a line feed.
class PropertiesReport {
public:
    explicit PropertiesReport(std::int32_t units);

    void Add(const std::string& fileName, const Experiment& experiment);
    std::string Text() const;

private:
    std::int32_t m_units;
    std::vector<std::string> m_fileNames;
    std::vector<SetEntry> m_entries;
};

// A field as a spreadsheet reads it: in double quotes, inner quotes doubled,
// when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text);
