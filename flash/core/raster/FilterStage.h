// The pixel work of filters: each filter turns an off-screen layer
// (premultiplied ARGB, transparent around the content, already grown by the
// filter margins) into its filtered picture in place.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/core/Filter.h"

namespace flash {

struct LayerPixels {
    uint32_t* px = nullptr;
    int width = 0, height = 0, stride = 0;  // stride in pixels
};

// Box blur of interleaved 8-bit channels: `passes` times a horizontal box
// of 2*rx+1 and a vertical box of 2*ry+1 samples; outside is zero.
void boxBlur(uint8_t* data, int width, int height, int strideBytes, int channels, int rx, int ry, int passes);

class FilterStage {
public:
    // sx, sy: device pixels per stage pixel along x and y.
    void apply(const Filter& f, float sx, float sy, const LayerPixels& layer);

private:
    void blur(const Filter& f, float sx, float sy, const LayerPixels& layer);
    void shadow(const Filter& f, float sx, float sy, const LayerPixels& layer);
    // The usual glow and drop shadow: the shade of the blurred alpha, moved
    // by dx, dy, behind the object.
    void shadowBehind(const uint32_t shade[256], uint8_t outside, int dx, int dy, const LayerPixels& layer);
    void bevel(const Filter& f, float sx, float sy, const LayerPixels& layer);
    void colorMatrix(const Filter& f, const LayerPixels& layer);
    void convolution(const Filter& f, const LayerPixels& layer);
    // The layer's alpha, blurred as the filter says (inverted first for
    // inner shadows and glows).
    void blurredAlpha(const Filter& f, float sx, float sy, const LayerPixels& layer, bool invert);

    std::vector<uint8_t> alpha_;
    std::vector<uint32_t> copy_;
    std::vector<float> straight_;
};

}  // namespace flash
