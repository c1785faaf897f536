// Span generators: what colour each pixel of a fill gets before blending.
// Colours are premultiplied 0xAARRGGBB; gradients use a 256-entry table
// with the colour transform already applied, kept between fills.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/core/Shape.h"
#include "flash/core/Types.h"
#include "flash/core/raster/GradientCache.h"
#include "flash/core/raster/GradientWalk.h"

namespace flash {

class Paint {
public:
    enum Kind : uint8_t { None, Solid, Linear, Radial, Focal, Bitmap };

    void setNone() { kind_ = None; }
    void setSolid(const Rgba& straight);
    // A fill style seen through shapeToDevice (twips -> pixels) and a colour
    // transform. A bitmap fill paints nothing until its bitmap is decoded.
    void setFill(const FillStyle& fill, const Matrix& shapeToDevice, const ColorTransform& cx);

    // Low quality draws every bitmap fill unsmoothed (nearest texel).
    void setBitmapSmoothing(bool allowed) { allowSmooth_ = allowed; }

    Kind kind() const { return kind_; }
    uint32_t color() const { return color_; }
    bool visible() const { return kind_ != None && !(kind_ == Solid && (color_ >> 24) == 0); }
    // Colours of pixels x..x+len-1 of row y (sampled at pixel centres).
    void generate(int x, int y, int len, uint32_t* out) const;

    // Gradients: the shape and spread of the current one, and its walk
    // along row y from pixel x.
    bool gradient() const { return kind_ == Linear || kind_ == Radial || kind_ == Focal; }
    GradientShape gradientShape() const {
        return kind_ == Linear ? GradientShape::Linear
                               : (kind_ == Radial ? GradientShape::Radial : GradientShape::Focal);
    }
    SpreadMode spread() const { return spread_; }
    GradientWalk gradientWalk(int x, int y) const;

    // The table of a gradient (exposed for tests).
    static void buildTable(const Gradient& g, const ColorTransform& cx, uint32_t table[256]);

private:
    void generateGradient(int x, int y, int len, uint32_t* out) const;
    void generateBitmap(int x, int y, int len, uint32_t* out) const;

    Kind kind_ = None;
    uint32_t color_ = 0;
    const uint32_t* table_ = nullptr;  // of the current gradient, in cache_
    GradientCache cache_;
    Matrix inverse_;  // device pixel -> gradient square
    SpreadMode spread_ = SpreadMode::Pad;
    float focal_ = 0;
    const BitmapData* bitmap_ = nullptr;
    bool repeat_ = true, smooth_ = true, allowSmooth_ = true;
    ColorTransform cx_;
};

}  // namespace flash
