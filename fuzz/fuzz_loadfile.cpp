// Fuzz target: arbitrary bytes as a data file. Whatever the bytes, LoadFile
// must not read out of bounds, allocate for points the file does not hold,
// or throw; a file it accepts must save and load again to the same points.

#include "model/experiment.h"
#include "model/gfunctions.h"
#include "model/operatormessages.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

constexpr std::int32_t kMaxRoundTripPoints = 4096;

std::string gInputName;
std::string gSavedName;

class DiscardMessages : public OperatorMessages {
public:
    void Inform(const std::string&) override {}
};

std::string TemporaryName(const char* what) {
    return (std::filesystem::temp_directory_path() /
            ("fuzz_loadfile_" + std::to_string(getpid()) + "_" + what))
        .string();
}

void CheckRoundTrip(const Experiment& loaded, const std::string& savedName) {
    if (loaded.Count() == 0 || loaded.Count() > kMaxRoundTripPoints) {
        return;
    }
    if (!loaded.SaveFile(savedName)) {
        std::abort();
    }
    Experiment again;
    DiscardMessages messages;
    if (!again.LoadFile(savedName, messages) || again.Count() != loaded.Count() ||
        again.TestType() != loaded.TestType() ||
        again.MaxLoadDigital() != loaded.MaxLoadDigital() ||
        again.LoadCellOffset() != loaded.LoadCellOffset()) {
        std::abort();
    }
    for (std::int32_t i = 1; i <= loaded.Count(); ++i) {
        if (again.DigitalLoad().Value(i) != loaded.DigitalLoad().Value(i) ||
            again.DigitalDisplacement().Value(i) != loaded.DigitalDisplacement().Value(i)) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    InitNameTables();
    gInputName = TemporaryName("input.tdf");
    gSavedName = TemporaryName("saved.tdf");
    std::atexit([] {
        std::remove(gInputName.c_str());
        std::remove(gSavedName.c_str());
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream input(gInputName, std::ios::binary | std::ios::trunc);
        input.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    (void)LeadingNumber(std::string_view(reinterpret_cast<const char*>(data), size));

    Experiment experiment;
    DiscardMessages messages;
    if (experiment.LoadFile(gInputName, messages)) {
        const auto bodyBytes = static_cast<std::uint64_t>(experiment.Count()) * 8;
        if (experiment.Count() > 0 && size < 99 + bodyBytes) {
            std::abort(); // points that the file cannot hold
        }
        CheckRoundTrip(experiment, gSavedName);
    }
    return 0;
}
