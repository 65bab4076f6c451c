#include "simoptions.h"

#include "simcommands.h"

#include <charconv>
#include <cstdlib>
#include <optional>

namespace {
std::optional<long> ParseWhole(const std::string& text, long low, long high) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<double> ParseProbability(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value >= 0.0 && value <= 1.0))
        return std::nullopt;
    return value;
}

// Applies an option that takes a value; false when the value is not good.
bool ApplyValue(SimOptions& options, const std::string& name, const std::string& value) {
    if (name == "--idn") {
        options.box.identity = Unescaped(value);
        return true;
    }
    if (name == "--line-end") {
        options.box.lineEnd = value == "cr"     ? "\r"
                              : value == "lf"   ? "\n"
                              : value == "crlf" ? "\r\n"
                              : value == "none" ? ""
                                                : Unescaped(value);
        return true;
    }
    if (name == "--pad") {
        options.box.blankPadded = value == "blanks";
        return value == "blanks" || value == "zeros";
    }
    if (name == "--separator") {
        const std::string separator = Unescaped(value);
        options.box.separator = separator.empty() ? ',' : separator.front();
        return separator.size() == 1;
    }
    if (name == "--test") {
        const auto kind = SpecimenKindFromName(value);
        options.kind = kind.value_or(options.kind);
        return kind.has_value();
    }
    std::optional<double> number;
    if (name == "--garble" || name == "--drop") {
        number = ParseProbability(value);
        (name == "--garble" ? options.box.garble : options.box.drop) = number.value_or(0.0);
        return number.has_value();
    }
    const auto whole = name == "--register" ? ParseWhole(value, 1, 4)
                       : name == "--offset" ? ParseWhole(value, -32768, 32767)
                       : name == "--seed"   ? ParseWhole(value, 0, 4294967295L)
                                            : ParseWhole(value, 0, 10'000'000);
    if (!whole)
        return false;
    if (name == "--register")
        options.registerPort = static_cast<int>(*whole);
    else if (name == "--offset")
        options.offsetCounts = static_cast<std::int32_t>(*whole);
    else if (name == "--seed")
        options.seed = static_cast<std::uint32_t>(*whole);
    else if (name == "--delay-ms")
        options.box.delayMs = static_cast<int>(*whole);
    else if (name == "--baud")
        options.box.baud = static_cast<int>(*whole);
    else if (name == "--char-ms")
        options.box.charMs = static_cast<int>(*whole);
    return true;
}

bool TakesValue(const std::string& name) {
    return name == "--idn" || name == "--line-end" || name == "--pad" || name == "--separator" ||
           name == "--test" || name == "--offset" || name == "--register" || name == "--seed" ||
           name == "--delay-ms" || name == "--baud" || name == "--char-ms" || name == "--garble" ||
           name == "--drop";
}
} // namespace

SimOptions ParseSimOptions(const std::vector<std::string>& args, std::string& error) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--split-idn") {
            options.box.splitIdn = true;
        } else if (arg == "--silent") {
            options.box.silent = true;
        } else if (arg == "--log") {
            options.log = true;
        } else if (TakesValue(arg)) {
            if (i + 1 == args.size() || !ApplyValue(options, arg, args[i + 1])) {
                error = "bad or missing value for " + arg;
                return options;
            }
            ++i;
        } else {
            error = "unknown option " + arg;
            return options;
        }
    }
    return options;
}

const char* SimUsageText() {
    return "Usage: torvik-sim [options]\n"
           "Behaves like the testing machine's interface box on a pseudo-terminal. The\n"
           "first line on standard output is the pseudo-terminal's path: open it as the\n"
           "serial port. Runs until quit, SIGTERM, SIGINT or SIGHUP.\n"
           "\n"
           "Options:\n"
           "  --register N   record the path as serial port N (1 to 4) in the Torvik\n"
           "                 settings (section Ports, key \"Port N\"); removed on exit\n"
           "  --test KIND    tension|compression|hardness|shear|structures (tension)\n"
           "  --offset N     zero load at 32768 + N raw counts (0)\n"
           "  --idn TEXT     answer \"IDN?\" with TEXT (\\r \\n \\t \\\\ escapes); the\n"
           "                 default holds the code 6194 and ends with CR LF\n"
           "  --split-idn    send the identification in pieces over half a second\n"
           "  --silent       answer nothing (the command \"answer\" starts answering)\n"
           "  --delay-ms N   wait N ms before every reply\n"
           "  --baud N       pace replies as a line at N baud would (10 bits a character)\n"
           "  --char-ms N    send replies one character every N ms, as a slow relay would\n"
           "  --line-end END what follows the 11 characters of a reading: cr, lf, crlf,\n"
           "                 none, or TEXT (\\r \\n escapes; '#' is a 12th character\n"
           "                 '#' and nothing more, '#\\r' the same and a CR) (cr)\n"
           "  --pad HOW      zeros|blanks: how counts are padded to five places (zeros)\n"
           "  --separator C  the 6th character of a reading (,)\n"
           "  --garble P     garble a reading reply with probability P (0 to 1)\n"
           "  --drop P       leave a reading reply out with probability P\n"
           "  --seed N       seed of the noise and the faults (1)\n"
           "  --log          write every request received as \"got <request>\"\n"
           "  --help         this text\n"
           "\n";
}
