// Anti-aliased scanline rasterizer. Line segments in device pixels are
// accumulated as signed area and cover per cell over the segments' bounding
// box (clipped to the target); sweep() turns each row into coverage values
// by the fill rule and hands them to a span sink.
#pragma once

#include <cstdint>
#include <vector>

namespace flash {

enum class FillRule : uint8_t { EvenOdd, NonZero };

// Receives the coverage of one row: covers[i] for pixel x + i (0..255).
class SpanSink {
public:
    virtual ~SpanSink() = default;
    virtual void span(int y, int x, int len, const uint8_t* covers) = 0;
};

class Rasterizer {
public:
    // The target is [0, width) x [0, height); segments outside are clipped.
    void reset(int width, int height);
    // Limits sweeps to rows [top, bottom) of the target (a band of it). The
    // rows a band reports are exactly those a sweep of the whole target
    // reports for them.
    void setRows(int top, int bottom);
    void addLine(float x0, float y0, float x1, float y1);
    // Quadratic Bezier, flattened to within `tolerance` pixels.
    void addQuad(float x0, float y0, float cx, float cy, float x1, float y1, float tolerance);
    bool empty() const { return lines_.empty(); }
    // Bounding box of the segments in pixels, clipped to the target.
    bool bounds(int& x0, int& y0, int& x1, int& y1) const;

    // antialias false: a pixel is in or out (coverage of at least one half).
    void sweep(FillRule rule, bool antialias, SpanSink& sink);

    // One flag per block of 1 << kBlockShift cells of a row: set where cells
    // were touched. Untouched blocks have constant coverage and are swept whole.
    static const int kBlockShift = 3;

private:
    struct Line {
        float x0, y0, x1, y1;
    };
    void accumulate(float x0, float y0, float x1, float y1);
    void accumulateClippedX(float x0, float y0, float x1, float y1);

    int width_ = 0, height_ = 0;
    int rowsTop_ = 0, rowsBottom_ = 1 << 30;
    std::vector<Line> lines_;
    float minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;
    // Accumulation area for the current sweep: coordinates are relative to
    // (ox_, oy_) whatever the band; rows [r0_, r0_ + bh_) of them are kept.
    int ox_ = 0, oy_ = 0, r0_ = 0, bw_ = 0, bh_ = 0, stride_ = 0;
    std::vector<float> acc_;
    std::vector<int> rowMin_, rowMax_;
    int blocksPerRow_ = 0;
    std::vector<uint8_t> touched_;
    std::vector<uint8_t> covers_;
};

}  // namespace flash
