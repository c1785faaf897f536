// The folder walker and the library scan on real folders (natively and under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "playlist/DirectoryWalker.h"
#include "playlist/ItemLayout.h"
#include "playlist/LibraryScan.h"
#include "tests/platform/TempFolder.h"

namespace kv {
namespace {

using Strings = std::vector<std::string>;

// Collects the movies a search would add, and can stop at a chosen moment.
struct MovieCollector : WalkVisitor {
    Strings found, folders;
    std::function<bool()> keepGoing = [] { return true; };
    bool proceed() override { return keepGoing(); }
    void folderEntered(const std::string& f) override { folders.push_back(f); }
    bool file(const std::string& path, std::size_t nameOffset) override {
        if (HasExtension(path, nameOffset, {".swf", ".exe"})) found.push_back(path.substr(nameOffset));
        return true;
    }
};

class WalkerTest : public ::testing::Test {
protected:
    kvtest::TempFolder tmp;
    std::string dir(const std::string& rel) {
        std::string p = tmp.file(rel);
        kvtest::fs::create_directories(p);
        return p;
    }
    void touch(const std::string& rel) { kvtest::WriteFileBytes(tmp.file(rel), "x"); }
    static std::string sep() { return std::string(1, kPathSeparator); }
};

TEST_F(WalkerTest, FilesOfAFolderComeBeforeThoseOfItsSubFolders) {
    dir("sub");
    touch("a.SWF");
    touch("b.exe");
    touch("c.txt");
    touch("sub" + sep() + "d.swf");
    dir("x.swf");  // a folder with a movie's extension is no movie
    MovieCollector c;
    EXPECT_TRUE(WalkFolder(tmp.path(), c));
    ASSERT_EQ(c.found.size(), 3u);
    EXPECT_EQ(c.found.back(), "d.swf");
    Strings first(c.found.begin(), c.found.begin() + 2);
    std::sort(first.begin(), first.end());
    EXPECT_EQ(first, (Strings{"a.SWF", "b.exe"}));
}

TEST_F(WalkerTest, StoppingInsideASubFolderEndsTheWholeWalkAndKeepsTheFinds) {
    touch("a.swf");
    dir("s1");
    dir("s2");
    for (int i = 0; i < 5; ++i) {
        touch("s1" + sep() + std::to_string(i) + ".swf");
        touch("s2" + sep() + std::to_string(i) + ".swf");
    }
    MovieCollector c;
    // Stop at the second entry looked at after the first sub-folder was entered.
    int afterSub = -1;
    c.keepGoing = [&] {
        if (c.folders.size() > 1) ++afterSub;
        return afterSub < 2;
    };
    EXPECT_FALSE(WalkFolder(tmp.path(), c));
    EXPECT_EQ(c.found.size(), 3u);  // a.swf and two files of the sub-folder
    EXPECT_EQ(c.folders.size(), 2u);
}

TEST_F(WalkerTest, NotRecursiveStaysInTheFolder) {
    touch("a.swf");
    dir("sub");
    touch("sub" + sep() + "d.swf");
    MovieCollector c;
    WalkOptions o;
    o.recursive = false;
    EXPECT_TRUE(WalkFolder(tmp.path() + sep(), c, o));
    EXPECT_EQ(c.found, Strings{"a.swf"});
}

TEST_F(WalkerTest, PathsLongerThanTheLimitAreSkipped) {
    std::string deep = std::string(30, 'd');
    dir(deep);
    touch("short.swf");
    touch(std::string(40, 'f') + ".swf");
    touch(deep + sep() + "in.swf");
    MovieCollector c;
    WalkOptions o;
    o.maxPathLength = tmp.path().size() + 1 + 30;  // short names and the folder fit, its listing does not
    EXPECT_TRUE(WalkFolder(tmp.path(), c, o));
    EXPECT_EQ(c.found, Strings{"short.swf"});
}

TEST_F(WalkerTest, AMissingFolderIsAnEmptyWalk) {
    MovieCollector c;
    EXPECT_TRUE(WalkFolder(tmp.file("nothing"), c));
    EXPECT_TRUE(c.found.empty());
}

#ifndef _WIN32
TEST_F(WalkerTest, LinkLoopsAreNotFollowedAndUnreadableFoldersArePassedOver) {
    dir("a");
    touch("a/1.swf");
    kvtest::fs::create_directory_symlink(tmp.path(), tmp.file("a/loop"));
    kvtest::fs::create_symlink(tmp.file("a/1.swf"), tmp.file("a/link.swf"));
    dir("locked");
    touch("locked/2.swf");
    chmod(tmp.file("locked").c_str(), 0);
    // As root every folder is readable: the child gives up its rights first.
    int rc = kvtest::RunInReadOnlyFolder(tmp.file("a"), [&] {
        MovieCollector c;
        bool done = WalkFolder(tmp.path(), c);
        Strings f = c.found;
        std::sort(f.begin(), f.end());
        return done && f == Strings{"1.swf", "link.swf"} ? 0 : 1;
    });
    chmod(tmp.file("locked").c_str(), 0755);
    EXPECT_EQ(rc, 0);
}
#endif

TEST(HasExtension, ComparesTheLastExtensionOfTheNameWithoutAsciiCase) {
    struct Case {
        std::string path;
        std::size_t nameOffset;
        bool movie;
    } cases[] = {
        {"C:\\a\\A.SWF", 5, true},        {"C:\\a\\b.Exe", 5, true},   {"C:\\a\\b.swf.txt", 5, false},
        {"C:\\a.swf\\noext", 7, false},   {"C:\\a\\.swf", 5, true},    {"C:\\a\\b.sw", 5, false},
        {"C:\\a\\\xD6\xD0.swf", 5, true}, {"C:\\a\\b.swfx", 5, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasExtension(c.path, c.nameOffset, {".swf", ".exe"}), c.movie) << c.path;
}

TEST_F(WalkerTest, SearchFilesByExtMatchesCapitalsAndSubFoldersOncePerListedExtension) {
    touch("a.fpl");
    touch("B.FPL");
    touch("c.txt");
    dir("old");
    touch("old" + sep() + "cartoons.fpl");
    Strings found;
    SearchFilesByExt(tmp.path(), true, {".fpl"}, found);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found.back(), tmp.path() + sep() + "old" + sep() + "cartoons.fpl");
    found.clear();
    SearchFilesByExt(tmp.path(), false, {".FPL", ".fpl"}, found);
    EXPECT_EQ(found.size(), 4u);  // each of the two files once per extension
    found.clear();
    SearchFilesByExt(tmp.file("missing"), true, {".fpl"}, found);
    EXPECT_TRUE(found.empty());
}

TEST(ItemLayout, NumberAndTitleOffsetsFollowTheAlignmentAndTheDigitCount) {
    struct Case {
        int position, count, size, alignment;
        bool showIndex;
        int numberX, titleX;
    } cases[] = {
        {6, 120, 9, 2, true, 11, 34},                                   // (3-1)*9 div 2 + 2; 13.5 goes to 14
        {6, 120, 9, 1, true, 6, 34},                                    // (3-1)*9 div 4 + 2
        {6, 120, 9, 0, true, 2, 34},      {6, 120, 9, 7, true, 2, 34},  // unknown alignment draws left
        {98, 120, 9, 2, true, 6, 34},                                   // two of three digits
        {119, 120, 9, 2, true, 2, 34},    {0, 5, 9, 2, true, 2, 24},    // 4.5 goes to 4
        {0, 5, 11, 2, true, 2, 26},                                     // 5.5 goes to 6
        {0, 100000, 10, 2, true, 27, 50}, {3, 120, 9, 2, false, 0, 2},
    };
    for (const Case& c : cases) {
        ItemLayout l = ComputeItemLayout(c.position, c.count, c.size, c.alignment, c.showIndex, 6);
        if (c.showIndex) {
            EXPECT_EQ(l.numberX, c.numberX) << c.position << "/" << c.count;
        }
        EXPECT_EQ(l.titleX, c.titleX) << c.position << "/" << c.count;
        EXPECT_EQ(l.textY, 3);
    }
    EXPECT_EQ(ComputeItemLayout(0, 1, 9, 0, true, 7).textY, 3);
}

}  // namespace
}  // namespace kv
