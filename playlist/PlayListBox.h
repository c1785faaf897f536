// The list box of the playlist window: owner-drawn fixed-height items that
// hold no data of their own (the titles live in PlayListTitles), so lists of
// a hundred thousand items load, scroll and shrink at once. Its host panel
// hands the owner-draw notifications back to it.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/Control.h"
#include "ui/Handles.h"

namespace kv {

class PlayListBox : public Control {
public:
    explicit PlayListBox(Control* parent) : Control(parent) {}
    bool create(int x, int y, int w, int h);

    int count() const;
    // Sets the number of items at once (selection and scrolling start again).
    void setCount(int n);
    void add();
    void remove(int index);
    void clear() { setCount(0); }
    int selectedIndex() const;
    void setSelectedIndex(int index);
    int itemHeight() const;
    void setItemHeight(int h);
    // Takes a font (the list box keeps it until another is set).
    void setFont(UniqueFont font);
    HFONT font() const { return font_.get(); }
    // Redraws one item.
    void invalidateItem(int index);
    // Stops and restarts drawing around bulk changes.
    void setRedraw(bool on);

    // Events. onKeyDown sees Up, Down, Delete and the others; setting key to
    // 0 swallows it.
    std::function<void(WORD& key)> onKeyDown;
    std::function<void(const DRAWITEMSTRUCT&)> onDrawItem;
    // Screen position of the request (-1, -1 from the keyboard).
    std::function<void(int x, int y)> onContextMenu;

    // Called by the host for WM_DRAWITEM.
    void drawItem(const DRAWITEMSTRUCT& dis) {
        if (onDrawItem) onDrawItem(dis);
    }

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    UniqueFont font_;
};

// A panel that passes WM_DRAWITEM of a PlayListBox child back to it.
class OwnerDrawPanel : public Panel {
public:
    explicit OwnerDrawPanel(Control* parent) : Panel(parent) {}

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace kv
