#include "device/protocol.h"

#include <utility>

namespace protocol {
namespace {
constexpr qsizetype kDispFieldStart = 0;
constexpr qsizetype kLoadFieldStart = 6;
constexpr qsizetype kFieldChars = 5;
// Characters 1 to 11 are the reading; the 12th completes the reply.
constexpr qsizetype kReadingChars = kReadingReplyChars - 1;

// One field as counts: its leading number, taken only when the field holds
// one whole number padded with blanks and nothing else.
std::optional<std::int32_t> FieldCounts(const QByteArray& reply, qsizetype start) {
    std::int32_t counts = 0;
    int digits = 0;
    bool after = false; // a blank has followed the digits
    for (qsizetype i = start; i < start + kFieldChars; ++i) {
        const char c = reply.at(i);
        if (c == ' ') {
            after = digits > 0;
            continue;
        }
        if (c < '0' || c > '9' || after)
            return std::nullopt;
        counts = counts * 10 + (c - '0');
        ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    return counts;
}
} // namespace

bool HoldsIdentity(const QByteArray& received) {
    return received.contains(kIdentityCode);
}

std::optional<Reading> ParseReading(const QByteArray& reply) {
    if (reply.size() < kReadingReplyChars)
        return std::nullopt;
    for (qsizetype i = 0; i < kReadingChars; ++i)
        if (IsLineEnd(reply.at(i)))
            return std::nullopt;
    const auto disp = FieldCounts(reply, kDispFieldStart);
    const auto load = FieldCounts(reply, kLoadFieldStart);
    if (!disp || !load)
        return std::nullopt;
    return Reading{*load, *disp};
}

void ReplyFramer::requestSent(const QByteArray& before) {
    m_outcome = Outcome::Refused;
    take(before);
    m_earlierReply = m_replyChars > 0;
    m_outcome = Outcome::Waiting;
}

ReplyFramer::Outcome ReplyFramer::take(const QByteArray& bytes) {
    for (const char c : bytes) {
        const Step s = step(c);
        if (s == Step::Inside || s == Step::Surplus)
            continue;
        // A reply that was cut short is dropped; this request's may follow.
        const bool earlier = std::exchange(m_earlierReply, false);
        m_replyChars = 0;
        if (s == Step::Complete && !earlier && m_outcome == Outcome::Waiting) {
            const std::optional<Reading> reading =
                ParseReading(QByteArray::fromRawData(m_reply.data(), kReadingReplyChars));
            m_outcome = reading ? Outcome::Reading : Outcome::Refused;
            m_reading = reading.value_or(m_reading);
            // What came with the reply after its 12th character is its own.
            break;
        }
    }
    return m_outcome;
}

// One character more: inside a reply, the 12th that completes it, a line end
// among the first 11 that cuts it, or a line end between replies.
ReplyFramer::Step ReplyFramer::step(char c) {
    if (IsLineEnd(c) && m_replyChars < kReadingChars)
        return m_replyChars > 0 ? Step::Cut : Step::Surplus;
    m_reply[static_cast<std::size_t>(m_replyChars++)] = c;
    return m_replyChars == kReadingReplyChars ? Step::Complete : Step::Inside;
}

void ReplyFramer::reset() {
    m_replyChars = 0;
    m_earlierReply = false;
}

} // namespace protocol
