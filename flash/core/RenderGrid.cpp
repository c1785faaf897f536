// Shapes inside a clip with a scale-9 grid: each is copied with its points
// moved through the grid's map into device space (in twentieths of a pixel,
// so stroke widths keep their precision) and drawn from there. Fills keep
// the clip's plain transform; strokes keep the width the corners have.
#include <algorithm>
#include <cmath>

#include "flash/core/Renderer.h"

namespace flash {

namespace {

const int kMaxGridLevels = 64;

struct Box {
    double x0 = 1e300, y0 = 1e300, x1 = -1e300, y1 = -1e300;
    void add(double x, double y) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
};

// Bounds of what an instance draws, in the coordinates `m` maps into.
void contentBox(const DisplayObject& o, const Matrix& m, int level, Box& b) {
    if (!o.character || level > kMaxGridLevels) return;
    auto addRect = [&](const Rect& r) {
        const double xs[2] = {double(r.xMin), double(r.xMax)}, ys[2] = {double(r.yMin), double(r.yMax)};
        for (double x : xs)
            for (double y : ys) b.add(m.mapX(x, y), m.mapY(x, y));
    };
    switch (o.character->kind) {
        case Character::Shape:
            addRect(o.textShape ? o.textShape->bounds : o.character->shape->bounds);
            break;
        case Character::Morph:
            addRect(o.character->morph->startBounds);
            addRect(o.character->morph->endBounds);
            break;
        case Character::Sprite:
            for (const auto& kv : o.children) {
                const DisplayObject& c = *kv.second;
                if (c.visible && c.clipDepth == 0) contentBox(c, m * c.matrix, level + 1, b);
            }
            break;
        case Character::Video:
            addRect(Rect{0, o.character->video->width * 20, 0, o.character->video->height * 20});
            break;
        default:
            break;
    }
}

}  // namespace

bool Renderer::gridOf(const DisplayObject& clip, const Matrix& m, GridMap& out, int level) const {
    if (!clip.character || !clip.character->hasGrid) return false;
    Box b;
    for (const auto& kv : clip.children) {
        const DisplayObject& c = *kv.second;
        if (c.visible && c.clipDepth == 0) contentBox(c, c.matrix, level + 1, b);
    }
    if (!(b.x0 < b.x1 && b.y0 < b.y1) || std::fabs(b.x0) > 1e9 || std::fabs(b.x1) > 1e9 ||
        std::fabs(b.y0) > 1e9 || std::fabs(b.y1) > 1e9)
        return false;
    Rect bounds{static_cast<int32_t>(std::floor(b.x0)), static_cast<int32_t>(std::ceil(b.x1)),
                static_cast<int32_t>(std::floor(b.y0)), static_cast<int32_t>(std::ceil(b.y1))};
    return makeGridMap(clip.character->grid, bounds, m, clip.matrix, out);
}

void Renderer::drawGridShape(const ShapeData& shape, const Matrix& child, const ColorTransform& cx,
                             bool mask) {
    const GridMap& g = *grid_;
    const double unit = 20;  // scratch coordinates: twentieths of a device pixel
    auto px = [&](float x, float y) { return static_cast<float>(g.x.map(child.mapX(x, y)) * unit); };
    auto py = [&](float x, float y) { return static_cast<float>(g.y.map(child.mapY(x, y)) * unit); };
    // Fills are placed by the clip's plain transform.
    const Matrix fillMatrix = Matrix::scale(unit, unit) * gridClip_ * child;
    const double lineScale = unit * std::sqrt(std::fabs(g.x.corner * g.y.corner) * std::fabs(child.det()));

    ShapeData& s = gridScratch_;
    s = shape;
    double x0 = 1e30, y0 = 1e30, x1 = -1e30, y1 = -1e30;
    auto grow = [&](float x, float y) {
        x0 = std::min<double>(x0, x);
        y0 = std::min<double>(y0, y);
        x1 = std::max<double>(x1, x);
        y1 = std::max<double>(y1, y);
    };
    for (ShapeLayer& L : s.layers) {
        for (Edge& e : L.edges) {
            const float ax = px(e.x0, e.y0), ay = py(e.x0, e.y0);
            const float bx = px(e.x1, e.y1), by = py(e.x1, e.y1);
            const float cxp = px(e.cx, e.cy), cyp = py(e.cx, e.cy);
            e.x0 = ax;
            e.y0 = ay;
            e.x1 = bx;
            e.y1 = by;
            e.cx = cxp;
            e.cy = cyp;
            grow(ax, ay);
            grow(bx, by);
            if (e.curve) grow(cxp, cyp);
        }
        for (FillStyle& f : L.fills) f.matrix = fillMatrix * f.matrix;
        for (LineStyle& l : L.lines) {
            if (l.hasFill) l.fill.matrix = fillMatrix * l.fill.matrix;
            if (l.noHScale && l.noVScale) continue;  // already in device pixels
            l.width = static_cast<uint16_t>(std::clamp(std::lround(l.width * lineScale), 0L, 65535L));
        }
    }
    if (!(x0 <= x1 && y0 <= y1) || !std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) ||
        !std::isfinite(y1))
        return;
    auto clampCoord = [](double v) { return static_cast<int32_t>(std::clamp(v, -2e9, 2e9)); };
    s.bounds = Rect{clampCoord(std::floor(x0)), clampCoord(std::ceil(x1)), clampCoord(std::floor(y0)),
                    clampCoord(std::ceil(y1))};
    drawShape(s, Matrix::scale(1 / unit, 1 / unit), cx, mask);
}

}  // namespace flash
