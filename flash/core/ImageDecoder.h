// The host decodes JPEG and PNG data for the engine (on Windows through the
// system's imaging services). Bitmap characters will use it; the engine
// never links an image library itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace flash {

struct DecodedImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // premultiplied 0xAARRGGBB, rows top to bottom
};

class ImageDecoder {
public:
    virtual ~ImageDecoder() = default;
    // Decodes a complete JPEG or PNG stream; false when it cannot.
    virtual bool decode(const uint8_t* data, size_t size, DecodedImage& out) = 0;
};

}  // namespace flash
