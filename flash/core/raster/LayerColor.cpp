#include "flash/core/raster/LayerColor.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace flash {

namespace {

// 2^24 / a rounded up: (p * 255 + a / 2) * k >> 24 is (p * 255 + a / 2) / a
// exactly for every p <= a, in 32 bits.
struct Reciprocals {
    uint32_t k[256];
    Reciprocals() {
        k[0] = 0;
        for (uint32_t a = 1; a < 256; ++a) k[a] = ((1u << 24) + a - 1) / a;
    }
};

inline int channel(int v, int mul, int add) {
    const int r = v * mul / 256 + add;
    return r < 0 ? 0 : (r > 255 ? 255 : r);
}

// (v * a + 127) / 255 for v, a <= 255, exactly.
inline uint32_t premultiplied(int v, int a) {
    const uint32_t x = static_cast<uint32_t>(v * a) + 128;
    return (x + (x >> 8)) >> 8;
}

// The same as premultiply(cx.apply(straight colour of p)).
uint32_t transformPixel(const ColorTransform& cx, uint32_t p) {
    static const Reciprocals inv;
    const uint32_t a = p >> 24;
    if (!a) return 0;
    auto straight = [&](int shift) {
        const uint32_t v = (p >> shift) & 0xFF;
        return static_cast<int>(a == 255 ? v : ((v * 255 + a / 2) * inv.k[a]) >> 24);
    };
    const int na = channel(static_cast<int>(a), cx.aMul, cx.aAdd);
    if (!na) return 0;
    const int r = channel(straight(16), cx.rMul, cx.rAdd), g = channel(straight(8), cx.gMul, cx.gAdd),
              b = channel(straight(0), cx.bMul, cx.bAdd);
    return static_cast<uint32_t>(na) << 24 | premultiplied(r, na) << 16 | premultiplied(g, na) << 8 |
           premultiplied(b, na);
}

#if defined(__SSE2__)
// transformPixel for four pixels in float lanes, one channel at a time.
// Every product is a whole number below 2^24 and every quotient is
// correctly rounded, so truncating gives the integer results exactly.
class FloatTransform {
public:
    explicit FloatTransform(const ColorTransform& cx) {
        const int16_t m[4] = {cx.rMul, cx.gMul, cx.bMul, cx.aMul},
                      a[4] = {cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd};
        for (int k = 0; k < 4; ++k) {
            mul_[k] = _mm_set1_ps(m[k] / 256.0f);
            add_[k] = _mm_set1_ps(a[k]);
        }
    }
    __m128i apply(__m128i p) const {
        const __m128i ai = _mm_srli_epi32(p, 24);
        const __m128 a = _mm_cvtepi32_ps(ai), halfA = _mm_cvtepi32_ps(_mm_srli_epi32(ai, 1));
        const __m128i byte = _mm_set1_epi32(255);
        auto straight = [&](int shift) {  // (v * 255 + a / 2) / a
            const __m128 v = _mm_cvtepi32_ps(_mm_and_si128(_mm_srli_epi32(p, shift), byte));
            return whole(_mm_div_ps(_mm_add_ps(_mm_mul_ps(v, _mm_set1_ps(255)), halfA), a));
        };
        const __m128 na = channel(a, 3);
        auto premultiplied = [&](__m128 v) {  // (v * na + 127) / 255
            return _mm_cvttps_epi32(
                _mm_div_ps(_mm_add_ps(_mm_mul_ps(v, na), _mm_set1_ps(127)), _mm_set1_ps(255)));
        };
        const __m128i r = premultiplied(channel(straight(16), 0)), g = premultiplied(channel(straight(8), 1)),
                      b = premultiplied(channel(straight(0), 2));
        const __m128i out =
            _mm_or_si128(_mm_or_si128(_mm_slli_epi32(_mm_cvttps_epi32(na), 24), _mm_slli_epi32(r, 16)),
                         _mm_or_si128(_mm_slli_epi32(g, 8), b));
        // Transparent pixels stay transparent.
        return _mm_andnot_si128(_mm_cmpeq_epi32(ai, _mm_setzero_si128()), out);
    }

private:
    static __m128 whole(__m128 v) { return _mm_cvtepi32_ps(_mm_cvttps_epi32(v)); }
    // trunc(c * mul / 256) + add, clamped to 0..255.
    __m128 channel(__m128 c, int k) const {
        const __m128 v = _mm_add_ps(whole(_mm_mul_ps(c, mul_[k])), add_[k]);
        return _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(255));
    }
    __m128 mul_[4], add_[4];
};
#endif

}  // namespace

void transformLayerSpan(const ColorTransform& cx, const uint32_t* src, uint32_t* dst, int len) {
    int i = 0;
#if defined(__SSE2__)
    // Opaque pixels have their stored colour as straight colour and all
    // take the same new alpha: 16-bit lanes do them, for transforms whose
    // colour multipliers are not negative (the usual tints and fades).
    const bool plainMul = cx.rMul >= 0 && cx.gMul >= 0 && cx.bMul >= 0;
    const int alphaOut = premultiply(cx.apply(Rgba{0, 0, 0, 255})) >> 24;
    const __m128i zero = _mm_setzero_si128(), opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    // Lanes in memory order B, G, R, A; alpha becomes 255 before the
    // premultiplication by alphaOut.
    const __m128i mul = _mm_setr_epi16(cx.bMul, cx.gMul, cx.rMul, 0, cx.bMul, cx.gMul, cx.rMul, 0);
    const __m128i add = _mm_setr_epi16(cx.bAdd, cx.gAdd, cx.rAdd, 255, cx.bAdd, cx.gAdd, cx.rAdd, 255);
    const __m128i top = _mm_set1_epi16(255), scale = _mm_set1_epi16(static_cast<short>(alphaOut)),
                  half = _mm_set1_epi16(128);
    auto channels = [&](__m128i v) {
        // floor(c * mul / 256) + add, clamped to 0..255.
        v = _mm_adds_epi16(_mm_mulhi_epu16(_mm_slli_epi16(v, 8), mul), add);
        v = _mm_min_epi16(_mm_max_epi16(v, zero), top);
        if (alphaOut == 255) return v;
        // (v * alphaOut + 127) / 255, exactly.
        v = _mm_add_epi16(_mm_mullo_epi16(v, scale), half);
        return _mm_srli_epi16(_mm_add_epi16(v, _mm_srli_epi16(v, 8)), 8);
    };
    const FloatTransform lanes(cx);
    for (; i + 4 <= len; i += 4) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i out;
        if (plainMul && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(p, opaque), opaque)) == 0xFFFF)
            out =
                _mm_packus_epi16(channels(_mm_unpacklo_epi8(p, zero)), channels(_mm_unpackhi_epi8(p, zero)));
        else if (_mm_movemask_epi8(_mm_cmpeq_epi32(p, zero)) == 0xFFFF)
            out = zero;
        else
            out = lanes.apply(p);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), out);
    }
#endif
    for (; i < len; ++i) dst[i] = transformPixel(cx, src[i]);
}

}  // namespace flash
