// Helpers of the engine tests: building movies, rendering them and reading
// pixels back as straight colours.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/Player.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace fctest {

struct Image {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // premultiplied ARGB

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    int red(int x, int y) const { return (at(x, y) >> 16) & 0xFF; }
    int green(int x, int y) const { return (at(x, y) >> 8) & 0xFF; }
    int blue(int x, int y) const { return at(x, y) & 0xFF; }
};

inline Image render(flash::Player& p, int w, int h, flash::Quality q = flash::Quality::High) {
    Image img;
    img.width = w;
    img.height = h;
    img.pixels.assign(static_cast<size_t>(w) * h, 0);
    p.render(img.pixels.data(), w, h, w, p.viewMatrix(w, h), q);
    return img;
}

inline bool load(flash::Player& p, const swfw::Bytes& movie, bool autoStart = true) {
    return p.load(movie.data(), movie.size(), autoStart);
}

// A 100 x 100 pixel stage on white, ready for tags.
inline swfw::Movie stage100() {
    swfw::Movie m;
    m.stage = {0, 2000, 0, 2000};
    m.setBackground(255, 255, 255);
    return m;
}

// Peak signal-to-noise ratio over the colour channels (infinity if equal).
inline double psnr(const Image& a, const Image& b) {
    double se = 0;
    size_t n = 0;
    for (size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
        for (int s = 0; s < 24; s += 8) {
            double d = static_cast<double>((a.pixels[i] >> s) & 0xFF) -
                       static_cast<double>((b.pixels[i] >> s) & 0xFF);
            se += d * d;
            ++n;
        }
    }
    if (se == 0) return INFINITY;
    return 10 * std::log10(255.0 * 255.0 / (se / n));
}

// The body of a complete tag (short or long header).
inline flash::ByteReader tagBody(const swfw::Bytes& t) {
    size_t head = (t[0] & 0x3F) == 0x3F ? 6 : 2;
    return flash::ByteReader(t.data() + head, t.size() - head);
}

inline swfw::Place place(uint16_t depth, int character, swfw::Matrix m = swfw::Matrix()) {
    swfw::Place p;
    p.depth = depth;
    p.characterId = character;
    p.hasMatrix = true;
    p.matrix = m;
    return p;
}

}  // namespace fctest
