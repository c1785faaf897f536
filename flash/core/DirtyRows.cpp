#include "flash/core/DirtyRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "flash/core/Renderer.h"

namespace flash {

namespace {

const int kMaxLevels = 64;
// Rows added above and below an item: anti-aliasing and rounding reach a
// pixel or so beyond the exact box.
const int kRowPad = 2;

struct Hash {
    uint64_t h = 1469598103934665603ull;
    void bytes(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
    template <typename T>
    Hash& add(const T& v) {
        bytes(&v, sizeof v);
        return *this;
    }
};

uint64_t mix(uint64_t a, uint64_t b) { return Hash().add(a).add(b).h; }

struct Box {
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    void add(float x, float y) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    bool empty() const { return !(x0 <= x1 && y0 <= y1); }
};

// Box of every point of the edges (ends and control points), which holds
// the curves; declared bounds are not trusted.
void addEdges(const std::vector<Edge>& edges, Box& b) {
    for (const Edge& e : edges) {
        b.add(e.x0, e.y0);
        b.add(e.x1, e.y1);
        if (e.curve) b.add(e.cx, e.cy);
    }
}

// How far strokes reach beyond their edges (caps and mitred joins).
float reach(const LineStyle& l) { return l.width * 0.5f * std::max(2.0f, static_cast<float>(l.miterLimit)); }

}  // namespace

bool FrameItems::take(const DisplayObject& root, const Matrix& view, int height) {
    items_.clear();
    height_ = height;
    if (!walk(root, view, ColorTransform(), 0, 0, false, 0)) {
        items_.clear();
        return false;
    }
    std::sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return a.hash < b.hash; });
    return true;
}

bool FrameItems::walk(const DisplayObject& clip, const Matrix& m, const ColorTransform& cx, uint64_t path,
                      uint64_t masks, bool mask, int level) {
    if (level > kMaxLevels) return true;
    // The masks opened at this level: their end depths and the chain before each.
    std::vector<std::pair<uint16_t, uint64_t>> open;
    for (const auto& kv : clip.children) {
        const DisplayObject& o = *kv.second;
        while (!open.empty() && kv.first > open.back().first) {
            masks = open.back().second;
            open.pop_back();
        }
        const Matrix om = m * o.matrix;
        const ColorTransform ocx = cx.after(o.cxform);
        const uint64_t here = mix(path, kv.first);
        if (o.clipDepth > 0) {
            if (mask) {
                if (!visit(o, om, ocx, here, masks, true, level)) return false;
            } else if (o.clipDepth > kv.first) {
                if (!visit(o, om, ocx, here, masks, true, level)) return false;
                open.emplace_back(o.clipDepth, masks);
                masks = mix(masks, here);
            }
            continue;
        }
        if (!o.visible) continue;
        if (!mask && Renderer::hasEffects(o)) return false;
        if (!visit(o, om, ocx, here, masks, mask, level)) return false;
    }
    return true;
}

bool FrameItems::visit(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, uint64_t path,
                       uint64_t masks, bool mask, int level) {
    if (!o.character)
        return !o.hasTimeline() || walk(o, m, cx, path, masks, mask, level + 1);  // a level root
    if (o.character->kind == Character::Sprite) {
        // A scaling grid bends its shapes away from their plain transform.
        if (o.character->hasGrid) return false;
        return walk(o, m, cx, path, masks, mask, level + 1);
    }
    addLeaf(o, m, cx, path, masks, mask);
    return true;
}

void FrameItems::addLeaf(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, uint64_t path,
                         uint64_t masks, bool mask) {
    if (!o.character || o.character->kind == Character::Sprite) return;
    Hash h;
    h.add(path).add(masks).add(mask).add(o.character).add(o.character->kind);
    const double mv[6] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
    h.bytes(mv, sizeof mv);
    const int16_t cv[8] = {cx.rMul, cx.gMul, cx.bMul, cx.aMul, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd};
    h.bytes(cv, sizeof cv);
    Box box;
    float pad = 0, devicePad = 0;
    switch (o.character->kind) {
        case Character::Shape: {
            const ShapeData& s = o.textShape ? *o.textShape : *o.character->shape;
            h.add(&s).add(o.textEdges);
            for (const ShapeLayer& L : s.layers) {
                addEdges(L.edges, box);
                for (const LineStyle& l : L.lines) {
                    pad = std::max(pad, reach(l));
                    // Strokes that keep their width are that wide in pixels.
                    if (l.noHScale && l.noVScale) devicePad = std::max(devicePad, reach(l) / 20);
                }
            }
            break;
        }
        case Character::Morph: {
            const MorphData& md = *o.character->morph;
            h.add(o.ratio);
            for (const MorphEdge& e : md.edges) {
                box.add(e.start.x0, e.start.y0);
                box.add(e.start.x1, e.start.y1);
                box.add(e.start.cx, e.start.cy);
                box.add(e.ex0, e.ey0);
                box.add(e.ex1, e.ey1);
                box.add(e.ecx, e.ecy);
            }
            for (const MorphLine& l : md.lines) pad = std::max(pad, std::max(reach(l.start), reach(l.end)));
            break;
        }
        default:
            // Video shows a new picture whenever its stream moves on: it
            // counts as changed in every frame, over every row.
            h.add(++serial_);
            items_.push_back({h.h, 0, height_});
            return;
    }
    if (box.empty()) return;
    box.x0 -= pad;
    box.y0 -= pad;
    box.x1 += pad;
    box.y1 += pad;
    float y0 = 1e30f, y1 = -1e30f;
    const float xs[2] = {box.x0, box.x1}, ys[2] = {box.y0, box.y1};
    for (float x : xs)
        for (float y : ys) {
            const float dy = static_cast<float>(m.mapY(x, y));
            y0 = std::min(y0, dy);
            y1 = std::max(y1, dy);
        }
    // Thin strokes are drawn a pixel wide whatever the scale.
    y0 -= 1 + devicePad;
    y1 += 1 + devicePad;
    if (!(y0 == y0) || !(y1 == y1)) {  // NaN: assume everything
        y0 = 0;
        y1 = static_cast<float>(height_);
    }
    const float lo = std::max(0.0f, std::min(static_cast<float>(height_), std::floor(y0) - kRowPad));
    const float hi = std::max(0.0f, std::min(static_cast<float>(height_), std::ceil(y1) + kRowPad));
    if (hi <= lo) return;
    items_.push_back({h.h, static_cast<int>(lo), static_cast<int>(hi)});
}

std::vector<RowSpan> FrameItems::changedRows(const FrameItems& before, const FrameItems& after) {
    std::vector<RowSpan> spans;
    // Both lists are sorted by hash: walk them together.
    size_t i = 0, j = 0;
    const auto& a = before.items_;
    const auto& b = after.items_;
    while (i < a.size() || j < b.size()) {
        if (j >= b.size() || (i < a.size() && a[i].hash < b[j].hash)) {
            spans.push_back({a[i].top, a[i].bottom});
            ++i;
        } else if (i >= a.size() || b[j].hash < a[i].hash) {
            spans.push_back({b[j].top, b[j].bottom});
            ++j;
        } else {
            if (a[i].top != b[j].top || a[i].bottom != b[j].bottom) {
                spans.push_back({a[i].top, a[i].bottom});
                spans.push_back({b[j].top, b[j].bottom});
            }
            ++i;
            ++j;
        }
    }
    std::sort(spans.begin(), spans.end(), [](const RowSpan& x, const RowSpan& y) { return x.top < y.top; });
    std::vector<RowSpan> merged;
    for (const RowSpan& s : spans) {
        if (!merged.empty() && s.top <= merged.back().bottom) {
            merged.back().bottom = std::max(merged.back().bottom, s.bottom);
        } else {
            merged.push_back(s);
        }
    }
    return merged;
}

}  // namespace flash
