#pragma once

#include <vector>

// Points for pattern calculators and colour makers, knots for interpolators, weights for
// WeightedChoice. Indexes are always below size().
using FloatArray = std::vector<float>;
