#include "tools/swfwriter/SwfWriter.h"

#include <zlib.h>

#include <cmath>
#include <cstdio>

namespace swfw {

void BitWriter::ub(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
        if (bitPos_ == 0) out_.push_back(0);
        if ((value >> i) & 1u) out_.back() |= static_cast<uint8_t>(0x80u >> bitPos_);
        bitPos_ = (bitPos_ + 1) & 7;
    }
}

void BitWriter::sb(int32_t value, int bits) {
    uint32_t mask = bits >= 32 ? 0xFFFFFFFFu : ((1u << bits) - 1u);
    ub(static_cast<uint32_t>(value) & mask, bits);
}

void BitWriter::fb(double value, int bits) { sb(static_cast<int32_t>(std::lround(value * 65536.0)), bits); }

void BitWriter::align() { bitPos_ = 0; }

void BitWriter::u8(uint8_t v) {
    align();
    out_.push_back(v);
}

void BitWriter::u16(uint16_t v) {
    u8(static_cast<uint8_t>(v & 0xFF));
    u8(static_cast<uint8_t>(v >> 8));
}

void BitWriter::u32(uint32_t v) {
    u16(static_cast<uint16_t>(v & 0xFFFF));
    u16(static_cast<uint16_t>(v >> 16));
}

void BitWriter::fixed8(double v) { u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 256.0)))); }

void BitWriter::fixed16(double v) { u32(static_cast<uint32_t>(static_cast<int32_t>(std::lround(v * 65536.0)))); }

void BitWriter::bytes(const Bytes& b) {
    align();
    out_.insert(out_.end(), b.begin(), b.end());
}

void BitWriter::str(const std::string& s) {
    align();
    out_.insert(out_.end(), s.begin(), s.end());
    out_.push_back(0);
}

int BitWriter::sbits(int32_t v) {
    uint32_t m = v < 0 ? ~static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    return ubits(m) + 1;
}

int BitWriter::ubits(uint32_t v) {
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

void writeRect(BitWriter& w, const Rect& r, int forcedBits) {
    int bits = forcedBits;
    if (bits < 0) {
        bits = 0;
        for (int32_t v : {r.xmin, r.xmax, r.ymin, r.ymax}) {
            int b = v == 0 ? 0 : BitWriter::sbits(v);
            if (b > bits) bits = b;
        }
    }
    w.align();
    w.ub(static_cast<uint32_t>(bits), 5);
    w.sb(r.xmin, bits);
    w.sb(r.xmax, bits);
    w.sb(r.ymin, bits);
    w.sb(r.ymax, bits);
    w.align();
}

Bytes tag(uint16_t code, const Bytes& body, bool forceLong) {
    BitWriter w;
    if (body.size() < 0x3F && !forceLong) {
        w.u16(static_cast<uint16_t>((code << 6) | body.size()));
    } else {
        w.u16(static_cast<uint16_t>((code << 6) | 0x3F));
        w.u32(static_cast<uint32_t>(body.size()));
    }
    w.bytes(body);
    return w.data();
}

void Movie::setBackground(uint8_t r, uint8_t g, uint8_t b) { add(tag(9, {r, g, b})); }

void Movie::showFrame() { add(tag(1, {})); }

static int countShowFrames(const Bytes& tags) {
    int n = 0;
    size_t p = 0;
    while (p + 2 <= tags.size()) {
        uint16_t h = static_cast<uint16_t>(tags[p] | (tags[p + 1] << 8));
        uint32_t len = h & 0x3F;
        p += 2;
        if (len == 0x3F) {
            if (p + 4 > tags.size()) break;
            len = tags[p] | (tags[p + 1] << 8) | (tags[p + 2] << 16) | (static_cast<uint32_t>(tags[p + 3]) << 24);
            p += 4;
        }
        if ((h >> 6) == 1) ++n;
        p += len;
    }
    return n;
}

Bytes Movie::build() const {
    BitWriter body;
    writeRect(body, stage, rectBits);
    body.fixed8(frameRate);
    int count = frameCount >= 0 ? frameCount : countShowFrames(tags);
    body.u16(static_cast<uint16_t>(count));
    body.bytes(tags);
    if (endTag) body.u16(0);
    Bytes rest = body.data();

    BitWriter out;
    out.u8(static_cast<uint8_t>(signature));
    out.u8('W');
    out.u8('S');
    out.u8(version);
    out.u32(static_cast<uint32_t>(8 + rest.size()));
    if (signature == 'C') {
        out.bytes(zlibCompress(rest));
    } else {
        out.bytes(rest);
    }
    return out.data();
}

Bytes zlibCompress(const Bytes& raw) {
    uLongf cap = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(cap);
    if (compress2(out.data(), &cap, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return {};
    out.resize(cap);
    return out;
}

bool writeFile(const std::string& path, const Bytes& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

}  // namespace swfw
