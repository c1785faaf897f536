// Scale-9 grids: a clip with a grid draws the shapes directly inside it so
// that the corners keep the size they have at the clip's own scale of 1,
// the top and bottom edges stretch only across, the left and right edges
// only down, and the centre both ways; together they still fill the box the
// clip's content would fill when scaled normally.
#pragma once

#include "flash/core/Types.h"

namespace flash {

// One axis of the grid: content coordinates (clip twips) to device pixels.
struct GridAxis {
    double origin = 0;      // device position of the content's low edge
    double low = 0;         // content low edge (twips)
    double g0 = 0, g1 = 0;  // grid lines, inside [low, high]
    double high = 0;        // content high edge
    double corner = 1;      // device pixels per twip in the end regions (signed)
    double centre = 1;      // device pixels per twip in the middle region (signed)

    double map(double v) const {
        if (v <= g0) return origin + (v - low) * corner;
        if (v <= g1) return origin + (g0 - low) * corner + (v - g0) * centre;
        return origin + (g0 - low) * corner + (g1 - g0) * centre + (v - g1) * corner;
    }
};

struct GridMap {
    GridAxis x, y;
};

// Builds the map of a clip whose content spans `bounds` (clip twips), with
// grid rectangle `grid`, drawn with `clipToDevice` while the clip's own
// placement is `own`. False when the grid does not apply: a rotated or
// skewed clip scales normally, as do empty grids and empty content.
bool makeGridMap(const Rect& grid, const Rect& bounds, const Matrix& clipToDevice, const Matrix& own,
                 GridMap& out);

}  // namespace flash
