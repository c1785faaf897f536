// Glyph outlines and boxes collected into one shape, a layer per run of
// one colour: what static text, edit text and text fields draw.
#pragma once

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "flash/core/Shape.h"

namespace flash {

// Collects glyph outlines into a shape: one layer per run of one colour.
class TextShape {
public:
    TextShape(size_t& edgeBudget) : shape_(std::make_unique<ShapeData>()), budget_(edgeBudget) {}

    void beginRun(Rgba color) {
        if (!shape_->layers.empty() && shape_->layers.back().edges.empty()) shape_->layers.pop_back();
        ShapeLayer L;
        FillStyle f;
        f.color = color;
        L.fills.push_back(f);
        shape_->layers.push_back(std::move(L));
    }

    // Glyph units -> text space: (x, y) + g * scale, then m.
    void addGlyph(const std::vector<Edge>& glyph, double x, double y, double scale, const Matrix& m) {
        if (shape_->layers.empty() || glyph.size() > budget_) {
            budget_ = 0;  // once over budget, the rest of the text is left out
            return;
        }
        budget_ -= glyph.size();
        auto mx = [&](float gx, float gy) {
            return static_cast<float>(m.mapX(x + gx * scale, y + gy * scale));
        };
        auto my = [&](float gx, float gy) {
            return static_cast<float>(m.mapY(x + gx * scale, y + gy * scale));
        };
        ShapeLayer& L = shape_->layers.back();
        bool first = true;
        for (const Edge& g : glyph) {
            Edge e = g;
            e.x0 = mx(g.x0, g.y0);
            e.y0 = my(g.x0, g.y0);
            e.cx = mx(g.cx, g.cy);
            e.cy = my(g.cx, g.cy);
            e.x1 = mx(g.x1, g.y1);
            e.y1 = my(g.x1, g.y1);
            e.newPath = e.newPath || first;
            first = false;
            L.edges.push_back(e);
        }
    }

    // A rectangle (text space) filled and/or outlined, as its own layer.
    void addBox(const Rect& r, const Rgba* fill, const Rgba* line) {
        ShapeLayer L;
        if (fill) {
            FillStyle f;
            f.color = *fill;
            L.fills.push_back(f);
        }
        if (line) {
            LineStyle s;
            s.width = 20;
            s.color = *line;
            L.lines.push_back(s);
        }
        float x0 = static_cast<float>(r.xMin), y0 = static_cast<float>(r.yMin);
        float x1 = static_cast<float>(r.xMax), y1 = static_cast<float>(r.yMax);
        float pts[5][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
        for (int i = 0; i < 4; ++i) {
            Edge e{pts[i][0],
                   pts[i][1],
                   (pts[i][0] + pts[i + 1][0]) / 2,
                   (pts[i][1] + pts[i + 1][1]) / 2,
                   pts[i + 1][0],
                   pts[i + 1][1],
                   false,
                   i == 0,
                   0,
                   static_cast<uint16_t>(fill ? 1 : 0),
                   static_cast<uint16_t>(line ? 1 : 0)};
            L.edges.push_back(e);
        }
        shape_->layers.push_back(std::move(L));
    }

    std::unique_ptr<ShapeData> finish(const Rect& fallbackBounds) {
        if (!shape_->layers.empty() && shape_->layers.back().edges.empty()) shape_->layers.pop_back();
        float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
        for (ShapeLayer& L : shape_->layers) {
            L.gatherFills();
            for (const Edge& e : L.edges) {
                x0 = std::min({x0, e.x0, e.cx, e.x1});
                y0 = std::min({y0, e.y0, e.cy, e.y1});
                x1 = std::max({x1, e.x0, e.cx, e.x1});
                y1 = std::max({y1, e.y0, e.cy, e.y1});
            }
        }
        if (x0 <= x1 && std::isfinite(x0) && std::isfinite(x1) && std::isfinite(y0) && std::isfinite(y1)) {
            auto clampI = [](float v) { return static_cast<int32_t>(std::max(-2e9f, std::min(2e9f, v))); };
            shape_->bounds = {clampI(std::floor(x0)), clampI(std::ceil(x1)), clampI(std::floor(y0)),
                              clampI(std::ceil(y1))};
        } else {
            shape_->bounds = fallbackBounds;
        }
        return std::move(shape_);
    }

private:
    std::unique_ptr<ShapeData> shape_;
    size_t& budget_;
};

}  // namespace flash
