// Colours of a gradient along a row, four pixels at a time, handed to a
// callback as one register: the loop is made once per gradient kind and
// spread mode, so that nothing is decided per pixel, and the blender can
// take the colours without a trip through memory.
#pragma once

#include <cstdint>

#include "flash/core/Shape.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace flash {

// Positions at a row's first pixel centre and their steps to the next
// pixel: linear gradients in table units along x, the others in units of
// the radius.
struct GradientWalk {
    float fx, fy, dfx, dfy;
    float focal;
    const uint32_t* table;
};

enum class GradientShape { Linear, Radial, Focal };

#if defined(__SSE2__)

// Table indices of four gradient positions (in table units): the floor of
// each, padded, repeated or reflected by the spread mode.
template <SpreadMode Mode>
inline __m128i spreadIndex4(__m128 u) {
    if (Mode == SpreadMode::Pad) {
        u = _mm_min_ps(_mm_max_ps(u, _mm_setzero_ps()), _mm_set1_ps(255.0f));  // NaN -> 0
        return _mm_cvttps_epi32(u);
    }
    u = _mm_min_ps(_mm_max_ps(u, _mm_set1_ps(-1e9f)), _mm_set1_ps(1e9f));
    __m128i k = _mm_cvttps_epi32(u);
    // Truncation rounded negative fractions up: one less gives the floor.
    k = _mm_add_epi32(k, _mm_castps_si128(_mm_cmplt_ps(u, _mm_cvtepi32_ps(k))));
    if (Mode == SpreadMode::Repeat) return _mm_and_si128(k, _mm_set1_epi32(255));
    k = _mm_and_si128(k, _mm_set1_epi32(511));
    const __m128i back = _mm_cmpgt_epi32(k, _mm_set1_epi32(255));  // 256..511 run backwards
    return _mm_xor_si128(k, _mm_and_si128(back, _mm_set1_epi32(511)));
}

// Table positions of pixels i..i+3 (iv holds i..i+3 as floats). A focal
// gradient measures from its focal point F: t = |FP| / |FQ| with Q where
// the ray from F through P meets the unit circle.
template <GradientShape Shape>
inline __m128 gradientPosition(const GradientWalk& g, __m128 iv) {
    const __m128 u = _mm_add_ps(_mm_set1_ps(g.fx), _mm_mul_ps(_mm_set1_ps(g.dfx), iv));
    if (Shape == GradientShape::Linear) return u;
    const __m128 t256 = _mm_set1_ps(256.0f);
    const __m128 v = _mm_add_ps(_mm_set1_ps(g.fy), _mm_mul_ps(_mm_set1_ps(g.dfy), iv));
    if (Shape == GradientShape::Radial)
        return _mm_mul_ps(_mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(u, u), _mm_mul_ps(v, v))), t256);
    const float f = g.focal, c = f * f - 1.0f;
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
    return _mm_mul_ps(t, t256);
}

template <GradientShape Shape, SpreadMode Mode, class Put>
inline void walkGradientAs(const GradientWalk& g, int len, Put& put) {
    const uint32_t* table = g.table;
    __m128 iv = _mm_setr_ps(0, 1, 2, 3);
    alignas(16) int32_t idx[4];
    for (int i = 0; i < len; i += 4, iv = _mm_add_ps(iv, _mm_set1_ps(4.0f))) {
        _mm_store_si128(reinterpret_cast<__m128i*>(idx), spreadIndex4<Mode>(gradientPosition<Shape>(g, iv)));
        put(i, _mm_setr_epi32(static_cast<int>(table[idx[0]]), static_cast<int>(table[idx[1]]),
                              static_cast<int>(table[idx[2]]), static_cast<int>(table[idx[3]])));
    }
}

template <GradientShape Shape, class Put>
inline void walkGradientSpread(const GradientWalk& g, SpreadMode mode, int len, Put& put) {
    if (mode == SpreadMode::Pad) return walkGradientAs<Shape, SpreadMode::Pad>(g, len, put);
    if (mode == SpreadMode::Repeat) return walkGradientAs<Shape, SpreadMode::Repeat>(g, len, put);
    walkGradientAs<Shape, SpreadMode::Reflect>(g, len, put);
}

// Calls put(i, colours of pixels i..i+3) for i = 0, 4, 8, ... below len
// (the last group may run past len).
template <class Put>
inline void walkGradient(const GradientWalk& g, GradientShape shape, SpreadMode mode, int len, Put&& put) {
    if (shape == GradientShape::Linear) return walkGradientSpread<GradientShape::Linear>(g, mode, len, put);
    if (shape == GradientShape::Radial) return walkGradientSpread<GradientShape::Radial>(g, mode, len, put);
    walkGradientSpread<GradientShape::Focal>(g, mode, len, put);
}
#endif

}  // namespace flash
