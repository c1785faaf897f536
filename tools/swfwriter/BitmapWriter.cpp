#include "tools/swfwriter/BitmapWriter.h"

#include <algorithm>
#include <map>

namespace swfw {

namespace {

uint8_t premul(uint32_t c, uint32_t a) { return static_cast<uint8_t>((c * a + 127) / 255); }

}  // namespace

Bytes defineBitsLossless(uint16_t id, const Picture& pic, LosslessFormat format, const LosslessOptions& o) {
    BitWriter w;
    w.u16(id);
    w.u8(static_cast<uint8_t>(format));
    w.u16(static_cast<uint16_t>(pic.width));
    w.u16(static_cast<uint16_t>(pic.height));
    Bytes raw;
    auto channels = [&](uint32_t p, uint8_t out[4]) {  // A R G B as written
        uint32_t a = o.withAlpha ? p >> 24 : 255;
        uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        bool pm = o.withAlpha && !(format == LosslessFormat::Palette && o.straightPalette);
        out[0] = static_cast<uint8_t>(a);
        out[1] = pm ? premul(r, a) : static_cast<uint8_t>(r);
        out[2] = pm ? premul(g, a) : static_cast<uint8_t>(g);
        out[3] = pm ? premul(b, a) : static_cast<uint8_t>(b);
    };
    const int bpp = format == LosslessFormat::Palette ? 1 : format == LosslessFormat::Rgb15 ? 2 : 4;
    const size_t stride = (static_cast<size_t>(pic.width) * bpp + 3) & ~size_t(3);
    std::vector<uint8_t> rows(stride * pic.height, o.padByte);
    if (format == LosslessFormat::Palette) {
        std::map<uint32_t, uint8_t> index;
        std::vector<uint32_t> palette;
        for (uint32_t p : pic.argb) {
            if (!o.withAlpha) p |= 0xFF000000u;
            if (!index.count(p)) {
                index[p] = static_cast<uint8_t>(palette.size());
                palette.push_back(p);
            }
        }
        w.u8(static_cast<uint8_t>(palette.size() - 1));
        for (uint32_t p : palette) {
            uint8_t c[4];
            channels(p, c);
            raw.insert(raw.end(), {c[1], c[2], c[3]});
            if (o.withAlpha) raw.push_back(c[0]);
        }
        for (int y = 0; y < pic.height; ++y)
            for (int x = 0; x < pic.width; ++x) {
                uint32_t p = pic.argb[static_cast<size_t>(y) * pic.width + x];
                if (!o.withAlpha) p |= 0xFF000000u;
                rows[y * stride + x] = index[p];
            }
    } else {
        for (int y = 0; y < pic.height; ++y)
            for (int x = 0; x < pic.width; ++x) {
                uint8_t c[4];
                channels(pic.argb[static_cast<size_t>(y) * pic.width + x], c);
                uint8_t* d = &rows[y * stride + x * bpp];
                if (format == LosslessFormat::Rgb15) {
                    uint32_t v = (c[1] >> 3) << 10 | (c[2] >> 3) << 5 | (c[3] >> 3);
                    d[0] = static_cast<uint8_t>(v >> 8);
                    d[1] = static_cast<uint8_t>(v);
                } else {
                    d[0] = o.withAlpha ? c[0] : 0xFF;  // reserved byte of PIX24
                    d[1] = c[1];
                    d[2] = c[2];
                    d[3] = c[3];
                }
            }
    }
    raw.insert(raw.end(), rows.begin(), rows.end());
    w.bytes(zlibCompress(raw));
    return tag(o.withAlpha ? 36 : 20, w.data(), true);
}

Bytes jpegTables(const Bytes& tables) { return tag(8, tables, true); }

Bytes defineBits(uint16_t id, const Bytes& imageData) {
    BitWriter w;
    w.u16(id);
    w.bytes(imageData);
    return tag(6, w.data(), true);
}

Bytes defineBitsJpeg2(uint16_t id, const Bytes& imageData) {
    BitWriter w;
    w.u16(id);
    w.bytes(imageData);
    return tag(21, w.data(), true);
}

Bytes defineBitsJpeg3(uint16_t id, const Bytes& imageData, const std::vector<uint8_t>& alpha) {
    BitWriter w;
    w.u16(id);
    w.u32(static_cast<uint32_t>(imageData.size()));
    w.bytes(imageData);
    w.bytes(zlibCompress(alpha));
    return tag(35, w.data(), true);
}

bool splitJpeg(const Bytes& jpeg, Bytes& tables, Bytes& image) {
    tables = {0xFF, 0xD8};
    image = {0xFF, 0xD8};
    size_t pos = 2;
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8) return false;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
        uint8_t m = jpeg[pos + 1];
        if (m == 0xDA) break;
        size_t len = static_cast<size_t>(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
        Bytes& to = (m == 0xDB || m == 0xC4) ? tables : image;
        to.insert(to.end(), jpeg.begin() + pos, jpeg.begin() + std::min(jpeg.size(), pos + 2 + len));
        pos += 2 + len;
    }
    image.insert(image.end(), jpeg.begin() + std::min(pos, jpeg.size()), jpeg.end());
    tables.insert(tables.end(), {0xFF, 0xD9});
    return tables.size() > 4;
}

}  // namespace swfw
