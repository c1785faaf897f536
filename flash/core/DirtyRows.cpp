#include "flash/core/DirtyRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "flash/core/Drawing.h"
#include "flash/core/Renderer.h"
#include "flash/core/TextField.h"
#include "flash/core/video/VideoStream.h"

namespace flash {

namespace {

const int kMaxLevels = 64;
// Pixels added around an item: anti-aliasing and rounding reach a pixel or
// so beyond the exact box.
const int kPad = 2;
// Rectangles closer than this (in pixels of area wasted by joining them)
// are drawn as one.
const int64_t kJoinSlack = 48 * 48;
// More changed rectangles than this are drawn as the box around them all.
const size_t kMaxLoose = 96;
// What one frame draws again: at most this many rectangles.
const size_t kMaxRects = 8;

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
    Hash& matrix(const Matrix& m) {
        const double v[6] = {m.a, m.b, m.c, m.d, m.tx, m.ty};
        bytes(v, sizeof v);
        return *this;
    }
    Hash& cxform(const ColorTransform& c) {
        const int16_t v[8] = {c.rMul, c.gMul, c.bMul, c.aMul, c.rAdd, c.gAdd, c.bAdd, c.aAdd};
        bytes(v, sizeof v);
        return *this;
    }
    // Filters by value: timelines restate the same list in new objects.
    Hash& filters(const FilterList* list) {
        if (!list) return *this;
        for (const Filter& f : *list) {
            const float v[8] = {f.blurX, f.blurY, f.angle, f.distance, f.strength, f.divisor, f.bias, 0};
            const bool flags[6] = {f.inner, f.knockout, f.hideObject, f.onTop, f.clamp, f.preserveAlpha};
            add(f.kind).add(f.color).add(f.highlight).add(f.passes).add(f.matrixX).add(f.matrixY);
            add(f.defaultColor).bytes(v, sizeof v);
            bytes(flags, sizeof flags);
            bytes(f.colors.data(), f.colors.size() * sizeof(Rgba));
            bytes(f.ratios.data(), f.ratios.size());
            bytes(f.matrix.data(), f.matrix.size() * sizeof(float));
            bytes(f.colorMatrix, sizeof f.colorMatrix);
        }
        return *this;
    }
};

uint64_t mix(uint64_t a, uint64_t b) { return Hash().add(a).add(b).h; }

// How far strokes reach beyond their edges (caps and mitred joins).
float reach(const LineStyle& l) { return l.width * 0.5f * std::max(2.0f, static_cast<float>(l.miterLimit)); }

// Device pixels per unit along the longer axis of m.
double scaleOf(const Matrix& m) { return std::sqrt(std::max(m.a * m.a + m.b * m.b, m.c * m.c + m.d * m.d)); }

DirtyRect join(const DirtyRect& a, const DirtyRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

bool overlap(const DirtyRect& a, const DirtyRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Area drawn in vain when a and b are drawn as one rectangle.
int64_t waste(const DirtyRect& a, const DirtyRect& b) { return join(a, b).area() - a.area() - b.area(); }

}  // namespace

struct FrameItems::Box {
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    void add(float x, float y) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    // Every point of the edges (ends and control points), which holds the
    // curves; declared bounds are not trusted.
    void addEdges(const std::vector<Edge>& edges) {
        for (const Edge& e : edges) {
            add(e.x0, e.y0);
            add(e.x1, e.y1);
            if (e.curve) add(e.cx, e.cy);
        }
    }
    bool empty() const { return !(x0 <= x1 && y0 <= y1); }
};

// An instance drawn as a whole (a layer of its own, a scale-9 grid): its
// items' hashes and boxes are gathered into one.
struct FrameItems::Group {
    Hash hash;
    Box box;
    float reach = 0;  // longest stroke reach inside, twips
};

bool FrameItems::take(const DisplayObject& root, const Matrix& view, int width, int height) {
    items_.clear();
    guessed_ = false;
    width_ = width;
    height_ = height;
    view_ = view;
    const Walk w{view, ColorTransform(), 0, 0, false, 0, nullptr};
    if (root.drawing && !root.drawing->empty())
        addShape(root.drawing->shape(), Hash().add(root.drawing.get()).add(root.drawing->revision()).h, w);
    walk(root, w);
    std::sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return a.hash < b.hash; });
    return true;
}

void FrameItems::walk(const DisplayObject& clip, const Walk& w) {
    if (w.level > kMaxLevels) return;
    uint64_t masks = w.masks;
    // The masks opened at this level: their end depths and the chain before each.
    std::vector<std::pair<uint16_t, uint64_t>> open;
    for (const auto& kv : clip.children) {
        const DisplayObject& o = *kv.second;
        while (!open.empty() && kv.first > open.back().first) {
            masks = open.back().second;
            open.pop_back();
        }
        Walk c{w.m * o.matrix, w.cx.after(o.cxform), mix(w.path, kv.first), masks, w.mask, w.level, w.group};
        if (o.clipDepth > 0) {
            if (w.mask) {
                visit(o, c);
            } else if (o.clipDepth > kv.first) {
                c.mask = true;
                visit(o, c);
                open.emplace_back(o.clipDepth, masks);
                masks = mix(masks, c.path);
            }
            continue;
        }
        if (!o.visible || (o.masking > 0 && !w.mask)) continue;
        if (!w.mask) {
            // A clip masked by another (setMask): the mask's picture, where
            // it stands on the stage, decides what shows.
            std::shared_ptr<DisplayObject> by = o.maskedBy.lock();
            if (by && by.get() != &o && by->masking > 0 && by->parent) {
                Matrix mm;
                for (const DisplayObject* p = by.get(); p && p->parent; p = p->parent) mm = p->matrix * mm;
                Group g;
                visit(*by, Walk{view_ * mm, ColorTransform(), 1, 0, true, w.level + 1, &g});
                c.masks = mix(c.masks, g.hash.h);
            }
            if (Renderer::hasEffects(o)) {
                visitGroup(o, c);
                continue;
            }
        }
        visit(o, c);
    }
}

void FrameItems::visit(const DisplayObject& o, const Walk& w) {
    if (!o.character && !o.hasTimeline()) return;
    if (o.character && o.character->kind != Character::Sprite) {
        addLeaf(o, w);
    } else if (o.character && o.character->hasGrid) {
        // A scaling grid bends the shapes directly inside away from their
        // plain transform: the clip is one item.
        visitGroup(o, w);
    } else {
        visitClip(o, w);
    }
}

void FrameItems::visitClip(const DisplayObject& o, const Walk& w) {
    if (o.drawing && !o.drawing->empty())
        addShape(o.drawing->shape(), Hash().add(o.drawing.get()).add(o.drawing->revision()).h, w);
    Walk inner = w;
    ++inner.level;
    walk(o, inner);
}

void FrameItems::visitGroup(const DisplayObject& o, const Walk& w) {
    const bool clip = !o.character || o.character->kind == Character::Sprite;
    const bool grid = clip && o.character && o.character->hasGrid;
    Group g;
    g.hash.add(w.path).add(w.masks).add(o.blendMode).add(o.cacheAsBitmap);
    g.hash.filters(o.filters.get()).matrix(o.matrix);
    Walk inner = w;
    inner.group = &g;
    if (clip) {
        visitClip(o, inner);
    } else {
        addLeaf(o, inner);
    }
    if (g.box.empty()) return;
    if (o.filters && !o.filters->empty()) {
        const float sx = static_cast<float>(std::hypot(view_.a, view_.b) * 20);
        const float sy = static_cast<float>(std::hypot(view_.c, view_.d) * 20);
        int l = 0, t = 0, r = 0, b = 0;
        filterMargins(*o.filters, sx, sy, l, t, r, b);
        g.box.x0 -= static_cast<float>(l + 1);
        g.box.y0 -= static_cast<float>(t + 1);
        g.box.x1 += static_cast<float>(r + 1);
        g.box.y1 += static_cast<float>(b + 1);
    }
    if (grid) {
        // Corners keep the scale the clip has without its own placement,
        // and their strokes that width.
        Matrix own, outer = w.m;
        if (o.matrix.invert(own)) outer = w.m * own;
        const float pad = g.reach * static_cast<float>(std::max(scaleOf(w.m), scaleOf(outer))) + 1;
        g.box.x0 -= pad;
        g.box.y0 -= pad;
        g.box.x1 += pad;
        g.box.y1 += pad;
    }
    addBox(g.hash.h, g.box.x0, g.box.y0, g.box.x1, g.box.y1, w.group);
    if (w.group) w.group->reach = std::max(w.group->reach, g.reach);
}

void FrameItems::addLeaf(const DisplayObject& o, const Walk& w) {
    Hash h;
    h.add(o.character).add(o.character->kind);
    switch (o.character->kind) {
        case Character::Shape: {
            const ShapeData* s = o.shownShape();
            if (!s) return;
            h.add(s).add(o.textEdges);
            if (o.field) {
                const TextFieldState& f = *o.field;
                h.add(f.revision).add(f.caret).add(f.selBegin).add(f.selEnd).add(f.focused).add(f.scroll);
            }
            addShape(*s, h.h, w);
            return;
        }
        case Character::Morph: {
            const MorphData& md = *o.character->morph;
            Box box;
            float pad = 0;
            for (const MorphEdge& e : md.edges) {
                box.add(e.start.x0, e.start.y0);
                box.add(e.start.x1, e.start.y1);
                box.add(e.start.cx, e.start.cy);
                box.add(e.ex0, e.ey0);
                box.add(e.ex1, e.ey1);
                box.add(e.ecx, e.ecy);
            }
            for (const MorphLine& l : md.lines) pad = std::max(pad, std::max(reach(l.start), reach(l.end)));
            addTwips(box, pad, 0, h.add(o.ratio).h, w);
            return;
        }
        case Character::Video: {
            // A new frame of the stream shows a new picture.
            const VideoDef& v = *o.character->video;
            float vw = v.width * 20.0f, vh = v.height * 20.0f;
            if (o.video && o.video->bitmap().ready() && o.video->shownFrame() == o.ratio) {
                vw = std::max(vw, o.video->bitmap().width() * 20.0f);
                vh = std::max(vh, o.video->bitmap().height() * 20.0f);
            } else {
                guessed_ = true;
            }
            Box box;
            box.add(0, 0);
            box.add(vw, vh);
            addTwips(box, 0, 0, h.add(o.ratio).h, w);
            return;
        }
        default:
            return;  // bitmaps and fonts are drawn through shapes
    }
}

void FrameItems::addShape(const ShapeData& s, uint64_t hash, const Walk& w) {
    Box box;
    float pad = 0, devicePad = 0;
    for (const ShapeLayer& L : s.layers) {
        box.addEdges(L.edges);
        for (const LineStyle& l : L.lines) {
            pad = std::max(pad, reach(l));
            // Strokes that keep their width are that wide in pixels.
            if (l.noHScale && l.noVScale) devicePad = std::max(devicePad, reach(l) / 20);
        }
    }
    addTwips(box, pad, devicePad, hash, w);
}

void FrameItems::addTwips(const Box& box, float pad, float devicePad, uint64_t hash, const Walk& w) {
    if (box.empty()) return;
    const Matrix& m = w.m;
    Hash h;
    h.add(hash).add(w.path).add(w.masks).add(w.mask).matrix(m).cxform(w.cx);
    if (w.group) w.group->reach = std::max(w.group->reach, pad);
    Box d;
    const float xs[2] = {box.x0 - pad, box.x1 + pad}, ys[2] = {box.y0 - pad, box.y1 + pad};
    for (float x : xs)
        for (float y : ys) d.add(static_cast<float>(m.mapX(x, y)), static_cast<float>(m.mapY(x, y)));
    // Thin strokes are drawn a pixel wide whatever the scale.
    const float thin = 1 + devicePad;
    addBox(h.h, d.x0 - thin, d.y0 - thin, d.x1 + thin, d.y1 + thin, w.group);
}

void FrameItems::addBox(uint64_t hash, float x0, float y0, float x1, float y1, Group* group) {
    if (!(x0 == x0 && y0 == y0 && x1 == x1 && y1 == y1)) {  // NaN: assume everything
        x0 = y0 = -1e30f;
        x1 = y1 = 1e30f;
    }
    if (group) {
        group->hash.add(hash);
        group->box.add(x0, y0);
        group->box.add(x1, y1);
        return;
    }
    auto clampTo = [](float v, int limit) {
        return static_cast<int>(std::max(0.0f, std::min(static_cast<float>(limit), v)));
    };
    const DirtyRect r{clampTo(std::floor(x0) - kPad, width_), clampTo(std::floor(y0) - kPad, height_),
                      clampTo(std::ceil(x1) + kPad, width_), clampTo(std::ceil(y1) + kPad, height_)};
    if (r.right <= r.left || r.bottom <= r.top) return;
    items_.push_back({hash, r});
}

void FrameItems::mergeRects(std::vector<DirtyRect>& rects, size_t most) {
    if (rects.size() > kMaxLoose) {
        DirtyRect all = rects[0];
        for (const DirtyRect& r : rects) all = join(all, r);
        rects.assign(1, all);
        return;
    }
    // Overlapping or nearby rectangles become one, until none are left.
    for (bool joined = true; joined;) {
        joined = false;
        for (size_t i = 0; i < rects.size(); ++i)
            for (size_t j = i + 1; j < rects.size(); ++j) {
                if (!overlap(rects[i], rects[j]) && waste(rects[i], rects[j]) > kJoinSlack) continue;
                rects[i] = join(rects[i], rects[j]);
                rects[j] = rects.back();
                rects.pop_back();
                joined = true;
                j = i;  // rects[i] grew: compare it with all again
            }
    }
    // Then the pairs that waste least, until few are left.
    while (rects.size() > most) {
        size_t bi = 0, bj = 1;
        int64_t best = INT64_MAX;
        for (size_t i = 0; i < rects.size(); ++i)
            for (size_t j = i + 1; j < rects.size(); ++j) {
                const int64_t wasted = waste(rects[i], rects[j]);
                if (wasted < best) {
                    best = wasted;
                    bi = i;
                    bj = j;
                }
            }
        rects[bi] = join(rects[bi], rects[bj]);
        rects[bj] = rects.back();
        rects.pop_back();
        // A grown rectangle may now overlap others.
        for (size_t j = 0; j < rects.size(); ++j)
            if (j != bi && overlap(rects[bi], rects[j])) {
                rects[bi] = join(rects[bi], rects[j]);
                rects[j] = rects.back();
                rects.pop_back();
                if (bi == rects.size()) bi = j;
                j = static_cast<size_t>(-1);
            }
    }
}

std::vector<DirtyRect> FrameItems::changedRects(const FrameItems& before, const FrameItems& after) {
    std::vector<DirtyRect> rects;
    // Both lists are sorted by hash: walk them together.
    size_t i = 0, j = 0;
    const auto& a = before.items_;
    const auto& b = after.items_;
    auto same = [](const DirtyRect& x, const DirtyRect& y) {
        return x.left == y.left && x.top == y.top && x.right == y.right && x.bottom == y.bottom;
    };
    while (i < a.size() || j < b.size()) {
        if (j >= b.size() || (i < a.size() && a[i].hash < b[j].hash)) {
            rects.push_back(a[i].box);
            ++i;
        } else if (i >= a.size() || b[j].hash < a[i].hash) {
            rects.push_back(b[j].box);
            ++j;
        } else {
            if (!same(a[i].box, b[j].box)) {
                rects.push_back(a[i].box);
                rects.push_back(b[j].box);
            }
            ++i;
            ++j;
        }
    }
    mergeRects(rects, kMaxRects);
    return rects;
}

}  // namespace flash
