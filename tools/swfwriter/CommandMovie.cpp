#include "tools/swfwriter/CommandMovie.h"

#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ButtonWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace swfw {

namespace {

Bytes box(uint16_t id, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Rgba color) {
    ShapeBuilder s;
    s.rect(x0, y0, x1, y1, s.addFill(FillStyle::solid(color)));
    return s.defineShape(id);
}

ButtonRecord record(uint8_t states, uint16_t id) {
    ButtonRecord r;
    r.states = states;
    r.characterId = id;
    return r;
}

}  // namespace

Bytes commandMovie(const CommandMovieSpec& spec) {
    Movie m;
    m.frameRate = spec.rate;
    m.setBackground(30, 60, 110);
    // A bar across the bottom that grows frame by frame shows the movie moving.
    m.add(box(1, 0, 0, 11000, 400, {240, 240, 240, 255}));
    if (!spec.buttonCommand.empty()) {
        m.add(box(2, 2500, 2000, 8500, 6000, {250, 150, 40, 255}));
        m.add(box(3, 2500, 2000, 8500, 6000, {255, 200, 120, 255}));
        m.add(box(4, 2500, 2000, 8500, 6000, {160, 80, 10, 255}));
        m.add(defineButton2(
            10, {record(kUp | kHit, 2), record(kOver, 3), record(kDown, 4)},
            {{0x0008, ActionWriter().getUrl("FSCommand:" + spec.buttonCommand, spec.buttonArgs).bytes()}}));
        Place p;
        p.depth = 2;
        p.characterId = 10;
        m.add(placeObject2(p));
    }
    for (int f = 0; f < spec.frames; ++f) {
        Place bar;
        bar.depth = 1;
        bar.characterId = f == 0 ? 1 : -1;
        bar.move = f > 0;
        bar.hasMatrix = true;
        const double part = spec.frames > 1 ? static_cast<double>(f + 1) / spec.frames : 1.0;
        bar.matrix = Matrix::scale(part, 1, 0, 7600);
        m.add(placeObject2(bar));
        ActionWriter script;
        bool any = false;
        for (const FrameCall& c : spec.calls) {
            if (c.frame != f) continue;
            script.getUrl("FSCommand:" + c.command, c.args);
            any = true;
        }
        if (f == spec.stopAt) {
            script.stop();
            any = true;
        }
        if (any) m.add(doAction(script.bytes()));
        m.showFrame();
    }
    return m.build();
}

}  // namespace swfw
