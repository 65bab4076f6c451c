#include "model/settable.h"

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/standardresults.h"

#include <algorithm>
#include <cmath>
#include <limits>

const char* const kLeftOutHeading = "Left out of the statistics";

namespace {
std::optional<double> Shown(const std::optional<double>& value) {
    if (value && std::fabs(*value) <= std::numeric_limits<float>::max())
        return value;
    return std::nullopt;
}
} // namespace

SetEntry SetEntryOf(const Experiment& experiment, std::int32_t units) {
    return {experiment.TestString(), experiment.Count(), ComputeTestProperties(experiment, units),
            StandardResults(experiment), experiment.specimen().excluded};
}

SetTable MakeSetTable(const std::vector<SetEntry>& entries, std::int32_t units) {
    SetTable table;
    const std::vector<PropertyColumn> properties = PropertyColumns(units);
    for (const PropertyColumn& column : properties)
        table.columns.push_back({column.heading, column.pointNumber});
    const std::size_t firstResult = table.columns.size();
    for (const SetEntry& entry : entries) {
        for (const Result& result : entry.results.results) {
            const std::string heading = ResultHeading(result, units);
            const auto same = [&](const SetColumn& c) { return c.heading == heading; };
            if (std::none_of(table.columns.begin() + static_cast<std::ptrdiff_t>(firstResult),
                             table.columns.end(), same))
                table.columns.push_back({heading, false});
        }
    }
    const UnitSystem system = units == kUnitsEnglish ? UnitSystem::English : UnitSystem::Metric;
    for (const SetEntry& entry : entries) {
        std::vector<std::optional<double>> row;
        for (const PropertyColumn& column : properties) {
            const PropertyValue& value = entry.properties.*column.member;
            row.push_back(value.present() ? std::optional(value.value) : std::nullopt);
        }
        row.resize(table.columns.size());
        for (const Result& result : entry.results.results) {
            const std::string heading = ResultHeading(result, units);
            for (std::size_t c = firstResult; c < table.columns.size(); ++c)
                if (table.columns[c].heading == heading)
                    row[c] = Shown(result.In(system));
        }
        table.values.push_back(std::move(row));
    }
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        std::vector<SetMember> members;
        if (!table.columns[c].pointNumber)
            for (std::size_t t = 0; t < entries.size(); ++t)
                members.push_back({table.values[t][c], entries[t].leftOut});
        table.statistics.push_back(StatisticsOfSet(members));
    }
    return table;
}

const std::vector<std::string>& StatisticNames() {
    static const std::vector<std::string> names{
        "Mean", "Standard deviation", "Coefficient of variation (%)", "Lower 95% confidence limit",
        "Upper 95% confidence limit"};
    return names;
}

std::vector<std::optional<double>> StatisticValues(const SetStatistics& s) {
    return {Shown(s.mean), Shown(s.standardDeviation), Shown(s.coefficientOfVariation),
            Shown(s.confidenceLow), Shown(s.confidenceHigh)};
}
