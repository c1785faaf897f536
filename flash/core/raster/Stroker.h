// Turns polylines into the outline of a stroke: one quadrilateral per
// segment, a wedge per join and a piece per cap, all with the same
// orientation so that the non-zero rule fills their union.
#pragma once

#include <vector>

#include "flash/core/Shape.h"
#include "flash/core/raster/Rasterizer.h"

namespace flash {

struct PointF {
    float x, y;
};

struct StrokeStyle {
    float halfWidth = 0.5f;  // pixels
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    float miterLimit = 3;     // miter length / half width at which a miter becomes a bevel
    float tolerance = 0.25f;  // pixels, for round joins and caps
};

class Stroker {
public:
    void stroke(const std::vector<PointF>& points, bool closed, const StrokeStyle& style, Rasterizer& out);

private:
    void polygon(const PointF* p, int n, Rasterizer& out);
    void join(PointF v, PointF d0, PointF d1, const StrokeStyle& s, Rasterizer& out);
    void cap(PointF p, PointF d, CapStyle cap, const StrokeStyle& s, Rasterizer& out);
    void circle(PointF c, float r, float tolerance, Rasterizer& out);
    std::vector<PointF> pts_, poly_;
};

}  // namespace flash
