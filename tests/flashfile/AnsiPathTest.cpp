#include <gtest/gtest.h>

#include "flashfile/AnsiPath.h"

using namespace kv;

TEST(AnsiPath, LowerCaseKeepsSecondBytesOfGbkCharacters) {
    // 0x81 0x53 and 0x95 0x5C are single characters whose second byte looks like 'S' and '\'.
    EXPECT_EQ(lowerCaseGbk("C:\\Movies\\\x81\x53\x95\x5C.SWF"), "c:\\movies\\\x81\x53\x95\x5c.swf");
    EXPECT_EQ(lowerCaseGbk("ABC\x81"), "abc\x81");  // a lead byte at the very end
}

TEST(AnsiPath, ExtensionIgnoresSeparatorsAndDotsInsideGbkCharacters) {
    struct Case {
        const char* path;
        const char* ext;
    };
    const Case cases[] = {
        {"c:\\a\\b.swf", ".swf"},
        {"c:\\a.b\\movie", ""},
        {"c:\\dir\\\x95\x5Cname.Exe", ".Exe"},  // trail byte 0x5C is no separator
        {"c:\\x.swf\\\x95\x5C", ""},            // ... but the real '\' before it is
        {"movie.tar.swf", ".swf"},
        {"noext", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(extractFileExtGbk(c.path), c.ext) << c.path;
}

TEST(AnsiPath, LowerFileExtComparesWithoutCase) {
    EXPECT_EQ(lowerFileExt("Movie.SwF"), ".swf");
    EXPECT_EQ(lowerFileExt("PROJECTOR.EXE"), ".exe");
}
