#include "flash/core/Renderer.h"

#include <algorithm>
#include <cmath>

#include "flash/core/Bitmap.h"
#include "flash/core/Drawing.h"

namespace flash {

namespace {

const int kMaxLevels = 64;

// Whether the device box of b under m, grown by pad, misses columns
// [left, right] and rows [top, bottom].
bool offCanvas(const Rect& b, const Matrix& m, int left, int right, int top, int bottom, float pad) {
    float xs[4] = {static_cast<float>(b.xMin), static_cast<float>(b.xMax), static_cast<float>(b.xMax),
                   static_cast<float>(b.xMin)};
    float ys[4] = {static_cast<float>(b.yMin), static_cast<float>(b.yMin), static_cast<float>(b.yMax),
                   static_cast<float>(b.yMax)};
    float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
    for (int i = 0; i < 4; ++i) {
        float x = static_cast<float>(m.mapX(xs[i], ys[i])), y = static_cast<float>(m.mapY(xs[i], ys[i]));
        x0 = std::min(x0, x);
        x1 = std::max(x1, x);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y);
    }
    return x1 < left - pad || y1 < top - pad || x0 > right + pad || y0 > bottom + pad;
}

}  // namespace

void Renderer::setQuality(Quality q) {
    antialias_ = q != Quality::Low;
    paint_.setBitmapSmoothing(q != Quality::Low);
    tolerance_ = q == Quality::High ? 0.1f : (q == Quality::Medium ? 0.25f : 0.5f);
}

bool Renderer::bandSafe(const DisplayObject& root) {
    for (const auto& kv : root.children) {
        const DisplayObject& o = *kv.second;
        if (hasEffects(o) || (o.character && o.character->kind == Character::Video)) return false;
        if (!bandSafe(o)) return false;
    }
    return true;
}

bool Renderer::render(const DisplayObject& root, Rgba background, uint32_t* pixels, int width, int height,
                      int stride, const Matrix& view, Quality quality) {
    return renderRows(root, background, pixels, width, height, stride, view, quality, 0, height);
}

bool Renderer::renderRows(const DisplayObject& root, Rgba background, uint32_t* pixels, int width, int height,
                          int stride, const Matrix& view, Quality quality, int top, int bottom) {
    return renderRect(root, background, pixels, width, height, stride, view, quality, 0, top, width, bottom);
}

bool Renderer::renderRect(const DisplayObject& root, Rgba background, uint32_t* pixels, int width, int height,
                          int stride, const Matrix& view, Quality quality, int left, int top, int right,
                          int bottom) {
    setQuality(quality);
    canvas_.attach(pixels, width, height, stride);
    canvas_.setRows(top, bottom);
    canvas_.setColumns(left, right);
    cv_ = &canvas_;
    layerDepth_ = 0;
    layersDrawn_ = 0;
    filterSx_ = static_cast<float>(std::hypot(view.a, view.b) * 20);
    filterSy_ = static_cast<float>(std::hypot(view.c, view.d) * 20);
    background.a = 255;
    canvas_.clear(premultiply(background));
    view_ = view;
    if (root.drawing && !root.drawing->empty())
        drawShape(root.drawing->shape(), view, ColorTransform(), false);
    sinceCheck_ = 0;
    interrupted_ = false;
    renderChildren(root, view, ColorTransform(), false, 0);
    return !interrupted_;
}

bool Renderer::interrupted() {
    // The check may cost a system call: it is asked once every few instances.
    if (!interrupted_ && interruptCheck_ && ++sinceCheck_ >= 8) {
        sinceCheck_ = 0;
        interrupted_ = interruptCheck_();
    }
    return interrupted_;
}

void Renderer::renderChildren(const DisplayObject& clip, const Matrix& m, const ColorTransform& cx, bool mask,
                              int level) {
    if (level > kMaxLevels) return;
    std::vector<uint16_t> clips;  // end depths of the masks opened here
    for (const auto& kv : clip.children) {
        if (interrupted()) break;  // masks opened here are still closed below
        const DisplayObject& o = *kv.second;
        while (!clips.empty() && kv.first > clips.back()) {
            cv_->popMask();
            clips.pop_back();
        }
        Matrix om = m * o.matrix;
        ColorTransform ocx = cx.after(o.cxform);
        if (o.clipDepth > 0) {
            if (mask) {
                drawObject(o, om, ocx, true, level + 1);
            } else if (o.clipDepth > kv.first) {
                cv_->beginMask();
                drawObject(o, om, ocx, true, level + 1);
                cv_->endMask();
                clips.push_back(o.clipDepth);
            }
            continue;
        }
        if (!o.visible || (o.masking > 0 && !mask)) continue;
        if (!mask) {
            std::shared_ptr<DisplayObject> by = o.maskedBy.lock();
            if (by && by.get() != &o && by->masking > 0 && by->parent) {
                drawMasked(o, *by, om, ocx, level + 1);
                continue;
            }
        }
        if (!mask && hasEffects(o)) {
            drawLayered(o, om, ocx, level + 1);
            continue;
        }
        drawObject(o, om, ocx, mask, level + 1);
    }
    for (size_t i = 0; i < clips.size(); ++i) cv_->popMask();
}

void Renderer::drawObject(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, bool mask,
                          int level) {
    if (!o.character && !o.hasTimeline()) return;
    switch (o.character ? o.character->kind : Character::Sprite) {
        case Character::Shape:
            if (grid_ && !o.character->text)
                drawGridShape(*o.character->shape, o.matrix, cx, mask);
            else
                drawShape(*o.shownShape(), m, cx, mask);
            break;
        case Character::Morph:
            o.character->morph->interpolate(o.ratio, morphScratch_);
            if (grid_)
                drawGridShape(morphScratch_, o.matrix, cx, mask);
            else
                drawShape(morphScratch_, m, cx, mask);
            break;
        case Character::Sprite: {
            // Only the shapes directly inside a clip follow its grid.
            const GridMap* outer = grid_;
            const Matrix outerClip = gridClip_;
            GridMap grid;
            grid_ = gridOf(o, m, grid, level) ? &grid : nullptr;
            gridClip_ = m;
            if (o.drawing && !o.drawing->empty()) drawShape(o.drawing->shape(), m, cx, mask);
            renderChildren(o, m, cx, mask, level);
            grid_ = outer;
            gridClip_ = outerClip;
            break;
        }
        case Character::Video:
            drawVideo(o, m, cx, mask);
            break;
        default:
            break;  // bitmaps and fonts are drawn through shapes
    }
}

void Renderer::drawMasked(const DisplayObject& o, const DisplayObject& maskClip, const Matrix& m,
                          const ColorTransform& cx, int level) {
    // The mask sits wherever it is on the stage: its own world matrix.
    Matrix mm;
    for (const DisplayObject* p = &maskClip; p && p->parent; p = p->parent) mm = p->matrix * mm;
    cv_->beginMask();
    drawObject(maskClip, view_ * mm, ColorTransform(), true, level);
    cv_->endMask();
    if (hasEffects(o))
        drawLayered(o, m, cx, level);
    else
        drawObject(o, m, cx, false, level);
    cv_->popMask();
}

void Renderer::prepare(const FillStyle& fill) {
    if (fill.kind == FillKind::Bitmap && fill.bitmap) fill.bitmap->decode(decoder_);
}

void Renderer::addEdge(const Edge& e, bool reversed, const Matrix& m) {
    float x0 = reversed ? e.x1 : e.x0, y0 = reversed ? e.y1 : e.y0;
    float x1 = reversed ? e.x0 : e.x1, y1 = reversed ? e.y0 : e.y1;
    float dx0 = static_cast<float>(m.mapX(x0, y0)), dy0 = static_cast<float>(m.mapY(x0, y0));
    float dx1 = static_cast<float>(m.mapX(x1, y1)), dy1 = static_cast<float>(m.mapY(x1, y1));
    if (e.curve) {
        float cx = static_cast<float>(m.mapX(e.cx, e.cy)), cy = static_cast<float>(m.mapY(e.cx, e.cy));
        ras_.addQuad(dx0, dy0, cx, cy, dx1, dy1, tolerance_);
    } else {
        ras_.addLine(dx0, dy0, dx1, dy1);
    }
}

void Renderer::drawShape(const ShapeData& shape, const Matrix& m, const ColorTransform& cx, bool mask) {
    if (!std::isfinite(m.det())) return;
    float pad = 0, reach = 0;
    for (const ShapeLayer& L : shape.layers)
        for (const LineStyle& l : L.lines) {
            pad = std::max(pad, l.width * 0.5f);
            // Caps and mitred joins reach beyond half the width.
            reach = std::max(reach, l.width * 0.5f * std::max(2.0f, static_cast<float>(l.miterLimit)));
        }
    Rect b = shape.bounds;
    b.xMin = static_cast<int32_t>(std::max(-2e9f, b.xMin - pad));
    b.yMin = static_cast<int32_t>(std::max(-2e9f, b.yMin - pad));
    b.xMax = static_cast<int32_t>(std::min(2e9f, b.xMax + pad));
    b.yMax = static_cast<int32_t>(std::min(2e9f, b.yMax + pad));
    if (offCanvas(b, m, 0, cv_->width(), 0, cv_->height(), 2)) return;
    if (cv_->rowsTop() > 0 || cv_->rowsBottom() < cv_->height() || cv_->columnsLeft() > 0 ||
        cv_->columnsRight() < cv_->width()) {
        // A band or rectangle: shapes wholly outside it are skipped. Strokes
        // are thin lines at least a pixel wide, hence the extra pixels.
        Rect r = shape.bounds;
        r.xMin = static_cast<int32_t>(std::max(-2e9f, r.xMin - reach));
        r.yMin = static_cast<int32_t>(std::max(-2e9f, r.yMin - reach));
        r.xMax = static_cast<int32_t>(std::min(2e9f, r.xMax + reach));
        r.yMax = static_cast<int32_t>(std::min(2e9f, r.yMax + reach));
        if (offCanvas(r, m, cv_->columnsLeft(), cv_->columnsRight(), cv_->rowsTop(), cv_->rowsBottom(), 4))
            return;
    }
    const FillRule rule = shape.nonZero ? FillRule::NonZero : FillRule::EvenOdd;
    for (const ShapeLayer& L : shape.layers) {
        int used = 0;
        for (size_t f = 1; f < L.fillEdges.size(); ++f) used += !L.fillEdges[f].empty();
        const bool together = used > 1 && !mask;
        if (together) cv_->beginLayer();
        for (size_t f = 1; f < L.fillEdges.size(); ++f) {
            const std::vector<EdgeRef>& refs = L.fillEdges[f];
            if (refs.empty()) continue;
            if (!mask) {
                prepare(L.fills[f - 1]);
                paint_.setFill(L.fills[f - 1], m, cx);
                if (!paint_.visible()) continue;
            }
            ras_.reset(cv_->width(), cv_->height());
            for (const EdgeRef& r : refs) addEdge(L.edges[r.index], r.reversed, m);
            cv_->fill(ras_, rule, antialias_, paint_);
        }
        if (together) cv_->endLayer();
        if (!mask) strokeLayer(L, m, cx);  // masks are made of fills
    }
}

void Renderer::strokeLayer(const ShapeLayer& L, const Matrix& m, const ColorTransform& cx) {
    const float scale = static_cast<float>(std::sqrt(std::fabs(m.det())));
    for (size_t li = 1; li <= L.lines.size(); ++li) {
        const LineStyle& style = L.lines[li - 1];
        bool any = false;
        for (const Edge& e : L.edges)
            if (e.line == li) {
                any = true;
                break;
            }
        if (!any) continue;
        if (style.hasFill) {
            prepare(style.fill);
            paint_.setFill(style.fill, m, cx);
        } else {
            paint_.setSolid(cx.apply(style.color));
        }
        if (!paint_.visible()) continue;
        float width = style.width * scale;
        if (style.noHScale && style.noVScale) width = style.width / 20.0f;
        if (!(width >= 1.0f)) width = 1.0f;  // hairlines and thin strokes stay one pixel wide
        StrokeStyle ss;
        ss.halfWidth = std::min(width, 1e6f) / 2;
        ss.startCap = style.startCap;
        ss.endCap = style.endCap;
        ss.join = style.join;
        ss.miterLimit = static_cast<float>(style.miterLimit);
        ss.tolerance = tolerance_;
        ras_.reset(cv_->width(), cv_->height());

        float lastX = 0, lastY = 0;
        bool open = false;
        auto flush = [&]() {
            if (points_.size() >= 2 || (points_.size() == 1 && open)) {
                const PointF& a = points_.front();
                const PointF& z = points_.back();
                bool closed = !style.noClose && points_.size() > 2 && std::fabs(a.x - z.x) < 0.01f &&
                              std::fabs(a.y - z.y) < 0.01f;
                stroker_.stroke(points_, closed, ss, ras_);
            }
            points_.clear();
            open = false;
        };
        for (const Edge& e : L.edges) {
            if (e.line != li) continue;
            if (!open || e.newPath || e.x0 != lastX || e.y0 != lastY) {
                flush();
                points_.push_back(
                    {static_cast<float>(m.mapX(e.x0, e.y0)), static_cast<float>(m.mapY(e.x0, e.y0))});
                open = true;
            }
            float x1 = static_cast<float>(m.mapX(e.x1, e.y1)), y1 = static_cast<float>(m.mapY(e.x1, e.y1));
            if (e.curve) {
                const PointF p0 = points_.back();
                float cxp = static_cast<float>(m.mapX(e.cx, e.cy)),
                      cyp = static_cast<float>(m.mapY(e.cx, e.cy));
                float ddx = p0.x - 2 * cxp + x1, ddy = p0.y - 2 * cyp + y1;
                float dd = std::sqrt(ddx * ddx + ddy * ddy);
                int n =
                    std::isfinite(dd)
                        ? std::max(
                              1, std::min(128, static_cast<int>(std::ceil(std::sqrt(dd / (4 * tolerance_))))))
                        : 1;
                for (int i = 1; i <= n; ++i) {
                    float t = static_cast<float>(i) / n, u = 1 - t;
                    points_.push_back({u * u * p0.x + 2 * u * t * cxp + t * t * x1,
                                       u * u * p0.y + 2 * u * t * cyp + t * t * y1});
                }
            } else {
                points_.push_back({x1, y1});
            }
            lastX = e.x1;
            lastY = e.y1;
        }
        flush();
        cv_->fill(ras_, FillRule::NonZero, antialias_, paint_);
    }
}

}  // namespace flash
