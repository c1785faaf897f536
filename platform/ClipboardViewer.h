// Membership of a window in the clipboard-viewer chain, kept intact: chain
// changes are followed and the window leaves the chain when it goes.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

class ClipboardViewer {
public:
    ~ClipboardViewer() { leave(); }
    // Joins the chain; the notification this causes arrives before join returns.
    void join(HWND self);
    void leave();
    bool joined() const { return self_ != nullptr; }
    HWND next() const { return next_; }
    // Passes a notification on to the next viewer.
    void forward(UINT msg, WPARAM wp, LPARAM lp) const;
    // WM_CHANGECBCHAIN: a viewer leaves; either adopt its successor or pass the news on.
    void chainChanged(HWND removed, HWND successor);

    // The clipboard's text (CF_TEXT), or empty.
    static std::string text(HWND owner);

private:
    HWND self_ = nullptr;
    HWND next_ = nullptr;
};

}  // namespace kv
