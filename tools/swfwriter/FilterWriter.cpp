#include "tools/swfwriter/FilterWriter.h"

#include <cstring>

namespace swfw {

namespace {

void rgba(BitWriter& w, const Rgba& c) {
    w.u8(c.r);
    w.u8(c.g);
    w.u8(c.b);
    w.u8(c.a);
}

void f32(BitWriter& w, float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    w.u32(u);
}

uint8_t flags(const FilterParams& f, bool bevel) {
    uint8_t b =
        static_cast<uint8_t>((f.inner ? 0x80 : 0) | (f.knockout ? 0x40 : 0) | (f.hideObject ? 0 : 0x20));
    if (bevel) return static_cast<uint8_t>(b | (f.onTop ? 0x10 : 0) | (f.passes & 0x0F));
    return static_cast<uint8_t>(b | (f.passes & 0x1F));
}

}  // namespace

Bytes filterList(const std::vector<FilterParams>& filters) {
    BitWriter w;
    w.u8(static_cast<uint8_t>(filters.size()));
    for (const FilterParams& f : filters) {
        w.u8(static_cast<uint8_t>(f.id));
        switch (f.id) {
            case 0:
            case 2:
                rgba(w, f.color);
                w.fixed16(f.blurX);
                w.fixed16(f.blurY);
                if (f.id == 0) {
                    w.fixed16(f.angle);
                    w.fixed16(f.distance);
                }
                w.fixed8(f.strength);
                w.u8(flags(f, false));
                break;
            case 1:
                w.fixed16(f.blurX);
                w.fixed16(f.blurY);
                w.u8(static_cast<uint8_t>(f.passes << 3));
                break;
            case 3:
            case 4:
            case 7:
                if (f.id == 3) {
                    rgba(w, f.color);
                    rgba(w, f.highlight);
                } else {
                    w.u8(static_cast<uint8_t>(f.colors.size()));
                    for (const Rgba& c : f.colors) rgba(w, c);
                    for (uint8_t r : f.ratios) w.u8(r);
                }
                w.fixed16(f.blurX);
                w.fixed16(f.blurY);
                w.fixed16(f.angle);
                w.fixed16(f.distance);
                w.fixed8(f.strength);
                w.u8(flags(f, true));
                break;
            case 5:
                w.u8(static_cast<uint8_t>(f.matrixX));
                w.u8(static_cast<uint8_t>(f.matrixY));
                f32(w, f.divisor);
                f32(w, f.bias);
                for (int i = 0; i < f.matrixX * f.matrixY; ++i)
                    f32(w, i < static_cast<int>(f.matrix.size()) ? f.matrix[i] : 0.0f);
                rgba(w, f.defaultColor);
                w.u8(static_cast<uint8_t>((f.clamp ? 0x02 : 0) | (f.preserveAlpha ? 0x01 : 0)));
                break;
            case 6:
                for (int i = 0; i < 20; ++i)
                    f32(w, i < static_cast<int>(f.matrix.size()) ? f.matrix[i] : 0.0f);
                break;
            default:
                break;
        }
    }
    return w.data();
}

}  // namespace swfw
