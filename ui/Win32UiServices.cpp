// The real user-interface services: Win32 message boxes and common dialogs.
#include <windows.h>

#include <commdlg.h>

#include <vector>

#include "platform/AnsiText.h"
#include "ui/UiServices.h"

namespace kv {

std::vector<std::string> SplitOpenFileNames(const char* buffer, bool multiSelect) {
    std::vector<std::string> files;
    const char* p = buffer;
    std::string first = p;
    p += first.size() + 1;
    if (!multiSelect || !*p) {
        files.push_back(first);
        return files;
    }
    // The folder's last byte may be the trail byte 0x5C of a GBK character.
    std::string dir = first;
    if (!dir.empty() && !AnsiEndsWithChar(dir, '\\')) dir += '\\';
    while (*p) {
        std::string name = p;
        files.push_back(dir + name);
        p += name.size() + 1;
    }
    return files;
}

// The shell folder chooser (options/FunctionUnit); weak so the UI library
// links on its own as well.
bool ShellBrowseForFolder(const std::string& title, const std::string& root, std::string& folder)
    __attribute__((weak));

const char* const kAppTitle = "TesvanorFlash播放器";

namespace {

// "a|b|c|d" → "a\0b\0c\0d\0\0" as the common dialogs want it.
std::string dialogFilter(const std::string& f) {
    std::string out = f;
    for (char& c : out)
        if (c == '|') c = '\0';
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

class Win32UiServices : public UiServices {
public:
    int messageBox(HWND owner, const std::string& text, const std::string& caption, unsigned flags) override {
        return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    }

    bool openFileDialog(const FileDialogRequest& req, FileDialogResult& out) override {
        return run(req, out, false);
    }

    bool saveFileDialog(const FileDialogRequest& req, FileDialogResult& out) override {
        return run(req, out, true);
    }

    bool browseForFolder(const std::string& title, const std::string& root, std::string& folder) override {
        folder.clear();
        if (!ShellBrowseForFolder) return false;
        return ShellBrowseForFolder(title, root, folder);
    }

private:
    static bool run(const FileDialogRequest& req, FileDialogResult& out, bool save) {
        std::vector<char> buf(64 * 1024, '\0');
        req.fileName.copy(buf.data(), buf.size() - 2);
        std::string filter = dialogFilter(req.filter);
        OPENFILENAMEA ofn{};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = req.owner;
        ofn.lpstrFilter = req.filter.empty() ? nullptr : filter.c_str();
        ofn.nFilterIndex = static_cast<DWORD>(req.filterIndex);
        ofn.lpstrFile = buf.data();
        ofn.nMaxFile = static_cast<DWORD>(buf.size());
        ofn.lpstrInitialDir = req.initialDir.empty() ? nullptr : req.initialDir.c_str();
        ofn.lpstrTitle = req.title.empty() ? nullptr : req.title.c_str();
        ofn.lpstrDefExt = req.defaultExt.empty() ? nullptr : req.defaultExt.c_str();
        ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
        if (save) {
            if (req.overwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
            ofn.Flags |= OFN_PATHMUSTEXIST;
        } else {
            ofn.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
            if (req.multiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
        }
        BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
        out.files.clear();
        if (!ok) return false;
        out.filterIndex = static_cast<int>(ofn.nFilterIndex);
        out.files = SplitOpenFileNames(buf.data(), !save && req.multiSelect);
        return true;
    }
};

Win32UiServices& realUi() {
    static Win32UiServices s;
    return s;
}
UiServices* g_ui = nullptr;

}  // namespace

UiServices& ui() { return g_ui ? *g_ui : realUi(); }

UiServices* setUiServices(UiServices* services) {
    UiServices* old = g_ui ? g_ui : &realUi();
    g_ui = services;
    return old;
}

int showWarning(HWND owner, const std::string& text) {
    return ui().messageBox(owner, text, kAppTitle, MB_OK | MB_ICONWARNING);
}

int showInformation(HWND owner, const std::string& text) {
    return ui().messageBox(owner, text, kAppTitle, MB_OK | MB_ICONINFORMATION);
}

}  // namespace kv
