#include "flash/core/ByteReader.h"

#include <cstring>

namespace flash {

void ByteReader::seek(size_t p) {
    align();
    if (p > size_) {
        overflow_ = true;
        p = size_;
    }
    pos_ = p;
}

void ByteReader::skip(size_t n) {
    align();
    if (n > remaining()) {
        overflow_ = true;
        pos_ = size_;
    } else {
        pos_ += n;
    }
}

ByteReader ByteReader::sub(size_t n) {
    align();
    if (n > remaining()) {
        overflow_ = true;
        n = remaining();
    }
    ByteReader r(data_ + pos_, n);
    pos_ += n;
    return r;
}

uint8_t ByteReader::u8() {
    align();
    if (pos_ >= size_) {
        overflow_ = true;
        return 0;
    }
    return data_[pos_++];
}

uint16_t ByteReader::u16() {
    uint16_t lo = u8();
    return static_cast<uint16_t>(lo | (u8() << 8));
}

uint32_t ByteReader::u32() {
    uint32_t lo = u16();
    return lo | (static_cast<uint32_t>(u16()) << 16);
}

float ByteReader::f32() {
    uint32_t u = u32();
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

double ByteReader::f64Swapped() {
    uint64_t hi = u32();
    uint64_t lo = u32();
    uint64_t u = (hi << 32) | lo;
    double d;
    std::memcpy(&d, &u, 8);
    return d;
}

std::string ByteReader::str() {
    align();
    std::string s;
    while (pos_ < size_) {
        char c = static_cast<char>(data_[pos_++]);
        if (c == 0) return s;
        s.push_back(c);
    }
    overflow_ = true;
    return s;
}

uint32_t ByteReader::ub(int bits) {
    uint32_t v = 0;
    for (int i = 0; i < bits; ++i) {
        if (bitCount_ == 0) {
            if (pos_ >= size_) {
                overflow_ = true;
                bitBuf_ = 0;
            } else {
                bitBuf_ = data_[pos_++];
            }
            bitCount_ = 8;
        }
        --bitCount_;
        v = (v << 1) | ((bitBuf_ >> bitCount_) & 1u);
    }
    return v;
}

int32_t ByteReader::sb(int bits) {
    if (bits <= 0) return 0;
    if (bits > 32) bits = 32;
    uint32_t v = ub(bits);
    if (bits < 32 && (v & (1u << (bits - 1)))) v |= ~((1u << bits) - 1u);
    return static_cast<int32_t>(v);
}

Rect ByteReader::rect() {
    align();
    int n = static_cast<int>(ub(5));
    Rect r;
    r.xMin = sb(n);
    r.xMax = sb(n);
    r.yMin = sb(n);
    r.yMax = sb(n);
    align();
    return r;
}

Matrix ByteReader::matrix() {
    align();
    Matrix m;
    if (ub(1)) {
        int n = static_cast<int>(ub(5));
        m.a = fb(n);
        m.d = fb(n);
    }
    if (ub(1)) {
        int n = static_cast<int>(ub(5));
        m.b = fb(n);
        m.c = fb(n);
    }
    int n = static_cast<int>(ub(5));
    m.tx = sb(n);
    m.ty = sb(n);
    align();
    return m;
}

static int16_t clampTerm(int32_t v) {
    return static_cast<int16_t>(v < -32768 ? -32768 : (v > 32767 ? 32767 : v));
}

ColorTransform ByteReader::cxform(bool withAlpha) {
    align();
    ColorTransform cx;
    bool hasAdd = ub(1) != 0;
    bool hasMult = ub(1) != 0;
    int n = static_cast<int>(ub(4));
    if (hasMult) {
        cx.rMul = clampTerm(sb(n));
        cx.gMul = clampTerm(sb(n));
        cx.bMul = clampTerm(sb(n));
        if (withAlpha) cx.aMul = clampTerm(sb(n));
    }
    if (hasAdd) {
        cx.rAdd = clampTerm(sb(n));
        cx.gAdd = clampTerm(sb(n));
        cx.bAdd = clampTerm(sb(n));
        if (withAlpha) cx.aAdd = clampTerm(sb(n));
    }
    align();
    return cx;
}

Rgba ByteReader::rgb() {
    Rgba c;
    c.r = u8();
    c.g = u8();
    c.b = u8();
    return c;
}

Rgba ByteReader::rgba() {
    Rgba c = rgb();
    c.a = u8();
    return c;
}

}  // namespace flash
