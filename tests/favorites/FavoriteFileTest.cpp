// The ".ffv" file: every operation on real files in a temporary folder, the
// exact bytes written, and hand-written or damaged files.
#include <gtest/gtest.h>

#include "favorites/FavoriteFile.h"
#include "tests/app/ProgramFolder.h"

using namespace kv;

namespace {

const std::string kNow = "2004年5月3日，09:05:07，星期一";
const std::string kLater = "2004年5月4日，10:00:00，星期二";

class FavoriteFileTest : public ::testing::Test {
protected:
    test::ProgramFolder folder;
    std::string favs = folder.path() + "Favorite\\";
    std::string movie = folder.file("sea.swf");
    std::vector<std::string> played;

    void SetUp() override { folder.write("sea.swf", "FWS"); }
    std::string ffv(const std::string& name) const { return favs + name + ".ffv"; }
    std::string read(const std::string& name) const { return folder.read("Favorite\\" + name + ".ffv"); }
    void write(const std::string& name, const std::string& text) const {
        CreateDirectoryA(favs.c_str(), nullptr);
        folder.write("Favorite\\" + name + ".ffv", text);
    }
    bool play(const std::string& name) {
        return PlayFavorite(
            ffv(name), [this](const std::string& m) { played.push_back(m); }, kLater);
    }
};

TEST_F(FavoriteFileTest, NewFavoriteIsTheFiveLinesByteForByte) {
    EXPECT_FALSE(AddOrUpdateFavorite(favs, "海边", movie, "好看", kNow));
    EXPECT_EQ(read("海边"), "[Favorite]\r\nFile=" + movie + "\r\nViewTimes=1\r\nLastViewTime=" + kNow +
                                "\r\nComments=好看\r\n");
}

TEST_F(FavoriteFileTest, AddingAgainUpdatesTheOneFile) {
    AddOrUpdateFavorite(favs, "sea", movie, "first", kNow);
    EXPECT_TRUE(AddOrUpdateFavorite(favs, "sea", "D:\\other.swf", "second", kLater));
    FavoriteItem f = ReadFavorite(ffv("sea"));
    EXPECT_EQ(f.File, "D:\\other.swf");
    EXPECT_EQ(f.ViewTimes, 2);
    EXPECT_EQ(f.LastViewTime, kLater);
    EXPECT_EQ(f.Comments, "second");
    // Case-different names are one file on this file system.
    EXPECT_TRUE(AddOrUpdateFavorite(favs, "SEA", movie, "", kLater));
    EXPECT_EQ(ReadFavorite(ffv("sea")).ViewTimes, 3);
}

TEST_F(FavoriteFileTest, TwoLineCommentKeepsItsFirstLine) {
    AddOrUpdateFavorite(favs, "sea", movie, "line one\r\nViewTimes=99", kNow);
    EXPECT_EQ(ReadFavorite(ffv("sea")).Comments, "line one");
    EXPECT_EQ(ReadFavorite(ffv("sea")).ViewTimes, 1);  // a comment can never write a key
}

TEST_F(FavoriteFileTest, PlayingTwiceCountsTwo) {
    AddOrUpdateFavorite(favs, "sea", movie, "", kNow);
    EXPECT_TRUE(play("sea"));
    EXPECT_TRUE(play("sea"));
    EXPECT_EQ(played, (std::vector<std::string>{movie, movie}));
    FavoriteItem f = ReadFavorite(ffv("sea"));
    EXPECT_EQ(f.ViewTimes, 3);
    EXPECT_EQ(f.LastViewTime, kLater);
}

TEST_F(FavoriteFileTest, WithoutViewTimesShowsOneAndHoldsOneAfterAPlay) {
    write("hand", "[Favorite]\r\nFile=" + movie + "\r\n");
    EXPECT_EQ(ReadFavorite(ffv("hand")).ViewTimes, 1);
    EXPECT_TRUE(play("hand"));
    EXPECT_EQ(ReadFavorite(ffv("hand")).ViewTimes, 1);
    EXPECT_NE(read("hand").find("ViewTimes=1\r\n"), std::string::npos);
}

TEST_F(FavoriteFileTest, OtherSectionsAndKeysAreLeftAlone) {
    write("x", "[Other]\r\nA=1\r\n[Favorite]\r\nFile=" + movie + "\r\nExtra=keep\r\nViewTimes=4\r\n");
    play("x");
    EXPECT_EQ(read("x"), "[Other]\r\nA=1\r\n[Favorite]\r\nFile=" + movie +
                             "\r\nExtra=keep\r\nViewTimes=5\r\nLastViewTime=" + kLater + "\r\n");
}

// Damaged or hand-written files show with the defaults and are never played
// unless their movie exists; nothing is written then.
TEST_F(FavoriteFileTest, BadFilesShowDefaultsAndPlayNothing) {
    CreateDirectoryA(folder.file("a folder").c_str(), nullptr);
    struct Case {
        const char* name;
        std::string text;
        int views;
    } cases[] = {
        {"empty", "", 1},
        {"noSection", "File=" + movie + "\r\n", 1},
        {"notANumber", "[Favorite]\r\nViewTimes=many\r\nFile=\r\n", 1},
        {"url", "[Favorite]\r\nFile=http://host/movie.swf\r\nViewTimes=3\r\n", 3},
        {"folder", "[Favorite]\r\nFile=" + folder.file("a folder") + "\r\n", 1},
        {"missingMovie", "[Favorite]\r\nFile=" + folder.file("gone.swf") + "\r\nViewTimes=2\r\n", 2},
        {"junk", std::string("\0\xff\xfe[Fav\0orite]\x81\r\n=\n\n\x1a", 18), 1},
        {"hugeLine", "[Favorite]\r\nComments=" + std::string(10 * 1024 * 1024, 'x') + "\r\nFile=nothing\r\n",
         1},
    };
    for (const auto& c : cases) {
        write(c.name, c.text);
        FavoriteItem f = ReadFavorite(ffv(c.name));
        EXPECT_EQ(f.ViewTimes, c.views) << c.name;
        EXPECT_LE(f.Comments.size(), 2047u) << c.name;
        EXPECT_FALSE(play(c.name)) << c.name;
        EXPECT_EQ(read(c.name), c.text) << c.name;
    }
    EXPECT_TRUE(played.empty());
}

TEST_F(FavoriteFileTest, MissingFavoriteFileIsNotCreatedByPlaying) {
    EXPECT_FALSE(play("nothing"));
    EXPECT_FALSE(folder.exists("Favorite\\nothing.ffv"));
}

TEST_F(FavoriteFileTest, ViewCountDoesNotOverflow) {
    write("max", "[Favorite]\r\nFile=" + movie + "\r\nViewTimes=2147483647\r\n");
    play("max");
    EXPECT_EQ(ReadFavorite(ffv("max")).ViewTimes, 2147483647);
}

TEST_F(FavoriteFileTest, EditOnlyChangingCaseKeepsTheFileName) {
    AddOrUpdateFavorite(favs, "abc", movie, "", kNow);
    EXPECT_EQ(EditFavorite(favs, "abc", "ABC", "D:\\new.swf", "note\r\nmore"), FavoriteRename::Unchanged);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(ffv("abc").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    FindClose(h);
    EXPECT_STREQ(fd.cFileName, "abc.ffv");
    FavoriteItem f = ReadFavorite(ffv("abc"));
    EXPECT_EQ(f.File, "D:\\new.swf");
    EXPECT_EQ(f.Comments, "note");
    EXPECT_EQ(f.ViewTimes, 1);
    EXPECT_EQ(f.LastViewTime, kNow);
}

TEST_F(FavoriteFileTest, EditRenames) {
    AddOrUpdateFavorite(favs, "old", movie, "", kNow);
    EXPECT_EQ(EditFavorite(favs, "old", "新名字", movie, "c"), FavoriteRename::Renamed);
    EXPECT_FALSE(folder.exists("Favorite\\old.ffv"));
    EXPECT_EQ(ReadFavorite(ffv("新名字")).Comments, "c");
}

// A refused rename keeps the old name, with the new values written into it.
TEST_F(FavoriteFileTest, RefusedRenameKeepsOldNameAndNewValues) {
    AddOrUpdateFavorite(favs, "other", movie, "", kNow);
    CreateDirectoryA((favs + "sub").c_str(), nullptr);
    for (const char* bad : {"other", "a?b", "sub\\x", "a:b", "  ", ""}) {
        AddOrUpdateFavorite(favs, "old", movie, "", kNow);
        EXPECT_EQ(EditFavorite(favs, "old", bad, "D:\\moved.swf", "kept"), FavoriteRename::Failed) << bad;
        FavoriteItem f = ReadFavorite(ffv("old"));
        EXPECT_EQ(f.File, "D:\\moved.swf") << bad;
        EXPECT_EQ(f.Comments, "kept") << bad;
    }
    EXPECT_EQ(ReadFavorite(ffv("other")).File, movie);
    EXPECT_FALSE(folder.exists("Favorite\\sub\\x.ffv"));
}

TEST_F(FavoriteFileTest, Delete) {
    AddOrUpdateFavorite(favs, "sea", movie, "", kNow);
    EXPECT_TRUE(DeleteFavorite(favs, "sea"));
    EXPECT_FALSE(folder.exists("Favorite\\sea.ffv"));
    EXPECT_FALSE(DeleteFavorite(favs, "sea"));
}

TEST(FavoriteName, RefusesWhatFileNamesCannotHold) {
    EXPECT_TRUE(IsValidFavoriteName("a-b 名字"));
    EXPECT_TRUE(IsValidFavoriteName("\x95\x5C"));  // a GBK character whose trail byte is '\'
    for (const char* bad : {"", " ", "a\\b", "a/b", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b"})
        EXPECT_FALSE(IsValidFavoriteName(bad)) << bad;
}

}  // namespace
