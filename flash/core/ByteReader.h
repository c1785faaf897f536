// Bounded reader of SWF data: byte fields (little-endian) and bit fields
// (most significant bit first). Reading past the end yields zeros and sets
// the overflow flag; it never touches memory outside the range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "flash/core/Types.h"

namespace flash {

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t pos() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return pos_ < size_ ? size_ - pos_ : 0; }
    bool overflow() const { return overflow_; }
    const uint8_t* data() const { return data_; }
    const uint8_t* cursor() const { return data_ + (pos_ < size_ ? pos_ : size_); }
    void seek(size_t p);
    void skip(size_t n);
    // A reader over the next n bytes (clamped to what remains); advances past them.
    ByteReader sub(size_t n);

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    int16_t s16() { return static_cast<int16_t>(u16()); }
    int32_t s32() { return static_cast<int32_t>(u32()); }
    float f32();
    double f64Swapped();  // the AVM1 push double: high 32-bit half first
    double fixed8() { return s16() / 256.0; }
    double fixed16() { return s32() / 65536.0; }
    std::string str();  // up to the 0 byte (or the end)

    // Bit fields; byte fields realign automatically.
    uint32_t ub(int bits);
    int32_t sb(int bits);
    double fb(int bits) { return sb(bits) / 65536.0; }
    void align() { bitCount_ = 0; }

    Rect rect();
    Matrix matrix();
    ColorTransform cxform(bool withAlpha);
    Rgba rgb();
    Rgba rgba();

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
    size_t pos_ = 0;
    bool overflow_ = false;
    uint8_t bitBuf_ = 0;
    int bitCount_ = 0;  // unread bits left in bitBuf_
};

}  // namespace flash
