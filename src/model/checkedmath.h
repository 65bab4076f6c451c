#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

// Arithmetic that reports overflow instead of wrapping or producing
// infinities: the conversions treat either as a failure of the caller.
namespace checked {

inline std::int32_t Sub(std::int32_t a, std::int32_t b) {
    std::int32_t result = 0;
    if (__builtin_sub_overflow(a, b, &result)) {
        throw std::overflow_error("Overflow");
    }
    return result;
}

inline std::int32_t Mul(std::int32_t a, std::int32_t b) {
    std::int32_t result = 0;
    if (__builtin_mul_overflow(a, b, &result)) {
        throw std::overflow_error("Overflow");
    }
    return result;
}

inline std::int32_t Abs(std::int32_t a) {
    if (a == std::numeric_limits<std::int32_t>::min()) {
        throw std::overflow_error("Overflow");
    }
    return a < 0 ? -a : a;
}

// Rounds a double to single precision; a result that is not a finite single
// is an overflow (or an invalid operation, for a NaN).
inline float Single(double value) {
    const auto result = static_cast<float>(value);
    if (!std::isfinite(result)) {
        throw std::overflow_error("Overflow");
    }
    return result;
}

} // namespace checked
