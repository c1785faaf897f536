// Sampling a row of pixels from a bitmap fill: nearest texel or bilinear,
// repeating or clamped to the edge, along a line of 16.16 texel coordinates.
#pragma once

#include <cstdint>

namespace flash {

struct BitmapSpan {
    const uint32_t* pixels;  // premultiplied, row after row
    int width, height;
    bool repeat, smooth;
    // Texel coordinates (16.16) of the first pixel and the step to the next.
    // With smoothing, texel centres lie at whole coordinates.
    int64_t u, v, du, dv;
};

void sampleBitmapSpan(const BitmapSpan& s, int len, uint32_t* out);

}  // namespace flash
