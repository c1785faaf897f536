// A painted text label: font, colour, alignment, optional transparency.
#pragma once

#include "ui/Control.h"
#include "ui/Handles.h"

namespace kv {

enum class TextAlign { Left, Center, Right };

class Label : public Control {
public:
    explicit Label(Control* parent) : Control(parent) {}
    bool create(int x, int y, int w, int h, const std::string& text = "");
    void setText(const std::string& t);
    const std::string& text() const { return text_; }
    // Font by face name and height in pixels (negative: character height).
    void setFont(const std::string& face, int height, bool bold = false);
    // A font the label uses but does not own (the dialog font).
    void setSharedFont(HFONT f) { sharedFont_ = f; invalidate(); }
    // Breaks the text into lines at word (or character) boundaries.
    void setWordWrap(bool w) { wordWrap_ = w; invalidate(); }
    void setTextColor(COLORREF c);
    COLORREF textColor() const { return textColor_; }
    void setTextAlign(TextAlign a) { textAlign_ = a; invalidate(); }
    void setVerticalCenter(bool v) { vcenter_ = v; invalidate(); }

protected:
    void paint(HDC dc, const RECT& client) override;

private:
    std::string text_;
    UniqueFont font_;
    HFONT sharedFont_ = nullptr;
    bool wordWrap_ = false;
    COLORREF textColor_ = RGB(0, 0, 0);
    TextAlign textAlign_ = TextAlign::Left;
    bool vcenter_ = false;
};

}  // namespace kv
