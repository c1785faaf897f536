#include "platform/TrayIcon.h"

#include <cstring>

#include "platform/AnsiText.h"

namespace kv {

NOTIFYICONDATAA TrayIcon::makeRecord(HWND owner, HICON icon, const std::string& tip) {
    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = 88;  // the original record layout, understood by every shell
    nid.hWnd = owner;
    nid.uID = 0;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAYICON;
    nid.hIcon = icon;
    std::string t = AnsiTruncate(tip, 63);
    std::memcpy(nid.szTip, t.c_str(), t.size() + 1);
    return nid;
}

bool TrayIcon::add(HWND owner, HICON icon, const std::string& tip) {
    NOTIFYICONDATAA nid = makeRecord(owner, icon, tip);
    owner_ = owner;
    shown_ = Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
    // An icon left from before a shell restart may still be known: replace it.
    if (!shown_) shown_ = Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
    return shown_;
}

void TrayIcon::remove() {
    NOTIFYICONDATAA nid = makeRecord(owner_, nullptr, "");
    nid.uFlags = 0;
    Shell_NotifyIconA(NIM_DELETE, &nid);
    shown_ = false;
}

}  // namespace kv
