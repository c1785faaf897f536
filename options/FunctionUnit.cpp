#include "options/FunctionUnit.h"

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "platform/AnsiText.h"
#include "ui/SystemServices.h"
#include "ui/UiServices.h"

namespace kv {

std::string EnsureTrailingBackslash(const std::string& path) {
    if (path.empty() || AnsiEndsWithChar(path, '\\')) return path;
    return path + "\\";
}

std::string ExtractFileTitle(const std::string& path) {
    std::string name = AnsiExtractFileName(path);
    return name.substr(0, name.size() - AnsiExtractFileExt(path).size());
}

bool BrowseForFolder(const std::string& title, const std::string& root, std::string& folder) {
    folder.clear();
    if (!ui().browseForFolder(title, root, folder)) {
        folder.clear();
        return false;
    }
    return !folder.empty();
}

std::string FormatDateTimeText(int year, int month, int day, int hour, int minute, int second,
                               int dayOfWeek) {
    static const char* const kWeekdays[7] = {"星期日", "星期一", "星期二", "星期三",
                                             "星期四", "星期五", "星期六"};
    char clock[32];
    std::snprintf(clock, sizeof clock, "%.2d:%.2d:%.2d", hour, minute, second);
    return std::to_string(year) + "年" + std::to_string(month) + "月" + std::to_string(day) + "日，" + clock +
           "，" + kWeekdays[((dayOfWeek % 7) + 7) % 7];
}

std::string CurrentDateTimeText() {
    SYSTEMTIME t = sys().localTime();
    return FormatDateTimeText(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wDayOfWeek);
}

namespace {

BOOL CALLBACK CollectEnabledWindow(HWND hwnd, LPARAM param) {
    if (IsWindowEnabled(hwnd)) reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

// Disables the enabled top-level windows of this (the GUI) thread and returns
// them, so that exactly those are enabled again afterwards.
std::vector<HWND> DisableProgramWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND w : windows) EnableWindow(w, FALSE);
    return windows;
}

std::wstring ToWide(const std::string& text) {
    int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], n);
    return out;
}

}  // namespace

bool ShellBrowseForFolder(const std::string& title, const std::string& root, std::string& folder) {
    folder.clear();
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    char* displayName = static_cast<char*>(allocator->Alloc(MAX_PATH));
    if (!displayName) {
        allocator->Release();
        return false;
    }
    displayName[0] = '\0';
    // The new dialog style hosts COM controls.
    HRESULT ole = OleInitialize(nullptr);

    LPITEMIDLIST rootList = nullptr;
    if (!root.empty()) {
        IShellFolder* desktop = nullptr;
        if (SUCCEEDED(SHGetDesktopFolder(&desktop)) && desktop) {
            std::wstring wide = ToWide(root);
            ULONG eaten = 0;
            if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &wide[0], &eaten, &rootList, nullptr)))
                rootList = nullptr;
            desktop->Release();
        }
    }

    BROWSEINFOA info{};
    info.hwndOwner = nullptr;
    info.pidlRoot = rootList;
    info.pszDisplayName = displayName;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;  // 0x41

    HWND active = GetActiveWindow();
    std::vector<HWND> disabled = DisableProgramWindows();
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    for (HWND w : disabled) {
        if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    if (active && IsWindow(active)) SetActiveWindow(active);

    bool ok = false;
    if (chosen) {
        // A chosen item without a file-system path is no folder: report it as nothing chosen.
        if (SHGetPathFromIDListA(chosen, displayName)) {
            folder = displayName;
            ok = true;
        }
        allocator->Free(chosen);
    }
    if (rootList) allocator->Free(rootList);
    allocator->Free(displayName);
    allocator->Release();
    if (SUCCEEDED(ole)) OleUninitialize();
    return ok;
}

}  // namespace kv
