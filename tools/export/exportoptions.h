#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The command line of torvik-export:
//   torvik-export [--metric] INPUT.tdf OUTPUT.txt
//   torvik-export --summary [--metric] INPUT.tdf
//   torvik-export --properties [--metric] INPUT.tdf...
//   torvik-export --report OUTPUT.pdf [--metric] [--field NAME=VALUE]... INPUT.tdf...
struct ExportOptions {
    bool summary = false;
    bool properties = false;
    bool report = false; // the report is written to `output`
    bool metric = false;
    bool help = false;
    std::string input;
    std::string output;              // empty for a summary
    std::vector<std::string> inputs; // every file of --properties and --report
    // The report's fields by name (specimen, material, operator, notes).
    std::vector<std::pair<std::string, std::string>> fields;
    // The name of a --field that is none of them; the rest is then unread.
    std::string unknownField;
};

// Empty when the arguments fit neither form.
std::optional<ExportOptions> ParseExportOptions(const std::vector<std::string>& arguments);

extern const char* const kExportUsage;
// The report's field names as a sentence: "specimen, material, ... and notes".
extern const char* const kFieldNamesText;
