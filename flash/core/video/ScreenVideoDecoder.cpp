#include "flash/core/video/ScreenVideoDecoder.h"

#include <algorithm>

#include "flash/core/Bitmap.h"

namespace flash {

namespace {

struct Layout {
    int blockW = 0, blockH = 0, width = 0, height = 0, cols = 0, rows = 0;
};

bool readLayout(const uint8_t* data, size_t size, Layout& l) {
    if (size < 4) return false;
    l.blockW = ((data[0] >> 4) + 1) * 16;
    l.width = (data[0] & 0x0F) << 8 | data[1];
    l.blockH = ((data[2] >> 4) + 1) * 16;
    l.height = (data[2] & 0x0F) << 8 | data[3];
    if (l.width == 0 || l.height == 0) return false;
    l.cols = (l.width + l.blockW - 1) / l.blockW;
    l.rows = (l.height + l.blockH - 1) / l.blockH;
    return true;
}

}  // namespace

bool screenVideoIsKey(const uint8_t* data, size_t size) {
    Layout l;
    if (!readLayout(data, size, l)) return false;
    size_t pos = 4;
    for (int i = 0; i < l.cols * l.rows; ++i) {
        if (pos + 2 > size) return false;
        size_t n = size_t(data[pos]) << 8 | data[pos + 1];
        if (n == 0) return false;
        pos += 2 + n;
    }
    return pos <= size;
}

bool ScreenVideoDecoder::decode(const uint8_t* data, size_t size) {
    Layout l;
    if (!readLayout(data, size, l)) return false;
    if (l.width != width_ || l.height != height_) {
        width_ = l.width;
        height_ = l.height;
        pixels_.assign(static_cast<size_t>(width_) * height_, 0xFF000000u);
    }
    size_t pos = 4;
    // Block rows run from the bottom of the picture up, columns left to right.
    for (int row = 0; row < l.rows; ++row) {
        for (int col = 0; col < l.cols; ++col) {
            if (pos + 2 > size) return false;
            size_t n = size_t(data[pos]) << 8 | data[pos + 1];
            pos += 2;
            if (n == 0) continue;
            if (pos + n > size) return false;
            const int x0 = col * l.blockW, bw = std::min(l.blockW, width_ - x0);
            const int yBottom = height_ - row * l.blockH;  // exclusive
            const int bh = std::min(l.blockH, yBottom);
            if (!inflateExact(data + pos, n, static_cast<size_t>(bw) * bh * 3, block_)) return false;
            pos += n;
            for (int j = 0; j < bh; ++j) {
                const uint8_t* src = block_.data() + static_cast<size_t>(j) * bw * 3;
                uint32_t* dst = pixels_.data() + static_cast<size_t>(yBottom - 1 - j) * width_ + x0;
                for (int i = 0; i < bw; ++i)
                    dst[i] = 0xFF000000u | uint32_t(src[i * 3 + 2]) << 16 | uint32_t(src[i * 3 + 1]) << 8 |
                             src[i * 3];
            }
        }
    }
    return true;
}

}  // namespace flash
