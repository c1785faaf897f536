// Builders for the file-level variants the header reader and the projector
// routines meet: movies with a given stage, rate, count and background, fake
// stub programs, and projectors (stub + movie + trailer).
#pragma once

#include <cstddef>
#include <cstdint>

#include "tools/swfwriter/SwfWriter.h"

namespace swfw {

struct HeaderSpec {
    char signature = 'F';  // 'F' plain, 'C' zlib
    uint8_t version = 6;
    Rect stage{0, 550 * 20, 0, 400 * 20};
    int rectBits = -1;  // forced NBits, -1 for the smallest
    double frameRate = 12.0;
    int frameCount = 1;
    uint8_t red = 0xFF, green = 0xFF, blue = 0xFF;
    size_t padding = 0;  // bytes of an extra tag after the first frame (larger movies)
};

// A movie whose first tag is the background colour, then one frame.
inline Bytes headerMovie(const HeaderSpec& header) {
    Movie m;
    m.signature = header.signature;
    m.version = header.version;
    m.stage = header.stage;
    m.rectBits = header.rectBits;
    m.frameRate = header.frameRate;
    m.frameCount = header.frameCount;
    m.setBackground(header.red, header.green, header.blue);
    m.showFrame();
    if (header.padding > 0) {
        Bytes body(header.padding);
        for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<uint8_t>(i * 131 + 7);
        m.add(tag(77, body, true));  // Metadata: skipped by players
    }
    return m.build();
}

// Stand-in for a stub program: "MZ" and a recognisable byte pattern.
inline Bytes fakeStub(size_t size, uint8_t seed = 1) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) b[i] = static_cast<uint8_t>((i * 7 + seed) & 0xFF);
    if (size >= 2) {
        b[0] = 'M';
        b[1] = 'Z';
    }
    return b;
}

inline void appendLe32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// stub + movie + magic 0xFA123456 + movie length, both little-endian.
inline Bytes projector(const Bytes& stub, const Bytes& movie) {
    Bytes b = stub;
    b.insert(b.end(), movie.begin(), movie.end());
    appendLe32(b, 0xFA123456u);
    appendLe32(b, static_cast<uint32_t>(movie.size()));
    return b;
}

}  // namespace swfw
