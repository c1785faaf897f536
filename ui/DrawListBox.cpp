#include "ui/DrawListBox.h"

#include "ui/DialogControl.h"
#include "ui/DialogSkin.h"
#include "ui/DialogUnits.h"
#include "ui/Handles.h"

namespace kv {

bool DrawListBox::create(int x, int y, int w, int h, int id, int itemHeight) {
    DWORD style =
        LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
    if (!ListBox::create(x, y, w, h, style)) return false;
    SetWindowLongPtrA(handle(), GWLP_ID, id);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont()), FALSE);
    setItemHeight(itemHeight > 0 ? itemHeight : DialogUnits::forDpi().y(10));
    return true;
}

void DrawListBox::drawDefault(const DrawItem& item) const {
    FillRect(item.dc, &item.rect, item.selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : dialogFieldBrush());
    if (item.index >= 0) {
        std::string t = text(item.index);
        SelectGuard font(item.dc, dialogFont());
        SetBkMode(item.dc, TRANSPARENT);
        SetTextColor(item.dc, item.selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : kDialogText);
        RECT r = item.rect;
        r.left += 2;
        DrawTextA(item.dc, t.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.focused) DrawFocusRect(item.dc, &item.rect);
}

LRESULT DrawListBox::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT r = ListBox::handleMessage(msg, wp, lp);
    trackFlatFrame(handle(), msg, false, false);
    return r;
}

bool DrawListBox::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_DRAWITEM) {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        DrawItem item{d->hDC, d->rcItem, static_cast<int>(d->itemID), (d->itemState & ODS_SELECTED) != 0,
                      (d->itemState & ODS_FOCUS) != 0};
        if (d->itemID == static_cast<UINT>(-1)) item.index = -1;
        if (onDrawItem && item.index >= 0)
            onDrawItem(item);
        else
            drawDefault(item);
        result = TRUE;
        return true;
    }
    if (msg == WM_COMMAND && HIWORD(wp) == LBN_SELCHANGE) {
        if (onChange) onChange();
        result = 0;
        return true;
    }
    return false;
}

}  // namespace kv
