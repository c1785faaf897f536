#include <gtest/gtest.h>

#include "platform/AnsiText.h"

namespace kv {
namespace {

// GBK characters whose trail byte looks like ASCII: 0x81 0x5C ends in '\',
// 0x81 0x41 ends in 'A', 0xB1 0x5D ends in ']'.
const std::string kTrailBackslash = "\x81\x5c";
const std::string kTrailUpperA = "\x81\x41";

TEST(AnsiText, LastDelimiterNeverStopsOnTrailByte) {
    struct Case {
        std::string text;
        std::size_t expected;
    } cases[] = {
        {"C:\\a\\b.swf", 4},
        {"C:\\" + kTrailBackslash + "x", 2},  // the 0x5C inside the character is no separator
        {"C:\\dir\\" + kTrailBackslash, 6},   // ends in a character, not in '\'
        {"\x81", std::string::npos},          // lone lead byte at the end
        {"plain", std::string::npos},
        {"D:movie.swf", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(AnsiLastDelimiter(c.text, "\\:"), c.expected) << c.text;
}

TEST(AnsiText, EndsWithCharLooksAtWholeCharacters) {
    EXPECT_TRUE(AnsiEndsWithChar("C:\\", '\\'));
    EXPECT_TRUE(AnsiEndsWithChar("a\\\\", '\\'));
    EXPECT_FALSE(AnsiEndsWithChar("C:\\" + kTrailBackslash, '\\'));
    EXPECT_TRUE(AnsiEndsWithChar("C:\\" + kTrailBackslash + "\\", '\\'));
    EXPECT_FALSE(AnsiEndsWithChar("", '\\'));
}

TEST(AnsiText, LowerCasingLeavesTrailBytesAlone) {
    EXPECT_EQ(AnsiLowerAscii("ABC.SWF"), "abc.swf");
    EXPECT_EQ(AnsiLowerAscii(kTrailUpperA + "A"), kTrailUpperA + "a");
    EXPECT_TRUE(AnsiSameTextAscii("PlayList", "PLAYLIST"));
    EXPECT_TRUE(AnsiSameTextAscii(kTrailUpperA + "X", kTrailUpperA + "x"));
    // 0x81 0x41 and 0x81 0x61 are two different characters.
    EXPECT_FALSE(AnsiSameTextAscii(kTrailUpperA, "\x81\x61"));
    EXPECT_FALSE(AnsiSameTextAscii("ab", "abc"));
}

TEST(AnsiText, TruncateNeverSplitsCharacter) {
    std::string two = "\xd6\xd0\xce\xc4";  // two GBK characters
    EXPECT_EQ(AnsiTruncate(two, 4), two);
    EXPECT_EQ(AnsiTruncate(two, 3), "\xd6\xd0");
    EXPECT_EQ(AnsiTruncate("a" + two, 2), "a");
    EXPECT_EQ(AnsiTruncate("abc", 2), "ab");
}

TEST(AnsiText, PathPartsUseBackslashAndColon) {
    struct Case {
        std::string path, name, folder, ext;
    } cases[] = {
        {"D:\\Flash\\sea.swf", "sea.swf", "D:\\Flash\\", ".swf"},
        {"C:\\old.files\\movie", "movie", "C:\\old.files\\", ""},
        {"a.b.swf", "a.b.swf", "", ".swf"},
        {".swf", ".swf", "", ".swf"},
        {"http://host/dir/m.swf", "//host/dir/m.swf", "http:", ".swf"},
        {"C:\\" + kTrailBackslash + ".swf", kTrailBackslash + ".swf", "C:\\", ".swf"},
        {"C:\\dir." + kTrailBackslash + "x", "dir." + kTrailBackslash + "x", "C:\\",
         "." + kTrailBackslash + "x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnsiExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(AnsiExtractFilePath(c.path), c.folder) << c.path;
        EXPECT_EQ(AnsiExtractFileExt(c.path), c.ext) << c.path;
    }
}

}  // namespace
}  // namespace kv
