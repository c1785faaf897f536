// The peer of the rasterizer benchmark: draws the shapes of a player's
// current frame through cairo (fills with the same fill rule, gradients,
// strokes, anti-aliased, curves flattened to the same tolerance), so that
// our time can be set against a widely used rasterizer doing the same work.
#pragma once

#include <cstdint>

#include "flash/core/Player.h"

namespace cairopeer {

// Draws the frame into a premultiplied ARGB buffer of width x height (rows
// of `width` pixels) through the view the player would use.
void drawFrame(flash::Player& player, uint32_t* pixels, int width, int height);

}  // namespace cairopeer
