// torvik-export: loads a data file with the model's reader and either writes
// its comma-delimited text export or prints a five-line summary; or prints
// the test properties of several files; or writes the PDF report of one file
// or of a specimen set.

#include "exportoptions.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/operatormessages.h"
#include "propertiesreport.h"
#include "reports/reportcontent.h"
#include "reports/reportwriter.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr std::int32_t kViewLoadDisplacement = 1;
static_assert(kMostTestPoints == 20'000'000, "the usage text and manual page name the bound");

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

// The run's --specimen data over what the file holds.
void ApplySpecimenFields(const ExportOptions& options, Experiment& experiment) {
    SpecimenRecord specimen = experiment.specimen();
    for (const auto& [name, value] : options.fields) {
        SetSpecimenField(specimen, name, value);
    }
    experiment.SetSpecimen(specimen);
}

// The report's fields: the test's own specimen record.
ReportFields FieldsOf(const SpecimenRecord& specimen) {
    return {QString::fromStdString(specimen.name), QString::fromStdString(specimen.material),
            QString::fromStdString(specimen.operatorName), QString::fromStdString(specimen.notes)};
}

// Rows for every file that loads; a file that does not is reported and
// makes the exit status 1, the others are still listed.
int RunProperties(const ExportOptions& options, std::int32_t units) {
    PropertiesReport report(units);
    StandardErrorMessages messages;
    bool allLoaded = true;
    for (const std::string& input : options.inputs) {
        Experiment experiment;
        if (experiment.LoadFile(input, messages)) {
            ApplySpecimenFields(options, experiment);
            report.Add(input, experiment);
        } else {
            std::cerr << "torvik-export: " << input << " left out.\n";
            allLoaded = false;
        }
    }
    std::cout << report.Text();
    std::cout.flush();
    return std::cout && allLoaded ? kExitSuccess : kExitFailure;
}

// A specimen report of one file, a set report of several. A file that does
// not load is reported and left out of the set, and makes the exit status 1.
int RunReport(const ExportOptions& options, std::int32_t units) {
    StandardErrorMessages messages;
    std::vector<std::unique_ptr<Experiment>> tests;
    std::vector<ReportSpecimen> specimens;
    for (const std::string& input : options.inputs) {
        auto experiment = std::make_unique<Experiment>();
        if (!experiment->LoadFile(input, messages)) {
            std::cerr << "torvik-export: " << input << " left out.\n";
            continue;
        }
        ApplySpecimenFields(options, *experiment);
        specimens.push_back({QString::fromStdString(input), experiment.get()});
        tests.push_back(std::move(experiment));
    }
    if (specimens.empty()) {
        std::cerr << "torvik-export: no file could be read; nothing written.\n";
        return kExitFailure;
    }
    // A set's own fields are those the run gives every file.
    Experiment given;
    ApplySpecimenFields(options, given);
    ReportFields fields = FieldsOf(given.specimen());
    ReportContent content;
    if (options.inputs.size() == 1) {
        // When the file does not say when its test began, its modification
        // time is the nearest the report can say.
        const QFileInfo file(specimens[0].fileName);
        ReportSource source{specimens[0].fileName, file.lastModified(), true};
        if (const auto began = tests[0]->specimen().beganSeconds) {
            source.began = QDateTime::fromSecsSinceEpoch(*began);
            source.beganIsModified = false;
        }
        content = SpecimenReport(*tests[0], source, FieldsOf(tests[0]->specimen()), units,
                                 kViewLoadDisplacement);
    } else {
        content = SetReport(specimens, fields, units);
    }
    ReportWriter(content).write(QString::fromStdString(options.output));
    return specimens.size() == options.inputs.size() ? kExitSuccess : kExitFailure;
}

// Why the output of an export or report may not be written: it is the input under
// any name (a link, say), or another data file, most likely because
// --properties was left out of `torvik-export a.tdf b.tdf`. Empty when it may.
std::string RefusedOutput(const ExportOptions& options) {
    std::error_code error;
    for (const std::string& input : options.inputs) {
        if (std::filesystem::equivalent(input, options.output, error)) {
            return "an input file itself";
        }
    }
    if (std::filesystem::equivalent(options.input, options.output, error)) {
        return "the input file itself";
    }
    if (BeginsAsDataFile(options.output)) {
        return "a data file (for the properties of several data files, use --properties)";
    }
    return {};
}

int Run(const ExportOptions& options) {
    InitNameTables();
    if (options.properties) {
        return RunProperties(options, options.metric ? kUnitsMetric : kUnitsEnglish);
    }
    if (options.report || !options.summary) {
        const std::string refusal = RefusedOutput(options);
        if (!refusal.empty()) {
            std::cerr << "torvik-export: not writing over " << options.output << ", " << refusal
                      << ".\n"
                      << kExportUsage;
            return kExitUsage;
        }
    }
    if (options.report) {
        return RunReport(options, options.metric ? kUnitsMetric : kUnitsEnglish);
    }
    Experiment experiment;
    StandardErrorMessages messages;
    if (!experiment.LoadFile(options.input, messages)) {
        std::cerr << "torvik-export: " << options.input << " could not be read.\n";
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
    // A report's text is laid out with the system's fonts, which need an
    // application; it draws on no screen, so none is asked for. Qt reads no
    // options from the command line here.
    std::unique_ptr<QGuiApplication> application;
    int applicationArgc = 1;
    if (options->report) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // Standard error is the operator's: Qt's notes on its own set-up
        // (no runtime folder, say) stay out of it.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        application = std::make_unique<QGuiApplication>(applicationArgc, argv);
    }
    try {
        return Run(*options);
    } catch (const FileWriteError& error) {
        std::cerr << "torvik-export: could not write " << options->output << ": " << error.what()
                  << (error.OldFileKept() ? "" : "; the file that was there may be damaged")
                  << '\n';
    } catch (const std::exception& error) {
        // Conversions of a file with an absurd calibration can overflow.
        std::cerr << "torvik-export: " << (options->report ? options->output : options->input)
                  << ": " << error.what() << '\n';
    }
    return kExitFailure;
}
