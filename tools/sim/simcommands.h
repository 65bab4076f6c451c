#pragma once

#include "specimen.h"

#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class InterfaceBox;

// What a command line on standard input did: the acknowledgement written to
// standard output ("ok <command>" or "error <reason>") and whether to quit.
struct CommandResult {
    std::string reply;
    bool quit = false;
};

// The simulator's commands on standard input, one per line:
//   test KIND        switch the simulated kind and start again from rest
//   idle | load | break | cycle   drive the specimen
//   hold LOAD DISP   answer every read with these raw counts
//   script FILE      answer reads with the raw pairs of FILE, in order
//   raw TEXT         answer every read with TEXT exactly (\r \n \t \\ escapes)
//   delay MS         wait MS milliseconds before every reply
//   silent | answer  stop answering altogether / answer again
//   quit
class SimCommands {
public:
    SimCommands(InterfaceBox& box, Specimen& specimen);
    CommandResult apply(std::string_view line, double now);

    static const char* HelpText();

private:
    std::string applySpecimen(const std::string& word, const std::string& rest, double now);
    std::string applyReplies(const std::string& word, const std::string& rest);

    InterfaceBox& m_box;
    Specimen& m_specimen;
};

// A file of raw pairs: one "LOAD DISP" pair a line (blanks or a comma
// between), blank lines and lines starting with # ignored. Nothing when a
// line does not hold two counts from 0 to 65535.
std::optional<std::vector<RawPair>> ParseScript(std::istream& in);
// Two counts from 0 to 65535, separated by blanks or a comma.
std::optional<RawPair> ParsePair(std::string_view text);
// \r, \n, \t and \\ turned into the characters they stand for.
std::string Unescaped(std::string_view text);
