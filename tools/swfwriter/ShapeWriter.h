// Builders for the display tags of test movies: shapes with their styles,
// morph shapes, sprites, PlaceObject/RemoveObject and frame labels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

// 2x3 matrix: x' = a*x + c*y + tx, y' = b*x + d*y + ty (translation in twips).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1;
    int32_t tx = 0, ty = 0;
    static Matrix translate(int32_t x, int32_t y) { return {1, 0, 0, 1, x, y}; }
    static Matrix scale(double sx, double sy, int32_t x = 0, int32_t y = 0) { return {sx, 0, 0, sy, x, y}; }
};
void writeMatrix(BitWriter& w, const Matrix& m);

// Colour transform; multipliers as factors (1.0 = unchanged), add terms -255..255.
struct CxForm {
    double mr = 1, mg = 1, mb = 1, ma = 1;
    int ar = 0, ag = 0, ab = 0, aa = 0;
};
void writeCxForm(BitWriter& w, const CxForm& cx, bool withAlpha);

struct GradStop {
    uint8_t ratio;
    Rgba color;
};

struct FillStyle {
    uint8_t type = 0x00;  // 0x00 solid, 0x10 linear, 0x12 radial, 0x13 focal, 0x40.. bitmap
    Rgba color;
    Matrix matrix;  // gradient or bitmap matrix
    std::vector<GradStop> stops;
    int spread = 0;  // 0 pad, 1 reflect, 2 repeat
    int interp = 0;  // 0 RGB, 1 linear RGB
    double focal = 0;
    uint16_t bitmapId = 0xFFFF;

    static FillStyle solid(Rgba c);
    static FillStyle linear(const Matrix& m, std::vector<GradStop> s);
    static FillStyle radial(const Matrix& m, std::vector<GradStop> s);
    static FillStyle focalRadial(const Matrix& m, std::vector<GradStop> s, double focalPoint);
};

struct LineStyle {
    uint16_t width = 20;
    Rgba color;
    // DefineShape4 only:
    int startCap = 0, endCap = 0;  // 0 round, 1 none, 2 square
    int join = 0;                  // 0 round, 1 bevel, 2 miter
    double miterLimit = 3;
    bool noClose = false;
    bool noHScale = false, noVScale = false;
    bool hasFill = false;
    FillStyle fill;
};

// Records a shape as drawing commands and writes SHAPEWITHSTYLE records.
// Coordinates are absolute twips; edges are written as deltas.
class ShapeBuilder {
public:
    explicit ShapeBuilder(int shapeVersion = 3) : version_(shapeVersion) {}

    int addFill(const FillStyle& f);  // returns the 1-based index
    int addLine(const LineStyle& l);

    ShapeBuilder& moveTo(int32_t x, int32_t y);
    ShapeBuilder& fill0(int index);
    ShapeBuilder& fill1(int index);
    ShapeBuilder& line(int index);
    ShapeBuilder& lineTo(int32_t x, int32_t y);
    ShapeBuilder& curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);
    // Starts a new layer with fresh style arrays (StateNewStyles).
    ShapeBuilder& newStyles(std::vector<FillStyle> fills, std::vector<LineStyle> lines);

    // Closed outlines drawn clockwise on screen with the fill on the right (fill1).
    ShapeBuilder& rect(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int fill, int lineIndex = 0);
    ShapeBuilder& ellipse(int32_t cx, int32_t cy, int32_t rx, int32_t ry, int fill, int lineIndex = 0);

    Bytes defineShape(uint16_t id, Rect bounds) const;  // tag code chosen by the version
    Bytes defineShape(uint16_t id) const { return defineShape(id, bounds()); }
    Rect bounds() const;

    // Writers shared with morph shapes.
    struct Op {
        enum Kind { Style, Line, Curve } kind;
        bool move = false;
        int32_t x = 0, y = 0, cx = 0, cy = 0;  // absolute coordinates
        int f0 = -1, f1 = -1, ln = -1;
        bool newStyles = false;
        std::vector<FillStyle> fills;
        std::vector<LineStyle> lines;
    };
    const std::vector<Op>& ops() const { return ops_; }
    const std::vector<FillStyle>& fills() const { return fills_; }
    const std::vector<LineStyle>& lines() const { return lines_; }

private:
    Op& pendingStyle();
    int version_;
    std::vector<FillStyle> fills_;
    std::vector<LineStyle> lines_;
    std::vector<Op> ops_;
    int32_t curX_ = 0, curY_ = 0;
    bool any_ = false;
    int32_t minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
};

void writeFillStyle(BitWriter& w, const FillStyle& f, int shapeVersion);
void writeLineStyle(BitWriter& w, const LineStyle& l, int shapeVersion);
// Writes shape records; fillBits/lineBits are the initial index widths.
void writeShapeRecords(BitWriter& w, const std::vector<ShapeBuilder::Op>& ops, int fillBits, int lineBits,
                       int shapeVersion);

// Morph shape: start and end drawn with the same sequence of edges.
struct MorphFill {
    uint8_t type = 0x00;
    Rgba startColor, endColor;
    Matrix startMatrix, endMatrix;
    std::vector<GradStop> startStops, endStops;
};
struct MorphLine {
    uint16_t startWidth = 20, endWidth = 20;
    Rgba startColor, endColor;
};
// startShape carries the style changes (indices into fills/lines); endShape
// must have the same edges (its style indices are ignored, only moves count).
Bytes defineMorphShape(uint16_t id, const std::vector<MorphFill>& fills, const std::vector<MorphLine>& lines,
                       const ShapeBuilder& startShape, const ShapeBuilder& endShape, bool version2 = false);

// PlaceObject2/3 with only the given fields.
struct Place {
    uint16_t depth = 1;
    int characterId = -1;  // -1: none
    bool move = false;
    bool hasMatrix = false;
    Matrix matrix;
    bool hasCxForm = false;
    CxForm cxform;
    int ratio = -1;
    std::string name;
    int clipDepth = -1;
    // PlaceObject3 only: an encoded FILTERLIST (FilterWriter.h), the blend
    // mode byte and the bitmap cache byte (-1: not written).
    Bytes filters;
    int blendMode = -1;
    int cacheAsBitmap = -1;
};
Bytes placeObject2(const Place& p);
Bytes placeObject3(const Place& p);
Bytes placeObject(uint16_t characterId, uint16_t depth, const Matrix& m = Matrix());
Bytes removeObject(uint16_t characterId, uint16_t depth);
Bytes removeObject2(uint16_t depth);
Bytes frameLabel(const std::string& name);
Bytes doAction(const Bytes& actions);  // actions without the final 0, which is added
Bytes doInitAction(uint16_t spriteId, const Bytes& actions);
// ExportAssets: (character, name) pairs.
Bytes exportAssets(const std::vector<std::pair<uint16_t, std::string>>& names);
// DefineSprite: the control tags of its timeline (End is added).
Bytes defineSprite(uint16_t id, const Bytes& controlTags, int frameCount = -1);
// DefineScalingGrid: the scale-9 rectangle of clip `id`, in the clip's twips.
Bytes defineScalingGrid(uint16_t id, const Rect& grid);

}  // namespace swfw
