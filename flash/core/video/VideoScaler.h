// Draws a video picture that is only scaled and moved (no rotation, no
// mirroring) and whose edges fall on whole pixels straight onto the
// target, row by row: each source row pair is blended down once per target
// row and then across, with the same sampling arithmetic as a bitmap fill,
// so the pixels equal those of the general path.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/core/Bitmap.h"
#include "flash/core/Types.h"
#include "flash/core/raster/Canvas.h"

namespace flash {

class VideoScaler {
public:
    // bitmapToDevice maps picture pixels to target pixels. False when the
    // picture cannot be drawn this way (the caller then fills a shape).
    bool draw(Canvas& target, const BitmapData& picture, const Matrix& bitmapToDevice, bool smooth,
              const ColorTransform& cx);

private:
    void blendDown(const uint32_t* top, const uint32_t* bottom, int tv, int width);
    void across(int count, uint32_t* out) const;

    std::vector<uint16_t> column_;  // one row blended down: 4 channels per pixel, one pixel padding each side
    std::vector<int> index_;        // per target pixel: the left texel
    std::vector<uint16_t> weights_;  // per target pixel: 256 - tu and tu, four times each
    std::vector<uint32_t> row_;
};

}  // namespace flash
