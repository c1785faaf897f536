#include "flash/core/raster/Canvas.h"

#include <algorithm>
#include <cstring>

namespace flash {

uint32_t mulPixel(uint32_t p, uint32_t a) {
    uint32_t rb = (p & 0x00FF00FFu) * a + 0x00800080u;
    rb = ((rb + ((rb >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((p >> 8) & 0x00FF00FFu) * a + 0x00800080u;
    ag = (ag + ((ag >> 8) & 0x00FF00FFu)) & 0xFF00FF00u;
    return rb | ag;
}

uint32_t addSaturated(uint32_t a, uint32_t b) {
    uint32_t rb = (a & 0x00FF00FFu) + (b & 0x00FF00FFu);
    uint32_t ov = (rb >> 8) & 0x00010001u;
    rb = (rb | ((ov << 8) - ov)) & 0x00FF00FFu;
    uint32_t ag = ((a >> 8) & 0x00FF00FFu) + ((b >> 8) & 0x00FF00FFu);
    ov = (ag >> 8) & 0x00010001u;
    ag = (ag | ((ov << 8) - ov)) & 0x00FF00FFu;
    return rb | (ag << 8);
}

static inline uint32_t over(uint32_t src, uint32_t dst) { return src + mulPixel(dst, 255u - (src >> 24)); }

void blendSolidSpan(uint32_t* dst, int len, uint32_t color, const uint8_t* covers) {
    if ((color >> 24) == 255) {
        for (int i = 0; i < len; ++i) {
            uint32_t c = covers[i];
            if (c == 255) {
                dst[i] = color;
            } else if (c) {
                dst[i] = over(mulPixel(color, c), dst[i]);
            }
        }
        return;
    }
    const uint32_t inv = 255u - (color >> 24);
    for (int i = 0; i < len; ++i) {
        uint32_t c = covers[i];
        if (c == 255) {
            dst[i] = color + mulPixel(dst[i], inv);
        } else if (c) {
            dst[i] = over(mulPixel(color, c), dst[i]);
        }
    }
}

void blendColorSpan(uint32_t* dst, int len, const uint32_t* colors, const uint8_t* covers) {
    for (int i = 0; i < len; ++i) {
        uint32_t c = covers[i];
        if (!c) continue;
        uint32_t s = c == 255 ? colors[i] : mulPixel(colors[i], c);
        uint32_t a = s >> 24;
        if (a == 255) {
            dst[i] = s;
        } else if (a || s) {
            dst[i] = over(s, dst[i]);
        }
    }
}

void Canvas::attach(uint32_t* pixels, int width, int height, int stride) {
    pixels_ = pixels;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    stride_ = stride;
    active_.clear();
    building_ = -1;
    size_t need = static_cast<size_t>(width_) * height_;
    for (auto& m : masks_)
        if (m.size() != need) m.assign(need, 0);
}

void Canvas::clear(uint32_t color) {
    for (int y = 0; y < height_; ++y)
        std::fill(pixels_ + static_cast<size_t>(y) * stride_,
                  pixels_ + static_cast<size_t>(y) * stride_ + width_, color);
}

void Canvas::fill(Rasterizer& ras, FillRule rule, bool antialias, const Paint& paint) {
    if (!pixels_ || (building_ < 0 && !paint.visible())) return;
    paint_ = &paint;
    ras.sweep(rule, antialias, *this);
    paint_ = nullptr;
}

void Canvas::beginLayer() {
    if (building_ >= 0) return;  // masks sum their coverage anyway
    size_t need = static_cast<size_t>(width_) * height_;
    if (layer_.size() != need) layer_.assign(need, 0);
    layerOpen_ = true;
    dirtyX0_ = width_;
    dirtyY0_ = height_;
    dirtyX1_ = dirtyY1_ = 0;
}

void Canvas::endLayer() {
    if (!layerOpen_) return;
    layerOpen_ = false;
    for (int y = dirtyY0_; y < dirtyY1_; ++y) {
        uint32_t* src = layer_.data() + static_cast<size_t>(y) * width_;
        uint32_t* dst = pixels_ + static_cast<size_t>(y) * stride_;
        const uint8_t* m = active_.empty() ? nullptr : maskRow(active_.back(), y);
        for (int x = dirtyX0_; x < dirtyX1_; ++x) {
            uint32_t s = src[x];
            if (!s) continue;
            src[x] = 0;
            if (m) {
                if (!m[x]) continue;
                s = mulPixel(s, m[x]);
            }
            dst[x] = (s >> 24) == 255 ? s : over(s, dst[x]);
        }
    }
}

void Canvas::beginMask() {
    // Layers in use: the active ones; take the first free one or a new one.
    std::vector<bool> used(masks_.size(), false);
    for (int i : active_) used[i] = true;
    int index = -1;
    for (size_t i = 0; i < masks_.size(); ++i)
        if (!used[i]) {
            index = static_cast<int>(i);
            break;
        }
    if (index < 0) {
        masks_.emplace_back(static_cast<size_t>(width_) * height_, 0);
        index = static_cast<int>(masks_.size()) - 1;
    } else {
        std::fill(masks_[index].begin(), masks_[index].end(), 0);
    }
    building_ = index;
}

void Canvas::endMask() {
    if (building_ < 0) return;
    if (!active_.empty()) {
        int outer = active_.back();
        uint8_t* m = masks_[building_].data();
        const uint8_t* o = masks_[outer].data();
        size_t n = masks_[building_].size();
        for (size_t i = 0; i < n; ++i) m[i] = static_cast<uint8_t>((m[i] * o[i] + 127) / 255);
    }
    active_.push_back(building_);
    building_ = -1;
}

void Canvas::popMask() {
    if (!active_.empty()) active_.pop_back();
}

void Canvas::span(int y, int x, int len, const uint8_t* covers) {
    if (building_ >= 0) {
        // Summed so that mask shapes meeting along an edge cover it fully.
        uint8_t* m = maskRow(building_, y) + x;
        for (int i = 0; i < len; ++i) m[i] = static_cast<uint8_t>(std::min(255, m[i] + covers[i]));
        return;
    }
    if (layerOpen_) {
        uint32_t* dst = layer_.data() + static_cast<size_t>(y) * width_ + x;
        if (paint_->kind() == Paint::Solid) {
            uint32_t color = paint_->color();
            for (int i = 0; i < len; ++i)
                if (covers[i])
                    dst[i] = addSaturated(dst[i], covers[i] == 255 ? color : mulPixel(color, covers[i]));
        } else {
            if (colors_.size() < static_cast<size_t>(len)) colors_.resize(len);
            paint_->generate(x, y, len, colors_.data());
            for (int i = 0; i < len; ++i)
                if (covers[i])
                    dst[i] =
                        addSaturated(dst[i], covers[i] == 255 ? colors_[i] : mulPixel(colors_[i], covers[i]));
        }
        dirtyX0_ = std::min(dirtyX0_, x);
        dirtyX1_ = std::max(dirtyX1_, x + len);
        dirtyY0_ = std::min(dirtyY0_, y);
        dirtyY1_ = std::max(dirtyY1_, y + 1);
        return;
    }
    const uint8_t* cov = covers;
    if (!active_.empty()) {
        if (covers_.size() < static_cast<size_t>(len)) covers_.resize(len);
        const uint8_t* m = maskRow(active_.back(), y) + x;
        for (int i = 0; i < len; ++i) covers_[i] = static_cast<uint8_t>((covers[i] * m[i] + 127) / 255);
        cov = covers_.data();
    }
    uint32_t* dst = pixels_ + static_cast<size_t>(y) * stride_ + x;
    if (paint_->kind() == Paint::Solid) {
        blendSolidSpan(dst, len, paint_->color(), cov);
        return;
    }
    if (colors_.size() < static_cast<size_t>(len)) colors_.resize(len);
    paint_->generate(x, y, len, colors_.data());
    blendColorSpan(dst, len, colors_.data(), cov);
}

}  // namespace flash
