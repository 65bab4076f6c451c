#include "propertiesreport.h"

#include "model/experiment.h"
#include "model/gfunctions.h"

#include <optional>

namespace {

std::string ValueText(const std::optional<double>& value, bool pointNumber) {
    return value ? PropertyText(PropertyValue::Of(*value), pointNumber) : std::string();
}

} // namespace

PropertiesReport::PropertiesReport(std::int32_t units) : m_units(units) {}

void PropertiesReport::Add(const std::string& fileName, const Experiment& experiment) {
    m_fileNames.push_back(fileName);
    m_entries.push_back(SetEntryOf(experiment, m_units));
}

std::string PropertiesReport::Text() const {
    const SetTable table = MakeSetTable(m_entries, m_units);
    std::string text = "File,Test type,Points";
    for (const SetColumn& column : table.columns)
        text += ',' + CsvField(column.heading);
    text += ',' + std::string(kLeftOutHeading) + '\n';
    for (std::size_t t = 0; t < m_entries.size(); ++t) {
        const SetEntry& entry = m_entries[t];
        text +=
            CsvField(m_fileNames[t]) + ',' + entry.testType + ',' + PlainNumberText(entry.points);
        for (std::size_t c = 0; c < table.columns.size(); ++c)
            text += ',' + ValueText(table.values[t][c], table.columns[c].pointNumber);
        text += ',' + CsvField(entry.leftOut) + '\n';
    }
    if (m_entries.size() < 2)
        return text;
    for (std::size_t i = 0; i < StatisticNames().size(); ++i) {
        text += StatisticNames()[i] + ",,";
        for (const SetStatistics& statistics : table.statistics)
            text += ',' + ValueText(StatisticValues(statistics)[i], false);
        text += ",\n";
    }
    return text;
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
