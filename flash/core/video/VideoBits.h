// Most-significant-bit-first reader of video bitstreams. Reading past the
// end yields zero bits and sets the overflow flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace flash {

class VideoBits {
public:
    VideoBits(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    uint32_t peek(int n) const {  // n <= 24
        uint32_t v = 0;
        size_t byte = pos_ >> 3;
        for (int i = 0; i < 4; ++i) v = (v << 8) | (byte + i < size_ ? data_[byte + i] : 0);
        return (v << (pos_ & 7)) >> (32 - n);
    }
    void skip(int n) {
        pos_ += n;
        if (pos_ > size_ * 8) overflow_ = true;
    }
    uint32_t bits(int n) {
        if (n == 0) return 0;
        uint32_t v = peek(n);
        skip(n);
        return v;
    }
    bool bit() { return bits(1) != 0; }
    int32_t sbits(int n) {
        uint32_t v = bits(n);
        return static_cast<int32_t>(v << (32 - n)) >> (32 - n);
    }
    bool overflow() const { return overflow_; }
    size_t position() const { return pos_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool overflow_ = false;
};

// A prefix code looked up by its next `maxBits` bits.
class VlcTable {
public:
    struct Code {
        const char* bits;  // '0' and '1'; spaces are ignored
        int value;
    };
    VlcTable(const Code* codes, size_t count);
    // The value of the next code, or -1 when no code matches.
    int read(VideoBits& b) const {
        const Entry& e = table_[b.peek(maxBits_)];
        if (!e.length) return -1;
        b.skip(e.length);
        return e.value;
    }

private:
    struct Entry {
        int16_t value = 0;
        uint8_t length = 0;
    };
    int maxBits_ = 0;
    Entry* table_ = nullptr;
    size_t size_ = 0;

public:
    ~VlcTable() { delete[] table_; }
    VlcTable(const VlcTable&) = delete;
    VlcTable& operator=(const VlcTable&) = delete;
};

}  // namespace flash
