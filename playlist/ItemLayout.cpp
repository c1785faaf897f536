#include "playlist/ItemLayout.h"

namespace kv {

int DecimalDigits(int n) {
    int d = 1;
    for (long long v = n < 0 ? -static_cast<long long>(n) : n; v >= 10; v /= 10) ++d;
    return d;
}

ItemLayout ComputeItemLayout(int position, int count, int fontSize, int alignment, bool showIndex,
                             int oppositeItemHeight) {
    ItemLayout l;
    l.textY = oppositeItemHeight / 2;
    if (!showIndex) {
        l.titleX = 2;
        return l;
    }
    const int D = DecimalDigits(count), d = DecimalDigits(position + 1), S = fontSize;
    switch (alignment) {
        case 1:
            l.numberX = (D - d) * S / 4 + 2;
            break;
        case 2:
            l.numberX = (D - d) * S / 2 + 2;
            break;
        default:
            l.numberX = 2;
            break;
    }
    // S * D / 2 rounded half to even: the titles of all items share one column.
    const int twice = S * D;
    int r = twice / 2;
    if (twice % 2 != 0 && r % 2 != 0) ++r;
    l.titleX = r + 20;
    return l;
}

}  // namespace kv
