// The other control kinds of the demo dialog under real input: combo boxes,
// track bar, pages, list view check boxes, owner-drawn list, clipboard and
// IME input in edits; modeless and sizeable forms.
#include <gtest/gtest.h>

#include "tests/support/FakeUiServices.h"
#include "tests/ui/DemoDialog.h"
#include "tests/ui/DialogDriver.h"

using namespace kv;
using namespace kv::test;

namespace {

using ControlsTest = DemoDialogTest;

TEST_F(ControlsTest, ComboBoxesFollowKeysAndWheelAndKeepAHistory) {
    ComboBox& q = c<ComboBox>("cboQuality");
    int changes = 0;
    q.onChange = [&] { ++changes; };
    q.setFocus();
    pressKey(VK_DOWN);
    EXPECT_EQ(q.itemIndex(), 1);
    wheel(q.handle(), -1);
    EXPECT_EQ(q.itemIndex(), 2);
    EXPECT_EQ(changes, 2);
    q.setItemIndex(0);  // from code: no change event
    EXPECT_EQ(changes, 2);

    ComboBox& url = c<ComboBox>("cboURL");
    url.setText("http://c.cn/3.swf");
    url.addHistory("http://b.cn/2.swf", 2);
    EXPECT_EQ(url.items(), (std::vector<std::string>{"http://b.cn/2.swf", "http://a.cn/1.swf"}));
    EXPECT_EQ(url.text(), "http://c.cn/3.swf");
    url.setFocus();
    typeText("x");
    EXPECT_TRUE(url.editable());
}

TEST_F(ControlsTest, TrackBarMovesByKeysAndWheelAndReportsChanges) {
    TrackBar& t = c<TrackBar>("tbSpeed");
    int changes = 0;
    t.onChange = [&] { ++changes; };
    t.setPosition(5);
    EXPECT_EQ(changes, 0);
    t.setFocus();
    pressKey(VK_RIGHT);
    EXPECT_EQ(t.position(), 6);
    pressKey(VK_END);
    EXPECT_EQ(t.position(), 10);
    pressKey(VK_RIGHT);  // at the end: no change
    EXPECT_EQ(changes, 2);
    wheel(t.handle(), 1);
    EXPECT_NE(t.position(), 10);
    EXPECT_EQ(changes, 3);
}

TEST_F(ControlsTest, PagesTurnByClickAndCtrlTabAndHideTheirControls) {
    PageControl& pc = c<PageControl>("pcPages");
    std::vector<int> turned;
    pc.onChange = [&] { turned.push_back(pc.activePageIndex()); };
    EXPECT_TRUE(IsWindowVisible(c<ReportList>("lvFileList").handle()));
    EXPECT_FALSE(IsWindowVisible(c<Memo>("memComment").handle()));
    RECT tab;
    SendMessageA(pc.handle(), TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    click(pc.handle(), (tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    EXPECT_EQ(pc.activePageIndex(), 1);
    EXPECT_TRUE(IsWindowVisible(c<Memo>("memComment").handle()));
    EXPECT_FALSE(IsWindowVisible(c<ReportList>("lvFileList").handle()));
    c<Edit>("edtFrame").setFocus();
    pressKey(VK_TAB, false, true);
    EXPECT_EQ(pc.activePageIndex(), 0);
    pressKey(VK_TAB, true, true);
    EXPECT_EQ(pc.activePageIndex(), 1);
    EXPECT_EQ(turned, (std::vector<int>{1, 0, 1}));
}

TEST_F(ControlsTest, ReportListCheckBoxesAnswerSpaceAndCodeAndRowsSelect) {
    ReportList& lv = c<ReportList>("lvFileList");
    std::vector<int> checkedRows;
    int selections = 0;
    lv.onItemChecked = [&](int row) { checkedRows.push_back(row); };
    lv.onChange = [&] { ++selections; };
    EXPECT_TRUE(lv.checked(0));
    EXPECT_FALSE(lv.checked(1));
    lv.setFocus();
    lv.setSelectedIndex(1);
    EXPECT_EQ(lv.selectedIndex(), 1);
    pressKey(VK_SPACE);
    EXPECT_TRUE(lv.checked(1));
    lv.setChecked(0, false);
    EXPECT_EQ(checkedRows, (std::vector<int>{1, 0}));
    pressKey(VK_UP);
    EXPECT_EQ(lv.selectedIndex(), 0);
    EXPECT_GE(selections, 2);
    EXPECT_EQ(lv.addRow({"动画三", "C:\\3.swf"}), 2);
    EXPECT_EQ(lv.cell(2, 0), "动画三");
    EXPECT_TRUE(checkedRows.size() == 2) << "adding a row is no check";
}

TEST_F(ControlsTest, OwnerDrawnListBoxDrawsThroughItsHandler) {
    c<PageControl>("pcPages").setActivePageIndex(1);
    DrawListBox& lst = c<DrawListBox>("lstFiles");
    std::vector<int> drawn;
    lst.onDrawItem = [&](const DrawItem& item) {
        drawn.push_back(item.index);
        lst.drawDefault(item);
    };
    InvalidateRect(lst.handle(), nullptr, TRUE);
    UpdateWindow(lst.handle());
    EXPECT_EQ(drawn, (std::vector<int>{0, 1}));
    int changes = 0;
    lst.onChange = [&] { ++changes; };
    click(lst.handle(), 10, 5);
    EXPECT_EQ(lst.selectedIndex(), 0);
    pressKey(VK_DOWN);
    EXPECT_EQ(lst.selectedIndex(), 1);
    EXPECT_EQ(changes, 2);
}

TEST_F(ControlsTest, EditsTakeClipboardKeysAndImeCharactersThroughTheFilter) {
    Edit& e = c<Edit>("edtPlayListName");
    e.setFocus();
    e.selectAll();
    pressKey('C', false, true);
    e.setText("");
    pressKey('V', false, true);
    pressKey('V', false, true);
    EXPECT_EQ(e.text(), "新建播放列表新建播放列表");
    e.setText("");
    // The IME hands over whole characters: "乐" (0xC0D6), then a refused '|'.
    PostMessageA(e.handle(), WM_IME_CHAR, 0xC0D6, 1);
    PostMessageA(e.handle(), WM_IME_CHAR, '|', 1);
    pump();
    EXPECT_EQ(e.text(), "乐");
    EXPECT_EQ(fakeUi.messages.size(), 1u);
}

TEST_F(ControlsTest, HintsBecomeToolTipsAndDisabledControlsAreSkipped) {
    EXPECT_EQ(c<SpeedButton>("sbMoveUp").hint, "文件上移");
    c<Edit>("edtFrame").setEnabled(false);
    c<SpinEdit>("seVolume").setVisible(false);
    c<Edit>("edtPlayListName").setFocus();
    pressKey(VK_TAB);
    EXPECT_TRUE(hasFocus(c<CheckBox>("chkLoop")));
    int clicks = 0;
    c<SpeedButton>("sbMoveUp").onClick = [&] { ++clicks; };
    click(c<SpeedButton>("sbMoveUp").handle());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(hasFocus(c<CheckBox>("chkLoop"))) << "a speed button takes no focus";
}

class CountedForm : public DialogForm {
public:
    static int alive;
    CountedForm();
    ~CountedForm() override { --alive; }
    static const ControlSpec<CountedForm> kRows[];
};
int CountedForm::alive = 0;
const ControlSpec<CountedForm> CountedForm::kRows[] = {
    {Ctl::Memo, "memText", "", nullptr, {5, 5, 110, 30}, cfStretchX | cfStretchY},
    {Ctl::Button, "btnClose", "关闭", nullptr, {65, 40, 50, 14}, cfMoveX | cfMoveY | cfCloseOk},
};
CountedForm::CountedForm() : DialogForm({"计数", 120, 60, fsSizeable}) {
    declare(kRows);
    ++alive;
}

TEST(DialogForms, ModelessFormsFreeThemselvesWhenClosedAndAnchorsFollowTheSize) {
    FakeUiServices fakeUi;
    CountedForm* f = DialogForm::openModeless<CountedForm>();
    pump();
    EXPECT_EQ(CountedForm::alive, 1);
    Memo& memo = f->get<Memo>("memText");
    Button& close = f->get<Button>("btnClose");
    RECT before;
    GetWindowRect(f->handle(), &before);
    int memoW = memo.width(), memoH = memo.height(), btnX = close.left(), btnY = close.top(),
        btnW = close.width();
    SetWindowPos(f->handle(), nullptr, 0, 0, before.right - before.left + 40, before.bottom - before.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER);
    pump();
    EXPECT_EQ(memo.width(), memoW + 40);
    EXPECT_EQ(memo.height(), memoH + 30);
    EXPECT_EQ(close.left(), btnX + 40);
    EXPECT_EQ(close.top(), btnY + 30);
    EXPECT_EQ(close.width(), btnW);
    // Esc in a memo closes too (the form has no cancel button).
    memo.setFocus();
    SetForegroundWindow(f->handle());
    pressKey(VK_ESCAPE);
    EXPECT_EQ(CountedForm::alive, 0);
}

TEST(DialogForms, FormKeyDownSeesKeysFirstAndCanSwallowThem) {
    struct KeyForm : CountedForm {
        std::vector<WORD> keys;
        void FormKeyDown(WORD& key, ShiftState) override {
            keys.push_back(key);
            if (key == VK_ESCAPE) key = 0;
        }
    };
    FakeUiServices fakeUi;
    KeyForm f;
    f.showModeless();
    SetForegroundWindow(f.handle());
    pump();
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(f.handle()));
    pressKey(VK_RETURN);
    EXPECT_EQ(f.keys, (std::vector<WORD>{VK_ESCAPE, VK_RETURN}));
    EXPECT_EQ(f.get<Memo>("memText").lines().size(), 1u) << "Enter in the memo made a line break";
}

}  // namespace
