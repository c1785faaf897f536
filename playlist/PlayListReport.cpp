#include "playlist/PlayListReport.h"

#include <windows.h>

#include "platform/IniFile.h"
#include "ui/UiServices.h"

namespace kv {

void ShowIniWriteError(const IniWriteError& error) { ShowFileError(error.what()); }

void ShowFileError(const std::string& message) {
    std::string text = message;
    if (!text.empty() && text.back() != '.') text += '.';
    ui().messageBox(nullptr, text, kAppTitle, MB_OK | MB_ICONERROR);
}

bool RunUserListCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const IniWriteError& error) {
        ShowIniWriteError(error);
        return false;
    }
}

}  // namespace kv
