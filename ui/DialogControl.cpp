#include "ui/DialogControl.h"

#include <commctrl.h>

#include <vector>

#include "ui/DialogSkin.h"
#include "ui/DialogUnits.h"

namespace kv {

std::string windowText(HWND h) {
    if (!h) return {};
    int n = GetWindowTextLengthA(h);
    if (n <= 0) return {};
    std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
    int got = GetWindowTextA(h, buf.data(), n + 1);
    return std::string(buf.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void ensureCommonControls() {
    static bool done = false;
    if (done) return;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_USEREX_CLASSES | ICC_BAR_CLASSES |
                                              ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS |
                                              ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    done = true;
}

std::string DialogControl::text() const { return windowText(handle()); }

void DialogControl::setText(const std::string& t) {
    if (handle()) SetWindowTextA(handle(), t.c_str());
}

bool DialogControl::createDialogControl(const char* className, DWORD style, DWORD exStyle, int x, int y,
                                        int w, int h, int id, const std::string& text) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    native_ = true;
    CreateParams p;
    p.className = className;
    p.caption = text;
    p.style = style | WS_CHILD | WS_CLIPSIBLINGS | (visible_ ? WS_VISIBLE : 0);
    p.exStyle = exStyle;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    p.parent = parentHandle();
    p.menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
    if (!createWindow(p)) return false;
    subclass();
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
    color_ = kDialogFace;
    return true;
}

bool DialogControl::tabStop() const { return handle() && (GetWindowLongA(handle(), GWL_STYLE) & WS_TABSTOP); }

void DialogControl::setTabStop(bool t) {
    if (!handle()) return;
    LONG s = GetWindowLongA(handle(), GWL_STYLE);
    SetWindowLongA(handle(), GWL_STYLE, t ? (s | WS_TABSTOP) : (s & ~WS_TABSTOP));
}

bool DialogControl::focused() const {
    HWND f = GetFocus();
    return f && handle() && (f == handle() || IsChild(handle(), f));
}

LRESULT DialogControl::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (tracksHover_) {
        if (msg == WM_MOUSEMOVE && !hover_) {
            hover_ = true;
            TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, handle(), 0};
            TrackMouseEvent(&t);
            InvalidateRect(handle(), nullptr, FALSE);
        } else if (msg == WM_MOUSELEAVE) {
            hover_ = false;
            InvalidateRect(handle(), nullptr, FALSE);
        }
    }
    // A system control reports its own clicks (BN_CLICKED...): the generic
    // click on mouse-up must not run as well.
    if (native_ && (msg == WM_LBUTTONUP || msg == WM_RBUTTONUP)) pressed_ = false;
    return Control::handleMessage(msg, wp, lp);
}

}  // namespace kv
