#pragma once

#include "standards/result.h"
#include "standards/testinput.h"

#include <span>

// The results of one test as its kind's test standards define them, from its
// force (lbf) and extension (in) readings in test order and its input. Every
// result of the kind is listed, those that cannot be computed empty with the
// reason. Extensions are measured from the origin where the fitted straight
// line meets zero force (toe compensation); those from the crosshead are
// labelled nominal. Linear in the number of points; never throws for bad
// readings or input, which give empty results with the reason.
TestResults ComputeResults(std::span<const double> force,
                           std::span<const double> extension,
                           const TestInput& input);
