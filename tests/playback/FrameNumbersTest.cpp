// The frame dialogs' rules without their windows: prompts, the key filter,
// the conversion of the typed texts and what OK starts in the player.
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
        char ch;
        bool first;
        FieldKey key;
    };
    const Case cases[] = {{'0', false, FieldKey::Keep},     {'9', true, FieldKey::Keep},
                          {'\b', false, FieldKey::Keep},    {'a', false, FieldKey::Drop},
                          {'-', true, FieldKey::Drop},      {' ', false, FieldKey::Drop},
                          {'\xB2', false, FieldKey::Drop},  // a lead byte of a two-byte character
                          {'\r', false, FieldKey::Confirm}, {'\r', true, FieldKey::NextField},
                          {27, true, FieldKey::Close},      {27, false, FieldKey::Close}};
    for (const Case& c : cases) EXPECT_EQ(FrameFieldKey(c.ch, c.first), c.key) << int(c.ch) << " " << c.first;
}

TEST(FrameNumbers, TextsConvertAsThirtyTwoBitDecimals) {
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {{"0", true, 0},
                          {"300", true, 300},
                          {"007", true, 7},
                          {"-5", true, -5},
                          {"+7", true, 7},
                          {"  12", true, 12},
                          {"2147483647", true, 2147483647},
                          {"-2147483648", true, -2147483647 - 1},
                          {"2147483648", false, 0},
                          {"99999999999999999999", false, 0},
                          {"", false, 0},
                          {"-", false, 0},
                          {"12a", false, 0},
                          {"1 ", false, 0},
                          {"0x10", false, 0},
                          {"１２", false, 0}};
    for (const Case& c : cases) {
        int v = -99;
        EXPECT_EQ(TryTextToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
    EXPECT_EQ(InvalidIntegerText("12a"), "'12a' is not a valid integer value");
}

TEST_F(FrameNumbersTest, JumpSeeksUncheckedAndRefusesText) {
    EXPECT_TRUE(ApplyJump(nullptr, ""));
    EXPECT_TRUE(spy->seeks.empty());
    EXPECT_TRUE(ApplyJump(nullptr, "999999"));  // beyond the movie: passed on as it is
    EXPECT_EQ(spy->seeks, std::vector<int>{999999});
    EXPECT_FALSE(ApplyJump(nullptr, "4294967296"));
    EXPECT_EQ(spy->seeks.size(), 1u);
    ASSERT_EQ(app.ui.messages.size(), 1u);
    EXPECT_EQ(app.ui.messages[0].text, "'4294967296' is not a valid integer value");
    EXPECT_EQ(app.ui.messages[0].flags, unsigned(MB_OK | MB_ICONSTOP));
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
    const Case refused[] = {{"5", "x", false, "'x' is not a valid integer value"},
                            {"y", "30", false, "'y' is not a valid integer value"},
                            {"", "30", true, nullptr},
                            {"5", "", true, nullptr}};
    for (const Case& c : refused) {
        app.ui.messages.clear();
        EXPECT_EQ(ApplyRange(nullptr, c.begin, c.end, false), c.closes) << c.begin << "|" << c.end;
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
    EXPECT_TRUE(ApplyRange(nullptr, "50", "40", false));
    EXPECT_TRUE(PlayAreaActive);
    EXPECT_TRUE(ABCircleActive);
    EXPECT_EQ(AreaBeginFrame, 50);
    EXPECT_EQ(AreaEndFrame, 40);
    EXPECT_EQ(spy->seeks, std::vector<int>{50});
    PlayAreaActive = ABCircleActive = false;
    EXPECT_TRUE(ApplyRange(nullptr, "3", "9", true));
    EXPECT_TRUE(ABCircleActive);
    EXPECT_FALSE(PlayAreaActive);
}
