#include "flash/core/raster/Canvas.h"

#include <algorithm>
#include <cstring>

#include "flash/core/raster/WideSpans.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace flash {

uint32_t mulPixel(uint32_t p, uint32_t a) {
    uint32_t rb = (p & 0x00FF00FFu) * a + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((p >> 8) & 0x00FF00FFu) * a + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

uint32_t addSaturated(uint32_t a, uint32_t b) {
    uint32_t rb = (a & 0x00FF00FFu) + (b & 0x00FF00FFu);
    uint32_t ov = (rb >> 8) & 0x00010001u;
    rb = (rb | ((ov << 8) - ov)) & 0x00FF00FFu;
    uint32_t ag = ((a >> 8) & 0x00FF00FFu) + ((b >> 8) & 0x00FF00FFu);
    ov = (ag >> 8) & 0x00010001u;
    ag = (ag | ((ov << 8) - ov)) & 0x00FF00FFu;
    return rb | (ag << 8);
}

static inline uint32_t over(uint32_t src, uint32_t dst) { return src + mulPixel(dst, 255u - (src >> 24)); }

#if defined(__SSE2__)
namespace {

// x / 255, rounded, for 16-bit lanes holding products of two bytes: with
// t = x + 128, (t + (t >> 8)) >> 8 equals (t * 257) >> 16.
inline __m128i div255(__m128i x) {
    return _mm_mulhi_epu16(_mm_add_epi16(x, _mm_set1_epi16(128)), _mm_set1_epi16(257));
}

// Two pixels in 16-bit lanes: src scaled by the coverage, then over dst.
inline __m128i blend2(__m128i s, __m128i d, __m128i cov) {
    s = div255(_mm_mullo_epi16(s, cov));
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
    __m128i inv = _mm_sub_epi16(_mm_set1_epi16(255), a);
    return _mm_add_epi16(s, div255(_mm_mullo_epi16(d, inv)));
}

// Four pixels in a register: colors with covers c4 (one byte each) over d.
inline __m128i blend4(__m128i d, __m128i colors, uint32_t c4) {
    const __m128i zero = _mm_setzero_si128();
    __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(c4)), zero);
    c = _mm_unpacklo_epi16(c, c);
    __m128i clo = _mm_unpacklo_epi32(c, c), chi = _mm_unpackhi_epi32(c, c);
    __m128i lo = blend2(_mm_unpacklo_epi8(colors, zero), _mm_unpacklo_epi8(d, zero), clo);
    __m128i hi = blend2(_mm_unpackhi_epi8(colors, zero), _mm_unpackhi_epi8(d, zero), chi);
    return _mm_packus_epi16(lo, hi);
}

// Four pixels: colors[0..3] with covers[0..3] over dst[0..3].
inline void blend4(uint32_t* dst, __m128i colors, const uint8_t* covers) {
    uint32_t c4;
    std::memcpy(&c4, covers, 4);
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), blend4(d, colors, c4));
}

// Four pixels at full coverage: colors[0..3] over dst[0..3].
inline void blend4Full(uint32_t* dst, __m128i colors) {
    const __m128i zero = _mm_setzero_si128(), ff = _mm_set1_epi16(255);
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst));
    __m128i slo = _mm_unpacklo_epi8(colors, zero), shi = _mm_unpackhi_epi8(colors, zero);
    __m128i alo = _mm_shufflehi_epi16(_mm_shufflelo_epi16(slo, 0xFF), 0xFF);
    __m128i ahi = _mm_shufflehi_epi16(_mm_shufflelo_epi16(shi, 0xFF), 0xFF);
    __m128i lo = div255(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_sub_epi16(ff, alo)));
    __m128i hi = div255(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_sub_epi16(ff, ahi)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_adds_epu8(colors, _mm_packus_epi16(lo, hi)));
}

// The last n (< 4) pixels of a span through a four-pixel blend: copied
// out with zero coverage after them (which leaves a pixel as it was).
inline void blendTail(uint32_t* dst, int n, __m128i colors, const uint8_t* covers) {
    // Gathered into registers, not through a small array: writing it piece
    // by piece and reading it whole would stall the load.
    const __m128i d = _mm_setr_epi32(static_cast<int>(dst[0]), n > 1 ? static_cast<int>(dst[1]) : 0,
                                     n > 2 ? static_cast<int>(dst[2]) : 0, 0);
    const uint32_t c4 =
        covers[0] | (n > 1 ? uint32_t(covers[1]) << 8 : 0) | (n > 2 ? uint32_t(covers[2]) << 16 : 0);
    const __m128i out = blend4(d, colors, c4);
    dst[0] = static_cast<uint32_t>(_mm_cvtsi128_si32(out));
    if (n > 1) dst[1] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(out, 0x55)));
    if (n > 2) dst[2] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(out, 0xAA)));
}

const uint8_t kFullCovers[4] = {255, 255, 255, 255};

// A run of one translucent colour at full coverage over dst[0..len-1].
inline void blendSolidRun(uint32_t* dst, int len, uint32_t color) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i inv = _mm_set1_epi16(static_cast<short>(255 - (color >> 24)));
    const __m128i src = _mm_set1_epi32(static_cast<int>(color));
    int i = 0;
    for (; i + 4 <= len; i += 4) {
        __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + i));
        __m128i lo = div255(_mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), inv));
        __m128i hi = div255(_mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), inv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_adds_epu8(src, _mm_packus_epi16(lo, hi)));
    }
    if (i < len) blendTail(dst + i, len - i, src, kFullCovers);
}

// Pixels from i on that are fully covered.
inline int fullRunEnd(const uint8_t* covers, int i, int len) {
    const __m128i full = _mm_set1_epi8(static_cast<char>(-1));
    for (; i + 16 <= len; i += 16) {
        const __m128i c16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(covers + i));
        const int partial = ~_mm_movemask_epi8(_mm_cmpeq_epi8(c16, full)) & 0xFFFF;
        if (partial) return i + __builtin_ctz(static_cast<unsigned>(partial));
    }
    uint32_t c4;
    while (i + 4 <= len && (std::memcpy(&c4, covers + i, 4), c4 == 0xFFFFFFFFu)) i += 4;
    while (i < len && covers[i] == 255) ++i;
    return i;
}

}  // namespace
#endif

void blendSolidSpan(uint32_t* dst, int len, uint32_t color, const uint8_t* covers) {
    const bool opaque = (color >> 24) == 255;
    int i = 0;
#if defined(__SSE2__)
    const __m128i colors = _mm_set1_epi32(static_cast<int>(color));
    while (i < len) {
        if (covers[i] == 255) {
            const int j = fullRunEnd(covers, i + 1, len);
            if (opaque) {
                std::fill(dst + i, dst + j, color);
            } else {
                blendSolidRun(dst + i, j - i, color);
            }
            i = j;
            continue;
        }
        if (i + 4 > len) {
            blendTail(dst + i, len - i, colors, covers + i);
            break;
        }
        uint32_t c4;
        std::memcpy(&c4, covers + i, 4);
        if (c4 != 0) blend4(dst + i, colors, covers + i);
        i += 4;
    }
#else
    for (; i < len; ++i) {
        const uint32_t c = covers[i];
        if (c == 255)
            dst[i] = opaque ? color : over(color, dst[i]);
        else if (c)
            dst[i] = over(mulPixel(color, c), dst[i]);
    }
#endif
}

void blendColorSpan(uint32_t* dst, int len, const uint32_t* colors, const uint8_t* covers, bool oftenOpaque) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= len; i += 4) {
        uint32_t c4;
        std::memcpy(&c4, covers + i, 4);
        if (c4 == 0) continue;
        if (c4 == 0xFFFFFFFFu) {
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(colors + i));
            const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
            if (oftenOpaque && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(c, alpha), alpha)) == 0xFFFF) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), c);  // opaque: covers what is below
            } else {
                blend4Full(dst + i, c);
            }
            continue;
        }
        blend4(dst + i, _mm_loadu_si128(reinterpret_cast<const __m128i*>(colors + i)), covers + i);
    }
    if (i < len) {
        const int n = len - i;
        const __m128i c =
            _mm_setr_epi32(static_cast<int>(colors[i]), n > 1 ? static_cast<int>(colors[i + 1]) : 0,
                           n > 2 ? static_cast<int>(colors[i + 2]) : 0, 0);
        blendTail(dst + i, n, c, covers + i);
    }
#else
    for (; i < len; ++i) {
        uint32_t c = covers[i];
        if (c) dst[i] = over(c == 255 ? colors[i] : mulPixel(colors[i], c), dst[i]);
    }
#endif
}

void Canvas::attach(uint32_t* pixels, int width, int height, int stride) {
    pixels_ = pixels;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    stride_ = stride;
    rowsTop_ = 0;
    rowsBottom_ = height_;
    colsLeft_ = 0;
    colsRight_ = width_;
    active_.clear();
    building_ = -1;
    wide_ = wideSpans();
    size_t need = static_cast<size_t>(width_) * height_;
    for (auto& m : masks_)
        if (m.size() != need) m.assign(need, 0);
}

void Canvas::setRows(int top, int bottom) {
    rowsTop_ = std::max(0, std::min(height_, top));
    rowsBottom_ = std::max(rowsTop_, std::min(height_, bottom));
}

void Canvas::setColumns(int left, int right) {
    colsLeft_ = std::max(0, std::min(width_, left));
    colsRight_ = std::max(colsLeft_, std::min(width_, right));
}

void Canvas::clear(uint32_t color) {
    for (int y = rowsTop_; y < rowsBottom_; ++y)
        std::fill(pixels_ + static_cast<size_t>(y) * stride_ + colsLeft_,
                  pixels_ + static_cast<size_t>(y) * stride_ + colsRight_, color);
}

void Canvas::fill(Rasterizer& ras, FillRule rule, bool antialias, const Paint& paint) {
    if (!pixels_ || (building_ < 0 && !paint.visible())) return;
    paint_ = &paint;
    ras.setRows(rowsTop_, rowsBottom_);
    ras.sweep(rule, antialias, *this);
    paint_ = nullptr;
}

void Canvas::beginLayer() {
    if (building_ >= 0) return;  // masks sum their coverage anyway
    size_t need = static_cast<size_t>(width_) * height_;
    if (layer_.size() != need) layer_.assign(need, 0);
    layerOpen_ = true;
    dirtyX0_ = width_;
    dirtyY0_ = height_;
    dirtyX1_ = dirtyY1_ = 0;
}

void Canvas::endLayer() {
    if (!layerOpen_) return;
    layerOpen_ = false;
    for (int y = dirtyY0_; y < dirtyY1_; ++y) {
        uint32_t* src = layer_.data() + static_cast<size_t>(y) * width_;
        uint32_t* dst = pixels_ + static_cast<size_t>(y) * stride_;
        const uint8_t* m = active_.empty() ? nullptr : maskRow(active_.back(), y);
        for (int x = dirtyX0_; x < dirtyX1_; ++x) {
            uint32_t s = src[x];
            if (!s) continue;
            src[x] = 0;
            if (m) {
                if (!m[x]) continue;
                s = mulPixel(s, m[x]);
            }
            dst[x] = (s >> 24) == 255 ? s : over(s, dst[x]);
        }
    }
}

void Canvas::beginMask() {
    // Layers in use: the active ones; take the first free one or a new one.
    std::vector<bool> used(masks_.size(), false);
    for (int i : active_) used[i] = true;
    int index = -1;
    for (size_t i = 0; i < masks_.size(); ++i)
        if (!used[i]) {
            index = static_cast<int>(i);
            break;
        }
    if (index < 0) {
        masks_.emplace_back(static_cast<size_t>(width_) * height_, 0);
        index = static_cast<int>(masks_.size()) - 1;
    } else {
        std::fill(maskRow(index, rowsTop_), maskRow(index, rowsTop_) + rowsWidth(), 0);
    }
    building_ = index;
}

void Canvas::endMask() {
    if (building_ < 0) return;
    if (!active_.empty()) {
        int outer = active_.back();
        uint8_t* m = maskRow(building_, rowsTop_);
        const uint8_t* o = maskRow(outer, rowsTop_);
        size_t n = rowsWidth();
        for (size_t i = 0; i < n; ++i) m[i] = static_cast<uint8_t>((m[i] * o[i] + 127) / 255);
    }
    active_.push_back(building_);
    building_ = -1;
}

void Canvas::popMask() {
    if (!active_.empty()) active_.pop_back();
}

void Canvas::colorsAt(int x, int y, int len, uint32_t* out) const {
    if (givenColors_) {
        std::copy(givenColors_, givenColors_ + len, out);
    } else {
        paint_->generate(x, y, len, out);
    }
}

// A span reaching beyond the columns drawn: only its part inside is drawn.
// Gradients and bitmaps step along a span from its start, so its colours
// come from the whole span, as a draw of whole rows makes them.
void Canvas::clippedSpan(int y, int x, int len, const uint8_t* covers) {
    const int lo = std::max(x, colsLeft_), hi = std::min(x + len, colsRight_);
    if (hi <= lo) return;
    if (building_ < 0 && paint_->kind() != Paint::Solid) {
        if (spanColors_.size() < static_cast<size_t>(len)) spanColors_.resize(len);
        paint_->generate(x, y, len, spanColors_.data());
        givenColors_ = spanColors_.data() + (lo - x);
    }
    span(y, lo, hi - lo, covers + (lo - x));
    givenColors_ = nullptr;
}

void Canvas::span(int y, int x, int len, const uint8_t* covers) {
    if (x < colsLeft_ || x + len > colsRight_) {
        clippedSpan(y, x, len, covers);
        return;
    }
    if (building_ >= 0) {
        // Summed so that mask shapes meeting along an edge cover it fully.
        uint8_t* m = maskRow(building_, y) + x;
        for (int i = 0; i < len; ++i) m[i] = static_cast<uint8_t>(std::min(255, m[i] + covers[i]));
        return;
    }
    if (layerOpen_) {
        uint32_t* dst = layer_.data() + static_cast<size_t>(y) * width_ + x;
        if (paint_->kind() == Paint::Solid) {
            uint32_t color = paint_->color();
            for (int i = 0; i < len; ++i)
                if (covers[i])
                    dst[i] = addSaturated(dst[i], covers[i] == 255 ? color : mulPixel(color, covers[i]));
        } else {
            if (colors_.size() < static_cast<size_t>(len)) colors_.resize(len);
            colorsAt(x, y, len, colors_.data());
            for (int i = 0; i < len; ++i)
                if (covers[i])
                    dst[i] =
                        addSaturated(dst[i], covers[i] == 255 ? colors_[i] : mulPixel(colors_[i], covers[i]));
        }
        dirtyX0_ = std::min(dirtyX0_, x);
        dirtyX1_ = std::max(dirtyX1_, x + len);
        dirtyY0_ = std::min(dirtyY0_, y);
        dirtyY1_ = std::max(dirtyY1_, y + 1);
        return;
    }
    const uint8_t* cov = covers;
    if (!active_.empty()) {
        if (covers_.size() < static_cast<size_t>(len)) covers_.resize(len);
        const uint8_t* m = maskRow(active_.back(), y) + x;
        for (int i = 0; i < len; ++i) covers_[i] = static_cast<uint8_t>((covers[i] * m[i] + 127) / 255);
        cov = covers_.data();
    }
    uint32_t* dst = pixels_ + static_cast<size_t>(y) * stride_ + x;
#if defined(__SSE2__)
    if (y + 1 < height_) {
        // Shapes usually cover about the same pixels on the next row: ask for
        // them now, as a span is too short for the hardware to notice.
        const char* next = reinterpret_cast<const char*>(dst + stride_);
        for (int i = 0; i < len; i += 16) _mm_prefetch(next + i * 4, _MM_HINT_T0);
    }
#endif
    if (paint_->kind() == Paint::Solid) {
        if (wide_)
            blendSolidSpanWide(dst, len, paint_->color(), cov);
        else
            blendSolidSpan(dst, len, paint_->color(), cov);
        return;
    }
    if (wide_ && paint_->gradient() && !givenColors_) {
        blendGradientSpanWide(dst, len, paint_->gradientWalk(x, y), paint_->gradientShape(), paint_->spread(),
                              cov);
        return;
    }
#if defined(__SSE2__)
    if (paint_->gradient() && !givenColors_) {
        // Colours go from the gradient straight into the blend.
        walkGradient(paint_->gradientWalk(x, y), paint_->gradientShape(), paint_->spread(), len,
                     [&](int i, __m128i colors) {
                         if (i + 4 > len) {
                             blendTail(dst + i, len - i, colors, cov + i);
                             return;
                         }
                         uint32_t c4;
                         std::memcpy(&c4, cov + i, 4);
                         if (c4 == 0xFFFFFFFFu)
                             blend4Full(dst + i, colors);
                         else if (c4)
                             blend4(dst + i, colors, cov + i);
                     });
        return;
    }
#endif
    if (colors_.size() < static_cast<size_t>(len)) colors_.resize(len);
    colorsAt(x, y, len, colors_.data());
    blendColorSpan(dst, len, colors_.data(), cov, paint_->kind() == Paint::Bitmap);
}

}  // namespace flash
