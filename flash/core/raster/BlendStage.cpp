#include "flash/core/raster/BlendStage.h"

#include <algorithm>

#include "flash/core/raster/Canvas.h"

namespace flash {

namespace {

inline int div255(int v) { return (v + 128 + ((v + 128) >> 8)) >> 8; }
inline int clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

inline int channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 255); }

// Separable modes: Cs(1-ad) + Cd(1-as) + B(Cs·as, Cd·ad) in premultiplied form.
template <typename F>
uint32_t separable(uint32_t src, uint32_t dst, F mix) {
    const int sa = channel(src, 24), da = channel(dst, 24);
    const int a = sa + da - div255(sa * da);
    uint32_t out = static_cast<uint32_t>(a) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        int s = channel(src, shift), d = channel(dst, shift);
        int v = div255(s * (255 - da)) + div255(d * (255 - sa)) + mix(s, d, sa, da);
        out |= static_cast<uint32_t>(std::min(a, clamp255(v))) << shift;
    }
    return out;
}

// The hard light term for premultiplied s (the light) over d.
inline int hardLight(int s, int d, int sa, int da) {
    if (2 * s <= sa) return div255(2 * s * d);
    return div255(sa * da) - div255(2 * (da - d) * (sa - s));
}

uint32_t over(uint32_t src, uint32_t dst) { return src + mulPixel(dst, 255 - (src >> 24)); }

}  // namespace

uint32_t blendPixel(BlendMode mode, uint32_t src, uint32_t dst) {
    switch (mode) {
        case BlendMode::Normal:
        case BlendMode::Layer:
            return over(src, dst);
        case BlendMode::Multiply:
            return separable(src, dst, [](int s, int d, int, int) { return div255(s * d); });
        case BlendMode::Screen:
            return separable(src, dst, [](int s, int d, int sa, int da) {
                return div255(s * da) + div255(d * sa) - div255(s * d);
            });
        case BlendMode::Lighten:
            return separable(src, dst, [](int s, int d, int sa, int da) {
                return std::max(div255(s * da), div255(d * sa));
            });
        case BlendMode::Darken:
            return separable(src, dst, [](int s, int d, int sa, int da) {
                return std::min(div255(s * da), div255(d * sa));
            });
        case BlendMode::Difference:
            return separable(src, dst, [](int s, int d, int sa, int da) {
                int x = div255(s * da), y = div255(d * sa);
                return x > y ? x - y : y - x;
            });
        case BlendMode::Overlay:
            return separable(src, dst, [](int s, int d, int sa, int da) { return hardLight(d, s, da, sa); });
        case BlendMode::HardLight:
            return separable(src, dst, [](int s, int d, int sa, int da) { return hardLight(s, d, sa, da); });
        case BlendMode::Add:
        case BlendMode::Subtract: {
            const int sa = channel(src, 24), da = channel(dst, 24);
            const int a = sa + da - div255(sa * da);
            uint32_t out = static_cast<uint32_t>(a) << 24;
            for (int shift = 0; shift < 24; shift += 8) {
                int s = channel(src, shift), d = channel(dst, shift);
                int v = mode == BlendMode::Add ? std::min(a, s + d) : std::max(0, d - s);
                out |= static_cast<uint32_t>(v) << shift;
            }
            return out;
        }
        case BlendMode::Invert: {
            const int sa = channel(src, 24), da = channel(dst, 24);
            uint32_t out = static_cast<uint32_t>(da) << 24;
            for (int shift = 0; shift < 24; shift += 8) {
                int d = channel(dst, shift);
                out |= static_cast<uint32_t>(div255((da - d) * sa) + div255(d * (255 - sa))) << shift;
            }
            return out;
        }
        case BlendMode::Alpha:
            return mulPixel(dst, src >> 24);
        case BlendMode::Erase:
            return mulPixel(dst, 255 - (src >> 24));
    }
    return over(src, dst);
}

void blendLayerSpan(BlendMode mode, uint32_t* dst, const uint32_t* src, const uint8_t* mask, int len) {
    if (mode == BlendMode::Normal || mode == BlendMode::Layer) {
        if (!mask) {
            // The common case: plain source-over, done by the span blender.
            static const uint8_t kFull[64] = {255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                              255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                              255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                              255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255,
                                              255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
            // Layers are often opaque inside (blurred backgrounds, video).
            for (int i = 0; i < len; i += 64)
                blendColorSpan(dst + i, std::min(64, len - i), src + i, kFull, true);
        } else {
            blendColorSpan(dst, len, src, mask);
        }
        return;
    }
    for (int i = 0; i < len; ++i) {
        uint32_t s = src[i];
        if (mask) {
            if (!mask[i]) continue;
            if (mask[i] != 255) s = mulPixel(s, mask[i]);
        }
        // A transparent source leaves every mode's result as it was.
        if (!s) continue;
        dst[i] = blendPixel(mode, s, dst[i]);
    }
}

}  // namespace flash
