// TMyImage: an image control that shows one picture and raises mouse enter
// and leave events; an empty picture makes it transparent. Every skinned
// button is one of these.
#pragma once

#include "ui/Control.h"

namespace kv {

class MyImage : public Control {
public:
    explicit MyImage(Control* parent) : Control(parent) { transparent_ = true; }
    bool create(int x, int y, int w, int h);
    // The picture shown (not owned); nullptr shows the parent's background.
    void setPicture(HBITMAP bmp);
    HBITMAP picture() const { return picture_; }
    void setStretch(bool s) { stretch_ = s; invalidate(); }
    // Children (labels on a button) see the picture through their transparency.
    void paintBackgroundFor(HDC dc, int ox, int oy, const RECT& area) override;

protected:
    void paint(HDC dc, const RECT& client) override;

private:
    HBITMAP picture_ = nullptr;
    bool stretch_ = false;
};

}  // namespace kv
