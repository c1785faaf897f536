// The notification-area icon of the program.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace kv {

constexpr UINT WM_TRAYICON = WM_USER + 1;  // 0x401, the icon's callback message

class TrayIcon {
public:
    // The record passed to Shell_NotifyIconA: 88-byte size, id 0, message,
    // icon and tip flags, the tip cut to 63 bytes without splitting a character.
    static NOTIFYICONDATAA makeRecord(HWND owner, HICON icon, const std::string& tip);

    // True when the shell took the icon; shown() tells the same afterwards.
    bool add(HWND owner, HICON icon, const std::string& tip);
    void remove();
    bool shown() const { return shown_; }

private:
    HWND owner_ = nullptr;
    bool shown_ = false;
};

}  // namespace kv
