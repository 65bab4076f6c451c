#include "exportoptions.h"

const char* const kExportUsage =
    "usage: torvik-export [--metric] INPUT.tdf OUTPUT.txt\n"
    "       torvik-export --summary [--metric] INPUT.tdf\n"
    "       torvik-export --properties [--metric] INPUT.tdf...\n"
    "\n"
    "Writes the points of a Torvik data file as comma-delimited text, or with\n"
    "--summary prints its test type, point count, maximum load and displacement\n"
    "and hardness number, or with --properties prints the test properties of\n"
    "each file as comma-delimited rows, with their statistics over several\n"
    "files. Values are in pounds-force and inches, or with --metric in newtons\n"
    "and millimetres.\n"
    "\n"
    "An export never writes over its input or another data file. A data file\n"
    "claiming more than 20000000 points is not read.\n"
    "\n"
    "Exit status: 0 done; 1 the file could not be read, holds no points or the\n"
    "output could not be written; 2 usage error, or an output that is the input\n"
    "or a data file.\n";

std::optional<ExportOptions> ParseExportOptions(const std::vector<std::string>& arguments) {
    ExportOptions options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
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
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            return std::nullopt;
        }
    }
    if (options.help) {
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
