// Instances with filters or a blend mode other than normal are drawn into
// an off-screen layer of their own (transparent, isolated from what lies
// below), filtered there and then composited onto the target below.
#include <algorithm>
#include <cmath>

#include "flash/core/Drawing.h"
#include "flash/core/Renderer.h"
#include "flash/core/TextField.h"
#include "flash/core/raster/BlendStage.h"

namespace flash {

namespace {

const int kMaxLevels = 64;
// A layer never has more pixels than this (it is cut to what can show).
const int64_t kMaxLayerPixels = int64_t(1) << 24;

bool hasFilters(const DisplayObject& o) { return o.filters && !o.filters->empty(); }

// FNV-1a over the bytes of what decides an instance's picture.
struct Hasher {
    uint64_t h = 1469598103934665603ull;
    void bytes(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    template <typename T>
    void add(const T& v) {
        bytes(&v, sizeof v);
    }
    void matrix(const Matrix& m) {
        const double v[6] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
        bytes(v, sizeof v);
    }
    void cxform(const ColorTransform& c) {
        const int16_t v[8] = {c.rMul, c.gMul, c.bMul, c.aMul, c.rAdd, c.gAdd, c.bAdd, c.aAdd};
        bytes(v, sizeof v);
    }
};

// Filters by value: timelines often restate the same list in every frame.
void hashFilters(const FilterList* list, Hasher& h) {
    if (!list) return;
    for (const Filter& f : *list) {
        h.add(f.kind);
        h.add(f.color);
        h.add(f.highlight);
        const float v[8] = {f.blurX, f.blurY, f.angle, f.distance, f.strength, f.divisor, f.bias, 0};
        h.bytes(v, sizeof v);
        const bool flags[6] = {f.inner, f.knockout, f.hideObject, f.onTop, f.clamp, f.preserveAlpha};
        h.bytes(flags, sizeof flags);
        h.add(f.passes);
        for (const Rgba& c : f.colors) h.add(c);
        h.bytes(f.ratios.data(), f.ratios.size());
        h.add(f.matrixX);
        h.add(f.matrixY);
        h.bytes(f.matrix.data(), f.matrix.size() * sizeof(float));
        h.add(f.defaultColor);
        h.bytes(f.colorMatrix, sizeof f.colorMatrix);
    }
}

void hashTree(const DisplayObject& o, Hasher& h, int level) {
    if (level > kMaxLevels) return;
    h.add(o.characterId);
    h.add(o.depth);
    if (level > 0) h.matrix(o.matrix);  // the instance's own placement is in the device matrix
    h.cxform(o.cxform);
    h.add(o.ratio);
    h.add(o.clipDepth);
    h.add(o.visible);
    h.add(o.shownState);
    hashFilters(o.filters.get(), h);
    h.add(o.blendMode);
    h.add(o.textShape.get());
    h.add(o.textEdges);
    h.add(o.field.get());
    if (o.drawing) h.add(o.drawing->revision());
    h.add(o.masking);
    h.add(o.maskedBy.lock().get());
    if (o.field) h.add(o.field->revision);
    h.bytes(o.shownText.data(), o.shownText.size());
    h.add(o.children.size());
    for (const auto& kv : o.children) hashTree(*kv.second, h, level + 1);
}

}  // namespace

// The picture an instance's layer holds depends on its device matrix and
// colour transform, the target's size, the quality and everything placed
// inside it; all of it goes into one signature.
struct LayerCache {
    std::vector<uint32_t> pixels;
    int x0 = 0, y0 = 0, w = 0, h = 0;
    double tx = 0, ty = 0;  // translation of the device matrix it was drawn with
    uint64_t signature = 0;
};

uint64_t Renderer::contentSignature(const DisplayObject& o, const Matrix& m, const ColorTransform& cx) const {
    Hasher h;
    // Of the translation only the part below a pixel changes the picture.
    auto fraction = [](double t) {
        double q = std::round(t * 1024) / 1024;
        return q - std::floor(q);
    };
    h.matrix(Matrix{m.a, m.b, m.c, m.d, fraction(m.tx), fraction(m.ty)});
    h.cxform(cx);
    h.add(filterSx_);
    h.add(filterSy_);
    h.add(antialias_);
    h.add(tolerance_);
    h.add(cv_->width());
    h.add(cv_->height());
    hashTree(o, h, 0);
    return h.h;
}

void Renderer::BoundsF::add(float x, float y) {
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
}

bool Renderer::hasEffects(const DisplayObject& o) {
    return hasFilters(o) || o.blendMode != BlendMode::Normal || o.cacheAsBitmap;
}

void Renderer::addBounds(const DisplayObject& o, const Matrix& m, int level, BoundsF& b) {
    if ((!o.character && !o.hasTimeline()) || level > kMaxLevels) return;
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
    switch (o.character ? o.character->kind : Character::Sprite) {
        case Character::Shape: {
            const ShapeData& s = *o.shownShape();
            addRect(s.bounds, strokePad(s));
            break;
        }
        case Character::Morph:
            addRect(o.character->morph->startBounds, 0);
            addRect(o.character->morph->endBounds, 0);
            break;
        case Character::Sprite:
            if (o.drawing && !o.drawing->empty())
                addRect(o.drawing->shape().bounds, strokePad(o.drawing->shape()));
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
    // Nothing of it reaches the rows and columns being drawn.
    if (b.x1 < cv_->columnsLeft() || b.x0 > cv_->columnsRight() || b.y1 < cv_->rowsTop() ||
        b.y0 > cv_->rowsBottom())
        return;
    int l = 0, t = 0, r = 0, bo = 0;
    if (hasFilters(o)) filterMargins(*o.filters, filterSx_, filterSy_, l, t, r, bo);
    // What can reach the target: the content, or the target grown by how far
    // the filters spread (so that content just outside can still glow in).
    // Kept layers reach a little further, so that they still hold all that
    // shows after the clip moves a few pixels.
    const bool cached = hasFilters(o) || o.cacheAsBitmap;
    const float slack = cached ? 32.0f : 0.0f;
    float fx0 = std::max(b.x0, -l - slack), fy0 = std::max(b.y0, -t - slack);
    float fx1 = std::min(b.x1, cv_->width() + r + slack);
    float fy1 = std::min(b.y1, cv_->height() + bo + slack);
    if (!(fx0 < fx1 && fy0 < fy1)) return;
    const int x0 = static_cast<int>(std::floor(fx0)), y0 = static_cast<int>(std::floor(fy0));
    const int w = static_cast<int>(std::ceil(fx1)) - x0, h = static_cast<int>(std::ceil(fy1)) - y0;
    if (w <= 0 || h <= 0 || static_cast<int64_t>(w) * h > kMaxLayerPixels) return;

    // Filtered and cached instances keep their layer while nothing in them
    // changes; others draw into the pool layer of their nesting level.
    std::vector<uint32_t>* pixels;
    if (cached) {
        const uint64_t signature = contentSignature(o, m, cx);
        if (!o.layerCache) o.layerCache = std::make_shared<LayerCache>();
        LayerCache& c = *o.layerCache;
        // A picture moved by whole pixels is the old one moved, as long as
        // the old one holds everything that can show now.
        const double dx = m.tx - c.tx, dy = m.ty - c.ty;
        const int sx = static_cast<int>(std::lround(std::clamp(dx, -1e6, 1e6)));
        const int sy = static_cast<int>(std::lround(std::clamp(dy, -1e6, 1e6)));
        const bool whole = std::fabs(dx - sx) < 1e-3 && std::fabs(dy - sy) < 1e-3;
        if (c.signature == signature && whole && !c.pixels.empty() && x0 >= c.x0 + sx && y0 >= c.y0 + sy &&
            x0 + w <= c.x0 + sx + c.w && y0 + h <= c.y0 + sy + c.h) {
            c.x0 += sx;
            c.y0 += sy;
            c.tx = m.tx;
            c.ty = m.ty;
            composite(o, c.pixels, c.x0, c.y0, c.w, c.h);
            return;
        }
        c.signature = signature;
        c.x0 = x0;
        c.y0 = y0;
        c.w = w;
        c.h = h;
        c.tx = m.tx;
        c.ty = m.ty;
        pixels = &c.pixels;
    } else {
        o.layerCache.reset();
        if (layers_.size() <= layerDepth_) layers_.push_back(std::make_unique<Layer>());
        pixels = &layers_[layerDepth_]->pixels;
    }
    if (layers_.size() <= layerDepth_) layers_.push_back(std::make_unique<Layer>());
    Canvas& canvas = layers_[layerDepth_]->canvas;
    pixels->assign(static_cast<size_t>(w) * h, 0);
    canvas.attach(pixels->data(), w, h, w);
    ++layersDrawn_;

    Canvas* target = cv_;
    cv_ = &canvas;
    ++layerDepth_;
    // An instance with effects of its own scales plainly, as its bounds say.
    const GridMap* grid = grid_;
    grid_ = nullptr;
    drawObject(o, Matrix::translate(-x0, -y0) * m, cx, false, level);
    grid_ = grid;
    --layerDepth_;
    cv_ = target;
    if (interrupted_) {
        if (cached) o.layerCache.reset();  // a partial layer is never reused
        return;
    }

    if (hasFilters(o))
        for (const Filter& f : *o.filters)
            filterStage_.apply(f, filterSx_, filterSy_, LayerPixels{pixels->data(), w, h, w});
    composite(o, *pixels, x0, y0, w, h);
}

void Renderer::composite(const DisplayObject& o, const std::vector<uint32_t>& pixels, int x0, int y0, int w,
                         int h) {
    Canvas* target = cv_;
    const int cx0 = std::max(target->columnsLeft(), x0), cx1 = std::min(target->columnsRight(), x0 + w);
    const int cy0 = std::max(target->rowsTop(), y0), cy1 = std::min(target->rowsBottom(), y0 + h);
    for (int y = cy0; y < cy1; ++y) {
        const uint32_t* src = pixels.data() + static_cast<size_t>(y - y0) * w + (cx0 - x0);
        const uint8_t* mask = target->activeMaskRow(y);
        blendLayerSpan(o.blendMode, target->row(y) + cx0, src, mask ? mask + cx0 : nullptr, cx1 - cx0);
    }
}

}  // namespace flash
