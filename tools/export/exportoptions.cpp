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
    "and, for a hardness test, its hardness number, or with --properties prints\n"
    "the test properties and the results of its kind of each file as\n"
    "comma-delimited rows, with their statistics over several files, or\n"
    "with --report writes a PDF report of\n"
    "one file, or of the specimen set of several. Both use the specimen data\n"
    "each file holds; --specimen NAME=VALUE gives or overrides it for every\n"
    "file of the run, NAME one of specimen, material, operator, notes,\n"
    "thickness, width, diameter, length, gauge-length, final-length,\n"
    "final-width, final-thickness, final-diameter, shear-diameter, shear-length,\n"
    "span, loading-span (lengths: in inches, or in millimetres with the suffix mm,\n"
    "thickness=3.2mm), shear (pin, punch or plate), shear-planes, structure\n"
    "(other, three-point or four-point), window-basis (peak, force or stress),\n"
    "window-from, window-to (percent of the peak, lbf or psi), proof-offset\n"
    "(percent), first-local-maximum (yes or no), excluded (why the file is left\n"
    "out of the set's statistics). --field NAME=VALUE is the same for\n"
    "the four text names. Values are in pounds-force, inches and psi, or with\n"
    "--metric in newtons, millimetres and MPa.\n"
    "\n"
    "An export never writes over its input or another data file. A data file\n"
    "claiming more than 20000000 points is not read.\n"
    "\n"
    "Exit status: 0 done; 1 the file could not be read, holds no points or the\n"
    "output could not be written; 2 usage error, or an output that is the input\n"
    "or a data file.\n";

const char* const kFieldNamesText = "specimen, material, operator and notes";
const char* const kSpecimenNamesText =
    "specimen, material, operator, notes, thickness, width, diameter, length, gauge-length, "
    "final-length, final-width, final-thickness, final-diameter, excluded, shear-diameter, "
    "shear-length, span, loading-span, shear, shear-planes, structure, window-basis, "
    "window-from, window-to, proof-offset and first-local-maximum";

namespace {
const char* const kTextFieldNames[] = {"specimen", "material", "operator", "notes"};

// NAME=VALUE with a known name and a value it takes (a length above zero
// for a length); false for a known name whose value it does not take. A
// NAME that is not one of those its option takes (`textOnly`: the four text
// names) is kept to be told.
bool AddField(const std::string& field, bool textOnly, ExportOptions& options) {
    const std::size_t equals = field.find('=');
    const std::string name = field.substr(0, equals);
    bool text = false;
    for (const char* known : kTextFieldNames)
        text = text || name == known;
    if (textOnly ? !text : !IsSpecimenFieldName(name)) {
        options.unknownField = name;
        options.knownFields = textOnly ? kFieldNamesText : kSpecimenNamesText;
        return true;
    }
    SpecimenRecord scratch;
    if (equals == std::string::npos ||
        !SetSpecimenField(scratch, name, field.substr(equals + 1)).empty())
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
