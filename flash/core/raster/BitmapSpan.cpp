#include "flash/core/raster/BitmapSpan.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace flash {

namespace {

// (256 - t) * a + t * b per channel of premultiplied colours, t in 0..256.
inline uint32_t lerpColor(uint32_t a, uint32_t b, uint32_t t) {
    uint32_t s = 256 - t;
    uint32_t rb = (((a & 0xFF00FF) * s + (b & 0xFF00FF) * t) >> 8) & 0xFF00FF;
    uint32_t ag = (((a >> 8) & 0xFF00FF) * s + ((b >> 8) & 0xFF00FF) * t) & 0xFF00FF00;
    return rb | ag;
}

// p00 p01 on the upper row, p10 p11 on the lower one; tu, tv in 0..255.
inline uint32_t bilinear(uint32_t p00, uint32_t p01, uint32_t p10, uint32_t p11, uint32_t tu, uint32_t tv) {
#if defined(__SSE2__)
    // Both columns at once in 16-bit lanes (left in 0-3, right in 4-7):
    // first down the columns, then across. No sum exceeds 255 * 256.
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(256);
    const __m128i top = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(p00)),
                                                             _mm_cvtsi32_si128(static_cast<int>(p01))),
                                          zero);
    const __m128i bottom = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(p10)),
                                                                _mm_cvtsi32_si128(static_cast<int>(p11))),
                                             zero);
    const __m128i v = _mm_set1_epi16(static_cast<short>(tv));
    const __m128i column = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(top, _mm_sub_epi16(full, v)), _mm_mullo_epi16(bottom, v)), 8);
    const __m128i u = _mm_set1_epi16(static_cast<short>(tu));
    const __m128i across = _mm_mullo_epi16(column, _mm_unpacklo_epi64(_mm_sub_epi16(full, u), u));
    const __m128i sum = _mm_srli_epi16(_mm_add_epi16(across, _mm_srli_si128(across, 8)), 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
#else
    return lerpColor(lerpColor(p00, p10, tv), lerpColor(p01, p11, tv), tu);
#endif
}

// Texel coordinate: wrapped for repeating fills, clamped to the edge for
// clipped ones.
inline int texel(int64_t i, int size, bool repeat) {
    if (repeat) {
        if (i > INT32_MAX || i < INT32_MIN) i %= size;  // rare: 32-bit division is faster
        int m = static_cast<int>(i) % size;
        return m < 0 ? m + size : m;
    }
    return static_cast<int>(i < 0 ? 0 : (i >= size ? size - 1 : i));
}

// The texel after t (t already wrapped or clamped).
inline int nextTexel(int t, int size, bool repeat) { return t + 1 < size ? t + 1 : (repeat ? 0 : t); }

// Any span, with 64-bit coordinates: for huge bitmaps and far-off spans.
void sampleAny(const BitmapSpan& s, int len, uint32_t* out) {
    const int w = s.width, h = s.height;
    int64_t fu = s.u, fv = s.v;
    for (int i = 0; i < len; ++i, fu += s.du, fv += s.dv) {
        const int64_t iu = fu >> 16, iv = fv >> 16;
        const int x0 = texel(iu, w, s.repeat), y0 = texel(iv, h, s.repeat);
        if (!s.smooth) {
            out[i] = s.pixels[static_cast<size_t>(y0) * w + x0];
            continue;
        }
        const int x1 = iu < 0 && !s.repeat ? 0 : nextTexel(x0, w, s.repeat);
        const int y1 = iv < 0 && !s.repeat ? 0 : nextTexel(y0, h, s.repeat);
        const uint32_t* r0 = s.pixels + static_cast<size_t>(y0) * w;
        const uint32_t* r1 = s.pixels + static_cast<size_t>(y1) * w;
        out[i] = bilinear(r0[x0], r0[x1], r1[x0], r1[x1], static_cast<uint32_t>((fu >> 8) & 0xFF),
                          static_cast<uint32_t>((fv >> 8) & 0xFF));
    }
}

// One axis of the usual span in 32 bits: repeating coordinates are kept
// inside one period, so wrapping is a subtraction instead of a division.
struct Axis {
    int32_t pos, step, period;
};

// False when the axis does not fit 32 bits along the whole span.
bool fitAxis(int64_t f, int64_t d, int size, bool repeat, int len, Axis& a) {
    const int64_t lim = int64_t(1) << 30;
    if (size >= (1 << 14)) return false;
    if (repeat) {
        const int64_t period = int64_t(size) << 16;
        int64_t p = f % period, st = d % period;
        a.pos = static_cast<int32_t>(p < 0 ? p + period : p);
        a.step = static_cast<int32_t>(st < 0 ? st + period : st);
        a.period = static_cast<int32_t>(period);
        return true;
    }
    const int64_t last = f + d * len;
    if (f < -lim || f > lim || last < -lim || last > lim) return false;
    a.pos = static_cast<int32_t>(f);
    a.step = static_cast<int32_t>(d);
    a.period = 0;
    return true;
}

template <bool Repeat>
inline void advance(Axis& a) {
    a.pos += a.step;
    if (Repeat && a.pos >= a.period) a.pos -= a.period;
}

// Texel index and the one after it along an axis.
template <bool Repeat>
inline void texels(const Axis& a, int size, int& t0, int& t1) {
    const int i = a.pos >> 16;
    if (Repeat) {
        t0 = i;
        t1 = i + 1 < size ? i + 1 : 0;
    } else {
        t0 = i < 0 ? 0 : (i >= size ? size - 1 : i);
        t1 = i < 0 ? 0 : (t0 + 1 < size ? t0 + 1 : t0);
    }
}

#if defined(__SSE2__)
// Bilinear sample whose four texels are p[0], p[1] and p[w], p[w + 1]: each
// pair is one load. The same arithmetic as bilinear().
inline uint32_t bilinearInside(const uint32_t* p, int w, uint32_t tu, uint32_t tv) {
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(256);
    const __m128i top = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero);
    const __m128i bottom = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + w)), zero);
    const __m128i v = _mm_set1_epi16(static_cast<short>(tv));
    const __m128i column = _mm_srli_epi16(
        _mm_add_epi16(_mm_mullo_epi16(top, _mm_sub_epi16(full, v)), _mm_mullo_epi16(bottom, v)), 8);
    const __m128i u = _mm_set1_epi16(static_cast<short>(tu));
    const __m128i across = _mm_mullo_epi16(column, _mm_unpacklo_epi64(_mm_sub_epi16(full, u), u));
    const __m128i sum = _mm_srli_epi16(_mm_add_epi16(across, _mm_srli_si128(across, 8)), 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
}
#endif

template <bool Repeat, bool Smooth>
void sampleFast(const BitmapSpan& s, Axis u, Axis v, int len, uint32_t* out) {
    const int w = s.width, h = s.height;
    for (int i = 0; i < len; ++i) {
#if defined(__SSE2__)
        if (Smooth) {
            // Away from the edges the texel pairs are neighbours in memory.
            const int xi = u.pos >> 16, yi = v.pos >> 16;
            if (static_cast<unsigned>(xi) < static_cast<unsigned>(w - 1) &&
                static_cast<unsigned>(yi) < static_cast<unsigned>(h - 1)) {
                out[i] = bilinearInside(s.pixels + static_cast<size_t>(yi) * w + xi, w,
                                        static_cast<uint32_t>(u.pos >> 8) & 0xFF,
                                        static_cast<uint32_t>(v.pos >> 8) & 0xFF);
                advance<Repeat>(u);
                advance<Repeat>(v);
                continue;
            }
        }
#endif
        int x0, x1, y0, y1;
        texels<Repeat>(u, w, x0, x1);
        texels<Repeat>(v, h, y0, y1);
        const uint32_t* r0 = s.pixels + static_cast<size_t>(y0) * w;
        if (Smooth) {
            const uint32_t* r1 = s.pixels + static_cast<size_t>(y1) * w;
            out[i] = bilinear(r0[x0], r0[x1], r1[x0], r1[x1], static_cast<uint32_t>(u.pos >> 8) & 0xFF,
                              static_cast<uint32_t>(v.pos >> 8) & 0xFF);
        } else {
            out[i] = r0[x0];
        }
        advance<Repeat>(u);
        advance<Repeat>(v);
    }
}

}  // namespace

void sampleBitmapSpan(const BitmapSpan& s, int len, uint32_t* out) {
    Axis u, v;
    if (len <= 0 || s.width <= 0 || s.height <= 0) return;
    if (!fitAxis(s.u, s.du, s.width, s.repeat, len, u) || !fitAxis(s.v, s.dv, s.height, s.repeat, len, v)) {
        sampleAny(s, len, out);
        return;
    }
    if (s.repeat) {
        s.smooth ? sampleFast<true, true>(s, u, v, len, out) : sampleFast<true, false>(s, u, v, len, out);
    } else {
        s.smooth ? sampleFast<false, true>(s, u, v, len, out) : sampleFast<false, false>(s, u, v, len, out);
    }
}

}  // namespace flash
