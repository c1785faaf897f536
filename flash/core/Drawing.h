// What scripts draw into a clip with lineStyle, beginFill, moveTo, lineTo,
// curveTo, endFill and clear: a shape that grows with every call and is
// drawn under the clip's children.
#pragma once

#include <cstddef>
#include <cstdint>

#include "flash/core/Shape.h"
#include "flash/core/Types.h"

namespace flash {

class Drawing {
public:
    // Coordinates are twips of the clip.
    void lineStyle(double width, Rgba color);  // width 0: a hairline
    void noLine();
    void beginFill(const FillStyle& fill);
    void endFill();
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    void curveTo(double cx, double cy, double x, double y);
    void clear();

    // The shape so far (its fills gathered); empty when nothing was drawn.
    const ShapeData& shape() const;
    bool empty() const { return shape_.layers.empty(); }
    uint64_t revision() const { return revision_; }
    // Edges kept at most; calls past it draw nothing.
    static const size_t kMaxEdges = size_t(1) << 17;

private:
    void addEdge(double x0, double y0, double cx, double cy, double x1, double y1, bool curve, bool stroked);
    ShapeLayer& layer();
    void closeFill();

    mutable ShapeData shape_;
    mutable bool gathered_ = true;
    uint64_t revision_ = 0;
    size_t edges_ = 0;
    double penX_ = 0, penY_ = 0;
    double startX_ = 0, startY_ = 0;  // where the current fill's outline began
    bool filling_ = false;
    bool newPath_ = true;
    uint16_t line_ = 0;  // 1-based line style of the current layer, 0 none
    bool hasLine_ = false;
    LineStyle lineStyle_;
};

}  // namespace flash
