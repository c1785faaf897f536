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

void paintFlatFrame(HWND h, bool inClient, bool hot) {
    if (!h) return;
    RECT r;
    GetWindowRect(h, &r);
    OffsetRect(&r, -r.left, -r.top);
    HDC dc = inClient ? GetDC(h) : GetWindowDC(h);
    bool on = IsWindowEnabled(h) != FALSE;
    HWND focus = GetFocus();
    bool focused = focus && (focus == h || IsChild(h, focus));
    frameRect(dc, r, !on ? RGB(176, 188, 206) : (focused || hot) ? kDialogAccent : kDialogBorder);
    InflateRect(&r, -1, -1);
    bool readOnly = (GetWindowLongA(h, GWL_STYLE) & ES_READONLY) != 0 && !inClient;
    frameRect(dc, r, focused && on ? kDialogAccent : on && !readOnly ? kDialogField : kDialogFace);
    ReleaseDC(h, dc);
}

void trackFlatFrame(HWND h, UINT msg, bool inClient, bool hot) {
    switch (msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_MOUSELEAVE:
            if (inClient)
                InvalidateRect(h, nullptr, FALSE);
            else
                RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
            break;
        case WM_NCPAINT:
            if (!inClient) paintFlatFrame(h, false, hot);
            break;
        case WM_PAINT:
            if (inClient) paintFlatFrame(h, true, hot);
            break;
        default:
            break;
    }
}

LRESULT DialogControl::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (flatFrame_) {
        bool wasHover = hover_;
        if (msg == WM_MOUSEMOVE && !hover_) {
            hover_ = true;
            TRACKMOUSEEVENT t{sizeof(t), TME_LEAVE, handle(), 0};
            TrackMouseEvent(&t);
        } else if (msg == WM_MOUSELEAVE) {
            hover_ = false;
        }
        bool inClient = (GetWindowLongA(handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0;
        if (msg == WM_NCPAINT || msg == WM_PAINT) {
            LRESULT r = Control::handleMessage(msg, wp, lp);
            trackFlatFrame(handle(), msg, inClient, hover_);
            return r;
        }
        trackFlatFrame(handle(), msg, inClient, hover_);
        if (hover_ != wasHover && msg == WM_MOUSEMOVE)
            trackFlatFrame(handle(), WM_MOUSELEAVE, inClient, hover_);
    }
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
