#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>
#include <optional>

// The interface box's serial protocol, apart from any port: ASCII requests of
// one command word and a carriage return, no framing, no checksum.
namespace protocol {

// Sent on each port tried, just before the identification request; its
// answer, if any, is not awaited.
inline constexpr char kCalRequest[] = "CAL\r";
// The box answers with text that contains kIdentityCode somewhere.
inline constexpr char kIdentifyRequest[] = "IDN?\r";
inline constexpr char kIdentityCode[] = "6194";
// Answered with 5 characters of raw displacement, a separator, 5 characters
// of raw load and at least one more character, whatever it is; boxes end a
// reply with a carriage return, a line feed, both, another mark before them,
// or nothing more.
inline constexpr char kReadRequest[] = "RV\r";
inline constexpr qsizetype kReadingReplyChars = 12;

struct Reading {
    std::int32_t load; // raw counts, zero load at 32768 plus the calibration offset
    std::int32_t disp; // raw counts
};

// True once the identification code has arrived in `received`, however it
// was split over arrivals.
bool HoldsIdentity(const QByteArray& received);

// A line end: never among the first 11 characters of a whole reply, and
// never the first character of one.
inline bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// The first 12 characters of `reply` as a reading: characters 1-5 the
// displacement and 7-11 the load, each one whole number padded with zeros or
// blanks; character 6 (the separator) and everything from character 12 on
// are not used. Nothing when a field holds anything but blanks and digits or
// no digit at all (a field taken as 0 would show as a full-scale load), a
// digit after a blank that follows digits, or when a line end comes among
// the first 11 characters: the reply was cut short, or it is the tail of an
// earlier reply run into the head of the next.
std::optional<Reading> ParseReading(const QByteArray& reply);

// Splits what the box sends into replies, however it arrives: a reply is the
// 11 characters of a reading and a 12th; line ends that follow are the
// reply's own surplus and are skipped, as a line end is never the start of a
// reply, and a line end among the first 11 characters cuts the reply short:
// it is dropped, and the reply to the request may still follow.
// What arrives together with a reply after its 12th character belongs to it.
// A box that ends its replies with no line end at all is framed by the count
// alone. Replies under way when a request goes out answer earlier requests:
// only the first reply that starts after it answers this one.
class ReplyFramer {
public:
    enum class Outcome {
        Waiting, // this request's reply is not complete yet
        Reading, // it came, and reading() holds it
        Refused, // it came, and it is not a reading
    };

    // Everything that arrived before the request goes out (`before`) is
    // another request's; so is the rest of a reply still under way.
    void requestSent(const QByteArray& before);
    // Characters that arrived since; the outcome of this request's reply.
    // Once it is known, the rest of that arrival is dropped, and later
    // characters only keep the count of replies.
    Outcome take(const QByteArray& bytes);
    Reading reading() const { return m_reading; }
    // Nothing is under way any more: the line went away, or a whole read
    // passed without a character.
    void reset();

private:
    enum class Step { Inside, Complete, Cut, Surplus };
    Step step(char c);

    std::array<char, kReadingReplyChars> m_reply{}; // the reply under way,
    qsizetype m_replyChars = 0;                     // this many characters of it
    bool m_earlierReply = false;          // the reply under way answers an earlier request
    Outcome m_outcome = Outcome::Refused; // nothing asked for
    Reading m_reading{0, 0};
};

} // namespace protocol
