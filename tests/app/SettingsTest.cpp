// Reading and writing "Korvamelden.ini": defaults, ranges and the key order.
#include "app/Settings.h"

#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "tests/app/ProgramFolder.h"

using namespace kv;

namespace {

Settings readFrom(const test::ProgramFolder& f, const std::string& text) {
    f.write("Korvamelden.ini", text);
    IniFile ini(f.file("Korvamelden.ini"));
    return ReadSettings(ini, f.path(), ScreenSize{1280, 1024});
}

}  // namespace

TEST(Settings, EmptyFileGivesTheDefaults) {
    test::ProgramFolder f;
    Settings s = readFrom(f, "");
    EXPECT_TRUE(s.IsMaximized);
    EXPECT_EQ(s.Left, (1280 - 700) / 2);
    EXPECT_EQ(s.Top, (1024 - 540) / 2);
    EXPECT_EQ(s.Width, 700);
    EXPECT_EQ(s.Height, 540);
    EXPECT_EQ(s.ActiveIndex, 0);
    EXPECT_TRUE(s.ShowFlashInfo && s.ShowPlayList && !s.MaxVideoWindow);
    EXPECT_EQ(s.WidthOfFlashInfo, 210);
    EXPECT_EQ(s.HeightOfFlashInfo, 100);
    EXPECT_EQ(s.LastOpenFolder, f.path());
    EXPECT_EQ(s.LastSaveFolder, f.path());
    EXPECT_EQ(s.CurrentPlayListFile, f.path() + "Korvamelden.fpl");
    EXPECT_EQ(s.CurrentIndex, 1);
    EXPECT_TRUE(s.KeepScale && s.HighQulity && !s.MiddleQulity && !s.LowQulity);
    EXPECT_EQ(s.VolumeNum, 13);
    EXPECT_EQ(s.HaveVolume, 1);
    EXPECT_TRUE(s.CancelScreenSaveWhenPlay && s.ShowTrayIcon && s.ShowInTaskbar && s.ShowToolsTip);
    EXPECT_FALSE(s.ConfirmWhenQuit || s.ResumePlayWhenStart || s.AutoPlayWhenStart);
    EXPECT_EQ(s.ListLatestFilesNum, 0);
    EXPECT_EQ(s.ApplicationPRI, 2);
    EXPECT_TRUE(s.RecentFiles.empty());
    EXPECT_EQ(s.FontName, "宋体");
    EXPECT_EQ(s.FontSize, 9);
    EXPECT_EQ(s.OppositeItemHeight, 6);
    EXPECT_EQ(s.Quit, 1);
    EXPECT_TRUE(s.WarningWhenIsnotExecute && s.ExecuteFullScreenWhenDbClick && s.QuitFullScreenWhenStop);
}

TEST(Settings, ValuesOutsideTheirRangesAreClamped) {
    struct Case {
        const char* text;
        int Settings::*field;
        int expected;
    };
    const Case cases[] = {
        {"[PlayOption]\r\nVolumeNum=20\r\n", &Settings::VolumeNum, 13},
        {"[PlayOption]\r\nVolumeNum=-3\r\n", &Settings::VolumeNum, 0},
        {"[PlayOption]\r\nVolumeNum=0x0A\r\n", &Settings::VolumeNum, 10},
        {"[PlayOption]\r\nVolumeNum=loud\r\n", &Settings::VolumeNum, 13},
        {"[PlayOption]\r\nHaveVolume=5\r\n", &Settings::HaveVolume, 1},
        {"[PlayOption]\r\nHaveVolume=-1\r\n", &Settings::HaveVolume, 0},
        {"[Option]\r\nApplicationPRI=0\r\n", &Settings::ApplicationPRI, 2},
        {"[Option]\r\nApplicationPRI=5\r\n", &Settings::ApplicationPRI, 2},
        {"[Option]\r\nApplicationPRI=3\r\n", &Settings::ApplicationPRI, 3},
        {"[WindowState]\r\nActiveIndex=7\r\n", &Settings::ActiveIndex, 0},
        {"[WindowState]\r\nActiveIndex=-1\r\n", &Settings::ActiveIndex, 0},
        {"[WindowState]\r\nActiveIndex=1\r\n", &Settings::ActiveIndex, 1},
        {"[PlayListOption]\r\nFontSize=5\r\n", &Settings::FontSize, 8},
        {"[FileConvert]\r\nConvertMode=9\r\n", &Settings::ConvertMode, 1},
        {"[FSCommand]\r\nAllowExecute=-4\r\nExec=3\r\n", &Settings::AllowExecute, 0},
        {"[FSCommand]\r\nExec=3\r\n", &Settings::Exec, 2},
        {"[FSCommand]\r\nQuit=0x2\r\n", &Settings::Quit, 2},
    };
    test::ProgramFolder f;
    for (const Case& c : cases) {
        Settings s = readFrom(f, c.text);
        EXPECT_EQ(s.*(c.field), c.expected) << c.text;
    }
}

TEST(Settings, ResumeValuesAreReadOnlyWhenResumingIsOn) {
    test::ProgramFolder f;
    const std::string playInfo = "[PlayInfo]\r\nFileName=C:\\a.swf\r\nFrame=40\r\nPlayStatus=7\r\n";
    Settings off = readFrom(f, playInfo);
    EXPECT_EQ(off.ResumeFile, "");
    Settings on = readFrom(f, playInfo + "[Option]\r\nResumePlayWhenStart=1\r\n");
    EXPECT_EQ(on.ResumeFile, "C:\\a.swf");
    EXPECT_EQ(on.ResumeFrame, 40);
    EXPECT_EQ(on.ResumeStatus, 2);
}

TEST(Settings, MissingPlaylistFileFallsBackToTheDefaultList) {
    test::ProgramFolder f;
    f.write("mine.fpl", "[PlayList]\r\n");
    Settings kept = readFrom(f, "[PlayListInfo]\r\nFileName=" + f.file("mine.fpl") + "\r\nFileIndex=4\r\n");
    EXPECT_EQ(kept.CurrentPlayListFile, f.file("mine.fpl"));
    EXPECT_EQ(kept.CurrentIndex, 4);
    Settings gone = readFrom(f, "[PlayListInfo]\r\nFileName=" + f.file("deleted.fpl") + "\r\nFileIndex=4\r\n");
    EXPECT_EQ(gone.CurrentPlayListFile, f.file("Korvamelden.fpl"));
    EXPECT_EQ(gone.CurrentIndex, 1);
}

TEST(Settings, RecentFilesComeBackInTheirOrder) {
    test::ProgramFolder f;
    Settings s;
    s.RecentFiles = {"C:\\e.swf", "C:\\d.swf", "C:\\c.swf", "C:\\b.swf", "C:\\a.swf"};
    IniFile ini(f.file("Korvamelden.ini"));
    WriteSettings(ini, s, ResumeInfo{});
    ASSERT_TRUE(ini.updateFile());
    IniFile again(f.file("Korvamelden.ini"));
    EXPECT_EQ(ReadSettings(again, f.path(), {}).RecentFiles, s.RecentFiles);
}

TEST(Settings, ShorterRecentListLeavesNoStaleEntries) {
    test::ProgramFolder f;
    f.write("Korvamelden.ini", "[LatestUsedFiles]\r\nFile1=a\r\nFile2=b\r\nFile3=c\r\n");
    IniFile ini(f.file("Korvamelden.ini"));
    Settings s;
    s.RecentFiles = {"x"};
    WriteSettings(ini, s, ResumeInfo{});
    EXPECT_EQ(ini.readSection("LatestUsedFiles"), std::vector<std::string>{"File1"});
}

TEST(Settings, WritesEveryKeyInItsOrder) {
    test::ProgramFolder f;
    Settings s;
    s.IsMaximized = false;
    s.RecentFiles = {"C:\\a.swf"};
    ResumeInfo resume{true, "C:\\a.swf", 12, 2};
    IniFile ini(f.file("Korvamelden.ini"));
    WriteSettings(ini, s, resume);
    ASSERT_TRUE(ini.updateFile());
    IniFile back(f.file("Korvamelden.ini"));
    EXPECT_EQ(back.readSections(),
              (std::vector<std::string>{"WindowState", "Path", "PlayListInfo", "PlayOption", "Option", "PlayInfo",
                                        "LatestUsedFiles", "PlayListOption", "FileConvert", "FSCommand"}));
    EXPECT_EQ(back.readSection("WindowState"),
              (std::vector<std::string>{"IsMaximized", "Left", "Top", "Width", "Height", "StayOnTop", "ActiveIndex",
                                        "ShowFlashInfo", "ShowPlayList", "MaxVideoWindow", "WidthOfFlashInfo",
                                        "HeightOfFlashInfo"}));
    EXPECT_EQ(back.readSection("PlayOption"),
              (std::vector<std::string>{"KeepScale", "HighQulity", "MiddleQulity", "LowQulity", "AutoControl",
                                        "CirclePlay", "RandomPlay", "VolumeNum", "HaveVolume",
                                        "ShieldOuterPictureOfScene"}));
    EXPECT_EQ(back.readSection("Option"),
              (std::vector<std::string>{
                  "CancelScreenSaveWhenPlay", "ConfirmWhenQuit", "ResumePlayWhenStart", "AutoPlayWhenStart",
                  "ListLatestFilesNum", "ShowTrayIcon", "ShowInTaskbar", "ApplicationPRI", "MinimizedToTray",
                  "CloseToTray", "CheckFileLinkWhenStart", "AddToPlayListWhenDbClickInWindows", "ShowToolsTip",
                  "ExecuteFullScreenWhenDbClick", "QuitFullScreenWhenStop"}));
    EXPECT_EQ(back.readSection("PlayInfo"), (std::vector<std::string>{"FileName", "Frame", "PlayStatus"}));
    EXPECT_EQ(back.readInteger("PlayInfo", "PlayStatus", 0), 2);
}

TEST(Settings, MaximisedExitKeepsThePlacementKeysAndErasesPlayInfo) {
    test::ProgramFolder f;
    f.write("Korvamelden.ini",
            "[WindowState]\r\nIsMaximized=1\r\nLeft=11\r\nTop=22\r\nWidth=640\r\nHeight=480\r\n"
            "[PlayInfo]\r\nFileName=C:\\a.swf\r\n"
            "[Option]\r\nRegswf=1\r\nOption=3\r\n");
    IniFile ini(f.file("Korvamelden.ini"));
    Settings s = ReadSettings(ini, f.path(), {});
    s.Left = 99;  // the window moved while maximised: nothing of it is written
    WriteSettings(ini, s, ResumeInfo{});
    EXPECT_EQ(ini.readInteger("WindowState", "Left", 0), 11);
    EXPECT_EQ(ini.readInteger("WindowState", "Width", 0), 640);
    EXPECT_FALSE(ini.sectionExists("PlayInfo"));
    // The options dialog's own keys are left as they were.
    EXPECT_EQ(ini.readInteger("Option", "Regswf", 0), 1);
    EXPECT_EQ(ini.readInteger("Option", "Option", 0), 3);
}
