// The three frame dialogs with the real play window, driven as a user does:
// what they show, the key filter, Enter and Esc, the error for a text that
// does not convert, and the A-B menu item.
#include <gtest/gtest.h>

#include <functional>

#include "app/MainForm.h"
#include "playback/CirclePlayAreaForm.h"
#include "playback/JumpToPositionForm.h"
#include "playback/PlayAreaForm.h"
#include "tests/support/AppHarness.h"
#include "tests/ui/DialogDriver.h"
#include "tools/swfwriter/CommandMovie.h"

using namespace kv;
using namespace kv::test;

namespace {

class SeekSpy : public TPlayForm {
public:
    std::vector<int> seeks;
    void MoveToPosition(int frame) override { seeks.push_back(frame); }
};


template <class T>
T* shownDialog(const char* caption) {
    return dynamic_cast<T*>(controlOf(FindWindowA(nullptr, caption)));
}

void retype(Edit& e, const std::string& text) {
    e.setFocus();
    e.selectAll();
    typeText(text);
}

class FrameDialogsTest : public ::testing::Test {
protected:
    AppHarness app;
    SeekSpy* spy = nullptr;

    void SetUp() override {
        auto s = std::make_unique<SeekSpy>();
        spy = s.get();
        ASSERT_TRUE(app.start("", {}, std::move(s)));
    }
    void TearDown() override { cancelShownStep(); }
    // A 300-frame movie playing, the last polled frame 42.
    void playing() {
        swfw::CommandMovieSpec spec;
        spec.frames = 300;
        spec.rate = 1;
        std::string path = app.folder.file("long.swf");
        ASSERT_TRUE(swfw::writeFile(path, swfw::commandMovie(spec)));
        PlayForm->playAFile(path);
        ASSERT_EQ(PlayState, 1);
        MovieCurrentFrame = 42;
    }
    MenuItem& abItem() { return MainForm->item("mmiABCircle"); }
};

}  // namespace

TEST_F(FrameDialogsTest, JumpShowsTheRangeTakesDigitsOnlyAndSeeks) {
    bool opened = false;
    whenShown([&] { opened = shownDialog<TJumpToPositionForm>("跳到指定帧") != nullptr; });
    PlayForm->pmiJumpToFrameClick();  // stopped: no dialog
    pump(150);
    EXPECT_FALSE(opened);

    playing();
    whenShown([&] {
        auto* d = shownDialog<TJumpToPositionForm>("跳到指定帧");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->lblCaption->text(), "请输入要跳转到的帧数（0—300）：");
        EXPECT_EQ(d->edtFrameNum->text(), "42");
        RECT dr, mr;
        GetWindowRect(d->handle(), &dr);
        GetWindowRect(MainForm->handle(), &mr);
        EXPECT_NEAR((dr.left + dr.right) / 2, (mr.left + mr.right) / 2, 1);
        retype(*d->edtFrameNum, "7a-5 帧");
        EXPECT_EQ(d->edtFrameNum->text(), "75");
        pressKey(VK_RETURN);
    });
    MainForm->item("mmiJumpToPosition").click();
    EXPECT_EQ(spy->seeks, std::vector<int>{75});
}

TEST_F(FrameDialogsTest, PastedTextIsReportedAndTheDialogStaysOpen) {
    playing();
    bool stillOpen = false;
    whenShown([&] {
        auto* d = shownDialog<TJumpToPositionForm>("跳到指定帧");
        ASSERT_NE(d, nullptr);
        d->edtFrameNum->setText("9x");  // as pasted through the context menu
        d->edtFrameNum->setFocus();
        pressKey(VK_RETURN);
        stillOpen = IsWindowVisible(d->handle()) != 0;
        pressKey(VK_ESCAPE);
    });
    PlayForm->pmiJumpToFrameClick();
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(spy->seeks.empty());
    EXPECT_EQ(app.ui.lastText(), "'9x' is not a valid integer value.");
}

TEST_F(FrameDialogsTest, PlayRangeMovesFromFieldToFieldAndStarts) {
    playing();
    whenShown([&] {
        auto* d = shownDialog<TPlayAreaForm>("播放指定范围");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->lblCaption->text(), "请输入要播放的范围（0—300）：");
        EXPECT_EQ(d->edtBegin->text(), "42");
        EXPECT_EQ(d->edtEnd->text(), "300");
        retype(*d->edtBegin, "10");
        pressKey(VK_RETURN);
        EXPECT_TRUE(d->edtEnd->focused());
        EXPECT_TRUE(d->bbtnOK->isDefault);
        typeText("20");  // replaces the selected number
        EXPECT_EQ(d->edtEnd->text(), "20");
        pressKey(VK_RETURN);
    });
    PlayForm->pmiPlayAreaClick();
    EXPECT_TRUE(PlayAreaActive);
    EXPECT_EQ(AreaBeginFrame, 10);
    EXPECT_EQ(AreaEndFrame, 20);
    EXPECT_EQ(spy->seeks, std::vector<int>{10});
}

TEST_F(FrameDialogsTest, RangeThatDoesNotConvertLeavesTheRunningLoopAlone) {
    playing();
    ABCircleActive = true;
    AreaBeginFrame = 10;
    AreaEndFrame = 20;
    whenShown([&] {
        auto* d = shownDialog<TPlayAreaForm>("播放指定范围");
        ASSERT_NE(d, nullptr);
        d->edtEnd->setText("2x");
        d->bbtnOK->click();
        EXPECT_TRUE(IsWindowVisible(d->handle()));
        d->edtBegin->setFocus();
        pressKey(VK_ESCAPE);
    });
    PlayForm->pmiPlayAreaClick();
    EXPECT_FALSE(PlayAreaActive);
    EXPECT_TRUE(ABCircleActive);
    EXPECT_EQ(AreaBeginFrame, 10);
    EXPECT_EQ(AreaEndFrame, 20);
    EXPECT_TRUE(spy->seeks.empty());
}

TEST_F(FrameDialogsTest, ABMenuItemOpensTheLoopAndEndsItOnTheSecondChoice) {
    int opened = 0;
    auto count = [&](std::function<void(TCirclePlayAreaForm&)> act) {
        whenShown([&, act] {
            auto* d = shownDialog<TCirclePlayAreaForm>("A-B循环");
            if (!d) return;  // none opened
            ++opened;
            act(*d);
        });
    };
    count([](TCirclePlayAreaForm&) {});
    abItem().click();  // stopped: nothing
    pump(150);
    EXPECT_FALSE(abItem().checked());
    EXPECT_EQ(opened, 0);

    playing();
    // Cancel takes the mark off again.
    count([](TCirclePlayAreaForm& d) { d.get<Button>("bbtnCancel").click(); });
    abItem().click();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(abItem().checked());
    EXPECT_FALSE(ABCircleActive);

    count([](TCirclePlayAreaForm& d) {
        EXPECT_EQ(d.lblCaption->text(), "请输入要进行循环的范围（0—300）：");
        d.edtEnd->setFocus();
        pressKey(VK_RETURN);
    });
    abItem().click();
    EXPECT_EQ(opened, 2);
    EXPECT_TRUE(abItem().checked());
    EXPECT_TRUE(ABCircleActive);
    EXPECT_EQ(AreaBeginFrame, 42);
    EXPECT_EQ(AreaEndFrame, 300);

    // The second choice ends the loop without a dialog.
    count([](TCirclePlayAreaForm& d) { d.close(); });
    abItem().click();
    pump(150);
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(abItem().checked());
    EXPECT_FALSE(ABCircleActive);

    // Esc in a field closes without a loop; the mark stays until the next choice.
    count([](TCirclePlayAreaForm& d) {
        d.edtBegin->setFocus();
        pressKey(VK_ESCAPE);
    });
    abItem().click();
    EXPECT_EQ(opened, 3);
    EXPECT_TRUE(abItem().checked());
    EXPECT_FALSE(ABCircleActive);
}
