// The frame dialogs' rules without their windows: prompts, the key filter
// and what OK starts in the player with the typed texts.
#include <gtest/gtest.h>

#include "playback/FrameNumbers.h"
#include "tests/support/AppHarness.h"

using namespace kv;

namespace {

class SeekSpy : public TPlayForm {
public:
    std::vector<int> seeks;
    void MoveToPosition(int frame) override { seeks.push_back(frame); }
};

class FrameNumbersTest : public ::testing::Test {
protected:
    test::AppHarness app;
    SeekSpy* spy = nullptr;
    void SetUp() override {
        auto s = std::make_unique<SeekSpy>();
        spy = s.get();
        ASSERT_TRUE(app.start("", {}, std::move(s)));
    }
};

}  // namespace

TEST(FrameNumbers, PromptsNameTheFrameRange) {
    EXPECT_EQ(JumpPrompt(300), "请输入要跳转到的帧数（0—300）：");
    EXPECT_EQ(PlayAreaPrompt(300), "请输入要播放的范围（0—300）：");
    EXPECT_EQ(ABCirclePrompt(0), "请输入要进行循环的范围（0—0）：");
}

TEST(FrameNumbers, OnlyDigitsAndBackspaceReachTheFields) {
    struct Case {
        unsigned ch;
        bool first;
        FieldKey key;
    };
    const Case cases[] = {{'0', false, FieldKey::Keep},     {'9', true, FieldKey::Keep},
                          {'\b', false, FieldKey::Keep},    {'a', false, FieldKey::Drop},
                          {'-', true, FieldKey::Drop},      {' ', false, FieldKey::Drop},
                          {0xB2BB, false, FieldKey::Drop},  // a two-byte character
                          {'\r', false, FieldKey::Confirm}, {'\r', true, FieldKey::NextField},
                          {27, true, FieldKey::Close},      {27, false, FieldKey::Close}};
    for (const Case& c : cases) EXPECT_EQ(FrameFieldKey(c.ch, c.first), c.key) << int(c.ch) << " " << c.first;
}

TEST_F(FrameNumbersTest, JumpSeeksUncheckedAndRefusesText) {
    EXPECT_TRUE(ApplyJump(""));
    EXPECT_TRUE(spy->seeks.empty());
    EXPECT_TRUE(ApplyJump("999999"));  // beyond the movie: passed on as it is
    EXPECT_EQ(spy->seeks, std::vector<int>{999999});
    EXPECT_FALSE(ApplyJump("4294967296"));
    EXPECT_EQ(spy->seeks.size(), 1u);
    ASSERT_EQ(app.ui.messages.size(), 1u);
    EXPECT_EQ(app.ui.messages[0].text, "'4294967296' is not a valid integer value.");
    EXPECT_EQ(app.ui.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(app.ui.messages[0].flags, unsigned(MB_OK | MB_ICONERROR));
}

TEST_F(FrameNumbersTest, RangeStartsOnlyWhenBothNumbersConvert) {
    // An A-B loop runs between 10 and 20.
    ABCircleActive = true;
    AreaBeginFrame = 10;
    AreaEndFrame = 20;
    struct Case {
        const char *begin, *end;
        bool closes;
        const char* error;
    };
    const Case refused[] = {{"5", "x", false, "'x' is not a valid integer value."},
                            {"y", "30", false, "'y' is not a valid integer value."},
                            {"", "30", true, nullptr},
                            {"5", "", true, nullptr}};
    for (const Case& c : refused) {
        app.ui.messages.clear();
        EXPECT_EQ(ApplyRange(c.begin, c.end, false), c.closes) << c.begin << "|" << c.end;
        EXPECT_FALSE(PlayAreaActive);
        EXPECT_EQ(AreaBeginFrame, 10);
        EXPECT_EQ(AreaEndFrame, 20);
        EXPECT_TRUE(spy->seeks.empty());
        EXPECT_EQ(app.ui.messages.size(), c.error ? 1u : 0u);
        if (c.error) {
            EXPECT_EQ(app.ui.lastText(), c.error);
        }
    }
    // A play range started during the loop shares its bounds; a first frame
    // beyond the last is accepted.
    EXPECT_TRUE(ApplyRange("50", "40", false));
    EXPECT_TRUE(PlayAreaActive);
    EXPECT_TRUE(ABCircleActive);
    EXPECT_EQ(AreaBeginFrame, 50);
    EXPECT_EQ(AreaEndFrame, 40);
    EXPECT_EQ(spy->seeks, std::vector<int>{50});
    PlayAreaActive = ABCircleActive = false;
    EXPECT_TRUE(ApplyRange("3", "9", true));
    EXPECT_TRUE(ABCircleActive);
    EXPECT_FALSE(PlayAreaActive);
}
