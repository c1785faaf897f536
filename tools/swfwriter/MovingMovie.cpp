#include "tools/swfwriter/MovingMovie.h"

#include "tools/swfwriter/ShapeWriter.h"

namespace swfw {

Bytes movingMovie(int frames, double rate) {
    Movie m;
    m.frameRate = rate;
    m.setBackground(255, 255, 255);
    ShapeBuilder box(3);
    box.rect(0, 0, 1000, 1000, box.addFill(FillStyle::solid({200, 30, 30})));
    m.add(box.defineShape(1));
    ShapeBuilder bar(3);
    bar.rect(0, 6000, 11000, 8000, bar.addFill(FillStyle::solid({255, 255, 255})));
    m.add(bar.defineShape(2));
    for (int f = 0; f < frames; ++f) {
        Place p;
        p.depth = 1;
        p.characterId = f == 0 ? 1 : -1;
        p.move = f > 0;
        p.hasMatrix = true;
        p.matrix = Matrix::translate((f * 97) % 10000, (f * 31) % 5000);
        m.add(placeObject2(p));
        Place q;
        q.depth = 2;
        q.characterId = f == 0 ? 2 : -1;
        q.move = f > 0;
        q.hasCxForm = true;
        q.cxform.mr = 0;
        q.cxform.mg = 0;
        q.cxform.mb = 0;
        q.cxform.ar = f % 256;
        q.cxform.ag = (f / 256) * 40 % 256;
        q.cxform.ab = 255 - f % 256;
        m.add(placeObject2(q));
        m.showFrame();
    }
    return m.build();
}

}  // namespace swfw
