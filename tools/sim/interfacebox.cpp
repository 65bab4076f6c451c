#include "interfacebox.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr double kBitsPerChar = 10.0; // start bit, 8 data bits, stop bit
constexpr double kSplitIdnSpanSeconds = 0.45;
constexpr std::size_t kSplitIdnPieces = 4;
constexpr std::string_view kNoiseChars = "?#*!@";

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}
} // namespace

InterfaceBox::InterfaceBox(Specimen& specimen, const BoxSettings& settings, std::uint32_t seed)
    : m_specimen(specimen), m_settings(settings), m_random(seed) {}

std::string InterfaceBox::readingReply(RawPair pair) const {
    char text[32];
    std::snprintf(text, sizeof text, m_settings.blankPadded ? "%5d%c%5d" : "%05d%c%05d",
                  static_cast<int>(pair.disp), m_settings.separator, static_cast<int>(pair.load));
    return text + m_settings.lineEnd;
}

void InterfaceBox::useSpecimen() {
    m_source = Source::Specimen;
}

void InterfaceBox::hold(RawPair pair) {
    m_source = Source::Hold;
    m_held = pair;
}

void InterfaceBox::script(std::vector<RawPair> pairs) {
    if (pairs.empty())
        return;
    m_source = Source::Script;
    m_script = std::move(pairs);
    m_scriptNext = 0;
}

void InterfaceBox::raw(std::string reply) {
    m_source = Source::Raw;
    m_rawReply = std::move(reply);
}

void InterfaceBox::setSilent(bool silent) {
    m_settings.silent = silent;
    if (silent)
        m_pending.clear();
}

// A request ends at a carriage return; a line feed is taken the same way so
// that the box can be tried by hand from a terminal.
void InterfaceBox::receive(std::string_view bytes, double now) {
    for (const char c : bytes) {
        if (c != '\r' && c != '\n') {
            m_incoming.push_back(c);
            continue;
        }
        std::string request = Trimmed(m_incoming);
        m_incoming.clear();
        if (request.empty())
            continue;
        m_requests.push_back(request);
        answer(request, now);
    }
}

void InterfaceBox::answer(const std::string& request, double now) {
    if (m_settings.silent)
        return;
    if (request == "IDN?")
        answerIdentity(now);
    else if (request == "RV")
        answerReading(now);
    // "CAL" and anything else: accepted, nothing sent back.
}

void InterfaceBox::answerIdentity(double now) {
    const std::string_view identity = m_settings.identity;
    const std::size_t code = identity.find("6194");
    if (!m_settings.splitIdn || code == std::string_view::npos) {
        schedule(std::string(identity), now, 5);
        return;
    }
    // Cut so that the code itself arrives in more than one piece.
    const std::size_t cuts[kSplitIdnPieces + 1] = {0, code + 1, code + 2, code + 3,
                                                   identity.size()};
    for (std::size_t piece = 0; piece < kSplitIdnPieces; ++piece) {
        const double at = now + kSplitIdnSpanSeconds * static_cast<double>(piece) /
                                    static_cast<double>(kSplitIdnPieces - 1);
        schedule(std::string(identity.substr(cuts[piece], cuts[piece + 1] - cuts[piece])), at,
                 piece == 0 ? 5 : 0);
    }
}

void InterfaceBox::answerReading(double now) {
    std::string reply = nextReading(now);
    if (chance(m_settings.drop))
        return;
    if (chance(m_settings.garble))
        garble(reply);
    schedule(std::move(reply), now, 3);
}

std::string InterfaceBox::nextReading(double now) {
    switch (m_source) {
    case Source::Hold:
        return readingReply(m_held);
    case Source::Script: {
        const RawPair pair = m_script[std::min(m_scriptNext, m_script.size() - 1)];
        if (m_scriptNext < m_script.size())
            ++m_scriptNext;
        return readingReply(pair);
    }
    case Source::Raw:
        return m_rawReply;
    case Source::Specimen:
        break;
    }
    return readingReply(m_specimen.sample(now));
}

// Noise characters over the whole displacement or load field: the kind of
// reply a disturbed line gives.
void InterfaceBox::garble(std::string& reply) {
    const std::size_t start = chance(0.5) ? 0 : 6;
    std::uniform_int_distribution<std::size_t> pick(0, kNoiseChars.size() - 1);
    for (std::size_t i = start; i < start + 5 && i < reply.size(); ++i)
        reply[i] = kNoiseChars[pick(m_random)];
}

bool InterfaceBox::chance(double probability) {
    if (probability <= 0.0)
        return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < probability;
}

// At a set rate the request takes its time to arrive and the reply its time
// to go out, one character after another, so replies queue behind each other.
// A slow box sends its replies a character at a time, the next reply after
// the last character of the one before.
void InterfaceBox::schedule(std::string bytes, double now, std::size_t requestChars) {
    double due = now + m_settings.delayMs / 1000.0;
    if (m_settings.baud > 0) {
        const double charSeconds = kBitsPerChar / m_settings.baud;
        due = std::max(due + static_cast<double>(requestChars) * charSeconds, m_lineFreeAt) +
              static_cast<double>(bytes.size()) * charSeconds;
        m_lineFreeAt = due;
    }
    if (m_settings.charMs > 0) {
        due = std::max(due, m_lineFreeAt);
        for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
            queue(due + static_cast<double>(i) * m_settings.charMs / 1000.0, bytes.substr(i, 1));
        due += static_cast<double>(bytes.size() - 1) * m_settings.charMs / 1000.0;
        bytes.erase(0, bytes.size() - 1);
        m_lineFreeAt = due + m_settings.charMs / 1000.0;
    }
    queue(due, std::move(bytes));
}

void InterfaceBox::queue(double due, std::string bytes) {
    const auto later = std::upper_bound(m_pending.begin(), m_pending.end(), due,
                                        [](double t, const Pending& p) { return t < p.due; });
    m_pending.insert(later, Pending{due, std::move(bytes)});
}

std::optional<double> InterfaceBox::nextDue() const {
    if (m_pending.empty())
        return std::nullopt;
    return m_pending.front().due;
}

std::string InterfaceBox::takeDue(double now) {
    std::string bytes;
    auto it = m_pending.begin();
    for (; it != m_pending.end() && it->due <= now; ++it)
        bytes += it->bytes;
    m_pending.erase(m_pending.begin(), it);
    return bytes;
}

std::vector<std::string> InterfaceBox::takeRequests() {
    std::vector<std::string> requests;
    requests.swap(m_requests);
    return requests;
}
