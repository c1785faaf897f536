#include "tools/swfwriter/ShapeWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace swfw {

static const double kPi = 3.14159265358979323846;

namespace {

int widthFor(std::initializer_list<int32_t> values) {
    int bits = 0;
    for (int32_t v : values) bits = std::max(bits, v == 0 ? 0 : BitWriter::sbits(v));
    return bits;
}

int32_t fixed16(double v) { return static_cast<int32_t>(std::lround(v * 65536.0)); }

void writeColor(BitWriter& w, const Rgba& c, bool alpha) {
    w.u8(c.r);
    w.u8(c.g);
    w.u8(c.b);
    if (alpha) w.u8(c.a);
}

void writeStyleCount(BitWriter& w, size_t n, int shapeVersion) {
    if (n >= 0xFF && shapeVersion >= 2) {
        w.u8(0xFF);
        w.u16(static_cast<uint16_t>(n));
    } else {
        w.u8(static_cast<uint8_t>(n));
    }
}

int indexBits(size_t count) { return BitWriter::ubits(static_cast<uint32_t>(count)); }

}  // namespace

void writeMatrix(BitWriter& w, const Matrix& m) {
    w.align();
    bool hasScale = m.a != 1.0 || m.d != 1.0;
    w.ub(hasScale ? 1 : 0, 1);
    if (hasScale) {
        int32_t a = fixed16(m.a), d = fixed16(m.d);
        int bits = std::max(1, widthFor({a, d}));
        w.ub(static_cast<uint32_t>(bits), 5);
        w.sb(a, bits);
        w.sb(d, bits);
    }
    bool hasRotate = m.b != 0.0 || m.c != 0.0;
    w.ub(hasRotate ? 1 : 0, 1);
    if (hasRotate) {
        int32_t b = fixed16(m.b), c = fixed16(m.c);
        int bits = std::max(1, widthFor({b, c}));
        w.ub(static_cast<uint32_t>(bits), 5);
        w.sb(b, bits);
        w.sb(c, bits);
    }
    int bits = widthFor({m.tx, m.ty});
    w.ub(static_cast<uint32_t>(bits), 5);
    w.sb(m.tx, bits);
    w.sb(m.ty, bits);
    w.align();
}

void writeCxForm(BitWriter& w, const CxForm& cx, bool withAlpha) {
    int32_t mult[4] = {
        static_cast<int32_t>(std::lround(cx.mr * 256)), static_cast<int32_t>(std::lround(cx.mg * 256)),
        static_cast<int32_t>(std::lround(cx.mb * 256)), static_cast<int32_t>(std::lround(cx.ma * 256))};
    int32_t add[4] = {cx.ar, cx.ag, cx.ab, cx.aa};
    int n = withAlpha ? 4 : 3;
    bool hasMult = false, hasAdd = false;
    int bits = 1;
    for (int i = 0; i < n; ++i) {
        if (mult[i] != 256) hasMult = true;
        if (add[i] != 0) hasAdd = true;
    }
    for (int i = 0; i < n; ++i) {
        if (hasMult) bits = std::max(bits, BitWriter::sbits(mult[i]));
        if (hasAdd) bits = std::max(bits, BitWriter::sbits(add[i]));
    }
    w.align();
    w.ub(hasAdd ? 1 : 0, 1);
    w.ub(hasMult ? 1 : 0, 1);
    w.ub(static_cast<uint32_t>(bits), 4);
    if (hasMult)
        for (int i = 0; i < n; ++i) w.sb(mult[i], bits);
    if (hasAdd)
        for (int i = 0; i < n; ++i) w.sb(add[i], bits);
    w.align();
}

FillStyle FillStyle::solid(Rgba c) {
    FillStyle f;
    f.color = c;
    return f;
}

FillStyle FillStyle::linear(const Matrix& m, std::vector<GradStop> s) {
    FillStyle f;
    f.type = 0x10;
    f.matrix = m;
    f.stops = std::move(s);
    return f;
}

FillStyle FillStyle::radial(const Matrix& m, std::vector<GradStop> s) {
    FillStyle f = linear(m, std::move(s));
    f.type = 0x12;
    return f;
}

FillStyle FillStyle::focalRadial(const Matrix& m, std::vector<GradStop> s, double focalPoint) {
    FillStyle f = linear(m, std::move(s));
    f.type = 0x13;
    f.focal = focalPoint;
    return f;
}

void writeFillStyle(BitWriter& w, const FillStyle& f, int shapeVersion) {
    bool alpha = shapeVersion >= 3;
    w.u8(f.type);
    if (f.type == 0x00) {
        writeColor(w, f.color, alpha);
    } else if (f.type == 0x10 || f.type == 0x12 || f.type == 0x13) {
        writeMatrix(w, f.matrix);
        w.u8(static_cast<uint8_t>((f.spread << 6) | (f.interp << 4) | (f.stops.size() & 0x0F)));
        for (const GradStop& s : f.stops) {
            w.u8(s.ratio);
            writeColor(w, s.color, alpha);
        }
        if (f.type == 0x13) w.fixed8(f.focal);
    } else {
        w.u16(f.bitmapId);
        writeMatrix(w, f.matrix);
    }
}

void writeLineStyle(BitWriter& w, const LineStyle& l, int shapeVersion) {
    w.u16(l.width);
    if (shapeVersion < 4) {
        writeColor(w, l.color, shapeVersion >= 3);
        return;
    }
    w.ub(static_cast<uint32_t>(l.startCap), 2);
    w.ub(static_cast<uint32_t>(l.join), 2);
    w.ub(l.hasFill ? 1 : 0, 1);
    w.ub(l.noHScale ? 1 : 0, 1);
    w.ub(l.noVScale ? 1 : 0, 1);
    w.ub(0, 1);  // pixel hinting
    w.ub(0, 5);
    w.ub(l.noClose ? 1 : 0, 1);
    w.ub(static_cast<uint32_t>(l.endCap), 2);
    if (l.join == 2) w.fixed8(l.miterLimit);
    if (l.hasFill) {
        writeFillStyle(w, l.fill, 4);
    } else {
        writeColor(w, l.color, true);
    }
}

static void writeStyleArrays(BitWriter& w, const std::vector<FillStyle>& fills,
                             const std::vector<LineStyle>& lines, int shapeVersion) {
    writeStyleCount(w, fills.size(), shapeVersion);
    for (const FillStyle& f : fills) writeFillStyle(w, f, shapeVersion);
    writeStyleCount(w, lines.size(), shapeVersion);
    for (const LineStyle& l : lines) writeLineStyle(w, l, shapeVersion);
}

int ShapeBuilder::addFill(const FillStyle& f) {
    fills_.push_back(f);
    return static_cast<int>(fills_.size());
}

int ShapeBuilder::addLine(const LineStyle& l) {
    lines_.push_back(l);
    return static_cast<int>(lines_.size());
}

ShapeBuilder::Op& ShapeBuilder::pendingStyle() {
    if (ops_.empty() || ops_.back().kind != Op::Style) {
        Op op;
        op.kind = Op::Style;
        ops_.push_back(op);
    }
    return ops_.back();
}

static void grow(bool& any, int32_t& x0, int32_t& y0, int32_t& x1, int32_t& y1, int32_t x, int32_t y) {
    if (!any) {
        x0 = x1 = x;
        y0 = y1 = y;
        any = true;
        return;
    }
    x0 = std::min(x0, x);
    y0 = std::min(y0, y);
    x1 = std::max(x1, x);
    y1 = std::max(y1, y);
}

ShapeBuilder& ShapeBuilder::moveTo(int32_t x, int32_t y) {
    Op& op = pendingStyle();
    op.move = true;
    op.x = x;
    op.y = y;
    curX_ = x;
    curY_ = y;
    grow(any_, minX_, minY_, maxX_, maxY_, x, y);
    return *this;
}

ShapeBuilder& ShapeBuilder::fill0(int index) {
    pendingStyle().f0 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::fill1(int index) {
    pendingStyle().f1 = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::line(int index) {
    pendingStyle().ln = index;
    return *this;
}

ShapeBuilder& ShapeBuilder::lineTo(int32_t x, int32_t y) {
    Op op;
    op.kind = Op::Line;
    op.x = x;
    op.y = y;
    ops_.push_back(op);
    curX_ = x;
    curY_ = y;
    grow(any_, minX_, minY_, maxX_, maxY_, x, y);
    return *this;
}

ShapeBuilder& ShapeBuilder::curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
    Op op;
    op.kind = Op::Curve;
    op.cx = cx;
    op.cy = cy;
    op.x = x;
    op.y = y;
    ops_.push_back(op);
    curX_ = x;
    curY_ = y;
    grow(any_, minX_, minY_, maxX_, maxY_, cx, cy);
    grow(any_, minX_, minY_, maxX_, maxY_, x, y);
    return *this;
}

ShapeBuilder& ShapeBuilder::newStyles(std::vector<FillStyle> fills, std::vector<LineStyle> lines) {
    Op& op = pendingStyle();
    op.newStyles = true;
    op.fills = std::move(fills);
    op.lines = std::move(lines);
    return *this;
}

ShapeBuilder& ShapeBuilder::rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int fill, int lineIndex) {
    moveTo(x0, y0).fill0(0).fill1(fill).line(lineIndex);
    return lineTo(x1, y0).lineTo(x1, y1).lineTo(x0, y1).lineTo(x0, y0);
}

ShapeBuilder& ShapeBuilder::ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, int fill, int lineIndex) {
    // Eight quadratic arcs; control points on the tangents at 22.5 degrees off.
    const double k = 1.0 / std::cos(kPi / 8);
    moveTo(cx + rx, cy).fill0(0).fill1(fill).line(lineIndex);
    for (int i = 1; i <= 8; ++i) {
        double am = (i - 0.5) * kPi / 4, a1 = i * kPi / 4;
        auto px = [&](double a, double s) {
            return static_cast<int32_t>(std::lround(cx + rx * s * std::cos(a)));
        };
        auto py = [&](double a, double s) {
            return static_cast<int32_t>(std::lround(cy + ry * s * std::sin(a)));
        };
        curveTo(px(am, k), py(am, k), i == 8 ? cx + rx : px(a1, 1), i == 8 ? cy : py(a1, 1));
    }
    return *this;
}

Rect ShapeBuilder::bounds() const {
    int32_t pad = 0;
    for (const LineStyle& l : lines_) pad = std::max<int32_t>(pad, l.width / 2);
    for (const Op& op : ops_)
        for (const LineStyle& l : op.lines) pad = std::max<int32_t>(pad, l.width / 2);
    return Rect{minX_ - pad, maxX_ + pad, minY_ - pad, maxY_ + pad};
}

void writeShapeRecords(BitWriter& w, const std::vector<ShapeBuilder::Op>& ops, int fillBits, int lineBits,
                       int shapeVersion) {
    int32_t x = 0, y = 0;
    for (const ShapeBuilder::Op& op : ops) {
        if (op.kind == ShapeBuilder::Op::Style) {
            // New style arrays go in a record of their own, so that the style
            // indices that follow use the new index widths.
            if (op.newStyles) {
                w.ub(0, 1);
                w.ub(1, 1);
                w.ub(0, 4);
                writeStyleArrays(w, op.fills, op.lines, shapeVersion);
                fillBits = indexBits(op.fills.size());
                lineBits = indexBits(op.lines.size());
                w.ub(static_cast<uint32_t>(fillBits), 4);
                w.ub(static_cast<uint32_t>(lineBits), 4);
            }
            bool f0 = op.f0 >= 0 && fillBits > 0, f1 = op.f1 >= 0 && fillBits > 0,
                 ln = op.ln >= 0 && lineBits > 0;
            if (!op.move && !f0 && !f1 && !ln) continue;
            w.ub(0, 1);
            w.ub(0, 1);
            w.ub(ln ? 1 : 0, 1);
            w.ub(f1 ? 1 : 0, 1);
            w.ub(f0 ? 1 : 0, 1);
            w.ub(op.move ? 1 : 0, 1);
            if (op.move) {
                int bits = widthFor({op.x, op.y});
                w.ub(static_cast<uint32_t>(bits), 5);
                w.sb(op.x, bits);
                w.sb(op.y, bits);
                x = op.x;
                y = op.y;
            }
            if (f0) w.ub(static_cast<uint32_t>(op.f0), fillBits);
            if (f1) w.ub(static_cast<uint32_t>(op.f1), fillBits);
            if (ln) w.ub(static_cast<uint32_t>(op.ln), lineBits);
        } else if (op.kind == ShapeBuilder::Op::Line) {
            int32_t dx = op.x - x, dy = op.y - y;
            int bits = std::max(2, widthFor({dx, dy}));
            w.ub(1, 1);
            w.ub(1, 1);
            w.ub(static_cast<uint32_t>(bits - 2), 4);
            if (dx != 0 && dy != 0) {
                w.ub(1, 1);
                w.sb(dx, bits);
                w.sb(dy, bits);
            } else {
                w.ub(0, 1);
                w.ub(dx == 0 ? 1 : 0, 1);
                w.sb(dx == 0 ? dy : dx, bits);
            }
            x = op.x;
            y = op.y;
        } else {
            int32_t cdx = op.cx - x, cdy = op.cy - y, adx = op.x - op.cx, ady = op.y - op.cy;
            int bits = std::max(2, widthFor({cdx, cdy, adx, ady}));
            w.ub(1, 1);
            w.ub(0, 1);
            w.ub(static_cast<uint32_t>(bits - 2), 4);
            w.sb(cdx, bits);
            w.sb(cdy, bits);
            w.sb(adx, bits);
            w.sb(ady, bits);
            x = op.x;
            y = op.y;
        }
    }
    w.ub(0, 6);  // EndShapeRecord
    w.align();
}

Bytes ShapeBuilder::defineShape(uint16_t id, Rect bounds) const {
    static const uint16_t codes[] = {2, 2, 22, 32, 83};
    int v = std::min(std::max(version_, 1), 4);
    BitWriter w;
    w.u16(id);
    writeRect(w, bounds);
    if (v == 4) {
        writeRect(w, bounds);
        w.u8(0);
    }
    writeStyleArrays(w, fills_, lines_, v);
    int fb = indexBits(fills_.size()), lb = indexBits(lines_.size());
    w.ub(static_cast<uint32_t>(fb), 4);
    w.ub(static_cast<uint32_t>(lb), 4);
    writeShapeRecords(w, ops_, fb, lb, v);
    return tag(codes[v], w.data());
}

static void writeMorphFill(BitWriter& w, const MorphFill& f) {
    w.u8(f.type);
    if (f.type == 0x00) {
        writeColor(w, f.startColor, true);
        writeColor(w, f.endColor, true);
        return;
    }
    writeMatrix(w, f.startMatrix);
    writeMatrix(w, f.endMatrix);
    size_t n = std::min(f.startStops.size(), f.endStops.size());
    w.u8(static_cast<uint8_t>(n));
    for (size_t i = 0; i < n; ++i) {
        w.u8(f.startStops[i].ratio);
        writeColor(w, f.startStops[i].color, true);
        w.u8(f.endStops[i].ratio);
        writeColor(w, f.endStops[i].color, true);
    }
}

Bytes defineMorphShape(uint16_t id, const std::vector<MorphFill>& fills, const std::vector<MorphLine>& lines,
                       const ShapeBuilder& startShape, const ShapeBuilder& endShape, bool version2) {
    BitWriter head;
    head.u16(id);
    writeRect(head, startShape.bounds());
    writeRect(head, endShape.bounds());
    if (version2) {
        writeRect(head, startShape.bounds());
        writeRect(head, endShape.bounds());
        head.u8(0);
    }
    BitWriter styles;
    writeStyleCount(styles, fills.size(), 3);
    for (const MorphFill& f : fills) writeMorphFill(styles, f);
    writeStyleCount(styles, lines.size(), 3);
    for (const MorphLine& l : lines) {
        styles.u16(l.startWidth);
        styles.u16(l.endWidth);
        if (version2) {
            styles.u8(0);  // round caps and joins, no fill
            styles.u8(0);
        }
        writeColor(styles, l.startColor, true);
        writeColor(styles, l.endColor, true);
    }
    int fb = indexBits(fills.size()), lb = indexBits(lines.size());
    styles.ub(static_cast<uint32_t>(fb), 4);
    styles.ub(static_cast<uint32_t>(lb), 4);
    writeShapeRecords(styles, startShape.ops(), fb, lb, 3);
    BitWriter end;
    std::vector<ShapeBuilder::Op> endOps = endShape.ops();
    for (ShapeBuilder::Op& op : endOps) op.f0 = op.f1 = op.ln = -1;
    end.ub(0, 4);
    end.ub(0, 4);
    writeShapeRecords(end, endOps, 0, 0, 3);

    BitWriter w;
    w.bytes(head.data());
    w.u32(static_cast<uint32_t>(styles.data().size()));
    w.bytes(styles.data());
    w.bytes(end.data());
    return tag(version2 ? 84 : 46, w.data());
}

static uint8_t placeFlags(const Place& p) {
    uint8_t f = 0;
    if (p.clipDepth >= 0) f |= 0x40;
    if (!p.name.empty()) f |= 0x20;
    if (p.ratio >= 0) f |= 0x10;
    if (p.hasCxForm) f |= 0x08;
    if (p.hasMatrix) f |= 0x04;
    if (p.characterId >= 0) f |= 0x02;
    if (p.move) f |= 0x01;
    return f;
}

static void placeFields(BitWriter& w, const Place& p) {
    if (p.characterId >= 0) w.u16(static_cast<uint16_t>(p.characterId));
    if (p.hasMatrix) writeMatrix(w, p.matrix);
    if (p.hasCxForm) writeCxForm(w, p.cxform, true);
    if (p.ratio >= 0) w.u16(static_cast<uint16_t>(p.ratio));
    if (!p.name.empty()) w.str(p.name);
    if (p.clipDepth >= 0) w.u16(static_cast<uint16_t>(p.clipDepth));
}

Bytes placeObject2(const Place& p) {
    BitWriter w;
    w.u8(placeFlags(p));
    w.u16(p.depth);
    placeFields(w, p);
    return tag(26, w.data());
}

Bytes placeObject3(const Place& p) {
    BitWriter w;
    w.u8(placeFlags(p));
    w.u8(static_cast<uint8_t>((p.filters.empty() ? 0 : 0x01) | (p.blendMode >= 0 ? 0x02 : 0) |
                              (p.cacheAsBitmap >= 0 ? 0x04 : 0)));
    w.u16(p.depth);
    placeFields(w, p);
    w.bytes(p.filters);
    if (p.blendMode >= 0) w.u8(static_cast<uint8_t>(p.blendMode));
    if (p.cacheAsBitmap >= 0) w.u8(static_cast<uint8_t>(p.cacheAsBitmap));
    return tag(70, w.data());
}

Bytes placeObject(uint16_t characterId, uint16_t depth, const Matrix& m) {
    BitWriter w;
    w.u16(characterId);
    w.u16(depth);
    writeMatrix(w, m);
    return tag(4, w.data());
}

Bytes removeObject(uint16_t characterId, uint16_t depth) {
    BitWriter w;
    w.u16(characterId);
    w.u16(depth);
    return tag(5, w.data());
}

Bytes removeObject2(uint16_t depth) {
    BitWriter w;
    w.u16(depth);
    return tag(28, w.data());
}

Bytes frameLabel(const std::string& name) {
    BitWriter w;
    w.str(name);
    return tag(43, w.data());
}

Bytes doAction(const Bytes& actions) {
    Bytes body = actions;
    body.push_back(0);
    return tag(12, body);
}

Bytes doInitAction(uint16_t spriteId, const Bytes& actions) {
    Bytes body;
    body.push_back(static_cast<uint8_t>(spriteId & 0xFF));
    body.push_back(static_cast<uint8_t>(spriteId >> 8));
    for (uint8_t b : actions) body.push_back(b);
    body.push_back(0);
    return tag(59, body);
}

Bytes exportAssets(const std::vector<std::pair<uint16_t, std::string>>& names) {
    Bytes body;
    body.push_back(static_cast<uint8_t>(names.size() & 0xFF));
    body.push_back(static_cast<uint8_t>(names.size() >> 8));
    for (const auto& n : names) {
        body.push_back(static_cast<uint8_t>(n.first & 0xFF));
        body.push_back(static_cast<uint8_t>(n.first >> 8));
        for (char ch : n.second) body.push_back(static_cast<uint8_t>(ch));
        body.push_back(0);
    }
    return tag(56, body);
}

Bytes defineScalingGrid(uint16_t id, const Rect& grid) {
    BitWriter w;
    w.u16(id);
    writeRect(w, grid);
    return tag(78, w.data());
}

Bytes defineSprite(uint16_t id, const Bytes& controlTags, int frameCount) {
    int frames = frameCount;
    if (frames < 0) {
        Movie counter;
        counter.tags = controlTags;
        counter.frameCount = -1;
        Bytes built = counter.build();
        // Frame count sits after the 9-byte classic stage rectangle and the rate.
        frames = built[19] | (built[20] << 8);
    }
    BitWriter w;
    w.u16(id);
    w.u16(static_cast<uint16_t>(frames));
    w.bytes(controlTags);
    w.u16(0);
    return tag(39, w.data(), true);
}

}  // namespace swfw
