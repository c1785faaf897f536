#include "playlist/PlayListSelector.h"

#include <commctrl.h>

#include <vector>

namespace kv {

void ImageListTraits::close(HIMAGELIST h) { ImageList_Destroy(h); }

namespace {
constexpr UINT kComboId = 1;
}

bool PlayListSelector::create(int x, int y, int w, int h) {
    if (!Panel::create(x, y, w, h)) return false;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_USEREX_CLASSES};
    InitCommonControlsEx(&icc);
    // 8 visible rows in the drop-down list.
    combo_.reset(CreateWindowExA(0, WC_COMBOBOXEXA, "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL,
                                 0, 0, w, 8 * 18 + 24, handle(), reinterpret_cast<HMENU>(kComboId),
                                 GetModuleHandleA(nullptr), nullptr));
    if (!combo_) return false;
    images_.reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1));
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    ImageList_AddIcon(images_.get(), icon ? icon : LoadIconA(nullptr, IDI_APPLICATION));
    SendMessageA(combo_.get(), CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_.get()));
    SendMessageA(combo_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    setComboEnabled(false);
    return true;
}

int PlayListSelector::count() const {
    return static_cast<int>(SendMessageA(combo_.get(), CB_GETCOUNT, 0, 0));
}

void PlayListSelector::add(const std::string& caption, int imageIndex) {
    COMBOBOXEXITEMA it{};
    it.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    it.iItem = -1;
    it.pszText = const_cast<char*>(caption.c_str());
    it.iImage = imageIndex;
    it.iSelectedImage = imageIndex;
    SendMessageA(combo_.get(), CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

void PlayListSelector::clear() { SendMessageA(combo_.get(), CB_RESETCONTENT, 0, 0); }

std::string PlayListSelector::caption(int index) const {
    char buf[MAX_PATH * 2] = {};
    COMBOBOXEXITEMA it{};
    it.mask = CBEIF_TEXT;
    it.iItem = index;
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    if (!SendMessageA(combo_.get(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return {};
    return buf;
}

int PlayListSelector::imageIndex(int index) const {
    COMBOBOXEXITEMA it{};
    it.mask = CBEIF_IMAGE;
    it.iItem = index;
    if (!SendMessageA(combo_.get(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return -1;
    return it.iImage;
}

int PlayListSelector::itemIndex() const {
    return static_cast<int>(SendMessageA(combo_.get(), CB_GETCURSEL, 0, 0));
}

void PlayListSelector::setItemIndex(int index) {
    SendMessageA(combo_.get(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void PlayListSelector::setComboEnabled(bool e) { EnableWindow(combo_.get(), e ? TRUE : FALSE); }

bool PlayListSelector::comboEnabled() const { return IsWindowEnabled(combo_.get()) != FALSE; }

void PlayListSelector::dropDown() {
    setComboEnabled(true);
    SetFocus(combo_.get());
    SendMessageA(combo_.get(), CB_SHOWDROPDOWN, TRUE, 0);
}

LRESULT PlayListSelector::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && LOWORD(wp) == kComboId && HIWORD(wp) == CBN_SELENDOK) {
        // Let the combo box finish its own selection first.
        PostMessageA(handle(), WM_APP, 0, 0);
        return 0;
    }
    if (msg == WM_APP) {
        if (onChange) onChange();
        return 0;
    }
    return Panel::handleMessage(msg, wp, lp);
}

}  // namespace kv
