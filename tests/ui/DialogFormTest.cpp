// The dialog framework driven as a user drives it: the demo dialog's table,
// tab order, Enter and Esc, and the behaviour of each control kind.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/FakeUiServices.h"
#include "tests/ui/DemoDialog.h"
#include "tests/ui/DialogDriver.h"
#include "ui/NameFilter.h"
#include "ui/RuntimeErrors.h"

using namespace kv;
using namespace kv::test;

namespace {

// Names the control that has the focus after each Tab.
class DemoTest : public DemoDialogTest {
protected:
    std::vector<std::string> focusWalk(int steps, bool forward) {
        std::vector<std::string> names;
        for (int i = 0; i < steps; ++i) {
            pressKey(VK_TAB, !forward);
            names.push_back(nameOf(dlg.activeControl()));
        }
        return names;
    }
    std::string nameOf(Control* ctl) {
        for (const char* n : kNames)
            if (dlg.find(n) == ctl) return n;
        if (auto* r = dynamic_cast<RadioButton*>(ctl)) return "radio:" + r->text();
        return "?";
    }
    static constexpr const char* kNames[] = {
        "edtPlayListName", "edtFrame", "seVolume",  "chkLoop", "cboQuality", "cboURL",
        "rdoAll",          "rdoSome",  "tbSpeed",   "pcPages", "lvFileList", "memComment",
        "lstFiles",        "cboDrive", "bbtnApply", "bbtnOK",  "bbtnCancel"};
};

TEST_F(DemoTest, EveryRowIsMadeAsItsKind) {
    EXPECT_NE(dynamic_cast<Label*>(dlg.find("lblName")), nullptr);
    EXPECT_NE(dynamic_cast<SpeedButton*>(dlg.find("sbMoveUp")), nullptr);
    EXPECT_NE(dynamic_cast<TabSheet*>(dlg.find("tsOther")), nullptr);
    EXPECT_EQ(dlg.find("nothing"), nullptr);
    EXPECT_THROW(dlg.get<Edit>("chkLoop"), std::logic_error);
    EXPECT_EQ(c<Edit>("edtPlayListName").text(), "新建播放列表");
    EXPECT_EQ(c<ComboBox>("cboQuality").items(), (std::vector<std::string>{"高", "中", "低"}));
    EXPECT_EQ(c<RadioGroup>("rgQuality").count(), 3);
    EXPECT_EQ(c<RadioGroup>("rgQuality").caption(), "画面质量");
    EXPECT_EQ(c<ReportList>("lvFileList").columnCount(), 2);
    EXPECT_EQ(c<ReportList>("lvFileList").cell(1, 1), "C:\\动画\\二.swf");
    EXPECT_EQ(c<PageControl>("pcPages").pageCount(), 2);
    EXPECT_EQ(c<SpinEdit>("seVolume").maxValue(), 100);
    // Children sit in their containers.
    EXPECT_EQ(GetParent(c<Panel>("pnlTitle").handle()), c<GroupBox>("GroupBox1").handle());
    EXPECT_EQ(GetParent(c<Memo>("memComment").handle()), c<TabSheet>("tsOther").handle());
}

TEST_F(DemoTest, TabWalksTheTableOrderAndShiftTabWalksBack) {
    c<Edit>("edtPlayListName").setFocus();
    pump();
    // Labels, panels, group boxes and the progress bar are no stops; a radio
    // group is one stop (its checked button), and only the visible page counts.
    std::vector<std::string> forward = focusWalk(15, true);
    std::vector<std::string> expected = {"edtFrame", "seVolume",  "chkLoop", "cboQuality", "cboURL",
                                         "radio:高", "rdoAll",    "tbSpeed", "pcPages",    "lvFileList",
                                         "cboDrive", "bbtnApply", "bbtnOK",  "bbtnCancel", "edtPlayListName"};
    // The radio group has no checked item yet: its first button is the stop.
    EXPECT_EQ(forward, expected);
    std::vector<std::string> back = focusWalk(2, false);
    EXPECT_EQ(back, (std::vector<std::string>{"bbtnCancel", "bbtnOK"}));
}

TEST_F(DemoTest, EnterPressesTheDefaultButtonOrTheFocusedOneAndEscCancels) {
    c<Edit>("edtFrame").setFocus();
    pressKey(VK_RETURN);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"ok"}));  // default button; a modeless form closes
    EXPECT_FALSE(IsWindowVisible(dlg.handle()));
    dlg.showModeless();
    pump();
    c<Button>("bbtnApply").setFocus();
    pressKey(VK_RETURN);
    EXPECT_EQ(dlg.log.back(), "apply");
    EXPECT_TRUE(IsWindowVisible(dlg.handle()));
    // Enter in a memo makes a new line.
    c<PageControl>("pcPages").setActivePageIndex(1);
    c<Memo>("memComment").setFocus();
    SendMessageA(c<Memo>("memComment").handle(), EM_SETSEL, 1, 1);  // between the two characters
    pressKey(VK_RETURN);
    EXPECT_EQ(c<Memo>("memComment").lines().size(), 2u);
    EXPECT_EQ(dlg.log.size(), 2u);
    pressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(dlg.handle()));
}

TEST_F(DemoTest, DigitsOnlyEditTakesDigitsButNotLettersWhilePastedTextReachesTheConversion) {
    Edit& e = c<Edit>("edtFrame");
    e.setFocus();
    typeText("1a2-3 中");
    EXPECT_EQ(e.text(), "123");
    EXPECT_EQ(StrToInt(e.text()), 123);
    e.setText("");
    SendMessageA(e.handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("12ab"));  // as a paste does
    EXPECT_EQ(e.text(), "12ab");
    try {
        StrToInt(e.text());
        ADD_FAILURE() << "no ConvertError";
    } catch (const ConvertError& err) {
        EXPECT_STREQ(err.what(), "'12ab' is not a valid integer value");
    }
}

TEST_F(DemoTest, NameFilterSwallowsRefusedKeysWithTheExactWarningAndLetsChineseThrough) {
    Edit& e = c<Edit>("edtPlayListName");
    e.setText("");
    e.setFocus();
    // "昞" is 0x95 0x5C in GBK: its trail byte is a backslash.
    typeText("a-b\\\x95\x5c|c");
    EXPECT_EQ(e.text(),
              "ab\x95\x5c"
              "c");
    ASSERT_EQ(fakeUi.messages.size(), 3u);
    EXPECT_EQ(fakeUi.messages[0].text,
              "播放列表名称中不能包含下列任何字符之一:\r\r     - \\ / : * ? \" < > |");
    EXPECT_EQ(fakeUi.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(fakeUi.messages[0].flags, static_cast<unsigned>(MB_OK | MB_ICONWARNING));
}

TEST_F(DemoTest, SpinEditKeepsItsRangeForArrowsWheelAndTypedText) {
    SpinEdit& s = c<SpinEdit>("seVolume");
    s.setFocus();
    EXPECT_EQ(s.value(), 0);
    pressKey(VK_DOWN);
    EXPECT_EQ(s.value(), 0);
    pressKey(VK_UP);
    pressKey(VK_UP);
    EXPECT_EQ(s.text(), "2");
    wheel(s.handle(), 3);
    EXPECT_EQ(s.value(), 5);
    s.setValue(250);
    EXPECT_EQ(s.text(), "100");
    pressKey(VK_UP);
    EXPECT_EQ(s.value(), 100);
    s.selectAll();
    typeText("x-7");
    EXPECT_EQ(s.text(), "7");  // letters and the minus sign are refused for 0..100
    s.setText("999");
    c<Edit>("edtFrame").setFocus();
    pump();
    EXPECT_EQ(s.text(), "100");  // leaving the field brings it into range
    EXPECT_FALSE(std::count(dlg.log.begin(), dlg.log.end(), "volume") == 0);
}

TEST_F(DemoTest, CheckBoxSetFromCodeRaisesItsClickLikeTheUser) {
    CheckBox& box = c<CheckBox>("chkLoop");
    box.setChecked(true);
    box.setChecked(true);  // no change: no click
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"loop:1"}));
    click(box.handle(), 5, 5);
    EXPECT_FALSE(box.checked());
    box.setFocus();
    pressKey(VK_SPACE);
    EXPECT_TRUE(box.checked());
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"loop:1", "loop:0", "loop:1"}));
}

TEST_F(DemoTest, RadioButtonsExcludeEachOtherAndArrowsMoveTheChoice) {
    RadioGroup& g = c<RadioGroup>("rgQuality");
    click(g.button(1)->handle(), 5, 5);
    EXPECT_EQ(g.itemIndex(), 1);
    pressKey(VK_DOWN);
    EXPECT_EQ(g.itemIndex(), 2);
    EXPECT_TRUE(hasFocus(*g.button(2)));
    pressKey(VK_DOWN);  // wraps
    EXPECT_EQ(g.itemIndex(), 0);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"quality:1", "quality:2", "quality:0"}));
    RadioButton& all = c<RadioButton>("rdoAll");
    RadioButton& some = c<RadioButton>("rdoSome");
    EXPECT_TRUE(all.checked());
    some.setChecked(true);
    EXPECT_FALSE(all.checked());
}

TEST(DialogForm, ShowModalIsCentredOnTheMainWindowAndReturnsTheButtonsResult) {
    FakeUiServices fakeUi;
    Form main;
    ASSERT_TRUE(main.createForm("KvTestMain", "main", 100, 80, 700, 540, WS_OVERLAPPEDWINDOW));
    main.show();
    Application::instance().mainForm = &main;
    struct Script {
        static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
            KillTimer(nullptr, id);
            pressKey(VK_RETURN);
        }
    };
    DemoDialog dlg;
    SetTimer(nullptr, 0, 100, &Script::tick);
    EXPECT_EQ(dlg.ShowModal(), IDOK);
    EXPECT_EQ(GetWindow(dlg.handle(), GW_OWNER), main.handle());
    RECT d, m;
    GetWindowRect(dlg.handle(), &d);
    GetWindowRect(main.handle(), &m);
    EXPECT_NEAR((d.left + d.right) / 2, (m.left + m.right) / 2, 1);
    EXPECT_NEAR((d.top + d.bottom) / 2, (m.top + m.bottom) / 2, 1);
    EXPECT_EQ(dlg.log, (std::vector<std::string>{"ok"}));
    SetTimer(nullptr, 0, 100, &Script::tick);
    // Enter on the focused cancel button presses it.
    dlg.setActiveControl(&dlg.get<Button>("bbtnCancel"));
    EXPECT_EQ(dlg.ShowModal(), IDCANCEL);
    Application::instance().mainForm = nullptr;
}

}  // namespace
