// Instances with filters or a blend mode other than normal are drawn into
// an off-screen layer of their own (transparent, isolated from what lies
// below), filtered there and then composited onto the target below.
#include <algorithm>
#include <cmath>

#include "flash/core/Renderer.h"
#include "flash/core/raster/BlendStage.h"

namespace flash {

namespace {

const int kMaxLevels = 64;
// A layer never has more pixels than this (it is cut to what can show).
const int64_t kMaxLayerPixels = int64_t(1) << 24;

bool hasFilters(const DisplayObject& o) { return o.filters && !o.filters->empty(); }

}  // namespace

void Renderer::BoundsF::add(float x, float y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
}

bool Renderer::hasEffects(const DisplayObject& o) {
    return hasFilters(o) || o.blendMode != BlendMode::Normal;
}

void Renderer::addBounds(const DisplayObject& o, const Matrix& m, int level, BoundsF& b) {
    if (!o.character || level > kMaxLevels) return;
    BoundsF own;
    auto addRect = [&](const Rect& r, float pad) {
        const double xs[2] = {r.xMin - pad, r.xMax + pad}, ys[2] = {r.yMin - pad, r.yMax + pad};
        for (double x : xs)
            for (double y : ys) own.add(static_cast<float>(m.mapX(x, y)), static_cast<float>(m.mapY(x, y)));
    };
    auto strokePad = [](const ShapeData& s) {
        float pad = 0;
        for (const ShapeLayer& L : s.layers)
            for (const LineStyle& l : L.lines) pad = std::max(pad, l.width * 0.5f);
        return pad;
    };
    switch (o.character->kind) {
        case Character::Shape: {
            const ShapeData& s = o.textShape ? *o.textShape : *o.character->shape;
            addRect(s.bounds, strokePad(s));
            break;
        }
        case Character::Morph:
            addRect(o.character->morph->startBounds, 0);
            addRect(o.character->morph->endBounds, 0);
            break;
        case Character::Sprite:
            for (const auto& kv : o.children) {
                const DisplayObject& c = *kv.second;
                if (!c.visible || c.clipDepth > 0) continue;
                addBounds(c, m * c.matrix, level + 1, own);
            }
            break;
        case Character::Video: {
            const VideoDef& v = *o.character->video;
            addRect(Rect{0, v.width * 20, 0, v.height * 20}, 0);
            break;
        }
        default:
            break;
    }
    if (own.empty()) return;
    // Strokes may reach one pixel further than the bounds say (hairlines).
    own.x0 -= 1;
    own.y0 -= 1;
    own.x1 += 1;
    own.y1 += 1;
    if (hasFilters(o)) {
        int l, t, r, bo;
        filterMargins(*o.filters, filterSx_, filterSy_, l, t, r, bo);
        own.x0 -= l;
        own.y0 -= t;
        own.x1 += r;
        own.y1 += bo;
    }
    b.add(own.x0, own.y0);
    b.add(own.x1, own.y1);
}

void Renderer::drawLayered(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, int level) {
    // Alpha and erase act on the layer they are drawn into; the opaque
    // buffer itself has no alpha to change.
    if (layerDepth_ == 0 && (o.blendMode == BlendMode::Alpha || o.blendMode == BlendMode::Erase)) return;
    if (layerDepth_ >= 16) {  // deeper effects are drawn without a layer
        drawObject(o, m, cx, false, level);
        return;
    }
    BoundsF b;
    addBounds(o, m, level, b);
    if (b.empty()) return;
    int l = 0, t = 0, r = 0, bo = 0;
    if (hasFilters(o)) filterMargins(*o.filters, filterSx_, filterSy_, l, t, r, bo);
    // What can reach the target: the content, or the target grown by how far
    // the filters spread (so that content just outside can still glow in).
    float fx0 = std::max(b.x0, static_cast<float>(-l)), fy0 = std::max(b.y0, static_cast<float>(-t));
    float fx1 = std::min(b.x1, static_cast<float>(cv_->width() + r));
    float fy1 = std::min(b.y1, static_cast<float>(cv_->height() + bo));
    if (!(fx0 < fx1 && fy0 < fy1)) return;
    const int x0 = static_cast<int>(std::floor(fx0)), y0 = static_cast<int>(std::floor(fy0));
    const int w = static_cast<int>(std::ceil(fx1)) - x0, h = static_cast<int>(std::ceil(fy1)) - y0;
    if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h > kMaxLayerPixels) return;

    if (layers_.size() <= layerDepth_) layers_.push_back(std::make_unique<Layer>());
    Layer& layer = *layers_[layerDepth_];
    layer.pixels.assign(static_cast<size_t>(w) * h, 0);
    layer.canvas.attach(layer.pixels.data(), w, h, w);

    Canvas* target = cv_;
    cv_ = &layer.canvas;
    ++layerDepth_;
    drawObject(o, Matrix::translate(-x0, -y0) * m, cx, false, level);
    --layerDepth_;
    cv_ = target;

    if (hasFilters(o))
        for (const Filter& f : *o.filters)
            filterStage_.apply(f, filterSx_, filterSy_, LayerPixels{layer.pixels.data(), w, h, w});

    const int cx0 = std::max(0, x0), cx1 = std::min(target->width(), x0 + w);
    const int cy0 = std::max(0, y0), cy1 = std::min(target->height(), y0 + h);
    for (int y = cy0; y < cy1; ++y) {
        const uint32_t* src = layer.pixels.data() + static_cast<size_t>(y - y0) * w + (cx0 - x0);
        const uint8_t* mask = target->activeMaskRow(y);
        blendLayerSpan(o.blendMode, target->row(y) + cx0, src, mask ? mask + cx0 : nullptr, cx1 - cx0);
    }
}

}  // namespace flash
