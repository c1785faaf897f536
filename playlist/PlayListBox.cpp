#include "playlist/PlayListBox.h"

#include <windowsx.h>

namespace kv {

bool PlayListBox::create(int x, int y, int w, int h) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    return createNative("LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED | LBS_NODATA |
                                       WS_VSCROLL | WS_TABSTOP);
}

int PlayListBox::count() const { return static_cast<int>(SendMessageA(handle(), LB_GETCOUNT, 0, 0)); }

void PlayListBox::setCount(int n) {
    SendMessageA(handle(), LB_SETCOUNT, static_cast<WPARAM>(n < 0 ? 0 : n), 0);
}

void PlayListBox::add() { SendMessageA(handle(), LB_ADDSTRING, 0, 0); }

void PlayListBox::remove(int index) {
    SendMessageA(handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int PlayListBox::selectedIndex() const {
    return static_cast<int>(SendMessageA(handle(), LB_GETCURSEL, 0, 0));
}

void PlayListBox::setSelectedIndex(int index) {
    SendMessageA(handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int PlayListBox::itemHeight() const {
    return static_cast<int>(SendMessageA(handle(), LB_GETITEMHEIGHT, 0, 0));
}

void PlayListBox::setItemHeight(int h) {
    SendMessageA(handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(h, 0));
    InvalidateRect(handle(), nullptr, TRUE);
}

void PlayListBox::setFont(UniqueFont font) {
    font_ = std::move(font);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

void PlayListBox::invalidateItem(int index) {
    RECT r;
    if (SendMessageA(handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) !=
        LB_ERR)
        InvalidateRect(handle(), &r, TRUE);
}

void PlayListBox::setRedraw(bool on) {
    SendMessageA(handle(), WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) InvalidateRect(handle(), nullptr, TRUE);
}

namespace {
constexpr UINT WM_REDRAWNOW = WM_APP + 41;
}

void PlayListBox::deferRedraw() {
    if (deferred_ || !handle()) return;
    deferred_ = true;
    SendMessageA(handle(), WM_SETREDRAW, FALSE, 0);
    PostMessageA(handle(), WM_REDRAWNOW, 0, 0);
}

LRESULT PlayListBox::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_REDRAWNOW:
            if (deferred_) {
                deferred_ = false;
                setRedraw(true);
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (onKeyDown) {
                WORD key = static_cast<WORD>(wp);
                onKeyDown(key);
                if (key == 0) return 0;
            }
            break;
        case WM_CONTEXTMENU:
            if (onContextMenu) {
                onContextMenu(GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
                return 0;
            }
            break;
        case WM_ERASEBKGND: {
            // The part below the last item takes the list's colour.
            RECT r;
            GetClientRect(handle(), &r);
            UniqueBrush b(CreateSolidBrush(color()));
            FillRect(reinterpret_cast<HDC>(wp), &r, b.get());
            return 1;
        }
        default:
            break;
    }
    return Control::handleMessage(msg, wp, lp);
}

bool PlayListBox::reflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg != WM_DRAWITEM) return false;
    if (onDrawItem) onDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    result = TRUE;
    return true;
}

}  // namespace kv
