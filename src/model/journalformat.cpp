#include "model/journalformat.h"

#include "model/experiment.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

constexpr std::string_view kMark = "TORVIK TEST JOURNAL 1";
constexpr std::string_view kTypeKey = "TYPE ";
constexpr std::string_view kRatioKey = "RATIO ";
constexpr std::string_view kOffsetKey = "OFFSET ";
constexpr std::string_view kStartedKey = "STARTED ";
constexpr std::string_view kSpecimenKey = "SPECIMEN ";
// Room for the specimen lines of a test's journal beyond its readings: a
// record rewritten this many times at its largest.
constexpr std::size_t kSpecimenLinesRoom = 16;

template <typename T> std::string Text(T value) {
    std::array<char, 32> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), result.ptr);
}

// Takes the next line off the front of `bytes`; empty when no whole line is left.
std::optional<std::string_view> NextLine(std::string_view& bytes) {
    const auto end = bytes.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
    return line;
}

// The whole of `text` as one number; empty when anything else is there.
template <typename T> std::optional<T> WholeNumber(std::string_view text) {
    T value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || result.ec != std::errc() || result.ptr != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

template <typename T> std::optional<T> KeyedNumber(std::string_view& bytes, std::string_view key) {
    const auto line = NextLine(bytes);
    if (!line || !line->starts_with(key)) {
        return std::nullopt;
    }
    return WholeNumber<T>(line->substr(key.size()));
}

std::optional<JournalHeader> ParseHeader(std::string_view& bytes) {
    const auto mark = NextLine(bytes);
    if (!mark || *mark != kMark) {
        return std::nullopt;
    }
    const auto type = KeyedNumber<std::int32_t>(bytes, kTypeKey);
    const auto ratio = KeyedNumber<float>(bytes, kRatioKey);
    const auto offset = KeyedNumber<std::int32_t>(bytes, kOffsetKey);
    const auto started = KeyedNumber<std::int64_t>(bytes, kStartedKey);
    if (!type || *type < 1 || *type > 5 || !ratio || !std::isfinite(*ratio) || !offset ||
        !started) {
        return std::nullopt;
    }
    return JournalHeader{*type, *ratio, *offset, *started};
}

} // namespace

std::string JournalHeaderText(const JournalHeader& header) {
    std::string text(kMark);
    text += '\n';
    text += std::string(kTypeKey) + Text(header.testType) + '\n';
    // The shortest text that reads back as the same single-precision ratio.
    text += std::string(kRatioKey) + Text(header.loadCellRatio) + '\n';
    text += std::string(kOffsetKey) + Text(header.loadCellOffset) + '\n';
    text += std::string(kStartedKey) + Text(header.startedSeconds) + '\n';
    return text;
}

void AppendJournalPoint(std::string& out, std::int32_t load, std::int32_t displacement) {
    std::array<char, 24> line{};
    char* end = std::to_chars(line.data(), line.data() + 11, load).ptr;
    *end++ = ' ';
    end = std::to_chars(end, end + 11, displacement).ptr;
    *end++ = '\n';
    out.append(line.data(), end);
}

void AppendJournalSpecimen(std::string& out, const SpecimenRecord& specimen) {
    out += kSpecimenKey;
    out += SpecimenLineText(specimen);
    out += '\n';
}

std::optional<JournalContents> ParseJournal(std::string_view bytes) {
    const auto header = ParseHeader(bytes);
    if (!header) {
        return std::nullopt;
    }
    JournalContents contents;
    contents.header = *header;
    // A reading is any 32-bit count, as the link and the record take it.
    while (contents.loads.size() < static_cast<std::size_t>(kMostTestPoints)) {
        const auto line = NextLine(bytes);
        if (!line) {
            break;
        }
        if (line->starts_with(kSpecimenKey)) {
            const auto specimen = ReadSpecimenLine(line->substr(kSpecimenKey.size()));
            if (!specimen) {
                contents.damaged = true;
                return contents;
            }
            contents.specimen = *specimen;
            continue;
        }
        const auto blank = line->find(' ');
        const auto load = WholeNumber<std::int32_t>(line->substr(0, blank));
        const auto displacement = WholeNumber<std::int32_t>(
            blank == std::string_view::npos ? std::string_view() : line->substr(blank + 1));
        if (!load || !displacement) {
            contents.damaged = true;
            return contents;
        }
        contents.loads.push_back(*load);
        contents.displacements.push_back(*displacement);
    }
    // Bytes left over are a cut line, or readings beyond the most a test holds.
    contents.damaged = !bytes.empty();
    return contents;
}

std::size_t MostJournalBytes() {
    // A header line is short; a reading line is at most two signed 32-bit
    // counts, a blank and a line end.
    constexpr std::size_t kMostHeaderBytes = 4096;
    constexpr std::size_t kMostLineBytes = 2 * 11 + 2;
    const std::size_t specimenRoom = kSpecimenLinesRoom * 2 * MostSpecimenBlockBytes();
    return kMostHeaderBytes + kMostLineBytes * static_cast<std::size_t>(kMostTestPoints) +
           specimenRoom + 1;
}

void FillExperiment(const JournalContents& contents, Experiment& experiment) {
    experiment.Clear();
    experiment.SetLoadCellRatio(contents.header.loadCellRatio);
    experiment.SetLoadCellOffset(contents.header.loadCellOffset);
    experiment.SetTestType(contents.header.testType);
    for (std::size_t i = 0; i < contents.loads.size(); ++i) {
        experiment.AddDataPoint(contents.loads[i], contents.displacements[i]);
    }
    SpecimenRecord specimen = contents.specimen;
    if (!specimen.beganSeconds)
        specimen.beganSeconds = contents.header.startedSeconds;
    experiment.SetSpecimen(specimen);
}
