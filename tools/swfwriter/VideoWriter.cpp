#include "tools/swfwriter/VideoWriter.h"

#include <algorithm>

namespace swfw {

Bytes defineVideoStream(uint16_t id, uint16_t frames, uint16_t width, uint16_t height, int codec,
                        bool smoothing, int deblocking) {
    BitWriter w;
    w.u16(id);
    w.u16(frames);
    w.u16(width);
    w.u16(height);
    w.u8(static_cast<uint8_t>((deblocking & 7) << 1 | (smoothing ? 1 : 0)));
    w.u8(static_cast<uint8_t>(codec));
    return tag(60, w.data());
}

Bytes videoFrame(uint16_t streamId, uint16_t frameNum, const Bytes& data) {
    BitWriter w;
    w.u16(streamId);
    w.u16(frameNum);
    w.bytes(data);
    return tag(61, w.data(), true);
}

Bytes screenVideoFrame(const std::vector<uint32_t>& rgb, int width, int height, int block,
                       const std::vector<uint32_t>* previous) {
    Bytes out;
    int code = block / 16 - 1;
    out.push_back(static_cast<uint8_t>(code << 4 | (width >> 8)));
    out.push_back(static_cast<uint8_t>(width & 0xFF));
    out.push_back(static_cast<uint8_t>(code << 4 | (height >> 8)));
    out.push_back(static_cast<uint8_t>(height & 0xFF));
    const int cols = (width + block - 1) / block, rows = (height + block - 1) / block;
    for (int row = 0; row < rows; ++row)
        for (int col = 0; col < cols; ++col) {
            const int x0 = col * block, bottom = height - row * block;
            const int bw = std::min(block, width - x0), bh = std::min(block, bottom);
            bool same = previous != nullptr;
            Bytes raw;
            for (int j = 0; j < bh; ++j)
                for (int i = 0; i < bw; ++i) {
                    size_t at = static_cast<size_t>(bottom - 1 - j) * width + x0 + i;
                    uint32_t p = rgb[at];
                    if (same && (*previous)[at] != p) same = false;
                    raw.push_back(static_cast<uint8_t>(p));
                    raw.push_back(static_cast<uint8_t>(p >> 8));
                    raw.push_back(static_cast<uint8_t>(p >> 16));
                }
            if (same) {
                out.push_back(0);
                out.push_back(0);
                continue;
            }
            Bytes z = zlibCompress(raw);
            out.push_back(static_cast<uint8_t>(z.size() >> 8));
            out.push_back(static_cast<uint8_t>(z.size() & 0xFF));
            out.insert(out.end(), z.begin(), z.end());
        }
    return out;
}

}  // namespace swfw
