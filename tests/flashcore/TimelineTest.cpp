// Timelines and scripts: playing, looping, stopping, seeking, sprites,
// labels, FSCommand, variables and the script budget.
#include <gtest/gtest.h>

#include <chrono>
#include <map>

#include "tests/flashcore/TestSupport.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

// A 10 x 10 px red square as character `id`.
Bytes square(uint16_t id, swfw::Rgba color = {255, 0, 0, 255}) {
    swfw::ShapeBuilder s(3);
    s.rect(0, 0, 200, 200, s.addFill(swfw::FillStyle::solid(color)));
    return s.defineShape(id);
}

Bytes moveTo(uint16_t depth, int32_t x, int32_t y) {
    swfw::Place p;
    p.depth = depth;
    p.move = true;
    p.hasMatrix = true;
    p.matrix = swfw::Matrix::translate(x, y);
    return swfw::placeObject2(p);
}

// A square moving right one pixel a frame for `frames` frames; a stop()
// script in frame `stopAt` (1-based) when given.
Bytes movingSquare(int frames, int stopAt = -1) {
    swfw::Movie m = fctest::stage100();
    m.add(square(1));
    m.add(swfw::placeObject2(fctest::place(1, 1)));
    for (int f = 1; f <= frames; ++f) {
        if (f > 1) m.add(moveTo(1, (f - 1) * 20 % 1800, 0));
        if (f == stopAt) m.add(swfw::doAction(ActionWriter().stop().bytes()));
        m.showFrame();
    }
    return m.build();
}

DisplayObject* child(Player& p, uint16_t depth) {
    auto& kids = p.engine().root()->children;
    auto it = kids.find(depth);
    return it == kids.end() ? nullptr : it->second.get();
}

// A movie whose frame 1 runs `script` (version 6 unless given).
Bytes scriptMovie(const ActionWriter& script, int version = 6) {
    swfw::Movie m = fctest::stage100();
    m.version = static_cast<uint8_t>(version);
    m.add(swfw::doAction(script.bytes()));
    m.showFrame();
    m.showFrame();
    return m.build();
}

std::string rootVar(Player& p, const std::string& name) {
    auto& vars = p.engine().root()->variables;
    auto it = vars.find(name);
    return it == vars.end() ? "<unset>" : toString(it->second, 6);
}

}  // namespace

TEST(Timeline, MovieStopsItselfAtFrame40Of200) {
    Player p;
    ASSERT_TRUE(fctest::load(p, movingSquare(200, 40)));
    EXPECT_EQ(p.totalFrames(), 200);
    EXPECT_EQ(p.currentFrame(), 0);
    EXPECT_TRUE(p.isPlaying());
    for (int i = 0; i < 150; ++i) p.tick();
    EXPECT_EQ(p.currentFrame(), 39);
    EXPECT_FALSE(p.isPlaying());
    p.play();  // the host resumes a movie that stopped itself
    p.tick();
    EXPECT_EQ(p.currentFrame(), 40);
}

TEST(Timeline, LoopsToFrameOneUnlessLoopingIsOff) {
    for (bool loop : {true, false}) {
        Player p;
        p.setLoop(loop);
        ASSERT_TRUE(fctest::load(p, movingSquare(5)));
        for (int i = 0; i < 5; ++i) p.tick();
        EXPECT_EQ(p.currentFrame(), loop ? 0 : 4) << loop;
        EXPECT_EQ(p.isPlaying(), loop);
        EXPECT_EQ(child(p, 1)->matrix.tx, loop ? 0 : 80);
    }
}

TEST(Timeline, HostControlsPlayStopAndGoto) {
    Player p;
    ASSERT_TRUE(fctest::load(p, movingSquare(20), false));
    EXPECT_FALSE(p.isPlaying());
    p.tick();
    EXPECT_EQ(p.currentFrame(), 0);
    p.play();
    p.tick();
    p.tick();
    EXPECT_EQ(p.currentFrame(), 2);
    p.stop();
    p.tick();
    EXPECT_EQ(p.currentFrame(), 2);
    p.gotoFrame(500);  // clamped to the last frame
    EXPECT_EQ(p.currentFrame(), 19);
    p.gotoFrame(-3);
    EXPECT_EQ(p.currentFrame(), 0);
    EXPECT_FALSE(p.isPlaying());
}

TEST(Timeline, GotoBackwardsGivesTheSamePictureAsPlayingForward) {
    // Places, moves, replaces and removes in a pattern over 300 frames, with
    // snapshots along the way.
    swfw::Movie m = fctest::stage100();
    m.add(square(1, {255, 0, 0, 255}));
    m.add(square(2, {0, 0, 255, 128}));
    for (int f = 1; f <= 300; ++f) {
        int d = 1 + f % 7;
        if (f % 11 == 0) {
            m.add(swfw::removeObject2(static_cast<uint16_t>(d)));
        } else if (f % 5 == 0) {
            swfw::Place p = fctest::place(static_cast<uint16_t>(d), 2,
                                          swfw::Matrix::translate(f * 7 % 1800, f * 13 % 1800));
            p.move = true;  // replace or place
            m.add(swfw::placeObject2(p));
        } else if (f % 3 == 0) {
            m.add(moveTo(static_cast<uint16_t>(d), f * 17 % 1800, f * 3 % 1800));
        } else {
            m.add(swfw::placeObject2(fctest::place(static_cast<uint16_t>(d), 1,
                                                   swfw::Matrix::translate(f * 5 % 1800, f * 9 % 1800))));
        }
        m.showFrame();
    }
    Bytes movie = m.build();
    Player forward;
    ASSERT_TRUE(fctest::load(forward, movie));
    forward.setLoop(false);
    std::vector<fctest::Image> frames;
    for (int f = 0; f < 300; ++f) {
        ASSERT_EQ(forward.currentFrame(), f);
        frames.push_back(fctest::render(forward, 50, 50));
        forward.tick();
    }
    Player seek;
    ASSERT_TRUE(fctest::load(seek, movie, false));
    seek.gotoFrame(299);
    for (int target : {298, 250, 31, 32, 33, 0, 299, 64, 63, 150, 5, 200, 1}) {
        seek.gotoFrame(target);
        ASSERT_EQ(seek.currentFrame(), target);
        fctest::Image img = fctest::render(seek, 50, 50);
        EXPECT_EQ(img.pixels, frames[target].pixels) << "frame " << target;
    }
}

TEST(Timeline, GotoKeepsInstancesPlacedByTheSameTag) {
    swfw::Movie m = fctest::stage100();
    m.add(square(1));
    Bytes spriteTags;
    for (int i = 0; i < 10; ++i) spriteTags.insert(spriteTags.end(), {0x40, 0x00});  // ten frames
    m.add(swfw::defineSprite(2, spriteTags));
    m.add(swfw::placeObject2(fctest::place(1, 2)));
    for (int i = 0; i < 10; ++i) m.showFrame();
    m.add(swfw::removeObject2(1));
    m.add(swfw::placeObject2(fctest::place(1, 2)));  // a new placement from frame 11 on
    for (int i = 0; i < 5; ++i) m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    for (int i = 0; i < 6; ++i) p.tick();
    DisplayObject* sprite = child(p, 1);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->currentFrame, 6);
    p.gotoFrame(2);
    EXPECT_EQ(child(p, 1), sprite);  // kept, with its own playhead
    EXPECT_EQ(sprite->currentFrame, 6);
    p.gotoFrame(12);
    ASSERT_NE(child(p, 1), nullptr);
    EXPECT_EQ(child(p, 1)->currentFrame, 0);  // the other placement: a fresh instance
}

TEST(Timeline, SpritesRunTheirOwnTimelines) {
    swfw::Movie m = fctest::stage100();
    m.add(square(1));
    Bytes spriteTags = swfw::placeObject2(fctest::place(1, 1));
    for (int i = 0; i < 4; ++i) {
        Bytes mv = moveTo(1, i * 100, 0);
        spriteTags.insert(spriteTags.end(), mv.begin(), mv.end());
        spriteTags.insert(spriteTags.end(), {0x40, 0x00});
    }
    m.add(swfw::defineSprite(2, spriteTags));
    m.add(swfw::placeObject2(fctest::place(1, 2)));
    m.add(swfw::doAction(ActionWriter().stop().bytes()));  // the main timeline rests
    m.showFrame();
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    DisplayObject* sprite = child(p, 1);
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->currentFrame, 0);
    p.tick();
    p.tick();
    EXPECT_EQ(p.currentFrame(), 0);
    EXPECT_EQ(sprite->currentFrame, 2);
    EXPECT_EQ(sprite->children.at(1)->matrix.tx, 200);
    p.tick();
    p.tick();
    EXPECT_EQ(sprite->currentFrame, 0);  // sprites loop on their own
}

TEST(Scripts, TargetsControlSpritesByPath) {
    swfw::Movie m = fctest::stage100();
    m.add(square(1));
    Bytes labelled;  // five frames, the third labelled
    labelled.insert(labelled.end(), {0x40, 0x00, 0x40, 0x00});
    Bytes lab = swfw::frameLabel("Third");
    labelled.insert(labelled.end(), lab.begin(), lab.end());
    labelled.insert(labelled.end(), {0x40, 0x00, 0x40, 0x00});
    m.add(swfw::defineSprite(2, labelled));
    swfw::Place a = fctest::place(1, 2);
    a.name = "a";
    m.add(swfw::placeObject2(a));
    swfw::Place b = fctest::place(2, 2);
    b.name = "b";
    m.add(swfw::placeObject2(b));
    ActionWriter s;
    s.setTarget("a").stop().setTarget("");
    s.push("/b").setTarget2().gotoLabel("THIRD").setTarget("");
    s.push("b:2").gotoFrame2(true);  // frame 2 (1-based) of b, and play
    s.push("/a").setTarget2().gotoFrame(3).play().setTarget("_root").stop();
    m.add(swfw::doAction(s.bytes()));
    m.showFrame();
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    DisplayObject* sa = child(p, 1);
    DisplayObject* sb = child(p, 2);
    EXPECT_EQ(sa->currentFrame, 3);
    EXPECT_TRUE(sa->playing);
    EXPECT_EQ(sb->currentFrame, 1);
    EXPECT_TRUE(sb->playing);
    EXPECT_FALSE(p.isPlaying());
    EXPECT_EQ(p.frameForLabel("nothing"), -1);
    EXPECT_EQ(sb->timeline->findLabel("third"), 2);
}

TEST(Scripts, LabelsOfTheMainTimelineIgnoreCase) {
    swfw::Movie m = fctest::stage100();
    m.showFrame();
    m.showFrame();
    m.add(swfw::frameLabel("Intro"));
    m.add(swfw::doAction(ActionWriter().stop().bytes()));
    m.showFrame();
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build(), false));
    EXPECT_EQ(p.frameForLabel("INTRO"), 2);
    Player q;
    swfw::Movie jump = fctest::stage100();
    jump.add(swfw::doAction(ActionWriter().push("intro").gotoFrame2(false).bytes()));
    jump.showFrame();
    jump.add(swfw::frameLabel("Intro"));
    jump.showFrame();
    ASSERT_TRUE(fctest::load(q, jump.build()));
    EXPECT_EQ(q.currentFrame(), 1);
    EXPECT_FALSE(q.isPlaying());
}

TEST(Scripts, FSCommandArrivesWithCommandAndArgument) {
    ActionWriter s;
    s.getUrl("FSCommand:quit", "now");
    s.push("fscommand:fullscreen").push("true").getUrl2();
    s.push("FSCommand:").push("x").op(0x21).push("a").push("b").op(0x21).getUrl2();  // computed
    s.getUrl("http://example.org/", "_blank");
    std::vector<std::pair<std::string, std::string>> commands, urls;
    Player p;
    p.setFSCommandHandler([&](const std::string& c, const std::string& a) { commands.emplace_back(c, a); });
    p.setGetURLHandler([&](const std::string& u, const std::string& t) { urls.emplace_back(u, t); });
    ASSERT_TRUE(fctest::load(p, scriptMovie(s)));
    std::vector<std::pair<std::string, std::string>> want = {
        {"quit", "now"}, {"fullscreen", "true"}, {"x", "ab"}};
    EXPECT_EQ(commands, want);
    ASSERT_EQ(urls.size(), 1u);
    EXPECT_EQ(urls[0].first, "http://example.org/");
}

TEST(Scripts, EndlessLoopReturnsWithinItsBudget) {
    ActionWriter s;
    s.label("top").push("n").push("n").getVariable().op(0x50).setVariable().jump("top");
    Player p;
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(fctest::load(p, scriptMovie(s)));
    p.tick();
    p.tick();  // the loop runs again on the loop back to frame 1
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_TRUE(p.engine().lastScriptHitBudget);
    EXPECT_EQ(p.currentFrame(), 0);
    EXPECT_NE(rootVar(p, "n"), "<unset>");
}

TEST(Scripts, GotoPingPongBetweenFramesIsBounded) {
    swfw::Movie m = fctest::stage100();
    m.add(swfw::doAction(ActionWriter().gotoFrame(1).play().bytes()));
    m.showFrame();
    m.add(swfw::doAction(ActionWriter().gotoFrame(0).play().bytes()));
    m.showFrame();
    Player p;
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(fctest::load(p, m.build()));
    p.tick();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
}

TEST(Scripts, ComputeWithVariablesNumbersAndStrings) {
    struct Case {
        const char* name;
        ActionWriter program;  // leaves the result on the stack
        std::string want;
    };
    auto prog = [] { return ActionWriter().push("r"); };
    std::vector<Case> cases = {
        {"subtract", prog().pushInt(7).pushInt(5).op(0x0B), "2"},
        {"divide", prog().pushNumber(7).pushInt(2).op(0x0D), "3.5"},
        {"divide by zero", prog().pushInt(1).pushInt(0).op(0x0D), "Infinity"},
        {"modulo", prog().pushInt(17).pushInt(5).op(0x3F), "2"},
        {"add2 concatenates strings", prog().push("a").pushInt(1).op(0x47), "a1"},
        {"add2 adds numbers", prog().pushFloat(1.5f).pushInt(2).op(0x47), "3.5"},
        {"string add", prog().push("ab").push("cd").op(0x21), "abcd"},
        {"string extract", prog().push("hello").pushInt(2).pushInt(3).op(0x15), "ell"},
        {"string length", prog().push("hello").op(0x14), "5"},
        {"multibyte length", prog().push("\xe4\xb8\xad\xe6\x96\x87!").op(0x31), "3"},
        {"multibyte extract", prog().push("\xe4\xb8\xad\xe6\x96\x87!").pushInt(2).pushInt(1).op(0x35),
         "\xe6\x96\x87"},
        {"less", prog().pushInt(2).pushInt(3).op(0x0F), "true"},
        {"equals2", prog().push("5").pushInt(5).op(0x49), "true"},
        {"string equals", prog().push("a").push("b").op(0x13), "false"},
        {"and or not", prog().pushBool(true).pushBool(false).op(0x10).op(0x12).pushInt(0).op(0x11), "true"},
        {"to integer", prog().pushNumber(-3.7).op(0x18), "-3"},
        {"bit operations", prog().pushInt(12).pushInt(10).op(0x60).pushInt(2).op(0x63), "32"},
        {"unsigned shift", prog().pushInt(-1).pushInt(28).op(0x65), "15"},
        {"char codes", prog().push("A").op(0x32).pushInt(1).op(0x47).op(0x33), "B"},
        {"constant pool and register",
         ActionWriter()
             .constantPool({"r", "x"})
             .pushConstant(0)
             .pushInt(41)
             .op(0x50)
             .storeRegister(1)
             .op(0x17)
             .pushRegister(1),
         "42"},
        {"variables",
         ActionWriter().push("v").pushInt(6).setVariable().push("r").push("v").getVariable().pushInt(7).op(
             0x0C),
         "42"},
        {"typeof", prog().push("s").op(0x44), "string"},
        {"unknown actions are skipped", prog().op(0x70).record(0xE0, {1, 2, 3}).pushInt(9), "9"},
    };
    // A loop: r = 1 + 2 + ... + 10.
    ActionWriter loop;
    loop.push("i").pushInt(10).setVariable().push("r").pushInt(0).setVariable();
    loop.label("top").push("r").push("r").getVariable().push("i").getVariable().op(0x47).setVariable();
    loop.push("i").push("i").getVariable().op(0x51).storeRegister(0).setVariable();
    loop.pushRegister(0).pushInt(0).op(0x67).ifTrue("top");
    loop.push("r").push("r").getVariable();
    cases.push_back({"loop with branch", loop, "55"});
    for (Case& c : cases) {
        c.program.setVariable();
        Player p;
        ASSERT_TRUE(fctest::load(p, scriptMovie(c.program))) << c.name;
        EXPECT_EQ(rootVar(p, "r"), c.want) << c.name;
    }
}

TEST(Scripts, VersionDecidesBooleansAndNameCase) {
    struct Case {
        int version;
        std::string boolText;
        std::string upperName;  // reading "NAME" after setting "name"
    } cases[] = {{4, "1", "1"}, {6, "true", "1"}, {7, "true", ""}};
    for (const Case& c : cases) {
        ActionWriter s;
        s.push("b").pushInt(1).pushInt(2).op(0x0F).setVariable();
        s.push("name").pushInt(1).setVariable();
        s.push("r").push("NAME").getVariable().setVariable();
        Player p;
        ASSERT_TRUE(fctest::load(p, scriptMovie(s, c.version)));
        EXPECT_EQ(rootVar(p, "b"), c.boolText) << c.version;
        EXPECT_EQ(rootVar(p, "r"), c.upperName) << c.version;
    }
}

TEST(Scripts, PropertiesSetByScriptOverrideTheTimeline) {
    swfw::Movie m = fctest::stage100();
    m.add(square(1));
    swfw::Place p1 = fctest::place(1, 1);
    p1.name = "box";
    m.add(swfw::placeObject2(p1));
    ActionWriter s;
    s.push("box").pushInt(0).pushInt(50).op(0x23);  // box._x = 50
    s.push("x").push("box").pushInt(0).op(0x22).setVariable();
    s.push("f").push("").pushInt(4).op(0x22).setVariable();  // _currentframe
    m.add(swfw::doAction(s.bytes()));
    m.showFrame();
    m.add(moveTo(1, 0, 0));
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    EXPECT_EQ(rootVar(p, "x"), "50");
    EXPECT_EQ(rootVar(p, "f"), "1");
    p.tick();
    EXPECT_EQ(child(p, 1)->matrix.tx, 1000);
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_EQ(img.at(55, 5), 0xFFFF0000u);
    EXPECT_EQ(img.at(5, 5), 0xFFFFFFFFu);
}

TEST(Scripts, NewSpritesStartOnFrameOneAndAdvanceFromTheNextTick) {
    swfw::Movie m = fctest::stage100();
    Bytes spriteTags;
    spriteTags.insert(spriteTags.end(), {0x40, 0x00, 0x40, 0x00, 0x40, 0x00});
    m.add(swfw::defineSprite(2, spriteTags));
    m.showFrame();
    m.add(swfw::placeObject2(fctest::place(1, 2)));
    m.showFrame();
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    p.tick();
    ASSERT_NE(child(p, 1), nullptr);
    EXPECT_EQ(child(p, 1)->currentFrame, 0);
    p.tick();
    EXPECT_EQ(child(p, 1)->currentFrame, 1);
}

TEST(Robustness, SpritesPlacingThemselvesStopAtTheNestingLimit) {
    swfw::Movie m = fctest::stage100();
    Bytes self;
    for (const Bytes& t : {swfw::placeObject2(fctest::place(1, 2)), swfw::placeObject2(fctest::place(2, 2))})
        self.insert(self.end(), t.begin(), t.end());
    self.insert(self.end(), {0x40, 0x00, 0x40, 0x00});
    m.add(swfw::defineSprite(2, self));
    m.add(swfw::placeObject2(fctest::place(1, 2)));
    m.showFrame();
    Player p;
    p.engine().maxObjects = 5000;
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(fctest::load(p, m.build()));
    for (int i = 0; i < 3; ++i) p.tick();
    fctest::render(p, 50, 50);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
}

TEST(Robustness, ScriptsSurviveBadTargetsAndStackUnderflow) {
    ActionWriter s;
    s.setTarget("no/such/clip").stop().play().gotoFrame(3).setTarget("");
    s.op(0x17).op(0x17).op(0x0A).op(0x1D);  // pops of an empty stack
    s.push("/nothing:v").pushInt(1).setVariable();
    s.push("r").push("ok").setVariable();
    s.record(0x96, {0x09, 0xFF, 0xFF, 0x63});  // constant beyond the pool, then an unknown type
    s.record(0x99, {0x00, 0x80});              // a jump far before the block
    s.push("r").push("not reached").setVariable();
    Player p;
    ASSERT_TRUE(fctest::load(p, scriptMovie(s)));
    EXPECT_EQ(rootVar(p, "r"), "ok");
    EXPECT_TRUE(p.isPlaying());  // the Stop went to no clip
}

TEST(Robustness, PlaceObject3PlacesLikePlaceObject2) {
    swfw::Movie m = fctest::stage100();
    m.add(square(1, {0, 255, 0, 255}));
    swfw::Place p3 = fctest::place(1, 1, swfw::Matrix::translate(400, 400));
    m.add(swfw::placeObject3(p3));
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_EQ(img.at(25, 25), 0xFF00FF00u);
    EXPECT_EQ(img.at(5, 5), 0xFFFFFFFFu);
}

TEST(Timeline, SeekingInALongMovieStaysFast) {
    // 20000 frames, 40 squares moving every frame.
    swfw::Movie m = fctest::stage100();
    m.add(square(1));
    for (uint16_t d = 1; d <= 40; ++d) m.add(swfw::placeObject2(fctest::place(d, 1)));
    for (int f = 0; f < 20000; ++f) {
        if (f) m.add(moveTo(static_cast<uint16_t>(1 + f % 40), f % 1800, f % 1700));
        m.showFrame();
    }
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build(), false));
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 200; ++i) p.gotoFrame((i * 7919) % 20000);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 1.0);
    p.gotoFrame(19999);
    EXPECT_EQ(child(p, 1 + 19999 % 40)->matrix.tx, 19999 % 1800);
}
