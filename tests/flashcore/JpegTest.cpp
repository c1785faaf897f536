// The JPEG tags with real JPEG data (encoded and decoded with libjpeg):
// DefineBits with JPEGTables, DefineBitsJPEG2 with and without the leading
// EOI+SOI quirk, DefineBitsJPEG3 with an alpha plane, and the decoder's
// limits. Pictures are compared with the source by PSNR.
#include <gtest/gtest.h>

#include "tests/flashcore/TestSupport.h"
#include "tools/jpegcodec/NativeJpeg.h"
#include "tools/swfwriter/BitmapWriter.h"

using namespace flash;
using swfw::Bytes;

namespace {

const int kW = 40, kH = 30;

std::vector<uint32_t> source() {
    std::vector<uint32_t> px;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            px.push_back(0xFF000000u | static_cast<uint32_t>(x * 6) << 16 |
                         static_cast<uint32_t>(y * 8) << 8 | static_cast<uint32_t>(128 + (x - y) * 2));
    return px;
}

Bytes encoded() {
    std::vector<uint8_t> out;
    EXPECT_TRUE(encodeJpeg(source(), kW, kH, 95, out));
    return out;
}

// The bitmap at one device pixel per bitmap pixel in the stage's corner.
fctest::Image show(const Bytes& bitmapTags, LibJpegDecoder& dec) {
    swfw::ShapeBuilder s(3);
    swfw::FillStyle f;
    f.type = 0x43;
    f.bitmapId = 1;
    f.matrix = swfw::Matrix::scale(20, 20);
    s.rect(0, 0, kW * 20, kH * 20, s.addFill(f));
    swfw::Movie m = fctest::stage100();
    m.add(bitmapTags);
    m.add(s.defineShape(2));
    m.add(swfw::placeObject2(fctest::place(1, 2)));
    m.showFrame();
    Player p;
    p.setImageDecoder(&dec);
    EXPECT_TRUE(fctest::load(p, m.build()));
    fctest::Image img = fctest::render(p, 100, 100);
    fctest::Image crop{kW, kH, {}};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) crop.pixels.push_back(img.at(x, y));
    return crop;
}

fctest::Image expected(int alpha = 255) {
    fctest::Image e{kW, kH, {}};
    for (uint32_t p : source()) {
        uint32_t out = 0xFF000000u;
        for (int s = 0; s < 24; s += 8) {
            double c = ((p >> s) & 0xFF) * alpha / 255.0 + 255.0 * (255 - alpha) / 255.0;
            out |= static_cast<uint32_t>(c + 0.5) << s;
        }
        e.pixels.push_back(out);
    }
    return e;
}

TEST(Jpeg, EveryJpegTagShowsTheEncodedPicture) {
    const Bytes jpeg = encoded();
    Bytes tables, image;
    ASSERT_TRUE(swfw::splitJpeg(jpeg, tables, image));
    Bytes quirk = {0xFF, 0xD9, 0xFF, 0xD8};
    quirk.insert(quirk.end(), jpeg.begin(), jpeg.end());
    Bytes withTables = swfw::jpegTables(tables);
    Bytes bits = swfw::defineBits(1, image);
    withTables.insert(withTables.end(), bits.begin(), bits.end());
    struct {
        const char* name;
        Bytes tags;
    } cases[] = {
        {"DefineBitsJPEG2", swfw::defineBitsJpeg2(1, jpeg)},
        {"DefineBitsJPEG2 with EOI+SOI first", swfw::defineBitsJpeg2(1, quirk)},
        {"DefineBits with JPEGTables", withTables},
        {"DefineBitsJPEG3 opaque", swfw::defineBitsJpeg3(1, jpeg, std::vector<uint8_t>(kW * kH, 255))},
    };
    for (const auto& c : cases) {
        LibJpegDecoder dec;
        EXPECT_GT(fctest::psnr(show(c.tags, dec), expected()), 32.0) << c.name;
        EXPECT_EQ(dec.calls, 1) << c.name;
    }
}

TEST(Jpeg, AlphaPlaneBlendsWithTheBackground) {
    LibJpegDecoder dec;
    fctest::Image img = show(swfw::defineBitsJpeg3(1, encoded(), std::vector<uint8_t>(kW * kH, 128)), dec);
    EXPECT_GT(fctest::psnr(img, expected(128)), 32.0);
    EXPECT_LT(fctest::psnr(img, expected()), 25.0);
}

TEST(Jpeg, DecoderRefusesGarbageTruncationAndHugeFrames) {
    LibJpegDecoder dec;
    DecodedImage out;
    const Bytes jpeg = encoded();
    Bytes garbage = {0xFF, 0xD8, 1, 2, 3, 4, 5};
    EXPECT_FALSE(dec.decode(garbage.data(), garbage.size(), out));
    EXPECT_FALSE(dec.decode(jpeg.data(), 40, out));
    // The frame header's size says 65535 x 65535: refused before decoding.
    Bytes huge = jpeg;
    for (size_t i = 2; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 6] = huge[i + 7] = huge[i + 8] = 0xFF;
            break;
        }
    EXPECT_FALSE(dec.decode(huge.data(), huge.size(), out));
    EXPECT_TRUE(out.pixels.empty());
}

}  // namespace
