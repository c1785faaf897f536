// Eight-pixel versions of the hottest blends, for processors with AVX2. They
// give exactly the pixels of the four-pixel versions: the same integer
// arithmetic per pixel and the same float steps per gradient position.
#pragma once

#include <cstdint>

#include "flash/core/Shape.h"
#include "flash/core/raster/GradientWalk.h"
#include "flash/core/raster/Rasterizer.h"

namespace flash {

// Whether the wide blends are used: the processor and the system support
// them and they are not switched off (tests compare both ways).
bool wideSpans();
void allowWideSpans(bool allowed);

// The same as blendSolidSpan.
void blendSolidSpanWide(uint32_t* dst, int len, uint32_t color, const uint8_t* covers);
// A gradient's colours along a span, blended by the covers over dst.
void blendGradientSpanWide(uint32_t* dst, int len, const GradientWalk& g, GradientShape shape,
                           SpreadMode mode, const uint8_t* covers);

struct SweepArea;
// The same as the sweep of a Rasterizer.
void sweepWide(const SweepArea& area, FillRule rule, bool antialias, SpanSink& sink);

}  // namespace flash
