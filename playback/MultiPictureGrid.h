// The layout of the multi-picture view: N x N cells (N the whole square root
// of the picture count) spaced 10 pixels apart over the screen, with 30
// pixels kept for the bottom bar, and the frame each cell shows, spread
// evenly over the movie by a whole-number step.
#pragma once

#include <vector>

namespace kv {

struct PictureCell {
    int left, top, width, height;
    int frame;
};

// pictures: 4, 9, 16, 25 or 36; cells in rows, left to right.
std::vector<PictureCell> MultiPictureGrid(int pictures, int screenWidth, int screenHeight, int totalFrames);

}  // namespace kv
