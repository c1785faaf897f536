#include "app/Settings.h"

#include <windows.h>

#include <algorithm>

#include "platform/IniFile.h"

namespace kv {

const char* const kSettingsFileName = "Korvamelden.ini";

Settings::Settings() : FontName("宋体") {}

namespace {

const char* const kWindowState = "WindowState";
const char* const kPath = "Path";
const char* const kPlayListInfo = "PlayListInfo";
const char* const kPlayOption = "PlayOption";
const char* const kOption = "Option";
const char* const kPlayInfo = "PlayInfo";
const char* const kLatestUsedFiles = "LatestUsedFiles";
const char* const kPlayListOption = "PlayListOption";
const char* const kFileConvert = "FileConvert";
const char* const kFSCommand = "FSCommand";

bool fileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

int clampTo(int v, int lo, int hi) { return std::min(std::max(v, lo), hi); }

}  // namespace

int RecentFilesReadLimit(int listLatestFilesNum) {
    return clampTo(listLatestFilesNum, kRecentFilesOptionMax, kRecentFilesReadMax);
}

Settings ReadSettings(const IniFile& ini, const std::string& programPath, ScreenSize screen) {
    Settings s;
    s.IsMaximized = ini.readBool(kWindowState, "IsMaximized", true);
    s.Left = ini.readInteger(kWindowState, "Left", (screen.width - 700) / 2);
    s.Top = ini.readInteger(kWindowState, "Top", (screen.height - 540) / 2);
    s.Width = ini.readInteger(kWindowState, "Width", 700);
    s.Height = ini.readInteger(kWindowState, "Height", 540);
    s.StayOnTop = ini.readBool(kWindowState, "StayOnTop", false);
    s.ActiveIndex = ini.readInteger(kWindowState, "ActiveIndex", 0);
    if (s.ActiveIndex < 0 || s.ActiveIndex > 1) s.ActiveIndex = 0;
    s.ShowFlashInfo = ini.readBool(kWindowState, "ShowFlashInfo", true);
    s.ShowPlayList = ini.readBool(kWindowState, "ShowPlayList", true);
    s.MaxVideoWindow = ini.readBool(kWindowState, "MaxVideoWindow", false);
    // A pane narrower or lower than its splitter could not be dragged open again.
    s.WidthOfFlashInfo =
        clampTo(ini.readInteger(kWindowState, "WidthOfFlashInfo", 210), kMinPaneSize, kMaxPaneSize);
    s.HeightOfFlashInfo =
        clampTo(ini.readInteger(kWindowState, "HeightOfFlashInfo", 100), kMinPaneSize, kMaxPaneSize);

    s.LastOpenFolder = ini.readString(kPath, "PathOfLastOpened", programPath);
    s.LastSaveFolder = ini.readString(kPath, "PathOfLastSaved", programPath);

    const std::string defaultList = programPath + "Korvamelden.fpl";
    s.CurrentPlayListFile = ini.readString(kPlayListInfo, "FileName", defaultList);
    s.CurrentIndex = ini.readInteger(kPlayListInfo, "FileIndex", 1);
    if (!fileExists(s.CurrentPlayListFile)) {
        s.CurrentPlayListFile = defaultList;
        s.CurrentIndex = 1;
    }

    s.KeepScale = ini.readBool(kPlayOption, "KeepScale", true);
    s.LowQulity = ini.readBool(kPlayOption, "LowQulity", false);
    s.MiddleQulity = ini.readBool(kPlayOption, "MiddleQulity", false);
    s.HighQulity = ini.readBool(kPlayOption, "HighQulity", true);
    s.AutoControl = ini.readBool(kPlayOption, "AutoControl", false);
    s.CirclePlay = ini.readBool(kPlayOption, "CirclePlay", false);
    s.RandomPlay = ini.readBool(kPlayOption, "RandomPlay", false);
    s.VolumeNum = clampTo(ini.readInteger(kPlayOption, "VolumeNum", 13), 0, 13);
    s.HaveVolume = clampTo(ini.readInteger(kPlayOption, "HaveVolume", 1), 0, 1);
    s.ShieldOuterPictureOfScene = ini.readBool(kPlayOption, "ShieldOuterPictureOfScene", false);

    s.CancelScreenSaveWhenPlay = ini.readBool(kOption, "CancelScreenSaveWhenPlay", true);
    s.ConfirmWhenQuit = ini.readBool(kOption, "ConfirmWhenQuit", false);
    s.ResumePlayWhenStart = ini.readBool(kOption, "ResumePlayWhenStart", false);
    s.AutoPlayWhenStart = ini.readBool(kOption, "AutoPlayWhenStart", false);
    if (s.ResumePlayWhenStart) {
        s.ResumeFile = ini.readString(kPlayInfo, "FileName", "");
        s.ResumeFrame = ini.readInteger(kPlayInfo, "Frame", 0);
        s.ResumeStatus = clampTo(ini.readInteger(kPlayInfo, "PlayStatus", 1), 1, 2);
    }

    s.ListLatestFilesNum = ini.readInteger(kOption, "ListLatestFilesNum", 0);
    // File1 .. FileN, N being the number of keys but no more than the list can
    // hold; an empty entry is of no use and is left out.
    const int n = std::min(static_cast<int>(ini.readSection(kLatestUsedFiles).size()),
                           RecentFilesReadLimit(s.ListLatestFilesNum));
    for (int i = 1; i <= n; ++i) {
        std::string f = ini.readString(kLatestUsedFiles, "File" + std::to_string(i), "");
        if (!f.empty()) s.RecentFiles.push_back(f);
    }

    s.ShowTrayIcon = ini.readBool(kOption, "ShowTrayIcon", true);
    s.ShowInTaskbar = ini.readBool(kOption, "ShowInTaskbar", true);
    s.ApplicationPRI = ini.readInteger(kOption, "ApplicationPRI", 2);
    if (s.ApplicationPRI < 1 || s.ApplicationPRI > 4) s.ApplicationPRI = 2;
    s.MinimizedToTray = ini.readBool(kOption, "MinimizedToTray", false);
    s.CloseToTray = ini.readBool(kOption, "CloseToTray", false);
    s.CheckFileLinkWhenStart = ini.readBool(kOption, "CheckFileLinkWhenStart", false);
    s.AddToPlayListWhenDbClickInWindows = ini.readBool(kOption, "AddToPlayListWhenDbClickInWindows", false);
    s.ShowToolsTip = ini.readBool(kOption, "ShowToolsTip", true);

    s.ShowIndex = ini.readBool(kPlayListOption, "ShowIndex", true);
    s.FontName = ini.readString(kPlayListOption, "FontName", "宋体");
    s.FontSize = std::max(ini.readInteger(kPlayListOption, "FontSize", 9), 8);
    s.Bold = ini.readBool(kPlayListOption, "Bold", false);
    s.Italic = ini.readBool(kPlayListOption, "Italic", false);
    s.Underline = ini.readBool(kPlayListOption, "Underline", false);
    s.OppositeItemHeight = ini.readInteger(kPlayListOption, "OppositeItemHeight", 6);
    s.Alignment = ini.readInteger(kPlayListOption, "Alignment", 0);
    if (s.Alignment < 0 || s.Alignment > 2) s.Alignment = 0;

    s.ExecuteFullScreenWhenDbClick = ini.readBool(kOption, "ExecuteFullScreenWhenDbClick", true);
    s.QuitFullScreenWhenStop = ini.readBool(kOption, "QuitFullScreenWhenStop", true);
    s.ConvertMode = clampTo(ini.readInteger(kFileConvert, "ConvertMode", 0), 0, 1);
    s.SavePath = ini.readString(kFileConvert, "SavePath", "");
    s.PlayConvertedFiles = ini.readBool(kFileConvert, "PlayConvertedFiles", false);
    s.DeleteConvertedFiles = ini.readBool(kFileConvert, "DeleteConvertedFiles", false);
    s.AllowExecute = clampTo(ini.readInteger(kFSCommand, "AllowExecute", 0), 0, 2);
    s.Exec = clampTo(ini.readInteger(kFSCommand, "Exec", 0), 0, 2);
    s.Quit = clampTo(ini.readInteger(kFSCommand, "Quit", 1), 0, 2);
    s.WarningWhenIsnotExecute = ini.readBool(kFSCommand, "WarningWhenIsnotExecute", true);
    return s;
}

void WriteSettings(IniFile& ini, const Settings& s, const ResumeInfo& resume) {
    ini.writeBool(kWindowState, "IsMaximized", s.IsMaximized);
    if (!s.IsMaximized) {
        ini.writeInteger(kWindowState, "Left", s.Left);
        ini.writeInteger(kWindowState, "Top", s.Top);
        ini.writeInteger(kWindowState, "Width", s.Width);
        ini.writeInteger(kWindowState, "Height", s.Height);
    }
    ini.writeBool(kWindowState, "StayOnTop", s.StayOnTop);
    ini.writeInteger(kWindowState, "ActiveIndex", s.ActiveIndex);
    ini.writeBool(kWindowState, "ShowFlashInfo", s.ShowFlashInfo);
    ini.writeBool(kWindowState, "ShowPlayList", s.ShowPlayList);
    ini.writeBool(kWindowState, "MaxVideoWindow", s.MaxVideoWindow);
    ini.writeInteger(kWindowState, "WidthOfFlashInfo", s.WidthOfFlashInfo);
    ini.writeInteger(kWindowState, "HeightOfFlashInfo", s.HeightOfFlashInfo);

    ini.writeString(kPath, "PathOfLastOpened", s.LastOpenFolder);
    ini.writeString(kPath, "PathOfLastSaved", s.LastSaveFolder);

    ini.writeString(kPlayListInfo, "FileName", s.CurrentPlayListFile);
    ini.writeInteger(kPlayListInfo, "FileIndex", s.CurrentIndex);

    ini.writeBool(kPlayOption, "KeepScale", s.KeepScale);
    ini.writeBool(kPlayOption, "HighQulity", s.HighQulity);
    ini.writeBool(kPlayOption, "MiddleQulity", s.MiddleQulity);
    ini.writeBool(kPlayOption, "LowQulity", s.LowQulity);
    ini.writeBool(kPlayOption, "AutoControl", s.AutoControl);
    ini.writeBool(kPlayOption, "CirclePlay", s.CirclePlay);
    ini.writeBool(kPlayOption, "RandomPlay", s.RandomPlay);
    ini.writeInteger(kPlayOption, "VolumeNum", s.VolumeNum);
    ini.writeInteger(kPlayOption, "HaveVolume", s.HaveVolume);
    ini.writeBool(kPlayOption, "ShieldOuterPictureOfScene", s.ShieldOuterPictureOfScene);

    ini.writeBool(kOption, "CancelScreenSaveWhenPlay", s.CancelScreenSaveWhenPlay);
    ini.writeBool(kOption, "ConfirmWhenQuit", s.ConfirmWhenQuit);
    ini.writeBool(kOption, "ResumePlayWhenStart", s.ResumePlayWhenStart);
    ini.writeBool(kOption, "AutoPlayWhenStart", s.AutoPlayWhenStart);

    if (resume.write) {
        ini.writeString(kPlayInfo, "FileName", resume.file);
        ini.writeInteger(kPlayInfo, "Frame", resume.frame);
        ini.writeInteger(kPlayInfo, "PlayStatus", resume.status);
    } else {
        ini.eraseSection(kPlayInfo);
    }

    ini.writeInteger(kOption, "ListLatestFilesNum", s.ListLatestFilesNum);
    const int n = static_cast<int>(s.RecentFiles.size());
    for (int i = 0; i < n; ++i)
        ini.writeString(kLatestUsedFiles, "File" + std::to_string(i + 1),
                        s.RecentFiles[static_cast<size_t>(i)]);
    // Numbered keys beyond the list would come back as entries at the next start.
    for (const std::string& key : ini.readSection(kLatestUsedFiles)) {
        if (key.size() > 4 && (key[0] == 'F' || key[0] == 'f') &&
            lstrcmpiA(key.substr(0, 4).c_str(), "File") == 0) {
            int k = std::atoi(key.c_str() + 4);
            if (k > n) ini.deleteKey(kLatestUsedFiles, key);
        }
    }

    ini.writeBool(kOption, "ShowTrayIcon", s.ShowTrayIcon);
    ini.writeBool(kOption, "ShowInTaskbar", s.ShowInTaskbar);
    ini.writeInteger(kOption, "ApplicationPRI", s.ApplicationPRI);
    ini.writeBool(kOption, "MinimizedToTray", s.MinimizedToTray);
    ini.writeBool(kOption, "CloseToTray", s.CloseToTray);
    ini.writeBool(kOption, "CheckFileLinkWhenStart", s.CheckFileLinkWhenStart);
    ini.writeBool(kOption, "AddToPlayListWhenDbClickInWindows", s.AddToPlayListWhenDbClickInWindows);
    ini.writeBool(kOption, "ShowToolsTip", s.ShowToolsTip);

    ini.writeBool(kPlayListOption, "ShowIndex", s.ShowIndex);
    ini.writeString(kPlayListOption, "FontName", s.FontName);
    ini.writeInteger(kPlayListOption, "FontSize", s.FontSize);
    ini.writeBool(kPlayListOption, "Bold", s.Bold);
    ini.writeBool(kPlayListOption, "Italic", s.Italic);
    ini.writeBool(kPlayListOption, "Underline", s.Underline);
    ini.writeInteger(kPlayListOption, "OppositeItemHeight", s.OppositeItemHeight);
    ini.writeInteger(kPlayListOption, "Alignment", s.Alignment);

    ini.writeBool(kOption, "ExecuteFullScreenWhenDbClick", s.ExecuteFullScreenWhenDbClick);
    ini.writeBool(kOption, "QuitFullScreenWhenStop", s.QuitFullScreenWhenStop);

    ini.writeInteger(kFileConvert, "ConvertMode", s.ConvertMode);
    ini.writeString(kFileConvert, "SavePath", s.SavePath);
    ini.writeBool(kFileConvert, "PlayConvertedFiles", s.PlayConvertedFiles);
    ini.writeBool(kFileConvert, "DeleteConvertedFiles", s.DeleteConvertedFiles);

    ini.writeInteger(kFSCommand, "AllowExecute", s.AllowExecute);
    ini.writeInteger(kFSCommand, "Exec", s.Exec);
    ini.writeInteger(kFSCommand, "Quit", s.Quit);
    ini.writeBool(kFSCommand, "WarningWhenIsnotExecute", s.WarningWhenIsnotExecute);
}

}  // namespace kv
