// Text fields as scripts and the keyboard use them: fields made by
// createTextField, text and HTML with formats, TextFormat, variables,
// scrolling, autoSize, input with focus and keys, Selection, the picture
// of borders, backgrounds, embedded glyphs and the caret, and edit text of
// the timeline taken over by scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "flash/core/TextField.h"
#include "flash/core/avm1/Avm1.h"
#include "tests/flashcore/ScriptNotation.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/FontWriter.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

using fctest::Lines;
using fctest::Script;

// 'I' a bar, 'O' a ring (1024 EM), named "Test".
swfw::FontDef testFont() {
    swfw::FontDef f;
    f.ascent = 800;
    f.descent = 200;
    swfw::Glyph bar;
    bar.code = 'I';
    bar.advance = 300;
    bar.outline.rect(0, -800, 200, 0, 1);
    swfw::Glyph ring;
    ring.code = 'O';
    ring.advance = 700;
    ring.outline.rect(0, -800, 600, 0, 1).rect(200, -600, 400, -200, 1);
    f.glyphs = {bar, ring};
    return f;
}

struct FieldMovie {
    Player player;
    Lines traces;

    explicit FieldMovie(const Script& s, const Bytes& extraTags = {}) {
        swfw::Movie m = fctest::stage100();
        m.version = 6;
        m.add(swfw::defineFont(5, testFont(), 2));
        m.add(extraTags);
        m.add(swfw::doAction(s.a.bytes()));
        m.showFrame();
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        EXPECT_TRUE(fctest::load(player, m.build()));
    }
    DisplayObject* named(const std::string& name) {
        for (auto& kv : player.engine().root()->children)
            if (kv.second->name == name) return kv.second.get();
        return nullptr;
    }
    TextFieldState* field(const std::string& name) { return player.engine().textField(named(name)); }
    // Keys as the control sends them: code and character down, then up.
    void type(const std::string& chars) {
        for (char ch : chars) {
            int code = ch >= 'a' && ch <= 'z' ? ch - 32 : ch;
            player.engine().keyDown(code, ch);
            player.engine().keyUp(code);
        }
    }
    void key(int code) {
        player.engine().keyDown(code, 0);
        player.engine().keyUp(code);
    }
};

TEST(TextFieldScript, FieldsHoldTextAndHtmlAndTellTheirFormats) {
    Script s;
    s.field("tf", 1, 10, 10, 80, 30);
    s.a.getVar("tf").typeOf().trace();
    s.set("tf", "text", "'hello").trace("tf", "text").trace("tf", "length");
    s.set("tf", "html", "true");
    s.set("tf", "htmlText", "'<p>a<b>bc</b><font color='#ff0000' size='20'>d</font>&amp;</p>");
    s.trace("tf", "text").trace("tf", "length");
    s.callValue("tf", "getTextFormat", {"1", "3"}).a.push("bold").getMember().trace();
    s.callValue("tf", "getTextFormat", {"0", "4"}).a.push("bold").getMember().trace();
    s.callValue("tf", "getTextFormat", {"3"}).a.push("color").getMember().trace();
    s.callValue("tf", "getTextFormat", {"3"}).a.push("size").getMember().trace();
    s.make("fmt", "TextFormat").set("fmt", "italic", "true");
    s.call("tf", "setTextFormat", {"0", "2", "fmt"});
    s.callValue("tf", "getTextFormat", {"0", "2"}).a.push("italic").getMember().trace();
    s.callValue("tf", "getTextFormat", {"2", "4"}).a.push("italic").getMember().trace();
    s.set("tf", "textColor", "65280");
    s.callValue("tf", "getTextFormat", {"3"}).a.push("color").getMember().trace();
    // The HTML a field gives back makes the same field again.
    s.field("copy", 2, 0, 0, 10, 10).set("copy", "html", "true");
    s.a.getVar("copy").push("htmlText").getVar("tf").push("htmlText").getMember().setMember();
    s.a.getVar("copy")
        .push("htmlText")
        .getMember()
        .getVar("tf")
        .push("htmlText")
        .getMember()
        .equals2()
        .trace();
    s.field("plain", 3, 0, 0, 10, 10).set("plain", "html", "true").set("plain", "htmlText", "'x<br>y");
    s.trace("plain", "htmlText");
    FieldMovie m(s);
    EXPECT_EQ(m.traces, (Lines{"object", "hello", "5", "abcd&", "5", "true", "null", "16711680", "20", "true",
                               "false", "65280", "true",
                               "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" "
                               "COLOR=\"#000000\">x</FONT></P><P ALIGN=\"LEFT\"><FONT FACE=\"Times New "
                               "Roman\" SIZE=\"12\" COLOR=\"#000000\">y</FONT></P>"}));
}

TEST(TextFieldScript, TextFormatMembersAreNullUntilSet) {
    Script s;
    s.make("f", "TextFormat", {"'Arial", "14", "255"});
    s.trace("f", "font").trace("f", "size").trace("f", "color").trace("f", "bold").trace("f", "align");
    s.field("tf", 1, 0, 0, 50, 20);
    s.call("tf", "setNewTextFormat", {"f"}).set("tf", "text", "'ab");
    s.callValue("tf", "getTextFormat", {}).a.push("font").getMember().trace();
    s.callValue("tf", "getNewTextFormat", {}).a.push("size").getMember().trace();
    FieldMovie m(s);
    EXPECT_EQ(m.traces, (Lines{"Arial", "14", "255", "null", "null", "Arial", "14"}));
}

TEST(TextFieldScript, VariableFeedsTheFieldAndInputWritesIt) {
    Script s;
    s.setVar("v", "'hi");
    s.field("tf", 1, 0, 0, 80, 20).set("tf", "type", "'input").set("tf", "variable", "'v");
    s.call("Selection", "setFocus", {"tf"});
    s.field("late", 2, 0, 30, 80, 20).set("late", "variable", "'w");  // w undefined: takes the field's ""
    FieldMovie m(s);
    EXPECT_EQ(m.field("tf")->text(true), "hi");
    m.type("!");
    EXPECT_EQ(m.field("tf")->text(true), "hi!");
    Value v = m.player.engine().vm().readVariable(m.player.engine().root(), "v");
    EXPECT_EQ(v.string, "hi!");
    m.player.engine().vm().writeVariable(m.player.engine().root(), "v", Value::fromNumber(42));
    m.player.tick();
    EXPECT_EQ(m.field("tf")->text(true), "42");
    EXPECT_EQ(m.player.engine().vm().readVariable(m.player.engine().root(), "w").type, Value::String);
}

struct TypingCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> options;  // member, value
    std::vector<int> keys;  // > 0 a character typed, < 0 a key code without a character
    const char* text;
    size_t caret;
};

TEST(TextFieldInput, KeysEditTheFocusedField) {
    const std::vector<TypingCase> cases = {
        {"typing", {}, {'a', 'b', 'c'}, "abc", 3},
        {"backspace", {}, {'a', 'b', 'c', -8}, "ab", 2},
        {"arrows and delete", {}, {'a', 'b', 'c', -37, -37, -46}, "ac", 1},
        {"home and end", {}, {'a', 'b', -36, 'x', -35, 'y'}, "xaby", 4},
        {"backspace at the start", {}, {'a', -36, -8, -37}, "a", 0},
        {"delete at the end", {}, {'a', -46, -39}, "a", 1},
        {"maxChars", {{"maxChars", "3"}}, {'a', 'b', 'c', 'd'}, "abc", 3},
        {"restrict to digits", {{"restrict", "'0-9"}}, {'a', '1', 'b', '2'}, "12", 2},
        {"restrict excluding", {{"restrict", "'^a-c"}}, {'a', 'b', 'd', 'c', 'e'}, "de", 2},
        {"enter on one line", {}, {'a', -13, 'b'}, "ab", 2},
        {"enter on many lines", {{"multiline", "true"}}, {'a', -13, 'b', -38, 'c'}, "ac\rb", 2},
        {"dynamic fields take no keys", {{"type", "'dynamic"}}, {'a'}, "", 0},
    };
    for (const TypingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Script s;
        s.field("tf", 1, 0, 0, 80, 40).set("tf", "type", "'input");
        for (const auto& o : c.options) s.set("tf", o.first, o.second);
        s.call("Selection", "setFocus", {"tf"});
        FieldMovie m(s);
        for (int k : c.keys) {
            if (k > 0)
                m.type(std::string(1, static_cast<char>(k)));
            else
                m.key(-k);
        }
        EXPECT_EQ(m.field("tf")->text(true), c.text);
        EXPECT_EQ(m.field("tf")->caret, c.caret);
    }
}

TEST(TextFieldInput, TypingOverASelectionReplacesItAndTellsOnChanged) {
    Script s;
    s.field("tf", 1, 0, 0, 80, 20).set("tf", "type", "'input").set("tf", "text", "'abcd");
    ActionWriter changed;
    changed.getVar("tf").push("text").getMember().push("|").add2();
    changed.pushInt(0).getVar("Selection").push("getCaretIndex").callMethod().add2().trace();
    s.a.getVar("tf").push("onChanged").defineFunction("", {}, changed).setMember();
    s.call("Selection", "setFocus", {"tf"});
    s.traceCall("Selection", "getFocus");
    s.call("Selection", "setSelection", {"1", "3"});
    s.traceCall("Selection", "getBeginIndex").traceCall("Selection", "getEndIndex");
    FieldMovie m(s);
    m.type("x");
    m.key(37);  // moves the caret, changes no text
    m.player.engine().setFocus(nullptr);
    EXPECT_EQ(m.traces, (Lines{"_level0.tf", "1", "3", "axd|2"}));
    EXPECT_EQ(m.player.engine().focus(), nullptr);
    EXPECT_FALSE(m.field("tf")->focused);
}

TEST(TextFieldInput, AClickFocusesAnInputFieldAndPlacesTheCaret) {
    Script s;
    s.field("tf", 1, 10, 10, 80, 20).set("tf", "type", "'input").set("tf", "text", "'abcdef");
    FieldMovie m(s);
    Engine& e = m.player.engine();
    e.mouseMove(5 * 20, 5 * 20);  // outside
    e.mouseDown();
    e.mouseUp();
    EXPECT_EQ(e.focus(), nullptr);
    // Device text: 6.6 px a character from x = 12; 26 px is inside the third.
    e.mouseMove(26 * 20, 20 * 20);
    e.mouseDown();
    e.mouseUp();
    EXPECT_EQ(e.focus(), m.named("tf"));
    EXPECT_EQ(m.field("tf")->caret, 2u);
    m.type("X");
    EXPECT_EQ(m.field("tf")->text(true), "abXcdef");
    e.mouseMove(5 * 20, 5 * 20);
    e.mouseDown();
    EXPECT_EQ(e.focus(), nullptr);
}

TEST(TextFieldScript, ScrollStaysWithinTheLinesThatDoNotFit) {
    Script s;
    s.field("tf", 1, 0, 0, 80, 40).set("tf", "multiline", "true");
    s.set("tf", "text", "'1\r2\r3\r4\r5\r6\r7\r8\r9\r10");
    s.trace("tf", "maxscroll").trace("tf", "scroll").trace("tf", "bottomScroll");
    s.set("tf", "scroll", "5").trace("tf", "scroll").trace("tf", "bottomScroll");
    s.set("tf", "scroll", "100").trace("tf", "scroll");
    s.set("tf", "scroll", "-3").trace("tf", "scroll");
    s.set("tf", "text", "'short").trace("tf", "maxscroll").trace("tf", "scroll");
    FieldMovie m(s);
    // 12 px device text: lines 13.8 px apart, two fit in 36 px.
    EXPECT_EQ(m.traces, (Lines{"9", "1", "2", "5", "6", "9", "1", "1", "1"}));
}

TEST(TextFieldScript, AutoSizeFitsTheFieldToItsText) {
    Script s;
    s.field("tf", 1, 50, 0, 10, 10).set("tf", "autoSize", "'left").set("tf", "text", "'abc");
    s.a.getVar("tf").push("_width").getMember().getVar("tf").push("textWidth").getMember().op(0x0B);
    s.a.trace();
    s.trace("tf", "_x");
    s.field("r", 2, 50, 0, 10, 10).set("r", "autoSize", "'right").set("r", "text", "'abcdef");
    s.a.getVar("r").push("_width").getMember().pushNumber(10).op(0x0B).pushNumber(0).op(0x67).trace();
    s.field("n", 3, 0, 0, 10, 10).set("n", "text", "'abcdef").trace("n", "_width");
    FieldMovie m(s);
    ASSERT_EQ(m.traces.size(), 4u);
    EXPECT_EQ(m.traces[0], "4");   // the gutters
    EXPECT_EQ(m.traces[1], "50");  // grows to the right
    EXPECT_EQ(m.traces[2], "true");
    EXPECT_EQ(m.traces[3], "10");  // without autoSize the field keeps its size
    // Grown to the left: the right edge stays.
    Rect b = m.field("r")->bounds;
    EXPECT_EQ(b.xMax, 200);
    EXPECT_LT(b.xMin, 0);
}

// ---- Pictures ----

TEST(TextFieldPicture, BorderBackgroundAndEmbeddedGlyphsInTheirColours) {
    Script s;
    s.field("tf", 1, 10, 10, 80, 50);
    s.set("tf", "background", "true").set("tf", "backgroundColor", "255");
    s.set("tf", "border", "true").set("tf", "borderColor", "16711680");
    s.set("tf", "embedFonts", "true");
    s.make("f", "TextFormat", {"'Test", "40", "65280"});
    s.call("tf", "setNewTextFormat", {"f"}).set("tf", "text", "'IO");
    FieldMovie m(s);
    fctest::Image img = fctest::render(m.player, 100, 100);
    // The bar of 'I' from x 12 to 19.8, 31 px tall above the baseline at 43.
    EXPECT_EQ(img.green(15, 30), 255);
    EXPECT_EQ(img.red(15, 30), 0);
    EXPECT_EQ(img.blue(70, 30), 255);  // background
    EXPECT_EQ(img.red(10, 30), 255);   // border
    EXPECT_EQ(img.blue(5, 30), 255);   // outside: the stage
    EXPECT_EQ(img.green(5, 30), 255);
    EXPECT_EQ(img.blue(35, 30), 255);   // the ring's hole shows the background
    EXPECT_EQ(img.green(27, 30), 255);  // the ring
    // Colouring a range repaints only it.
    Script s2 = s;
    s2.make("g", "TextFormat", {"null", "null", "16711680"}).call("tf", "setTextFormat", {"1", "2", "g"});
    FieldMovie m2(s2);
    fctest::Image img2 = fctest::render(m2.player, 100, 100);
    EXPECT_EQ(img2.green(15, 30), 255);
    EXPECT_EQ(img2.red(27, 30), 255);
    EXPECT_EQ(img2.green(27, 30), 0);
}

TEST(TextFieldPicture, TheFocusedInputFieldShowsItsCaret) {
    Script s;
    s.field("tf", 1, 10, 10, 80, 20).set("tf", "type", "'input");
    FieldMovie m(s);
    fctest::Image before = fctest::render(m.player, 100, 100);
    EXPECT_EQ(before.red(12, 15), 255);
    m.player.engine().setFocus(m.named("tf"));
    m.player.tick();
    fctest::Image focused = fctest::render(m.player, 100, 100);
    EXPECT_EQ(focused.red(12, 15), 0);  // the caret, one pixel wide after the gutter
    EXPECT_EQ(focused.red(14, 15), 255);
    m.type("abc");
    fctest::Image typed = fctest::render(m.player, 100, 100);
    EXPECT_EQ(typed.red(12, 15), 255);  // moved on after three characters
}

TEST(TextFieldPicture, TimelineEditTextTakesTextFromScripts) {
    swfw::EditTextDef e;
    e.bounds = {0, 2000, 0, 2000};
    e.text = "I";
    e.fontId = 5;
    e.height = 1024;
    e.color = {0, 128, 0, 255};
    Bytes tags = swfw::defineEditText(1, e);
    swfw::Place p = fctest::place(1, 1);
    p.name = "et";
    Bytes placed = swfw::placeObject2(p);
    tags.insert(tags.end(), placed.begin(), placed.end());
    Script s;
    s.trace("et", "text").set("et", "text", "'O").trace("et", "text");
    FieldMovie m(s, tags);
    EXPECT_EQ(m.traces, (Lines{"I", "O"}));
    // The same picture as a field whose text was "O" from the start.
    swfw::Movie ref = fctest::stage100();
    ref.add(swfw::defineFont(5, testFont(), 2));
    e.text = "O";
    ref.add(swfw::defineEditText(1, e));
    ref.add(placed);
    ref.showFrame();
    Player rp;
    ASSERT_TRUE(fctest::load(rp, ref.build()));
    EXPECT_GT(fctest::psnr(fctest::render(m.player, 100, 100), fctest::render(rp, 100, 100)), 40);
}

}  // namespace
