#include "ui/DialogUnits.h"

#include <map>

#include "ui/Handles.h"

namespace kv {

int screenDpi() {
    WindowDc dc(nullptr);
    int dpi = GetDeviceCaps(dc.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : 96;
}

HFONT dialogFont(int dpi) {
    static std::map<int, UniqueFont> fonts;
    if (dpi <= 0) dpi = screenDpi();
    UniqueFont& f = fonts[dpi];
    if (!f) {
        LOGFONTA lf{};
        lf.lfHeight = -MulDiv(9, dpi, 72);
        lf.lfWeight = FW_NORMAL;
        lf.lfCharSet = GB2312_CHARSET;
        lf.lfQuality = DEFAULT_QUALITY;
        lstrcpynA(lf.lfFaceName, "宋体", LF_FACESIZE);
        f.reset(CreateFontIndirectA(&lf));
    }
    return f.get();
}

DialogUnits DialogUnits::forDpi(int dpi) {
    if (dpi <= 0) dpi = screenDpi();
    WindowDc screen(nullptr);
    UniqueMemDc dc(CreateCompatibleDC(screen.get()));
    SelectGuard sel(dc.get(), dialogFont(dpi));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc.get(), &tm);
    // The average width of the Latin letters, rounded (how Windows measures it).
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), kLetters, 52, &size);
    int baseX = (size.cx / 26 + 1) / 2;
    int baseY = tm.tmHeight;
    // A missing font must not make a dialog collapse.
    int minX = MulDiv(5, dpi, 96), minY = MulDiv(11, dpi, 96);
    return DialogUnits(baseX >= minX ? baseX : minX, baseY >= minY ? baseY : minY);
}

RECT DialogUnits::toPixels(const DluRect& r) const {
    RECT px;
    px.left = x(r.x);
    px.top = y(r.y);
    px.right = x(r.x + r.w);
    px.bottom = y(r.y + r.h);
    return px;
}

}  // namespace kv
