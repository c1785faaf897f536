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

#if !defined(__SSE2__)
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
// from its focal point.
GradientWalk Paint::gradientWalk(int x, int y) const {
    const double px = x + 0.5, py = y + 0.5;
    const double gx = inverse_.a * px + inverse_.c * py + inverse_.tx;
    const double gy = inverse_.b * px + inverse_.d * py + inverse_.ty;
    const bool linear = kind_ == Linear;
    // Linear gradients in table units, the others in units of the radius.
    const double scale = linear ? 1.0 / 128.0 : 1.0 / 16384.0;
    return {static_cast<float>((linear ? gx + 16384.0 : gx) * scale),
            static_cast<float>(gy * scale),
            static_cast<float>(inverse_.a * scale),
            static_cast<float>(inverse_.b * scale),
            focal_,
            table_};
}

void Paint::generateGradient(int x, int y, int len, uint32_t* out) const {
    const GradientWalk g = gradientWalk(x, y);
#if defined(__SSE2__)
    walkGradient(g, gradientShape(), spread_, len, [&](int i, __m128i colors) {
        if (i + 4 <= len) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), colors);
            return;
        }
        alignas(16) uint32_t last[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(last), colors);
        for (int k = 0; i + k < len; ++k) out[i + k] = last[k];
    });
#else
    const float f = g.focal, c = f * f - 1.0f;
    for (int i = 0; i < len; ++i) {
        const float u = g.fx + g.dfx * static_cast<float>(i), v = g.fy + g.dfy * static_cast<float>(i);
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
        out[i] = g.table[spreadIndex(t, spread_)];
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
