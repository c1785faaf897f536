// Hands arbitrary bytes to everything that reads loaded content: the XML
// parser (directly and through XML.load into script objects, which are
// then printed and walked), LoadVars decoding, loadVariables, and a movie
// loaded into a clip and into a level, which then plays.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "flash/core/Player.h"
#include "flash/core/avm1/XmlParser.h"
#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/ShapeWriter.h"

namespace {

struct FuzzHost : flash::ContentHost {
    flash::Engine* engine = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
    void fetch(int request, const std::string&, const std::string&) override {
        engine->finishLoad(request, true, std::vector<uint8_t>(data, data + size));
    }
    bool readShared(const std::string&, std::string&) override { return false; }
    bool writeShared(const std::string&, const std::string&) override { return true; }
};

// x = new XML(); x.ignoreWhite = true; x.onLoad = function () { trace(this);
// trace(this.firstChild.firstChild.nodeName) }; x.load("a"); lv = new LoadVars(); lv.load("b");
// loadMovie("c", "clip"); loadMovieNum("c", 1); loadVariables("d", "clip");
swfw::Bytes hostMovie(int version) {
    using swfw::ActionWriter;
    ActionWriter onLoad;
    onLoad.getVar("this").trace();
    onLoad.getVar("this").push("firstChild").getMember().push("firstChild").getMember();
    onLoad.push("nodeName").getMember().trace();
    onLoad.getVar("this")
        .push("firstChild")
        .getMember()
        .push("childNodes")
        .getMember()
        .push("length")
        .getMember();
    onLoad.trace();
    ActionWriter a;
    a.push("x").pushInt(0).push("XML").newObject().setVariable();
    a.getVar("x").push("ignoreWhite").pushBool(true).setMember();
    a.getVar("x").push("onLoad").defineFunction("", {}, onLoad).setMember();
    a.push("a").pushInt(1).getVar("x").push("load").callMethod().pop();
    a.push("lv").pushInt(0).push("LoadVars").newObject().setVariable();
    a.push("b").pushInt(1).getVar("lv").push("load").callMethod().pop();
    a.push("c").push("clip").getUrl2(0x40);
    a.getUrl("c", "_level1");
    a.push("d").push("clip").getUrl2(0xC0);
    swfw::Movie m;
    m.version = static_cast<uint8_t>(version);
    m.stage = {0, 2000, 0, 2000};
    swfw::ShapeBuilder s(3);
    s.rect(0, 0, 200, 200, s.addFill(swfw::FillStyle::solid({255, 0, 0, 255})));
    m.add(s.defineShape(1));
    swfw::Bytes sprite = swfw::placeObject(1, 1);
    sprite.insert(sprite.end(), {0x40, 0x00});
    m.add(swfw::defineSprite(2, sprite));
    swfw::Place p;
    p.depth = 1;
    p.characterId = 2;
    p.name = "clip";
    m.add(swfw::placeObject2(p));
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();
    return m.build();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const swfw::Bytes movies[2] = {hostMovie(6), hostMovie(7)};
    std::string text(reinterpret_cast<const char*>(data), size);
    flash::XmlDocument doc = flash::parseXml(text, size & 1, 2000, 64);
    (void)doc;
    FuzzHost host;
    host.data = data;
    host.size = size;
    flash::Player player;
    host.engine = &player.engine();
    player.engine().host = &host;
    player.engine().actionBudget = 20000;
    player.engine().tickBudget = 40000;
    player.engine().maxScriptObjects = 5000;
    const swfw::Bytes& movie = movies[size & 1];
    if (!player.load(movie.data(), movie.size())) return 0;
    for (int i = 0; i < 3; ++i) player.tick();
    uint32_t pixels[16 * 16];
    player.render(pixels, 16, 16, 16);
    return 0;
}
