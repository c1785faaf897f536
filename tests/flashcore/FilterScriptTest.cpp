// The script side of Flash 8 effects: the flash.filters classes (defaults,
// clamping, clone, copies of arrays), a clip's `filters` property (reads
// give copies, assignments apply), `blendMode` and `cacheAsBitmap`. The
// movies check themselves by tracing; a filter assigned by script must draw
// exactly as the same filter placed by the timeline.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/FilterWriter.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

// A version 8 movie: a 40 px blue square in sprite "clip" at (30, 30),
// placed by PlaceObject3 with `placed` filters; `script` runs in frame 1.
struct EffectMovie {
    Player player;
    std::vector<std::string> traces;

    EffectMovie(const ActionWriter& script, const Bytes& placed = {}) {
        swfw::Movie m = fctest::stage100();
        m.version = 8;
        swfw::ShapeBuilder s(3);
        s.rect(0, 0, 800, 800, s.addFill(swfw::FillStyle::solid({30, 90, 220, 255})));
        m.add(s.defineShape(1));
        Bytes sprite = swfw::placeObject2(fctest::place(1, 1));
        sprite.insert(sprite.end(), {0x40, 0x00});
        m.add(swfw::defineSprite(2, sprite));
        swfw::Place p = fctest::place(1, 2, swfw::Matrix::translate(600, 600));
        p.name = "clip";
        p.filters = placed;
        m.add(swfw::placeObject3(p));
        m.add(swfw::doAction(script.bytes()));
        m.showFrame();
        player.engine().onTrace = [this](const std::string& t) { traces.push_back(t); };
        EXPECT_TRUE(fctest::load(player, m.build()));
    }
};

// Script pieces: `new flash.filters.Name(args...)` and friends.
using Piece = std::function<void(ActionWriter&)>;

Piece num(double v) {
    return [v](ActionWriter& a) { a.pushNumber(v); };
}
Piece str(const std::string& s) {
    return [s](ActionWriter& a) { a.push(s); };
}
Piece var(const std::string& name) {
    return [name](ActionWriter& a) { a.getVar(name); };
}
Piece member(Piece object, const std::string& name) {
    return [object, name](ActionWriter& a) {
        object(a);
        a.push(name).getMember();
    };
}
Piece at(Piece object, int index) {
    return [object, index](ActionWriter& a) {
        object(a);
        a.pushInt(index).getMember();
    };
}
Piece array(const std::vector<Piece>& items) {
    return [items](ActionWriter& a) {
        for (auto it = items.rbegin(); it != items.rend(); ++it) (*it)(a);
        a.pushInt(static_cast<int32_t>(items.size())).initArray();
    };
}
Piece call(Piece object, const std::string& method, const std::vector<Piece>& args = {}) {
    return [object, method, args](ActionWriter& a) {
        for (auto it = args.rbegin(); it != args.rend(); ++it) (*it)(a);
        a.pushInt(static_cast<int32_t>(args.size()));
        object(a);
        a.push(method).callMethod();
    };
}
Piece make(const std::string& cls, const std::vector<Piece>& args = {}) {
    return [cls, args](ActionWriter& a) {
        for (auto it = args.rbegin(); it != args.rend(); ++it) (*it)(a);
        a.pushInt(static_cast<int32_t>(args.size()))
            .getVar("flash")
            .push("filters")
            .getMember()
            .push(cls)
            .op(0x53);
    };
}
Piece isA(Piece object, const std::string& cls) {
    return [object, cls](ActionWriter& a) {
        object(a);
        a.getVar("flash").push("filters").getMember().push(cls).getMember().instanceOf();
    };
}

void let(ActionWriter& a, const std::string& name, Piece value) {
    a.push(name);
    value(a);
    a.setVariable();
}
void setMember(ActionWriter& a, Piece object, const std::string& name, Piece value) {
    object(a);
    a.push(name);
    value(a);
    a.setMember();
}
void trace(ActionWriter& a, Piece value) {
    value(a);
    a.trace();
}

}  // namespace

TEST(FilterScript, ClassesHaveDefaultsClampTheirValuesAndCloneDeeply) {
    ActionWriter a;
    let(a, "d",
        make("DropShadowFilter", {num(5), num(90), num(0xFF0000), num(2), num(300), num(8), num(2), num(3)}));
    for (const char* f : {"distance", "angle", "color", "alpha", "blurX", "blurY", "strength", "quality",
                          "inner", "knockout", "hideObject"})
        trace(a, member(var("d"), f));
    setMember(a, var("d"), "blurY", num(-3));
    setMember(a, var("d"), "quality", num(99.7));
    setMember(a, var("d"), "color", num(-1));
    trace(a, member(var("d"), "blurY"));
    trace(a, member(var("d"), "quality"));
    trace(a, member(var("d"), "color"));
    let(a, "c", call(var("d"), "clone"));
    setMember(a, var("c"), "distance", num(9));
    trace(a, member(var("d"), "distance"));
    trace(a, member(var("c"), "distance"));
    trace(a, isA(var("c"), "DropShadowFilter"));
    trace(a, isA(var("c"), "BitmapFilter"));
    // Defaults of the others.
    let(a, "g", make("GlowFilter"));
    for (const char* f : {"color", "alpha", "blurX", "strength", "quality"}) trace(a, member(var("g"), f));
    let(a, "b", make("BevelFilter"));
    trace(a, member(var("b"), "type"));
    setMember(a, var("b"), "type", str("sideways"));
    trace(a, member(var("b"), "type"));
    setMember(a, var("b"), "type", str("full"));
    trace(a, member(var("b"), "type"));
    trace(a, member(var("b"), "highlightColor"));
    // Arrays are copies both ways.
    let(a, "m", make("ColorMatrixFilter"));
    trace(a, call(member(var("m"), "matrix"), "join"));
    let(a, "arr", member(var("m"), "matrix"));
    setMember(a, var("arr"), "0", num(7));
    trace(a, at(member(var("m"), "matrix"), 0));
    let(a, "gg",
        make("GradientGlowFilter", {num(2), num(0), array({num(0xFF0000), num(0x00FF00)}),
                                    array({num(1), num(5)}), array({num(0), num(400)})}));
    trace(a, call(member(var("gg"), "alphas"), "join"));
    trace(a, call(member(var("gg"), "ratios"), "join"));
    let(a, "k", make("ConvolutionFilter", {num(3), num(3), array({num(0), num(1), num(0)}), num(4)}));
    trace(a, member(var("k"), "divisor"));
    trace(a, member(var("k"), "preserveAlpha"));
    trace(a, member(make("BlurFilter"), "blurX"));
    EffectMovie movie(a);
    const std::vector<std::string> want = {
        // DropShadowFilter(5, 90, 0xFF0000, 2, 300, 8, 2, 3): alpha and blur clamped.
        "5", "90", "16711680", "1", "255", "8", "2", "3", "false", "false", "false",
        // After blurY = -3, quality = 99.7, color = -1.
        "0", "15", "16777215",
        // A clone is a separate object of the same class.
        "5", "9", "true", "true",
        // GlowFilter defaults.
        "16711680", "1", "6", "2", "1",
        // BevelFilter type: unknown names are refused.
        "inner", "inner", "full", "16777215",
        // The identity colour matrix; changing a copy changes nothing.
        "1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0", "1",
        // Gradient lists clamped.
        "1,1", "0,255",
        // Convolution.
        "4", "true", "4"};
    EXPECT_EQ(movie.traces, want);
}

TEST(FilterScript, ClipFiltersReadAsCopiesAndAssignmentsApply) {
    ActionWriter a;
    // Placed by the timeline: one glow; the script sees it as a GlowFilter.
    trace(a, member(var("clip"), "filters.length"));
    let(a, "list", member(var("clip"), "filters"));
    trace(a, member(var("list"), "length"));
    trace(a, isA(at(var("list"), 0), "GlowFilter"));
    trace(a, member(at(var("list"), 0), "blurX"));
    // Changing what was read changes nothing until it is assigned back.
    setMember(a, at(var("list"), 0), "blurX", num(2));
    trace(a, member(at(member(var("clip"), "filters"), 0), "blurX"));
    // Non-filters in the array are left out.
    setMember(a, var("clip"), "filters",
              array({at(var("list"), 0), num(5), make("BlurFilter", {num(3), num(3)})}));
    trace(a, member(member(var("clip"), "filters"), "length"));
    trace(a, member(at(member(var("clip"), "filters"), 0), "blurX"));
    trace(a, isA(at(member(var("clip"), "filters"), 1), "BlurFilter"));
    setMember(a, var("clip"), "filters", array({}));
    trace(a, member(member(var("clip"), "filters"), "length"));
    // blendMode by name and by number; unknown names change nothing.
    trace(a, member(var("clip"), "blendMode"));
    setMember(a, var("clip"), "blendMode", str("multiply"));
    trace(a, member(var("clip"), "blendMode"));
    setMember(a, var("clip"), "blendMode", num(5));
    trace(a, member(var("clip"), "blendMode"));
    setMember(a, var("clip"), "blendMode", str("shiny"));
    trace(a, member(var("clip"), "blendMode"));
    trace(a, member(var("clip"), "cacheAsBitmap"));
    setMember(a, var("clip"), "cacheAsBitmap", num(1));
    trace(a, member(var("clip"), "cacheAsBitmap"));
    swfw::FilterParams glow;
    glow.id = 2;
    glow.color = {255, 200, 0, 255};
    glow.blurX = glow.blurY = 8;
    EffectMovie movie(a, swfw::filterList({glow}));
    const std::vector<std::string> want = {"undefined", "1",       "true",    "8",     "8",
                                           "2",         "2",       "true",    "0",     "normal",
                                           "multiply",  "lighten", "lighten", "false", "true"};
    EXPECT_EQ(movie.traces, want);
}

TEST(FilterScript, AssignedFiltersDrawLikeTimelineFilters) {
    // Each filter made by script must draw as the same filter in PlaceObject3.
    struct Case {
        Piece script;
        swfw::FilterParams placed;
    };
    auto placed = [](int id, std::function<void(swfw::FilterParams&)> set) {
        swfw::FilterParams f;
        f.id = id;
        set(f);
        return f;
    };
    std::vector<Case> cases = {
        {make("GlowFilter", {num(0xFFC800), num(1), num(8), num(8), num(2), num(2)}),
         placed(2,
                [](swfw::FilterParams& f) {
                    f.color = {255, 200, 0, 255};
                    f.blurX = f.blurY = 8;
                    f.strength = 2;
                    f.passes = 2;
                })},
        {make("DropShadowFilter", {num(6), num(90), num(0), num(0.5), num(4), num(4), num(1), num(1)}),
         placed(0,
                [](swfw::FilterParams& f) {
                    f.color = {0, 0, 0, 128};
                    f.distance = 6;
                    f.angle = 3.14159265358979 / 2;
                })},
        {make("BlurFilter", {num(10), num(2), num(3)}), placed(1,
                                                               [](swfw::FilterParams& f) {
                                                                   f.blurX = 10;
                                                                   f.blurY = 2;
                                                                   f.passes = 3;
                                                               })},
        {make("BevelFilter", {num(3), num(45), num(0xFFFFFF), num(1), num(0x000080), num(1), num(5), num(5)}),
         placed(3,
                [](swfw::FilterParams& f) {
                    f.color = {0, 0, 128, 255};
                    f.highlight = {255, 255, 255, 255};
                    f.distance = 3;
                    f.blurX = f.blurY = 5;
                    f.inner = true;
                })},
        {make("ColorMatrixFilter",
              {array({num(0), num(0), num(1), num(0), num(0),  num(0), num(1), num(0), num(0), num(0),
                      num(1), num(0), num(0), num(0), num(40), num(0), num(0), num(0), num(1), num(0)})}),
         placed(6,
                [](swfw::FilterParams& f) {
                    f.matrix = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 40, 0, 0, 0, 1, 0};
                })},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        ActionWriter a;
        setMember(a, var("clip"), "filters", array({cases[i].script}));
        EffectMovie scripted(a);
        EffectMovie placed(ActionWriter(), swfw::filterList({cases[i].placed}));
        fctest::Image want = fctest::render(placed.player, 100, 100);
        fctest::Image got = fctest::render(scripted.player, 100, 100);
        EXPECT_GE(fctest::psnr(got, want), 50.0);
        // And the filter did something.
        EffectMovie none{ActionWriter()};
        EXPECT_LT(fctest::psnr(fctest::render(none.player, 100, 100), want), 40.0);
    }
}
