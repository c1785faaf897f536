// A small writer of SWF movies, used by tests, fuzz seeds and benchmarks to
// build test movies in code instead of checking in opaque binaries.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfw {

using Bytes = std::vector<uint8_t>;

// Writes the bit fields of SWF records (most significant bit first) and the
// little-endian byte fields around them.
class BitWriter {
public:
    void ub(uint32_t value, int bits);    // unsigned bit field
    void sb(int32_t value, int bits);     // signed bit field (two's complement)
    void fb(double value, int bits);      // 16.16 fixed-point bit field
    void align();                         // pad to the next byte
    void u8(uint8_t v);
    void u16(uint16_t v);
    void u32(uint32_t v);
    void s16(int16_t v) { u16(static_cast<uint16_t>(v)); }
    void fixed8(double v);                // 8.8 fixed point
    void fixed16(double v);               // 16.16 fixed point
    void bytes(const Bytes& b);
    void str(const std::string& s);       // zero-terminated string
    const Bytes& data() { align(); return out_; }
    size_t size() const { return out_.size(); }

    // Smallest width that holds a signed / unsigned value.
    static int sbits(int32_t v);
    static int ubits(uint32_t v);

private:
    Bytes out_;
    int bitPos_ = 0;  // bits used of the last byte, 0 when aligned
};

struct Rect {
    int32_t xmin = 0, xmax = 0, ymin = 0, ymax = 0;  // twips
};

// RECT with the smallest NBits that holds every coordinate, or a forced width.
void writeRect(BitWriter& w, const Rect& r, int forcedBits = -1);

// A complete tag (short or long form chosen by length, or long form forced).
Bytes tag(uint16_t code, const Bytes& body, bool forceLong = false);

struct Movie {
    char signature = 'F';     // 'F' (FWS) or 'C' (CWS, zlib)
    uint8_t version = 6;
    Rect stage{0, 550 * 20, 0, 400 * 20};
    int rectBits = -1;        // forced NBits of the stage rectangle, -1 for minimal
    double frameRate = 12.0;  // written as 8.8 fixed point
    int frameCount = -1;      // -1: count the ShowFrame tags
    Bytes tags;               // the tag stream without the End tag
    bool endTag = true;

    void add(const Bytes& t) { tags.insert(tags.end(), t.begin(), t.end()); }
    void setBackground(uint8_t r, uint8_t g, uint8_t b);
    void showFrame();
    Bytes build() const;      // the whole file
};

// Compresses with zlib (used for CWS bodies and lossless bitmaps).
Bytes zlibCompress(const Bytes& raw);

bool writeFile(const std::string& path, const Bytes& data);

}  // namespace swfw
