#include "flash/core/Types.h"

#include <algorithm>
#include <cmath>

namespace flash {

bool Matrix::invert(Matrix& out) const {
    double dt = det();
    if (!std::isfinite(dt) || std::fabs(dt) < 1e-12) return false;
    double ia = d / dt, ib = -b / dt, ic = -c / dt, id = a / dt;
    out = {ia, ib, ic, id, -(ia * tx + ic * ty), -(ib * tx + id * ty)};
    return true;
}

static uint8_t channel(int v, int mul, int add) {
    int r = v * mul / 256 + add;
    return static_cast<uint8_t>(std::min(255, std::max(0, r)));
}

Rgba ColorTransform::apply(const Rgba& c) const {
    return {channel(c.r, rMul, rAdd), channel(c.g, gMul, gAdd), channel(c.b, bMul, bAdd),
            channel(c.a, aMul, aAdd)};
}

static int16_t clamp16(long v) { return static_cast<int16_t>(std::min(32767L, std::max(-32768L, v))); }

ColorTransform ColorTransform::after(const ColorTransform& in) const {
    // outer(inner(c)) = (c*mi/256 + ai)*mo/256 + ao, composed without intermediate clamping.
    ColorTransform r;
    r.rMul = clamp16(static_cast<long>(in.rMul) * rMul / 256);
    r.gMul = clamp16(static_cast<long>(in.gMul) * gMul / 256);
    r.bMul = clamp16(static_cast<long>(in.bMul) * bMul / 256);
    r.aMul = clamp16(static_cast<long>(in.aMul) * aMul / 256);
    r.rAdd = clamp16(static_cast<long>(in.rAdd) * rMul / 256 + rAdd);
    r.gAdd = clamp16(static_cast<long>(in.gAdd) * gMul / 256 + gAdd);
    r.bAdd = clamp16(static_cast<long>(in.bAdd) * bMul / 256 + bAdd);
    r.aAdd = clamp16(static_cast<long>(in.aAdd) * aMul / 256 + aAdd);
    return r;
}

uint32_t premultiply(const Rgba& c) {
    auto m = [&](uint8_t v) { return static_cast<uint32_t>((v * c.a + 127) / 255); };
    return (static_cast<uint32_t>(c.a) << 24) | (m(c.r) << 16) | (m(c.g) << 8) | m(c.b);
}

}  // namespace flash
