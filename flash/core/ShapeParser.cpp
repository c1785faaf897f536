// Reading of DefineShape 1-4 and DefineMorphShape 1-2.
#include <algorithm>
#include <functional>

#include "flash/core/Shape.h"

namespace flash {

namespace {

const size_t kMaxStyles = 65535;

Rgba readColor(ByteReader& r, bool alpha) { return alpha ? r.rgba() : r.rgb(); }

bool readGradient(ByteReader& r, bool alpha, bool focal, Gradient& g) {
    uint8_t head = r.u8();
    g.spread = static_cast<SpreadMode>(std::min<int>((head >> 6) & 3, 2));
    g.linearRgb = ((head >> 4) & 3) == 1;
    int n = head & 0x0F;
    for (int i = 0; i < n; ++i) {
        GradientStop s;
        s.ratio = r.u8();
        s.color = readColor(r, alpha);
        g.stops.push_back(s);
    }
    if (focal) g.focal = std::max(-1.0, std::min(1.0, r.fixed8()));
    return !r.overflow() && !g.stops.empty();
}

bool readFill(ByteReader& r, int shapeVersion, FillStyle& f) {
    bool alpha = shapeVersion >= 3;
    uint8_t type = r.u8();
    switch (type) {
        case 0x00:
            f.kind = FillKind::Solid;
            f.color = readColor(r, alpha);
            break;
        case 0x10:
        case 0x12:
        case 0x13:
            f.kind = type == 0x10 ? FillKind::Linear : (type == 0x12 ? FillKind::Radial : FillKind::Focal);
            f.matrix = r.matrix();
            if (!readGradient(r, alpha, type == 0x13, f.gradient)) return false;
            break;
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43:
            f.kind = FillKind::Bitmap;
            f.bitmapId = r.u16();
            f.matrix = r.matrix();
            f.bitmapRepeat = (type & 1) == 0;
            f.bitmapSmooth = type < 0x42;
            break;
        default:
            return false;
    }
    return !r.overflow();
}

size_t readCount(ByteReader& r, bool extended) {
    size_t n = r.u8();
    if (n == 0xFF && extended) n = r.u16();
    return n;
}

bool readLine(ByteReader& r, int shapeVersion, LineStyle& l) {
    l.width = r.u16();
    if (shapeVersion < 4) {
        l.color = readColor(r, shapeVersion >= 3);
        return !r.overflow();
    }
    l.startCap = static_cast<CapStyle>(std::min<uint32_t>(r.ub(2), 2));
    l.join = static_cast<JoinStyle>(std::min<uint32_t>(r.ub(2), 2));
    l.hasFill = r.ub(1) != 0;
    l.noHScale = r.ub(1) != 0;
    l.noVScale = r.ub(1) != 0;
    r.ub(1);  // pixel hinting
    r.ub(5);
    l.noClose = r.ub(1) != 0;
    l.endCap = static_cast<CapStyle>(std::min<uint32_t>(r.ub(2), 2));
    if (l.join == JoinStyle::Miter) l.miterLimit = std::max(1.0, r.u16() / 256.0);
    if (l.hasFill) {
        if (!readFill(r, 4, l.fill)) return false;
        l.color = l.fill.kind == FillKind::Solid ? l.fill.color : Rgba{0, 0, 0, 255};
    } else {
        l.color = r.rgba();
    }
    return !r.overflow();
}

bool readStyles(ByteReader& r, int shapeVersion, std::vector<FillStyle>& fills,
                std::vector<LineStyle>& lines) {
    size_t nf = readCount(r, shapeVersion >= 2);
    if (nf > r.remaining()) return false;
    fills.resize(nf);
    for (FillStyle& f : fills)
        if (!readFill(r, shapeVersion, f)) return false;
    size_t nl = readCount(r, shapeVersion >= 2);
    if (nl > r.remaining()) return false;
    lines.resize(nl);
    for (LineStyle& l : lines)
        if (!readLine(r, shapeVersion, l)) return false;
    return nf <= kMaxStyles && nl <= kMaxStyles;
}

// A decoded shape record with absolute coordinates.
struct Record {
    enum Kind { Style, Straight, Curve } kind;
    bool move = false;
    bool newStyles = false;
    int f0 = -1, f1 = -1, ln = -1;  // -1: unchanged
    float x0 = 0, y0 = 0, cx = 0, cy = 0, x1 = 0, y1 = 0;
};

// Reads records up to the end record. newStyles reads the new arrays and
// returns the new index widths (false stops the shape).
bool readRecords(ByteReader& r, int fillBits, int lineBits, std::vector<Record>& out,
                 const std::function<bool(int&, int&)>& newStyles) {
    int32_t x = 0, y = 0;
    while (true) {
        if (r.overflow()) return false;
        Record rec;
        if (r.ub(1) == 0) {
            uint32_t flags = r.ub(5);
            if (flags == 0) return !r.overflow();
            rec.kind = Record::Style;
            if (flags & 0x01) {
                int bits = static_cast<int>(r.ub(5));
                x = r.sb(bits);
                y = r.sb(bits);
                rec.move = true;
            }
            if (flags & 0x02) rec.f0 = static_cast<int>(r.ub(fillBits));
            if (flags & 0x04) rec.f1 = static_cast<int>(r.ub(fillBits));
            if (flags & 0x08) rec.ln = static_cast<int>(r.ub(lineBits));
            rec.x1 = static_cast<float>(x);
            rec.y1 = static_cast<float>(y);
            if (flags & 0x10) {
                rec.newStyles = true;
                if (!newStyles || !newStyles(fillBits, lineBits)) return false;
            }
            out.push_back(rec);
            continue;
        }
        bool straight = r.ub(1) != 0;
        int bits = static_cast<int>(r.ub(4)) + 2;
        rec.x0 = static_cast<float>(x);
        rec.y0 = static_cast<float>(y);
        if (straight) {
            rec.kind = Record::Straight;
            int32_t dx = 0, dy = 0;
            if (r.ub(1)) {
                dx = r.sb(bits);
                dy = r.sb(bits);
            } else if (r.ub(1)) {
                dy = r.sb(bits);
            } else {
                dx = r.sb(bits);
            }
            x += dx;
            y += dy;
            rec.cx = (rec.x0 + static_cast<float>(x)) / 2;
            rec.cy = (rec.y0 + static_cast<float>(y)) / 2;
        } else {
            rec.kind = Record::Curve;
            x += r.sb(bits);
            y += r.sb(bits);
            rec.cx = static_cast<float>(x);
            rec.cy = static_cast<float>(y);
            x += r.sb(bits);
            y += r.sb(bits);
        }
        rec.x1 = static_cast<float>(x);
        rec.y1 = static_cast<float>(y);
        out.push_back(rec);
    }
}

int indexOr(int v, size_t count) { return v >= 0 && static_cast<size_t>(v) <= count ? v : 0; }

}  // namespace

void ShapeLayer::gatherFills() {
    fillEdges.assign(fills.size() + 1, {});
    for (uint32_t i = 0; i < edges.size(); ++i) {
        const Edge& e = edges[i];
        if (e.fill0 == e.fill1) continue;
        if (e.fill1 != 0 && e.fill1 <= fills.size()) fillEdges[e.fill1].push_back({i, false});
        if (e.fill0 != 0 && e.fill0 <= fills.size()) fillEdges[e.fill0].push_back({i, true});
    }
}

bool parseGlyphShape(ByteReader& r, std::vector<Edge>& edges) {
    int fillBits = static_cast<int>(r.ub(4));
    int lineBits = static_cast<int>(r.ub(4));
    std::vector<Record> records;
    bool ok = readRecords(r, fillBits, lineBits, records, nullptr);
    uint16_t f0 = 0, f1 = 0;
    bool newPath = true;
    for (const Record& rec : records) {
        if (rec.kind == Record::Style) {
            if (rec.f0 >= 0) f0 = rec.f0 != 0;
            if (rec.f1 >= 0) f1 = rec.f1 != 0;
            newPath = newPath || rec.move;
            continue;
        }
        edges.push_back({rec.x0, rec.y0, rec.cx, rec.cy, rec.x1, rec.y1, rec.kind == Record::Curve, newPath, f0,
                         f1, 0});
        newPath = false;
    }
    return ok;
}

std::unique_ptr<ShapeData> parseDefineShape(ByteReader& r, int tagCode, uint16_t& id) {
    int version = tagCode == 2 ? 1 : tagCode == 22 ? 2 : tagCode == 32 ? 3 : 4;
    auto shape = std::make_unique<ShapeData>();
    id = r.u16();
    shape->bounds = r.rect();
    if (version == 4) {
        r.rect();
        uint8_t flags = r.u8();
        shape->nonZero = (flags & 0x04) != 0;
    }
    shape->layers.emplace_back();
    if (!readStyles(r, version, shape->layers.back().fills, shape->layers.back().lines)) return nullptr;
    int fillBits = static_cast<int>(r.ub(4));
    int lineBits = static_cast<int>(r.ub(4));
    std::vector<Record> records;
    // New style arrays start a new layer; edges go to the latest layer.
    std::vector<size_t> layerStart;  // record index where each new layer begins
    bool ok = readRecords(r, fillBits, lineBits, records, [&](int& fb, int& lb) {
        ShapeLayer layer;
        if (!readStyles(r, version, layer.fills, layer.lines)) return false;
        fb = static_cast<int>(r.ub(4));
        lb = static_cast<int>(r.ub(4));
        shape->layers.push_back(std::move(layer));
        return true;
    });
    (void)ok;  // a truncated record list keeps the edges read so far

    size_t layerIndex = 0;
    int f0 = 0, f1 = 0, ln = 0;
    bool newPath = true;
    for (const Record& rec : records) {
        if (rec.kind == Record::Style) {
            if (rec.newStyles && layerIndex + 1 < shape->layers.size()) {
                ++layerIndex;
                f0 = f1 = ln = 0;
                newPath = true;
            }
            const ShapeLayer& L = shape->layers[layerIndex];
            if (rec.f0 >= 0) f0 = indexOr(rec.f0, L.fills.size());
            if (rec.f1 >= 0) f1 = indexOr(rec.f1, L.fills.size());
            if (rec.ln >= 0) {
                ln = indexOr(rec.ln, L.lines.size());
                newPath = true;
            }
            if (rec.move) newPath = true;
            continue;
        }
        Edge e{rec.x0,
               rec.y0,
               rec.cx,
               rec.cy,
               rec.x1,
               rec.y1,
               rec.kind == Record::Curve,
               newPath,
               static_cast<uint16_t>(f0),
               static_cast<uint16_t>(f1),
               static_cast<uint16_t>(ln)};
        shape->layers[layerIndex].edges.push_back(e);
        newPath = false;
    }
    for (ShapeLayer& L : shape->layers) L.gatherFills();
    return shape;
}

namespace {

Rgba lerpColor(const Rgba& a, const Rgba& b, double t) {
    auto l = [&](uint8_t x, uint8_t y) { return static_cast<uint8_t>(x + (y - x) * t + 0.5); };
    return {l(a.r, b.r), l(a.g, b.g), l(a.b, b.b), l(a.a, b.a)};
}

Matrix lerpMatrix(const Matrix& a, const Matrix& b, double t) {
    return {a.a + (b.a - a.a) * t, a.b + (b.b - a.b) * t,    a.c + (b.c - a.c) * t,
            a.d + (b.d - a.d) * t, a.tx + (b.tx - a.tx) * t, a.ty + (b.ty - a.ty) * t};
}

FillStyle lerpFill(const FillStyle& a, const FillStyle& b, double t) {
    FillStyle f = a;
    f.color = lerpColor(a.color, b.color, t);
    f.matrix = lerpMatrix(a.matrix, b.matrix, t);
    for (size_t i = 0; i < f.gradient.stops.size() && i < b.gradient.stops.size(); ++i) {
        const GradientStop& sa = a.gradient.stops[i];
        const GradientStop& sb = b.gradient.stops[i];
        f.gradient.stops[i].ratio = static_cast<uint8_t>(sa.ratio + (sb.ratio - sa.ratio) * t + 0.5);
        f.gradient.stops[i].color = lerpColor(sa.color, sb.color, t);
    }
    return f;
}

bool readMorphFill(ByteReader& r, MorphFill& f) {
    uint8_t type = r.u8();
    switch (type) {
        case 0x00:
            f.start.kind = f.end.kind = FillKind::Solid;
            f.start.color = r.rgba();
            f.end.color = r.rgba();
            break;
        case 0x10:
        case 0x12:
        case 0x13: {
            FillKind k =
                type == 0x10 ? FillKind::Linear : (type == 0x12 ? FillKind::Radial : FillKind::Focal);
            f.start.kind = f.end.kind = k;
            f.start.matrix = r.matrix();
            f.end.matrix = r.matrix();
            uint8_t head = r.u8();
            int n = head & 0x0F;
            SpreadMode spread = static_cast<SpreadMode>(std::min<int>((head >> 6) & 3, 2));
            f.start.gradient.spread = f.end.gradient.spread = spread;
            f.start.gradient.linearRgb = f.end.gradient.linearRgb = ((head >> 4) & 3) == 1;
            for (int i = 0; i < n; ++i) {
                GradientStop s, e;
                s.ratio = r.u8();
                s.color = r.rgba();
                e.ratio = r.u8();
                e.color = r.rgba();
                f.start.gradient.stops.push_back(s);
                f.end.gradient.stops.push_back(e);
            }
            if (n == 0) return false;
            if (type == 0x13 && r.remaining() >= 4) {
                f.start.gradient.focal = std::max(-1.0, std::min(1.0, r.fixed8()));
                f.end.gradient.focal = std::max(-1.0, std::min(1.0, r.fixed8()));
            }
            break;
        }
        case 0x40:
        case 0x41:
        case 0x42:
        case 0x43:
            f.start.kind = f.end.kind = FillKind::Bitmap;
            f.start.bitmapId = f.end.bitmapId = r.u16();
            f.start.matrix = r.matrix();
            f.end.matrix = r.matrix();
            f.start.bitmapRepeat = f.end.bitmapRepeat = (type & 1) == 0;
            f.start.bitmapSmooth = f.end.bitmapSmooth = type < 0x42;
            break;
        default:
            return false;
    }
    return !r.overflow();
}

bool readMorphLine(ByteReader& r, bool version2, MorphLine& l) {
    l.start.width = r.u16();
    l.end.width = r.u16();
    if (version2) {
        LineStyle& s = l.start;
        s.startCap = static_cast<CapStyle>(std::min<uint32_t>(r.ub(2), 2));
        s.join = static_cast<JoinStyle>(std::min<uint32_t>(r.ub(2), 2));
        s.hasFill = r.ub(1) != 0;
        s.noHScale = r.ub(1) != 0;
        s.noVScale = r.ub(1) != 0;
        r.ub(1);
        r.ub(5);
        s.noClose = r.ub(1) != 0;
        s.endCap = static_cast<CapStyle>(std::min<uint32_t>(r.ub(2), 2));
        if (s.join == JoinStyle::Miter) s.miterLimit = std::max(1.0, r.u16() / 256.0);
        uint16_t endWidth = l.end.width;
        l.end = s;
        l.end.width = endWidth;
        if (s.hasFill) {
            MorphFill mf;
            if (!readMorphFill(r, mf)) return false;
            l.start.fill = mf.start;
            l.end.fill = mf.end;
            l.start.color = mf.start.color;
            l.end.color = mf.end.color;
            return !r.overflow();
        }
    }
    l.start.color = r.rgba();
    l.end.color = r.rgba();
    return !r.overflow();
}

}  // namespace

std::unique_ptr<MorphData> parseDefineMorphShape(ByteReader& r, int tagCode, uint16_t& id) {
    bool v2 = tagCode == 84;
    auto m = std::make_unique<MorphData>();
    id = r.u16();
    m->startBounds = r.rect();
    m->endBounds = r.rect();
    if (v2) {
        r.rect();
        r.rect();
        r.u8();
    }
    uint32_t offset = r.u32();
    size_t stylesStart = r.pos();
    size_t nf = readCount(r, true);
    if (nf > r.remaining()) return nullptr;
    m->fills.resize(nf);
    for (MorphFill& f : m->fills)
        if (!readMorphFill(r, f)) return nullptr;
    size_t nl = readCount(r, true);
    if (nl > r.remaining()) return nullptr;
    m->lines.resize(nl);
    for (MorphLine& l : m->lines)
        if (!readMorphLine(r, v2, l)) return nullptr;

    std::vector<Record> startRecs, endRecs;
    int fb = static_cast<int>(r.ub(4)), lb = static_cast<int>(r.ub(4));
    readRecords(r, fb, lb, startRecs, nullptr);
    if (offset > 0 && stylesStart + offset <= r.size()) r.seek(stylesStart + offset);
    r.align();
    fb = static_cast<int>(r.ub(4));
    lb = static_cast<int>(r.ub(4));
    readRecords(r, fb, lb, endRecs, nullptr);

    std::vector<const Record*> endEdges;
    for (const Record& rec : endRecs)
        if (rec.kind != Record::Style) endEdges.push_back(&rec);
    size_t next = 0;
    int f0 = 0, f1 = 0, ln = 0;
    bool newPath = true;
    for (const Record& rec : startRecs) {
        if (rec.kind == Record::Style) {
            if (rec.f0 >= 0) f0 = indexOr(rec.f0, nf);
            if (rec.f1 >= 0) f1 = indexOr(rec.f1, nf);
            if (rec.ln >= 0) {
                ln = indexOr(rec.ln, nl);
                newPath = true;
            }
            if (rec.move) newPath = true;
            continue;
        }
        if (next >= endEdges.size()) break;  // unpaired edges are dropped
        const Record& e = *endEdges[next++];
        MorphEdge me;
        me.start = Edge{rec.x0,
                        rec.y0,
                        rec.cx,
                        rec.cy,
                        rec.x1,
                        rec.y1,
                        rec.kind == Record::Curve,
                        newPath,
                        static_cast<uint16_t>(f0),
                        static_cast<uint16_t>(f1),
                        static_cast<uint16_t>(ln)};
        me.ex0 = e.x0;
        me.ey0 = e.y0;
        me.ecx = e.cx;
        me.ecy = e.cy;
        me.ex1 = e.x1;
        me.ey1 = e.y1;
        me.endCurve = e.kind == Record::Curve;
        m->edges.push_back(me);
        newPath = false;
    }
    return m;
}

void MorphData::interpolate(uint16_t ratio, ShapeData& out) const {
    double t = ratio / 65535.0;
    auto lerp = [t](float a, float b) { return static_cast<float>(a + (b - a) * t); };
    out.bounds = {static_cast<int32_t>(startBounds.xMin + (endBounds.xMin - startBounds.xMin) * t),
                  static_cast<int32_t>(startBounds.xMax + (endBounds.xMax - startBounds.xMax) * t),
                  static_cast<int32_t>(startBounds.yMin + (endBounds.yMin - startBounds.yMin) * t),
                  static_cast<int32_t>(startBounds.yMax + (endBounds.yMax - startBounds.yMax) * t)};
    out.nonZero = false;
    out.layers.resize(1);
    ShapeLayer& L = out.layers[0];
    L.fills.clear();
    L.lines.clear();
    L.edges.clear();
    for (const MorphFill& f : fills) L.fills.push_back(lerpFill(f.start, f.end, t));
    for (const MorphLine& l : lines) {
        LineStyle s = l.start;
        s.width = static_cast<uint16_t>(l.start.width + (l.end.width - l.start.width) * t + 0.5);
        s.color = lerpColor(l.start.color, l.end.color, t);
        if (s.hasFill) s.fill = lerpFill(l.start.fill, l.end.fill, t);
        L.lines.push_back(s);
    }
    for (const MorphEdge& me : edges) {
        Edge e = me.start;
        // Straight edges carry their midpoint as control point, so a straight
        // edge paired with a curve interpolates as a curve.
        e.x0 = lerp(me.start.x0, me.ex0);
        e.y0 = lerp(me.start.y0, me.ey0);
        e.cx = lerp(me.start.cx, me.ecx);
        e.cy = lerp(me.start.cy, me.ecy);
        e.x1 = lerp(me.start.x1, me.ex1);
        e.y1 = lerp(me.start.y1, me.ey1);
        e.curve = me.start.curve || me.endCurve;
        L.edges.push_back(e);
    }
    L.gatherFills();
}

}  // namespace flash
