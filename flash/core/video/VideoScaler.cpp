#include "flash/core/video/VideoScaler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "flash/core/raster/BlendStage.h"
#include "flash/core/raster/LayerColor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace flash {

namespace {

// 16.16 fixed point as the bitmap fill computes it.
int64_t toFixed(double v) {
    const double lim = 1e9;
    if (!(v > -lim)) v = -lim;
    if (v > lim) v = lim;
    return static_cast<int64_t>(std::llround(v * 65536.0));
}

bool onWholePixel(double v) { return std::fabs(v - std::round(v)) < 1e-6; }

}  // namespace

bool VideoScaler::draw(Canvas& target, const BitmapData& picture, const Matrix& m, bool smooth,
                       const ColorTransform& cx) {
    const int w = picture.width(), h = picture.height();
    if (w <= 0 || h <= 0 || !picture.ready() || m.b != 0 || m.c != 0 || !(m.a > 0) || !(m.d > 0))
        return false;
    if (target.maskDepth() > 0 || target.buildingMask()) return false;
    const double left = m.tx, right = m.tx + m.a * w, top = m.ty, bottom = m.ty + m.d * h;
    const double lim = 1e7;
    if (!(std::fabs(left) < lim && std::fabs(right) < lim && std::fabs(top) < lim && std::fabs(bottom) < lim))
        return false;
    // Edges inside pixels are left to the rasterizer's coverage.
    if (!onWholePixel(left) || !onWholePixel(right) || !onWholePixel(top) || !onWholePixel(bottom))
        return false;
    Matrix inv;
    if (!m.invert(inv)) return false;
    const int x0 = std::max(target.columnsLeft(), static_cast<int>(std::lround(left)));
    const int x1 = std::min(target.columnsRight(), static_cast<int>(std::lround(right)));
    const int y0 = std::max(target.rowsTop(), static_cast<int>(std::lround(top)));
    const int y1 = std::min(target.rowsBottom(), static_cast<int>(std::lround(bottom)));
    if (x0 >= x1 || y0 >= y1) return true;
    const int n = x1 - x0;

    // Texel positions along a row, taken as the fill takes them: from the
    // first pixel's centre, stepping in fixed point.
    const double half = smooth ? 0.5 : 0;
    const double px = x0 + 0.5;
    const int64_t u = toFixed(inv.a * px + inv.c * (y0 + 0.5) + inv.tx - half), du = toFixed(inv.a);
    index_.resize(static_cast<size_t>(n));
    if (smooth) weights_.resize(static_cast<size_t>(n) * 8);
    for (int i = 0; i < n; ++i) {
        const int64_t pos = u + du * i;
        const int64_t t = pos >> 16;
        if (smooth) {
            // Left of the first texel and from the last on, both samples
            // are the edge texel: the padding beside the row holds it.
            index_[i] = static_cast<int>(std::clamp<int64_t>(t, -1, w - 1));
            const uint16_t tu = static_cast<uint16_t>((pos >> 8) & 0xFF);
            for (int k = 0; k < 4; ++k) {
                weights_[static_cast<size_t>(i) * 8 + k] = static_cast<uint16_t>(256 - tu);
                weights_[static_cast<size_t>(i) * 8 + 4 + k] = tu;
            }
        } else {
            index_[i] = static_cast<int>(std::clamp<int64_t>(t, 0, w - 1));
        }
    }
    row_.resize(static_cast<size_t>(n));
    column_.resize(static_cast<size_t>(w + 2) * 4);
    const uint32_t* pixels = picture.pixels().data();
    int lastTop = -1, lastBottom = -1, lastTv = -1;
    for (int y = y0; y < y1; ++y) {
        const int64_t v = toFixed(inv.b * px + inv.d * (y + 0.5) + inv.ty - half);
        const int64_t t = v >> 16;
        const int t0 = static_cast<int>(std::clamp<int64_t>(t, 0, h - 1));
        if (smooth) {
            const int t1 = t < 0 ? 0 : (t0 + 1 < h ? t0 + 1 : t0);
            const int tv = static_cast<int>((v >> 8) & 0xFF);
            if (t0 != lastTop || t1 != lastBottom || tv != lastTv) {
                blendDown(pixels + static_cast<size_t>(t0) * w, pixels + static_cast<size_t>(t1) * w, tv, w);
                lastTop = t0;
                lastBottom = t1;
                lastTv = tv;
            }
            across(n, row_.data());
        } else {
            const uint32_t* src = pixels + static_cast<size_t>(t0) * w;
            for (int i = 0; i < n; ++i) row_[i] = src[index_[i]];
        }
        if (!cx.isIdentity()) transformLayerSpan(cx, row_.data(), row_.data(), n);
        blendLayerSpan(BlendMode::Normal, target.row(y) + x0, row_.data(), nullptr, n);
    }
    return true;
}

// column = (top * (256 - tv) + bottom * tv) >> 8 per channel, as the
// bilinear sample blends its texels down first.
void VideoScaler::blendDown(const uint32_t* top, const uint32_t* bottom, int tv, int width) {
    uint16_t* out = column_.data() + 4;
    int x = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i wt = _mm_set1_epi16(static_cast<short>(256 - tv)),
                  wb = _mm_set1_epi16(static_cast<short>(tv));
    for (; x + 2 <= width; x += 2) {
        const __m128i a = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + x)), zero);
        const __m128i b =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottom + x)), zero);
        const __m128i c = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(a, wt), _mm_mullo_epi16(b, wb)), 8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), c);
    }
#endif
    for (; x < width; ++x)
        for (int k = 0; k < 4; ++k) {
            const int a = (top[x] >> (8 * k)) & 0xFF, b = (bottom[x] >> (8 * k)) & 0xFF;
            out[x * 4 + k] = static_cast<uint16_t>((a * (256 - tv) + b * tv) >> 8);
        }
    std::memcpy(out - 4, out, 4 * sizeof(uint16_t));
    std::memcpy(out + width * 4, out + (width - 1) * 4, 4 * sizeof(uint16_t));
}

// out[i] = (left * (256 - tu) + right * tu) >> 8 per channel, the two
// neighbours of the blended-down row at index_[i].
void VideoScaler::across(int count, uint32_t* out) const {
    const uint16_t* col = column_.data() + 4;
    int i = 0;
#if defined(__SSE2__)
    auto sum = [&](int k) {
        const __m128i pair = _mm_loadu_si128(reinterpret_cast<const __m128i*>(col + index_[k] * 4));
        const __m128i wts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights_.data() + k * 8));
        const __m128i s = _mm_mullo_epi16(pair, wts);
        return _mm_add_epi16(s, _mm_srli_si128(s, 8));
    };
    for (; i + 2 <= count; i += 2) {
        const __m128i two = _mm_srli_epi16(_mm_unpacklo_epi64(sum(i), sum(i + 1)), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(two, two));
    }
#endif
    for (; i < count; ++i) {
        const uint16_t* p = col + index_[i] * 4;
        const uint32_t tu = weights_[static_cast<size_t>(i) * 8 + 4];
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v |= ((p[k] * (256 - tu) + p[4 + k] * tu) >> 8 & 0xFF) << (8 * k);
        out[i] = v;
    }
}

}  // namespace flash
