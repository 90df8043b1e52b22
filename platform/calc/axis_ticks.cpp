// Round tick values of a graph axis (see axis_ticks.h).
#include "platform/calc/axis_ticks.h"

#include <algorithm>
#include <cmath>

std::vector<double> AxisTicks(double lo, double hi, int pixels, int minSpacing) {
    std::vector<double> out;
    double span = hi - lo;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(span > 0) || !std::isfinite(span)) return out;
    int divisions = std::clamp(pixels / std::max(1, minSpacing), 2, 10);
    double raw = span / divisions;
    double mag = std::pow(10.0, std::floor(std::log10(raw)));
    double step = 10 * mag;
    for (double m : {1.0, 2.0, 5.0})
        if (m * mag >= raw * (1 - 1e-9)) {
            step = m * mag;
            break;
        }
    // Each value as a whole multiple of the step: no error piles up from value to value, and
    // the count stays bounded even where lo is so large that adding a step would not change it.
    double first = std::ceil(lo / step - 1e-9);
    double last = std::floor(hi / step + 1e-9);
    for (double k = first; k <= last && out.size() < 11; ++k) {
        double t = k * step;
        out.push_back(std::fabs(t) < step * 1e-9 ? 0.0 : t);
    }
    return out;
}
