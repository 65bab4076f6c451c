#include "exportoptions.h"

const char* const kExportUsage =
    "usage: torvik-export [--metric] INPUT.tdf OUTPUT.txt\n"
    "       torvik-export --summary [--metric] INPUT.tdf\n"
    "       torvik-export --properties [--metric] INPUT.tdf...\n"
    "       torvik-export --report OUTPUT.pdf [--metric] [--field NAME=VALUE]... INPUT.tdf...\n"
    "\n"
    "Writes the points of a Torvik data file as comma-delimited text, or with\n"
    "--summary prints its test type, point count, maximum load and displacement\n"
    "and, for a hardness test, its hardness number, or with --properties prints\n"
    "the test properties of each file as comma-delimited rows, with their\n"
    "statistics over several files, or with --report writes a PDF report of\n"
    "one file, or of the specimen set of several. The report's fields are\n"
    "given as --field specimen=..., material=..., operator=... and notes=....\n"
    "Values are in pounds-force and inches, or with --metric in newtons and\n"
    "millimetres.\n"
    "\n"
    "An export never writes over its input or another data file. A data file\n"
    "claiming more than 20000000 points is not read.\n"
    "\n"
    "Exit status: 0 done; 1 the file could not be read, holds no points or the\n"
    "output could not be written; 2 usage error, or an output that is the input\n"
    "or a data file.\n";

const char* const kFieldNamesText = "specimen, material, operator and notes";

namespace {
const char* const kFieldNames[] = {"specimen", "material", "operator", "notes"};

// NAME=VALUE with a known name; a NAME that is none of them is kept to be
// told. False for a known name without a value.
bool AddField(const std::string& field, ExportOptions& options) {
    const std::size_t equals = field.find('=');
    const std::string name = field.substr(0, equals);
    for (const char* known : kFieldNames) {
        if (name == known) {
            if (equals == std::string::npos)
                return false;
            options.fields.emplace_back(name, field.substr(equals + 1));
            return true;
        }
    }
    options.unknownField = name;
    return true;
}
} // namespace

std::optional<ExportOptions> ParseExportOptions(const std::vector<std::string>& arguments) {
    ExportOptions options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool valueFollows = i + 1 < arguments.size();
        if (optionsEnded || argument.empty() || argument[0] != '-' || argument == "-") {
            files.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--metric") {
            options.metric = true;
        } else if (argument == "--summary") {
            options.summary = true;
        } else if (argument == "--properties") {
            options.properties = true;
        } else if (argument == "--report" && valueFollows && !options.report) {
            options.report = true;
            options.output = arguments[++i];
        } else if (argument == "--field" && valueFollows) {
            if (!AddField(arguments[++i], options))
                return std::nullopt;
            if (!options.unknownField.empty())
                return options;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            return std::nullopt;
        }
    }
    if (options.help) {
        return options;
    }
    if (!options.fields.empty() && !options.report) {
        return std::nullopt;
    }
    if (options.report) {
        if (options.summary || options.properties || files.empty() || options.output.empty()) {
            return std::nullopt;
        }
        options.inputs = files;
        return options;
    }
    if (options.properties) {
        if (options.summary || files.empty()) {
            return std::nullopt;
        }
        options.inputs = files;
        return options;
    }
    const std::size_t wanted = options.summary ? 1 : 2;
    if (files.size() != wanted) {
        return std::nullopt;
    }
    options.input = files[0];
    if (!options.summary) {
        options.output = files[1];
    }
    return options;
}
