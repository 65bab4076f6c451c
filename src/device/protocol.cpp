#include "device/protocol.h"

namespace protocol {
namespace {
constexpr qsizetype kDispFieldStart = 0;
constexpr qsizetype kSeparatorAt = 5;
constexpr qsizetype kLoadFieldStart = 6;
constexpr qsizetype kFieldChars = 5;
constexpr char kSeparator = ',';
constexpr char kReplyEnd = '\r';

// The five digits of one field as counts; nothing when any is not a digit.
std::optional<std::int32_t> FieldCounts(const QByteArray& reply, qsizetype start) {
    std::int32_t counts = 0;
    for (qsizetype i = start; i < start + kFieldChars; ++i) {
        const char c = reply.at(i);
        if (c < '0' || c > '9')
            return std::nullopt;
        counts = counts * 10 + (c - '0');
    }
    return counts;
}
} // namespace

bool HoldsIdentity(const QByteArray& received) {
    return received.contains(kIdentityCode);
}

std::optional<Reading> ParseReading(const QByteArray& reply) {
    if (reply.size() < kReadingReplyChars || reply.at(kSeparatorAt) != kSeparator ||
        reply.at(kReadingReplyChars - 1) != kReplyEnd)
        return std::nullopt;
    const auto disp = FieldCounts(reply, kDispFieldStart);
    const auto load = FieldCounts(reply, kLoadFieldStart);
    if (!disp || !load)
        return std::nullopt;
    return Reading{*load, *disp};
}

} // namespace protocol
