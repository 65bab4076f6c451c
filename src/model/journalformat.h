#pragma once

#include "model/specimen.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Experiment;

// The journal of a test while it is gathered: a short text header, then one
// line per raw reading ("load displacement", raw counts), appended as the test
// runs, and a "SPECIMEN" line each time the specimen record is given or
// changed (the last one counts). Being plain appended lines, a journal cut by a crash or a power
// cut still holds every reading before the cut. Window thread only.
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
    SpecimenRecord specimen; // as the last whole specimen line gave it
    // Bytes followed the last whole reading that were not a reading: the
    // journal was cut in the middle of a line or damaged there, or it held
    // more readings than a test may (kMostTestPoints), which are not read.
    bool damaged = false;
};

std::string JournalHeaderText(const JournalHeader& header);
// Appends one reading's line to `out`.
void AppendJournalPoint(std::string& out, std::int32_t load, std::int32_t displacement);
// Appends the line that records `specimen` to `out`.
void AppendJournalSpecimen(std::string& out, const SpecimenRecord& specimen);
// The header and every whole reading before the first line that is not one,
// at most kMostTestPoints of them; empty when the header itself cannot be read.
std::optional<JournalContents> ParseJournal(std::string_view bytes);
// The most bytes worth reading of a journal: enough for its header and
// kMostTestPoints readings, and one byte more to tell that more follow.
std::size_t MostJournalBytes();
// Puts a recovered test into `experiment`: its test type, calibration,
// points and specimen, which began when the journal did unless it says.
void FillExperiment(const JournalContents& contents, Experiment& experiment);
