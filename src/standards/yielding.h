#pragma once

#include "standards/curve.h"

#include <cstddef>
#include <optional>

// A discontinuous yield: the upper yield point (the highest force before
// the first real drop), the lower yield point (the lowest force while the
// specimen yields, leaving out the first, transient dip unless it is the
// only one) and the start of uniform work hardening.
struct Yielding {
    std::size_t upper = 0;
    std::size_t lower = 0;
    std::size_t hardening = 0;
};

// The yield of points 0 to `last`, whose highest force is at `peak`, or
// empty when the curve yields continuously. A drop counts when the force
// falls more than `tolerance` below the highest force so far, before the
// peak, or at the peak when the force rises again afterwards (a yield
// point above the later hardening).
std::optional<Yielding>
FindYielding(std::span<const double> force, std::size_t peak, std::size_t last, double tolerance);
