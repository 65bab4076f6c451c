#pragma once

#include <QByteArray>
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
// of raw load and at least one more character (a carriage return).
inline constexpr char kReadRequest[] = "RV\r";
inline constexpr qsizetype kReadingReplyChars = 12;

struct Reading {
    std::int32_t load; // raw counts, zero load at 32768 plus the calibration offset
    std::int32_t disp; // raw counts
};

// True once the identification code has arrived in `received`, however it
// was split over arrivals.
bool HoldsIdentity(const QByteArray& received);

// Characters 1-5 are the displacement and 7-11 the load, each read as the
// number at its head (blanks skipped, sign, decimals and exponent allowed)
// and rounded to the nearest count, halves to even. Nothing when the reply is
// shorter than 12 characters, when a field holds no number (a reading of 0
// counts would show as a full-scale load), or when a value does not fit 32
// bits.
std::optional<Reading> ParseReading(const QByteArray& reply);

// The number at the head of one field, rounded as above; nothing when there
// is none.
std::optional<std::int32_t> ParseField(const QByteArray& field);

} // namespace protocol
