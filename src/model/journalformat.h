#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Experiment;

// The journal of a test while it is gathered: a short text header, then one
// line per raw reading ("load displacement", raw counts), appended as the test
// runs. Being plain appended lines, a journal cut by a crash or a power cut
// still holds every reading before the cut. Window thread only.
struct JournalHeader {
    std::int32_t testType = 0;
    float loadCellRatio = 0.0f;
    std::int32_t loadCellOffset = 0;
    std::int64_t startedSeconds = 0; // wall clock, seconds since the epoch
};

struct JournalContents {
    JournalHeader header;
    std::vector<std::int32_t> loads;
    std::vector<std::int32_t> displacements;
    // Bytes followed the last whole reading that were not a reading: the
    // journal was cut in the middle of a line or damaged there.
    bool damaged = false;
};

std::string JournalHeaderText(const JournalHeader& header);
// Appends one reading's line to `out`.
void AppendJournalPoint(std::string& out, std::int32_t load, std::int32_t displacement);
// The header and every whole reading before the first line that is not one;
// empty when the header itself cannot be read.
std::optional<JournalContents> ParseJournal(std::string_view bytes);
// Puts a recovered test into `experiment`: its test type, calibration and points.
void FillExperiment(const JournalContents& contents, Experiment& experiment);
