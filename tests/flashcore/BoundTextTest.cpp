// Edit text bound to script variables: the variable takes the initial text,
// the field follows the variable's value (through paths too), is laid out
// again only when the string it shows changes, and stays within its limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/FontWriter.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

const Bytes kShowFrame{0x40, 0x00};

// 'I' and '1' bars, 'O' and '2' squares with a hole, ' ' a gap (1024 EM).
swfw::FontDef testFont() {
    swfw::FontDef f;
    f.ascent = 800;
    f.descent = 200;
    auto bar = [](uint16_t code) {
        swfw::Glyph g;
        g.code = code;
        g.advance = 300;
        g.outline.rect(0, -800, 200, 0, 1);
        return g;
    };
    auto ring = [](uint16_t code) {
        swfw::Glyph g;
        g.code = code;
        g.advance = 700;
        g.outline.rect(0, -800, 600, 0, 1).rect(200, -600, 400, -200, 1);
        return g;
    };
    swfw::Glyph sp;
    sp.code = ' ';
    sp.advance = 300;
    f.glyphs = {bar('I'), ring('O'), sp, bar('1'), ring('2')};
    return f;
}

swfw::EditTextDef field(const std::string& text, const std::string& variable) {
    swfw::EditTextDef e;
    e.bounds = {0, 2000, 0, 2000};
    e.text = text;
    e.fontId = 5;
    e.height = 1024;
    e.color = {0, 128, 0, 255};
    e.variable = variable;
    return e;
}

swfw::Movie fontMovie(int version = 6) {
    swfw::Movie m = fctest::stage100();
    m.version = static_cast<uint8_t>(version);
    m.add(swfw::defineFont(5, testFont(), 2));
    return m;
}

Bytes place(uint16_t depth, uint16_t id, const std::string& name = "") {
    swfw::Place p = fctest::place(depth, id);
    p.name = name;
    return swfw::placeObject2(p);
}

// `name = value`.
ActionWriter assign(const std::string& name, const std::string& value) {
    ActionWriter a;
    a.push(name).push(value).setVariable();
    return a;
}
ActionWriter assign(const std::string& name, double value) {
    ActionWriter a;
    a.push(name).pushNumber(value).setVariable();
    return a;
}

// The picture of an unbound field holding `text` at depth 1 of the stage.
fctest::Image reference(const std::string& text) {
    swfw::Movie m = fontMovie();
    m.add(swfw::defineEditText(1, field(text, "")));
    m.add(place(1, 1));
    m.showFrame();
    Player p;
    EXPECT_TRUE(fctest::load(p, m.build()));
    return fctest::render(p, 100, 100);
}

bool hasInk(const fctest::Image& img) {
    for (uint32_t px : img.pixels)
        if (px != 0xFFFFFFFFu) return true;
    return false;
}

DisplayObject* at(Player& p, uint16_t depth) { return p.engine().root()->children.at(depth).get(); }

const Value& variable(Player& p, DisplayObject* clip, const std::string& name) {
    static const Value none;
    auto it = clip->variables.find(p.engine().nameKey(name));
    return it == clip->variables.end() ? none : it->second;
}

TEST(BoundText, PlacedFieldGivesAnUndefinedVariableItsInitialText) {
    swfw::Movie m = fontMovie();
    m.add(swfw::defineEditText(1, field("IO", "v")));
    m.add(place(1, 1));
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    const Value& v = variable(p, p.engine().root(), "v");
    EXPECT_EQ(v.type, Value::String);
    EXPECT_EQ(v.string, "IO");
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_TRUE(hasInk(img));
    EXPECT_EQ(img.pixels, reference("IO").pixels);
}

TEST(BoundText, DefinedVariableShowsInPlaceOfTheInitialText) {
    // Frame 1 sets v = 12; frame 2 places a field bound to v.
    swfw::Movie m = fontMovie();
    m.add(swfw::defineEditText(1, field("OI", "v")));
    m.add(swfw::doAction(assign("v", 12).bytes()));
    m.showFrame();
    m.add(place(1, 1));
    m.add(swfw::doAction(ActionWriter().stop().bytes()));
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    p.tick();
    const Value& v = variable(p, p.engine().root(), "v");
    EXPECT_EQ(v.type, Value::Number);  // the field does not overwrite it
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_EQ(img.pixels, reference("12").pixels);
    EXPECT_NE(img.pixels, reference("OI").pixels);
}

TEST(BoundText, PictureFollowsTheVariableFromFrameToFrame) {
    // Numbers show as scripts print them; the field has no initial text.
    swfw::Movie m = fontMovie();
    m.add(swfw::defineEditText(1, field("", "v")));
    m.add(place(1, 1));
    m.add(swfw::doAction(assign("v", 1).bytes()));
    m.showFrame();
    m.add(swfw::doAction(assign("v", 21).stop().bytes()));
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    fctest::Image first = fctest::render(p, 100, 100);
    p.tick();
    fctest::Image second = fctest::render(p, 100, 100);
    EXPECT_EQ(first.pixels, reference("1").pixels);
    EXPECT_EQ(second.pixels, reference("21").pixels);
    EXPECT_NE(first.pixels, second.pixels);
}

TEST(BoundText, UndefinedAndOtherValuesShowAsScriptsPrintThem) {
    struct Case {
        int version;
        ActionWriter script;
        std::string shown;
    };
    ActionWriter undef, boolean, fraction;
    undef.push("v").pushUndefined().setVariable();
    boolean.push("v").pushBool(true).setVariable();
    fraction.push("v").pushNumber(0.5).setVariable();
    const Case cases[] = {{6, undef, ""}, {7, undef, ""}, {6, boolean, "true"}, {6, fraction, "0.5"}};
    for (const Case& c : cases) {
        swfw::Movie m = fontMovie(c.version);
        m.add(swfw::defineEditText(1, field("IO", "v")));
        m.add(place(1, 1));
        m.add(swfw::doAction(c.script.bytes()));
        m.showFrame();
        Player p;
        ASSERT_TRUE(fctest::load(p, m.build()));
        EXPECT_EQ(at(p, 1)->shownText, c.shown) << "version " << c.version;
    }
}

TEST(BoundText, PathsResolveFromTheTimelineHoldingTheField) {
    struct Case {
        const char* variable;
        bool fieldInClip;
        const char* scriptSets;  // from the main timeline
    };
    const Case cases[] = {
        {"/clip:score", false, "clip.score"}, {"clip.score", false, "/clip:score"},
        {"_root.score", true, "score"},       {"_parent.score", true, "score"},
        {"score", true, "clip.score"},
    };
    const fctest::Image ref = reference("IO");
    for (const Case& c : cases) {
        swfw::Movie m = fontMovie();
        m.add(swfw::defineEditText(1, field("", c.variable)));
        Bytes sprite = c.fieldInClip ? place(1, 1) : Bytes();
        sprite.insert(sprite.end(), kShowFrame.begin(), kShowFrame.end());
        m.add(swfw::defineSprite(2, sprite));
        m.add(place(1, 2, "clip"));
        if (!c.fieldInClip) m.add(place(2, 1));
        m.add(swfw::doAction(assign(c.scriptSets, "IO").bytes()));
        m.showFrame();
        Player p;
        ASSERT_TRUE(fctest::load(p, m.build()));
        EXPECT_EQ(fctest::render(p, 100, 100).pixels, ref.pixels) << c.variable;
    }
}

TEST(BoundText, LaysOutAgainOnlyWhenTheShownStringChanges) {
    // Frame 1: v = "O"; frames 2 and 3 set it to the same string again;
    // frame 4 gives it back the initial text.
    swfw::Movie m = fontMovie();
    m.add(swfw::defineEditText(1, field("IO", "v")));
    m.add(swfw::defineEditText(3, field("IO", "")));
    m.add(place(1, 1));
    m.add(place(2, 3));
    m.add(swfw::doAction(assign("v", "O").bytes()));
    m.showFrame();
    m.add(swfw::doAction(assign("v", "O").bytes()));
    m.showFrame();
    m.add(swfw::doAction(assign("v", "O").bytes()));
    m.showFrame();
    m.add(swfw::doAction(assign("v", "IO").stop().bytes()));
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    DisplayObject* bound = at(p, 1);
    const ShapeData* laidOut = bound->textShape.get();
    ASSERT_NE(laidOut, nullptr);
    p.tick();
    p.tick();
    EXPECT_EQ(bound->textShape.get(), laidOut);
    EXPECT_EQ(bound->shownText, "O");
    p.tick();
    EXPECT_EQ(bound->textShape, nullptr);  // the character's own picture again
    // A field without a variable keeps its load-time picture throughout
    // (no script took it over as a TextField).
    EXPECT_EQ(at(p, 2)->field, nullptr);
    EXPECT_EQ(at(p, 2)->textShape, nullptr);
}

TEST(BoundText, HugeStringsAreCutToTheFieldLimits) {
    // v doubles 20 times from "I": a million characters, shown by two fields.
    ActionWriter a;
    a.push("v").push("I").setVariable();
    for (int i = 0; i < 20; ++i)
        a.push("v").push("v").getVariable().push("v").getVariable().add2().setVariable();
    swfw::Movie m = fontMovie();
    m.add(swfw::defineEditText(1, field("", "v")));
    m.add(place(1, 1));
    m.add(place(2, 1));
    m.add(swfw::doAction(a.bytes()));
    m.showFrame();
    Player p;
    p.engine().maxTextEdges = 100000;
    ASSERT_TRUE(fctest::load(p, m.build()));
    const size_t first = at(p, 1)->textEdges, second = at(p, 2)->textEdges;
    EXPECT_EQ(first, 4 * p.engine().maxFieldChars);  // one four-edge bar per character
    EXPECT_LE(first + second, p.engine().maxTextEdges);
    EXPECT_LE(at(p, 1)->shownText.size(), 4 * p.engine().maxFieldChars);
}

}  // namespace
