#include "platform/ClipboardViewer.h"

#include <cstring>

namespace kv {

void ClipboardViewer::join(HWND self) {
    if (self_) return;
    self_ = self;
    next_ = SetClipboardViewer(self);
}

void ClipboardViewer::leave() {
    if (!self_) return;
    ChangeClipboardChain(self_, next_);
    self_ = nullptr;
    next_ = nullptr;
}

void ClipboardViewer::forward(UINT msg, WPARAM wp, LPARAM lp) const {
    if (next_) SendMessageA(next_, msg, wp, lp);
}

void ClipboardViewer::chainChanged(HWND removed, HWND successor) {
    if (removed == next_) {
        next_ = successor;
    } else if (next_) {
        SendMessageA(next_, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed),
                     reinterpret_cast<LPARAM>(successor));
    }
}

std::string ClipboardViewer::text(HWND owner) {
    std::string out;
    if (!IsClipboardFormatAvailable(CF_TEXT)) return out;
    if (!OpenClipboard(owner)) return out;
    if (HANDLE h = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(h))) {
            size_t cap = GlobalSize(h);
            out.assign(p, strnlen(p, cap));
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

}  // namespace kv
