// Decodes the JPEG and PNG pictures of movies through the Windows Imaging
// Component, for the engine's bitmap characters.
#pragma once

#include "flash/core/ImageDecoder.h"

namespace kv {

class WicImageDecoder : public flash::ImageDecoder {
public:
    bool decode(const uint8_t* data, size_t size, flash::DecodedImage& out) override;

    // Pictures larger than this many pixels are refused (memory bound).
    static constexpr long long kMaxPixels = 32LL * 1024 * 1024;
};

}  // namespace kv
