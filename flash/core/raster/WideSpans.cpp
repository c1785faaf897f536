#include "flash/core/raster/WideSpans.h"

#include <atomic>
#include <cstring>

#include "flash/core/raster/SweepRows.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace flash {

namespace {

std::atomic<bool> gAllowed{true};

bool processorHasAvx2() {
#if defined(__AVX2__) && (defined(__GNUC__) || defined(__clang__))
    // Also checks that the system saves the wide registers.
    static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2") != 0);
    return has;
#else
    return false;
#endif
}

}  // namespace

bool wideSpans() { return gAllowed.load(std::memory_order_relaxed) && processorHasAvx2(); }

void allowWideSpans(bool allowed) { gAllowed.store(allowed); }

#if defined(__AVX2__)

namespace {

// x / 255, rounded, for 16-bit lanes holding products of two bytes.
inline __m256i div255(__m256i x) {
    return _mm256_mulhi_epu16(_mm256_add_epi16(x, _mm256_set1_epi16(128)), _mm256_set1_epi16(257));
}

// The covers of eight pixels, each repeated over its four channels, in the
// order the byte unpacking below leaves the pixels: lo holds pixels 0, 1
// (low half) and 4, 5 (high half), hi holds 2, 3 and 6, 7.
inline void spreadCovers(uint64_t c8, __m256i& lo, __m256i& hi) {
    const __m256i c = _mm256_set1_epi64x(static_cast<long long>(c8));
    const char z = static_cast<char>(0x80);
    lo = _mm256_shuffle_epi8(c, _mm256_setr_epi8(0, z, 0, z, 0, z, 0, z, 1, z, 1, z, 1, z, 1, z,  //
                                                 4, z, 4, z, 4, z, 4, z, 5, z, 5, z, 5, z, 5, z));
    hi = _mm256_shuffle_epi8(c, _mm256_setr_epi8(2, z, 2, z, 2, z, 2, z, 3, z, 3, z, 3, z, 3, z,  //
                                                 6, z, 6, z, 6, z, 6, z, 7, z, 7, z, 7, z, 7, z));
}

// Pixels in 16-bit lanes: src scaled by the coverage, then over dst.
inline __m256i blendHalf(__m256i s, __m256i d, __m256i cov) {
    s = div255(_mm256_mullo_epi16(s, cov));
    const __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s, 0xFF), 0xFF);
    const __m256i inv = _mm256_sub_epi16(_mm256_set1_epi16(255), a);
    return _mm256_add_epi16(s, div255(_mm256_mullo_epi16(d, inv)));
}

// Eight pixels: colors with covers c8 (a byte each) over d.
inline __m256i blend8(__m256i d, __m256i colors, uint64_t c8) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i clo, chi;
    spreadCovers(c8, clo, chi);
    const __m256i lo = blendHalf(_mm256_unpacklo_epi8(colors, zero), _mm256_unpacklo_epi8(d, zero), clo);
    const __m256i hi = blendHalf(_mm256_unpackhi_epi8(colors, zero), _mm256_unpackhi_epi8(d, zero), chi);
    return _mm256_packus_epi16(lo, hi);
}

// Eight pixels at full coverage: colors over d.
inline __m256i blend8Full(__m256i d, __m256i colors) {
    const __m256i zero = _mm256_setzero_si256(), ff = _mm256_set1_epi16(255);
    const __m256i slo = _mm256_unpacklo_epi8(colors, zero), shi = _mm256_unpackhi_epi8(colors, zero);
    const __m256i alo = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(slo, 0xFF), 0xFF);
    const __m256i ahi = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(shi, 0xFF), 0xFF);
    const __m256i lo = div255(_mm256_mullo_epi16(_mm256_unpacklo_epi8(d, zero), _mm256_sub_epi16(ff, alo)));
    const __m256i hi = div255(_mm256_mullo_epi16(_mm256_unpackhi_epi8(d, zero), _mm256_sub_epi16(ff, ahi)));
    return _mm256_adds_epu8(colors, _mm256_packus_epi16(lo, hi));
}

inline __m256i load8(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
inline void store8(uint32_t* p, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }

// Eight pixels of dst by their covers: skipped when none is covered, the
// full-coverage blend when all are.
inline void blendGroup(uint32_t* dst, __m256i colors, const uint8_t* covers) {
    uint64_t c8;
    std::memcpy(&c8, covers, 8);
    if (c8 == 0) return;
    const __m256i d = load8(dst);
    store8(dst, c8 == ~uint64_t(0) ? blend8Full(d, colors) : blend8(d, colors, c8));
}

// The last n (< 8) pixels of a span: copied out, blended with zero
// coverage after them (which leaves a pixel as it was) and copied back.
inline void blendTail(uint32_t* dst, int n, __m256i colors, const uint8_t* covers) {
    // Lanes below n: the masked load and store touch no pixel beyond.
    const __m256i lanes = _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
    uint64_t c8 = 0;
    for (int k = 0; k < n; ++k) c8 |= static_cast<uint64_t>(covers[k]) << (8 * k);
    int* p = reinterpret_cast<int*>(dst);
    _mm256_maskstore_epi32(p, lanes, blend8(_mm256_maskload_epi32(p, lanes), colors, c8));
}

// Table indices of eight gradient positions, as spreadIndex4 makes them.
template <SpreadMode Mode>
inline __m256i spreadIndex8(__m256 u) {
    if (Mode == SpreadMode::Pad) {
        u = _mm256_min_ps(_mm256_max_ps(u, _mm256_setzero_ps()), _mm256_set1_ps(255.0f));
        return _mm256_cvttps_epi32(u);
    }
    u = _mm256_min_ps(_mm256_max_ps(u, _mm256_set1_ps(-1e9f)), _mm256_set1_ps(1e9f));
    __m256i k = _mm256_cvttps_epi32(u);
    k = _mm256_add_epi32(k, _mm256_castps_si256(_mm256_cmp_ps(u, _mm256_cvtepi32_ps(k), _CMP_LT_OQ)));
    if (Mode == SpreadMode::Repeat) return _mm256_and_si256(k, _mm256_set1_epi32(255));
    k = _mm256_and_si256(k, _mm256_set1_epi32(511));
    const __m256i back = _mm256_cmpgt_epi32(k, _mm256_set1_epi32(255));
    return _mm256_xor_si256(k, _mm256_and_si256(back, _mm256_set1_epi32(511)));
}

// Gradient positions of eight pixels, as gradientPosition makes them.
template <GradientShape Shape>
inline __m256 position8(const GradientWalk& g, __m256 iv) {
    const __m256 u = _mm256_add_ps(_mm256_set1_ps(g.fx), _mm256_mul_ps(_mm256_set1_ps(g.dfx), iv));
    if (Shape == GradientShape::Linear) return u;
    const __m256 t256 = _mm256_set1_ps(256.0f);
    const __m256 v = _mm256_add_ps(_mm256_set1_ps(g.fy), _mm256_mul_ps(_mm256_set1_ps(g.dfy), iv));
    if (Shape == GradientShape::Radial)
        return _mm256_mul_ps(_mm256_sqrt_ps(_mm256_add_ps(_mm256_mul_ps(u, u), _mm256_mul_ps(v, v))), t256);
    const float f = g.focal, c = f * f - 1.0f;
    const __m256 zero = _mm256_setzero_ps();
    const __m256 dx = _mm256_sub_ps(u, _mm256_set1_ps(f));
    const __m256 dd = _mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(v, v));
    const __m256 b = _mm256_mul_ps(_mm256_set1_ps(f), dx);
    const __m256 disc =
        _mm256_max_ps(_mm256_sub_ps(_mm256_mul_ps(b, b), _mm256_mul_ps(dd, _mm256_set1_ps(c))), zero);
    const __m256 den = _mm256_sub_ps(_mm256_sqrt_ps(disc), b);
    const __m256 pos = _mm256_cmp_ps(den, zero, _CMP_GT_OQ);
    __m256 t = _mm256_or_ps(_mm256_and_ps(pos, _mm256_div_ps(dd, _mm256_max_ps(den, _mm256_set1_ps(1e-30f)))),
                            _mm256_andnot_ps(pos, _mm256_set1_ps(1e9f)));
    t = _mm256_and_ps(t, _mm256_cmp_ps(dd, zero, _CMP_GT_OQ));
    return _mm256_mul_ps(t, t256);
}

template <GradientShape Shape, SpreadMode Mode>
void gradientSpan(uint32_t* dst, int len, const GradientWalk& g, const uint8_t* covers) {
    const int* table = reinterpret_cast<const int*>(g.table);
    __m256 iv = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256 step = _mm256_set1_ps(8.0f);
    int i = 0;
    for (; i + 8 <= len; i += 8, iv = _mm256_add_ps(iv, step)) {
        uint64_t c8;
        std::memcpy(&c8, covers + i, 8);
        if (c8 == 0) continue;
        const __m256i colors = _mm256_i32gather_epi32(table, spreadIndex8<Mode>(position8<Shape>(g, iv)), 4);
        const __m256i d = load8(dst + i);
        store8(dst + i, c8 == ~uint64_t(0) ? blend8Full(d, colors) : blend8(d, colors, c8));
    }
    if (i < len) {
        const __m256i colors = _mm256_i32gather_epi32(table, spreadIndex8<Mode>(position8<Shape>(g, iv)), 4);
        blendTail(dst + i, len - i, colors, covers + i);
    }
}

template <GradientShape Shape>
void gradientSpanAs(uint32_t* dst, int len, const GradientWalk& g, SpreadMode mode, const uint8_t* covers) {
    if (mode == SpreadMode::Pad) return gradientSpan<Shape, SpreadMode::Pad>(dst, len, g, covers);
    if (mode == SpreadMode::Repeat) return gradientSpan<Shape, SpreadMode::Repeat>(dst, len, g, covers);
    gradientSpan<Shape, SpreadMode::Reflect>(dst, len, g, covers);
}

// Pixels from i on that are fully covered.
inline int fullRunEnd(const uint8_t* covers, int i, int len) {
    const __m256i full = _mm256_set1_epi8(static_cast<char>(-1));
    for (; i + 32 <= len; i += 32) {
        const __m256i c = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(covers + i));
        const unsigned partial = ~static_cast<unsigned>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(c, full)));
        if (partial) return i + __builtin_ctz(partial);
    }
    while (i < len && covers[i] == 255) ++i;
    return i;
}

}  // namespace

void blendSolidSpanWide(uint32_t* dst, int len, uint32_t color, const uint8_t* covers) {
    const bool opaque = (color >> 24) == 255;
    const __m256i colors = _mm256_set1_epi32(static_cast<int>(color));
    int i = 0;
    while (i < len) {
        if (covers[i] == 255) {
            const int j = fullRunEnd(covers, i + 1, len);
            if (opaque) {
                int k = i;
                for (; k + 8 <= j; k += 8) store8(dst + k, colors);
                for (; k < j; ++k) dst[k] = color;
            } else {
                int k = i;
                for (; k + 8 <= j; k += 8) store8(dst + k, blend8Full(load8(dst + k), colors));
                if (k < j) blendTail(dst + k, j - k, colors, covers + k);
            }
            i = j;
            continue;
        }
        if (i + 8 > len) {
            blendTail(dst + i, len - i, colors, covers + i);
            break;
        }
        blendGroup(dst + i, colors, covers + i);
        i += 8;
    }
}

void blendGradientSpanWide(uint32_t* dst, int len, const GradientWalk& g, GradientShape shape,
                           SpreadMode mode, const uint8_t* covers) {
    if (shape == GradientShape::Linear)
        return gradientSpanAs<GradientShape::Linear>(dst, len, g, mode, covers);
    if (shape == GradientShape::Radial)
        return gradientSpanAs<GradientShape::Radial>(dst, len, g, mode, covers);
    gradientSpanAs<GradientShape::Focal>(dst, len, g, mode, covers);
}

namespace {

// Coverage of eight accumulated areas, as the four-lane sweep makes it.
template <bool EvenOdd, bool Antialias>
inline __m256i coverage8(__m256 s) {
    const __m256 one = _mm256_set1_ps(1.0f);
    __m256 a = _mm256_and_ps(s, _mm256_castsi256_ps(_mm256_set1_epi32(0x7FFFFFFF)));
    a = _mm256_min_ps(a, _mm256_set1_ps(1e9f));
    if (EvenOdd) {
        __m256 pairs = _mm256_cvtepi32_ps(_mm256_cvttps_epi32(_mm256_mul_ps(a, _mm256_set1_ps(0.5f))));
        a = _mm256_sub_ps(a, _mm256_add_ps(pairs, pairs));
        a = _mm256_min_ps(a, _mm256_sub_ps(_mm256_set1_ps(2.0f), a));
    }
    a = _mm256_max_ps(_mm256_min_ps(a, one), _mm256_setzero_ps());
    if (!Antialias)
        return _mm256_and_si256(_mm256_castps_si256(_mm256_cmp_ps(a, _mm256_set1_ps(0.5f), _CMP_GE_OQ)),
                                _mm256_set1_epi32(255));
    return _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(a, _mm256_set1_ps(255.0f)), _mm256_set1_ps(0.5f)));
}

// Blocks of eight cells in one register. The running sums are added in the
// order of the four-lane sweep, so that both give the same coverage.
struct WideBlock {
    static const bool kUsable = true;
    template <bool EvenOdd, bool Antialias>
    static void run(float* cells, uint8_t* out, float& s) {
        __m256 v = _mm256_loadu_ps(cells);
        _mm256_storeu_ps(cells, _mm256_setzero_ps());
        // Running sums within each half, then the sum so far on the first
        // half and the first half's total on the second.
        v = _mm256_add_ps(v, _mm256_castsi256_ps(_mm256_slli_si256(_mm256_castps_si256(v), 4)));
        v = _mm256_add_ps(v, _mm256_castsi256_ps(_mm256_slli_si256(_mm256_castps_si256(v), 8)));
        v = _mm256_add_ps(v, _mm256_setr_ps(s, s, s, s, 0, 0, 0, 0));
        const __m256 low = _mm256_permute2f128_ps(v, v, 0x08);  // zero, then the first half
        v = _mm256_add_ps(v, _mm256_shuffle_ps(low, low, 0xFF));
        s = _mm256_cvtss_f32(_mm256_permutevar8x32_ps(v, _mm256_set1_epi32(7)));
        const __m256i c = coverage8<EvenOdd, Antialias>(v);
        const __m128i c16 = _mm_packs_epi32(_mm256_castsi256_si128(c), _mm256_extracti128_si256(c, 1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(c16, c16));
    }
};

}  // namespace

void sweepWide(const SweepArea& area, FillRule rule, bool antialias, SpanSink& sink) {
    sweepByRule<WideBlock>(area, rule, antialias, sink);
}

#else

// Built without the wide instructions: never chosen, as wideSpans() is false.
void blendSolidSpanWide(uint32_t*, int, uint32_t, const uint8_t*) {}
void blendGradientSpanWide(uint32_t*, int, const GradientWalk&, GradientShape, SpreadMode, const uint8_t*) {}
void sweepWide(const SweepArea&, FillRule, bool, SpanSink&) {}

#endif

}  // namespace flash
