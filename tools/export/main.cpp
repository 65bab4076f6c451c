// torvik-export: loads a data file with the model's reader and either writes
// its comma-delimited text export or prints a five-line summary.

#include "exportoptions.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/operatormessages.h"

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// Operator messages go to standard error, one per line.
class StandardErrorMessages : public OperatorMessages {
public:
    void Inform(const std::string& text) override { std::cerr << text << '\n'; }
};

void PrintSummary(const Experiment& experiment, std::int32_t units) {
    std::cout << "test type = " << experiment.TestString() << '\n';
    std::cout << "# data points=" << NumberText(experiment.Count()) << '\n';
    if (experiment.Count() == 0) {
        return;
    }
    std::cout << "max load = " << PlainNumberText(experiment.MaxLoad(units)) << '\n';
    std::cout << "max displacement = " << PlainNumberText(experiment.MaxDisplacement(units))
              << '\n';
    std::cout << "hardness = " << HardnessNumber(experiment) << '\n';
}

int Run(const ExportOptions& options) {
    InitNameTables();
    Experiment experiment;
    StandardErrorMessages messages;
    if (!experiment.LoadFile(options.input, messages)) {
        return kExitFailure;
    }
    const std::int32_t units = options.metric ? kUnitsMetric : kUnitsEnglish;
    if (options.summary) {
        PrintSummary(experiment, units);
        std::cout.flush();
        return std::cout ? kExitSuccess : kExitFailure;
    }
    if (!experiment.Export(options.output, units)) {
        std::cerr << "torvik-export: " << options.input
                  << " holds no points to export; nothing written.\n";
        return kExitFailure;
    }
    return kExitSuccess;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto options = ParseExportOptions(arguments);
    if (!options) {
        std::cerr << kExportUsage;
        return kExitUsage;
    }
    if (options->help) {
        std::cout << kExportUsage;
        return kExitSuccess;
    }
    try {
        return Run(*options);
    } catch (const FileWriteError& error) {
        std::cerr << "torvik-export: could not write " << options->output << ": " << error.what()
                  << '\n';
    } catch (const std::exception& error) {
        // Conversions of a file with an absurd calibration can overflow.
        std::cerr << "torvik-export: " << options->input << ": " << error.what() << '\n';
    }
    return kExitFailure;
}
