// torvik-export: loads a data file with the model's reader and either writes
// its comma-delimited text export or prints a five-line summary; or prints
// the test properties of several files; or writes the PDF report of one file
// or of a specimen set.

#include "exportoptions.h"
#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/operatormessages.h"
#include "model/unconverted.h"
#include "propertiesreport.h"
#include "reports/reportcontent.h"
#include "reports/reportwriter.h"

#include <QDateTime>
#include <QFileInfo>
#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
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

// Whole lines only: a value that does not convert is left out and said on
// standard error with the reason, and the exit status is 1.
int PrintSummary(const Experiment& experiment, std::int32_t units, const std::string& input) {
    std::cout << "test type = " << experiment.TestString() << '\n';
    std::cout << "# data points=" << NumberText(experiment.Count()) << '\n';
    if (experiment.Count() == 0) {
        return kExitSuccess;
    }
    const auto maximaReason = [&] {
        return ConversionFailureReason(
            experiment, experiment.MaxLoadDigital(),
            static_cast<std::int32_t>(experiment.MaxDisplacementDigital()));
    };
    bool complete = true;
    const auto line = [&](const char* label, const auto& value, const auto& reason) {
        try {
            const std::string text = value();
            std::cout << label << " = " << text << '\n';
        } catch (const std::exception& error) {
            std::cerr << "torvik-export: " << input << ": the " << label
                      << " does not convert: " << reason(error) << ".\n";
            complete = false;
        }
    };
    const auto extremes = [&](const std::exception&) { return maximaReason(); };
    line(
        "max load", [&] { return PlainNumberText(experiment.MaxLoad(units)); }, extremes);
    line(
        "max displacement", [&] { return PlainNumberText(experiment.MaxDisplacement(units)); },
        extremes);
    // Only a hardness test has a hardness number.
    if (experiment.TestType() != kTestHardness) {
        return complete ? kExitSuccess : kExitFailure;
    }
    line(
        "hardness", [&] { return std::to_string(HardnessNumber(experiment)); },
        [&](const std::exception& error) {
            const UnconvertedPoints points = FindUnconvertedPoints(experiment, kUnitsEnglish);
            return points.count > 0
                       ? PointFailureText(experiment, points.first)
                       : std::string("it is beyond -32768 to 32767 (") + error.what() + ")";
        });
    return complete ? kExitSuccess : kExitFailure;
}

// Loads `input`, first telling the system's reason when it cannot be opened
// at all (missing, not permitted, a folder) rather than calling it a wrong
// kind of file.
bool LoadInput(Experiment& experiment, const std::string& input, OperatorMessages& messages) {
    const int file = open(input.c_str(), O_RDONLY);
    struct stat status {};
    int error = file < 0 ? errno : 0;
    if (file >= 0 && fstat(file, &status) == 0 && S_ISDIR(status.st_mode)) {
        error = EISDIR;
    }
    if (file >= 0) {
        close(file);
    }
    if (error != 0) {
        std::cerr << "torvik-export: " << input << ": " << std::strerror(error) << '\n';
        return false;
    }
    return experiment.LoadFile(input, messages);
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
        if (LoadInput(experiment, input, messages)) {
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
        if (!LoadInput(*experiment, input, messages)) {
            std::cerr << "torvik-export: " << input << " left out.\n";
            continue;
        }
        // As an export of it would be: a test without points is no test.
        if (experiment->Count() == 0) {
            std::cerr << "torvik-export: " << input << " holds no points to report; left out.\n";
            continue;
        }
        const std::string unconverted =
            UnconvertedPointsText(FindUnconvertedPoints(*experiment, units), experiment->Count());
        if (!unconverted.empty()) {
            std::cerr << "torvik-export: " << input << ": " << unconverted << '\n';
        }
        ApplySpecimenFields(options, *experiment);
        specimens.push_back({QString::fromStdString(input), experiment.get()});
        tests.push_back(std::move(experiment));
    }
    if (specimens.empty()) {
        std::cerr << "torvik-export: no file could be reported; nothing written.\n";
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
std::string RefusedOutputText(const ExportOptions& options) {
    std::vector<std::string> sources = options.inputs;
    sources.push_back(options.input);
    switch (RefusedOutput(options.output, sources)) {
    case OutputRefusal::Source:
        return options.report ? "an input file itself" : "the input file itself";
    case OutputRefusal::DataFile:
        return "a data file (for the properties of several data files, use --properties)";
    case OutputRefusal::None:
        break;
    }
    return {};
}

int Run(const ExportOptions& options) {
    InitNameTables();
    if (options.properties) {
        return RunProperties(options, options.metric ? kUnitsMetric : kUnitsEnglish);
    }
    if (options.report || !options.summary) {
        const std::string refusal = RefusedOutputText(options);
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
    if (!LoadInput(experiment, options.input, messages)) {
        std::cerr << "torvik-export: " << options.input << " could not be read.\n";
        return kExitFailure;
    }
    const std::int32_t units = options.metric ? kUnitsMetric : kUnitsEnglish;
    if (options.summary) {
        const int code = PrintSummary(experiment, units, options.input);
        std::cout.flush();
        return std::cout ? code : kExitFailure;
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
    if (!options->unknownField.empty()) {
        std::cerr << "torvik-export: unknown field " << options->unknownField << "; the fields are "
                  << options->knownFields << ".\n"
                  << kExportUsage;
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
    } catch (const ConversionError& error) {
        std::cerr << "torvik-export: " << options->input << ": " << error.what()
                  << "; nothing written.\n";
    } catch (const std::exception& error) {
        // Conversions of a file with an absurd calibration can overflow.
        std::cerr << "torvik-export: " << (options->report ? options->output : options->input)
                  << ": " << error.what() << '\n';
    }
    return kExitFailure;
}
