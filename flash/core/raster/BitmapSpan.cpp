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
    const int64_t last = f + d * (len + 4);  // four-pixel groups may run a little past the span
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

#if defined(__SSE2__)
// Four pixels at a time: positions of pixels i..i+3 in the lanes of a
// register, advanced by four steps per group. Scalar axes at the group's
// first pixel are kept alongside for groups that need the per-pixel code.
struct Lanes {
    __m128i pos, step4, period;
};

template <bool Repeat>
Lanes lanes(const Axis& a) {
    Axis t = a;
    alignas(16) int32_t p[4];
    for (int k = 0; k < 4; ++k, advance<Repeat>(t)) p[k] = t.pos;
    int32_t step4 = Repeat ? static_cast<int32_t>((int64_t(a.step) * 4) % a.period) : a.step * 4;
    return {_mm_load_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi32(step4),
            _mm_set1_epi32(a.period)};
}

template <bool Repeat>
inline void advance4(Lanes& l, Axis& a) {
    l.pos = _mm_add_epi32(l.pos, l.step4);
    if (Repeat) {
        // Below twice the period: one subtraction wraps it.
        const __m128i over = _mm_cmpgt_epi32(l.pos, _mm_sub_epi32(l.period, _mm_set1_epi32(1)));
        l.pos = _mm_sub_epi32(l.pos, _mm_and_si128(over, l.period));
    }
    a.pos = _mm_cvtsi128_si32(l.pos);
}

// Lanes of the 0..255 fractions of positions.
inline __m128i fractions(__m128i pos) { return _mm_and_si128(_mm_srli_epi32(pos, 8), _mm_set1_epi32(0xFF)); }

// Mask of lanes with 0 <= i < limit.
inline __m128i inside(__m128i i, int limit) {
    return _mm_andnot_si128(_mm_srai_epi32(i, 31), _mm_cmplt_epi32(i, _mm_set1_epi32(limit)));
}

// Blending two texels a, b by a fraction t of 256: (a (256 - t) + b t) >> 8
// equals a + (((b - a) t) >> 8), which a high-half multiply of 4 (b - a)
// by 64 t gives exactly (t up to 256, differences within 16 bits).
inline __m128i lerp16(__m128i a, __m128i b, __m128i t64) {
    return _mm_add_epi16(a, _mm_mulhi_epi16(_mm_slli_epi16(_mm_sub_epi16(b, a), 2), t64));
}

// Down the two columns at p (texels p[0], p[1] over p[w], p[w + 1]): the
// pair of column values in 16-bit lanes, v64 holding 64 v in every lane.
inline __m128i columns(const uint32_t* p, int w, __m128i v64) {
    const __m128i zero = _mm_setzero_si128();
    return lerp16(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), zero),
                  _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + w)), zero), v64);
}

// Two pixels across their column pairs c0, c1; u64 holds 64 u of the
// first pixel in its low four lanes, of the second in the high four.
inline __m128i across2(__m128i c0, __m128i c1, __m128i u64) {
    return lerp16(_mm_unpacklo_epi64(c0, c1), _mm_unpackhi_epi64(c0, c1), u64);
}

// Four lanes of fractions as 64 t in 16-bit lanes: each pixel's twice
// over (t0 t0 t1 t1 t2 t2 t3 t3), a 32-bit lane per pixel.
inline __m128i fraction64(__m128i t) {
    t = _mm_slli_epi32(t, 6);
    t = _mm_packs_epi32(t, t);
    return _mm_unpacklo_epi16(t, t);
}

#define KV_LANE(v, k) _mm_shuffle_epi32(v, (k)*0x55)

// Clamps lanes of texel indices to [0, size - 1].
inline __m128i clampIndex(__m128i i, int size) {
    i = _mm_andnot_si128(_mm_srai_epi32(i, 31), i);
    const __m128i last = _mm_set1_epi32(size - 1), beyond = _mm_cmpgt_epi32(i, last);
    return _mm_or_si128(_mm_andnot_si128(beyond, i), _mm_and_si128(beyond, last));
}

// Clamped smoothing at an edge blends a texel with itself. The same value
// comes from the pair inside the edge with all the weight on the edge
// texel: before the first texel the pair 0, 1 at fraction 0, from the
// last on the pair size - 2, size - 1 at fraction 256.
inline void clampPair(__m128i& i, __m128i& t, int size) {
    const __m128i before = _mm_srai_epi32(i, 31), last = _mm_set1_epi32(size - 2);
    const __m128i after = _mm_cmpgt_epi32(i, last), edge = _mm_or_si128(before, after);
    t = _mm_or_si128(_mm_andnot_si128(edge, t), _mm_and_si128(after, _mm_set1_epi32(256)));
    i = _mm_or_si128(_mm_andnot_si128(edge, i), _mm_and_si128(after, last));
}

// Any span of the usual size, four pixels at a time. Repeating smoothed
// groups whose texel pairs wrap around an edge go through the per-pixel
// code.
template <bool Repeat, bool Smooth>
void sampleLanes(const BitmapSpan& s, Axis u, Axis v, int len, uint32_t* out) {
    const int w = s.width, h = s.height;
    if (!Repeat && Smooth && (w < 2 || h < 2)) {
        sampleFast<Repeat, Smooth>(s, u, v, len, out);
        return;
    }
    Lanes lu = lanes<Repeat>(u), lv = lanes<Repeat>(v);
    const __m128i pitch = _mm_set1_epi32(w << 16 | 1);  // madd: x + y w
    alignas(16) int32_t idx[4];
    int i = 0;
    for (; i + 4 <= len; i += 4, advance4<Repeat>(lu, u), advance4<Repeat>(lv, v)) {
        __m128i xi = _mm_srai_epi32(lu.pos, 16), yi = _mm_srai_epi32(lv.pos, 16);
        __m128i tu = _mm_setzero_si128(), tv = tu;
        if (Smooth) {
            tu = fractions(lu.pos);
            tv = fractions(lv.pos);
        }
        if (Repeat && Smooth) {
            const __m128i in = _mm_and_si128(inside(xi, w - 1), inside(yi, h - 1));
            if (_mm_movemask_epi8(in) != 0xFFFF) {
                sampleFast<Repeat, Smooth>(s, u, v, 4, out + i);
                continue;
            }
        } else if (!Repeat && Smooth) {
            clampPair(xi, tu, w);
            clampPair(yi, tv, h);
        } else if (!Repeat) {
            xi = clampIndex(xi, w);
            yi = clampIndex(yi, h);
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(idx),
                        _mm_madd_epi16(_mm_or_si128(xi, _mm_slli_epi32(yi, 16)), pitch));
        if (!Smooth) {
            for (int k = 0; k < 4; ++k) out[i + k] = s.pixels[idx[k]];
            continue;
        }
        const __m128i u64 = fraction64(tu), v64 = fraction64(tv);
        const __m128i c0 = columns(s.pixels + idx[0], w, KV_LANE(v64, 0));
        const __m128i c1 = columns(s.pixels + idx[1], w, KV_LANE(v64, 1));
        const __m128i c2 = columns(s.pixels + idx[2], w, KV_LANE(v64, 2));
        const __m128i c3 = columns(s.pixels + idx[3], w, KV_LANE(v64, 3));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packus_epi16(across2(c0, c1, _mm_unpacklo_epi32(u64, u64)),
                                          across2(c2, c3, _mm_unpackhi_epi32(u64, u64))));
    }
    if (i < len) sampleFast<Repeat, Smooth>(s, u, v, len - i, out + i);
}

// Widest bitmap whose row sampling goes through a blended row on the stack.
const int kRowTexels = 2048;

// A smoothed span along one row of texels (no vertical step, as unrotated
// bitmaps have): the two texel rows are blended once into a row of column
// values, then each pixel blends two neighbours a, b of that row. The row
// is padded so that clamped positions need no test: col[-1] = col[0], and
// col[w] is the texel after the last (wrapped or clamped). Each pair is
// kept as a and 2 (b - a) in 16-bit lanes: (a (256 - t) + b t) >> 8 is
// a + (((b - a) t) >> 8), one high-half multiply of 2 (b - a) by 128 t.
template <bool Repeat>
void sampleRow(const BitmapSpan& s, Axis u, const Axis& v, int len, uint32_t* out) {
    const int w = s.width;
    int y0, y1;
    texels<Repeat>(v, s.height, y0, y1);
    const uint32_t* top = s.pixels + static_cast<size_t>(y0) * w;
    const uint32_t* bottom = s.pixels + static_cast<size_t>(y1) * w;
    alignas(16) uint32_t buffer[kRowTexels + 4];  // col[-1 .. w + 1]
    uint32_t* col = buffer + 1;
    const uint32_t tv = static_cast<uint32_t>(v.pos >> 8) & 0xFF;
    const __m128i zero = _mm_setzero_si128(), wv = _mm_set1_epi32(static_cast<int>(tv << 16 | (256 - tv)));
    auto blend = [&](__m128i mixed) {
        const __m128i c0 = _mm_srli_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(mixed, zero), wv), 8);
        const __m128i c1 = _mm_srli_epi32(_mm_madd_epi16(_mm_unpackhi_epi8(mixed, zero), wv), 8);
        const __m128i c = _mm_packs_epi32(c0, c1);
        return _mm_packus_epi16(c, c);
    };
    int x = 0;
    for (; x + 2 <= w; x += 2)
        _mm_storel_epi64(
            reinterpret_cast<__m128i*>(col + x),
            blend(_mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + x)),
                                    _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottom + x)))));
    if (x < w)
        col[x] = static_cast<uint32_t>(_mm_cvtsi128_si32(blend(_mm_unpacklo_epi8(
            _mm_cvtsi32_si128(static_cast<int>(top[x])), _mm_cvtsi32_si128(static_cast<int>(bottom[x]))))));
    col[-1] = col[0];
    col[w] = Repeat ? col[0] : col[w - 1];
    col[w + 1] = col[w];
    // pairs + 8 (i + 1): the pair of texels i, i + 1 for i = -1 .. w - 1.
    alignas(16) int16_t pairs[(kRowTexels + 2) * 8];
    for (int e = 0; e <= w; e += 2) {
        const __m128i a =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(col + e - 1)), zero);
        const __m128i b = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(col + e)), zero);
        const __m128i d = _mm_slli_epi16(_mm_sub_epi16(b, a), 1);
        _mm_store_si128(reinterpret_cast<__m128i*>(pairs + 8 * e), _mm_unpacklo_epi64(a, d));
        _mm_store_si128(reinterpret_cast<__m128i*>(pairs + 8 * e + 8), _mm_unpackhi_epi64(a, d));
    }
    Lanes lu = lanes<Repeat>(u);
    const __m128i last = _mm_set1_epi32(w - 1), minus1 = _mm_set1_epi32(-1);
    alignas(16) int32_t idx[4];
    int i = 0;
    for (; i + 4 <= len; i += 4, advance4<Repeat>(lu, u)) {
        __m128i xi = _mm_srai_epi32(lu.pos, 16);
        if (!Repeat) {
            // Left of the bitmap -1 (col[-1], col[0]: the first texel),
            // right of it w - 1 (col[w - 1], col[w]: the last).
            xi = _mm_or_si128(xi, _mm_cmplt_epi32(xi, minus1));
            const __m128i beyond = _mm_cmpgt_epi32(xi, last);
            xi = _mm_or_si128(_mm_andnot_si128(beyond, xi), _mm_and_si128(beyond, last));
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(idx),
                        _mm_slli_epi32(_mm_add_epi32(xi, _mm_set1_epi32(1)), 3));
        // 128 t of each pixel, four lanes a pixel: pixels 0, 1 and 2, 3.
        __m128i t = _mm_slli_epi32(_mm_and_si128(_mm_srli_epi32(lu.pos, 8), _mm_set1_epi32(0xFF)), 7);
        t = _mm_packs_epi32(t, t);
        t = _mm_unpacklo_epi16(t, t);
        const __m128i t01 = _mm_unpacklo_epi32(t, t), t23 = _mm_unpackhi_epi32(t, t);
        auto pair = [&](int k) { return _mm_load_si128(reinterpret_cast<const __m128i*>(pairs + idx[k])); };
        const __m128i p0 = pair(0), p1 = pair(1), p2 = pair(2), p3 = pair(3);
        const __m128i r01 =
            _mm_add_epi16(_mm_unpacklo_epi64(p0, p1), _mm_mulhi_epi16(_mm_unpackhi_epi64(p0, p1), t01));
        const __m128i r23 =
            _mm_add_epi16(_mm_unpacklo_epi64(p2, p3), _mm_mulhi_epi16(_mm_unpackhi_epi64(p2, p3), t23));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(r01, r23));
    }
    if (i < len) sampleFast<Repeat, true>(s, u, v, len - i, out + i);
}

#undef KV_LANE

template <bool Repeat, bool Smooth>
void sampleSpan(const BitmapSpan& s, const Axis& u, const Axis& v, int len, uint32_t* out) {
    // A row of column values pays off when the span is long next to it.
    if (Smooth && v.step == 0 && s.width <= kRowTexels && len * 4 >= s.width)
        sampleRow<Repeat>(s, u, v, len, out);
    else
        sampleLanes<Repeat, Smooth>(s, u, v, len, out);
}
#else
template <bool Repeat, bool Smooth>
void sampleSpan(const BitmapSpan& s, const Axis& u, const Axis& v, int len, uint32_t* out) {
    sampleFast<Repeat, Smooth>(s, u, v, len, out);
}
#endif

}  // namespace

void sampleBitmapSpan(const BitmapSpan& s, int len, uint32_t* out) {
    Axis u, v;
    if (len <= 0 || s.width <= 0 || s.height <= 0) return;
    if (!fitAxis(s.u, s.du, s.width, s.repeat, len, u) || !fitAxis(s.v, s.dv, s.height, s.repeat, len, v)) {
        sampleAny(s, len, out);
        return;
    }
    if (s.repeat) {
        s.smooth ? sampleSpan<true, true>(s, u, v, len, out) : sampleSpan<true, false>(s, u, v, len, out);
    } else {
        s.smooth ? sampleSpan<false, true>(s, u, v, len, out) : sampleSpan<false, false>(s, u, v, len, out);
    }
}

}  // namespace flash
