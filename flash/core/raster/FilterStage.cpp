#include "flash/core/raster/FilterStage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "flash/core/raster/Canvas.h"
#include "flash/core/raster/Paint.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace flash {

namespace {

// One horizontal box pass over a row of `channels`-byte pixels, zero
// outside, in time proportional to the width whatever the radius; `tmp`
// keeps a copy of the row.
void boxRow(uint8_t* row, int width, int channels, int r, std::vector<uint8_t>& tmp) {
    const int n = 2 * r + 1;
    tmp.assign(row, row + static_cast<size_t>(width) * channels);
    const uint8_t* in = tmp.data();
    const float inv = 1.0f / n;
    int acc[4] = {0, 0, 0, 0};
    for (int i = 0; i < r && i < width; ++i)
        for (int c = 0; c < channels; ++c) acc[c] += in[static_cast<size_t>(i) * channels + c];
    for (int x = 0; x < width; ++x) {
        if (x + r < width)
            for (int c = 0; c < channels; ++c) acc[c] += in[static_cast<size_t>(x + r) * channels + c];
        for (int c = 0; c < channels; ++c) row[x * channels + c] = static_cast<uint8_t>(acc[c] * inv + 0.5f);
        if (x - r >= 0)
            for (int c = 0; c < channels; ++c) acc[c] -= in[static_cast<size_t>(x - r) * channels + c];
    }
}

#if defined(__SSE2__)
// One horizontal box pass over two rows of 4-byte pixels at once: each
// pixel of `a` sits beside the one of `b` in eight 16-bit sums (n <= 257).
// `tmp` holds the pairs padded by r zero pairs on both sides.
void boxRowPair(uint8_t* a, uint8_t* b, int width, int r, std::vector<uint8_t>& tmp) {
    const int n = 2 * r + 1;
    const size_t pad = static_cast<size_t>(r) * 8;
    tmp.resize(static_cast<size_t>(width) * 8 + 2 * pad + 16);
    std::memset(tmp.data(), 0, pad);
    std::memset(tmp.data() + pad + static_cast<size_t>(width) * 8, 0, pad + 16);
    uint8_t* pairs = tmp.data() + pad;
    int x = 0;
    for (; x + 4 <= width; x += 4) {
        __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x * 4));
        __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x * 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs + x * 8), _mm_unpacklo_epi32(va, vb));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pairs + x * 8 + 16), _mm_unpackhi_epi32(va, vb));
    }
    for (; x < width; ++x) {
        std::memcpy(pairs + x * 8, a + x * 4, 4);
        std::memcpy(pairs + x * 8 + 4, b + x * 4, 4);
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(static_cast<short>(n / 2));
    const __m128i mul = _mm_set1_epi16(static_cast<short>((65536 + n - 1) / n));
    auto load = [&](size_t i) {
        return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(tmp.data() + i * 8)), zero);
    };
    __m128i acc = zero;
    for (int i = 0; i < n - 1; ++i) acc = _mm_add_epi16(acc, load(i));
    for (x = 0; x < width; ++x) {
        acc = _mm_add_epi16(acc, load(x + n - 1));
        __m128i v = _mm_mulhi_epu16(_mm_adds_epu16(acc, half), mul);
        v = _mm_packus_epi16(v, v);
        uint32_t lo = static_cast<uint32_t>(_mm_cvtsi128_si32(v));
        uint32_t hi = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(v, 4)));
        std::memcpy(a + x * 4, &lo, 4);
        std::memcpy(b + x * 4, &hi, 4);
        acc = _mm_sub_epi16(acc, load(x));
    }
}
#endif

#if defined(__SSE2__)
// One horizontal box pass over a row of single bytes (n <= 257): the sum of
// a window is the difference of two running sums, which 16-bit lanes hold
// exactly even when the running sums themselves wrap around.
void boxRowBytes(uint8_t* row, int width, int r, std::vector<uint16_t>& sums) {
    const int n = 2 * r + 1;
    // sums[k] = sum of row[0 .. k - r - 1], clamped to the row: the window
    // of x is sums[x + n] - sums[x].
    sums.resize(static_cast<size_t>(width) + 2 * r + 1 + 8);
    uint16_t* q = sums.data();
    std::fill(q, q + r + 1, uint16_t(0));
    uint16_t run = 0;
    for (int i = 0; i < width; ++i) q[r + 1 + i] = run = static_cast<uint16_t>(run + row[i]);
    std::fill(q + r + 1 + width, q + sums.size(), run);
    const __m128i half = _mm_set1_epi16(static_cast<short>(n / 2));
    const __m128i mul = _mm_set1_epi16(static_cast<short>((65536 + n - 1) / n));
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + x + n));
        const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + x));
        const __m128i v = _mm_mulhi_epu16(_mm_adds_epu16(_mm_sub_epi16(hi, lo), half), mul);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(row + x), _mm_packus_epi16(v, v));
    }
    for (; x < width; ++x) {
        const uint32_t sum = std::min(65535u, static_cast<uint16_t>(q[x + n] - q[x]) + n / 2u);
        row[x] = static_cast<uint8_t>((sum * static_cast<uint32_t>((65536 + n - 1) / n)) >> 16);
    }
}
#endif

// One vertical box pass: a running sum per byte column, a row at a time.
// Sums of up to 257 rows fit 16 bits, which SSE2 adds eight at a time.
void boxColumns(uint8_t* data, int rowBytes, int height, int stride, int r, std::vector<uint32_t>& acc,
                std::vector<uint8_t>& ring) {
    const int n = 2 * r + 1;
    // The input rows still needed after they are overwritten: a ring of n
    // rows (or of all rows, when there are fewer).
    const int slots = std::max(1, std::min(n, height));
    ring.assign(static_cast<size_t>(rowBytes) * slots, 0);
    int start = 0;  // first byte column left to the 32-bit loop
#if defined(__SSE2__)
    if (n <= 257) {
        const int vec = rowBytes / 16 * 16;
        acc.assign(static_cast<size_t>(vec) / 2 + 4, 0);  // 16-bit sums, vec of them
        uint16_t* a16 = reinterpret_cast<uint16_t*>(acc.data());
        const __m128i zero = _mm_setzero_si128();
        const __m128i half = _mm_set1_epi16(static_cast<short>(n / 2));
        const __m128i mul = _mm_set1_epi16(static_cast<short>((65536 + n - 1) / n));
        auto sumAt = [&](int i) { return reinterpret_cast<__m128i*>(a16 + i); };
        for (int y = 0; y < r && y < height; ++y) {
            const uint8_t* in = data + static_cast<size_t>(y) * stride;
            for (int i = 0; i < vec; i += 16) {
                __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
                _mm_storeu_si128(sumAt(i),
                                 _mm_add_epi16(_mm_loadu_si128(sumAt(i)), _mm_unpacklo_epi8(v, zero)));
                _mm_storeu_si128(sumAt(i + 8),
                                 _mm_add_epi16(_mm_loadu_si128(sumAt(i + 8)), _mm_unpackhi_epi8(v, zero)));
            }
        }
        for (int y = 0; y < height; ++y) {
            const uint8_t* add = y + r < height ? data + static_cast<size_t>(y + r) * stride : nullptr;
            const uint8_t* drop =
                y - r >= 0 ? ring.data() + static_cast<size_t>((y - r) % slots) * rowBytes : nullptr;
            uint8_t* row = data + static_cast<size_t>(y) * stride;
            uint8_t* keep = ring.data() + static_cast<size_t>(y % slots) * rowBytes;
            for (int i = 0; i < vec; i += 16) {
                __m128i lo = _mm_loadu_si128(sumAt(i)), hi = _mm_loadu_si128(sumAt(i + 8));
                if (add) {
                    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(add + i));
                    lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(v, zero));
                    hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(v, zero));
                }
                _mm_storeu_si128(reinterpret_cast<__m128i*>(keep + i),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i)));
                __m128i olo = _mm_mulhi_epu16(_mm_adds_epu16(lo, half), mul);
                __m128i ohi = _mm_mulhi_epu16(_mm_adds_epu16(hi, half), mul);
                _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), _mm_packus_epi16(olo, ohi));
                if (drop) {
                    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(drop + i));
                    lo = _mm_sub_epi16(lo, _mm_unpacklo_epi8(v, zero));
                    hi = _mm_sub_epi16(hi, _mm_unpackhi_epi8(v, zero));
                }
                _mm_storeu_si128(sumAt(i), lo);
                _mm_storeu_si128(sumAt(i + 8), hi);
            }
        }
        if (vec == rowBytes) return;
        start = vec;
        // The ring rows of the vector part are no longer needed; the tail
        // below keeps its own.
        ring.assign(static_cast<size_t>(rowBytes) * slots, 0);
    }
#endif
    const uint32_t mul = ((1u << 24) + n / 2) / n;
    const int width = rowBytes - start;
    std::vector<uint32_t> sums(static_cast<size_t>(width), 0);
    uint32_t* a = sums.data();
    for (int y = 0; y < r && y < height; ++y) {
        const uint8_t* in = data + static_cast<size_t>(y) * stride + start;
        for (int i = 0; i < width; ++i) a[i] += in[i];
    }
    for (int y = 0; y < height; ++y) {
        int addRow = y + r;
        if (addRow < height) {
            const uint8_t* in = data + static_cast<size_t>(addRow) * stride + start;
            for (int i = 0; i < width; ++i) a[i] += in[i];
        }
        uint8_t* row = data + static_cast<size_t>(y) * stride + start;
        uint8_t* keep = ring.data() + static_cast<size_t>(y % slots) * rowBytes;
        std::memcpy(keep, row, width);
        for (int i = 0; i < width; ++i) row[i] = static_cast<uint8_t>((a[i] * mul + (1u << 23)) >> 24);
        int dropRow = y - r;
        if (dropRow >= 0) {
            const uint8_t* old = ring.data() + static_cast<size_t>(dropRow % slots) * rowBytes;
            for (int i = 0; i < width; ++i) a[i] -= old[i];
        }
    }
}

inline uint32_t alphaOf(uint32_t p) { return p >> 24; }

uint32_t premultipliedColor(const Rgba& c) { return premultiply(c); }

// Integer pixel offset of a filter's angle and distance.
void offsetOf(const Filter& f, float sx, float sy, int& dx, int& dy) {
    dx = static_cast<int>(std::lround(std::cos(f.angle) * f.distance * sx));
    dy = static_cast<int>(std::lround(std::sin(f.angle) * f.distance * sy));
}

void gradientTable(const Filter& f, uint32_t table[256]) {
    Gradient g;
    for (size_t i = 0; i < f.colors.size(); ++i) g.stops.push_back({f.ratios[i], f.colors[i]});
    if (g.stops.empty()) g.stops.push_back({0, Rgba{0, 0, 0, 0}});
    Paint::buildTable(g, ColorTransform(), table);
}

inline uint8_t clampByte(float v) {
    if (!(v > 0)) return 0;
    if (v >= 255) return 255;
    return static_cast<uint8_t>(v + 0.5f);
}

}  // namespace

void boxBlur(uint8_t* data, int width, int height, int strideBytes, int channels, int rx, int ry,
             int passes) {
    if (width <= 0 || height <= 0) return;
    std::vector<uint8_t> tmp;
    std::vector<uint32_t> acc;
    std::vector<uint16_t> sums;
    for (int p = 0; p < passes; ++p) {
        if (rx > 0) {
            int y = 0;
#if defined(__SSE2__)
            if (channels == 4 && rx <= 128)
                for (; y + 2 <= height; y += 2)
                    boxRowPair(data + static_cast<size_t>(y) * strideBytes,
                               data + static_cast<size_t>(y + 1) * strideBytes, width, rx, tmp);
            if (channels == 1 && rx <= 128)
                for (; y < height; ++y)
                    boxRowBytes(data + static_cast<size_t>(y) * strideBytes, width, rx, sums);
#endif
            for (; y < height; ++y)
                boxRow(data + static_cast<size_t>(y) * strideBytes, width, channels, rx, tmp);
        }
        if (ry > 0) boxColumns(data, width * channels, height, strideBytes, ry, acc, tmp);
    }
}

void FilterStage::apply(const Filter& f, float sx, float sy, const LayerPixels& layer) {
    if (layer.width <= 0 || layer.height <= 0) return;
    switch (f.kind) {
        case FilterKind::Blur:
            blur(f, sx, sy, layer);
            break;
        case FilterKind::DropShadow:
        case FilterKind::Glow:
        case FilterKind::GradientGlow:
            shadow(f, sx, sy, layer);
            break;
        case FilterKind::Bevel:
        case FilterKind::GradientBevel:
            bevel(f, sx, sy, layer);
            break;
        case FilterKind::ColorMatrix:
            colorMatrix(f, layer);
            break;
        case FilterKind::Convolution:
            convolution(f, layer);
            break;
    }
}

void FilterStage::blur(const Filter& f, float sx, float sy, const LayerPixels& layer) {
    boxBlur(reinterpret_cast<uint8_t*>(layer.px), layer.width, layer.height, layer.stride * 4, 4,
            blurRadius(f.blurX, sx), blurRadius(f.blurY, sy), f.passes);
}

void FilterStage::blurredAlpha(const Filter& f, float sx, float sy, const LayerPixels& layer, bool invert) {
    const int w = layer.width, h = layer.height;
    alpha_.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = layer.px + static_cast<size_t>(y) * layer.stride;
        uint8_t* a = alpha_.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x)
            a[x] = static_cast<uint8_t>(invert ? 255 - alphaOf(row[x]) : alphaOf(row[x]));
    }
    boxBlur(alpha_.data(), w, h, w, 1, blurRadius(f.blurX, sx), blurRadius(f.blurY, sy), f.passes);
}

void FilterStage::shadow(const Filter& f, float sx, float sy, const LayerPixels& layer) {
    const int w = layer.width, h = layer.height;
    blurredAlpha(f, sx, sy, layer, f.inner);
    int dx = 0, dy = 0;
    if (f.kind != FilterKind::Glow) offsetOf(f, sx, sy, dx, dy);
    uint32_t table[256];
    const bool gradient = f.kind == FilterKind::GradientGlow;
    if (gradient) gradientTable(f, table);
    const uint32_t color = premultipliedColor(f.color);
    // The shadow pixel for each blurred alpha value.
    uint32_t shade[256];
    for (int i = 0; i < 256; ++i) {
        uint8_t level = clampByte(i * f.strength);
        shade[i] = gradient ? table[level] : mulPixel(color, level);
    }
    const uint8_t outside = f.inner ? 255 : 0;
    const bool plainOuter = !f.inner && !f.knockout && !f.hideObject;
    if (plainOuter) {
        shadowBehind(shade, outside, dx, dy, layer);
        return;
    }
    for (int y = 0; y < h; ++y) {
        uint32_t* row = layer.px + static_cast<size_t>(y) * layer.stride;
        int syy = y - dy;
        const uint8_t* arow = (syy >= 0 && syy < h) ? alpha_.data() + static_cast<size_t>(syy) * w : nullptr;
        for (int x = 0; x < w; ++x) {
            int sxx = x - dx;
            uint8_t a = (arow && sxx >= 0 && sxx < w) ? arow[sxx] : outside;
            uint32_t sh = shade[a];
            uint32_t src = row[x];
            uint32_t sa = alphaOf(src);
            if (f.inner) {
                uint32_t in = mulPixel(sh, sa);
                row[x] = (f.knockout || f.hideObject) ? in : in + mulPixel(src, 255 - alphaOf(sh));
            } else if (f.knockout) {
                row[x] = mulPixel(sh, 255 - sa);
            } else if (f.hideObject) {
                row[x] = sh;
            } else {
                row[x] = src + mulPixel(sh, 255 - sa);
            }
        }
    }
}

void FilterStage::shadowBehind(const uint32_t shade[256], uint8_t outside, int dx, int dy,
                               const LayerPixels& layer) {
    const int w = layer.width, h = layer.height;
    auto put = [](uint32_t& p, uint32_t sh) {
        const uint32_t sa = p >> 24;
        if (sa == 0)
            p = sh;
        else if (sa != 255)
            p += mulPixel(sh, 255 - sa);
    };
    const uint32_t edge = shade[outside];
    // Columns whose shifted alpha lies inside the layer.
    const int xa = std::clamp(dx, 0, w), xb = std::clamp(w + dx, 0, w);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = layer.px + static_cast<size_t>(y) * layer.stride;
        const int sy = y - dy;
        if (sy < 0 || sy >= h) {
            for (int x = 0; x < w; ++x) put(row[x], edge);
            continue;
        }
        const uint8_t* a = alpha_.data() + static_cast<size_t>(sy) * w - dx;
        for (int x = 0; x < xa; ++x) put(row[x], edge);
        int x = xa;
#if defined(__SSE2__)
        // Runs inside the object stay; runs of empty pixels take the shadow.
        const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        for (; x + 4 <= xb; x += 4) {
            const __m128i alpha =
                _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)), opaque);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, opaque)) == 0xFFFF) continue;
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF) {
                row[x] = shade[a[x]];
                row[x + 1] = shade[a[x + 1]];
                row[x + 2] = shade[a[x + 2]];
                row[x + 3] = shade[a[x + 3]];
                continue;
            }
            for (int k = 0; k < 4; ++k) put(row[x + k], shade[a[x + k]]);
        }
#endif
        for (; x < xb; ++x) put(row[x], shade[a[x]]);
        for (x = xb; x < w; ++x) put(row[x], edge);
    }
}

void FilterStage::bevel(const Filter& f, float sx, float sy, const LayerPixels& layer) {
    const int w = layer.width, h = layer.height;
    blurredAlpha(f, sx, sy, layer, false);
    int dx = 0, dy = 0;
    offsetOf(f, sx, sy, dx, dy);
    uint32_t table[256];
    const bool gradient = f.kind == FilterKind::GradientBevel;
    if (gradient) gradientTable(f, table);
    const uint32_t shadowColor = premultipliedColor(f.color), lightColor = premultipliedColor(f.highlight);
    auto sample = [&](int x, int y) -> int {
        if (x < 0 || y < 0 || x >= w || y >= h) return 0;
        return alpha_[static_cast<size_t>(y) * w + x];
    };
    const bool full = f.onTop, inner = f.inner && !f.onTop;
    const bool noSource = f.knockout || f.hideObject;
    for (int y = 0; y < h; ++y) {
        uint32_t* row = layer.px + static_cast<size_t>(y) * layer.stride;
        for (int x = 0; x < w; ++x) {
            // Lit where the alpha rises towards the light, shaded where it falls.
            float v = (sample(x + dx, y + dy) - sample(x - dx, y - dy)) * f.strength;
            v = std::max(-255.0f, std::min(255.0f, v));
            uint32_t b;
            if (gradient) {
                b = table[std::min(255, (static_cast<int>(std::lround(v)) + 256) >> 1)];
            } else {
                b = v >= 0 ? mulPixel(lightColor, clampByte(v)) : mulPixel(shadowColor, clampByte(-v));
            }
            uint32_t src = row[x];
            uint32_t sa = alphaOf(src);
            if (full) {
                row[x] = noSource ? b : b + mulPixel(src, 255 - alphaOf(b));
            } else if (inner) {
                uint32_t in = mulPixel(b, sa);
                row[x] = noSource ? in : in + mulPixel(src, 255 - alphaOf(in));
            } else {
                uint32_t out = mulPixel(b, 255 - sa);
                row[x] = noSource ? out : src + out;
            }
        }
    }
}

void FilterStage::colorMatrix(const Filter& f, const LayerPixels& layer) {
    const float* m = f.colorMatrix;
    for (int y = 0; y < layer.height; ++y) {
        uint32_t* row = layer.px + static_cast<size_t>(y) * layer.stride;
        for (int x = 0; x < layer.width; ++x) {
            uint32_t p = row[x];
            float a = static_cast<float>(p >> 24);
            float c[4] = {0, 0, 0, a};
            if (a > 0) {
                float k = 255.0f / a;
                c[0] = ((p >> 16) & 255) * k;
                c[1] = ((p >> 8) & 255) * k;
                c[2] = (p & 255) * k;
            }
            uint8_t o[4];
            for (int i = 0; i < 4; ++i)
                o[i] = clampByte(m[i * 5] * c[0] + m[i * 5 + 1] * c[1] + m[i * 5 + 2] * c[2] +
                                 m[i * 5 + 3] * c[3] + m[i * 5 + 4]);
            row[x] = premultiply(Rgba{o[0], o[1], o[2], o[3]});
        }
    }
}

void FilterStage::convolution(const Filter& f, const LayerPixels& layer) {
    const int w = layer.width, h = layer.height;
    if (f.matrixX <= 0 || f.matrixY <= 0) return;
    // Straight colours as floats, 4 per pixel.
    straight_.resize(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = layer.px + static_cast<size_t>(y) * layer.stride;
        float* s = straight_.data() + static_cast<size_t>(y) * w * 4;
        for (int x = 0; x < w; ++x) {
            uint32_t p = row[x];
            float a = static_cast<float>(p >> 24), k = a > 0 ? 255.0f / a : 0;
            s[x * 4] = ((p >> 16) & 255) * k;
            s[x * 4 + 1] = ((p >> 8) & 255) * k;
            s[x * 4 + 2] = (p & 255) * k;
            s[x * 4 + 3] = a;
        }
    }
    const float def[4] = {static_cast<float>(f.defaultColor.r), static_cast<float>(f.defaultColor.g),
                          static_cast<float>(f.defaultColor.b), static_cast<float>(f.defaultColor.a)};
    const int hx = f.matrixX / 2, hy = f.matrixY / 2;
    const float inv = 1.0f / f.divisor;
    for (int y = 0; y < h; ++y) {
        uint32_t* row = layer.px + static_cast<size_t>(y) * layer.stride;
        for (int x = 0; x < w; ++x) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < f.matrixY; ++j) {
                int yy = y + j - hy;
                for (int i = 0; i < f.matrixX; ++i) {
                    float k = f.matrix[static_cast<size_t>(j) * f.matrixX + i];
                    if (k == 0) continue;
                    int xx = x + i - hx;
                    const float* s;
                    if (xx >= 0 && yy >= 0 && xx < w && yy < h) {
                        s = straight_.data() + (static_cast<size_t>(yy) * w + xx) * 4;
                    } else if (f.clamp) {
                        int cx = std::max(0, std::min(w - 1, xx)), cy = std::max(0, std::min(h - 1, yy));
                        s = straight_.data() + (static_cast<size_t>(cy) * w + cx) * 4;
                    } else {
                        s = def;
                    }
                    for (int c = 0; c < 4; ++c) sum[c] += k * s[c];
                }
            }
            const float* self = straight_.data() + (static_cast<size_t>(y) * w + x) * 4;
            uint8_t o[4];
            for (int c = 0; c < 4; ++c) o[c] = clampByte(sum[c] * inv + f.bias);
            if (f.preserveAlpha) o[3] = static_cast<uint8_t>(self[3]);
            row[x] = premultiply(Rgba{o[0], o[1], o[2], o[3]});
        }
    }
}

}  // namespace flash
