#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "flashfile/ConvertList.h"
#include "tests/flashfile/TestFiles.h"
#include "tools/swfwriter/HeaderVariants.h"

using namespace kv;
using kvtest::readBytes;
using kvtest::TempFolder;
using kvtest::writeBytes;
using swfw::Bytes;

namespace {

Bytes movie(size_t padding) {
    swfw::HeaderSpec s;
    s.padding = padding;
    return swfw::headerMovie(s);
}

std::vector<std::string> states(const ConvertList& l) {
    std::vector<std::string> out;
    for (const auto& r : l.rows) out.push_back(ConvertStateText(r.state));
    return out;
}

// A list of movies in `dir` converted to projectors in the same folder.
struct RunFixture {
    TempFolder& dir;
    ConvertList list;
    std::vector<double> progress;

    void addMovie(const std::string& name) {
        writeBytes(dir / (name + ".swf"), movie(500));
        ConvertRow r;
        r.source = dir / (name + ".swf");
        r.target = dir / (name + ".exe");
        list.rows.push_back(r);
    }
    bool run() {
        ConvertRunHooks h;
        h.convert = [&](const ConvertRow& row, CopyWatch& w) {
            return ConvertRowFile(row, kSwfToExe, dir / "stub.exe", w);
        };
        h.progress = [&](double p) { progress.push_back(p); };
        return RunConversion(list, h);
    }
};

}  // namespace

TEST(ConvertList, TargetsFollowTheOutputFolderAndTheMode) {
    struct Case {
        const char* source;
        const char* savePath;
        int mode;
        const char* target;
    } cases[] = {
        {"C:\\a\\movie.exe", "D:\\out\\", kExeToSwf, "D:\\out\\movie.swf"},
        {"C:\\a\\movie.exe", "", kExeToSwf, "C:\\a\\movie.swf"},
        {"C:\\a\\Movie.SWF", "", kSwfToExe, "C:\\a\\Movie.exe"},
        {"C:\\a.b\\noext", "", kSwfToExe, "C:\\a.b\\noext.exe"},
        {"C:\\游戏\\动画.swf", "E:\\新\\", kSwfToExe, "E:\\新\\动画.exe"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ConvertTargetFor(c.source, c.savePath, c.mode), c.target) << c.source;

    ConvertList l;
    l.add("C:\\a\\x.exe", "", kExeToSwf);
    l.add("C:\\b\\y.exe", "D:\\out\\", kExeToSwf);
    l.retarget("E:\\new\\");
    EXPECT_EQ(l.rows[0].target, "E:\\new\\x.swf");
    EXPECT_EQ(l.rows[1].target, "E:\\new\\y.swf");
    EXPECT_TRUE(l.rows[0].ticked);
    EXPECT_EQ(l.rows[0].state, ConvertState::Ready);
}

TEST(ConvertList, MovingARowMovesItsTextsButNotItsTickOrState) {
    ConvertList l;
    for (const char* s : {"C:\\1.swf", "C:\\2.swf", "C:\\3.swf"}) l.add(s, "", kSwfToExe);
    l.rows[1].ticked = false;
    l.rows[2].state = ConvertState::Failed;
    EXPECT_TRUE(l.moveUp(2));
    EXPECT_EQ(l.rows[1].source, "C:\\3.swf");
    EXPECT_EQ(l.rows[1].target, "C:\\3.exe");
    EXPECT_EQ(l.rows[2].source, "C:\\2.swf");
    EXPECT_FALSE(l.rows[1].ticked);
    EXPECT_TRUE(l.rows[2].ticked);
    EXPECT_EQ(l.rows[2].state, ConvertState::Failed);
    EXPECT_FALSE(l.moveUp(0));
    EXPECT_FALSE(l.moveDown(2));
    EXPECT_TRUE(l.moveDown(0));
    EXPECT_EQ(l.rows[0].source, "C:\\3.swf");

    l.invertTicks();
    EXPECT_EQ(l.tickedCount(), 1u);
    l.removeTicked(false);
    ASSERT_EQ(l.rows.size(), 1u);
    EXPECT_EQ(l.rows[0].source, "C:\\1.swf");
}

TEST(ConvertList, TheSecondOfThreeFailingEndsTheRunWithTwoOfThreeDone) {
    TempFolder dir;
    writeBytes(dir / "stub.exe", swfw::fakeStub(3000));
    RunFixture f{dir, {}, {}};
    for (const char* n : {"a", "b", "c"}) f.addMovie(n);
    f.list.rows[1].source = dir / "missing.swf";
    EXPECT_FALSE(f.run());
    EXPECT_EQ(states(f.list), (std::vector<std::string>{"转换成功", "转换失败", "准备就绪"}));
    EXPECT_EQ(f.progress.back(), 2.0);
    EXPECT_TRUE(ExclusiveFile::exists(dir / "a.exe"));
    EXPECT_FALSE(ExclusiveFile::exists(dir / "c.exe"));
}

TEST(ConvertList, ConvertedTargetsComeLastRowFirstAndSkipUntickedAndFailedRows) {
    TempFolder dir;
    writeBytes(dir / "stub.exe", swfw::fakeStub(3000));
    RunFixture f{dir, {}, {}};
    for (const char* n : {"a", "b", "c"}) f.addMovie(n);
    f.list.rows[1].ticked = false;
    EXPECT_TRUE(f.run());
    EXPECT_EQ(f.list.rows[1].state, ConvertState::Ready);
    EXPECT_EQ(ConvertedTargets(f.list), (std::vector<std::string>{dir / "c.exe", dir / "a.exe"}));
    // Progress runs in ticked rows and rises within each file.
    EXPECT_EQ(f.progress.back(), 2.0);
    for (size_t i = 1; i < f.progress.size(); ++i) EXPECT_GE(f.progress[i], f.progress[i - 1]);
}

TEST(ConvertList, SourcesAreDeletedOnlyWhenTheTargetHasTheWrittenSize) {
    TempFolder dir;
    writeBytes(dir / "stub.exe", swfw::fakeStub(3000));
    RunFixture f{dir, {}, {}};
    for (const char* n : {"a", "b", "c"}) f.addMovie(n);
    ASSERT_TRUE(f.run());
    writeBytes(dir / "b.exe", {1, 2, 3});    // changed since the run
    std::filesystem::remove(dir / "c.exe");  // gone since the run
    EXPECT_EQ(DeleteConvertedSources(f.list), 1u);
    ASSERT_EQ(f.list.rows.size(), 2u);
    EXPECT_EQ(f.list.rows[0].source, dir / "b.swf");
    EXPECT_EQ(states(f.list), (std::vector<std::string>{"转换失败", "转换失败"}));
    EXPECT_FALSE(ExclusiveFile::exists(dir / "a.swf"));
    EXPECT_TRUE(ExclusiveFile::exists(dir / "b.swf"));
    EXPECT_TRUE(ExclusiveFile::exists(dir / "c.swf"));
}

TEST(ConvertList, ATargetThatCannotBeCreatedFailsTheRowKeepsTheSourceAndLeavesNothing) {
    TempFolder dir;
    writeBytes(dir / "stub.exe", swfw::fakeStub(3000));
    std::filesystem::create_directory(dir / "taken.exe");  // a folder where the target should go
    struct Case {
        const char* name;
        std::string target;
    } cases[] = {
        {"folder in the way", dir / "taken.exe"},
        {"missing folder", (dir / "nofolder") + kvtest::kSep + "x.exe"},
    };
    for (const auto& c : cases) {
        RunFixture f{dir, {}, {}};
        f.addMovie("m");
        f.list.rows[0].target = c.target;
        EXPECT_FALSE(f.run()) << c.name;
        EXPECT_EQ(f.list.rows[0].state, ConvertState::Failed) << c.name;
        EXPECT_EQ(DeleteConvertedSources(f.list), 0u);
        EXPECT_EQ(readBytes(dir / "m.swf"), movie(500)) << c.name;
        size_t files = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
        EXPECT_EQ(files, 2u) << c.name;  // the stub and the source only
    }
}

TEST(ConvertList, AProjectorWithoutTrailerFailsItsRowInsteadOfPassing) {
    TempFolder dir;
    writeBytes(dir / "plain.exe", swfw::fakeStub(100));
    ConvertList l;
    l.add(dir / "plain.exe", "", kExeToSwf);
    l.rows[0].target = dir / "plain.swf";
    ConvertRunHooks h;
    h.convert = [&](const ConvertRow& row, CopyWatch& w) { return ConvertRowFile(row, kExeToSwf, "", w); };
    EXPECT_FALSE(RunConversion(l, h));
    EXPECT_EQ(l.rows[0].state, ConvertState::Failed);
}

// A stop asked while the second of three rows is half copied (the program is
// closing): that row fails without leaving a target or a temporary file, the
// third is not started.
TEST(ConvertList, AStopDuringARowFailsItLeavesNoPartialTargetAndEndsTheRun) {
    TempFolder dir;
    writeBytes(dir / "stub.exe", swfw::fakeStub(3000));
    RunFixture f{dir, {}, {}};
    f.addMovie("a");
    f.addMovie("b");
    f.addMovie("c");
    writeBytes(dir / "b.swf", movie(900000));  // several blocks
    ConvertRunHooks h;
    h.convert = [&](const ConvertRow& row, CopyWatch& w) {
        return ConvertRowFile(row, kSwfToExe, dir / "stub.exe", w);
    };
    h.progress = [&](double p) { f.progress.push_back(p); };
    h.stopped = [&] { return !f.progress.empty() && f.progress.back() > 1.0 && f.progress.back() < 2.0; };
    EXPECT_FALSE(RunConversion(f.list, h));
    EXPECT_EQ(states(f.list), (std::vector<std::string>{"转换成功", "转换失败", "准备就绪"}));
    EXPECT_TRUE(kvtest::fileExists(dir / "a.exe"));
    EXPECT_EQ(readBytes(dir / "b.swf"), movie(900000));
    size_t files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
    EXPECT_EQ(files, 5u);  // the stub, three sources and a.exe
}
