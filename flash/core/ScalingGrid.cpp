#include "flash/core/ScalingGrid.h"

#include <algorithm>
#include <cmath>

namespace flash {

namespace {

// total: device pixels per twip of the whole clip along the axis; natural:
// the same without the clip's own scale (what the corners keep).
bool makeAxis(double low, double high, double gLow, double gHigh, double origin, double total, double natural,
              GridAxis& a) {
    if (!(high > low) || !std::isfinite(total) || !std::isfinite(natural) || total == 0) return false;
    a.low = low;
    a.high = high;
    a.g0 = std::clamp(gLow, low, high);
    a.g1 = std::clamp(gHigh, a.g0, high);
    a.origin = origin;
    const double extent = std::fabs(total) * (high - low);  // device size of the whole box
    const double ends = (a.g0 - low) + (high - a.g1);
    double corner = std::fabs(natural);
    // A box smaller than its corners shrinks the corners and drops the centre.
    if (ends * corner > extent) corner = extent / ends;
    const double middle = a.g1 - a.g0;
    double centre = middle > 0 ? (extent - ends * corner) / middle : 0;
    const double sign = total < 0 ? -1 : 1;
    a.corner = corner * sign;
    a.centre = centre * sign;
    return true;
}

}  // namespace

bool makeGridMap(const Rect& grid, const Rect& bounds, const Matrix& m, const Matrix& own, GridMap& out) {
    if (grid.xMax <= grid.xMin || grid.yMax <= grid.yMin) return false;
    // Rotation or skew anywhere above the content: plain scaling.
    const double tiny = 1e-9;
    if (std::fabs(m.b) > tiny * std::fabs(m.a) || std::fabs(m.c) > tiny * std::fabs(m.d)) return false;
    if (std::fabs(own.b) > tiny * std::fabs(own.a) || std::fabs(own.c) > tiny * std::fabs(own.d))
        return false;
    if (own.a == 0 || own.d == 0) return false;
    const double nx = m.a / own.a, ny = m.d / own.d;  // the parent's scale
    return makeAxis(bounds.xMin, bounds.xMax, grid.xMin, grid.xMax, m.a * bounds.xMin + m.tx, m.a, nx,
                    out.x) &&
           makeAxis(bounds.yMin, bounds.yMax, grid.yMin, grid.yMax, m.d * bounds.yMin + m.ty, m.d, ny, out.y);
}

}  // namespace flash
