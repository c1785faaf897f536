// Decoder of screen video version 1 (DefineVideoStream codec 3): a grid of
// blocks, each either unchanged or a zlib stream of BGR rows, bottom up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace flash {

// Whether a frame carries every block (a key frame); false on bad data.
bool screenVideoIsKey(const uint8_t* data, size_t size);

class ScreenVideoDecoder {
public:
    // Decodes one frame onto the previous picture. A frame of another size
    // starts a new (black) picture. False on damaged data; blocks read
    // before the damage stay.
    bool decode(const uint8_t* data, size_t size);
    int width() const { return width_; }
    int height() const { return height_; }
    // Opaque 0xFFRRGGBB, rows top to bottom.
    const std::vector<uint32_t>& pixels() const { return pixels_; }

private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
    std::vector<uint8_t> block_;
};

}  // namespace flash
