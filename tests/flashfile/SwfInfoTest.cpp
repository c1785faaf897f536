#include <gtest/gtest.h>

#include "tests/flashfile/TestFiles.h"
#include "tools/swfinfo/AttrJson.h"
#include "tools/swfwriter/HeaderVariants.h"

using namespace kv;

TEST(SwfInfo, PrintsEveryFieldOfTheRecordAsOneJsonLine) {
    kvtest::TempFolder dir;
    swfw::HeaderSpec s;
    s.frameCount = 100;
    s.red = 1;
    s.green = 2;
    s.blue = 3;
    swfw::Bytes movie = swfw::headerMovie(s);
    kvtest::writeBytes(dir / "m.swf", movie);
    TFlashFileAttr a;
    GetFlashFileAttr(dir / "m.swf", a);
    EXPECT_EQ(flashFileAttrJson("m.swf", a, ""),
              "{\"path\":\"m.swf\",\"IsFlashFile\":true,\"Version\":\"6\",\"FileSize\":" +
                  std::to_string(movie.size()) +
                  ",\"FrameRate\":12,\"FrameCount\":100,\"Width\":550,\"Height\":400,"
                  "\"BackColorRed\":1,\"BackColorGreen\":2,\"BackColorBlue\":3}");
    EXPECT_NE(flashFileAttrJson("x", {}, "no such file").find(",\"error\":\"no such file\"}"),
              std::string::npos);
}

TEST(SwfInfo, PathsAreEscapedAndInvalidUtf8Replaced) {
    EXPECT_EQ(jsonString("a\"b\\c\n"), "\"a\\\"b\\\\c\\u000a\"");
    EXPECT_EQ(jsonString("\xe5\x8a\xa8\xe7\x94\xbb.swf"), "\"\xe5\x8a\xa8\xe7\x94\xbb.swf\"");  // UTF-8 kept
    EXPECT_EQ(jsonString("\xb6\xaf.swf"), "\"\\ufffd\\ufffd.swf\"");                            // GBK bytes
}
