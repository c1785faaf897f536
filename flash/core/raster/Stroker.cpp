#include "flash/core/raster/Stroker.h"

#include <algorithm>
#include <cmath>

namespace flash {

namespace {

const float kPi = 3.14159265358979f;

float arcStep(float r, float tolerance) {
    if (r <= tolerance) return kPi / 2;
    return std::max(0.05f, 2.0f * std::acos(1.0f - tolerance / r));
}

}  // namespace

void Stroker::polygon(const PointF* p, int n, Rasterizer& out) {
    float area = 0;
    for (int i = 0; i < n; ++i) {
        const PointF& a = p[i];
        const PointF& b = p[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    if (area >= 0) {
        for (int i = 0; i < n; ++i) out.addLine(p[i].x, p[i].y, p[(i + 1) % n].x, p[(i + 1) % n].y);
    } else {
        for (int i = n; i > 0; --i) out.addLine(p[i % n].x, p[i % n].y, p[i - 1].x, p[i - 1].y);
    }
}

void Stroker::circle(PointF c, float r, float tolerance, Rasterizer& out) {
    int n = std::max(8, std::min(256, static_cast<int>(std::ceil(2 * kPi / arcStep(r, tolerance)))));
    poly_.clear();
    for (int i = 0; i < n; ++i) {
        float a = 2 * kPi * i / n;
        poly_.push_back({c.x + r * std::cos(a), c.y + r * std::sin(a)});
    }
    polygon(poly_.data(), n, out);
}

void Stroker::join(PointF v, PointF d0, PointF d1, const StrokeStyle& s, Rasterizer& out) {
    float cross = d0.x * d1.y - d0.y * d1.x;
    float dot = d0.x * d1.x + d0.y * d1.y;
    if (std::fabs(cross) < 1e-6f && dot > 0) return;  // straight on
    const float h = s.halfWidth;
    // The outer side of the turn is opposite to the direction it turns to.
    float side = cross > 0 ? -1.0f : 1.0f;
    PointF n0{-d0.y * side, d0.x * side}, n1{-d1.y * side, d1.x * side};
    PointF p0{v.x + n0.x * h, v.y + n0.y * h}, p1{v.x + n1.x * h, v.y + n1.y * h};
    if (s.join == JoinStyle::Round) {
        float theta = std::acos(std::max(-1.0f, std::min(1.0f, dot)));
        int steps = std::max(1, std::min(128, static_cast<int>(std::ceil(theta / arcStep(h, s.tolerance)))));
        float dir = cross > 0 ? 1.0f : (cross < 0 ? -1.0f : 1.0f);
        poly_.clear();
        poly_.push_back(v);
        poly_.push_back(p0);
        for (int i = 1; i < steps; ++i) {
            float a = dir * theta * i / steps;
            float ca = std::cos(a), sa = std::sin(a);
            poly_.push_back({v.x + h * (n0.x * ca - n0.y * sa), v.y + h * (n0.x * sa + n0.y * ca)});
        }
        poly_.push_back(p1);
        polygon(poly_.data(), static_cast<int>(poly_.size()), out);
        return;
    }
    if (s.join == JoinStyle::Miter && dot > -0.9999f) {
        float cosHalf = std::sqrt((1.0f + dot) / 2.0f);
        if (cosHalf > 0 && 1.0f / cosHalf <= s.miterLimit) {
            float k = h / (1.0f + dot);
            PointF tip{v.x + (n0.x + n1.x) * k, v.y + (n0.y + n1.y) * k};
            PointF q[4] = {v, p0, tip, p1};
            polygon(q, 4, out);
            return;
        }
    }
    PointF t[3] = {v, p0, p1};
    polygon(t, 3, out);
}

void Stroker::cap(PointF p, PointF d, CapStyle c, const StrokeStyle& s, Rasterizer& out) {
    const float h = s.halfWidth;
    if (c == CapStyle::Round) {
        circle(p, h, s.tolerance, out);
    } else if (c == CapStyle::Square) {
        PointF n{-d.y * h, d.x * h};
        PointF e{d.x * h, d.y * h};
        PointF q[4] = {{p.x + n.x, p.y + n.y},
                       {p.x + n.x + e.x, p.y + n.y + e.y},
                       {p.x - n.x + e.x, p.y - n.y + e.y},
                       {p.x - n.x, p.y - n.y}};
        polygon(q, 4, out);
    }
}

void Stroker::stroke(const std::vector<PointF>& points, bool closed, const StrokeStyle& style,
                     Rasterizer& out) {
    pts_.clear();
    for (const PointF& p : points) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
        if (!pts_.empty() && std::fabs(pts_.back().x - p.x) < 1e-4f && std::fabs(pts_.back().y - p.y) < 1e-4f)
            continue;
        pts_.push_back(p);
    }
    if (closed && pts_.size() > 2 && std::fabs(pts_.back().x - pts_[0].x) < 1e-4f &&
        std::fabs(pts_.back().y - pts_[0].y) < 1e-4f)
        pts_.pop_back();
    const float h = style.halfWidth;
    if (pts_.empty()) return;
    if (pts_.size() == 1) {
        // A dot: only caps give it a size.
        if (style.startCap != CapStyle::None)
            cap(pts_[0], {1, 0}, style.startCap == CapStyle::Round ? CapStyle::Round : CapStyle::Square,
                style, out);
        if (style.startCap == CapStyle::Square) cap(pts_[0], {-1, 0}, CapStyle::Square, style, out);
        return;
    }
    size_t n = pts_.size();
    if (n < 3) closed = false;
    size_t segs = closed ? n : n - 1;
    std::vector<PointF> dirs(segs);
    for (size_t i = 0; i < segs; ++i) {
        const PointF& a = pts_[i];
        const PointF& b = pts_[(i + 1) % n];
        float dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
        dirs[i] = {dx / len, dy / len};
        PointF nn{-dirs[i].y * h, dirs[i].x * h};
        PointF q[4] = {{a.x + nn.x, a.y + nn.y},
                       {b.x + nn.x, b.y + nn.y},
                       {b.x - nn.x, b.y - nn.y},
                       {a.x - nn.x, a.y - nn.y}};
        polygon(q, 4, out);
    }
    for (size_t i = 1; i < segs; ++i) join(pts_[i], dirs[i - 1], dirs[i], style, out);
    if (closed) {
        join(pts_[0], dirs[segs - 1], dirs[0], style, out);
    } else {
        cap(pts_[0], {-dirs[0].x, -dirs[0].y}, style.startCap, style, out);
        cap(pts_[n - 1], dirs[segs - 1], style.endCap, style, out);
    }
}

}  // namespace flash
