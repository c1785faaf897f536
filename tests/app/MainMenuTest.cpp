// The menu bar with the real windows: every item reaches a handler, the
// Open URL history and dialog, the property window, About and Help.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/AboutForm.h"
#include "app/FlashFilePropertyForm.h"
#include "app/MainForm.h"
#include "app/OpenURLForm.h"
#include "app/OpenURLHistory.h"
#include "playlist/PlayListState.h"
#include "tests/support/AppHarness.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/Screenshot.h"
#include "tools/swfwriter/SwfWriter.h"

using namespace kv;
using namespace kv::test;

namespace {


// Saves the window's picture when screenshots are asked for.
void shot(HWND h, const char* name) {
    const std::string dir = screenshotDir();
    if (!dir.empty()) saveWindowShot(h, dir + "\\" + name + ".bmp");
}

template <class T>
T* shownDialog(const char* caption) {
    return dynamic_cast<T*>(controlOf(FindWindowA(nullptr, caption)));
}

class MainMenuTest : public ::testing::Test {
protected:
    AppHarness app;
    void SetUp() override { ASSERT_TRUE(app.start()); }
    void TearDown() override {
        cancelShownStep();
        app.stop();
    }
    std::string ini() const { return app.folder.read("Korvamelden.ini"); }
};

void collectUnwired(MenuItem& m, std::vector<std::string>& out) {
    for (int i = 0; i < m.count(); ++i) {
        MenuItem* c = m.item(i);
        if (c->isSeparator() || !c->visible()) continue;
        if (c->count() > 0 || c->name() == "mmiLatestUsedFiles")
            collectUnwired(*c, out);
        else if (!c->onClick)
            out.push_back(c->name() + " " + c->caption());
    }
}

}  // namespace

TEST_F(MainMenuTest, EveryItemOfTheMenuBarAndTrayMenuHasAHandler) {
    std::vector<std::string> unwired;
    collectUnwired(MainForm->MainMenu1->root(), unwired);
    collectUnwired(MainForm->pmTrayMenu->root(), unwired);
    EXPECT_EQ(unwired, std::vector<std::string>{});

    // The routines those handlers end in are installed.
    EXPECT_TRUE(Seams.showAbout);
    EXPECT_TRUE(Seams.showFlashFileProperty);
    EXPECT_TRUE(Seams.showOptions);
    EXPECT_TRUE(Seams.tidyFavorites);
    EXPECT_TRUE(Seams.addFileToFavorite);
    EXPECT_TRUE(Seams.playFavoriteItem);
    EXPECT_TRUE(Seams.jumpToFrame);
    EXPECT_TRUE(Seams.playArea);
    EXPECT_TRUE(Seams.openFiles);
    EXPECT_TRUE(ShowOpenURLDialog);
}

TEST_F(MainMenuTest, WebAndMailItemsHandTheirAddressToTheShell) {
    for (const char* name : {"mmiHomePage", "mmiCheckUpdate", "mmiWriteToAuthor"})
        MainForm->item(name).click();
    (*MainForm->pmTrayMenu)["pmiTrayWriteToAuthor"].click();
    ASSERT_EQ(app.sys.executed.size(), 4u);
    EXPECT_EQ(app.sys.executed[0].file.rfind("https://", 0), 0u);
    EXPECT_EQ(app.sys.executed[2].file.rfind("mailto:", 0), 0u);
    EXPECT_EQ(app.sys.executed[3].file, app.sys.executed[2].file);
}

TEST_F(MainMenuTest, HelpWithoutTheFileWarnsAndWithItOpensThroughTheShell) {
    MainForm->item("mmiHelpTopic").click();
    EXPECT_EQ(app.ui.lastText(), "未发现任何帮助文档！");
    EXPECT_TRUE(app.sys.executed.empty());
    app.folder.write("Help.chm", "ITSF");
    MainForm->item("mmiHelpTopic").click();
    ASSERT_EQ(app.sys.executed.size(), 1u);
    EXPECT_EQ(app.sys.executed[0].file, ProgramPath + "Help.chm");
}

// ---- Open URL history ----

TEST(OpenURLHistoryTest, OrderLimitDuplicatesAndKeysKept) {
    struct Case {
        const char* name;
        std::string text;  // section contents before
        std::vector<std::string> add;
        std::vector<std::string> read;   // as read
        std::vector<std::string> after;  // as written
    } cases[] = {
        {"file order, not key order", "[OpenURL History]\r\n2=b\r\n1=a\r\n", {}, {"b", "a"}, {"b", "a"}},
        {"duplicates kept", "", {"x", "x"}, {}, {"x", "x"}},
        {"ten kept, oldest dropped",
         "[OpenURL History]\r\n1=0\r\n2=1\r\n3=2\r\n4=3\r\n5=4\r\n6=5\r\n7=6\r\n8=7\r\n9=8\r\n10=9\r\n",
         {"new"},
         {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"},
         {"1", "2", "3", "4", "5", "6", "7", "8", "9", "new"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IniFile ini = IniFile::fromText("C:\\k.ini", c.text);
        std::vector<std::string> h = ReadOpenURLHistory(ini);
        EXPECT_EQ(h, c.read);
        for (const auto& a : c.add) AddOpenURLHistory(h, a);
        WriteOpenURLHistory(ini, h);
        IniFile again = IniFile::fromText("C:\\k.ini", ini.text());
        for (size_t i = 0; i < c.after.size(); ++i)
            EXPECT_EQ(again.readString(kOpenURLHistorySection, std::to_string(i + 1), "?"), c.after[i]);
    }
    // Keys 2, 1 written back as 1, 2 with the values exchanged; a key beyond
    // the list stays.
    IniFile ini = IniFile::fromText("C:\\k.ini", "[OpenURL History]\r\n2=b\r\n1=a\r\n7=old\r\n");
    std::vector<std::string> h = ReadOpenURLHistory(ini);
    h.pop_back();
    WriteOpenURLHistory(ini, h);
    EXPECT_EQ(ini.readString(kOpenURLHistorySection, "1", ""), "b");
    EXPECT_EQ(ini.readString(kOpenURLHistorySection, "2", ""), "a");
    EXPECT_EQ(ini.readString(kOpenURLHistorySection, "7", ""), "old");
}

TEST_F(MainMenuTest, OpenURLAddsTheAddressAsCurrentItemAndRemembersIt) {
    app.folder.write("Korvamelden.ini", "[OpenURL History]\r\n2=second\r\n1=first\r\n");
    AppHarness::setList({"C:\\a.swf"});
    bool shown = false;
    whenShown([&] {
        auto* d = shownDialog<TOpenURLForm>("打开URL");
        ASSERT_NE(d, nullptr);
        shown = true;
        EXPECT_EQ(d->cboFileName().items(), (std::vector<std::string>{"second", "first"}));
        d->cboFileName().setFocus();
        typeText("http://server/folder/movie.swf");
        shot(d->handle(), "open_url");
        pressKey(VK_RETURN);  // not the default button: the dialog stays
        EXPECT_TRUE(IsWindowVisible(d->handle()));
        click(d->get<Button>("bbtnOK").handle());
    });
    MainForm->item("mmiOpenURL").click();
    ASSERT_TRUE(shown);
    ASSERT_EQ(PlayListCount, 2);
    EXPECT_EQ(CurrentIndex, 2);
    EXPECT_EQ(PlayListFiles[1], "http://server/folder/movie.swf");
    EXPECT_EQ(PlayListTitles[1], "//server/folder/movie");
    EXPECT_EQ(Options.LastOpenFolder, "http:");
    IniFile after(ProgramPath + "Korvamelden.ini");
    // The keys stood as 2, 1: the list goes back under 1, 2, 3 in list order.
    EXPECT_EQ(after.readString(kOpenURLHistorySection, "1", ""), "second");
    EXPECT_EQ(after.readString(kOpenURLHistorySection, "2", ""), "first");
    EXPECT_EQ(after.readString(kOpenURLHistorySection, "3", ""), "http://server/folder/movie.swf");
}

TEST_F(MainMenuTest, CancelLeavesTheListAndTheHistoryFileUnchanged) {
    const std::string before = "[OpenURL History]\r\n1=a\r\n2=b\r\n";
    app.folder.write("Korvamelden.ini", before);
    AppHarness::setList({"C:\\a.swf"});
    whenShown([&] {
        auto* d = shownDialog<TOpenURLForm>("打开URL");
        ASSERT_NE(d, nullptr);
        d->cboFileName().setFocus();
        typeText("typed");
        pressKey(VK_ESCAPE);
    });
    MainForm->item("mmiOpenURL").click();
    EXPECT_EQ(PlayListCount, 1);
    EXPECT_EQ(ini(), before);
}

TEST_F(MainMenuTest, OpenURLDropDownShowsTenRows) {
    std::string history = "[OpenURL History]\r\n";
    for (int i = 1; i <= 10; ++i)
        history += std::to_string(i) + "=http://h/" + std::to_string(i) + ".swf\r\n";
    app.folder.write("Korvamelden.ini", history);
    int rows = 0;
    whenShown([&] {
        auto* d = shownDialog<TOpenURLForm>("打开URL");
        ASSERT_NE(d, nullptr);
        HWND combo = d->cboFileName().handle();
        // More items than rows, so the list cannot shrink to its items.
        d->cboFileName().add("11");
        d->cboFileName().add("12");
        SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(GetComboBoxInfo(combo, &info));
        RECT rc;
        GetClientRect(info.hwndList, &rc);
        const int item = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
        if (item > 0) rows = rc.bottom / item;
        SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        pressKey(VK_ESCAPE);
    });
    MainForm->item("mmiOpenURL").click();
    EXPECT_EQ(rows, 10);
}

// ---- property window and About ----

TEST_F(MainMenuTest, PropertyWindowListsTheMovieFacts) {
    swfw::Movie m;
    m.frameCount = 150;
    m.frameRate = 12;
    m.setBackground(255, 255, 255);
    m.showFrame();
    const std::string path = app.folder.file("clip.swf");
    ASSERT_TRUE(swfw::writeFile(path, m.build()));
    const std::string notFlash = app.folder.file("note.txt");
    app.folder.write("note.txt", "hello");

    ShowFlashFileProperty("t", app.folder.file("missing.swf"));  // nothing at all
    EXPECT_TRUE(app.ui.messages.empty());
    ShowFlashFileProperty("t", notFlash);
    EXPECT_EQ(app.ui.lastText(), "无法读取指定文件属性，该文件可能不是Flash文件。");

    std::vector<std::string> files, flash;
    whenShown([&] {
        auto* d = shownDialog<TShowFlashFilePropertyForm>("clip 属性");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->edtTitle().text(), "我的动画");
        for (int i = 0; i < d->lvFileInfo().rowCount(); ++i) files.push_back(d->lvFileInfo().cell(i, 1));
        for (int i = 0; i < d->lvFlashInfo().rowCount(); ++i) flash.push_back(d->lvFlashInfo().cell(i, 1));
        RECT rc;
        GetClientRect(d->handle(), &rc);
        EXPECT_EQ(rc.right, 332);
        EXPECT_EQ(rc.bottom, 329);
        shot(d->handle(), "flash_file_property");
        click(d->lblClose().handle());
    });
    ShowFlashFileProperty("我的动画", path);
    EXPECT_EQ(app.ui.messages.size(), 1u);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0], "Flash动画");
    EXPECT_EQ(files[1], path);
    EXPECT_EQ(flash, (std::vector<std::string>{"6", "150 帧", "12 帧/秒", "00:12", "550 像素 × 400 像素"}));
}

TEST_F(MainMenuTest, AboutShowsNameAndVersionAndClosesWithEsc) {
    bool shown = false;
    whenShown([&] {
        auto* d = shownDialog<TAboutForm>("关于");
        ASSERT_NE(d, nullptr);
        shown = true;
        EXPECT_EQ(d->get<Label>("lblName").text(), "TesvanorFlash播放器");
        EXPECT_EQ(d->get<Label>("lblVersion").text(), "V1.6正式版");
        shot(d->handle(), "about");
        pressKey(VK_ESCAPE);
    });
    MainForm->item("mmiAbout").click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(FindWindowA(nullptr, "关于"), nullptr);
}

TEST(HelpFileTest, ShipsBesideTheProgramAsACompiledHelpFile) {
    HANDLE h = CreateFileA(KV_DIST_DIR "/Help.chm", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char magic[4] = {};
    DWORD got = 0;
    ReadFile(h, magic, 4, &got, nullptr);
    const DWORD size = GetFileSize(h, nullptr);
    CloseHandle(h);
    EXPECT_EQ(std::string(magic, got), "ITSF");
    EXPECT_GT(size, 4000u);
}
