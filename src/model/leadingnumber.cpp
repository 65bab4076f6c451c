#include "model/gfunctions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int DigitValue(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return 99;
}

// "&H" or "&O" followed by digits of that base, as many as fit.
double RadixNumber(const std::string& text, int base) {
    double value = 0.0;
    for (std::size_t i = 2; i < text.size() && DigitValue(text[i]) < base; ++i) {
        value = value * base + DigitValue(text[i]);
    }
    return value;
}

// Length of the run of digits at `from`.
std::size_t DigitRun(const std::string& text, std::size_t from) {
    std::size_t end = from;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    return end - from;
}

// The power of ten of a number's leading digit, for deciding whether a value
// out of the double range is too large or too small. `number` is digits with
// an optional point and an optional exponent with digits.
long long DecimalOrder(const std::string& number) {
    const std::size_t exponentMark = number.find_first_of("eE");
    const std::string mantissa = number.substr(0, exponentMark);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstNonZero = mantissa.find_first_not_of("0.");
    long long order = 0;
    if (firstNonZero == std::string::npos) {
        return std::numeric_limits<int>::min(); // zero: never too large
    }
    if (firstNonZero < point) {
        order = static_cast<long long>(point - firstNonZero) - 1;
    } else {
        order = -static_cast<long long>(firstNonZero - point);
    }
    long long exponent = 0;
    if (exponentMark != std::string::npos) {
        std::size_t pos = exponentMark + 1;
        const bool negative = number[pos] == '-';
        if (number[pos] == '-' || number[pos] == '+') {
            ++pos;
        }
        for (; pos < number.size() && exponent < 1000000000LL; ++pos) {
            exponent = exponent * 10 + (number[pos] - '0');
        }
        exponent = negative ? -exponent : exponent;
    }
    return order + exponent;
}

// Sign, digits with at most one point, and an exponent only when digits
// follow its E (and optional sign).
double DecimalNumber(const std::string& text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t mantissaStart = pos;
    std::size_t digits = DigitRun(text, pos);
    pos += digits;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t fraction = DigitRun(text, pos + 1);
        digits += fraction;
        pos += 1 + fraction;
    }
    if (digits == 0) {
        return 0.0;
    }
    std::size_t end = pos;
    if (pos < text.size() && (text[pos] == 'E' || text[pos] == 'e')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) {
            ++exponent;
        }
        const std::size_t exponentDigits = DigitRun(text, exponent);
        if (exponentDigits > 0) {
            end = exponent + exponentDigits;
        }
    }
    // from_chars takes no '+' and reads the same digits in every locale.
    std::string number = text.substr(mantissaStart, end - mantissaStart);
    if (const auto plus = number.find("e+"); plus != std::string::npos) {
        number.erase(plus + 1, 1);
    } else if (const auto upperPlus = number.find("E+"); upperPlus != std::string::npos) {
        number.erase(upperPlus + 1, 1);
    }
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = DecimalOrder(number) > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

} // namespace

double LeadingNumber(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (const char c : text) {
        if (!IsIgnored(c)) {
            compact.push_back(c);
        }
    }
    if (compact.size() >= 2 && compact[0] == '&') {
        if (compact[1] == 'H' || compact[1] == 'h') {
            return RadixNumber(compact, 16);
        }
        if (compact[1] == 'O' || compact[1] == 'o') {
            return RadixNumber(compact, 8);
        }
        return 0.0;
    }
    return DecimalNumber(compact);
}
