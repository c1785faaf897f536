#include "ui/Label.h"

namespace kv {

bool Label::create(int x, int y, int w, int h, const std::string& text) {
    x_ = x;
    y_ = y;
    w_ = w;
    h_ = h;
    text_ = text;
    return createControl("KvLabel");
}

void Label::setText(const std::string& t) {
    if (t == text_) return;
    text_ = t;
    invalidate();
}

void Label::setFont(const std::string& face, int height, bool bold) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    font_.reset(CreateFontIndirectA(&lf));
    invalidate();
}

void Label::setTextColor(COLORREF c) {
    textColor_ = c;
    invalidate();
}

void Label::paint(HDC dc, const RECT& client) {
    HFONT f = font_ ? font_.get() : sharedFont_ ? sharedFont_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SelectGuard sel(dc, f);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor_);
    UINT fmt = DT_NOPREFIX | (wordWrap_ ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE | DT_END_ELLIPSIS);
    fmt |= textAlign_ == TextAlign::Right ? DT_RIGHT : textAlign_ == TextAlign::Center ? DT_CENTER : DT_LEFT;
    if (vcenter_ && !wordWrap_) fmt |= DT_VCENTER;
    if (!IsWindowEnabled(handle())) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    RECT r = client;
    DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &r, fmt);
}

}  // namespace kv
