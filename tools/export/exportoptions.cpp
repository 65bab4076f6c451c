#include "exportoptions.h"

#include "model/specimen.h"

const char* const kExportUsage =
    "usage: torvik-export [--metric] INPUT.tdf OUTPUT.txt\n"
    "       torvik-export --summary [--metric] INPUT.tdf\n"
    "       torvik-export --properties [--metric] [--specimen NAME=VALUE]... INPUT.tdf...\n"
    "       torvik-export --report OUTPUT.pdf [--metric] [--specimen NAME=VALUE]...\n"
    "                     INPUT.tdf...\n"
    "\n"
    "Writes the points of a Torvik data file as comma-delimited text, or with\n"
    "--summary prints its test type, point count, maximum load and displacement\n"
    "and hardness number, or with --properties prints the test properties of\n"
    "each file as comma-delimited rows, with their statistics over several\n"
    "files, or with --report writes a PDF report of one file, or of the\n"
    "specimen set of several. Both use the specimen data each file holds;\n"
    "--specimen NAME=VALUE gives or overrides it for every file of the run,\n"
    "NAME one of specimen, material, operator, notes, thickness, width,\n"
    "diameter, length, gauge-length, final-length, final-width,\n"
    "final-thickness, final-diameter; lengths in inches, or in millimetres\n"
    "with the suffix mm (thickness=3.2mm). --field NAME=VALUE is the same for\n"
    "the four text names. Values are in pounds-force, inches and psi, or with\n"
    "--metric in newtons, millimetres and MPa.\n"
    "\n"
    "An export never writes over its input or another data file. A data file\n"
    "claiming more than 20000000 points is not read.\n"
    "\n"
    "Exit status: 0 done; 1 the file could not be read, holds no points or the\n"
    "output could not be written; 2 usage error, or an output that is the input\n"
    "or a data file.\n";

namespace {
const char* const kTextFieldNames[] = {"specimen", "material", "operator", "notes"};

// NAME=VALUE with a known name and a value it takes (a length above zero
// for a length); false otherwise. `textOnly` allows the four text names.
bool AddField(const std::string& field, bool textOnly, ExportOptions& options) {
    const std::size_t equals = field.find('=');
    if (equals == std::string::npos)
        return false;
    const std::string name = field.substr(0, equals);
    bool text = false;
    for (const char* known : kTextFieldNames)
        text = text || name == known;
    if (textOnly && !text)
        return false;
    SpecimenRecord scratch;
    if (!SetSpecimenField(scratch, name, field.substr(equals + 1)).empty())
        return false;
    options.fields.emplace_back(name, field.substr(equals + 1));
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
        } else if ((argument == "--field" || argument == "--specimen") && valueFollows) {
            if (!AddField(arguments[++i], argument == "--field", options))
                return std::nullopt;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            return std::nullopt;
        }
    }
    if (options.help) {
        return options;
    }
    if (!options.fields.empty() && !options.report && !options.properties) {
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
