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

void Stroker::loop(Rasterizer& out) {
    size_t n = poly_.size();
    for (size_t i = 0; i < n; ++i) {
        const PointF& a = poly_[i];
        const PointF& b = poly_[(i + 1) % n];
        out.addLine(a.x, a.y, b.x, b.y);
    }
    poly_.clear();
}

void Stroker::joinSide(PointF v, PointF a, PointF b, float lenA, float lenB, const StrokeStyle& s) {
    const float h = s.halfWidth;
    PointF na{-a.y * h, a.x * h}, nb{-b.y * h, b.x * h};
    PointF pa{v.x + na.x, v.y + na.y}, pb{v.x + nb.x, v.y + nb.y};
    float cross = a.x * b.y - a.y * b.x;
    float dot = a.x * b.x + a.y * b.y;
    if (std::fabs(cross) < 1e-6f && dot > 0) {  // straight on
        poly_.push_back(pa);
        return;
    }
    if (cross > 0) {  // turning towards this side: the inner side
        // Where the two offset lines meet within the first half of both
        // segments, that point alone bounds the band (a gentle curve is the
        // common case); otherwise the side passes through the vertex.
        if (dot > -0.5f) {
            const float k = 1.0f / (1.0f + dot), reach = h * cross * k;
            if (reach <= 0.5f * lenA && reach <= 0.5f * lenB) {
                poly_.push_back({v.x + (na.x + nb.x) * k, v.y + (na.y + nb.y) * k});
                return;
            }
        }
        poly_.push_back(pa);
        poly_.push_back(v);
        poly_.push_back(pb);
        return;
    }
    if (s.join != JoinStyle::Bevel && dot > -0.5f) {
        // A gentle turn: the offset lines' crossing lies within the tolerance
        // of a round join's arc, and alone makes a miter (the points before
        // and after it on the offset lines add nothing).
        const float cosHalf = std::sqrt((1.0f + dot) / 2.0f);
        if (s.join == JoinStyle::Miter ? 1.0f / cosHalf <= s.miterLimit
                                       : h * (1.0f / cosHalf - 1.0f) <= s.tolerance) {
            const float k = 1.0f / (1.0f + dot);
            poly_.push_back({v.x + (na.x + nb.x) * k, v.y + (na.y + nb.y) * k});
            return;
        }
    }
    poly_.push_back(pa);
    if (s.join == JoinStyle::Round) {
        float theta = std::acos(std::max(-1.0f, std::min(1.0f, dot)));
        int steps = std::max(1, std::min(128, static_cast<int>(std::ceil(theta / arcStep(h, s.tolerance)))));
        for (int i = 1; i < steps; ++i) {
            float t = -theta * i / steps;  // rotating from na towards nb
            float ct = std::cos(t), st = std::sin(t);
            poly_.push_back({v.x + na.x * ct - na.y * st, v.y + na.x * st + na.y * ct});
        }
    } else if (s.join == JoinStyle::Miter && dot > -0.9999f) {
        float cosHalf = std::sqrt((1.0f + dot) / 2.0f);
        if (cosHalf > 0 && 1.0f / cosHalf <= s.miterLimit) {
            float k = 1.0f / (1.0f + dot);
            poly_.push_back({v.x + (na.x + nb.x) * k, v.y + (na.y + nb.y) * k});
        }
    }
    poly_.push_back(pb);
}

void Stroker::capSide(PointF p, PointF d, CapStyle c, const StrokeStyle& s) {
    const float h = s.halfWidth;
    PointF n{-d.y * h, d.x * h};
    if (c == CapStyle::Round) {
        int steps = std::max(2, std::min(256, static_cast<int>(std::ceil(kPi / arcStep(h, s.tolerance)))));
        for (int i = 1; i < steps; ++i) {
            float t = -kPi * i / steps;  // from +n through d to -n
            float ct = std::cos(t), st = std::sin(t);
            poly_.push_back({p.x + n.x * ct - n.y * st, p.y + n.x * st + n.y * ct});
        }
    } else if (c == CapStyle::Square) {
        poly_.push_back({p.x + n.x + d.x * h, p.y + n.y + d.y * h});
        poly_.push_back({p.x - n.x + d.x * h, p.y - n.y + d.y * h});
    }
    poly_.push_back({p.x - n.x, p.y - n.y});
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
    dirs_.resize(segs);
    lens_.resize(segs);
    for (size_t i = 0; i < segs; ++i) {
        const PointF& a = pts_[i];
        const PointF& b = pts_[(i + 1) % n];
        float dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
        dirs_[i] = {dx / len, dy / len};
        lens_[i] = len;
    }
    auto back = [](PointF d) { return PointF{-d.x, -d.y}; };
    poly_.clear();
    if (closed) {
        for (size_t i = 0; i < n; ++i) {
            const size_t prev = (i + segs - 1) % segs;
            joinSide(pts_[i], dirs_[prev], dirs_[i], lens_[prev], lens_[i], style);
        }
        loop(out);
        for (size_t k = n; k-- > 0;) {
            const size_t prev = (k + segs - 1) % segs;
            joinSide(pts_[k], back(dirs_[k]), back(dirs_[prev]), lens_[k], lens_[prev], style);
        }
        loop(out);
        return;
    }
    PointF n0{-dirs_[0].y * h, dirs_[0].x * h};
    poly_.push_back({pts_[0].x + n0.x, pts_[0].y + n0.y});
    for (size_t i = 1; i + 1 < n; ++i)
        joinSide(pts_[i], dirs_[i - 1], dirs_[i], lens_[i - 1], lens_[i], style);
    PointF nl{-dirs_[segs - 1].y * h, dirs_[segs - 1].x * h};
    poly_.push_back({pts_[n - 1].x + nl.x, pts_[n - 1].y + nl.y});
    capSide(pts_[n - 1], dirs_[segs - 1], style.endCap, style);
    for (size_t i = n - 1; i-- > 1;)
        joinSide(pts_[i], back(dirs_[i]), back(dirs_[i - 1]), lens_[i], lens_[i - 1], style);
    poly_.push_back({pts_[0].x - n0.x, pts_[0].y - n0.y});
    capSide(pts_[0], back(dirs_[0]), style.startCap, style);
    loop(out);
}

}  // namespace flash
