// A movie whose first frame places a crowd of overlapping squares, one per
// depth, scattered over the 550 x 400 stage; the later frames move nothing.
// Its frames are as heavy to draw as a frame can be made with simple shapes.
#pragma once

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

// count: 1 to 65535 squares of side px pixels; frames >= 1.
Bytes crowdMovie(int count, int side = 100, int frames = 2, double rate = 12);

}  // namespace swfw
