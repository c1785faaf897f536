// Bitmaps and text: every lossless format and JPEG tag (through a fake
// decoder), the four bitmap fill modes against references sampled here,
// and static and edit text against the same picture drawn as shapes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "flash/core/Bitmap.h"
#include "flash/core/Text.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/BitmapWriter.h"
#include "tools/swfwriter/FontWriter.h"

using namespace flash;
using swfw::Bytes;
using swfw::LosslessFormat;
using swfw::ShapeBuilder;

namespace {

const uint32_t kWhite = 0xFFFFFFFF;

Bytes frame(std::initializer_list<Bytes> tags) {
    swfw::Movie m = fctest::stage100();
    m.version = 8;
    for (const Bytes& t : tags) m.add(t);
    m.showFrame();
    return m.build();
}

Bytes at(uint16_t depth, uint16_t id, swfw::Matrix m = swfw::Matrix()) {
    return swfw::placeObject2(fctest::place(depth, id, m));
}

// Straight ARGB with a different colour in every pixel.
swfw::Picture pattern(int w, int h, bool alpha = false) {
    swfw::Picture p{w, h, {}};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t a = alpha ? static_cast<uint32_t>(40 + (x * 37 + y * 11) % 216) : 255;
            p.argb.push_back(a << 24 | static_cast<uint32_t>(x * 29 % 256) << 16 |
                             static_cast<uint32_t>(y * 31 % 256) << 8 |
                             static_cast<uint32_t>((x + y) * 17 % 256));
        }
    return p;
}

uint32_t premul(uint32_t p) {
    uint32_t a = p >> 24;
    auto m = [&](int s) { return ((((p >> s) & 0xFF) * a + 127) / 255) << s; };
    return a << 24 | m(16) | m(8) | m(0);
}

// A 100 x 100 px square filled with bitmap 1 (fill type 0x40..0x43) at
// `scale` device pixels per bitmap pixel.
Bytes filledSquare(uint8_t type, double scale, swfw::CxForm cx = {}, bool hasCx = false) {
    ShapeBuilder s(3);
    swfw::FillStyle f;
    f.type = type;
    f.bitmapId = 1;
    f.matrix = swfw::Matrix::scale(20 * scale, 20 * scale);
    s.rect(0, 0, 2000, 2000, s.addFill(f));
    swfw::Place p = fctest::place(1, 2);
    p.hasCxForm = hasCx;
    p.cxform = cx;
    Bytes out = s.defineShape(2);
    Bytes place = swfw::placeObject2(p);
    out.insert(out.end(), place.begin(), place.end());
    return out;
}

const BitmapData* loadedBitmap(Player& p, const Bytes& movie, uint16_t id = 1) {
    EXPECT_TRUE(fctest::load(p, movie));
    return p.engine().movie().bitmap(id);
}

// --- Lossless formats -----------------------------------------------------

struct LosslessCase {
    const char* name;
    LosslessFormat format;
    bool alpha;
    int width;
};

class LosslessFormats : public ::testing::TestWithParam<LosslessCase> {};

TEST_P(LosslessFormats, DecodeEveryPixelPastRowPadding) {
    const LosslessCase& c = GetParam();
    swfw::Picture pic = pattern(c.width, 4, c.alpha);
    if (c.format == LosslessFormat::Palette)  // at most 256 colours: fold the pattern
        for (uint32_t& v : pic.argb) v &= 0xFFE0E0E0u | (c.alpha ? 0 : 0xFF000000u);
    swfw::LosslessOptions o;
    o.withAlpha = c.alpha;
    o.padByte = 0xAB;  // padding read as pixels would show
    Player p;
    const BitmapData* b = loadedBitmap(p, frame({swfw::defineBitsLossless(1, pic, c.format, o)}));
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->width(), c.width);
    ASSERT_EQ(b->height(), 4);
    for (size_t i = 0; i < pic.argb.size(); ++i) {
        uint32_t want = c.alpha ? premul(pic.argb[i]) : (pic.argb[i] | 0xFF000000u);
        if (c.format == LosslessFormat::Rgb15) {
            auto q = [&](int s) {
                uint32_t v = (want >> s) & 0xF8;
                return (v | v >> 5) << s;
            };
            want = 0xFF000000u | q(16) | q(8) | q(0);
        }
        if (c.alpha) {
            // Premultiplying twice rounds: allow one step.
            for (int s = 0; s < 32; s += 8)
                EXPECT_NEAR(static_cast<int>((b->pixels()[i] >> s) & 0xFF),
                            static_cast<int>((want >> s) & 0xFF), 1)
                    << "pixel " << i;
        } else {
            EXPECT_EQ(b->pixels()[i], want) << "pixel " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, LosslessFormats,
                         ::testing::Values(LosslessCase{"Palette", LosslessFormat::Palette, false, 5},
                                           LosslessCase{"Rgb15", LosslessFormat::Rgb15, false, 3},
                                           LosslessCase{"Rgb24", LosslessFormat::Rgb32, false, 3},
                                           LosslessCase{"PaletteAlpha", LosslessFormat::Palette, true, 7},
                                           LosslessCase{"Argb", LosslessFormat::Rgb32, true, 3}),
                         [](const ::testing::TestParamInfo<LosslessCase>& i) { return i.param.name; });

TEST(Lossless, StraightAlphaPaletteIsPremultipliedOnLoad) {
    swfw::Picture pic{2, 1, {0x80FF0000u, 0x40FFFFFFu}};
    swfw::LosslessOptions o;
    o.withAlpha = true;
    o.straightPalette = true;
    Player p;
    const BitmapData* b =
        loadedBitmap(p, frame({swfw::defineBitsLossless(1, pic, LosslessFormat::Palette, o)}));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->pixels()[0], 0x80800000u);
    EXPECT_EQ(b->pixels()[1], 0x40404040u);
}

TEST(Lossless, ColoursAboveAlphaAreClampedToAlpha) {
    // Premultiplied ARGB cannot have a channel above alpha; such data is
    // clamped so that blending never overflows.
    swfw::BitWriter w;
    w.u16(1);
    w.u8(5);
    w.u16(1);
    w.u16(1);
    w.bytes(swfw::zlibCompress({0x40, 0xFF, 0x20, 0x80}));
    Player p;
    const BitmapData* b = loadedBitmap(p, frame({swfw::tag(36, w.data())}));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->pixels()[0], 0x40402040u);
}

TEST(Lossless, RefusesBadDimensionsFormatsAndShortData) {
    auto header = [](int code, int format, int w, int h, const Bytes& raw) {
        swfw::BitWriter t;
        t.u16(1);
        t.u8(static_cast<uint8_t>(format));
        t.u16(static_cast<uint16_t>(w));
        t.u16(static_cast<uint16_t>(h));
        if (format == 3) t.u8(0);
        t.bytes(swfw::zlibCompress(raw));
        return swfw::tag(static_cast<uint16_t>(code), t.data(), true);
    };
    struct {
        const char* what;
        Bytes tag;
    } cases[] = {
        {"over the pixel cap", header(20, 5, 65535, 65535, Bytes(16, 0))},
        {"zero width", header(20, 5, 0, 4, Bytes(16, 0))},
        {"15-bit in Lossless2", header(36, 4, 1, 1, Bytes(4, 0))},
        {"unknown format", header(20, 7, 1, 1, Bytes(4, 0))},
        {"pixels missing", header(20, 5, 4, 4, Bytes(60, 0))},
        {"palette rows missing", header(20, 3, 4, 4, Bytes(3 + 12, 0))},
    };
    for (const auto& c : cases) {
        Player p;
        EXPECT_EQ(loadedBitmap(p, frame({c.tag})), nullptr) << c.what;
    }
}

TEST(Lossless, MovieBudgetStopsManyLargeBitmaps) {
    // Each 4096 x 4096 bitmap is allowed; the movie's total is not unbounded.
    swfw::Movie m = fctest::stage100();
    const Bytes pixels = swfw::zlibCompress(Bytes(3 + static_cast<size_t>(4096) * 4096, 0));
    for (uint16_t id = 1; id <= 6; ++id) {
        swfw::BitWriter w;
        w.u16(id);
        w.u8(3);
        w.u16(4096);
        w.u16(4096);
        w.u8(0);
        w.bytes(pixels);
        m.add(swfw::tag(20, w.data(), true));
    }
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    int loaded = 0;
    for (uint16_t id = 1; id <= 6; ++id) loaded += p.engine().movie().bitmap(id) != nullptr;
    EXPECT_EQ(loaded, 4);
}

// --- Fill modes -------------------------------------------------------------

// Colour of a bitmap sampled at device pixel (x, y) as the fill should show
// it: nearest or bilinear, wrapped or clamped, over white.
uint32_t reference(const swfw::Picture& pic, double scale, int x, int y, bool repeat, bool smooth) {
    auto texel = [&](int i, int n) { return repeat ? ((i % n) + n) % n : std::max(0, std::min(n - 1, i)); };
    auto at = [&](int tx, int ty) {
        return premul(pic.argb[texel(ty, pic.height) * pic.width + texel(tx, pic.width)]);
    };
    double u = (x + 0.5) / scale, v = (y + 0.5) / scale;
    double ch[4] = {0, 0, 0, 0};
    if (!smooth) {
        uint32_t p = at(static_cast<int>(std::floor(u)), static_cast<int>(std::floor(v)));
        for (int k = 0; k < 4; ++k) ch[k] = (p >> (8 * k)) & 0xFF;
    } else {
        u -= 0.5;
        v -= 0.5;
        int x0 = static_cast<int>(std::floor(u)), y0 = static_cast<int>(std::floor(v));
        double fx = u - x0, fy = v - y0;
        for (int k = 0; k < 4; ++k) {
            auto c = [&](int tx, int ty) { return static_cast<double>((at(tx, ty) >> (8 * k)) & 0xFF); };
            ch[k] = (c(x0, y0) * (1 - fx) + c(x0 + 1, y0) * fx) * (1 - fy) +
                    (c(x0, y0 + 1) * (1 - fx) + c(x0 + 1, y0 + 1) * fx) * fy;
        }
    }
    uint32_t out = 0xFF000000u;
    for (int k = 0; k < 3; ++k) {
        double over = ch[k] + 255.0 * (1 - ch[3] / 255.0);  // source-over white
        out |= static_cast<uint32_t>(std::lround(std::min(255.0, over))) << (8 * k);
    }
    return out;
}

struct FillCase {
    const char* name;
    uint8_t type;
    bool repeat, smooth;
};

class BitmapFills : public ::testing::TestWithParam<FillCase> {};

TEST_P(BitmapFills, MatchSampledReference) {
    const FillCase& c = GetParam();
    swfw::Picture pic = pattern(8, 6, true);
    // Device pixels per bitmap pixel: tiles repeat inside the square, and no
    // pixel centre falls exactly on a texel border.
    const double scale = 4.37;
    swfw::LosslessOptions o;
    o.withAlpha = true;
    Bytes tags = swfw::defineBitsLossless(1, pic, LosslessFormat::Rgb32, o);
    Bytes sq = filledSquare(c.type, scale);
    tags.insert(tags.end(), sq.begin(), sq.end());
    Player p;
    ASSERT_TRUE(fctest::load(p, frame({tags})));
    fctest::Image img = fctest::render(p, 100, 100);
    fctest::Image ref = img;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            ref.pixels[static_cast<size_t>(y) * 100 + x] = reference(pic, scale, x, y, c.repeat, c.smooth);
    EXPECT_GT(fctest::psnr(img, ref), 40.0);
    if (!c.smooth) {
        // Nearest sampling is exact away from texel borders.
        EXPECT_EQ(img.at(2, 2), ref.at(2, 2));
        EXPECT_EQ(img.at(47, 20), ref.at(47, 20));
        EXPECT_EQ(img.at(90, 80), ref.at(90, 80));
    }
    // Past the bitmap: repeating shows the first texel again, clipping the last.
    uint32_t far = img.at(37, 1), first = reference(pic, scale, 1, 1, true, false),
             last = reference(pic, scale, 35, 1, false, false);
    if (!c.smooth) {
        EXPECT_EQ(far, c.repeat ? first : last);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, BitmapFills,
                         ::testing::Values(FillCase{"RepeatSmooth", 0x40, true, true},
                                           FillCase{"ClipSmooth", 0x41, false, true},
                                           FillCase{"RepeatNearest", 0x42, true, false},
                                           FillCase{"ClipNearest", 0x43, false, false}),
                         [](const ::testing::TestParamInfo<FillCase>& i) { return i.param.name; });

TEST(BitmapFill, ColourTransformAppliesToTexels) {
    swfw::Picture pic{1, 1, {0xFF804020u}};
    swfw::CxForm cx;
    cx.mr = 0;
    cx.ar = 255;  // red forced full, the rest kept
    Bytes tags = swfw::defineBitsLossless(1, pic, LosslessFormat::Rgb32);
    Bytes sq = filledSquare(0x42, 10, cx, true);
    tags.insert(tags.end(), sq.begin(), sq.end());
    Player p;
    ASSERT_TRUE(fctest::load(p, frame({tags})));
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_EQ(img.at(50, 50), 0xFFFF4020u);
}

TEST(BitmapFill, LowQualityDrawsSmoothedFillsUnsmoothed) {
    swfw::Picture pic = pattern(8, 6);
    Bytes smooth = swfw::defineBitsLossless(1, pic, LosslessFormat::Rgb32), nearest = smooth;
    Bytes a = filledSquare(0x40, 4.37), b = filledSquare(0x42, 4.37);
    smooth.insert(smooth.end(), a.begin(), a.end());
    nearest.insert(nearest.end(), b.begin(), b.end());
    Player p, q;
    ASSERT_TRUE(fctest::load(p, frame({smooth})));
    ASSERT_TRUE(fctest::load(q, frame({nearest})));
    EXPECT_EQ(fctest::render(p, 100, 100, Quality::Low).pixels,
              fctest::render(q, 100, 100, Quality::Low).pixels);
    EXPECT_NE(fctest::render(p, 100, 100).pixels, fctest::render(q, 100, 100).pixels);
}

TEST(BitmapFill, MissingBitmapDrawsNothing) {
    Player p;
    ASSERT_TRUE(fctest::load(p, frame({filledSquare(0x40, 1)})));
    EXPECT_EQ(fctest::render(p, 100, 100).at(50, 50), kWhite);
}

// --- JPEG tags through a fake decoder ------------------------------------------

class FakeDecoder : public ImageDecoder {
public:
    bool decode(const uint8_t* data, size_t size, DecodedImage& out) override {
        ++calls;
        seen.assign(data, data + size);
        if (fail) return false;
        out.width = 2;
        out.height = 2;
        out.pixels.assign(4, 0xFF336699u);
        return true;
    }
    int calls = 0;
    bool fail = false;
    Bytes seen;
};

// Markers only: enough for the splicing and repair logic.
const Bytes kTables = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x03, 0x11, 0xFF, 0xD9};
const Bytes kImage = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x03, 0x22, 0xFF, 0xDA, 0x00, 0x02, 0x33, 0xFF, 0xD9};
const Bytes kJoined = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x03, 0x11, 0xFF, 0xC0, 0x00,
                       0x03, 0x22, 0xFF, 0xDA, 0x00, 0x02, 0x33, 0xFF, 0xD9};

Bytes withSquare(Bytes bitmapTags, uint8_t type = 0x42) {
    Bytes sq = filledSquare(type, 50);
    bitmapTags.insert(bitmapTags.end(), sq.begin(), sq.end());
    return frame({bitmapTags});
}

TEST(JpegTags, DefineBitsIsSplicedWithTheTables) {
    Bytes tags = swfw::jpegTables(kTables);
    Bytes bits = swfw::defineBits(1, kImage);
    tags.insert(tags.end(), bits.begin(), bits.end());
    FakeDecoder dec;
    Player p;
    p.setImageDecoder(&dec);
    ASSERT_TRUE(fctest::load(p, withSquare(tags)));
    EXPECT_EQ(fctest::render(p, 100, 100).at(10, 10), 0xFF336699u);
    EXPECT_EQ(dec.seen, kJoined);
}

TEST(JpegTags, Jpeg2RepairsErroneousHeaderAndJoinedBlocks) {
    Bytes data = {0xFF, 0xD9, 0xFF, 0xD8};
    data.insert(data.end(), kTables.begin(), kTables.end());
    data.insert(data.end(), kImage.begin(), kImage.end());
    FakeDecoder dec;
    Player p;
    p.setImageDecoder(&dec);
    ASSERT_TRUE(fctest::load(p, withSquare(swfw::defineBitsJpeg2(1, data))));
    fctest::render(p, 100, 100);
    EXPECT_EQ(dec.seen, kJoined);
}

TEST(JpegTags, Jpeg3AlphaPlanePremultipliesColours) {
    FakeDecoder dec;
    Player p;
    p.setImageDecoder(&dec);
    ASSERT_TRUE(fctest::load(p, withSquare(swfw::defineBitsJpeg3(1, kImage, {255, 128, 0, 64}))));
    fctest::render(p, 100, 100);
    const BitmapData* b = p.engine().movie().bitmap(1);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->ready());
    EXPECT_EQ(b->pixels()[0], 0xFF336699u);
    EXPECT_EQ(b->pixels()[1], 0x801A334Du);
    EXPECT_EQ(b->pixels()[2], 0x00000000u);
    EXPECT_EQ(b->pixels()[3], 0x400D1A26u);
}

TEST(JpegTags, PngDataPassesUnchangedAndKeepsItsOwnAlpha) {
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 1, 2, 3};
    FakeDecoder dec;
    Player p;
    p.setImageDecoder(&dec);
    ASSERT_TRUE(fctest::load(p, withSquare(swfw::defineBitsJpeg3(1, png, {0, 0, 0, 0}))));
    fctest::render(p, 100, 100);
    EXPECT_EQ(dec.seen, png);
    EXPECT_EQ(p.engine().movie().bitmap(1)->pixels()[1], 0xFF336699u);
}

TEST(JpegTags, DecodedOnceWhenFirstDrawnAndNeverWithoutDecoder) {
    FakeDecoder dec;
    Player p;
    ASSERT_TRUE(fctest::load(p, withSquare(swfw::defineBitsJpeg2(1, kImage))));
    EXPECT_EQ(fctest::render(p, 100, 100).at(50, 50), kWhite);  // no decoder yet: nothing drawn
    p.setImageDecoder(&dec);
    EXPECT_EQ(dec.calls, 0);
    EXPECT_EQ(fctest::render(p, 100, 100).at(50, 50), 0xFF336699u);
    fctest::render(p, 100, 100);
    EXPECT_EQ(dec.calls, 1);
}

TEST(JpegTags, FailedDecodeIsNotRetriedAndDrawsNothing) {
    FakeDecoder dec;
    dec.fail = true;
    Player p;
    p.setImageDecoder(&dec);
    ASSERT_TRUE(fctest::load(p, withSquare(swfw::defineBitsJpeg2(1, kImage))));
    EXPECT_EQ(fctest::render(p, 100, 100).at(50, 50), kWhite);
    fctest::render(p, 100, 100);
    EXPECT_EQ(dec.calls, 1);
}

TEST(JpegTags, RepairKeepsScanDataAndOddStreams) {
    struct {
        Bytes in, out;
    } cases[] = {
        {kJoined, kJoined},
        // FF D9 inside the scan belongs to the entropy data and stays.
        {{0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9, 0xFF, 0xD8},
         {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9, 0xFF, 0xD8}},
        {{1, 2, 3}, {1, 2, 3}},
        // A segment length past the end: the rest is kept as it is.
        {{0xFF, 0xD8, 0xFF, 0xDB, 0x40, 0x00, 1}, {0xFF, 0xD8, 0xFF, 0xDB, 0x40, 0x00, 1}},
    };
    for (const auto& c : cases) EXPECT_EQ(repairJpeg(c.in.data(), c.in.size()), c.out);
}

// --- Text -------------------------------------------------------------------------

// Three glyphs in a 1024 EM: 'I' a bar, 'O' a square with a hole, ' '.
swfw::FontDef testFont(int emScale = 1) {
    swfw::FontDef f;
    f.ascent = 800 * emScale;
    f.descent = 200 * emScale;
    swfw::Glyph i, o, sp;
    i.code = 'I';
    i.advance = static_cast<int16_t>(300 * emScale);
    i.outline.rect(0, -800 * emScale, 200 * emScale, 0, 1);
    o.code = 'O';
    o.advance = static_cast<int16_t>(700 * emScale);
    o.outline.rect(0, -800 * emScale, 600 * emScale, 0, 1)
        .rect(200 * emScale, -600 * emScale, 400 * emScale, -200 * emScale, 1);
    sp.code = ' ';
    sp.advance = static_cast<int16_t>(300 * emScale);
    f.glyphs = {i, o, sp};
    return f;
}

// The picture "IO" in red and "I" in blue drawn as plain rectangles, with
// the text's origin at (100, 1000) twips and 1 twip per EM unit.
Bytes referenceText(swfw::Rgba red, swfw::Rgba blue) {
    ShapeBuilder s(3);
    int r = s.addFill(swfw::FillStyle::solid(red)), b = s.addFill(swfw::FillStyle::solid(blue));
    s.rect(100, 200, 300, 1000, r);
    s.rect(400, 200, 1000, 1000, r).rect(600, 400, 800, 800, r);
    s.rect(1100, 200, 1300, 1000, b);
    return frame({s.defineShape(1), at(1, 1)});
}

std::vector<swfw::TextRecord> testRecords(uint16_t fontId, swfw::Rgba red, swfw::Rgba blue) {
    swfw::TextRecord a;
    a.hasFont = true;
    a.fontId = fontId;
    a.height = 1024;
    a.hasColor = true;
    a.color = red;
    a.hasX = a.hasY = true;
    a.glyphs = {{0, 300}, {1, 700}};
    swfw::TextRecord b;  // continues where the first ended
    b.hasColor = true;
    b.color = blue;
    b.glyphs = {{0, 300}};
    return {a, b};
}

struct TextCase {
    const char* name;
    int fontVersion;
    bool text2;
    bool wideOffsets;
};

class StaticText : public ::testing::TestWithParam<TextCase> {};

TEST_P(StaticText, MatchesTheSameGlyphsDrawnAsShapes) {
    const TextCase& c = GetParam();
    const swfw::Rgba red{255, 0, 0, c.text2 ? uint8_t(128) : uint8_t(255)}, blue{0, 0, 255, 255};
    swfw::FontDef font = testFont(c.fontVersion == 3 ? 20 : 1);
    font.wideOffsets = c.wideOffsets;
    Bytes tags = swfw::defineFont(5, font, c.fontVersion);
    if (c.fontVersion == 1) {
        Bytes info = swfw::defineFontInfo(5, font);
        tags.insert(tags.end(), info.begin(), info.end());
    }
    Bytes text = swfw::defineText(1, {0, 2000, 0, 2000}, swfw::Matrix::translate(100, 1000),
                                  testRecords(5, red, blue), c.text2);
    tags.insert(tags.end(), text.begin(), text.end());
    Bytes place = at(1, 1);
    tags.insert(tags.end(), place.begin(), place.end());
    Player p, q;
    ASSERT_TRUE(fctest::load(p, frame({tags})));
    ASSERT_TRUE(fctest::load(q, referenceText(red, blue)));
    fctest::Image img = fctest::render(p, 100, 100), ref = fctest::render(q, 100, 100);
    EXPECT_GT(fctest::psnr(img, ref), 45.0);
    // Known spots: the bar, the gap, the hole, the blue glyph, above the text.
    EXPECT_EQ(img.at(10, 30), ref.at(10, 30));
    EXPECT_EQ(img.at(17, 30), kWhite);
    EXPECT_EQ(img.at(35, 30), kWhite);
    EXPECT_EQ(img.at(45, 30), ref.at(45, 30));
    EXPECT_EQ(img.at(60, 30), 0xFF0000FFu);
    EXPECT_EQ(img.at(60, 5), kWhite);
    if (c.text2) {
        EXPECT_EQ(img.at(10, 30), 0xFFFF7F7Fu);
    }
}

INSTANTIATE_TEST_SUITE_P(Fonts, StaticText,
                         ::testing::Values(TextCase{"Font1WithInfo", 1, false, false},
                                           TextCase{"Font2", 2, false, false},
                                           TextCase{"Font2WideOffsets", 2, true, true},
                                           TextCase{"Font3", 3, true, false}),
                         [](const ::testing::TestParamInfo<TextCase>& i) { return i.param.name; });

TEST(StaticTextParse, GlyphIndicesPastTheFontAndMissingFontsAreSkipped) {
    Bytes tags = swfw::defineFont(5, testFont(), 2);
    std::vector<swfw::TextRecord> recs = testRecords(5, {255, 0, 0, 255}, {0, 0, 255, 255});
    recs[0].glyphs = {{7, 300}, {1, 700}};  // glyph 7 does not exist; the advance still counts
    recs[1].hasFont = true;
    recs[1].fontId = 99;
    recs[1].height = 1024;
    Bytes text = swfw::defineText(1, {0, 2000, 0, 2000}, swfw::Matrix::translate(100, 1000), recs, false);
    tags.insert(tags.end(), text.begin(), text.end());
    Bytes place = at(1, 1);
    tags.insert(tags.end(), place.begin(), place.end());
    Player p;
    ASSERT_TRUE(fctest::load(p, frame({tags})));
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_EQ(img.at(10, 30), kWhite);
    EXPECT_EQ(img.at(25, 30), 0xFFFF0000u);
    EXPECT_EQ(img.at(60, 30), kWhite);
}

TEST(StaticTextParse, GlyphEdgesOverTheMovieBudgetAreLeftOut) {
    // One glyph with many edges placed thousands of times: loading stays bounded.
    swfw::FontDef f;
    swfw::Glyph g;
    g.code = 'x';
    for (int i = 0; i < 2000; ++i) g.outline.rect(i, -10, i + 1, 0, 1);
    f.glyphs = {g};
    f.layout = false;
    swfw::Movie m = fctest::stage100();
    m.add(swfw::defineFont(1, f, 2));
    swfw::TextRecord r;
    r.hasFont = true;
    r.fontId = 1;
    r.height = 1024;
    r.glyphs.assign(255, {0, 1});
    for (uint16_t id = 2; id < 40; ++id)
        m.add(swfw::defineText(id, {0, 100, 0, 100}, swfw::Matrix(), {r, r, r, r}, false));
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    size_t edges = 0;
    for (uint16_t id = 2; id < 40; ++id) {
        const Character* c = p.engine().movie().character(id);
        if (c && c->shape)
            for (const ShapeLayer& L : c->shape->layers) edges += L.edges.size();
    }
    EXPECT_LE(edges, size_t(1) << 21);
}

// --- Edit text ----------------------------------------------------------------------

Bytes editMovie(const swfw::EditTextDef& e, bool withFont = true) {
    Bytes tags;
    if (withFont) tags = swfw::defineFont(5, testFont(), 2);
    Bytes t = swfw::defineEditText(1, e);
    tags.insert(tags.end(), t.begin(), t.end());
    Bytes place = at(1, 1);
    tags.insert(tags.end(), place.begin(), place.end());
    return frame({tags});
}

swfw::EditTextDef editText(const std::string& text) {
    swfw::EditTextDef e;
    e.bounds = {0, 2000, 0, 2000};
    e.text = text;
    e.fontId = 5;
    e.height = 1024;
    e.color = {0, 128, 0, 255};
    return e;
}

// Columns (device pixels) of row y that are not white.
std::vector<int> inkColumns(const fctest::Image& img, int y) {
    std::vector<int> xs;
    for (int x = 0; x < img.width; ++x)
        if (img.at(x, y) != kWhite) xs.push_back(x);
    return xs;
}

TEST(EditText, EmbeddedGlyphsSitInsideTheGutterOnTheAscent) {
    Player p;
    ASSERT_TRUE(fctest::load(p, editMovie(editText("IO"))));
    fctest::Image img = fctest::render(p, 100, 100);
    // 'I' at x 40..240 twips, baseline at 40 + 800 twips.
    EXPECT_EQ(img.at(7, 20), 0xFF008000u);
    EXPECT_EQ(img.at(7, 43), kWhite);
    EXPECT_EQ(img.at(1, 20), kWhite);
    EXPECT_EQ(img.at(20, 20), 0xFF008000u);  // 'O' from 340 twips
    EXPECT_EQ(img.at(30, 20), kWhite);       // its hole
}

TEST(EditText, AlignmentMovesTheLine) {
    struct {
        int align;
        int firstInk;
    } cases[] = {{0, 2}, {1, 48}, {2, 25}};  // line "IO" is 1000 twips wide, field 1920 inside
    for (const auto& c : cases) {
        swfw::EditTextDef e = editText("IO");
        e.hasLayout = true;
        e.align = c.align;
        Player p;
        ASSERT_TRUE(fctest::load(p, editMovie(e)));
        std::vector<int> xs = inkColumns(fctest::render(p, 100, 100), 20);
        ASSERT_FALSE(xs.empty());
        EXPECT_NEAR(xs.front(), c.firstInk, 1) << "align " << c.align;
    }
}

TEST(EditText, WrapsAtSpacesAndBreaksHtmlParagraphs) {
    swfw::EditTextDef wrap = editText("OO OO");
    wrap.wordWrap = true;
    wrap.bounds = {0, 1700, 0, 2000};  // room for "OO " but not "OO OO"
    swfw::EditTextDef html = editText("<p>O</p><P ALIGN=\"left\">I&amp;</p>");
    html.html = true;
    for (const auto& e : {wrap, html}) {
        Player p;
        ASSERT_TRUE(fctest::load(p, editMovie(e)));
        fctest::Image img = fctest::render(p, 100, 100);
        EXPECT_NE(img.at(5, 20), kWhite) << e.text;  // first line
        EXPECT_NE(img.at(5, 70), kWhite) << e.text;  // second line: 1000 twips lower
    }
}

TEST(EditText, DeviceFontDrawsOnlyTheBorder) {
    swfw::EditTextDef e = editText("IO");
    e.useOutlines = false;
    e.border = true;
    e.bounds = {200, 1800, 200, 1800};
    Player p;
    ASSERT_TRUE(fctest::load(p, editMovie(e)));
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_EQ(img.at(50, 10), 0xFF000000u);
    EXPECT_EQ(img.at(10, 50), 0xFF000000u);
    EXPECT_EQ(img.at(14, 30), kWhite);
    EXPECT_EQ(inkColumns(img, 30), (std::vector<int>{10, 89}));  // one pixel inside the bounds
}

TEST(EditText, PasswordAndMaxLengthLimitWhatShows) {
    swfw::EditTextDef pw = editText("IO");
    pw.password = true;  // the font has no '*': nothing shows
    swfw::EditTextDef max = editText("IIIIII");
    max.maxLength = 2;
    Player p, q;
    ASSERT_TRUE(fctest::load(p, editMovie(pw)));
    ASSERT_TRUE(fctest::load(q, editMovie(max)));
    EXPECT_TRUE(inkColumns(fctest::render(p, 100, 100), 20).empty());
    std::vector<int> xs = inkColumns(fctest::render(q, 100, 100), 20);
    ASSERT_FALSE(xs.empty());
    EXPECT_LE(xs.back(), 27);  // two bars only
}

TEST(EditText, Utf8TextFindsWideCodes) {
    swfw::FontDef f = testFont();
    f.glyphs[1].code = 0x4E2D;  // a CJK character instead of 'O'
    Bytes tags = swfw::defineFont(5, f, 2);
    Bytes t = swfw::defineEditText(1, editText("\xE4\xB8\xAD"));
    tags.insert(tags.end(), t.begin(), t.end());
    Bytes place = at(1, 1);
    tags.insert(tags.end(), place.begin(), place.end());
    Player p;
    ASSERT_TRUE(fctest::load(p, frame({tags})));
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_NE(img.at(3, 20), kWhite);
    EXPECT_EQ(img.at(16, 20), kWhite);  // the hole of the square glyph
}

}  // namespace
