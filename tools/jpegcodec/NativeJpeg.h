// JPEG decoding and encoding with libjpeg, for native builds.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/core/ImageDecoder.h"

namespace flash {

class LibJpegDecoder : public ImageDecoder {
public:
    // JPEG only; images over kMaxBitmapPixels are refused before decoding.
    bool decode(const uint8_t* data, size_t size, DecodedImage& out) override;
    int calls = 0;  // decode requests seen (tests check that decoding is lazy and once)
};

// Encodes opaque 0x..RRGGBB pixels (rows top to bottom) as a baseline JPEG.
bool encodeJpeg(const std::vector<uint32_t>& rgb, int width, int height, int quality,
                std::vector<uint8_t>& out);

}  // namespace flash
