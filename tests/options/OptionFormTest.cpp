// The options dialog with the real main window: what it shows, how its
// controls depend on each other, what OK stores and applies, and what Cancel
// leaves alone. Registry keys it touches are put back after each test.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "options/ConvertWindowLink.h"
#include "options/OptionForm.h"
#include "options/OptionKeys.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "tests/support/AppHarness.h"
#include "tests/support/RegistrySnapshot.h"
#include "ui/Application.h"

using namespace kv;

namespace {

class OptionFormTest : public ::testing::Test {
protected:
    test::RegistrySnapshot saved{HKEY_CLASSES_ROOT,
                                 {".swf", ".fpl", ".ffv", "Korvamelden", "KorvameldenFile",
                                  "KorvameldenPlayList", "KorvameldenFavorite"}};
    test::AppHarness app;

    void start(const std::string& ini = "") { ASSERT_TRUE(app.start(ini)); }
    void TearDown() override { app.stop(); }
};

TEST_F(OptionFormTest, RecentFilesBoxAndCount) {
    start("[Option]\r\nListLatestFilesNum=3\r\n");
    {
        TOptionForm f;
        ASSERT_TRUE(f.create());
        EXPECT_TRUE(f.check("chkListLatestFiles").checked());
        EXPECT_EQ(f.spin("speLatestFilesNum").value(), 3);
        f.check("chkListLatestFiles").setChecked(false);
        EXPECT_EQ(f.spin("speLatestFilesNum").value(), 0);
        f.check("chkListLatestFiles").setChecked(true);
        EXPECT_EQ(f.spin("speLatestFilesNum").value(), 0);
        f.bbtnOKClick();
        EXPECT_EQ(f.modalResult(), IDOK);
    }
    EXPECT_EQ(Options.ListLatestFilesNum, 0);
    TOptionForm again;
    ASSERT_TRUE(again.create());
    EXPECT_FALSE(again.check("chkListLatestFiles").checked());
}

TEST_F(OptionFormTest, TrayBoxesAreTwinsAndDriveTheirDependents) {
    start("[Option]\r\nShowTrayIcon=0\r\nMinimizedToTray=1\r\nCloseToTray=0\r\n");
    TOptionForm f;
    ASSERT_TRUE(f.create());
    EXPECT_FALSE(f.check("chkMinimizedToTray").enabled());
    f.check("chkShowInTray").setChecked(true);
    EXPECT_TRUE(f.check("chkShowTrayIcon").checked());
    EXPECT_TRUE(f.check("chkMinimizedToTray").enabled());
    EXPECT_TRUE(f.check("chkCloseToTray").enabled());
    f.check("chkShowTrayIcon").setChecked(false);
    EXPECT_FALSE(f.check("chkShowInTray").checked());
    EXPECT_FALSE(f.check("chkCloseToTray").enabled());
}

TEST_F(OptionFormTest, TrayOffKeepsThePreviousDependentValues) {
    start("[Option]\r\nShowTrayIcon=0\r\nMinimizedToTray=1\r\nCloseToTray=0\r\n");
    TOptionForm f;
    ASSERT_TRUE(f.create());
    f.check("chkMinimizedToTray").setChecked(false);
    f.check("chkCloseToTray").setChecked(true);
    f.bbtnOKClick();
    EXPECT_TRUE(Options.MinimizedToTray);
    EXPECT_FALSE(Options.CloseToTray);
    EXPECT_FALSE(MainForm->TrayIconShown());
}

TEST_F(OptionFormTest, TrayIconAndTaskbarApplyAtOnce) {
    start("[Option]\r\nShowTrayIcon=1\r\n");
    ASSERT_TRUE(MainForm->TrayIconShown());
    TOptionForm f;
    ASSERT_TRUE(f.create());
    f.check("chkShowTrayIcon").setChecked(false);
    f.check("chkShowInTaskbar").setChecked(false);
    f.bbtnOKClick();
    EXPECT_FALSE(MainForm->TrayIconShown());
    EXPECT_FALSE(Application::instance().taskbarButtonShown());
    EXPECT_FALSE(Options.ShowTrayIcon);
}

TEST_F(OptionFormTest, PriorityAtTheTopIsRealtimeStoredAsFour) {
    start();
    TOptionForm f;
    ASSERT_TRUE(f.create());
    EXPECT_EQ(f.trbPRI().position(), 3);  // normal
    f.trbPRI().setPosition(1);
    app.sys.priorities.clear();
    f.bbtnOKClick();
    EXPECT_EQ(Options.ApplicationPRI, 4);
    EXPECT_EQ(app.sys.priorities, std::vector<DWORD>{REALTIME_PRIORITY_CLASS});
}

TEST_F(OptionFormTest, ConversionFolderMissingStoresEmptyAndRetargetsBesideSources) {
    start();
    std::vector<std::pair<std::string, std::string>> rows = {{"C:\\src\\a.swf", "E:\\old\\a.exe"},
                                                             {"D:\\b\\b.exe", "E:\\old\\b.swf"}};
    std::vector<int> modes;
    ConvertWindowLink link{[&] { return rows; }, [&](size_t i, const std::string& t) { rows[i].second = t; },
                           [&](int mode, bool, bool) { modes.push_back(mode); }};
    ConvertWindow = &link;
    {
        TOptionForm f;
        ASSERT_TRUE(f.create());
        EXPECT_TRUE(f.radio("rdoPlaceFileInSourceFolder").checked());
        EXPECT_FALSE(f.edtFilePlaceDirectory().enabled());
        f.radio("rdoPlaceFileInFollowingDirectory").setChecked(true);
        EXPECT_TRUE(f.edtFilePlaceDirectory().enabled());
        f.edtFilePlaceDirectory().setText("C:\\no such folder\\");
        f.radio("rdoswf2exe").setChecked(true);
        f.bbtnOKClick();
    }
    EXPECT_EQ(Options.SavePath, "");
    EXPECT_EQ(rows[0].second, "C:\\src\\a.exe");
    EXPECT_EQ(rows[1].second, "D:\\b\\b.swf");
    EXPECT_EQ(modes, std::vector<int>{1});
    // An existing folder is stored with its backslash and becomes every row's place.
    CreateDirectoryA(app.folder.file("out").c_str(), nullptr);
    {
        TOptionForm f;
        ASSERT_TRUE(f.create());
        f.radio("rdoPlaceFileInFollowingDirectory").setChecked(true);
        f.edtFilePlaceDirectory().setText(app.folder.file("out"));
        f.bbtnOKClick();
    }
    ConvertWindow = nullptr;
    EXPECT_EQ(Options.SavePath, app.folder.file("out\\"));
    EXPECT_EQ(rows[0].second, app.folder.file("out\\a.exe"));
    TOptionForm f;
    ASSERT_TRUE(f.create());
    EXPECT_TRUE(f.radio("rdoPlaceFileInFollowingDirectory").checked());
    EXPECT_EQ(f.edtFilePlaceDirectory().text(), app.folder.file("out\\"));
}

TEST_F(OptionFormTest, ChooseFolderAddsTheBackslash) {
    start();
    TOptionForm f;
    ASSERT_TRUE(f.create());
    app.ui.browseResults.push_back("D:\\Converted");
    f.sbChooseFilePlaceDirectoryClick();
    EXPECT_EQ(app.ui.browseTitles, std::vector<std::string>{"请选择文件的输出目录"});
    EXPECT_EQ(f.edtFilePlaceDirectory().text(), "D:\\Converted\\");
}

TEST_F(OptionFormTest, PageIsRememberedOnOkNotOnCancel) {
    start("[Option]\r\nOption=9\r\n");
    {
        TOptionForm f;
        ASSERT_TRUE(f.create());
        EXPECT_EQ(f.activePage(), 0);  // out of range
        f.lstOption().setSelectedIndex(4);
        f.lstOptionClick();
        EXPECT_EQ(f.activePage(), 4);
        f.bbtnOKClick();
    }
    {
        TOptionForm f;
        ASSERT_TRUE(f.create());
        EXPECT_EQ(f.activePage(), 4);
        EXPECT_EQ(f.lstOption().selectedIndex(), 4);
        f.lstOption().setSelectedIndex(2);
        f.lstOptionClick();
        // Cancel: the form is closed without OK.
    }
    EXPECT_EQ(ReadOptionPage(app.folder.path()), 4);
}

TEST_F(OptionFormTest, OkWritesTheAssociationKeysAndTheRegistry) {
    start();
    {
        TOptionForm f;
        ASSERT_TRUE(f.create());
        f.check("chkRegfpl").setChecked(true);
        f.check("chkLinkToMenu").setChecked(true);
        f.bbtnOKClick();
    }
    OptionAssociationKeys k = ReadOptionAssociationKeys(app.folder.path());
    EXPECT_TRUE(k.Regfpl);
    EXPECT_TRUE(k.LinkToMenu);
    EXPECT_FALSE(k.Regswf);
    std::string v;
    EXPECT_TRUE(RegReadDefault(HKEY_CLASSES_ROOT, "KorvameldenPlayList\\Shell\\Open\\Command", v));
    EXPECT_EQ(v, "\"" + app.folder.path() + "Korvamelden.exe\" \"%1\"");
    TOptionForm f;
    ASSERT_TRUE(f.create());
    EXPECT_TRUE(f.check("chkRegfpl").checked());
    EXPECT_TRUE(f.check("chkLinkToMenu").checked());
}

TEST_F(OptionFormTest, CheckFileLinkWhenStartRegistersAllThreeWhateverTheBoxes) {
    start("[Option]\r\nCheckFileLinkWhenStart=1\r\nRegswf=0\r\nRegfpl=0\r\nRegffv=0\r\n");
    const std::string command = "\"" + app.folder.path() + "Korvamelden.exe\" \"%1\"";
    for (const char* key : {"Korvamelden", "KorvameldenPlayList", "KorvameldenFavorite"}) {
        std::string v;
        EXPECT_TRUE(RegReadDefault(HKEY_CLASSES_ROOT, std::string(key) + "\\Shell\\Open\\Command", v)) << key;
        EXPECT_EQ(v, command) << key;
    }
}

TEST_F(OptionFormTest, CancelChangesNothing) {
    start();
    const Settings before = Options;
    {
        TOptionForm f;
        ASSERT_TRUE(f.create());
        f.check("chkConfirmWhenQuit").setChecked(true);
        f.check("chkRegswf").setChecked(true);
        f.trbPRI().setPosition(1);
    }
    EXPECT_EQ(Options.ConfirmWhenQuit, before.ConfirmWhenQuit);
    EXPECT_EQ(Options.ApplicationPRI, before.ApplicationPRI);
    EXPECT_FALSE(app.folder.exists("Korvamelden.ini") &&
                 IniFile(app.folder.file("Korvamelden.ini")).valueExists("Option", "Regswf"));
}

// A registry key that refuses writes: the runtime's text is shown, the
// window stays open, the settings stored before stay stored and the page is
// not remembered.
TEST_F(OptionFormTest, RefusedRegistryWriteIsReportedAndTheWindowStaysOpen) {
    start();
    RegWriteDefault(HKEY_CLASSES_ROOT, ".fpl", "KorvameldenPlayList");
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KRWDSD;;;WD)", SDDL_REVISION_1,
                                                                     &sd, nullptr));
    RegSetKeySecurity(RegKey::open(HKEY_CLASSES_ROOT, ".fpl", KEY_READ | WRITE_DAC).get(),
                      DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    TOptionForm f;
    ASSERT_TRUE(f.create());
    f.check("chkConfirmWhenQuit").setChecked(true);
    f.check("chkRegfpl").setChecked(true);
    f.lstOption().setSelectedIndex(2);
    f.lstOptionClick();
    f.bbtnOKClick();
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1, &sd,
                                                                     nullptr));
    RegSetKeySecurity(RegKey::open(HKEY_CLASSES_ROOT, ".fpl", KEY_READ | WRITE_DAC).get(),
                      DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    ASSERT_EQ(app.ui.messages.size(), 1u);
    EXPECT_EQ(app.ui.messages[0].text, "Failed to create key .fpl.");
    EXPECT_EQ(app.ui.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(f.modalResult(), 0);
    EXPECT_TRUE(Options.ConfirmWhenQuit);
    EXPECT_TRUE(ReadOptionAssociationKeys(app.folder.path()).Regfpl);
    EXPECT_EQ(ReadOptionPage(app.folder.path()), 0);
}

}  // namespace
