#include "ui/PageControl.h"

#include <commctrl.h>

namespace kv {

TabSheet::TabSheet(PageControl* owner) : DialogPanel(owner), owner_(owner) {}

int TabSheet::pageIndex() const {
    for (int i = 0; i < owner_->pageCount(); ++i)
        if (owner_->page(i) == this) return i;
    return -1;
}

bool PageControl::create(int x, int y, int w, int h, int id) {
    ensureCommonControls();
    return createDialogControl(WC_TABCONTROLA, WS_TABSTOP | WS_CLIPCHILDREN | TCS_FOCUSONBUTTONDOWN, 0, x, y,
                               w, h, id);
}

TabSheet* PageControl::addPage(const std::string& caption) {
    TCITEMA it{};
    it.mask = TCIF_TEXT;
    it.pszText = const_cast<char*>(caption.c_str());
    int index = pageCount();
    SendMessageA(handle(), TCM_INSERTITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&it));
    auto sheet = std::make_unique<TabSheet>(this);
    sheet->setVisible(false);
    sheet->create(0, 0, 10, 10);
    pages_.push_back(std::move(sheet));
    placePages();
    if (index == 0) {
        SendMessageA(handle(), TCM_SETCURSEL, 0, 0);
        showActive();
    }
    return pages_.back().get();
}

int PageControl::activePageIndex() const {
    return static_cast<int>(SendMessageA(handle(), TCM_GETCURSEL, 0, 0));
}

void PageControl::setActivePageIndex(int index) {
    if (index < 0 || index >= pageCount() || index == activePageIndex()) return;
    SendMessageA(handle(), TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    showActive();
}

void PageControl::selectNextPage(bool forward) {
    int n = pageCount();
    if (n < 2) return;
    int i = activePageIndex();
    setActivePageIndex(((forward ? i + 1 : i - 1) % n + n) % n);
}

void PageControl::placePages() {
    RECT r = clientRect();
    SendMessageA(handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    for (auto& p : pages_) p->setBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void PageControl::showActive() {
    int active = activePageIndex();
    for (int i = 0; i < pageCount(); ++i)
        if (i != active) page(i)->setVisible(false);
    if (active >= 0) page(active)->setVisible(true);
    if (active != shown_) {
        bool first = shown_ < 0;
        shown_ = active;
        if (!first) change();
    }
}

bool PageControl::reflect(UINT msg, WPARAM, LPARAM lp, LRESULT& result) {
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->code == static_cast<UINT>(TCN_SELCHANGE)) {
        showActive();
        result = 0;
        return true;
    }
    return false;
}

LRESULT PageControl::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SIZE) {
        LRESULT r = DialogControl::handleMessage(msg, wp, lp);
        placePages();
        return r;
    }
    return DialogControl::handleMessage(msg, wp, lp);
}

}  // namespace kv
