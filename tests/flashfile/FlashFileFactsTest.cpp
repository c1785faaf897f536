#include <gtest/gtest.h>

#include "flashfile/FlashFileFacts.h"

using namespace kv;

namespace {

TEST(FlashFileFacts, SizeText) {
    const std::pair<long long, const char*> cases[] = {
        {0, "0 K"},           {300000, "292 K"},    {524288, "512 K"},    {1048575, "1023 K"},
        {1048576, "1.00 MB"}, {1049599, "1.00 MB"}, {1572864, "1.50 MB"},
    };
    for (const auto& c : cases) EXPECT_EQ(FlashFileSizeText(c.first), c.second) << c.first;
}

TEST(FlashFileFacts, TypeByLowerCasedExtension) {
    EXPECT_EQ(FlashFileTypeText("C:\\a\\sea.SWF"), "Flash动画");
    EXPECT_EQ(FlashFileTypeText("C:\\a\\sea.Exe"), "可执行的Flash动画");
    EXPECT_EQ(FlashFileTypeText("C:\\a.swf\\sea"), "");
}

TEST(FlashFileFacts, ThreeFramesAtZeroFpsShowFramesOnly) {
    TFlashFileAttr a;
    a.IsFlashFile = true;
    a.Version = "6";
    a.FrameCount = 3;
    a.FrameRate = 0;
    a.Width = 550;
    a.Height = 400;
    FactRows rows = FlashInfoRows(a);
    const FactRows expected = {{"文件版本", "6"},
                               {"文件帧数", "3 帧"},
                               {"播放速率", ""},
                               {"播放时间", ""},
                               {"影片尺寸", "550 像素 × 400 像素"}};
    EXPECT_EQ(rows, expected);
    a.FrameRate = 12;
    a.FrameCount = 150;
    a.Height = 0;
    rows = FlashInfoRows(a);
    EXPECT_EQ(rows[2].second, "12 帧/秒");
    EXPECT_EQ(rows[3].second, "00:12");
    EXPECT_EQ(rows[4].second, "");
}

TEST(FlashFileFacts, FileRows) {
    TFlashFileAttr a;
    a.FileSize = 1048576;
    const FactRows expected = {{"文件类型", "Flash动画"}, {"位置", "D:\\m\\a.swf"}, {"大小", "1.00 MB"}};
    EXPECT_EQ(FileInfoRows("D:\\m\\a.swf", a), expected);
}

}  // namespace
