#include "flash/core/Drawing.h"

#include <algorithm>
#include <cmath>

namespace flash {

namespace {

float coord(double v) {
    return static_cast<float>(std::max(-1e8, std::min(1e8, std::isfinite(v) ? v : 0.0)));
}

}  // namespace

ShapeLayer& Drawing::layer() {
    if (shape_.layers.empty()) shape_.layers.emplace_back();
    return shape_.layers.back();
}

void Drawing::lineStyle(double width, Rgba color) {
    LineStyle s;
    s.width = static_cast<uint16_t>(std::max(0.0, std::min(255.0 * 20, std::isfinite(width) ? width : 0.0)));
    s.color = color;
    lineStyle_ = s;
    hasLine_ = true;
    ShapeLayer& L = layer();
    if (L.lines.size() >= 4096) {  // a new layer rather than an endless style list
        shape_.layers.emplace_back();
        if (filling_) shape_.layers.back().fills = shape_.layers[shape_.layers.size() - 2].fills;
    }
    layer().lines.push_back(s);
    line_ = static_cast<uint16_t>(layer().lines.size());
    newPath_ = true;
    ++revision_;
}

void Drawing::noLine() {
    hasLine_ = false;
    line_ = 0;
    newPath_ = true;
}

void Drawing::beginFill(const FillStyle& fill) {
    closeFill();
    if (shape_.layers.size() >= 4096) return;
    ShapeLayer L;
    L.fills.push_back(fill);
    if (hasLine_) L.lines.push_back(lineStyle_);
    line_ = hasLine_ ? 1 : 0;
    shape_.layers.push_back(std::move(L));
    filling_ = true;
    startX_ = penX_;
    startY_ = penY_;
    newPath_ = true;
    gathered_ = false;
    ++revision_;
}

void Drawing::endFill() { closeFill(); }

void Drawing::closeFill() {
    // A fill's outline closes with a straight edge back to where it began.
    if (filling_ && (penX_ != startX_ || penY_ != startY_))
        addEdge(penX_, penY_, (penX_ + startX_) / 2, (penY_ + startY_) / 2, startX_, startY_, false, false);
    if (filling_) {
        penX_ = startX_;
        penY_ = startY_;
    }
    filling_ = false;
}

void Drawing::moveTo(double x, double y) {
    if (filling_ && (penX_ != startX_ || penY_ != startY_))
        addEdge(penX_, penY_, (penX_ + startX_) / 2, (penY_ + startY_) / 2, startX_, startY_, false, false);
    penX_ = startX_ = x;
    penY_ = startY_ = y;
    newPath_ = true;
}

void Drawing::lineTo(double x, double y) {
    addEdge(penX_, penY_, (penX_ + x) / 2, (penY_ + y) / 2, x, y, false, true);
    penX_ = x;
    penY_ = y;
}

void Drawing::curveTo(double cx, double cy, double x, double y) {
    addEdge(penX_, penY_, cx, cy, x, y, true, true);
    penX_ = x;
    penY_ = y;
}

void Drawing::addEdge(double x0, double y0, double cx, double cy, double x1, double y1, bool curve,
                      bool stroked) {
    uint16_t line = stroked ? line_ : 0;
    if ((!filling_ && line == 0) || edges_ >= kMaxEdges) return;
    Edge e{coord(x0), coord(y0), coord(cx), coord(cy), coord(x1),
           coord(y1), curve,     newPath_,  0,         static_cast<uint16_t>(filling_ ? 1 : 0),
           line};
    newPath_ = false;
    layer().edges.push_back(e);
    ++edges_;
    gathered_ = false;
    ++revision_;
}

void Drawing::clear() {
    shape_ = ShapeData();
    gathered_ = true;
    edges_ = 0;
    filling_ = false;
    hasLine_ = false;
    line_ = 0;
    penX_ = penY_ = startX_ = startY_ = 0;
    newPath_ = true;
    ++revision_;
}

const ShapeData& Drawing::shape() const {
    if (gathered_) return shape_;
    // Bounds take in half the width of the lines drawn.
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    for (ShapeLayer& L : shape_.layers) {
        L.gatherFills();
        for (const Edge& e : L.edges) {
            float pad = e.line > 0 && e.line <= L.lines.size() ? L.lines[e.line - 1].width / 2.0f : 0.0f;
            x0 = std::min({x0, e.x0 - pad, e.cx - pad, e.x1 - pad});
            y0 = std::min({y0, e.y0 - pad, e.cy - pad, e.y1 - pad});
            x1 = std::max({x1, e.x0 + pad, e.cx + pad, e.x1 + pad});
            y1 = std::max({y1, e.y0 + pad, e.cy + pad, e.y1 + pad});
        }
    }
    if (x0 <= x1)
        shape_.bounds = {static_cast<int32_t>(std::floor(x0)), static_cast<int32_t>(std::ceil(x1)),
                         static_cast<int32_t>(std::floor(y0)), static_cast<int32_t>(std::ceil(y1))};
    else
        shape_.bounds = Rect();
    gathered_ = true;
    return shape_;
}

}  // namespace flash
