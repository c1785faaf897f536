// Writes seeds with buttons, clip events and object scripts into the folder
// given: whole movies for the parse and play targets, raw action bytes for
// the actions target.
#include <string>

#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ButtonWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

using namespace swfw;

namespace {

// Functions with registers, objects, arrays, members, Math and String.
ActionWriter objectScript() {
    ActionWriter body;
    body.pushRegister(1).pushRegister(2).add2().ret();
    ActionWriter a;
    a.constantPool({"o", "arr", "f", "clip"});
    a.defineFunction2("f", 3, 0x01 | 0x40, {{2, "x"}}, body);
    a.defineFunction("g", {"y"}, ActionWriter().push("y").getVariable().ret());
    a.pushConstant(0).push("a").pushInt(1).pushInt(1).initObject().setVariable();
    a.pushConstant(1).pushInt(3).pushInt(2).pushInt(1).pushInt(3).initArray().setVariable();
    a.pushInt(4).pushInt(1).pushConstant(1).getVariable().push("push").callMethod().op(0x17);
    a.pushInt(5).pushInt(1).pushConstant(2).callFunction().op(0x26);
    a.pushConstant(3).getVariable().push("_x").pushInt(30).setMember();
    a.pushConstant(3).getVariable().push("_rotation").getMember().op(0x26);
    a.pushNumber(2.5).pushInt(1).push("Math").getVariable().push("floor").callMethod().op(0x26);
    a.push("b").pushInt(1).push("abc").push("indexOf").callMethod().op(0x26);
    a.pushConstant(0).getVariable().push("Object").getVariable().instanceOf().op(0x26);
    a.pushConstant(1).getVariable().typeOf().op(0x26);
    a.pushInt(0).push("Array").newObject().op(0x17);
    return a;
}

Place at(uint16_t depth, int id) {
    Place p;
    p.depth = depth;
    p.characterId = id;
    return p;
}

Bytes square(uint16_t id, Rgba c, int x0, int x1) {
    ShapeBuilder s(3);
    s.rect(x0, x0, x1, x1, s.addFill(FillStyle::solid(c)));
    return s.defineShape(id);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string dir = argv[1];
    for (int version : {5, 6, 8}) {
        Movie m;
        m.version = static_cast<uint8_t>(version);
        m.stage = {0, 1280, 0, 960};
        m.add(square(1, {255, 0, 0, 255}, 0, 1000));
        m.add(square(2, {0, 255, 0, 255}, 0, 1000));
        m.add(square(3, {0, 0, 255, 255}, 200, 800));
        ButtonRecord up{kUp, 1, 1, Matrix(), CxForm()};
        ButtonRecord over{kOver | kDown, 2, 1, Matrix(), CxForm()};
        ButtonRecord hit{kHit, 3, 2, Matrix::translate(20, 20), CxForm()};
        over.cxform.mr = 0.5;
        m.add(defineButton2(
            10, {up, over, hit},
            {{0x0008, ActionWriter().getUrl("FSCommand:click", "x").bytes()},
             {0x0001 | 0x0002,
              ActionWriter().push("n").push("n").getVariable().pushInt(1).add2().setVariable().bytes()}},
            version >= 6));
        m.add(defineButton(11, {up, hit}, ActionWriter().play().bytes()));
        CxForm tint;
        tint.mg = 0.5;
        m.add(defineButtonCxform(11, tint));
        Bytes spr = placeObject2(at(1, 10));
        spr.insert(spr.end(), {0x40, 0x00, 0x40, 0x00});
        m.add(defineSprite(20, spr));
        Place p;
        p.depth = 1;
        p.characterId = 10;
        p.name = "btn";
        m.add(placeObject2(p));
        m.add(placeObject2(at(2, 11)));
        m.add(placeWithEvents(
            20, 3, "clip", Matrix::translate(100, 100),
            {{0x1, ActionWriter().push("loaded").pushInt(1).setVariable().bytes()},
             {0x2 | 0x10,
              ActionWriter().push("this").getVariable().push("_x").pushInt(5).setMember().bytes()}},
            version));
        m.add(doAction(objectScript().bytes()));
        m.showFrame();
        m.showFrame();
        writeFile(dir + "/buttons_v" + std::to_string(version) + ".swf", m.build());
    }
    writeFile(dir + "/objects.bin", objectScript().bytes());
    return 0;
}
