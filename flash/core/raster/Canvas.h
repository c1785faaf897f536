// The target of rendering: a premultiplied ARGB buffer, the blender that
// composites coverage spans onto it (source-over), and the stack of clip
// masks (8-bit coverage layers) that limit drawing.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/core/raster/Paint.h"
#include "flash/core/raster/Rasterizer.h"

namespace flash {

class Canvas : private SpanSink {
public:
    void attach(uint32_t* pixels, int width, int height, int stride);
    int width() const { return width_; }
    int height() const { return height_; }
    void clear(uint32_t color);
    // Limits drawing to rows [top, bottom) (a band of the target; attach
    // selects every row). Masks and layers are kept for those rows only.
    void setRows(int top, int bottom);
    int rowsTop() const { return rowsTop_; }
    int rowsBottom() const { return rowsBottom_; }
    // Limits drawing to columns [left, right) as well (attach selects every
    // column). Pixels inside get exactly what a draw of whole rows gives.
    void setColumns(int left, int right);
    int columnsLeft() const { return colsLeft_; }
    int columnsRight() const { return colsRight_; }

    // Fills the rasterizer's area; while a mask is being built, the area is
    // added to the mask instead and the paint is ignored.
    void fill(Rasterizer& ras, FillRule rule, bool antialias, const Paint& paint);

    // Fills between beginLayer and endLayer are summed first and composited
    // together, so that fills meeting along an edge leave no seam there.
    void beginLayer();
    void endLayer();

    void beginMask();  // following fills build a new mask
    void endMask();    // the new mask, intersected with the active one, becomes active
    void popMask();    // back to the previous mask
    bool buildingMask() const { return building_ >= 0; }
    int maskDepth() const { return static_cast<int>(active_.size()); }
    // Row y of the target, and of the active mask (null when none).
    uint32_t* row(int y) { return pixels_ + static_cast<size_t>(y) * stride_; }
    const uint8_t* activeMaskRow(int y) { return active_.empty() ? nullptr : maskRow(active_.back(), y); }

private:
    void span(int y, int x, int len, const uint8_t* covers) override;
    void clippedSpan(int y, int x, int len, const uint8_t* covers);
    // The paint's colours of pixels [x, x + len) of row y.
    void colorsAt(int x, int y, int len, uint32_t* out) const;
    uint8_t* maskRow(int index, int y) { return masks_[index].data() + static_cast<size_t>(y) * width_; }
    // Mask bytes of the rows drawn.
    size_t rowsWidth() const { return static_cast<size_t>(rowsBottom_ - rowsTop_) * width_; }

    uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0, stride_ = 0;
    int rowsTop_ = 0, rowsBottom_ = 0;
    int colsLeft_ = 0, colsRight_ = 0;
    const Paint* paint_ = nullptr;
    std::vector<std::vector<uint8_t>> masks_;  // pool of mask layers
    std::vector<int> active_;                  // stack of active mask layers
    int building_ = -1;
    bool layerOpen_ = false;
    std::vector<uint32_t> layer_;
    int dirtyX0_ = 0, dirtyX1_ = 0, dirtyY0_ = 0, dirtyY1_ = 0;
    std::vector<uint32_t> colors_;
    std::vector<uint32_t> spanColors_;       // a clipped span's colours, from its real start
    const uint32_t* givenColors_ = nullptr;  // colours of the span being drawn, when made already
    std::vector<uint8_t> covers_;
    bool wide_ = false;  // the eight-pixel blends are used
};

// Blending primitives (exposed for tests and benchmarks).
uint32_t mulPixel(uint32_t p, uint32_t a);  // every channel * a / 255
void blendSolidSpan(uint32_t* dst, int len, uint32_t color, const uint8_t* covers);
// oftenOpaque: many colours have full alpha (bitmaps): worth checking for.
void blendColorSpan(uint32_t* dst, int len, const uint32_t* colors, const uint8_t* covers,
                    bool oftenOpaque = false);
uint32_t addSaturated(uint32_t a, uint32_t b);  // per channel, clamped at 255

}  // namespace flash
