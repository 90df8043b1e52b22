// Where a graph axis puts its grid lines and labels: round values that fit the axis' length.
// Pure arithmetic, no widgets, so it can be checked without drawing.
#pragma once

#include <vector>

// The round values from lo to hi (both included when round) that an axis of `pixels` length
// labels: steps of 1, 2 or 5 times a power of ten, at least 2 and at most 10 divisions, and
// no more divisions than leave `minSpacing` pixels between two labels. A value that is zero
// within rounding is exactly 0. An empty, reversed or not finite range gives no values.
std::vector<double> AxisTicks(double lo, double hi, int pixels, int minSpacing);
