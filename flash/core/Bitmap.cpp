#include "flash/core/Bitmap.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <mutex>

namespace flash {

namespace {

inline uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return a << 24 | r << 16 | g << 8 | b;
}

// A straight colour premultiplied by its alpha.
inline uint32_t premul(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    if (a == 255) return argb(a, r, g, b);
    return argb(a, (r * a + 127) / 255, (g * a + 127) / 255, (b * a + 127) / 255);
}

// Premultiplied data whose colour channels exceed alpha cannot be right;
// clamping keeps the blender's sums in range.
inline uint32_t clampPremul(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return argb(a, std::min(r, a), std::min(g, a), std::min(b, a));
}

bool isJpeg(const std::vector<uint8_t>& d) {
    return d.size() >= 2 && ((d[0] == 0xFF && d[1] == 0xD8) || (d[0] == 0xFF && d[1] == 0xD9));
}

}  // namespace

bool inflateExact(const uint8_t* data, size_t size, size_t want, std::vector<uint8_t>& out) {
    out.assign(want, 0);
    if (want == 0) return true;
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = const_cast<Bytef*>(data);
    zs.avail_in = static_cast<uInt>(std::min<size_t>(size, 0x7FFFFFFF));
    zs.next_out = out.data();
    zs.avail_out = static_cast<uInt>(want);
    int rc = inflate(&zs, Z_FINISH);
    size_t got = want - zs.avail_out;
    inflateEnd(&zs);
    (void)rc;  // trailing data after the pixels does not matter
    return got == want;
}

void BitmapData::setPixels(int w, int h, std::vector<uint32_t> px) {
    width_ = w;
    height_ = h;
    pixels_ = std::move(px);
    tried_ = true;
}

void BitmapData::setEncoded(std::vector<uint8_t> image, std::vector<uint8_t> zlibAlpha) {
    encoded_ = std::move(image);
    zlibAlpha_ = std::move(zlibAlpha);
    tried_ = false;
}

bool BitmapData::decode(ImageDecoder* decoder) const {
    // Renderers of different bands of a frame may ask at the same time.
    static std::mutex decoding;
    std::lock_guard<std::mutex> lock(decoding);
    if (tried_) return ready();
    if (!decoder) return false;  // a decoder may be set later
    tried_ = true;
    DecodedImage img;
    bool ok = decoder->decode(encoded_.data(), encoded_.size(), img) && img.width > 0 && img.height > 0 &&
              static_cast<size_t>(img.width) * static_cast<size_t>(img.height) <= kMaxBitmapPixels &&
              img.pixels.size() == static_cast<size_t>(img.width) * static_cast<size_t>(img.height);
    bool jpeg = isJpeg(encoded_);
    encoded_ = std::vector<uint8_t>();
    if (!ok) {
        zlibAlpha_ = std::vector<uint8_t>();
        return false;
    }
    const size_t n = img.pixels.size();
    // The alpha plane belongs to JPEG data only (PNG and GIF carry their own).
    std::vector<uint8_t> alpha;
    if (jpeg && !zlibAlpha_.empty() && inflateExact(zlibAlpha_.data(), zlibAlpha_.size(), n, alpha)) {
        for (size_t i = 0; i < n; ++i) {
            uint32_t p = img.pixels[i];
            // Decoded JPEG pixels are opaque; the colours are straight.
            img.pixels[i] = premul(alpha[i], (p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
        }
    }
    zlibAlpha_ = std::vector<uint8_t>();
    width_ = img.width;
    height_ = img.height;
    pixels_ = std::move(img.pixels);
    return true;
}

std::unique_ptr<BitmapData> parseDefineBitsLossless(ByteReader& r, bool withAlpha, uint16_t& id,
                                                    size_t& budget) {
    id = r.u16();
    int format = r.u8();
    int w = r.u16(), h = r.u16();
    int colors = format == 3 ? r.u8() + 1 : 0;
    if (r.overflow() || w == 0 || h == 0) return nullptr;
    const size_t count = static_cast<size_t>(w) * h;
    if (count > kMaxBitmapPixels || count > budget) return nullptr;
    size_t bpp, paletteBytes = 0;
    switch (format) {
        case 3:
            bpp = 1;
            paletteBytes = static_cast<size_t>(colors) * (withAlpha ? 4 : 3);
            break;
        case 4:
            if (withAlpha) return nullptr;
            bpp = 2;
            break;
        case 5:
            bpp = 4;
            break;
        default:
            return nullptr;
    }
    const size_t stride = (w * bpp + 3) & ~size_t(3);
    std::vector<uint8_t> raw;
    if (!inflateExact(r.cursor(), r.remaining(), paletteBytes + stride * h, raw)) return nullptr;
    std::vector<uint32_t> px(count);
    const uint8_t* rows = raw.data() + paletteBytes;
    if (format == 3) {
        uint32_t palette[256] = {};
        for (int i = 0; i < colors; ++i) {
            const uint8_t* c = raw.data() + i * (withAlpha ? 4 : 3);
            palette[i] = withAlpha ? 0 : argb(255, c[0], c[1], c[2]);
        }
        if (withAlpha) {
            // Palettes are written either way; a channel above its alpha
            // shows a straight palette, which is premultiplied here.
            bool straight = false;
            for (int i = 0; i < colors; ++i) {
                const uint8_t* c = raw.data() + i * 4;
                straight = straight || c[0] > c[3] || c[1] > c[3] || c[2] > c[3];
            }
            for (int i = 0; i < colors; ++i) {
                const uint8_t* c = raw.data() + i * 4;
                palette[i] = straight ? premul(c[3], c[0], c[1], c[2]) : clampPremul(c[3], c[0], c[1], c[2]);
            }
        }
        // Indices past the palette show as transparent (zero entries).
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) px[static_cast<size_t>(y) * w + x] = palette[rows[y * stride + x]];
    } else if (format == 4) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = rows + y * stride + x * 2;
                uint32_t v = static_cast<uint32_t>(p[0]) << 8 | p[1];
                uint32_t r5 = (v >> 10) & 31, g5 = (v >> 5) & 31, b5 = v & 31;
                px[static_cast<size_t>(y) * w + x] =
                    argb(255, (r5 << 3) | (r5 >> 2), (g5 << 3) | (g5 >> 2), (b5 << 3) | (b5 >> 2));
            }
    } else {
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* p = rows + i * 4;
            px[i] = withAlpha ? clampPremul(p[0], p[1], p[2], p[3]) : argb(255, p[1], p[2], p[3]);
        }
    }
    budget -= count;
    auto bmp = std::make_unique<BitmapData>();
    bmp->setPixels(w, h, std::move(px));
    return bmp;
}

std::vector<uint8_t> repairJpeg(const uint8_t* d, size_t n) {
    std::vector<uint8_t> out;
    size_t pos = 0;
    if (n >= 4 && d[0] == 0xFF && d[1] == 0xD9 && d[2] == 0xFF && d[3] == 0xD8) pos = 2;
    if (n < pos + 2 || d[pos] != 0xFF || d[pos + 1] != 0xD8) return std::vector<uint8_t>(d, d + n);
    out.reserve(n);
    out.push_back(0xFF);
    out.push_back(0xD8);
    pos += 2;
    while (pos + 1 < n) {
        if (d[pos] != 0xFF) break;  // not a marker: keep the rest as it is
        uint8_t m = d[pos + 1];
        if (m == 0xFF) {
            ++pos;  // fill byte
            continue;
        }
        if (m == 0xD8 || m == 0xD9) {
            pos += 2;
            continue;
        }
        if (m == 0xDA) break;  // the scan: copied untouched below
        if (pos + 4 > n) break;
        size_t len = static_cast<size_t>(d[pos + 2]) << 8 | d[pos + 3];
        if (len < 2 || pos + 2 + len > n) break;
        out.insert(out.end(), d + pos, d + pos + 2 + len);
        pos += 2 + len;
    }
    if (pos < n) out.insert(out.end(), d + pos, d + n);
    return out;
}

std::unique_ptr<BitmapData> parseDefineBitsJpeg(ByteReader& r, int tagCode,
                                                const std::vector<uint8_t>& tables, uint16_t& id) {
    id = r.u16();
    size_t alphaOffset = tagCode == 35 ? r.u32() : r.remaining();
    if (r.overflow() || alphaOffset > r.remaining()) return nullptr;
    const uint8_t* img = r.cursor();
    std::vector<uint8_t> image;
    const bool jpegData = alphaOffset >= 2 && img[0] == 0xFF && (img[1] == 0xD8 || img[1] == 0xD9);
    if (tagCode == 6 && !tables.empty()) {
        // The shared tables first, then the image; repairJpeg removes the
        // EOI between them and the second SOI.
        std::vector<uint8_t> joined(tables);
        joined.insert(joined.end(), img, img + alphaOffset);
        image = repairJpeg(joined.data(), joined.size());
    } else if (jpegData) {
        image = repairJpeg(img, alphaOffset);
    } else {
        image.assign(img, img + alphaOffset);  // PNG or GIF
    }
    if (image.empty()) return nullptr;
    std::vector<uint8_t> alpha;
    if (tagCode == 35) alpha.assign(img + alphaOffset, img + r.remaining());
    auto bmp = std::make_unique<BitmapData>();
    bmp->setEncoded(std::move(image), std::move(alpha));
    return bmp;
}

}  // namespace flash
