// Builders for the bitmap tags of test movies: DefineBitsLossless(2) in
// every pixel format, and the JPEG tags around JPEG data made elsewhere.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

// A picture as straight (not premultiplied) 0xAARRGGBB, rows top to bottom.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
};

enum class LosslessFormat { Palette = 3, Rgb15 = 4, Rgb32 = 5 };

struct LosslessOptions {
    bool withAlpha = false;        // DefineBitsLossless2
    bool straightPalette = false;  // Lossless2 palettes: write colours not premultiplied
    uint8_t padByte = 0;           // value of the row padding bytes
};

// DefineBitsLossless (20) or DefineBitsLossless2 (36). A palette picture
// may use at most 256 colours. Without alpha the picture's alpha is dropped.
Bytes defineBitsLossless(uint16_t id, const Picture& pic, LosslessFormat format,
                         const LosslessOptions& options = {});

Bytes jpegTables(const Bytes& tables);                       // JPEGTables (8)
Bytes defineBits(uint16_t id, const Bytes& imageData);       // DefineBits (6)
Bytes defineBitsJpeg2(uint16_t id, const Bytes& imageData);  // DefineBitsJPEG2 (21)
// DefineBitsJPEG3 (35): the alpha plane (one byte per pixel) is compressed here.
Bytes defineBitsJpeg3(uint16_t id, const Bytes& imageData, const std::vector<uint8_t>& alpha);

// Splits a complete JPEG stream into a tables-only stream (SOI, DQT and DHT
// segments, EOI) and an image stream without them, as JPEGTables and
// DefineBits store them. False when the stream has no tables.
bool splitJpeg(const Bytes& jpeg, Bytes& tables, Bytes& image);

}  // namespace swfw
