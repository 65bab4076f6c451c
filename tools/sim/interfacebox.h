#pragma once

#include "specimen.h"

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// How the simulated box answers: its identification, and the faults and line
// behaviour it can show.
struct BoxSettings {
    std::string identity = "Torvik interface box, model 6194, firmware 1.0\r\n";
    bool silent = false;   // answers nothing at all
    bool splitIdn = false; // identification sent in pieces over half a second
    int delayMs = 0;       // extra wait before every reply
    int baud = 0;          // 0: replies at once; else paced as a line at this rate
    int charMs = 0;        // 0: a reply goes out whole; else one character every charMs
    double garble = 0.0;   // probability that a reading reply is garbled
    double drop = 0.0;     // probability that a reading reply is not sent
    // The form of a reading reply: what follows its 11 characters (the 12th
    // character and any line end), the counts' padding and the separator.
    std::string lineEnd = "\r";
    bool blankPadded = false;
    char separator = ',';
};

// The testing machine's interface box as seen from the serial line: takes
// requests ("CAL", "IDN?", "RV", each ended by a carriage return), and
// schedules the replies it would send. "RV" is answered with five characters
// of raw displacement, a separator, five of raw load and the line end (by
// default zero-padded digits, a comma and a carriage return), taken from the specimen unless a
// fixed pair, a script or a literal reply is in force. Times are seconds on the caller's monotonic
// clock.
class InterfaceBox {
public:
    static constexpr std::string_view kIdentity =
        "Torvik interface box, model 6194, firmware 1.0\r\n";

    InterfaceBox(Specimen& specimen, const BoxSettings& settings, std::uint32_t seed);

    // Bytes that arrived from the line.
    void receive(std::string_view bytes, double now);

    // Where reading replies come from.
    void useSpecimen();
    void hold(RawPair pair);
    // Pairs in order; the last one is kept once the script has run out.
    void script(std::vector<RawPair> pairs);
    // This exact text answers every "RV".
    void raw(std::string reply);
    // Silent from now on: replies not yet sent are dropped as well.
    void setSilent(bool silent);
    void setDelayMs(int msecs) { m_settings.delayMs = msecs; }

    // When the next scheduled bytes are due, if any.
    std::optional<double> nextDue() const;
    // The bytes due by `now`, in the order they go on the line.
    std::string takeDue(double now);
    // The requests received since the last call, without their ends.
    std::vector<std::string> takeRequests();

    std::string readingReply(RawPair pair) const;

private:
    enum class Source { Specimen, Hold, Script, Raw };
    struct Pending {
        double due;
        std::string bytes;
    };

    void answer(const std::string& request, double now);
    void answerIdentity(double now);
    void answerReading(double now);
    std::string nextReading(double now);
    void schedule(std::string bytes, double now, std::size_t requestChars);
    void queue(double due, std::string bytes);
    void garble(std::string& reply);
    bool chance(double probability);

    Specimen& m_specimen;
    BoxSettings m_settings;
    std::mt19937 m_random;
    Source m_source = Source::Specimen;
    RawPair m_held{Specimen::kLoadZeroCounts, Specimen::kStartDispCounts};
    std::vector<RawPair> m_script;
    std::size_t m_scriptNext = 0;
    std::string m_rawReply;
    std::string m_incoming;
    std::vector<std::string> m_requests;
    std::vector<Pending> m_pending; // ordered by due time
    double m_lineFreeAt = 0.0;      // when the box's transmitter is idle again
};
