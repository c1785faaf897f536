// Movies for the Flash control tests, built in code, and pixel reading from
// the bitmaps the control paints.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace flashtest {

struct Color {
    int r = 0, g = 0, b = 0;
};

// Straight colour of a pixel of a 32-bit DIB section (0x00RRGGBB in memory).
inline Color pixelOf(HBITMAP bmp, int x, int y) {
    DIBSECTION ds{};
    if (!bmp || GetObject(bmp, sizeof ds, &ds) != sizeof ds || !ds.dsBm.bmBits) return {-1, -1, -1};
    const auto* row =
        static_cast<const uint8_t*>(ds.dsBm.bmBits) +
        static_cast<size_t>(ds.dsBmih.biHeight < 0 ? y : ds.dsBm.bmHeight - 1 - y) * ds.dsBm.bmWidthBytes;
    uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
            static_cast<int>(p & 0xFF)};
}

inline bool isColor(const Color& c, int r, int g, int b, int tolerance = 8) {
    return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance && std::abs(c.b - b) <= tolerance;
}

// A solid rectangle shape (pixels) as character `id`.
inline swfw::Bytes rectShape(uint16_t id, int x0, int y0, int x1, int y1, swfw::Rgba color) {
    swfw::ShapeBuilder s(3);
    s.rect(x0, y0, x1, y1, s.addFill(swfw::FillStyle::solid(color)));
    return s.defineShape(id);
}

inline swfw::Place placeAt(uint16_t depth, int character, int32_t tx, int32_t ty, bool move = false) {
    swfw::Place p;
    p.depth = depth;
    p.characterId = move ? -1 : character;
    p.move = move;
    p.hasMatrix = true;
    p.matrix = swfw::Matrix::translate(tx, ty);
    return p;
}

// A 100 x 100 px stage on blue with a 10 x 10 px red square that stands at
// x = 10 * frame px in each 0-based frame. stopAt (1-based) puts a stop()
// into that frame; fsAt puts an FSCommand ("step", frame number) there.
inline swfw::Bytes steppingSquare(int frames, double rate = 12, int stopAt = -1, int fsAt = -1) {
    swfw::Movie m;
    m.stage = {0, 2000, 0, 2000};
    m.frameRate = rate;
    m.setBackground(0, 0, 255);
    m.add(rectShape(1, 0, 0, 200, 200, {255, 0, 0, 255}));
    for (int f = 0; f < frames; ++f) {
        m.add(swfw::placeObject2(placeAt(1, 1, (f * 200) % 1800, 900, f > 0)));
        if (f + 1 == stopAt) m.add(swfw::doAction(swfw::ActionWriter().stop().bytes()));
        if (f + 1 == fsAt)
            m.add(swfw::doAction(swfw::ActionWriter().getUrl("FSCommand:step", std::to_string(f)).bytes()));
        m.showFrame();
    }
    return m.build();
}

// A stage of w x h px on `bg` with a red rectangle (pixels) on it, one frame.
inline swfw::Bytes stillPicture(int w, int h, swfw::Rgba bg, int x0, int y0, int x1, int y1) {
    swfw::Movie m;
    m.stage = {0, w * 20, 0, h * 20};
    m.setBackground(bg.r, bg.g, bg.b);
    m.add(rectShape(1, x0 * 20, y0 * 20, x1 * 20, y1 * 20, {255, 0, 0, 255}));
    m.add(swfw::placeObject2(placeAt(1, 1, 0, 0)));
    m.showFrame();
    return m.build();
}

}  // namespace flashtest
