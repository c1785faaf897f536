// Screenshots of the demo dialog (only when KV_SCREENSHOT_DIR is set): its
// first page with the focus on the name field, and its second page with the
// focus on a check box and a button under the mouse.
#include <gtest/gtest.h>

#include "tests/support/FakeUiServices.h"
#include "tests/ui/DemoDialog.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/Screenshot.h"

using namespace kv;
using namespace kv::test;

TEST(DialogScreenshots, DemoDialog) {
    std::string dir = screenshotDir();
    if (dir.empty()) GTEST_SKIP() << "KV_SCREENSHOT_DIR not set";
    FakeUiServices fakeUi;
    DemoDialog dlg;
    dlg.showModeless();
    SetForegroundWindow(dlg.handle());
    pump(100);
    dlg.get<RadioGroup>("rgQuality").setItemIndex(1);
    dlg.get<CheckBox>("chkLoop").setChecked(true);
    dlg.get<SpinEdit>("seVolume").setValue(75);
    dlg.get<Edit>("edtFrame").setText("120");
    dlg.get<TrackBar>("tbSpeed").setPosition(4);
    dlg.get<Edit>("edtPlayListName").setFocus();
    dlg.get<Edit>("edtPlayListName").selectAll();
    pump(200);
    EXPECT_TRUE(saveWindowShot(dlg.handle(), dir + "\\dialog-demo-focus-edit.bmp"));

    dlg.get<PageControl>("pcPages").setActivePageIndex(1);
    dlg.get<DrawListBox>("lstFiles").setSelectedIndex(1);
    dlg.get<CheckBox>("chkLoop").setFocus();
    // The mouse over a button shows its hover look.
    mouseAt(centreOf(dlg.get<Button>("bbtnApply").handle()), 0);
    PostMessageA(dlg.get<Button>("bbtnApply").handle(), WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
    pump(200);
    EXPECT_TRUE(saveWindowShot(dlg.handle(), dir + "\\dialog-demo-focus-check.bmp"));

    dlg.get<Button>("bbtnOK").setFocus();
    dlg.get<Edit>("edtFrame").setEnabled(false);
    dlg.get<Button>("bbtnApply").setEnabled(false);
    pump(200);
    EXPECT_TRUE(saveWindowShot(dlg.handle(), dir + "\\dialog-demo-focus-ok.bmp"));
}
