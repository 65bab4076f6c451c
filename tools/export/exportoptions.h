#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The command line of torvik-export:
//   torvik-export [--metric] INPUT.tdf OUTPUT.txt
//   torvik-export --summary [--metric] INPUT.tdf
//   torvik-export --properties [--metric] [--specimen NAME=VALUE]... INPUT.tdf...
//   torvik-export --report OUTPUT.pdf [--metric] [--specimen NAME=VALUE]... INPUT.tdf...
// (--field NAME=VALUE is --specimen for the four text names.)
struct ExportOptions {
    bool summary = false;
    bool properties = false;
    bool report = false; // the report is written to `output`
    bool metric = false;
    bool help = false;
    std::string input;
    std::string output;              // empty for a summary
    std::vector<std::string> inputs; // every file of --properties and --report
    // Specimen data by field name (specimen.h), given or overriding what
    // each file holds, in the order given.
    std::vector<std::pair<std::string, std::string>> fields;
    // The name of a --field or --specimen that is none of those it takes,
    // and those it takes as a sentence; the rest is then unread.
    std::string unknownField;
    std::string knownFields;
};

// Empty when the arguments fit neither form.
std::optional<ExportOptions> ParseExportOptions(const std::vector<std::string>& arguments);

extern const char* const kExportUsage;
// The report's field names as a sentence: "specimen, material, ... and notes".
extern const char* const kFieldNamesText;
// Every specimen field name, the same way.
extern const char* const kSpecimenNamesText;
