// Bitmap characters: the lossless tags are decoded while the movie loads;
// JPEG data is kept (with its tables spliced in and its quirks repaired)
// and handed to the host's ImageDecoder the first time a fill needs it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/ImageDecoder.h"

namespace flash {

// No bitmap may have more pixels than this (64 MB of pixels).
const size_t kMaxBitmapPixels = size_t(1) << 24;

class BitmapData {
public:
    int width() const { return width_; }
    int height() const { return height_; }
    // Premultiplied 0xAARRGGBB, rows top to bottom; empty until decoded.
    const std::vector<uint32_t>& pixels() const { return pixels_; }
    bool ready() const { return !pixels_.empty(); }
    // Decodes pending JPEG data once (later calls return the first result).
    bool decode(ImageDecoder* decoder) const;

    // For the parser.
    void setPixels(int w, int h, std::vector<uint32_t> px);
    // Exchanges the pixels with px (video pictures reuse their buffers).
    void swapPixels(int w, int h, std::vector<uint32_t>& px) {
        width_ = w;
        height_ = h;
        pixels_.swap(px);
        tried_ = true;
    }
    void setEncoded(std::vector<uint8_t> image, std::vector<uint8_t> zlibAlpha);

private:
    mutable int width_ = 0, height_ = 0;
    mutable std::vector<uint32_t> pixels_;
    mutable std::vector<uint8_t> encoded_, zlibAlpha_;
    mutable bool tried_ = false;
};

// Parsers of the bitmap tags; the reader covers the tag body. `budget` is
// the number of pixels the movie may still decode; it shrinks by what is
// used. Null: the tag cannot form a bitmap (it is then skipped).
std::unique_ptr<BitmapData> parseDefineBitsLossless(ByteReader& r, bool withAlpha, uint16_t& id,
                                                    size_t& budget);
// DefineBits (6) with the movie's JPEGTables, DefineBitsJPEG2 (21), DefineBitsJPEG3 (35).
std::unique_ptr<BitmapData> parseDefineBitsJpeg(ByteReader& r, int tagCode,
                                                const std::vector<uint8_t>& tables, uint16_t& id);

// Repairs a JPEG stream before decoding: skips a leading EOI+SOI pair and
// drops every further SOI/EOI marker before the scan, so that a tables
// block and an image block joined together decode as one image.
std::vector<uint8_t> repairJpeg(const uint8_t* data, size_t size);

// Inflates exactly `want` bytes of a zlib stream; false when it is shorter.
bool inflateExact(const uint8_t* data, size_t size, size_t want, std::vector<uint8_t>& out);

}  // namespace flash
