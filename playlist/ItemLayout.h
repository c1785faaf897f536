// Where the playlist window draws the number and the title of one item.
// Portable: no Windows headers.
#pragma once

namespace kv {

struct ItemLayout {
    int numberX = 0;  // offset of the item number from the item's left edge (when shown)
    int titleX = 0;   // offset of the title
    int textY = 0;    // offset of both from the item's top edge
};

// Number of decimal digits of n (1 for 0).
int DecimalDigits(int n);

// position: 0-based; count: items in the list; fontSize: points; alignment of
// the numbers: 0 left (and any other value), 1 centre, 2 right.
ItemLayout ComputeItemLayout(int position, int count, int fontSize, int alignment, bool showIndex,
                             int oppositeItemHeight);

}  // namespace kv
