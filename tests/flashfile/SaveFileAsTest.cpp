#include <gtest/gtest.h>

#include "flashfile/SaveFileAs.h"
#include "tests/flashfile/TestFiles.h"
#include "tests/support/FakeUiServices.h"
#include "tools/swfwriter/HeaderVariants.h"

using namespace kv;
using kvtest::readBytes;
using kvtest::TempFolder;
using kvtest::writeBytes;
using swfw::Bytes;

namespace {

struct SaveAsFixture {
    TempFolder dir;
    std::string program = dir / "prog\\";
    Bytes stub = swfw::fakeStub(2000);
    Bytes movie = swfw::headerMovie({});
    Bytes exe = swfw::projector(swfw::fakeStub(700, 9), swfw::headerMovie({}));
    kv::test::FakeUiServices ui;

    SaveAsFixture() {
        std::filesystem::create_directories(dir / "prog");
        writeBytes(program + "SAKorvamelden.exe", stub);
        writeBytes(dir / "m.swf", movie);
        writeBytes(dir / "p.exe", exe);
    }
};

}  // namespace

TEST(SaveFileAs, CopiesOrConvertsByTheExtensionsInAnyCase) {
    SaveAsFixture f;
    struct Case {
        const char* source;
        const char* target;
        bool written;
        Bytes expected;
    };
    const Case cases[] = {
        {"m.swf", "copy.SWF", true, f.movie},
        {"m.swf", "proj.Exe", true, swfw::projector(f.stub, f.movie)},
        {"p.exe", "out.swf", true, swfw::headerMovie({})},
        {"p.exe", "copy.EXE", true, f.exe},
        {"m.swf", "other.txt", false, {}},
        {"p.exe", "noext", false, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SaveFileAs(f.dir / c.source, f.dir / c.target, f.program), c.written) << c.target;
        EXPECT_EQ(readBytes(f.dir / c.target), c.expected) << c.target;
    }
    EXPECT_TRUE(f.ui.messages.empty());
}

TEST(SaveFileAs, MissingStubIsReportedWithItsPath) {
    SaveAsFixture f;
    std::string program = f.dir / "empty\\";
    EXPECT_FALSE(SaveFileAs(f.dir / "m.swf", f.dir / "p2.exe", program));
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "文件”" + program + "SAKorvamelden.exe“丢失，请重新安装本软件");
    EXPECT_EQ(f.ui.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(f.ui.messages[0].flags, static_cast<unsigned>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_FALSE(kvtest::fileExists(f.dir / "p2.exe"));
}

TEST(SaveFileAs, FailedConversionShowsConversionFailedAndFailedCopyNothing) {
    SaveAsFixture f;
    Bytes badLength = f.exe;
    badLength.back() = 0x70;
    writeBytes(f.dir / "bad.exe", badLength);
    // Conversions that fail: missing source, a broken trailer, the target being the stub.
    EXPECT_FALSE(SaveFileAs(f.dir / "none.swf", f.dir / "x.exe", f.program));
    EXPECT_FALSE(SaveFileAs(f.dir / "bad.exe", f.dir / "x.swf", f.program));
    EXPECT_FALSE(SaveFileAs(f.dir / "m.swf", f.program + "sakorvamelden.EXE", f.program));
    ASSERT_EQ(f.ui.messages.size(), 3u);
    for (const auto& m : f.ui.messages) {
        EXPECT_EQ(m.text, "转换失败");
        EXPECT_EQ(m.caption, "TesvanorFlash播放器");
        EXPECT_EQ(m.flags, static_cast<unsigned>(MB_OK));
    }
    EXPECT_EQ(readBytes(f.program + "SAKorvamelden.exe"), f.stub);
    // Copies that fail stay silent.
    EXPECT_FALSE(SaveFileAs(f.dir / "none.swf", f.dir / "y.swf", f.program));
    EXPECT_FALSE(SaveFileAs(f.dir / "m.swf", f.dir / "M.SWF", f.program));
    EXPECT_EQ(f.ui.messages.size(), 3u);
    EXPECT_EQ(readBytes(f.dir / "m.swf"), f.movie);
}
