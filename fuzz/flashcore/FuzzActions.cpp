// Runs arbitrary bytes as the frame script of a small movie with a sprite,
// so that timeline actions have targets to act on, and edit text bound to
// variables (on the main timeline, in the sprite and in the button) shows
// what the script sets.
#include <cstddef>
#include <cstdint>

#include "flash/core/Player.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ButtonWriter.h"
#include "tools/swfwriter/FontWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

static swfw::Bytes makeMovie(const uint8_t* data, size_t size) {
    using namespace swfw;
    Movie m;
    m.version = data && size && (data[0] & 1) ? 7 : 6;
    ShapeBuilder s(3);
    s.rect(0, 0, 200, 200, s.addFill(FillStyle::solid({255, 0, 0, 255})));
    m.add(s.defineShape(1));
    FontDef font;
    Glyph one;
    one.code = '1';
    one.advance = 500;
    one.outline.rect(0, -800, 300, 0, 1);
    font.glyphs = {one};
    m.add(defineFont(4, font, 2));
    EditTextDef field;
    field.bounds = {0, 2000, 0, 600};
    field.text = "1";
    field.fontId = 4;
    field.height = 400;
    field.variable = "v";
    m.add(defineEditText(5, field));
    field.variable = "/clip:v";
    m.add(defineEditText(6, field));
    Bytes spriteTags = placeObject(1, 1);
    Bytes spriteField = placeObject(5, 2);
    spriteTags.insert(spriteTags.end(), spriteField.begin(), spriteField.end());
    spriteTags.insert(spriteTags.end(), {0x40, 0x00, 0x40, 0x00});  // two ShowFrames
    m.add(defineSprite(2, spriteTags));
    Place p;
    p.depth = 1;
    p.characterId = 2;
    p.name = "clip";
    m.add(placeObject2(p));
    // The same bytes as a button's actions and as clip event handlers.
    Bytes script(data, data + size);
    ButtonRecord rec;
    rec.states = kUp | kOver | kDown | kHit;
    rec.characterId = 1;
    ButtonRecord text = rec;
    text.states = kUp | kOver | kDown;
    text.characterId = 5;
    text.depth = 2;
    m.add(defineButton2(3, {rec, text}, {{0x000F, script}}));
    Place bp;
    bp.depth = 2;
    bp.characterId = 3;
    m.add(placeObject2(bp));
    m.add(placeWithEvents(2, 3, "ev", Matrix(), {{0x3F, script}}, m.version));
    m.add(placeObject(5, 4));
    m.add(placeObject(6, 5));
    // The sprite is exported, so attachMovie and registerClass reach it, and
    // the bytes also run as its DoInitAction.
    m.add(exportAssets({{2, "clip"}}));
    m.add(doInitAction(2, Bytes(data, data + size)));
    m.add(frameLabel("start"));
    m.add(doAction(Bytes(data, data + size)));
    m.showFrame();
    m.add(doAction(Bytes(data, data + size)));
    m.showFrame();
    m.showFrame();
    return m.build();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    swfw::Bytes movie = makeMovie(data, size);
    flash::Player player;
    player.setFSCommandHandler([](const std::string&, const std::string&) {});
    // Small budgets keep a run short (a script that runs to its budget is
    // the common case); the limits themselves are still reached.
    player.engine().actionBudget = 400;
    player.engine().tickBudget = 1200;
    player.engine().maxScriptObjects = 5000;
    if (!player.load(movie.data(), movie.size())) return 0;
    for (int i = 0; i < 3; ++i) player.tick();
    player.mouseMove(5, 5);
    player.mouseDown(5, 5);
    player.mouseUp(5, 5);
    player.mouseMove(300, 300);
    // Keys reach Key listeners and clip handlers; intervals run on ticks.
    player.engine().keyDown(37, 0);
    player.tick();
    player.engine().keyUp(37);
    player.gotoFrame(0);
    return 0;
}
