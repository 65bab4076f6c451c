#include "propertiesreport.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/statistics.h"

#include <optional>

namespace {

std::string OptionalText(const std::optional<double>& value) {
    return value ? PropertyText(PropertyValue::Of(*value), false) : std::string();
}

} // namespace

PropertiesReport::PropertiesReport(std::int32_t units)
    : m_units(units), m_columns(PropertyColumns(units)) {}

void PropertiesReport::Add(const std::string& fileName, const Experiment& experiment) {
    m_rows.push_back(Row{fileName, experiment.TestString(), experiment.Count(),
                         ComputeTestProperties(experiment, m_units)});
}

std::string PropertiesReport::Text() const {
    std::string text = "File,Test type,Points";
    for (const PropertyColumn& column : m_columns) {
        text += ',' + CsvField(column.heading);
    }
    text += '\n';
    for (const Row& row : m_rows) {
        text += CsvField(row.fileName) + ',' + row.testType + ',' + PlainNumberText(row.points);
        for (const PropertyColumn& column : m_columns) {
            text += ',' + PropertyText(row.properties.*column.member, column.pointNumber);
        }
        text += '\n';
    }
    if (m_rows.size() > 1) {
        text += StatisticRows();
    }
    return text;
}

std::string PropertiesReport::StatisticRows() const {
    std::string mean = "Mean,,";
    std::string deviation = "Standard deviation,,";
    std::string variation = "Coefficient of variation (%),,";
    std::vector<TestProperties> tests;
    for (const Row& row : m_rows) {
        tests.push_back(row.properties);
    }
    for (const PropertyColumn& column : m_columns) {
        const ColumnStatistics statistics = ColumnStatisticsOf(tests, column);
        mean += ',' + OptionalText(statistics.mean);
        deviation += ',' + OptionalText(statistics.standardDeviation);
        variation += ',' + OptionalText(statistics.coefficientOfVariation);
    }
    return mean + '\n' + deviation + '\n' + variation + '\n';
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}
