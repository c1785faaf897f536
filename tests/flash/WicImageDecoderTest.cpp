// Pictures of movies decoded through the Windows imaging services.
#include <gtest/gtest.h>
#include <objbase.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "flash/WicImageDecoder.h"

using kv::WicImageDecoder;
using Bytes = std::vector<uint8_t>;

namespace {

void put32(Bytes& b, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}

void chunk(Bytes& png, const char* type, const Bytes& body) {
    put32(png, static_cast<uint32_t>(body.size()));
    Bytes typed(type, type + 4);
    typed.insert(typed.end(), body.begin(), body.end());
    png.insert(png.end(), typed.begin(), typed.end());
    put32(png, static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
}

// A w x h RGBA PNG of the given straight pixels (r, g, b, a per pixel).
Bytes makePng(int w, int h, const Bytes& rgba) {
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    put32(ihdr, w);
    put32(ihdr, h);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    chunk(png, "IHDR", ihdr);
    Bytes raw;
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgba.begin() + y * w * 4, rgba.begin() + (y + 1) * w * 4);
    }
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes z(size);
    compress(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()));
    z.resize(size);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", {});
    return png;
}

class ComApartment : public ::testing::Test {
protected:
    void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { CoUninitialize(); }
};

TEST_F(ComApartment, PngDecodesToPremultipliedPixelsTopRowFirst) {
    // Opaque red, half-transparent white / opaque blue, fully transparent green.
    Bytes png = makePng(2, 2, {255, 0, 0, 255, 255, 255, 255, 128, 0, 0, 255, 255, 0, 255, 0, 0});
    WicImageDecoder d;
    flash::DecodedImage img;
    ASSERT_TRUE(d.decode(png.data(), png.size(), img));
    ASSERT_EQ(img.width, 2);
    ASSERT_EQ(img.height, 2);
    EXPECT_EQ(img.pixels[0], 0xFFFF0000u);
    EXPECT_NEAR(static_cast<int>(img.pixels[1] >> 24), 128, 1);
    EXPECT_NEAR(static_cast<int>(img.pixels[1] & 0xFF), 128, 1);  // colour scaled by alpha
    EXPECT_EQ(img.pixels[2], 0xFF0000FFu);
    EXPECT_EQ(img.pixels[3], 0u);
}

TEST_F(ComApartment, DamagedOrForeignDataIsRefused) {
    Bytes png = makePng(4, 4, Bytes(64, 0x80));
    Bytes cut(png.begin(), png.begin() + 40);
    Bytes noise(500, 0x5A);
    WicImageDecoder d;
    for (const Bytes* data : {&cut, &noise}) {
        flash::DecodedImage img;
        img.width = 9;
        EXPECT_FALSE(d.decode(data->data(), data->size(), img));
        EXPECT_EQ(img.width, 0);
        EXPECT_TRUE(img.pixels.empty());
    }
    flash::DecodedImage img;
    EXPECT_FALSE(d.decode(nullptr, 0, img));
}

// The decoder brings its own apartment when the caller has none.
TEST(WicImageDecoder, WorksOnAThreadWithoutCom) {
    Bytes png = makePng(1, 1, {0, 255, 0, 255});
    WicImageDecoder d;
    flash::DecodedImage img;
    EXPECT_TRUE(d.decode(png.data(), png.size(), img));
    EXPECT_EQ(img.pixels.size(), 1u);
}

}  // namespace
