#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "flashfile/FlashFileAttr.h"
#include "flashfile/Projector.h"
#include "tests/flashfile/SmallDisk.h"
#include "tests/flashfile/TestFiles.h"
#include "tools/swfwriter/HeaderVariants.h"

using namespace kv;
using kvtest::readBytes;
using kvtest::TempFolder;
using kvtest::writeBytes;
using swfw::Bytes;

namespace {

Bytes movieOf(size_t size) {
    swfw::HeaderSpec s;
    s.padding = size - swfw::headerMovie(s).size() - 6;
    Bytes m = swfw::headerMovie(s);
    EXPECT_EQ(m.size(), size);
    return m;
}

}  // namespace

TEST(Projector, BuildsStubMovieTrailerAndExtractsTheMovieAgain) {
    TempFolder dir;
    Bytes stub = swfw::fakeStub(300000);
    Bytes movie = movieOf(1000);
    writeBytes(dir / "SAKorvamelden.exe", stub);
    writeBytes(dir / "m.swf", movie);

    SwfToExe(dir / "m.swf", dir / "p.exe", dir / "SAKorvamelden.exe");
    Bytes exe = readBytes(dir / "p.exe");
    ASSERT_EQ(exe.size(), 301008u);
    EXPECT_TRUE(std::equal(stub.begin(), stub.end(), exe.begin()));
    EXPECT_TRUE(std::equal(movie.begin(), movie.end(), exe.begin() + 300000));
    EXPECT_EQ(Bytes(exe.end() - 8, exe.end()), Bytes({0x56, 0x34, 0x12, 0xFA, 0xE8, 0x03, 0x00, 0x00}));

    EXPECT_TRUE(ExeToSwf(dir / "p.exe", dir / "back.swf"));
    EXPECT_EQ(readBytes(dir / "back.swf"), movie);
}

TEST(Projector, ProgramWithoutTrailerYieldsNoMovieAndNoError) {
    TempFolder dir;
    writeBytes(dir / "prog.exe", swfw::fakeStub(5000));
    EXPECT_FALSE(ExeToSwf(dir / "prog.exe", dir / "out.swf"));
    EXPECT_FALSE(kvtest::fileExists(dir / "out.swf"));
}

TEST(Projector, ProjectorBuiltOnAProjectorCarriesTheLastMovie) {
    TempFolder dir;
    swfw::HeaderSpec first, last;
    first.frameCount = 11;
    last.frameCount = 22;
    Bytes lastMovie = swfw::headerMovie(last);
    writeBytes(dir / "stub.exe", swfw::projector(swfw::fakeStub(4000), swfw::headerMovie(first)));
    writeBytes(dir / "last.swf", lastMovie);

    SwfToExe(dir / "last.swf", dir / "p.exe", dir / "stub.exe");
    TFlashFileAttr attr;
    GetFlashFileAttr(dir / "p.exe", attr);
    EXPECT_EQ(attr.FrameCount, 22);
    ASSERT_TRUE(ExeToSwf(dir / "p.exe", dir / "out.swf"));
    EXPECT_EQ(readBytes(dir / "out.swf"), lastMovie);
}

TEST(Projector, TargetThatIsAnInputIsRefusedAndTheInputKept) {
    TempFolder dir;
    Bytes stub = swfw::fakeStub(3000);
    Bytes movie = movieOf(500);
    Bytes exe = swfw::projector(stub, movie);
    writeBytes(dir / "stub.exe", stub);
    writeBytes(dir / "m.swf", movie);
    writeBytes(dir / "p.exe", exe);
    std::filesystem::create_hard_link(dir / "m.swf", dir / "link.exe");
    std::filesystem::create_hard_link(dir / "p.exe", dir / "plink.swf");

    EXPECT_THROW(SwfToExe(dir / "m.swf", dir / "m.swf", dir / "stub.exe"), FileError);
    EXPECT_THROW(SwfToExe(dir / "m.swf", dir / "stub.exe", dir / "stub.exe"), FileError);
    EXPECT_THROW(SwfToExe(dir / "m.swf", dir / "link.exe", dir / "stub.exe"), FileError);
    EXPECT_THROW(ExeToSwf(dir / "p.exe", dir / "plink.swf"), FileError);
    EXPECT_THROW(CopyFileOver(dir / "m.swf", dir / "link.exe"), FileError);
    EXPECT_EQ(readBytes(dir / "stub.exe"), stub);
    EXPECT_EQ(readBytes(dir / "m.swf"), movie);
    EXPECT_EQ(readBytes(dir / "p.exe"), exe);
}

TEST(Projector, UnreadableInputsFailWithoutTouchingTheTarget) {
    TempFolder dir;
    Bytes old = {1, 2, 3};
    writeBytes(dir / "stub.exe", swfw::fakeStub(100));
    writeBytes(dir / "m.swf", movieOf(200));
    writeBytes(dir / "target.exe", old);
    Bytes longLength = swfw::projector(swfw::fakeStub(10), movieOf(200));
    longLength.back() = 0x40;
    writeBytes(dir / "long.exe", longLength);
    writeBytes(dir / "tiny.exe", {0x56, 0x34});

    EXPECT_THROW(SwfToExe(dir / "none.swf", dir / "target.exe", dir / "stub.exe"), FileReadError);
    EXPECT_THROW(SwfToExe(dir / "m.swf", dir / "target.exe", dir / "nostub.exe"), FileReadError);
    EXPECT_THROW(ExeToSwf(dir / "long.exe", dir / "target.exe"), FileReadError);
    EXPECT_THROW(ExeToSwf(dir / "tiny.exe", dir / "target.exe"), FileReadError);
    EXPECT_THROW(ExeToSwf(dir / "none.exe", dir / "target.exe"), FileReadError);
    EXPECT_EQ(readBytes(dir / "target.exe"), old);
    EXPECT_THROW(SwfToExe(dir / "m.swf", (dir / "nofolder") + kvtest::kSep + "t.exe", dir / "stub.exe"),
                 FileError);
}

TEST(Projector, CopyReplacesTheTarget) {
    TempFolder dir;
    Bytes movie = movieOf(3000);
    writeBytes(dir / "m.swf", movie);
    writeBytes(dir / "t.swf", swfw::fakeStub(9000));
    CopyFileOver(dir / "m.swf", dir / "t.swf");
    EXPECT_EQ(readBytes(dir / "t.swf"), movie);
}

namespace {

// Names of the files in a folder (to see that no temporary file is left).
size_t fileCount(const TempFolder& dir) {
    size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) n += e.is_regular_file();
    return n;
}

}  // namespace

TEST(Projector, FailureMidwayKeepsTheOldTargetAndLeavesNoTemporaryFile) {
    TempFolder dir;
    Bytes old = {7, 7, 7};
    writeBytes(dir / "stub.exe", swfw::fakeStub(600000));
    writeBytes(dir / "m.swf", movieOf(1000));
    writeBytes(dir / "t.exe", old);
    size_t before = fileCount(dir);
    // The movie is refused after the stub has been copied (it is the target).
    CopyWatch watch;
    uint64_t seen = 0;
    watch.progress = [&](uint64_t done, uint64_t) { seen = done; };
    EXPECT_THROW(SwfToExe(dir / "t.exe", dir / "t.exe", dir / "stub.exe", &watch), FileError);
    EXPECT_EQ(readBytes(dir / "t.exe"), old);
    // A movie that cannot be opened fails before anything is written.
    EXPECT_THROW(SwfToExe(dir / "none.swf", dir / "t.exe", dir / "stub.exe"), FileReadError);
    EXPECT_EQ(readBytes(dir / "t.exe"), old);
    EXPECT_EQ(fileCount(dir), before);
    EXPECT_EQ(watch.written, 0u);
}

TEST(Projector, ProgressCountsBytesWithinAFileAndReportsTheWrittenSize) {
    TempFolder dir;
    writeBytes(dir / "stub.exe", swfw::fakeStub(600000));
    writeBytes(dir / "m.swf", movieOf(700000));
    CopyWatch watch;
    std::vector<std::pair<uint64_t, uint64_t>> steps;
    watch.progress = [&](uint64_t done, uint64_t total) { steps.push_back({done, total}); };
    SwfToExe(dir / "m.swf", dir / "p.exe", dir / "stub.exe", &watch);
    const uint64_t total = 600000 + 700000 + 8;
    ASSERT_GE(steps.size(), 4u);  // several blocks, not one step per file
    EXPECT_EQ(steps.back(), std::make_pair(total, total));
    for (size_t i = 1; i < steps.size(); ++i) EXPECT_GT(steps[i].first, steps[i - 1].first);
    EXPECT_EQ(watch.written, total);
    EXPECT_EQ(readBytes(dir / "p.exe").size(), total);

    CopyWatch back;
    EXPECT_TRUE(ExeToSwf(dir / "p.exe", dir / "m2.swf", &back));
    EXPECT_EQ(back.written, 700000u);
    EXPECT_EQ(readBytes(dir / "m2.swf"), readBytes(dir / "m.swf"));
}

TEST(Projector, MoviesOverThePlayersLimitAreRefusedInBothDirections) {
    TempFolder dir;
    writeBytes(dir / "stub.exe", swfw::fakeStub(100));
    writeBytes(dir / "big.swf", movieOf(100));
    std::filesystem::resize_file(dir / "big.swf", kMaxConvertedMovie + 1);  // sparse
    EXPECT_THROW(SwfToExe(dir / "big.swf", dir / "p.exe", dir / "stub.exe"), FileError);
    EXPECT_FALSE(ExclusiveFile::exists(dir / "p.exe"));
    // A projector whose trailer claims more than the limit.
    writeBytes(dir / "fake.exe", {});
    std::filesystem::resize_file(dir / "fake.exe", kMaxConvertedMovie + 9);
    {
        ExclusiveFile f;
        ASSERT_EQ(f.open(dir / "fake.exe", ExclusiveFile::Mode::ReadShared), ExclusiveFile::OpenStatus::Ok);
    }
    Bytes trailer = {0x56, 0x34, 0x12, 0xFA, 0x01, 0x00, 0x00, 0x10};  // 256 MB + 1
    {
        std::FILE* f = std::fopen((dir / "fake.exe").c_str(), "r+b");
        ASSERT_NE(f, nullptr);
        std::fseek(f, -8, SEEK_END);
        std::fwrite(trailer.data(), 1, 8, f);
        std::fclose(f);
    }
    EXPECT_THROW(ExeToSwf(dir / "fake.exe", dir / "m.swf"), FileError);
    EXPECT_FALSE(ExclusiveFile::exists(dir / "m.swf"));
}

TEST(Projector, ConvertsWhileTheStubIsOpenElsewhere) {
    TempFolder dir;
    writeBytes(dir / "stub.exe", swfw::fakeStub(100));
    writeBytes(dir / "m.swf", movieOf(100));
    ExclusiveFile running;  // a started projector keeps its own file open for reading
    ASSERT_EQ(running.open(dir / "stub.exe", ExclusiveFile::Mode::ReadShared), ExclusiveFile::OpenStatus::Ok);
    SwfToExe(dir / "m.swf", dir / "p.exe", dir / "stub.exe");
    EXPECT_EQ(readBytes(dir / "p.exe").size(), 208u);
}

namespace {

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        out.push_back(e.path().filename().string());
    return out;
}

}  // namespace

// A target on a full disk fails part way, one on a read-only disk at once;
// either way every input stays, an old target keeps its bytes and no
// temporary file is left on the disk.
TEST(Projector, FullOrReadOnlyDiskFailsKeepingInputsAndTheOldTarget) {
    TempFolder dir;
    const Bytes stub = swfw::fakeStub(100000), movie = movieOf(600000);
    const Bytes exe = swfw::projector(stub, movie), old = {1, 2, 3};
    writeBytes(dir / "stub.exe", stub);
    writeBytes(dir / "m.swf", movie);
    writeBytes(dir / "p.exe", exe);
    struct Routine {
        const char* name;
        std::function<void(const std::string& target, CopyWatch* watch)> run;
    };
    const Routine routines[] = {
        {"SwfToExe",
         [&](const std::string& t, CopyWatch* w) { SwfToExe(dir / "m.swf", t, dir / "stub.exe", w); }},
        {"ExeToSwf", [&](const std::string& t, CopyWatch* w) { ExeToSwf(dir / "p.exe", t, w); }},
        {"CopyFileOver", [&](const std::string& t, CopyWatch* w) { CopyFileOver(dir / "m.swf", t, w); }},
    };
    for (bool readOnly : {false, true}) {
        for (const Routine& r : routines) {
            SCOPED_TRACE(std::string(r.name) + (readOnly ? " read-only" : " full"));
            kvtest::SmallDisk disk(256 << 10);
            if (!disk.ok()) {
                GTEST_SKIP() << kvtest::SmallDisk::skipReason();
            }
            writeBytes(disk.file("t.bin"), old);
            if (readOnly) {
                ASSERT_TRUE(disk.makeReadOnly());
            }
            CopyWatch watch;
            uint64_t progressed = 0;
            watch.progress = [&](uint64_t done, uint64_t) { progressed = done; };
            EXPECT_THROW(r.run(disk.file("t.bin"), &watch), FileError);
            EXPECT_EQ(readBytes(disk.file("t.bin")), old);
            EXPECT_EQ(namesIn(disk.path()), std::vector<std::string>{"t.bin"});
            EXPECT_EQ(watch.written, 0u);
            if (readOnly) {
                EXPECT_EQ(progressed, 0u);  // refused before the first byte
            }
            EXPECT_EQ(readBytes(dir / "m.swf"), movie);
            EXPECT_EQ(readBytes(dir / "p.exe"), exe);
            EXPECT_EQ(readBytes(dir / "stub.exe"), stub);
        }
    }
}
