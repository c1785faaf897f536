#include "tools/swfwriter/CrowdMovie.h"

#include "tools/swfwriter/ShapeWriter.h"

namespace swfw {

Bytes crowdMovie(int count, int side, int frames, double rate) {
    Movie m;
    m.frameRate = rate;
    m.setBackground(255, 255, 255);
    const int32_t s = side * 20;
    const uint8_t shades[3][3] = {{200, 30, 30}, {30, 160, 30}, {30, 30, 200}};
    for (uint16_t id = 1; id <= 3; ++id) {
        ShapeBuilder box(3);
        const uint8_t* c = shades[id - 1];
        box.rect(0, 0, s, s, box.addFill(FillStyle::solid({c[0], c[1], c[2]})));
        m.add(box.defineShape(id));
    }
    const int32_t spanX = 550 * 20 - s, spanY = 400 * 20 - s;
    for (int i = 0; i < count; ++i) {
        Place p;
        p.depth = static_cast<uint16_t>(i + 1);
        p.characterId = 1 + i % 3;
        p.hasMatrix = true;
        // A fixed scatter, so every run draws the same picture.
        p.matrix =
            Matrix::translate(spanX > 0 ? (i * 7919) % spanX : 0, spanY > 0 ? (i * 104729) % spanY : 0);
        m.add(placeObject2(p));
    }
    for (int f = 0; f < frames; ++f) m.showFrame();
    return m.build();
}

}  // namespace swfw
