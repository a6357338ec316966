#include "input/AxisCalibration.h"

#include <algorithm>

double AxisCalibration::coefficient(int raw) const {
    // Doubles hold every int exactly, so calibrations at the ends of the int range
    // cannot overflow here.
    const double zone = std::max(0, nullZone);
    const double offset = static_cast<double>(raw) - center;
    double value = 0.0;
    if (offset > zone) {
        const double span = static_cast<double>(maximum) - center - zone;
        value = span > 0.0 ? (offset - zone) / span : 1.0;
    } else if (offset < -zone) {
        const double span = static_cast<double>(center) - minimum - zone;
        value = span > 0.0 ? (offset + zone) / span : -1.0;
    }
    value = std::clamp(value, -1.0, 1.0);
    if (flipped && value != 0.0) {
        value = -value;
    }
    return value;
}
