#include <gtest/gtest.h>

#include "flashfile/FlashFileAttr.h"
#include "tests/flashfile/TestFiles.h"
#include "tools/swfwriter/HeaderVariants.h"

using namespace kv;
using kvtest::TempFolder;
using swfw::Bytes;
using swfw::HeaderSpec;

namespace {

TFlashFileAttr readAttr(const std::string& path) {
    TFlashFileAttr attr;
    GetFlashFileAttr(path, attr);
    return attr;
}

TFlashFileAttr filledRecord() {
    TFlashFileAttr a;
    a.IsFlashFile = true;
    a.Version = "9";
    a.FileSize = a.FrameRate = a.FrameCount = a.Width = a.Height = 7;
    a.BackColorRed = a.BackColorGreen = a.BackColorBlue = 7;
    return a;
}

HeaderSpec classic() {
    HeaderSpec s;  // version 6, NBits 15, (0, 11000, 0, 8000), 12 fps
    s.rectBits = 15;
    s.frameCount = 100;
    s.red = 0x10;
    s.green = 0x20;
    s.blue = 0x30;
    return s;
}

void expectClassic(const TFlashFileAttr& a, int32_t fileSize) {
    EXPECT_TRUE(a.IsFlashFile);
    EXPECT_EQ(a.Version, "6");
    EXPECT_EQ(a.FileSize, fileSize);
    EXPECT_EQ(a.Width, 550);
    EXPECT_EQ(a.Height, 400);
    EXPECT_EQ(a.FrameRate, 12);
    EXPECT_EQ(a.FrameCount, 100);
    EXPECT_EQ(a.BackColorRed, 0x10);
    EXPECT_EQ(a.BackColorGreen, 0x20);
    EXPECT_EQ(a.BackColorBlue, 0x30);
}

}  // namespace

TEST(FlashFileAttr, ReadsClassicStageAtTwelveFps) {
    TempFolder dir;
    Bytes movie = swfw::headerMovie(classic());
    ASSERT_EQ(movie[17], 0x00);  // 9-byte rectangle, whole rate
    kvtest::writeBytes(dir / "a.swf", movie);
    expectClassic(readAttr(dir / "a.swf"), static_cast<int32_t>(movie.size()));
}

TEST(FlashFileAttr, ProjectorGivesTheEmbeddedMoviesValues) {
    TempFolder dir;
    Bytes movie = swfw::headerMovie(classic());
    kvtest::writeBytes(dir / "p.exe", swfw::projector(swfw::fakeStub(300000), movie));
    expectClassic(readAttr(dir / "p.exe"), static_cast<int32_t>(movie.size()));
}

TEST(FlashFileAttr, CompressedMovieValuesAreInflated) {
    TempFolder dir;
    for (auto path : {"c.swf", "c.exe"}) {
        HeaderSpec s = classic();
        s.signature = 'C';
        s.frameRate = 29.97;
        s.padding = 100000;  // a long stream: only its start is needed
        Bytes movie = swfw::headerMovie(s);
        ASSERT_EQ(movie[0], 'C');
        kvtest::writeBytes(dir / path, path[2] == 'e' ? swfw::projector(swfw::fakeStub(5000), movie) : movie);
        TFlashFileAttr a = readAttr(dir / path);
        EXPECT_EQ(a.FileSize, static_cast<int32_t>(swfw::headerMovie(classic()).size() + 100000 + 6)) << path;
        EXPECT_EQ(a.Width, 550) << path;
        EXPECT_EQ(a.Height, 400) << path;
        EXPECT_EQ(a.FrameRate, 29) << path;
        EXPECT_EQ(a.FrameCount, 100) << path;
        EXPECT_EQ(a.BackColorBlue, 0x30) << path;
    }
}

TEST(FlashFileAttr, ReadsRateAndCountAfterRectanglesOfEveryLength) {
    struct Case {
        const char* what;
        int rectBits;
        Bytes::value_type version;
        swfw::Rect stage;
        double rate;
        int width, height, frameRate;
    };
    const Case cases[] = {
        {"8-byte rectangle, 24 fps", 14, 6, {0, 8000, 0, 6000}, 24.0, 400, 300, 24},
        {"8-byte rectangle, 13 bits", 13, 6, {0, 4000, 0, 4000}, 24.0, 200, 200, 24},
        {"negative x", 15, 6, {-200, 11000, 0, 8000}, 12.0, 560, 400, 12},
        {"width truncates", 15, 6, {0, 11010, 0, 8019}, 12.0, 550, 400, 12},
        {"NBits 0", 0, 6, {0, 0, 0, 0}, 12.0, 0, 0, 12},
        {"version 10", 15, 10, {0, 11000, 0, 8000}, 12.0, 550, 400, 12},
        {"fractional rate", 15, 6, {0, 11000, 0, 8000}, 29.97, 550, 400, 29},
        {"10-byte rectangle", 18, 6, {0, 100000, 0, 60000}, 25.0, 5000, 3000, 25},
        {"17-byte rectangle", 31, 8, {-20, 20, -40, 40}, 0.5, 2, 4, 0},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        HeaderSpec s;
        s.version = c.version;
        s.rectBits = c.rectBits;
        s.stage = c.stage;
        s.frameRate = c.rate;
        s.frameCount = 4321;
        s.red = 1;
        s.green = 2;
        s.blue = 3;
        kvtest::writeBytes(dir / "m.swf", swfw::headerMovie(s));
        TFlashFileAttr a = readAttr(dir / "m.swf");
        EXPECT_EQ(a.Version, std::to_string(c.version)) << c.what;
        EXPECT_EQ(a.Width, c.width) << c.what;
        EXPECT_EQ(a.Height, c.height) << c.what;
        EXPECT_EQ(a.FrameRate, c.frameRate) << c.what;
        EXPECT_EQ(a.FrameCount, 4321) << c.what;
        EXPECT_EQ(a.BackColorRed * 100 + a.BackColorGreen * 10 + a.BackColorBlue, 123) << c.what;
    }
    // Every field width from 1 to 31 bits.
    for (int bits = 1; bits <= 31; ++bits) {
        HeaderSpec s;
        s.rectBits = bits;
        s.stage = {0, 0, 0, 0};
        s.frameRate = 30.0;
        s.frameCount = 77;
        kvtest::writeBytes(dir / "w.swf", swfw::headerMovie(s));
        TFlashFileAttr a = readAttr(dir / "w.swf");
        EXPECT_EQ(a.FrameRate, 30) << bits;
        EXPECT_EQ(a.FrameCount, 77) << bits;
    }
}

TEST(FlashFileAttr, OtherFilesGiveTheClearedRecord) {
    TempFolder dir;
    Bytes movie = swfw::headerMovie(classic());
    Bytes badTrailer = swfw::projector(swfw::fakeStub(1000), movie);
    badTrailer[badTrailer.size() - 8] = 0x57;  // magic no longer 56 34 12 FA
    kvtest::writeBytes(dir / "bad.exe", badTrailer);
    kvtest::writeBytes(dir / "plain.exe", swfw::fakeStub(1000));
    kvtest::writeBytes(dir / "movie.txt", movie);
    kvtest::writeBytes(dir / "movie", movie);
    for (auto name : {"bad.exe", "plain.exe", "movie.txt", "movie"}) {
        TFlashFileAttr a = filledRecord();
        GetFlashFileAttr(dir / name, a);
        EXPECT_FALSE(a.IsFlashFile) << name;
        EXPECT_EQ(a.Version, "") << name;
        EXPECT_EQ(a.FileSize + a.FrameRate + a.FrameCount + a.Width + a.Height, 0) << name;
        EXPECT_EQ(a.BackColorRed + a.BackColorGreen + a.BackColorBlue, 0) << name;
    }
}

TEST(FlashFileAttr, ExtensionCaseDoesNotMatterAndSwfNeedsNoSignature) {
    TempFolder dir;
    Bytes movie = swfw::headerMovie(classic());
    kvtest::writeBytes(dir / "A.SWF", movie);
    kvtest::writeBytes(dir / "B.ExE", swfw::projector(swfw::fakeStub(64), movie));
    movie[0] = movie[1] = movie[2] = 'x';  // no signature test
    kvtest::writeBytes(dir / "C.Swf", movie);
    for (auto name : {"A.SWF", "B.ExE", "C.Swf"}) {
        TFlashFileAttr a = readAttr(dir / name);
        EXPECT_TRUE(a.IsFlashFile) << name;
        EXPECT_EQ(a.Width, 550) << name;
    }
}

TEST(FlashFileAttr, MissingFileOrFolderLeavesTheRecordAlone) {
    TempFolder dir;
    std::filesystem::create_directories(dir / "folder.swf");
    for (auto name : {"none.swf", "none.exe", "none.txt", "folder.swf"}) {
        TFlashFileAttr a = filledRecord();
        GetFlashFileAttr(dir / name, a);
        EXPECT_TRUE(a.IsFlashFile) << name;
        EXPECT_EQ(a.Version, "9") << name;
        EXPECT_EQ(a.Width, 7) << name;
    }
}

TEST(FlashFileAttr, TruncatedFilesRaiseReadErrorAndLeaveTheRecord) {
    TempFolder dir;
    Bytes movie = swfw::headerMovie(classic());  // values end at byte 26
    HeaderSpec compressed = classic();
    compressed.signature = 'C';
    Bytes cws = swfw::headerMovie(compressed);
    Bytes brokenStream = cws;
    brokenStream[8] ^= 0xFF;  // zlib header no longer valid
    Bytes longLength = swfw::projector(swfw::fakeStub(10), movie);
    longLength[longLength.size() - 1] = 0x7F;  // movie longer than the file
    struct Case {
        const char* name;
        Bytes data;
    };
    const Case cases[] = {
        {"empty.swf", {}},
        {"short.swf", Bytes(movie.begin(), movie.begin() + 25)},
        {"header.swf", Bytes(movie.begin(), movie.begin() + 6)},
        {"cws.swf", Bytes(cws.begin(), cws.begin() + 12)},
        {"tiny.exe", {0x56, 0x34, 0x12}},
        {"long.exe", longLength},
        {"inner.exe", swfw::projector(swfw::fakeStub(5000), Bytes(movie.begin(), movie.begin() + 20))},
    };
    for (const Case& c : cases) {
        kvtest::writeBytes(dir / c.name, c.data);
        TFlashFileAttr a = filledRecord();
        EXPECT_THROW(GetFlashFileAttr(dir / c.name, a), FileReadError) << c.name;
        EXPECT_EQ(a.Version, "9") << c.name;
    }
    kvtest::writeBytes(dir / "exact.swf", Bytes(movie.begin(), movie.begin() + 26));
    EXPECT_EQ(readAttr(dir / "exact.swf").BackColorBlue, 0x30);
}

// A damaged zlib stream still yields the plain header's version and length.
TEST(FlashFileAttr, DamagedStreamGivesVersionAndLengthOnly) {
    TempFolder dir;
    HeaderSpec compressed = classic();
    compressed.signature = 'C';
    compressed.version = 9;
    Bytes cws = swfw::headerMovie(compressed);
    Bytes badHeader = cws, badData = cws;
    badHeader[8] ^= 0xFF;                                            // zlib header no longer valid
    for (size_t i = 10; i < badData.size(); ++i) badData[i] = 0xFF;  // invalid block type
    for (auto& [name, data] : {std::pair{"header.swf", badHeader}, std::pair{"data.swf", badData}}) {
        kvtest::writeBytes(dir / name, data);
        TFlashFileAttr a = filledRecord();
        ASSERT_NO_THROW(GetFlashFileAttr(dir / name, a)) << name;
        EXPECT_TRUE(a.IsFlashFile) << name;
        EXPECT_EQ(a.Version, "9") << name;
        EXPECT_EQ(a.FileSize, static_cast<int32_t>(cws[4] | cws[5] << 8 | cws[6] << 16 | cws[7] << 24))
            << name;
        EXPECT_EQ(a.FrameRate + a.FrameCount + a.Width + a.Height, 0) << name;
        EXPECT_EQ(a.BackColorRed + a.BackColorGreen + a.BackColorBlue, 0) << name;
    }
}

// Version 8+ movies start with file attributes (and often metadata): the
// colour comes from the set-background-colour tag among the leading tags.
TEST(FlashFileAttr, BackgroundColourIsFoundAmongTheLeadingTags) {
    const Bytes attributes = swfw::tag(69, {0x08, 0, 0, 0});
    const Bytes metadata = swfw::tag(77, Bytes(300, 'x'));  // long form
    const Bytes colour = swfw::tag(9, {0xAB, 0xCD, 0xEF});
    struct Case {
        const char* what;
        char signature;
        std::vector<Bytes> tags;
        int rgb;  // expected red*65536 + green*256 + blue
    } cases[] = {
        {"first tag", 'F', {colour}, 0xABCDEF},
        {"after file attributes", 'F', {attributes, colour}, 0xABCDEF},
        {"after attributes and metadata", 'F', {attributes, metadata, colour}, 0xABCDEF},
        {"compressed", 'C', {attributes, metadata, colour}, 0xABCDEF},
        {"none before the first frame", 'F', {attributes, swfw::tag(1, {}), colour}, 0},
        {"no colour at all", 'F', {attributes}, 0},
        {"beyond the searched window", 'F', {attributes, swfw::tag(77, Bytes(2000, 'x')), colour}, 0},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        swfw::Movie m;
        m.signature = c.signature;
        m.version = 8;
        m.frameCount = 5;
        for (const Bytes& t : c.tags) m.add(t);
        kvtest::writeBytes(dir / "v8.swf", m.build());
        TFlashFileAttr a = readAttr(dir / "v8.swf");
        EXPECT_EQ(a.FrameCount, 5) << c.what;
        EXPECT_EQ(a.Width, 550) << c.what;
        EXPECT_EQ(a.BackColorRed * 65536 + a.BackColorGreen * 256 + a.BackColorBlue, c.rgb) << c.what;
    }
}

TEST(SWFParser, BitReaderTakesMostSignificantBitsFirstAndZeroPastTheEnd) {
    const uint8_t data[] = {0xB5, 0x0F};  // 1011 0101 0000 1111
    TSWFParser p;
    p.Attach(data, sizeof data);
    p.ResetBitBuffer();
    EXPECT_EQ(p.GetBits(1), 1u);
    EXPECT_EQ(p.GetSignedBits(3), 3);
    EXPECT_EQ(p.GetBits(0), 0u);
    EXPECT_EQ(p.GetBits(6), 0x14u);  // crosses into the second byte
    EXPECT_EQ(p.GetSignedBits(3), 1);
    EXPECT_EQ(p.GetSignedBits(3), -1);
    EXPECT_EQ(p.GetBits(16), 0u);  // past the end
    p.Attach(data, sizeof data);
    p.ResetBitBuffer();
    EXPECT_EQ(p.GetSignedBits(12), static_cast<int32_t>(0xFFFFFB50u));
    EXPECT_EQ(p.GetBits(32), 0xF0000000u);
}
