#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "playlist/PlayListFile.h"
#include "playlist/PlayListState.h"
#include "tests/platform/TempFolder.h"
#include "tests/playlist/RecordingPlayListView.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kv {
namespace {

using kvtest::FileExists;
using kvtest::ReadFileBytes;
using kvtest::RecordingPlayListView;
using kvtest::SetCurrentList;
using kvtest::TempFolder;
using kvtest::WriteFileBytes;
using Strings = std::vector<std::string>;

class PlayListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentList({}, {});
        CurrentIndex = 1;
        CurrentPlayListFile = folder_.file("Korvamelden.fpl");
    }
    TempFolder folder_;
    std::string fpl_ = folder_.file("list.fpl");
    RecordingPlayListView view_;
};

TEST_F(PlayListFileTest, ReadCountsHalfTheKeysAndFetchesItemsByNumber) {
    struct Case {
        const char* name;
        std::string text;
        Strings files, titles;
    } cases[] = {
        {"five keys",
         "[PlayList]\r\nFile1=a\r\nTitle1=A\r\nFile2=b\r\nTitle2=B\r\nFile3=c\r\n",
         {"a", "b"},
         {"A", "B"}},
        {"files only", "[PlayList]\r\nFile1=a\r\nFile2=b\r\n", {"a"}, {""}},
        {"any order", "[PlayList]\r\nTitle2=B\r\nFile2=b\r\nTitle1=A\r\nFile1=a\r\n", {"a", "b"}, {"A", "B"}},
        {"other names", "[PlayList]\r\nx=1\r\ny=2\r\n", {""}, {""}},
        {"other sections", "[Info]\r\nFile1=z\r\nTitle1=Z\r\n[PlayList]\r\n", {}, {}},
        {"empty file", "", {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFileBytes(fpl_, c.text);
        ReadPlayList(view_, fpl_);
        EXPECT_EQ(PlayListFiles, c.files);
        EXPECT_EQ(PlayListTitles, c.titles);
        EXPECT_EQ(view_.items, c.titles);
        EXPECT_EQ(PlayListCount, static_cast<int>(c.files.size()));
    }
}

TEST_F(PlayListFileTest, ReadStopsPlaybackAndLeavesIndexAndFileAlone) {
    SetCurrentList({"old1", "old2", "old3"}, {"o1", "o2", "o3"});
    view_.items = {"o1", "o2", "o3"};
    CurrentIndex = 3;
    WriteFileBytes(fpl_, "[PlayList]\r\nFile1=new\r\nTitle1=N\r\n");
    ReadPlayList(view_, fpl_);
    EXPECT_EQ(view_.stops, 1);
    EXPECT_EQ(view_.items, Strings{"N"});
    EXPECT_EQ(PlayListCount, 1);
    EXPECT_EQ(CurrentIndex, 3);  // now past the end; the player deals with that
    EXPECT_EQ(CurrentPlayListFile, folder_.file("Korvamelden.fpl"));

    ReadPlayList(view_, folder_.file("missing.fpl"));
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_TRUE(PlayListFiles.empty());
    EXPECT_TRUE(view_.items.empty());
}

TEST_F(PlayListFileTest, SavingThreeOverTenLeavesExactlyThreeAndOtherSections) {
    std::string text = "[Before]\r\nb=1\r\n[PlayList]\r\n";
    for (int i = 1; i <= 10; ++i)
        text += "File" + std::to_string(i) + "=f" + std::to_string(i) + "\r\nTitle" + std::to_string(i) +
                "=t\r\n";
    text += "[After]\r\na=2\r\n";
    WriteFileBytes(fpl_, text);
    SetCurrentList({"x1", "x2", "x3"}, {"T1", "T2", "T3"});
    SavePlayList(fpl_);
    EXPECT_EQ(ReadFileBytes(fpl_),
              "[Before]\r\nb=1\r\n[After]\r\na=2\r\n"
              "[PlayList]\r\nFile1=x1\r\nTitle1=T1\r\nFile2=x2\r\nTitle2=T2\r\nFile3=x3\r\nTitle3=T3\r\n");
}

TEST_F(PlayListFileTest, SavingAnEmptyListDropsTheSectionButKeepsAFile) {
    WriteFileBytes(fpl_, "[PlayList]\r\nFile1=a\r\nTitle1=a\r\n[Keep]\r\nk=1\r\n");
    SavePlayList(fpl_);
    EXPECT_EQ(ReadFileBytes(fpl_), "[Keep]\r\nk=1\r\n");

    std::string fresh = folder_.file("new.fpl");
    SavePlayList(fresh);
    EXPECT_EQ(ReadFileBytes(fresh), "");
}

TEST_F(PlayListFileTest, SaveNeverReadsPastTheLists) {
    SetCurrentList({"a", "b"}, {"A"});  // a broken caller: titles shorter than files
    PlayListCount = 5;
    SavePlayList(fpl_);
    EXPECT_EQ(ReadFileBytes(fpl_), "[PlayList]\r\nFile1=a\r\nTitle1=A\r\n");
}

TEST_F(PlayListFileTest, SendFileAppendsAfterTheItemsOnDisk) {
    std::string target = folder_.file("other.fpl");
    SetCurrentList({"cur"}, {"Cur"});
    SendFileToPlayList("T", "C:\\m.swf", target);  // creates the file
    SendFileToPlayList("T", "C:\\m.swf", target);  // no duplicate check
    EXPECT_EQ(ReadFileBytes(target),
              "[PlayList]\r\nFile1=C:\\m.swf\r\nTitle1=T\r\nFile2=C:\\m.swf\r\nTitle2=T\r\n");
    EXPECT_EQ(PlayListFiles, Strings{"cur"});  // the current list is not touched

    // Five keys count as two items, so the next one is number 3.
    WriteFileBytes(target, "[PlayList]\r\nFile1=a\r\nTitle1=a\r\nFile2=b\r\nTitle2=b\r\nFile3=c\r\n");
    SendFileToPlayList("d", "d.swf", target);
    EXPECT_EQ(IniFile(target).readString("PlayList", "File3", ""), "d.swf");
    EXPECT_EQ(IniFile(target).readString("PlayList", "Title3", ""), "d");
}

TEST_F(PlayListFileTest, SendToListSendsSelectedItemExceptToTheCurrentList) {
    std::string lists = folder_.path() + kvtest::kSep;
    SetCurrentList({"f0", "f1"}, {"t0", "t1"});
    CurrentPlayListFile = lists + "Mine.fpl";

    view_.selected = 1;
    EXPECT_FALSE(SendPlayListItemToPlayList(view_, lists, "MINE"));  // the current list, other case
    EXPECT_FALSE(FileExists(lists + "MINE.fpl"));

    view_.selected = -1;
    EXPECT_FALSE(SendPlayListItemToPlayList(view_, lists, "Other"));
    view_.selected = 2;
    EXPECT_FALSE(SendPlayListItemToPlayList(view_, lists, "Other"));
    EXPECT_FALSE(FileExists(lists + "Other.fpl"));

    view_.selected = 1;
    EXPECT_TRUE(SendPlayListItemToPlayList(view_, lists, "Other"));
    EXPECT_TRUE(SendPlayListItemToPlayList(view_, lists, "Other"));
    EXPECT_EQ(ReadFileBytes(lists + "Other.fpl"),
              "[PlayList]\r\nFile1=f1\r\nTitle1=t1\r\nFile2=f1\r\nTitle2=t1\r\n");
}

TEST_F(PlayListFileTest, GbkPathsRoundTrip) {
    // 动画\<0x81 0x5C>\海.swf and the title 海; 0x5C there is a trail byte.
    Strings files = {"D:\\\xb6\xaf\xbb\xad\\\x81\x5c\\\xba\xa3.swf", "http://h/\xba\xa3.swf"};
    Strings titles = {"\xba\xa3", "\xba\xa3"};
    SetCurrentList(files, titles);
    SavePlayList(fpl_);
    SetCurrentList({}, {});
    ReadPlayList(view_, fpl_);
    EXPECT_EQ(PlayListFiles, files);
    EXPECT_EQ(PlayListTitles, titles);
}

TEST_F(PlayListFileTest, AppendAndClearKeepTheListsInStep) {
    AppendPlayListItem(view_, "a", "C:\\a.swf");
    AppendPlayListItem(view_, "a", "C:\\a.swf");
    EXPECT_EQ(PlayListCount, 2);
    EXPECT_EQ(view_.items, (Strings{"a", "a"}));
    EXPECT_EQ(PlayListFiles.size(), 2u);
    ClearPlayList(view_);
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_EQ(CurrentIndex, 0);
    EXPECT_TRUE(view_.items.empty() && PlayListFiles.empty() && PlayListTitles.empty());
}

TEST_F(PlayListFileTest, FailedSaveThrowsAndLosesNothing) {
    const std::string old = "[PlayList]\r\nFile1=keep\r\nTitle1=keep\r\n";
    WriteFileBytes(fpl_, old);
#ifdef _WIN32
    SetFileAttributesA(fpl_.c_str(), FILE_ATTRIBUTE_READONLY);
#else
    ::chmod(fpl_.c_str(), 0444);
#endif
    SetCurrentList({"new"}, {"new"});
    try {
        SavePlayList(fpl_);
        ADD_FAILURE() << "no error raised";
    } catch (const IniWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + fpl_);
    }
    EXPECT_THROW(SendFileToPlayList("t", "f", fpl_), IniWriteError);
    EXPECT_FALSE(SavePlayListAtExit(fpl_));  // swallowed
    EXPECT_EQ(ReadFileBytes(fpl_), old);
    EXPECT_EQ(folder_.fileCount(), 1u);
}

#ifndef _WIN32
// A folder the user may not write; as root the save runs in a child without rights.
TEST_F(PlayListFileTest, SaveIntoReadOnlyFolderLosesNothing) {
    const std::string old = "[PlayList]\r\nFile1=keep\r\nTitle1=keep\r\n";
    WriteFileBytes(fpl_, old);
    ::chmod(folder_.path().c_str(), 0555);
    SetCurrentList({"new"}, {"new"});
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        try {
            SavePlayList(fpl_);
        } catch (const IniWriteError&) {
            ::_exit(SavePlayListAtExit(fpl_) ? 1 : 0);
        }
        ::_exit(2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(folder_.path().c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(fpl_), old);
    EXPECT_EQ(folder_.fileCount(), 1u);
}
#endif

}  // namespace
}  // namespace kv
