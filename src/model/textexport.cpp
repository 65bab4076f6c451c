#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/replacingfile.h"
#include "model/unconverted.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

} // namespace

bool Experiment::Export(const std::string& fileName, std::int32_t units) const {
    if (Count() == 0) {
        return false;
    }
    // Names first: a bad code fails before any file is touched.
    const std::string header = std::string("TORVIK EXPERIMENT DATA FILE") + kLineEnd +
                               "units = " + UnitNames(units) + kLineEnd +
                               "test type = " + TestTypeNames(m_testType) + kLineEnd +
                               "# data points=" + NumberText(Count()) + kLineEnd;
    ReplacingFile file(fileName);
    file.Write(header);
    std::string line;
    for (std::int32_t i = 1; i <= Count(); ++i) {
        try {
            line = NumberText(Displacement(i, units));
            line += ", ";
            line += NumberText(load(i, units));
        } catch (const std::overflow_error&) {
            // Nothing is written: an export with holes would pass for the test.
            throw ConversionError(PointFailureText(*this, i));
        }
        line += kLineEnd;
        file.Write(line);
    }
    file.Commit();
    return true;
}
