#include "flash/core/raster/Paint.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "flash/core/Bitmap.h"
#include "flash/core/raster/BitmapSpan.h"

namespace flash {

namespace {

float toLinear(uint8_t c) {
    float v = c / 255.0f;
    return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
}

uint8_t fromLinear(float v) {
    v = std::max(0.0f, std::min(1.0f, v));
    float s = v <= 0.0031308f ? v * 12.92f : 1.055f * std::pow(v, 1.0f / 2.4f) - 0.055f;
    return static_cast<uint8_t>(s * 255.0f + 0.5f);
}

#if defined(__SSE2__)
// Table indices of four gradient positions (in table units): the floor of
// each, padded, repeated or reflected by the spread mode.
inline __m128i spreadIndex4(__m128 u, SpreadMode mode) {
    if (mode == SpreadMode::Pad) {
        u = _mm_min_ps(_mm_max_ps(u, _mm_setzero_ps()), _mm_set1_ps(255.0f));  // NaN -> 0
        return _mm_cvttps_epi32(u);
    }
    u = _mm_min_ps(_mm_max_ps(u, _mm_set1_ps(-1e9f)), _mm_set1_ps(1e9f));
    __m128i k = _mm_cvttps_epi32(u);
    // Truncation rounded negative fractions up: one less gives the floor.
    k = _mm_add_epi32(k, _mm_castps_si128(_mm_cmplt_ps(u, _mm_cvtepi32_ps(k))));
    if (mode == SpreadMode::Repeat) return _mm_and_si128(k, _mm_set1_epi32(255));
    k = _mm_and_si128(k, _mm_set1_epi32(511));
    const __m128i back = _mm_cmpgt_epi32(k, _mm_set1_epi32(255));  // 256..511 run backwards
    return _mm_xor_si128(k, _mm_and_si128(back, _mm_set1_epi32(511)));
}

#else
inline int spreadIndex(float u, SpreadMode mode) {
    if (!(u > -1e9f)) u = -1e9f;  // also catches NaN
    if (u > 1e9f) u = 1e9f;
    int k = static_cast<int>(u);
    if (u < 0 && static_cast<float>(k) != u) --k;
    switch (mode) {
        case SpreadMode::Pad:
            return k < 0 ? 0 : (k > 255 ? 255 : k);
        case SpreadMode::Repeat:
            return k & 255;
        case SpreadMode::Reflect:
            k &= 511;
            return k > 255 ? 511 - k : k;
    }
    return 0;
}
#endif

}  // namespace

void Paint::setSolid(const Rgba& c) {
    kind_ = Solid;
    color_ = premultiply(c);
}

void Paint::buildTable(const Gradient& g, const ColorTransform& cx, uint32_t table[256]) {
    size_t n = g.stops.size();
    if (n == 0) {
        std::fill(table, table + 256, 0u);
        return;
    }
    Rgba cols[16];
    int ratios[16];
    n = std::min<size_t>(n, 16);
    for (size_t i = 0; i < n; ++i) {
        cols[i] = cx.apply(g.stops[i].color);
        // Ratios must not decrease; a stop below its predecessor is lifted.
        ratios[i] = std::max<int>(g.stops[i].ratio, i ? ratios[i - 1] : 0);
    }
    size_t k = 0;
    for (int r = 0; r < 256; ++r) {
        while (k + 1 < n && ratios[k + 1] < r) ++k;
        Rgba c;
        if (r <= ratios[0]) {
            c = cols[0];
        } else if (k + 1 >= n || r >= ratios[n - 1]) {
            c = cols[n - 1];
        } else {
            const Rgba& a = cols[k];
            const Rgba& b = cols[k + 1];
            int span = ratios[k + 1] - ratios[k];
            float t = span > 0 ? static_cast<float>(r - ratios[k]) / span : 1.0f;
            if (g.linearRgb) {
                c.r = fromLinear(toLinear(a.r) + (toLinear(b.r) - toLinear(a.r)) * t);
                c.g = fromLinear(toLinear(a.g) + (toLinear(b.g) - toLinear(a.g)) * t);
                c.b = fromLinear(toLinear(a.b) + (toLinear(b.b) - toLinear(a.b)) * t);
            } else {
                c.r = static_cast<uint8_t>(a.r + (b.r - a.r) * t + 0.5f);
                c.g = static_cast<uint8_t>(a.g + (b.g - a.g) * t + 0.5f);
                c.b = static_cast<uint8_t>(a.b + (b.b - a.b) * t + 0.5f);
            }
            c.a = static_cast<uint8_t>(a.a + (b.a - a.a) * t + 0.5f);
        }
        table[r] = premultiply(c);
    }
}

void Paint::setFill(const FillStyle& fill, const Matrix& shapeToDevice, const ColorTransform& cx) {
    switch (fill.kind) {
        case FillKind::Solid:
            setSolid(cx.apply(fill.color));
            return;
        case FillKind::Bitmap: {
            Matrix bitmapToDevice = shapeToDevice * fill.matrix;
            kind_ = None;
            if (!fill.bitmap || !fill.bitmap->ready() || !bitmapToDevice.invert(inverse_)) return;
            bitmap_ = fill.bitmap;
            repeat_ = fill.bitmapRepeat;
            smooth_ = fill.bitmapSmooth && allowSmooth_;
            cx_ = cx;
            kind_ = Bitmap;
            return;
        }
        default:
            break;
    }
    Matrix gradientToDevice = shapeToDevice * fill.matrix;
    if (!gradientToDevice.invert(inverse_)) {
        // A collapsed gradient shows its last colour.
        if (fill.gradient.stops.empty()) {
            kind_ = None;
        } else {
            setSolid(cx.apply(fill.gradient.stops.back().color));
        }
        return;
    }
    table_ = cache_.table(fill.gradient, cx);
    spread_ = fill.gradient.spread;
    focal_ = static_cast<float>(std::max(-0.98, std::min(0.98, fill.gradient.focal)));
    kind_ = fill.kind == FillKind::Linear ? Linear : (fill.kind == FillKind::Radial ? Radial : Focal);
}

void Paint::generate(int x, int y, int len, uint32_t* out) const {
    if (kind_ == Solid) {
        std::fill(out, out + len, color_);
        return;
    }
    if (kind_ == None) {
        std::fill(out, out + len, 0u);
        return;
    }
    if (kind_ == Bitmap) {
        generateBitmap(x, y, len, out);
        return;
    }
    generateGradient(x, y, len, out);
}

// Positions in the gradient square are taken at each pixel's centre: x runs
// along a linear gradient (-16384..16384 twips mapped onto the table), the
// distance from the centre sets a radial one, and a focal one measures
// from its focal point F: t = |FP| / |FQ| with Q where the ray from F
// through P meets the unit circle.
void Paint::generateGradient(int x, int y, int len, uint32_t* out) const {
    const double px = x + 0.5, py = y + 0.5;
    const double gx = inverse_.a * px + inverse_.c * py + inverse_.tx;
    const double gy = inverse_.b * px + inverse_.d * py + inverse_.ty;
    const bool linear = kind_ == Linear;
    // Linear gradients in table units, the others in units of the radius.
    const double scale = linear ? 1.0 / 128.0 : 1.0 / 16384.0;
    const float fx = static_cast<float>((linear ? gx + 16384.0 : gx) * scale);
    const float fy = static_cast<float>(gy * scale);
    const float dfx = static_cast<float>(inverse_.a * scale), dfy = static_cast<float>(inverse_.b * scale);
    const float f = focal_, c = f * f - 1.0f;
    const uint32_t* table = table_;
    int i = 0;
#if defined(__SSE2__)
    const __m128 fxv = _mm_set1_ps(fx), fyv = _mm_set1_ps(fy), dfxv = _mm_set1_ps(dfx),
                 dfyv = _mm_set1_ps(dfy), t256 = _mm_set1_ps(256.0f);
    __m128 iv = _mm_setr_ps(0, 1, 2, 3);
    alignas(16) int32_t idx[4];
    for (; i < len; i += 4, iv = _mm_add_ps(iv, _mm_set1_ps(4.0f))) {
        __m128 u = _mm_add_ps(fxv, _mm_mul_ps(dfxv, iv));
        if (kind_ == Radial) {
            const __m128 v = _mm_add_ps(fyv, _mm_mul_ps(dfyv, iv));
            u = _mm_mul_ps(_mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(u, u), _mm_mul_ps(v, v))), t256);
        } else if (kind_ == Focal) {
            const __m128 v = _mm_add_ps(fyv, _mm_mul_ps(dfyv, iv));
            const __m128 dx = _mm_sub_ps(u, _mm_set1_ps(f));
            const __m128 dd = _mm_add_ps(_mm_mul_ps(dx, dx), _mm_mul_ps(v, v));
            const __m128 b = _mm_mul_ps(_mm_set1_ps(f), dx);
            const __m128 disc =
                _mm_max_ps(_mm_sub_ps(_mm_mul_ps(b, b), _mm_mul_ps(dd, _mm_set1_ps(c))), _mm_setzero_ps());
            // F + s (P - F) lies on the circle for s = den / dd; t = 1 / s.
            const __m128 den = _mm_sub_ps(_mm_sqrt_ps(disc), b);
            const __m128 pos = _mm_cmpgt_ps(den, _mm_setzero_ps());
            __m128 t = _mm_or_ps(_mm_and_ps(pos, _mm_div_ps(dd, _mm_max_ps(den, _mm_set1_ps(1e-30f)))),
                                 _mm_andnot_ps(pos, _mm_set1_ps(1e9f)));
            t = _mm_and_ps(t, _mm_cmpgt_ps(dd, _mm_setzero_ps()));  // at F itself: 0
            u = _mm_mul_ps(t, t256);
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(idx), spreadIndex4(u, spread_));
        if (i + 4 <= len) {
            out[i] = table[idx[0]];
            out[i + 1] = table[idx[1]];
            out[i + 2] = table[idx[2]];
            out[i + 3] = table[idx[3]];
        } else {
            for (int k = 0; i + k < len; ++k) out[i + k] = table[idx[k]];
        }
    }
#else
    for (; i < len; ++i) {
        const float u = fx + dfx * static_cast<float>(i), v = fy + dfy * static_cast<float>(i);
        float t = u;
        if (kind_ == Radial) {
            t = std::sqrt(u * u + v * v) * 256.0f;
        } else if (kind_ == Focal) {
            const float dx = u - f, dd = dx * dx + v * v;
            t = 0;
            if (dd > 0) {
                const float b = f * dx;
                const float den = std::sqrt(std::max(0.0f, b * b - dd * c)) - b;
                t = (den > 0 ? dd / den : 1e9f) * 256.0f;
            }
        }
        out[i] = table[spreadIndex(t, spread_)];
    }
#endif
}

namespace {

inline int64_t toFixed(double v) {
    const double lim = 1e9;
    if (!(v > -lim)) v = -lim;  // also catches NaN
    if (v > lim) v = lim;
    return static_cast<int64_t>(std::llround(v * 65536.0));
}

}  // namespace

void Paint::generateBitmap(int x, int y, int len, uint32_t* out) const {
    const double px = x + 0.5, py = y + 0.5;
    double u = inverse_.a * px + inverse_.c * py + inverse_.tx;
    double v = inverse_.b * px + inverse_.d * py + inverse_.ty;
    if (smooth_) {
        // Texel centres lie at half-integer coordinates.
        u -= 0.5;
        v -= 0.5;
    }
    BitmapSpan span{bitmap_->pixels().data(),
                    bitmap_->width(),
                    bitmap_->height(),
                    repeat_,
                    smooth_,
                    toFixed(u),
                    toFixed(v),
                    toFixed(inverse_.a),
                    toFixed(inverse_.b)};
    sampleBitmapSpan(span, len, out);
    if (cx_.isIdentity()) return;
    for (int i = 0; i < len; ++i) {
        uint32_t p = out[i], a = p >> 24;
        if (a == 0 && cx_.aAdd <= 0) continue;
        Rgba c;
        c.a = static_cast<uint8_t>(a);
        if (a) {
            c.r = static_cast<uint8_t>(std::min<uint32_t>(255, (((p >> 16) & 0xFF) * 255 + a / 2) / a));
            c.g = static_cast<uint8_t>(std::min<uint32_t>(255, (((p >> 8) & 0xFF) * 255 + a / 2) / a));
            c.b = static_cast<uint8_t>(std::min<uint32_t>(255, ((p & 0xFF) * 255 + a / 2) / a));
        }
        out[i] = premultiply(cx_.apply(c));
    }
}

}  // namespace flash
