#include "tools/swfrender/PngWriter.h"

#include <zlib.h>

#include <cstdio>

namespace swfrender {

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32(out, static_cast<uint32_t>(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0, out.data() + start, static_cast<uInt>(out.size() - start));
    put32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> encodePng(const uint32_t* pixels, int width, int height) {
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (width * 4 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * width + x];
            uint32_t a = p >> 24;
            auto un = [a](uint32_t c) { return static_cast<uint8_t>(a ? (c * 255 + a / 2) / a : 0); };
            raw.push_back(un((p >> 16) & 0xFF));
            raw.push_back(un((p >> 8) & 0xFF));
            raw.push_back(un(p & 0xFF));
            raw.push_back(static_cast<uint8_t>(a));
        }
    }
    uLongf cap = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> z(cap);
    if (compress2(z.data(), &cap, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return {};
    z.resize(cap);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> ihdr;
    put32(ihdr, static_cast<uint32_t>(width));
    put32(ihdr, static_cast<uint32_t>(height));
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter set, no interlace
    chunk(out, "IHDR", ihdr);
    chunk(out, "IDAT", z);
    chunk(out, "IEND", {});
    return out;
}

bool writePng(const std::string& path, const uint32_t* pixels, int width, int height) {
    std::vector<uint8_t> png = encodePng(pixels, width, height);
    if (png.empty()) return false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return (std::fclose(f) == 0) && ok;
}

}  // namespace swfrender
