#include "playlist/PlayListSelector.h"

namespace kv {

bool PlayListSelector::create(int x, int y, int w, int h) {
    if (!Panel::create(x, y, w, h)) return false;
    if (!combo_.create(0, 0, w, 22, 1)) return false;
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    ImageList_AddIcon(images, icon ? icon : LoadIconA(nullptr, IDI_APPLICATION));
    combo_.setImages(images);
    combo_.onChange = [this] {
        if (onChange) onChange();
    };
    setComboEnabled(false);
    return true;
}

int PlayListSelector::imageIndex(int index) const {
    COMBOBOXEXITEMA it{};
    it.mask = CBEIF_IMAGE;
    it.iItem = index;
    if (!SendMessageA(combo_.handle(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return -1;
    return it.iImage;
}

void PlayListSelector::dropDown() {
    setComboEnabled(true);
    SetFocus(combo_.handle());
    SendMessageA(combo_.handle(), CB_SHOWDROPDOWN, TRUE, 0);
}

}  // namespace kv
