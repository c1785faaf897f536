// cboPlayList: the main window's playlist selector, an extended combo box
// whose items carry an image, one per named playlist. It lies behind the
// skin picture of the top strip: its host has no height, so only the list
// the drop-down button opens is seen.
#pragma once

#include <functional>
#include <string>

#include "ui/ComboBox.h"
#include "ui/Control.h"

namespace kv {

class PlayListSelector : public Panel {
public:
    explicit PlayListSelector(Control* parent) : Panel(parent) {}
    bool create(int x, int y, int w, int h);

    int count() const { return combo_.count(); }
    void add(const std::string& caption, int imageIndex) { combo_.add(caption, imageIndex); }
    void clear() { combo_.clear(); }
    std::string caption(int index) const { return combo_.item(index); }
    int imageIndex(int index) const;
    int itemIndex() const { return combo_.itemIndex(); }
    void setItemIndex(int index) { combo_.setItemIndex(index); }
    void setComboEnabled(bool e) { combo_.setEnabled(e); }
    bool comboEnabled() const { return combo_.enabled(); }
    // Enables the selector and opens its list.
    void dropDown();
    HWND combo() const { return combo_.handle(); }

    // A playlist was chosen in the list.
    std::function<void()> onChange;

private:
    ImageComboBox combo_{this};
};

}  // namespace kv
