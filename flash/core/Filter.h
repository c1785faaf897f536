// Flash 8 display effects of an instance: the filter list and blend mode of
// PlaceObject3 (and of DefineButton2 records), as read from the file.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/Types.h"

namespace flash {

enum class BlendMode : uint8_t {
    Normal = 1,
    Layer,
    Multiply,
    Screen,
    Lighten,
    Darken,
    Difference,
    Add,
    Subtract,
    Invert,
    Alpha,
    Erase,
    Overlay,
    HardLight,
};

// 0 and unknown values mean normal.
BlendMode blendModeFromByte(uint8_t v);

enum class FilterKind : uint8_t {
    DropShadow = 0,
    Blur = 1,
    Glow = 2,
    Bevel = 3,
    GradientGlow = 4,
    Convolution = 5,
    ColorMatrix = 6,
    GradientBevel = 7,
};

struct Filter {
    FilterKind kind = FilterKind::Blur;
    Rgba color{0, 0, 0, 255};            // shadow / glow colour; bevel shadow colour
    Rgba highlight{255, 255, 255, 255};  // bevel highlight colour
    float blurX = 0, blurY = 0;          // stage pixels
    float angle = 0;                     // radians
    float distance = 0;                  // stage pixels
    float strength = 1;
    bool inner = false, knockout = false, hideObject = false, onTop = false;
    int passes = 1;
    // Gradient glow and bevel: up to 16 stops.
    std::vector<Rgba> colors;
    std::vector<uint8_t> ratios;
    // Convolution.
    int matrixX = 0, matrixY = 0;
    float divisor = 1, bias = 0;
    std::vector<float> matrix;
    Rgba defaultColor{0, 0, 0, 0};
    bool clamp = true, preserveAlpha = true;
    // Colour matrix: 4 rows of 5 (r, g, b, a, offset in 0..255 units).
    float colorMatrix[20] = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
};

using FilterList = std::vector<Filter>;

// Reads a FILTERLIST. False on an unknown filter or a short body; what was
// read before stays in `out`. Values are clamped to what the player can
// draw (blur up to 255 pixels, at most 15 passes, convolution up to 15 x 15).
bool readFilterList(ByteReader& r, FilterList& out);

// Half-width in device pixels of one box pass of a blur of `blur` stage
// pixels at `scale` device pixels per stage pixel (0: no blur).
int blurRadius(float blur, float scale);

// Pixels a filter list adds around its input on each side, with blur and
// distance scaled by sx, sy (stage pixels to device pixels).
void filterMargins(const FilterList& filters, float sx, float sy, int& left, int& top, int& right,
                   int& bottom);

}  // namespace flash
