#include "device/protocol.h"

#include "model/gfunctions.h"

#include <cmath>
#include <limits>
#include <string_view>

namespace protocol {
namespace {
constexpr qsizetype kDispFieldStart = 0;
constexpr qsizetype kLoadFieldStart = 6;
constexpr qsizetype kFieldChars = 5;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsRadixDigit(char c, int base) {
    if (base == 8)
        return c >= '0' && c <= '7';
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether LeadingNumber finds a number at the head of `text` rather than
// giving 0 for want of one: blanks, tabs and line feeds are skipped; then
// "&H" or "&O" with a digit of that base, or an optional sign and a digit
// (possibly after the decimal point).
bool HasLeadingNumber(const QByteArray& text) {
    QByteArray compact;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            compact.append(c);
    if (compact.startsWith('&')) {
        const char radix = compact.size() > 1 ? compact.at(1) : '\0';
        const int base = (radix == 'H' || radix == 'h')   ? 16
                         : (radix == 'O' || radix == 'o') ? 8
                                                          : 0;
        return base != 0 && compact.size() > 2 && IsRadixDigit(compact.at(2), base);
    }
    qsizetype pos = 0;
    if (pos < compact.size() && (compact.at(pos) == '+' || compact.at(pos) == '-'))
        ++pos;
    if (pos < compact.size() && compact.at(pos) == '.')
        ++pos;
    return pos < compact.size() && IsDigit(compact.at(pos));
}

double RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5)
        return below + 1.0;
    if (fraction < 0.5)
        return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}
} // namespace

bool HoldsIdentity(const QByteArray& received) {
    return received.contains(kIdentityCode);
}

std::optional<std::int32_t> ParseField(const QByteArray& field) {
    if (!HasLeadingNumber(field))
        return std::nullopt;
    const double rounded =
        RoundHalfEven(LeadingNumber(std::string_view(field.constData(), field.size())));
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max()))
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<Reading> ParseReading(const QByteArray& reply) {
    if (reply.size() < kReadingReplyChars)
        return std::nullopt;
    const auto disp = ParseField(reply.mid(kDispFieldStart, kFieldChars));
    const auto load = ParseField(reply.mid(kLoadFieldStart, kFieldChars));
    if (!disp || !load)
        return std::nullopt;
    return Reading{*load, *disp};
}

} // namespace protocol
