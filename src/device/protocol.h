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

// The first 12 characters of `reply` as a reading: characters 1-5 the
// displacement and 7-11 the load, each five decimal digits, character 6 a
// comma and character 12 a carriage return. The box pads its counts with
// zeros and sends no sign, so any other text (a blank or short field, the
// tail of an earlier reply run into the head of this one, noise) is no
// reading: a field taken as 0 would show as a full-scale load.
std::optional<Reading> ParseReading(const QByteArray& reply);

} // namespace protocol
