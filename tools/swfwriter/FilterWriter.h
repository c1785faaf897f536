// Builders of the FILTERLIST of PlaceObject3 and of Flash 8 button records.
#pragma once

#include <vector>

#include "tools/swfwriter/ShapeWriter.h"

namespace swfw {

struct FilterParams {
    int id = 1;  // 0 drop shadow, 1 blur, 2 glow, 3 bevel, 4 gradient glow, 5 convolution, 6 colour matrix, 7
                 // gradient bevel
    Rgba color{0, 0, 0, 255}, highlight{255, 255, 255, 255};
    double blurX = 4, blurY = 4, angle = 0.785398, distance = 4, strength = 1;
    bool inner = false, knockout = false, hideObject = false, onTop = false;
    int passes = 1;
    std::vector<Rgba> colors;
    std::vector<uint8_t> ratios;
    int matrixX = 3, matrixY = 3;
    float divisor = 1, bias = 0;
    std::vector<float> matrix;  // matrixX * matrixY, or 20 for the colour matrix
    Rgba defaultColor{0, 0, 0, 0};
    bool clamp = true, preserveAlpha = true;
};

Bytes filterList(const std::vector<FilterParams>& filters);

}  // namespace swfw
