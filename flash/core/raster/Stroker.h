// Turns polylines into the outline of a stroke: the offset line on the left
// walking forward, the end cap, the offset line on the other side walking
// back, the start cap (closed paths: two loops). Outer sides of joins get
// the join shape; inner sides meet at the offset lines' crossing, or pass
// through the vertex where that would reach past half a segment. Every piece of band
// then winds the same way, so the non-zero rule fills overlaps solidly.
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
    void loop(Rasterizer& out);  // adds poly_ as a closed loop and clears it
    // Offset points on the left of a vertex where direction a (a segment of
    // length lenA) turns into b (lenB).
    void joinSide(PointF v, PointF a, PointF b, float lenA, float lenB, const StrokeStyle& s);
    // From the left offset of p around its end (direction d) to the right offset.
    void capSide(PointF p, PointF d, CapStyle cap, const StrokeStyle& s);
    void cap(PointF p, PointF d, CapStyle cap, const StrokeStyle& s, Rasterizer& out);
    void circle(PointF c, float r, float tolerance, Rasterizer& out);
    std::vector<PointF> pts_, poly_, dirs_;
    std::vector<float> lens_;
};

}  // namespace flash
