#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

// The line fitted by least squares to the straight part of a force-extension
// curve, over points `first` to `last` (0-based, inclusive): force = slope ×
// extension + intercept. `origin` is the extension where the line meets zero
// force: the origin of every extension after toe compensation.
struct StraightFit {
    double slope = 0.0; // lbf/in
    double intercept = 0.0;
    double origin = 0.0;
    double rSquared = 0.0;
    double forceFrom = 0.0; // the force window, lbf
    double forceTo = 0.0;
    std::size_t first = 0;
    std::size_t last = 0;
};

// The fit, or why there is none.
struct FitOutcome {
    std::optional<StraightFit> fit;
    std::string reason;
    bool tooFewPoints = false; // fewer than three points up to the peak
};

// A curve visited point by point, for a caller that does not keep its
// points in arrays (a long test's readings are worked out as they are asked
// for). Points count from 0.
class FitCurve {
public:
    FitCurve() = default;
    FitCurve(const FitCurve&) = default;
    FitCurve& operator=(const FitCurve&) = default;
    virtual ~FitCurve() = default;
    virtual std::size_t size() const = 0;
    virtual double extension(std::size_t index) const = 0;
    virtual double force(std::size_t index) const = 0;
};

// Fits the points from the first one at or above `forceFrom` up to the last
// one before the force first exceeds `forceTo`, among points 0 to `peak`;
// when fewer than three fall there, the nearest points on either side join.
// The fit counts as the straight part only when it rises and its r-squared is
// at least `minimumRSquared`; otherwise the reason says what was found, e.g.
// "no straight part found (r² 0.93 below 0.995)". One pass over the window,
// with sums about the window's first point so that no digits are lost.
FitOutcome FitStraightPart(std::span<const double> extension,
                           std::span<const double> force,
                           std::size_t peak,
                           double forceFrom,
                           double forceTo,
                           double minimumRSquared);
// The same over a curve visited point by point: the same window and the
// same sums, so the same fit to the last digit.
FitOutcome FitStraightPart(const FitCurve& curve,
                           std::size_t peak,
                           double forceFrom,
                           double forceTo,
                           double minimumRSquared);

// A number as result texts show it: at most `digits` significant digits.
std::string ShortNumber(double value, int digits = 4);
