#include "ui/ComboBox.h"

#include "ui/DialogSkin.h"

namespace kv {

bool ComboBox::create(int x, int y, int w, int h, int id, bool editable, int dropDownCount) {
    editable_ = editable;
    DWORD style = WS_TABSTOP | WS_VSCROLL | (editable ? CBS_DROPDOWN | CBS_AUTOHSCROLL : CBS_DROPDOWNLIST);
    if (!createDialogControl("COMBOBOX", style, 0, x, y, w, h + h * dropDownCount, id)) return false;
    h_ = h;
    return true;
}

void ComboBox::setDropDownRows(int rows) {
    // The window height of a drop-down combo is the closed box plus its list;
    // the list's frame takes two pixels.
    RECT closed;
    GetWindowRect(handle(), &closed);
    const LRESULT item = SendMessageA(handle(), CB_GETITEMHEIGHT, 0, 0);
    if (item == CB_ERR || item <= 0) return;
    SetWindowPos(handle(), nullptr, 0, 0, closed.right - closed.left,
                 (closed.bottom - closed.top) + rows * static_cast<int>(item) + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::clear() { SendMessageA(handle(), CB_RESETCONTENT, 0, 0); }

int ComboBox::add(const std::string& item) {
    return static_cast<int>(SendMessageA(handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void ComboBox::insert(int index, const std::string& item) {
    SendMessageA(handle(), CB_INSERTSTRING, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(item.c_str()));
}

void ComboBox::remove(int index) { SendMessageA(handle(), CB_DELETESTRING, static_cast<WPARAM>(index), 0); }

int ComboBox::count() const { return static_cast<int>(SendMessageA(handle(), CB_GETCOUNT, 0, 0)); }

std::string ComboBox::item(int index) const {
    LRESULT n = SendMessageA(handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (n == CB_ERR) return {};
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(handle(), CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n));
    return s;
}

std::vector<std::string> ComboBox::items() const {
    std::vector<std::string> out;
    for (int i = 0, n = count(); i < n; ++i) out.push_back(item(i));
    return out;
}

void ComboBox::setItems(const std::vector<std::string>& items) {
    clear();
    for (const std::string& s : items) add(s);
}

int ComboBox::indexOf(const std::string& item) const {
    for (int i = 0, n = count(); i < n; ++i)
        if (this->item(i) == item) return i;
    return -1;
}

int ComboBox::itemIndex() const { return static_cast<int>(SendMessageA(handle(), CB_GETCURSEL, 0, 0)); }

void ComboBox::setItemIndex(int index) {
    SendMessageA(handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ComboBox::droppedDown() const { return SendMessageA(handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

void ComboBox::addHistory(const std::string& text, int max) {
    std::string keep = editable_ ? this->text() : std::string();
    for (int i = indexOf(text); i >= 0; i = indexOf(text)) remove(i);
    insert(0, text);
    while (max >= 0 && count() > max) remove(count() - 1);
    if (editable_) setText(keep);
}

bool ComboBox::reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND) {
        WORD code = HIWORD(wp);
        if (code == CBN_SETFOCUS || code == CBN_KILLFOCUS) InvalidateRect(handle(), nullptr, FALSE);
        if (code == CBN_SELCHANGE || (editable_ && code == CBN_EDITCHANGE)) {
            change();
            result = 0;
            return true;
        }
    }
    if (msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX || msg == WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, IsWindowEnabled(handle()) ? kDialogText : kDialogDisabledText);
        SetBkColor(dc, kDialogField);
        result = reinterpret_cast<LRESULT>(dialogFieldBrush());
        return true;
    }
    return false;
}

ImageComboBox::~ImageComboBox() {
    destroy();
    if (images_) ImageList_Destroy(images_);
}

bool ImageComboBox::create(int x, int y, int w, int h, int id, int dropDownCount) {
    ensureCommonControls();
    if (!createDialogControl(WC_COMBOBOXEXA, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 0, x, y, w,
                             h + h * dropDownCount, id))
        return false;
    h_ = h;
    return true;
}

void ImageComboBox::setImages(HIMAGELIST images) {
    if (images_ && images_ != images) ImageList_Destroy(images_);
    images_ = images;
    SendMessageA(handle(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
}

int ImageComboBox::add(const std::string& text, int image, int indent) {
    COMBOBOXEXITEMA it{};
    it.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    it.iItem = count();
    it.pszText = const_cast<char*>(text.c_str());
    it.iImage = image;
    it.iSelectedImage = image;
    it.iIndent = indent;
    return static_cast<int>(SendMessageA(handle(), CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
}

void ImageComboBox::clear() { SendMessageA(handle(), CB_RESETCONTENT, 0, 0); }

int ImageComboBox::count() const { return static_cast<int>(SendMessageA(handle(), CB_GETCOUNT, 0, 0)); }

std::string ImageComboBox::item(int index) const {
    char buf[1024] = {};
    COMBOBOXEXITEMA it{};
    it.mask = CBEIF_TEXT;
    it.iItem = index;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(handle(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    return buf;
}

int ImageComboBox::itemIndex() const { return static_cast<int>(SendMessageA(handle(), CB_GETCURSEL, 0, 0)); }

void ImageComboBox::setItemIndex(int index) {
    SendMessageA(handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

bool ImageComboBox::reflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && HIWORD(wp) == CBN_SELCHANGE) {
        change();
        result = 0;
        return true;
    }
    return false;
}

}  // namespace kv
