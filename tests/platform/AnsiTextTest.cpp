#include <gtest/gtest.h>

#include "platform/AnsiText.h"

namespace kv {
namespace {

// GBK characters whose trail bytes look like ASCII: 0x81 0x5C ends in '\',
// 0x81 0x41 in 'A'.
const std::string kTrailBackslash = "\x81\x5c", kTrailUpperA = "\x81\x41";

TEST(AnsiText, PathPartsNeverSplitOnATrailByte) {
    struct Case {
        std::string path, name, folder, ext;
    } cases[] = {
        {"D:\\Flash\\sea.swf", "sea.swf", "D:\\Flash\\", ".swf"},
        {"C:\\old.files\\movie", "movie", "C:\\old.files\\", ""},
        {"http://host/m.swf", "//host/m.swf", "http:", ".swf"},
        {"C:\\" + kTrailBackslash + ".swf", kTrailBackslash + ".swf", "C:\\", ".swf"},
        {"C:\\d." + kTrailBackslash + "x", "d." + kTrailBackslash + "x", "C:\\", "." + kTrailBackslash + "x"},
        {"\x81", "\x81", "", ""},  // a lone lead byte at the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AnsiExtractFileName(c.path), c.name) << c.path;
        EXPECT_EQ(AnsiExtractFilePath(c.path), c.folder) << c.path;
        EXPECT_EQ(AnsiExtractFileExt(c.path), c.ext) << c.path;
    }
    EXPECT_TRUE(AnsiEndsWithChar("C:\\", '\\'));
    EXPECT_FALSE(AnsiEndsWithChar("C:\\" + kTrailBackslash, '\\'));
}

TEST(AnsiText, CaseAndLengthWorkOnWholeCharacters) {
    EXPECT_EQ(AnsiLowerAscii("AB" + kTrailUpperA + "C"), "ab" + kTrailUpperA + "c");
    EXPECT_TRUE(AnsiSameTextAscii(kTrailUpperA + "X", kTrailUpperA + "x"));
    EXPECT_FALSE(AnsiSameTextAscii(kTrailUpperA, "\x81\x61"));  // two different characters
    EXPECT_EQ(AnsiTruncate("a\xd6\xd0\xce\xc4", 4), "a\xd6\xd0");
    EXPECT_EQ(AnsiTruncate("abc", 2), "ab");
}

TEST(AnsiText, PathExtensionOfThisBuildsPaths) {
    struct Case {
        std::string path, lowerExt;
    } cases[] = {
        {"c:\\a\\b.SWF", ".swf"},
        {"c:\\a.b\\movie", ""},
        {"/tmp/a.b/movie", ""},
        {"movie.tar.Exe", ".exe"},
        {"noext", ""},
#ifdef _WIN32
        {"c:\\dir\\" + kTrailBackslash + "name.Exe", ".exe"},  // the trail byte is no separator
        {"c:\\x.swf\\" + kTrailBackslash, ""},                 // ... the real '\\' before it is
        {"c:\\" + kTrailUpperA + ".SWF", ".swf"},
#else
        {"/tmp/\xe4\xb8\xad.SWF", ".swf"},  // UTF-8: the byte before '.' ends a character
        {"/tmp/\xe4\xb8\xad.\xe6\x96\x87", ".\xe6\x96\x87"},
#endif
    };
    for (const Case& c : cases) EXPECT_EQ(PathLowerFileExt(c.path), c.lowerExt) << c.path;
}

}  // namespace
}  // namespace kv
