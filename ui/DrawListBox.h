// Owner-drawn list box: fixed-height items drawn by onDrawItem (or, when no
// handler is set, as text in the dialog colours).
#pragma once

#include "ui/NativeControls.h"

namespace kv {

struct DrawItem {
    HDC dc;
    RECT rect;
    int index;
    bool selected, focused;
};

class DrawListBox : public ListBox {
public:
    explicit DrawListBox(Control* parent) : ListBox(parent) {}
    bool create(int x, int y, int w, int h, int id, int itemHeight = 0);
    std::function<void(const DrawItem& item)> onDrawItem;
    // The selection changed (by the user).
    std::function<void()> onChange;
    // Draws an item as the default does (for handlers that only add to it).
    void drawDefault(const DrawItem& item) const;

protected:
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

}  // namespace kv
