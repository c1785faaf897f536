#include "ui/ReportList.h"

#include "ui/DialogSkin.h"

namespace kv {

bool ReportList::create(int x, int y, int w, int h, int id, bool checkBoxes, bool editLabels) {
    ensureCommonControls();
    DWORD style =
        WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | (editLabels ? LVS_EDITLABELS : 0);
    if (!createDialogControl(WC_LISTVIEWA, style, WS_EX_CLIENTEDGE, x, y, w, h, id)) return false;
    DWORD ex = LVS_EX_FULLROWSELECT | (checkBoxes ? LVS_EX_CHECKBOXES : 0);
    SendMessageA(handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, ex, ex);
    SendMessageA(handle(), LVM_SETTEXTCOLOR, 0, kDialogText);
    return true;
}

void ReportList::addColumn(const std::string& caption, int width) {
    LVCOLUMNA c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH;
    c.pszText = const_cast<char*>(caption.c_str());
    c.cx = width;
    SendMessageA(handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(columns_++), reinterpret_cast<LPARAM>(&c));
}

int ReportList::addRow(const std::vector<std::string>& cells) {
    int row = rowCount();
    insertRow(row, cells);
    return row;
}

void ReportList::insertRow(int index, const std::vector<std::string>& cells) {
    LVITEMA it{};
    it.mask = LVIF_TEXT;
    it.iItem = index;
    std::string first = cells.empty() ? std::string() : cells[0];
    it.pszText = const_cast<char*>(first.c_str());
    int row = static_cast<int>(SendMessageA(handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    for (size_t c = 1; c < cells.size() && row >= 0; ++c) setCell(row, static_cast<int>(c), cells[c]);
}

void ReportList::deleteRow(int row) { SendMessageA(handle(), LVM_DELETEITEM, static_cast<WPARAM>(row), 0); }

void ReportList::clear() { SendMessageA(handle(), LVM_DELETEALLITEMS, 0, 0); }

int ReportList::rowCount() const { return static_cast<int>(SendMessageA(handle(), LVM_GETITEMCOUNT, 0, 0)); }

std::string ReportList::cell(int row, int column) const {
    char buf[2048] = {};
    LVITEMA it{};
    it.iSubItem = column;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
    return buf;
}

void ReportList::setCell(int row, int column, const std::string& text) {
    LVITEMA it{};
    it.iSubItem = column;
    it.pszText = const_cast<char*>(text.c_str());
    SendMessageA(handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

bool ReportList::checked(int row) const {
    LRESULT s = SendMessageA(handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK);
    return ((s & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void ReportList::setChecked(int row, bool c) {
    LVITEMA it{};
    it.stateMask = LVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(c ? 2 : 1);
    SendMessageA(handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

int ReportList::selectedIndex() const {
    return static_cast<int>(SendMessageA(handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ReportList::setSelectedIndex(int row) {
    LVITEMA it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = 0;
    SendMessageA(handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
    if (row < 0) return;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

void ReportList::ensureVisible(int row) {
    SendMessageA(handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void ReportList::editRow(int row) {
    SetFocus(handle());
    SendMessageA(handle(), LVM_EDITLABELA, static_cast<WPARAM>(row), 0);
}

bool ReportList::reflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg != WM_NOTIFY) return false;
    auto* h = reinterpret_cast<NMHDR*>(lp);
    if (h->code == LVN_ITEMCHANGED) {
        auto* v = reinterpret_cast<NMLISTVIEW*>(lp);
        if (v->iItem >= 0 && (v->uChanged & LVIF_STATE)) {
            UINT oldCheck = v->uOldState & LVIS_STATEIMAGEMASK, newCheck = v->uNewState & LVIS_STATEIMAGEMASK;
            // The first state image is set when a row is added: not a change by anyone.
            if (oldCheck && newCheck && oldCheck != newCheck && onItemChecked) onItemChecked(v->iItem);
            if ((v->uOldState ^ v->uNewState) & LVIS_SELECTED) change();
        }
        result = 0;
        return true;
    }
    if (h->code == LVN_ENDLABELEDITA) {
        auto* d = reinterpret_cast<NMLVDISPINFOA*>(lp);
        bool accept = d->item.pszText != nullptr;
        if (accept && onEdited) accept = onEdited(d->item.iItem, d->item.pszText);
        result = accept ? TRUE : FALSE;
        return true;
    }
    return false;
}

}  // namespace kv
