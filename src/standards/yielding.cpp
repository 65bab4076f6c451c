#include "standards/yielding.h"

#include <algorithm>
#include <vector>

namespace {

// The first point where the force has fallen more than `tolerance` below the
// highest force before it, and the index of that highest force.
std::optional<std::pair<std::size_t, std::size_t>>
FirstDrop(std::span<const double> force, std::size_t last, double tolerance) {
    std::size_t high = 0;
    for (std::size_t i = 1; i <= last; ++i) {
        if (force[i] > force[high]) {
            high = i;
        } else if (force[high] - force[i] > tolerance) {
            return std::pair{high, i};
        }
    }
    return std::nullopt;
}

// The yield's local minima: those followed by a rise of more than the
// tolerance, from the upper yield point on.
std::vector<std::size_t>
YieldMinima(std::span<const double> force, std::size_t upper, std::size_t end, double tolerance) {
    std::vector<std::size_t> minima;
    const std::vector<Turn> turns = SignificantTurns(force, upper, end, tolerance);
    for (std::size_t t = 0; t < turns.size(); ++t) {
        if (!turns[t].maximum && t + 1 < turns.size()) {
            minima.push_back(turns[t].index);
        }
    }
    // The last minimum before the peak is followed by the rise to it.
    if (!turns.empty() && !turns.back().maximum && end > turns.back().index &&
        force[end] - force[turns.back().index] > tolerance) {
        minima.push_back(turns.back().index);
    }
    return minima;
}

// Uniform hardening starts where the force, after the last yield minimum,
// first rises above the highest serration after the transient dip (or,
// without serrations, above the lower yield force by more than the
// tolerance).
std::size_t HardeningStart(std::span<const double> force,
                           const std::vector<std::size_t>& minima,
                           std::size_t lower,
                           std::size_t end,
                           double tolerance) {
    double top = force[lower] + tolerance;
    if (minima.size() > 1) {
        const auto from = force.begin() + static_cast<std::ptrdiff_t>(minima.front());
        const auto to = force.begin() + static_cast<std::ptrdiff_t>(minima.back());
        top = std::max(top, *std::max_element(from, to));
    }
    for (std::size_t i = minima.back(); i <= end; ++i) {
        if (force[i] > top) {
            return i;
        }
    }
    return end;
}

} // namespace

std::optional<Yielding>
FindYielding(std::span<const double> force, std::size_t peak, std::size_t last, double tolerance) {
    const auto drop = FirstDrop(force, last, tolerance);
    if (!drop || drop->first > peak) {
        return std::nullopt;
    }
    const std::size_t upper = drop->first;
    // Before the peak the yield ends at the rise to it; a yield point that
    // is itself the peak yields until the end.
    const std::size_t end = upper < peak ? peak : last;
    const std::vector<std::size_t> minima = YieldMinima(force, upper, end, tolerance);
    if (minima.empty()) {
        return std::nullopt; // the force never rose again: necking, not yielding
    }
    // The first dip after the upper yield point is a transient of the
    // machine and the specimen; it counts only when it is the only one.
    auto lowest = minima.begin() + (minima.size() > 1 ? 1 : 0);
    lowest = std::min_element(lowest, minima.end(),
                              [&](std::size_t a, std::size_t b) { return force[a] < force[b]; });
    Yielding yielding;
    yielding.upper = upper;
    yielding.lower = *lowest;
    yielding.hardening = HardeningStart(force, minima, *lowest, end, tolerance);
    return yielding;
}
