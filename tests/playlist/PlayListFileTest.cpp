#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "playlist/PlayListFile.h"
#include "tests/platform/TempFolder.h"
#include "tests/playlist/PlayListTestSupport.h"

namespace kv {
namespace {

using kvtest::ReadFileBytes;
using kvtest::SetCurrentList;
using Strings = std::vector<std::string>;

class PlayListFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetCurrentList({}, {});
        CurrentIndex = 1;
        CurrentPlayListFile = folder_.file("Korvamelden.fpl");
    }
    kvtest::TempFolder folder_;
    std::string fpl_ = folder_.file("list.fpl");
    kvtest::RecordingPlayListView view_;
};

TEST_F(PlayListFileTest, ReadCountsHalfTheKeysAndFetchesItemsByNumber) {
    struct Case {
        const char* text;
        Strings files, titles;
    } cases[] = {
        {"[PlayList]\r\nFile1=a\r\nTitle1=A\r\nFile2=b\r\nTitle2=B\r\nFile3=c\r\n", {"a", "b"}, {"A", "B"}},
        {"[PlayList]\r\nFile1=a\r\nFile2=b\r\n", {"a"}, {""}},
        {"[PlayList]\r\nTitle2=B\r\nFile2=b\r\nTitle1=A\r\nFile1=a\r\n", {"a", "b"}, {"A", "B"}},
        {"[PlayList]\r\nx=1\r\ny=2\r\n", {""}, {""}},
        {"[Info]\r\nFile1=z\r\nTitle1=Z\r\n", {}, {}},
    };
    for (const Case& c : cases) {
        kvtest::WriteFileBytes(fpl_, c.text);
        ReadPlayList(view_, fpl_);
        EXPECT_EQ(PlayListFiles, c.files) << c.text;
        EXPECT_EQ(PlayListTitles, c.titles) << c.text;
        EXPECT_EQ(view_.items, c.titles) << c.text;
        EXPECT_EQ(PlayListCount, static_cast<int>(c.files.size())) << c.text;
    }
}

TEST_F(PlayListFileTest, ReadStopsPlaybackAndLeavesIndexAndFileAlone) {
    SetCurrentList({"old1", "old2", "old3"}, {"o1", "o2", "o3"});
    view_.items = {"o1", "o2", "o3"};
    CurrentIndex = 3;
    kvtest::WriteFileBytes(fpl_, "[PlayList]\r\nFile1=new\r\nTitle1=N\r\n");
    ReadPlayList(view_, fpl_);
    EXPECT_EQ(view_.stops, 1);
    EXPECT_EQ(view_.items, Strings{"N"});
    EXPECT_EQ(CurrentIndex, 3);  // past the end now; the player deals with that
    EXPECT_EQ(CurrentPlayListFile, folder_.file("Korvamelden.fpl"));

    ReadPlayList(view_, folder_.file("missing.fpl"));
    EXPECT_EQ(PlayListCount, 0);
    EXPECT_TRUE(PlayListFiles.empty() && view_.items.empty());
}

TEST_F(PlayListFileTest, SaveReplacesOnlyThePlayListSection) {
    std::string text = "[Before]\r\nb=1\r\n[PlayList]\r\n";
    for (int i = 1; i <= 10; ++i)
        text += "File" + std::to_string(i) + "=f\r\nTitle" + std::to_string(i) + "=t\r\n";
    kvtest::WriteFileBytes(fpl_, text + "[After]\r\na=2\r\n");
    SetCurrentList({"x1", "x2", "x3"}, {"T1", "T2", "T3"});
    SavePlayList(fpl_);
    EXPECT_EQ(ReadFileBytes(fpl_),
              "[Before]\r\nb=1\r\n"
              "[PlayList]\r\nFile1=x1\r\nTitle1=T1\r\nFile2=x2\r\nTitle2=T2\r\nFile3=x3\r\nTitle3=T3\r\n"
              "[After]\r\na=2\r\n");

    SetCurrentList({"a", "b"}, {"A"});  // a broken caller: never read past a list
    PlayListCount = 5;
    SavePlayList(fpl_);
    EXPECT_EQ(ReadFileBytes(fpl_),
              "[Before]\r\nb=1\r\n[PlayList]\r\nFile1=a\r\nTitle1=A\r\n[After]\r\na=2\r\n");

    SetCurrentList({}, {});  // an empty list drops the section, but a new file is still made
    SavePlayList(fpl_);
    EXPECT_EQ(ReadFileBytes(fpl_), "[Before]\r\nb=1\r\n[After]\r\na=2\r\n");
    SavePlayList(folder_.file("new.fpl"));
    EXPECT_EQ(ReadFileBytes(folder_.file("new.fpl")), "");
}

TEST_F(PlayListFileTest, SaveKeepsEveryByteOfTheOtherSections) {
    const std::string before = "; my list\n\n[Info]\nName = Sea  \n;comment=x\n\n";
    const std::string after = "\r\n[Extra]\r\n  k =  v\r\n\r\n; end";
    kvtest::WriteFileBytes(fpl_, before + "[PlayList]\nFile1=old\nTitle1=Old\n" + after);
    SetCurrentList({"x1", "x2"}, {"T1", "T2"});
    SavePlayList(fpl_);
    EXPECT_EQ(ReadFileBytes(fpl_),
              before + "[PlayList]\nFile1=x1\r\nTitle1=T1\r\nFile2=x2\r\nTitle2=T2\r\n" + after);
}

TEST_F(PlayListFileTest, SendToListAppendsTheSelectedItemExceptToTheCurrentList) {
    std::string lists = folder_.path() + folder_.sep();
    SetCurrentList({"f0", "f1"}, {"t0", "t1"});
    CurrentPlayListFile = lists + "Mine.fpl";
    view_.selected = 1;
    EXPECT_FALSE(SendPlayListItemToPlayList(view_, lists, "MINE"));  // the current list, in other case
    for (int selected : {-1, 2}) {
        view_.selected = selected;
        EXPECT_FALSE(SendPlayListItemToPlayList(view_, lists, "Other"));
    }
    EXPECT_EQ(folder_.fileCount(), 0L);

    view_.selected = 1;
    EXPECT_TRUE(SendPlayListItemToPlayList(view_, lists, "Other"));  // creates the file
    EXPECT_TRUE(SendPlayListItemToPlayList(view_, lists, "Other"));  // no duplicate check
    EXPECT_EQ(ReadFileBytes(lists + "Other.fpl"),
              "[PlayList]\r\nFile1=f1\r\nTitle1=t1\r\nFile2=f1\r\nTitle2=t1\r\n");
    EXPECT_EQ(PlayListFiles, (Strings{"f0", "f1"}));

    // Five keys count as two items, so the next item is number 3.
    kvtest::WriteFileBytes(fpl_, "[PlayList]\r\nFile1=a\r\nTitle1=a\r\nFile2=b\r\nTitle2=b\r\nFile3=c\r\n");
    SendFileToPlayList("d", "d.swf", fpl_);
    EXPECT_EQ(IniFile(fpl_).readString("PlayList", "File3", ""), "d.swf");
    EXPECT_EQ(IniFile(fpl_).readString("PlayList", "Title3", ""), "d");
}

TEST_F(PlayListFileTest, GbkPathsRoundTrip) {
    // D:\动画\<0x81 0x5C>\海.swf: the 0x5C there is a trail byte.
    Strings files = {"D:\\\xb6\xaf\xbb\xad\\\x81\x5c\\\xba\xa3.swf", "http://h/\xba\xa3.swf"};
    Strings titles = {"\xba\xa3", "\xba\xa3"};
    SetCurrentList(files, titles);
    SavePlayList(fpl_);
    ReadPlayList(view_, fpl_);
    EXPECT_EQ(PlayListFiles, files);
    EXPECT_EQ(PlayListTitles, titles);
}

TEST_F(PlayListFileTest, FailedSaveRaisesTheWriteErrorAndLosesNothing) {
    const std::string old = "[PlayList]\r\nFile1=keep\r\nTitle1=keep\r\n";
    kvtest::WriteFileBytes(fpl_, old);
    kvtest::MakeReadOnly(fpl_);
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
    EXPECT_EQ(folder_.fileCount(), 1L);
}

#ifndef _WIN32
TEST_F(PlayListFileTest, SaveIntoReadOnlyFolderLosesNothing) {
    const std::string old = "[PlayList]\r\nFile1=keep\r\nTitle1=keep\r\n";
    kvtest::WriteFileBytes(fpl_, old);
    SetCurrentList({"new"}, {"new"});
    int code = kvtest::RunInReadOnlyFolder(folder_.path(), [&] {
        try {
            SavePlayList(fpl_);
            return 1;
        } catch (const IniWriteError&) {
            return SavePlayListAtExit(fpl_) ? 2 : 0;
        }
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadFileBytes(fpl_), old);
    EXPECT_EQ(folder_.fileCount(), 1L);
}
#endif

}  // namespace
}  // namespace kv
