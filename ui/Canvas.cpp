#include "ui/Canvas.h"

#include <algorithm>
#include <cmath>

namespace kv {

namespace {
constexpr int kSub = 4;  // sub-samples per axis for polygon coverage

uint32_t pack(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
}  // namespace

Canvas::Canvas(int w, int h, COLORREF fill)
    : w_(std::max(w, 1)), h_(std::max(h, 1)), px_(static_cast<size_t>(w_) * h_, pack(fill)) {}

void Canvas::blend(int x, int y, COLORREF c, double a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
    a = std::min(a, 1.0);
    uint32_t& d = px_[static_cast<size_t>(y) * w_ + x];
    auto mix = [a](int dst, int src) { return static_cast<uint32_t>(std::lround(dst + (src - dst) * a)); };
    uint32_t r = mix((d >> 16) & 0xFF, GetRValue(c));
    uint32_t g = mix((d >> 8) & 0xFF, GetGValue(c));
    uint32_t b = mix(d & 0xFF, GetBValue(c));
    d = (r << 16) | (g << 8) | b;
}

void Canvas::fillRect(int x, int y, int w, int h, COLORREF c) {
    for (int j = std::max(y, 0); j < std::min(y + h, h_); ++j)
        for (int i = std::max(x, 0); i < std::min(x + w, w_); ++i) px_[static_cast<size_t>(j) * w_ + i] = pack(c);
}

void Canvas::gradientV(int x, int y, int w, int h, COLORREF top, COLORREF bottom) {
    for (int j = 0; j < h; ++j) {
        double t = h > 1 ? static_cast<double>(j) / (h - 1) : 0.0;
        auto lerp = [t](int a, int b) { return static_cast<BYTE>(std::lround(a + (b - a) * t)); };
        COLORREF c = RGB(lerp(GetRValue(top), GetRValue(bottom)), lerp(GetGValue(top), GetGValue(bottom)),
                         lerp(GetBValue(top), GetBValue(bottom)));
        fillRect(x, y + j, w, 1, c);
    }
}

void Canvas::fillCircle(double cx, double cy, double r, COLORREF c, double alpha) {
    int x0 = static_cast<int>(std::floor(cx - r - 1)), x1 = static_cast<int>(std::ceil(cx + r + 1));
    int y0 = static_cast<int>(std::floor(cy - r - 1)), y1 = static_cast<int>(std::ceil(cy + r + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            double cov = std::clamp(r - d + 0.5, 0.0, 1.0);
            blend(x, y, c, cov * alpha);
        }
}

void Canvas::fillPolygon(const std::vector<PointF>& pts, COLORREF c, double alpha) {
    if (pts.size() < 3) return;
    double minx = pts[0].x, maxx = minx, miny = pts[0].y, maxy = miny;
    for (const auto& p : pts) {
        minx = std::min(minx, p.x);
        maxx = std::max(maxx, p.x);
        miny = std::min(miny, p.y);
        maxy = std::max(maxy, p.y);
    }
    auto inside = [&](double x, double y) {
        bool in = false;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
            const PointF &a = pts[i], &b = pts[j];
            if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
        }
        return in;
    };
    for (int y = static_cast<int>(std::floor(miny)); y <= static_cast<int>(std::ceil(maxy)); ++y)
        for (int x = static_cast<int>(std::floor(minx)); x <= static_cast<int>(std::ceil(maxx)); ++x) {
            int hits = 0;
            for (int sy = 0; sy < kSub; ++sy)
                for (int sx = 0; sx < kSub; ++sx)
                    if (inside(x + (sx + 0.5) / kSub, y + (sy + 0.5) / kSub)) ++hits;
            if (hits) blend(x, y, c, alpha * hits / (kSub * kSub));
        }
}

void Canvas::fillRoundRect(double x, double y, double w, double h, double r, COLORREF c, double alpha) {
    r = std::min({r, w / 2, h / 2});
    for (int py = static_cast<int>(std::floor(y)); py < static_cast<int>(std::ceil(y + h)); ++py)
        for (int px = static_cast<int>(std::floor(x)); px < static_cast<int>(std::ceil(x + w)); ++px) {
            // Distance from the pixel centre to the rounded rectangle's inner core.
            double qx = std::max({x + r - (px + 0.5), (px + 0.5) - (x + w - r), 0.0});
            double qy = std::max({y + r - (py + 0.5), (py + 0.5) - (y + h - r), 0.0});
            double d = std::hypot(qx, qy);
            double cov = std::clamp(r - d + 0.5, 0.0, 1.0);
            double ex = std::clamp(std::min(px + 1 - x, x + w - px), 0.0, 1.0);
            double ey = std::clamp(std::min(py + 1 - y, y + h - py), 0.0, 1.0);
            blend(px, py, c, alpha * std::min({cov, ex, ey}));
        }
}

COLORREF Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return 0;
    uint32_t p = px_[static_cast<size_t>(y) * w_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

HBITMAP createDibSection(int w, int h, uint32_t** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP b = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = b ? static_cast<uint32_t*>(p) : nullptr;
    return b;
}

HBITMAP Canvas::toBitmap() const {
    uint32_t* bits = nullptr;
    HBITMAP bmp = createDibSection(w_, h_, &bits);
    if (bmp && bits) std::copy(px_.begin(), px_.end(), bits);
    return bmp;
}

}  // namespace kv
