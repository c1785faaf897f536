// The user-interface services the program asks of Windows: message boxes,
// file dialogs and the folder chooser. The real implementation calls Win32;
// tests install a scripted one that records every text shown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kv {

struct FileDialogRequest {
    HWND owner = nullptr;
    std::string title;
    std::string filter;   // "描述|*.swf;*.exe|所有文件|*.*" ('|' separated pairs)
    int filterIndex = 1;  // 1-based
    std::string initialDir;
    std::string fileName;         // initial file name
    std::string defaultExt;       // without the dot, e.g. "exe"
    bool multiSelect = false;     // open dialogs only
    bool overwritePrompt = true;  // save dialogs only
};

struct FileDialogResult {
    std::vector<std::string> files;  // full paths; one for save dialogs
    int filterIndex = 1;
};

// The full paths in an open dialog's buffer: "folder\0name1\0name2\0\0" for
// a selection of several files, "path\0" for one.
std::vector<std::string> SplitOpenFileNames(const char* buffer, bool multiSelect);

class UiServices {
public:
    virtual ~UiServices() = default;
    // MessageBoxA semantics: flags are MB_* values, the result an ID* value.
    virtual int messageBox(HWND owner, const std::string& text, const std::string& caption,
                           unsigned flags) = 0;
    virtual bool openFileDialog(const FileDialogRequest& req, FileDialogResult& out) = 0;
    virtual bool saveFileDialog(const FileDialogRequest& req, FileDialogResult& out) = 0;
    // The shell folder chooser; false and an empty folder when cancelled.
    virtual bool browseForFolder(const std::string& title, const std::string& root, std::string& folder) = 0;
};

// The services in force; the real Win32 ones unless a test installed others.
UiServices& ui();
// Installs other services (nullptr restores the real ones); returns the previous.
UiServices* setUiServices(UiServices* services);

// The caption of every message box of the program.
extern const char* const kAppTitle;

// Shorthands for the program's message boxes (titled with kAppTitle).
int showWarning(HWND owner, const std::string& text);      // OK, warning icon
int showInformation(HWND owner, const std::string& text);  // OK, information icon

}  // namespace kv
