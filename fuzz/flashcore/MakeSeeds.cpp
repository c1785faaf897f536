// Writes seed movies for the fuzz targets into the folder given.
#include <string>

#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

using namespace swfw;

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string dir = argv[1];
    // Shapes of every kind, a morph, a mask, a sprite and a script.
    Movie m;
    m.version = 8;
    m.setBackground(10, 20, 30);
    ShapeBuilder s(4);
    int solid = s.addFill(FillStyle::solid({255, 0, 0, 128}));
    int lin = s.addFill(
        FillStyle::linear(Matrix::scale(0.1, 0.1), {{0, {0, 0, 0, 255}}, {255, {255, 255, 255, 255}}}));
    FillStyle foc = FillStyle::focalRadial(Matrix::scale(0.05, 0.05),
                                           {{0, {0, 255, 0, 255}}, {255, {0, 0, 255, 255}}}, 0.5);
    foc.spread = 1;
    int fr = s.addFill(foc);
    LineStyle ls;
    ls.width = 60;
    ls.join = 2;
    int line = s.addLine(ls);
    s.rect(0, 0, 1000, 1000, solid, line).ellipse(1500, 500, 400, 300, lin).rect(2000, 0, 3000, 800, fr);
    m.add(s.defineShape(1));
    ShapeBuilder a(3), b(3);
    a.rect(0, 0, 500, 500, 1);
    b.rect(100, 100, 900, 700, 1);
    MorphFill mf;
    mf.startColor = {255, 0, 0, 255};
    mf.endColor = {0, 0, 255, 255};
    m.add(defineMorphShape(2, {mf}, {}, a, b));
    Bytes sprite = placeObject(1, 1);
    sprite.insert(sprite.end(), {0x40, 0x00});
    m.add(defineSprite(3, sprite));
    Place mask;
    mask.depth = 1;
    mask.characterId = 1;
    mask.clipDepth = 3;
    m.add(placeObject2(mask));
    Place p;
    p.depth = 2;
    p.characterId = 2;
    p.ratio = 30000;
    m.add(placeObject2(p));
    p.depth = 3;
    p.characterId = 3;
    p.ratio = -1;
    p.name = "spr";
    m.add(placeObject3(p));
    m.add(frameLabel("a"));
    ActionWriter act;
    act.constantPool({"x", "FSCommand:quit"}).pushConstant(0).pushInt(3).setVariable();
    act.label("top").pushConstant(0).getVariable().pushInt(1).op(0x0B).storeRegister(0).pushConstant(0).op(
        0x4D);
    act.setVariable().pushRegister(0).op(0x12).ifTrue("done").jump("top").label("done");
    act.pushConstant(1).push("args").getUrl2().setTarget("spr").stop().setTarget("").gotoLabel("a");
    m.add(doAction(act.bytes()));
    m.showFrame();
    m.add(removeObject2(2));
    m.showFrame();
    writeFile(dir + "/movie.swf", m.build());
    m.signature = 'C';
    writeFile(dir + "/movie_cws.swf", m.build());
    writeFile(dir + "/actions.bin", act.bytes());
    // Variables that the actions target's edit text shows, by name and by path.
    ActionWriter bound;
    bound.push("v").pushInt(11).setVariable().push("clip.v").push("1 1").setVariable();
    bound.push("/clip:v").push("/clip:v").getVariable().push("1").add2().setVariable();
    bound.push("v").pushUndefined().setVariable().gotoFrame(1).push("v").pushNumber(0.1).setVariable();
    writeFile(dir + "/bound.bin", bound.bytes());
    return 0;
}
