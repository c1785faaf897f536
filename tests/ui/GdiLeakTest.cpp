// Opening and closing a dialog leaves no GDI objects or windows behind: the
// demo dialog is made, shown, driven and freed 1,000 times and the counts
// before and after are compared.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/FakeUiServices.h"
#include "tests/ui/DemoDialog.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/GuiObjects.h"

using namespace kv;
using namespace kv::test;

namespace {

void openAndClose() {
    DemoDialog dlg;
    dlg.showModeless();
    dlg.get<CheckBox>("chkLoop").setChecked(true);
    dlg.get<PageControl>("pcPages").setActivePageIndex(1);
    dlg.get<Edit>("edtPlayListName").setFocus();
    Application::instance().processMessages();
    UpdateWindow(dlg.handle());
    dlg.close();
}

}  // namespace

TEST(GdiLeak, TheCounterSeesObjectsComeAndGo) {
    DWORD before = gdiObjectCount();
    ASSERT_GT(before, 0u);
    HBRUSH brushes[50];
    for (HBRUSH& b : brushes) b = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(gdiObjectCount(), before + 50);
    for (HBRUSH b : brushes) DeleteObject(b);
    EXPECT_EQ(gdiObjectCount(), before);
}

TEST(GdiLeak, DemoDialogOpenedAndClosedAThousandTimes) {
    FakeUiServices fakeUi;
    // The first rounds make what lives as long as the program (fonts, brushes, classes).
    for (int i = 0; i < 3; ++i) openAndClose();
    pump(50);
    DWORD gdiBefore = gdiObjectCount(), windowsBefore = threadWindowCount();
    DWORD start = GetTickCount();
    for (int i = 0; i < 1000; ++i) openAndClose();
    pump(50);
    DWORD gdiAfter = gdiObjectCount(), windowsAfter = threadWindowCount();
    std::printf("1000 rounds in %lu ms; GDI objects %lu -> %lu; windows %lu -> %lu\n", GetTickCount() - start,
                gdiBefore, gdiAfter, windowsBefore, windowsAfter);
    EXPECT_LE(gdiAfter, gdiBefore + 2);
    EXPECT_EQ(windowsAfter, windowsBefore);
}
