// A movie whose picture differs on every frame: a box moves across the
// 550 x 400 stage and a second one changes colour, so pictures of two frames
// tell which frame each shows.
#pragma once

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

Bytes movingMovie(int frames, double rate = 12);

}  // namespace swfw
