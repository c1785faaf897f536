// A small anti-aliased drawing surface for the skin pictures: rectangles,
// gradients, circles and polygons on a 32-bit buffer, turned into a bitmap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kv {

struct PointF {
    double x, y;
};

class Canvas {
public:
    Canvas(int w, int h, COLORREF fill = RGB(0, 0, 0));
    int width() const { return w_; }
    int height() const { return h_; }
    void fillRect(int x, int y, int w, int h, COLORREF c);
    // Vertical gradient over a rectangle, from top colour to bottom colour.
    void gradientV(int x, int y, int w, int h, COLORREF top, COLORREF bottom);
    void fillCircle(double cx, double cy, double r, COLORREF c, double alpha = 1.0);
    void fillPolygon(const std::vector<PointF>& pts, COLORREF c, double alpha = 1.0);
    void fillRoundRect(double x, double y, double w, double h, double r, COLORREF c, double alpha = 1.0);
    COLORREF pixel(int x, int y) const;
    // A device-independent bitmap with the picture (caller owns it).
    HBITMAP toBitmap() const;

private:
    void blend(int x, int y, COLORREF c, double a);
    int w_, h_;
    std::vector<uint32_t> px_;  // 0x00RRGGBB
};

// A top-down 32-bit DIB section of w x h; bits receives its pixels (null
// when it could not be made).
HBITMAP createDibSection(int w, int h, uint32_t** bits);

}  // namespace kv
