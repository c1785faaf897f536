// cboPlayList: the main window's playlist selector, an extended combo box
// whose items carry an image, one per named playlist. It lies behind the
// skin picture of the top strip; the drop-down button opens its list.
#pragma once

#include <windows.h>
// (after windows.h)
#include <commctrl.h>

#include <functional>
#include <string>

#include "ui/Control.h"
#include "ui/Handles.h"

namespace kv {

struct ImageListTraits {
    static HIMAGELIST invalid() { return nullptr; }
    static bool valid(HIMAGELIST h) { return h != nullptr; }
    static void close(HIMAGELIST h);
};

class PlayListSelector : public Panel {
public:
    explicit PlayListSelector(Control* parent) : Panel(parent) {}
    bool create(int x, int y, int w, int h);

    int count() const;
    void add(const std::string& caption, int imageIndex);
    void clear();
    std::string caption(int index) const;
    int imageIndex(int index) const;
    int itemIndex() const;
    void setItemIndex(int index);
    void setComboEnabled(bool e);
    bool comboEnabled() const;
    // Enables the selector and opens its list.
    void dropDown();
    HWND combo() const { return combo_.get(); }

    // A playlist was chosen in the list.
    std::function<void()> onChange;

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    UniqueWindow combo_;
    UniqueHandle<HIMAGELIST, ImageListTraits> images_;
};

}  // namespace kv
