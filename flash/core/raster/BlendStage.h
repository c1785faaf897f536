// Composites an off-screen layer onto its target by one of the fourteen
// blend modes (premultiplied ARGB both sides), through an optional 8-bit
// mask of the target.
#pragma once

#include <cstdint>

#include "flash/core/Filter.h"

namespace flash {

// dst[i] = blend(src[i] scaled by mask[i], dst[i]) for i < len; mask may be null.
void blendLayerSpan(BlendMode mode, uint32_t* dst, const uint32_t* src, const uint8_t* mask, int len);

// One pixel (exposed for tests).
uint32_t blendPixel(BlendMode mode, uint32_t src, uint32_t dst);

}  // namespace flash
