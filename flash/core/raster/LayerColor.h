// The colour transform of an instance drawn through a layer: applied to the
// layer's finished (filtered) picture as it is composited, so that a
// recoloured instance can reuse the picture its filters made.
#pragma once

#include <cstdint>

#include "flash/core/Types.h"

namespace flash {

// dst[i] = the premultiplied src[i] with its straight colour transformed
// (c * mul / 256 + add, clamped); transparent pixels stay transparent.
// dst may equal src.
void transformLayerSpan(const ColorTransform& cx, const uint32_t* src, uint32_t* dst, int len);

}  // namespace flash
