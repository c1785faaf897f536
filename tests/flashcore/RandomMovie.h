// Generated movies for tests that compare two ways of drawing the same
// frames: random shapes (solid, gradient and bitmap fills, strokes of every
// cap and join), sprites holding some of them, and masks; every frame
// places, moves, recolours, hides behind masks or removes instances.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/swfwriter/BitmapWriter.h"
#include "tools/swfwriter/FilterWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace fctest {

class RandomMovie {
public:
    // `scale` scales every shape (small shapes change fewer rows).
    explicit RandomMovie(uint32_t seed, double scale = 1.0) : seed_(seed * 2654435761u + 1), scale_(scale) {}
    // Some placements also get filters or a blend mode, and the first
    // sprite a scale-9 grid.
    RandomMovie& withEffects() {
        effects_ = true;
        return *this;
    }

    // A 400 x 300 stage with `shapes` characters and `frames` frames.
    swfw::Bytes build(int shapes, int frames) {
        swfw::Movie m;
        m.version = 8;
        m.stage = {0, 8000, 0, 6000};
        m.setBackground(static_cast<uint8_t>(rnd(256)), static_cast<uint8_t>(rnd(256)), 200);
        m.add(swfw::defineBitsLossless(1, picture(24, 16, true), swfw::LosslessFormat::Rgb32, alpha()));
        for (int i = 0; i < shapes; ++i) m.add(shape(static_cast<uint16_t>(10 + i)));
        // Two sprites of a few shapes each.
        for (int s = 0; s < 2; ++s) {
            swfw::Bytes tags;
            for (int k = 0; k < 3; ++k) {
                const swfw::Bytes t =
                    swfw::placeObject2(place(static_cast<uint16_t>(k + 1), 10 + rnd(shapes)));
                tags.insert(tags.end(), t.begin(), t.end());
            }
            const swfw::Bytes show = swfw::tag(1, {});
            tags.insert(tags.end(), show.begin(), show.end());
            m.add(swfw::defineSprite(static_cast<uint16_t>(5 + s), tags, 1));
        }
        if (effects_) m.add(swfw::defineScalingGrid(5, {-300, 300, -200, 200}));
        std::vector<bool> used(kDepths + 1, false);
        for (int f = 0; f < frames; ++f) {
            const int changes = f == 0 ? kDepths / 2 : 1 + rnd(4);
            for (int c = 0; c < changes; ++c) {
                const uint16_t depth = static_cast<uint16_t>(1 + rnd(kDepths));
                if (used[depth] && rnd(5) == 0) {
                    m.add(swfw::removeObject2(depth));
                    used[depth] = false;
                    continue;
                }
                swfw::Place p = place(depth, -1);
                if (used[depth]) {
                    p.move = true;
                    if (rnd(3) == 0) p.hasMatrix = false;
                } else {
                    p.characterId = rnd(6) == 0 ? 5 + rnd(2) : 10 + rnd(shapes);
                    if (rnd(8) == 0) p.clipDepth = depth + 1 + rnd(6);
                    used[depth] = true;
                }
                if (rnd(3) == 0) {
                    p.hasCxForm = true;
                    p.cxform.mr = rnd(300) / 100.0;
                    p.cxform.ma = 0.25 + rnd(100) / 100.0;
                    p.cxform.ab = rnd(100) - 50;
                }
                if (effects_ && rnd(3) == 0) {
                    effect(p);
                    m.add(swfw::placeObject3(p));
                } else {
                    m.add(swfw::placeObject2(p));
                }
            }
            m.showFrame();
        }
        return m.build();
    }

private:
    static const int kDepths = 24;

    // A filter (blur, glow, drop shadow) or a blend mode.
    void effect(swfw::Place& p) {
        if (rnd(3) == 0) {
            p.blendMode = 2 + rnd(13);
            return;
        }
        swfw::FilterParams f;
        f.id = rnd(3);
        f.blurX = 1 + rnd(12);
        f.blurY = 1 + rnd(12);
        f.distance = rnd(10);
        f.color = color(100);
        f.passes = 1 + rnd(2);
        p.filters = swfw::filterList({f});
    }

    int rnd(int n) {
        seed_ = seed_ * 1103515245u + 12345u;
        return static_cast<int>((seed_ >> 8) % static_cast<uint32_t>(n));
    }
    swfw::Rgba color(int minAlpha) {
        return {static_cast<uint8_t>(rnd(256)), static_cast<uint8_t>(rnd(256)),
                static_cast<uint8_t>(rnd(256)), static_cast<uint8_t>(minAlpha + rnd(256 - minAlpha))};
    }
    static swfw::LosslessOptions alpha() {
        swfw::LosslessOptions o;
        o.withAlpha = true;
        return o;
    }
    swfw::Picture picture(int w, int h, bool translucent) {
        swfw::Picture p{w, h, {}};
        for (int i = 0; i < w * h; ++i) {
            swfw::Rgba c = color(translucent ? 0 : 255);
            p.argb.push_back(static_cast<uint32_t>(c.a) << 24 | static_cast<uint32_t>(c.r) << 16 |
                             static_cast<uint32_t>(c.g) << 8 | c.b);
        }
        return p;
    }
    swfw::Place place(uint16_t depth, int character) {
        swfw::Place p;
        p.depth = depth;
        p.characterId = character;
        p.hasMatrix = true;
        // With effects, some placements stay upright: scale-9 grids apply to those.
        const bool upright = effects_ && rnd(3) == 0;
        const double a = upright ? 0 : rnd(628) / 100.0, s = 0.3 + rnd(150) / 100.0;
        const double shear = !upright && rnd(4) == 0 ? (rnd(100) - 50) / 100.0 : 0;
        p.matrix = {s * std::cos(a), s * std::sin(a), -s * std::sin(a) + shear,
                    s * std::cos(a), rnd(9000) - 500, rnd(7000) - 500};
        return p;
    }
    swfw::FillStyle fill() {
        const int size = 200 + rnd(3000);
        const swfw::Matrix g = swfw::Matrix::scale(size / 32768.0, size / 32768.0);
        switch (rnd(5)) {
            case 0: {
                swfw::FillStyle f = swfw::FillStyle::linear(g, {{0, color(0)}, {255, color(128)}});
                f.spread = rnd(3);
                return f;
            }
            case 1:
                return swfw::FillStyle::radial(g, {{0, color(200)}, {128, color(0)}, {255, color(100)}});
            case 2: {
                swfw::FillStyle f;
                f.type = static_cast<uint8_t>(0x40 + rnd(4));
                f.bitmapId = 1;
                f.matrix = swfw::Matrix::scale(20 * (0.5 + rnd(40) / 10.0), 20 * (0.5 + rnd(40) / 10.0));
                return f;
            }
            default:
                return swfw::FillStyle::solid(color(rnd(2) ? 255 : 0));
        }
    }
    swfw::Bytes shape(uint16_t id) {
        swfw::ShapeBuilder s(4);
        const int f = s.addFill(fill());
        int ln = 0;
        if (rnd(2)) {
            swfw::LineStyle l;
            l.width = static_cast<uint16_t>(rnd(4) == 0 ? rnd(10) : 10 + rnd(200));
            l.color = color(60);
            l.startCap = rnd(3);
            l.endCap = rnd(3);
            l.join = rnd(3);
            l.miterLimit = 1 + rnd(6);
            ln = s.addLine(l);
        }
        const int r = static_cast<int>((200 + rnd(1600)) * scale_);
        switch (rnd(3)) {
            case 0:
                s.rect(-r, -r / 2, r, r / 2, f, ln);
                // Sometimes a second fill in the same shape: fills drawn together.
                if (rnd(2)) s.ellipse(r / 2, 0, r / 2, r / 3, s.addFill(fill()));
                break;
            case 1:
                s.ellipse(0, 0, r, r / 3 + rnd(r), f, ln);
                break;
            default: {
                // A star with crossing edges (both fill rules see something).
                s.moveTo(r, 0).fill1(f);
                if (ln) s.line(ln);
                for (int k = 1; k <= 5; ++k) {
                    const double a = k * 4 * 3.14159265 / 5;
                    if (k % 2)
                        s.curveTo(static_cast<int32_t>(r * std::cos(a - 0.6)),
                                  static_cast<int32_t>(r * std::sin(a - 0.6)),
                                  static_cast<int32_t>(r * std::cos(a)),
                                  static_cast<int32_t>(r * std::sin(a)));
                    else
                        s.lineTo(static_cast<int32_t>(r * std::cos(a)),
                                 static_cast<int32_t>(r * std::sin(a)));
                }
                break;
            }
        }
        return s.defineShape(id);
    }

    uint32_t seed_;
    double scale_;
    bool effects_ = false;
};

}  // namespace fctest
