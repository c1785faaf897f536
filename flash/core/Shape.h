// Shapes as the renderer needs them: style arrays and edges per drawing
// layer, with the edges of each fill gathered once at load time.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/Types.h"

namespace flash {

class BitmapData;

struct GradientStop {
    uint8_t ratio = 0;
    Rgba color;
};

enum class SpreadMode : uint8_t { Pad = 0, Reflect = 1, Repeat = 2 };

struct Gradient {
    std::vector<GradientStop> stops;
    SpreadMode spread = SpreadMode::Pad;
    bool linearRgb = false;  // interpolate in linear light
    double focal = 0;        // focal point, -1..1 (focal gradients only)
};

enum class FillKind : uint8_t { Solid, Linear, Radial, Focal, Bitmap };

struct FillStyle {
    FillKind kind = FillKind::Solid;
    Rgba color;
    Matrix matrix;  // gradient square or bitmap pixels -> shape twips
    Gradient gradient;
    uint16_t bitmapId = 0;
    bool bitmapRepeat = true;
    bool bitmapSmooth = true;
    const BitmapData* bitmap = nullptr;  // the movie's character bitmapId, when it exists
};

enum class CapStyle : uint8_t { Round = 0, None = 1, Square = 2 };
enum class JoinStyle : uint8_t { Round = 0, Bevel = 1, Miter = 2 };

struct LineStyle {
    uint16_t width = 20;  // twips; 0 = hairline
    Rgba color;
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3;
    bool noClose = false;
    bool noHScale = false, noVScale = false;
    bool hasFill = false;
    FillStyle fill;  // when hasFill
};

// One edge in shape twips. Indices are 1-based into the layer's styles, 0 none.
struct Edge {
    float x0, y0, cx, cy, x1, y1;
    bool curve;
    bool newPath;  // a move or a line-style change came before this edge
    uint16_t fill0, fill1, line;
};

struct EdgeRef {
    uint32_t index;
    bool reversed;
};

struct ShapeLayer {
    std::vector<FillStyle> fills;
    std::vector<LineStyle> lines;
    std::vector<Edge> edges;
    // fillEdges[f] lists the edges bounding fill f (1-based; entry 0 unused),
    // reversed where the fill lies on their left, so every list has its fill
    // on the right.
    std::vector<std::vector<EdgeRef>> fillEdges;
    void gatherFills();
};

struct ShapeData {
    Rect bounds;
    bool nonZero = false;  // fill rule of DefineShape4 with UsesFillWindingRule
    std::vector<ShapeLayer> layers;
};

struct MorphFill {
    FillStyle start, end;
};
struct MorphLine {
    LineStyle start, end;
};
struct MorphEdge {
    Edge start;
    float ex0, ey0, ecx, ecy, ex1, ey1;
    bool endCurve;
};

struct MorphData {
    Rect startBounds, endBounds;
    std::vector<MorphFill> fills;
    std::vector<MorphLine> lines;
    std::vector<MorphEdge> edges;
    // The shape at ratio/65535 between start and end.
    void interpolate(uint16_t ratio, ShapeData& out) const;
};

// Parsers; the reader covers the tag body. They return null on data that
// cannot form a shape (the tag is then skipped).
std::unique_ptr<ShapeData> parseDefineShape(ByteReader& r, int tagCode, uint16_t& id);
std::unique_ptr<MorphData> parseDefineMorphShape(ByteReader& r, int tagCode, uint16_t& id);
// A SHAPE without style arrays (font glyphs): edges with any fill index
// turned into fill 1 and no lines. False on truncated records.
bool parseGlyphShape(ByteReader& r, std::vector<Edge>& edges);

}  // namespace flash
