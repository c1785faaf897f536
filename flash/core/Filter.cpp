#include "flash/core/Filter.h"

#include <algorithm>
#include <cmath>

namespace flash {

namespace {

const float kMaxBlur = 255;
const int kMaxPasses = 15;
const int kMaxKernel = 15;

float finite(float v, float lo, float hi) {
    if (!std::isfinite(v)) return 0;
    return std::max(lo, std::min(hi, v));
}

float fixed16(ByteReader& r) { return static_cast<float>(r.fixed16()); }

void readBlur(ByteReader& r, Filter& f) {
    f.blurX = finite(fixed16(r), 0, kMaxBlur);
    f.blurY = finite(fixed16(r), 0, kMaxBlur);
}

void readShadowFlags(ByteReader& r, Filter& f, bool bevel) {
    uint8_t flags = r.u8();
    f.inner = (flags & 0x80) != 0;
    f.knockout = (flags & 0x40) != 0;
    f.hideObject = (flags & 0x20) == 0;
    if (bevel) {
        f.onTop = (flags & 0x10) != 0;
        f.passes = flags & 0x0F;
    } else {
        f.passes = flags & 0x1F;
    }
    f.passes = std::max(1, std::min(kMaxPasses, f.passes));
}

// Blur, angle, distance, strength and flags: the tail of the bevels and
// gradient filters.
void readLitTail(ByteReader& r, Filter& f) {
    readBlur(r, f);
    f.angle = finite(fixed16(r), -1e4f, 1e4f);
    f.distance = finite(fixed16(r), -kMaxBlur, kMaxBlur);
    f.strength = finite(static_cast<float>(r.fixed8()), 0, 255);
    readShadowFlags(r, f, true);
}

bool readOne(ByteReader& r, Filter& f) {
    uint8_t id = r.u8();
    if (id > 7) return false;
    f.kind = static_cast<FilterKind>(id);
    switch (f.kind) {
        case FilterKind::DropShadow:
        case FilterKind::Glow:
            f.color = r.rgba();
            readBlur(r, f);
            if (f.kind == FilterKind::DropShadow) {
                f.angle = finite(fixed16(r), -1e4f, 1e4f);
                f.distance = finite(fixed16(r), -kMaxBlur, kMaxBlur);
            }
            f.strength = finite(static_cast<float>(r.fixed8()), 0, 255);
            readShadowFlags(r, f, false);
            break;
        case FilterKind::Blur: {
            readBlur(r, f);
            f.passes = std::max(1, std::min(kMaxPasses, r.u8() >> 3));
            break;
        }
        case FilterKind::Bevel:
            f.color = r.rgba();
            f.highlight = r.rgba();
            readLitTail(r, f);
            break;
        case FilterKind::GradientGlow:
        case FilterKind::GradientBevel: {
            int n = r.u8();
            for (int i = 0; i < n; ++i) f.colors.push_back(r.rgba());
            for (int i = 0; i < n; ++i) f.ratios.push_back(r.u8());
            if (f.colors.size() > 16) {
                f.colors.resize(16);
                f.ratios.resize(16);
            }
            readLitTail(r, f);
            break;
        }
        case FilterKind::Convolution: {
            int mx = r.u8(), my = r.u8();
            f.divisor = r.f32();
            f.bias = r.f32();
            std::vector<float> m(static_cast<size_t>(mx) * my);
            for (float& v : m) v = finite(r.f32(), -1e6f, 1e6f);
            f.defaultColor = r.rgba();
            uint8_t flags = r.u8();
            f.clamp = (flags & 0x02) != 0;
            f.preserveAlpha = (flags & 0x01) != 0;
            if (!std::isfinite(f.divisor) || f.divisor == 0) f.divisor = 1;
            f.bias = finite(f.bias, -1e6f, 1e6f);
            // A kernel larger than the player draws is cut to its centre part.
            f.matrixX = std::min(mx, kMaxKernel);
            f.matrixY = std::min(my, kMaxKernel);
            int ox = (mx - f.matrixX) / 2, oy = (my - f.matrixY) / 2;
            f.matrix.resize(static_cast<size_t>(f.matrixX) * f.matrixY);
            for (int y = 0; y < f.matrixY; ++y)
                for (int x = 0; x < f.matrixX; ++x)
                    f.matrix[static_cast<size_t>(y) * f.matrixX + x] =
                        m[static_cast<size_t>(y + oy) * mx + x + ox];
            break;
        }
        case FilterKind::ColorMatrix:
            for (float& v : f.colorMatrix) v = finite(r.f32(), -1e6f, 1e6f);
            break;
    }
    return !r.overflow();
}

}  // namespace

BlendMode blendModeFromByte(uint8_t v) {
    if (v < 1 || v > 14) return BlendMode::Normal;
    return static_cast<BlendMode>(v);
}

bool readFilterList(ByteReader& r, FilterList& out) {
    int n = r.u8();
    for (int i = 0; i < n; ++i) {
        Filter f;
        if (!readOne(r, f)) return false;
        out.push_back(std::move(f));
    }
    return !r.overflow();
}

// Half-width of one box pass in device pixels for a blur size.
int blurRadius(float blur, float scale) {
    float r = blur * scale * 0.5f;
    if (!(r >= 1)) return 0;
    return static_cast<int>(std::min(r, 512.0f));
}

void filterMargins(const FilterList& filters, float sx, float sy, int& left, int& top, int& right,
                   int& bottom) {
    left = top = right = bottom = 0;
    for (const Filter& f : filters) {
        if (f.kind == FilterKind::Convolution || f.kind == FilterKind::ColorMatrix) continue;
        int bx = blurRadius(f.blurX, sx) * f.passes, by = blurRadius(f.blurY, sy) * f.passes;
        float dx = std::cos(f.angle) * f.distance * sx, dy = std::sin(f.angle) * f.distance * sy;
        int ox = static_cast<int>(std::ceil(std::fabs(dx))), oy = static_cast<int>(std::ceil(std::fabs(dy)));
        bool both = f.kind == FilterKind::Bevel || f.kind == FilterKind::GradientBevel;
        // Each filter works on the output of the one before: margins add up.
        left += bx + ((both || dx < 0) ? ox : 0);
        right += bx + ((both || dx > 0) ? ox : 0);
        top += by + ((both || dy < 0) ? oy : 0);
        bottom += by + ((both || dy > 0) ? oy : 0);
    }
}

}  // namespace flash
