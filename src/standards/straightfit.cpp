#include "standards/straightfit.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
constexpr std::size_t kMinimumFitPoints = 3;

// The window's bounds: the first point at or above `from`, and the last one
// before the force first exceeds `to`. A window of fewer than three points,
// as on a coarse curve, widens to the nearest points on either side, never
// past the peak.
template <typename Curve>
std::optional<std::pair<std::size_t, std::size_t>>
WindowOf(const Curve& curve, std::size_t peak, double from, double to) {
    std::size_t first = 0;
    while (first <= peak && !(curve.force(first) >= from)) {
        ++first;
    }
    first = std::min(first, peak);
    std::size_t end = first; // one past the last
    while (end <= peak && curve.force(end) <= to) {
        ++end;
    }
    while (end - first < kMinimumFitPoints && (end <= peak || first > 0)) {
        if (end <= peak) {
            ++end;
        }
        if (end - first < kMinimumFitPoints && first > 0) {
            --first;
        }
    }
    if (end - first < kMinimumFitPoints) {
        return std::nullopt;
    }
    return std::pair{first, end - 1};
}
} // namespace

// Independent of the C locale, which a window toolkit may set to the
// operator's (with a decimal comma).
std::string ShortNumber(double value, int digits) {
    char text[32];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits).ptr;
    return std::string(text, end);
}

namespace {
// Points kept in arrays, visited as a FitCurve is.
struct ArrayCurve {
    std::span<const double> extensions;
    std::span<const double> forces;
    double extension(std::size_t index) const { return extensions[index]; }
    double force(std::size_t index) const { return forces[index]; }
};

template <typename Curve>
FitOutcome Fit(const Curve& curve,
               bool peakInCurve,
               std::size_t peak,
               double forceFrom,
               double forceTo,
               double minimumRSquared) {
    FitOutcome outcome;
    const auto window = peakInCurve ? WindowOf(curve, peak, forceFrom, forceTo) : std::nullopt;
    if (!window) {
        outcome.reason = "too few points to fit a line";
        outcome.tooFewPoints = true;
        return outcome;
    }
    const auto [first, last] = *window;
    const double x0 = curve.extension(first);
    const double y0 = curve.force(first);
    const double n = static_cast<double>(last - first + 1);
    double sx = 0.0, sy = 0.0, sxx = 0.0, syy = 0.0, sxy = 0.0;
    for (std::size_t i = first; i <= last; ++i) {
        const double x = curve.extension(i) - x0;
        const double y = curve.force(i) - y0;
        sx += x;
        sy += y;
        sxx += x * x;
        syy += y * y;
        sxy += x * y;
    }
    const double cxx = sxx - sx * sx / n;
    const double cyy = syy - sy * sy / n;
    const double cxy = sxy - sx * sy / n;
    if (!(cxx > 0.0) || !(cyy > 0.0) || !(cxy > 0.0)) {
        outcome.reason = "no straight part found (the force does not rise with the extension)";
        return outcome;
    }
    StraightFit fit;
    fit.slope = cxy / cxx;
    fit.intercept = y0 + sy / n - fit.slope * (x0 + sx / n);
    fit.origin = -fit.intercept / fit.slope;
    fit.rSquared = cxy * cxy / (cxx * cyy);
    fit.forceFrom = forceFrom;
    fit.forceTo = forceTo;
    fit.first = first;
    fit.last = last;
    if (!std::isfinite(fit.slope) || !std::isfinite(fit.origin)) {
        outcome.reason = "no straight part found (the readings do not fit a line)";
    } else if (fit.rSquared < minimumRSquared) {
        outcome.reason = "no straight part found (r² " + ShortNumber(fit.rSquared, 3) + " below " +
                         ShortNumber(minimumRSquared, 4) + ")";
    } else {
        outcome.fit = fit;
    }
    return outcome;
}
} // namespace

FitOutcome FitStraightPart(std::span<const double> extension,
                           std::span<const double> force,
                           std::size_t peak,
                           double forceFrom,
                           double forceTo,
                           double minimumRSquared) {
    return Fit(ArrayCurve{extension, force}, peak < force.size() && peak < extension.size(), peak,
               forceFrom, forceTo, minimumRSquared);
}

FitOutcome FitStraightPart(const FitCurve& curve,
                           std::size_t peak,
                           double forceFrom,
                           double forceTo,
                           double minimumRSquared) {
    return Fit(curve, peak < curve.size(), peak, forceFrom, forceTo, minimumRSquared);
}
