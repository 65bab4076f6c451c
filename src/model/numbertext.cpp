#include "model/gfunctions.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

constexpr int kSingleDigits = 7;
constexpr int kDoubleDigits = 15;

// Shortest text of `value` with at most `digits` significant digits: fixed
// notation from 0.0001 up to the digits' reach, exponent form (mantissa, E,
// sign, at least two exponent digits) beyond. Independent of the C locale.
template <typename Real> std::string GeneralText(Real value, int digits) {
    if (value == 0) {
        value = 0; // a negative zero writes as zero
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    std::string text(buffer, result.ptr);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// Adds the sign position and drops the zero before the point.
std::string WithSignPosition(std::string text) {
    const bool negative = !text.empty() && text.front() == '-';
    std::string digits = negative ? text.substr(1) : text;
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') {
        digits.erase(0, 1);
    }
    return (negative ? "-" : " ") + digits;
}

} // namespace

std::string NumberText(std::int32_t value) {
    return WithSignPosition(std::to_string(value));
}

std::string NumberText(float value) {
    return WithSignPosition(GeneralText(value, kSingleDigits));
}

std::string NumberText(double value) {
    return WithSignPosition(GeneralText(value, kDoubleDigits));
}

std::string PlainNumberText(std::int32_t value) {
    return std::to_string(value);
}

std::string PlainNumberText(float value) {
    return GeneralText(value, kSingleDigits);
}

std::string PlainNumberText(double value) {
    return GeneralText(value, kDoubleDigits);
}
