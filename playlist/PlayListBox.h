// The list box of the playlist window: owner-drawn fixed-height items that
// hold no data of their own (the titles live in PlayListTitles), so lists of
// a hundred thousand items load, scroll and shrink at once.
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
    // Stops drawing until the messages now queued have run, so a burst of
    // changes (a held key, a script) redraws the list and its scroll bar once.
    void deferRedraw();

    // Events. onKeyDown sees Up, Down, Delete and the others; setting key to
    // 0 swallows it.
    std::function<void(WORD& key)> onKeyDown;
    std::function<void(const DRAWITEMSTRUCT&)> onDrawItem;
    // Screen position of the request (-1, -1 from the keyboard).
    std::function<void(int x, int y)> onContextMenu;

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // WM_DRAWITEM, handed back by the parent.
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    UniqueFont font_;
    bool deferred_ = false;
};

}  // namespace kv
