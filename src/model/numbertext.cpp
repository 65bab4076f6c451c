#include "model/gfunctions.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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
    for (char* c = buffer; c != result.ptr; ++c) {
        if (*c >= 'a' && *c <= 'z') {
            *c = static_cast<char>(*c - 'a' + 'A'); // "e", "inf", "nan"
        }
    }
    return std::string(buffer, result.ptr);
}

// Adds the sign position and drops the zero before the point.
std::string WithSignPosition(const std::string& text) {
    const bool negative = !text.empty() && text.front() == '-';
    std::size_t digits = negative ? 1 : 0;
    if (text.size() > digits + 1 && text[digits] == '0' && text[digits + 1] == '.') {
        ++digits;
    }
    std::string result(1, negative ? '-' : ' ');
    result.append(text, digits);
    return result;
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

std::string FixedNumberText(double value, int digits) {
    if (!std::isfinite(value) || std::fabs(value) >= std::pow(10.0, digits) || digits < 1) {
        return GeneralText(value, std::clamp(digits, 1, kDoubleDigits));
    }
    if (value == 0) {
        return "0";
    }
    // The decimals that leave `digits` significant ones.
    const int leading = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::max(0, digits - 1 - leading);
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    // A value rounded to zero is written without its sign.
    if (text.find_first_not_of("-0.") == std::string::npos) {
        return "0";
    }
    return text;
}
