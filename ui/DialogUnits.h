// Dialog units: the sizes of dialog tables, independent of the screen's DPI.
// One horizontal unit is a quarter of the dialog font's average character
// width, one vertical unit an eighth of its height, as in Windows dialog
// templates; the dialog font is 9-point 宋体 at the screen's DPI, so a dialog
// keeps its proportions at 96 and at 120 DPI.
#pragma once

#include <windows.h>

namespace kv {

// A rectangle in dialog units, relative to the parent's client area.
struct DluRect {
    int x = 0, y = 0, w = 0, h = 0;
};

class DialogUnits {
public:
    DialogUnits() = default;
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}
    // The units of the dialog font at a DPI (0: the screen's).
    static DialogUnits forDpi(int dpi = 0);

    int x(int dlu) const { return MulDiv(dlu, baseX_, 4); }
    int y(int dlu) const { return MulDiv(dlu, baseY_, 8); }
    RECT toPixels(const DluRect& r) const;
    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }

private:
    int baseX_ = 6, baseY_ = 12;
};

// The screen's logical DPI (96 at 100 %, 120 at 125 %).
int screenDpi();
// The dialog font at a DPI (0: the screen's); the fonts live as long as the program.
HFONT dialogFont(int dpi = 0);

}  // namespace kv
