#include "simcommands.h"

#include "interfacebox.h"

#include <algorithm>
#include <charconv>
#include <fstream>

namespace {
constexpr std::int32_t kMaxCounts = 65535;

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::optional<std::int32_t> ParseCount(std::string_view text) {
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > kMaxCounts)
        return std::nullopt;
    return value;
}
} // namespace

SimCommands::SimCommands(InterfaceBox& box, Specimen& specimen)
    : m_box(box), m_specimen(specimen) {}

const char* SimCommands::HelpText() {
    return "Commands on standard input, one a line, each acknowledged on standard output\n"
           "with \"ok <command>\" or \"error <reason>\":\n"
           "  test KIND       tension|compression|hardness|shear|structures, from rest\n"
           "  idle            rest unloaded and stop the automatic cycle\n"
           "  load            start loading now (break at the peak, then rest)\n"
           "  break           break now: the load drops to zero\n"
           "  cycle           repeat rest, load and break automatically (the default)\n"
           "  hold LOAD DISP  answer every read with these raw counts\n"
           "  script FILE     answer reads with the \"LOAD DISP\" lines of FILE in order,\n"
           "                  keeping the last pair once it runs out\n"
           "  raw TEXT        answer every read with TEXT exactly (\\r \\n \\t \\\\ escapes)\n"
           "  delay MS        wait MS milliseconds before every reply from now on\n"
           "  silent          answer nothing from now on\n"
           "  answer          answer again\n"
           "  quit            end the simulator\n";
}

CommandResult SimCommands::apply(std::string_view line, double now) {
    // "raw" keeps its text as typed, blanks included.
    const std::string_view trimmedStart =
        line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
    if (trimmedStart.substr(0, 4) == "raw ") {
        std::string_view text = trimmedStart.substr(4);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.remove_suffix(1);
        m_box.raw(Unescaped(text));
        return {"ok raw", false};
    }
    const std::string_view trimmed = Trim(line);
    const auto space = trimmed.find_first_of(" \t");
    const std::string word(trimmed.substr(0, space));
    const std::string rest(space == std::string_view::npos ? std::string_view()
                                                           : Trim(trimmed.substr(space)));
    if (word.empty())
        return {"error empty command", false};
    if (word == "quit")
        return {"ok quit", true};
    std::string error = applySpecimen(word, rest, now);
    if (error == "unknown")
        error = applyReplies(word, rest);
    if (!error.empty())
        return {"error " + (error == "unknown" ? "unknown command " + word : error), false};
    return {"ok " + std::string(trimmed), false};
}

std::string
SimCommands::applySpecimen(const std::string& word, const std::string& rest, double now) {
    if (word == "test") {
        const auto kind = SpecimenKindFromName(rest);
        if (!kind)
            return "unknown test kind " + rest;
        m_specimen.setKind(*kind, now);
    } else if (word == "idle") {
        m_specimen.idle(now);
    } else if (word == "load") {
        m_specimen.load(now);
    } else if (word == "break") {
        m_specimen.breakNow(now);
    } else if (word == "cycle") {
        m_specimen.cycle(now);
    } else {
        return "unknown";
    }
    m_box.useSpecimen();
    return {};
}

std::string SimCommands::applyReplies(const std::string& word, const std::string& rest) {
    if (word == "hold") {
        const auto pair = ParsePair(rest);
        if (!pair)
            return "hold needs LOAD DISP, each 0 to 65535";
        m_box.hold(*pair);
    } else if (word == "script") {
        std::ifstream file(rest);
        if (!file)
            return "cannot read " + rest;
        auto pairs = ParseScript(file);
        if (!pairs || pairs->empty())
            return "no raw pairs in " + rest;
        m_box.script(std::move(*pairs));
    } else if (word == "delay") {
        const auto msecs = ParseCount(rest);
        if (!msecs)
            return "delay needs MS, 0 to 65535";
        m_box.setDelayMs(*msecs);
    } else if (word == "silent") {
        m_box.setSilent(true);
    } else if (word == "answer") {
        m_box.setSilent(false);
    } else {
        return "unknown";
    }
    return {};
}

std::optional<RawPair> ParsePair(std::string_view text) {
    text = Trim(text);
    const auto gap = text.find_first_of(" \t,");
    if (gap == std::string_view::npos)
        return std::nullopt;
    std::string_view second = text.substr(gap);
    second = Trim(second);
    if (!second.empty() && second.front() == ',')
        second = Trim(second.substr(1));
    const auto load = ParseCount(text.substr(0, gap));
    const auto disp = ParseCount(second);
    if (!load || !disp)
        return std::nullopt;
    return RawPair{*load, *disp};
}

std::optional<std::vector<RawPair>> ParseScript(std::istream& in) {
    std::vector<RawPair> pairs;
    std::string line;
    while (std::getline(in, line)) {
        const std::string_view text = Trim(line);
        if (text.empty() || text.front() == '#')
            continue;
        const auto pair = ParsePair(text);
        if (!pair)
            return std::nullopt;
        pairs.push_back(*pair);
    }
    return pairs;
}

std::string Unescaped(std::string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result.push_back(text[i]);
            continue;
        }
        const char next = text[++i];
        switch (next) {
        case 'r':
            result.push_back('\r');
            break;
        case 'n':
            result.push_back('\n');
            break;
        case 't':
            result.push_back('\t');
            break;
        default:
            result.push_back(next);
        }
    }
    return result;
}
