#include "ui/NativeControls.h"

#include <commctrl.h>

#include <vector>

namespace kv {

bool ListBox::create(int x, int y, int w, int h, DWORD style) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    return createNative("LISTBOX", style, WS_EX_CLIENTEDGE);
}

void ListBox::clear() { SendMessageA(handle(), LB_RESETCONTENT, 0, 0); }

int ListBox::add(const std::string& text) {
    return static_cast<int>(SendMessageA(handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int ListBox::count() const { return static_cast<int>(SendMessageA(handle(), LB_GETCOUNT, 0, 0)); }

std::string ListBox::text(int index) const {
    LRESULT n = SendMessageA(handle(), LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == LB_ERR) return {};
    std::vector<char> buf(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(handle(), LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buf.data()));
    return std::string(buf.data());
}

int ListBox::selectedIndex() const { return static_cast<int>(SendMessageA(handle(), LB_GETCURSEL, 0, 0)); }

void ListBox::setSelectedIndex(int index) { SendMessageA(handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void ListBox::setItemHeight(int h) { SendMessageA(handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(h, 0)); }

void ListBox::setFont(UniqueFont font) {
    font_ = std::move(font);
    SendMessageA(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
}

bool ListView::create(int x, int y, int w, int h, DWORD style) {
    static bool initialised = false;
    if (!initialised) {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        initialised = true;
    }
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    if (!createNative(WC_LISTVIEWA, style)) return false;
    SendMessageA(handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    return true;
}

void ListView::addColumn(int width) {
    LVCOLUMNA c{};
    c.mask = LVCF_WIDTH;
    c.cx = width;
    SendMessageA(handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(columns_++), reinterpret_cast<LPARAM>(&c));
}

void ListView::setColumnWidth(int column, int width) {
    SendMessageA(handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), MAKELPARAM(width, 0));
}

int ListView::addRow(const std::string& caption, const std::string& value) {
    LVITEMA it{};
    it.mask = LVIF_TEXT;
    it.iItem = rowCount();
    it.pszText = const_cast<char*>(caption.c_str());
    int row = static_cast<int>(SendMessageA(handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    if (row >= 0 && columns_ > 1) {
        LVITEMA sub{};
        sub.iSubItem = 1;
        sub.pszText = const_cast<char*>(value.c_str());
        SendMessageA(handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&sub));
    }
    return row;
}

void ListView::clear() { SendMessageA(handle(), LVM_DELETEALLITEMS, 0, 0); }

int ListView::rowCount() const { return static_cast<int>(SendMessageA(handle(), LVM_GETITEMCOUNT, 0, 0)); }

std::string ListView::cell(int row, int column) const {
    char buf[1024] = {};
    LVITEMA it{};
    it.iSubItem = column;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    return buf;
}

void ListView::setColors(COLORREF text, COLORREF background) {
    SendMessageA(handle(), LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(text));
    SendMessageA(handle(), LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(background));
    SendMessageA(handle(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(background));
}

}  // namespace kv
