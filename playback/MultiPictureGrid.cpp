#include "playback/MultiPictureGrid.h"

#include <cmath>

namespace kv {

std::vector<PictureCell> MultiPictureGrid(int pictures, int screenWidth, int screenHeight, int totalFrames) {
    std::vector<PictureCell> cells;
    if (pictures <= 0) return cells;
    int n = static_cast<int>(std::sqrt(static_cast<double>(pictures)) + 1e-9);
    if (n <= 0) return cells;
    int w = (screenWidth - 10 * (n + 1)) / n;
    int h = (screenHeight - 10 * (n + 1) - 30) / n;
    int step = totalFrames / pictures;
    int e = 0;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c, ++e) {
            int f = step * e;
            if (f > totalFrames) f = totalFrames;
            if (f < 0) f = 0;
            cells.push_back({c * (w + 10) + 10, r * (h + 10) + 10, w, h, f});
        }
    return cells;
}

}  // namespace kv
