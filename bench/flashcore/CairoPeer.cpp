#include "bench/flashcore/CairoPeer.h"

#include <cairo.h>

#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace cairopeer {

namespace {

using flash::Edge;
using flash::EdgeRef;
using flash::Matrix;

cairo_matrix_t toCairo(const Matrix& m) {
    cairo_matrix_t c;
    cairo_matrix_init(&c, m.a, m.b, m.c, m.d, m.tx, m.ty);
    return c;
}

void addStop(cairo_pattern_t* p, double offset, const flash::Rgba& c) {
    cairo_pattern_add_color_stop_rgba(p, offset, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
}

// Sets the source of a fill; false for fills the peer does not draw.
bool setSource(cairo_t* cr, const flash::FillStyle& f, const Matrix& m, const flash::ColorTransform& cx) {
    if (f.kind == flash::FillKind::Solid) {
        const flash::Rgba c = cx.apply(f.color);
        cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
        return true;
    }
    if (f.kind != flash::FillKind::Linear && f.kind != flash::FillKind::Radial) return false;
    cairo_pattern_t* p = f.kind == flash::FillKind::Linear
                             ? cairo_pattern_create_linear(-16384, 0, 16384, 0)
                             : cairo_pattern_create_radial(0, 0, 0, 0, 0, 16384);
    for (const flash::GradientStop& s : f.gradient.stops) addStop(p, s.ratio / 255.0, cx.apply(s.color));
    // The pattern's matrix maps device space to the gradient square.
    Matrix inv;
    if (!(m * f.matrix).invert(inv)) {
        cairo_pattern_destroy(p);
        return false;
    }
    const cairo_matrix_t cm = toCairo(inv);
    cairo_pattern_set_matrix(p, &cm);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_PAD);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
    return true;
}

// Appends the edges to the path as contours: an edge starts a new contour
// unless it begins where the last one ended.
void addEdges(cairo_t* cr, const std::vector<std::pair<const Edge*, bool>>& edges, const Matrix& m) {
    float lastX = NAN, lastY = NAN;
    for (const auto& er : edges) {
        const Edge& e = *er.first;
        const bool rev = er.second;
        const float x0 = rev ? e.x1 : e.x0, y0 = rev ? e.y1 : e.y0, x1 = rev ? e.x0 : e.x1,
                    y1 = rev ? e.y0 : e.y1;
        if (x0 != lastX || y0 != lastY) cairo_move_to(cr, m.mapX(x0, y0), m.mapY(x0, y0));
        const double px = m.mapX(x0, y0), py = m.mapY(x0, y0), qx = m.mapX(x1, y1), qy = m.mapY(x1, y1);
        if (e.curve) {
            // The quadratic as a cubic.
            const double cx = m.mapX(e.cx, e.cy), cy = m.mapY(e.cx, e.cy);
            cairo_curve_to(cr, px + 2.0 / 3 * (cx - px), py + 2.0 / 3 * (cy - py), qx + 2.0 / 3 * (cx - qx),
                           qy + 2.0 / 3 * (cy - qy), qx, qy);
        } else {
            cairo_line_to(cr, qx, qy);
        }
        lastX = x1;
        lastY = y1;
    }
}

// The edges of one fill linked into closed contours (each next edge begins
// where the previous one ended), as cairo closes every sub-path it fills.
std::vector<std::pair<const Edge*, bool>> contours(const flash::ShapeLayer& L,
                                                   const std::vector<EdgeRef>& refs) {
    auto start = [&](const EdgeRef& r) {
        const Edge& e = L.edges[r.index];
        return r.reversed ? std::make_pair(e.x1, e.y1) : std::make_pair(e.x0, e.y0);
    };
    auto end = [&](const EdgeRef& r) {
        const Edge& e = L.edges[r.index];
        return r.reversed ? std::make_pair(e.x0, e.y0) : std::make_pair(e.x1, e.y1);
    };
    std::multimap<std::pair<float, float>, size_t> byStart;
    for (size_t i = 0; i < refs.size(); ++i) byStart.emplace(start(refs[i]), i);
    std::vector<bool> used(refs.size(), false);
    std::vector<std::pair<const Edge*, bool>> out;
    for (size_t i = 0; i < refs.size(); ++i) {
        size_t k = i;
        while (!used[k]) {
            used[k] = true;
            out.emplace_back(&L.edges[refs[k].index], refs[k].reversed);
            auto range = byStart.equal_range(end(refs[k]));
            bool found = false;
            for (auto it = range.first; it != range.second; ++it)
                if (!used[it->second]) {
                    k = it->second;
                    found = true;
                    break;
                }
            if (!found) break;
        }
    }
    return out;
}

void drawShape(cairo_t* cr, const flash::ShapeData& shape, const Matrix& m, const flash::ColorTransform& cx) {
    const double scale = std::sqrt(std::fabs(m.det()));
    for (const flash::ShapeLayer& L : shape.layers) {
        cairo_set_fill_rule(cr, shape.nonZero ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        for (size_t f = 1; f < L.fillEdges.size(); ++f) {
            if (L.fillEdges[f].empty() || !setSource(cr, L.fills[f - 1], m, cx)) continue;
            cairo_new_path(cr);
            addEdges(cr, contours(L, L.fillEdges[f]), m);
            cairo_fill(cr);
        }
        for (size_t li = 1; li <= L.lines.size(); ++li) {
            const flash::LineStyle& style = L.lines[li - 1];
            std::vector<std::pair<const Edge*, bool>> edges;
            for (const Edge& e : L.edges)
                if (e.line == li) edges.emplace_back(&e, false);
            if (edges.empty()) continue;
            const flash::Rgba c = cx.apply(style.color);
            cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, c.a / 255.0);
            cairo_set_line_width(cr, std::max(1.0, style.width * scale));
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_new_path(cr);
            addEdges(cr, edges, m);
            cairo_stroke(cr);
        }
    }
}

void drawChildren(cairo_t* cr, const flash::DisplayObject& parent, const Matrix& m,
                  const flash::ColorTransform& cx) {
    for (const auto& kv : parent.children) {
        const flash::DisplayObject& o = *kv.second;
        if (!o.visible || !o.character) continue;
        const Matrix om = m * o.matrix;
        const flash::ColorTransform ocx = cx.after(o.cxform);
        if (o.character->kind == flash::Character::Shape && o.character->shape)
            drawShape(cr, *o.character->shape, om, ocx);
        else if (o.character->kind == flash::Character::Sprite)
            drawChildren(cr, o, om, ocx);
    }
}

}  // namespace

void drawFrame(flash::Player& player, uint32_t* pixels, int width, int height) {
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(pixels), CAIRO_FORMAT_ARGB32, width, height, width * 4);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_GRAY);
    cairo_set_tolerance(cr, 0.1);
    const flash::Rgba bg = player.backgroundColor();
    cairo_set_source_rgb(cr, bg.r / 255.0, bg.g / 255.0, bg.b / 255.0);
    cairo_paint(cr);
    drawChildren(cr, *player.engine().root(), player.viewMatrix(width, height), flash::ColorTransform());
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
}

}  // namespace cairopeer
