// Buttons: states shown as the pointer moves and presses, hit areas, colour
// transforms, actions on pointer transitions, the cursor, and clip mouse
// events.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/ButtonWriter.h"

using namespace flash;
using swfw::ActionWriter;
using swfw::Bytes;

namespace {

Bytes rect(uint16_t id, int x0, int y0, int x1, int y1, swfw::Rgba color) {
    swfw::ShapeBuilder s(3);
    s.rect(x0 * 20, y0 * 20, x1 * 20, y1 * 20, s.addFill(swfw::FillStyle::solid(color)));
    return s.defineShape(id);
}

swfw::ButtonRecord record(uint8_t states, uint16_t id, uint16_t depth = 1) {
    swfw::ButtonRecord r;
    r.states = states;
    r.characterId = id;
    r.depth = depth;
    return r;
}

// Red up, green over, blue down, all 20..80 px; the hit area is 30..70 px.
// Actions: fscommand("clicked") on release, "pressed" on press, "out" on
// release outside, "over" on roll over.
Bytes buttonMovie(bool inSprite = false) {
    swfw::Movie m = fctest::stage100();
    m.add(rect(1, 20, 20, 80, 80, {255, 0, 0, 255}));
    m.add(rect(2, 20, 20, 80, 80, {0, 255, 0, 255}));
    m.add(rect(3, 20, 20, 80, 80, {0, 0, 255, 255}));
    m.add(rect(4, 30, 30, 70, 70, {0, 0, 0, 255}));
    auto fs = [](const char* cmd) {
        return ActionWriter().getUrl(std::string("FSCommand:") + cmd, "").bytes();
    };
    m.add(swfw::defineButton2(
        10, {record(swfw::kUp, 1), record(swfw::kOver, 2), record(swfw::kDown, 3), record(swfw::kHit, 4)},
        {{0x0008, fs("clicked")}, {0x0004, fs("pressed")}, {0x0040, fs("out")}, {0x0001, fs("over")}}));
    if (inSprite) {
        // The sprite moves the button 10 px left.
        Bytes inner = swfw::placeObject2(fctest::place(1, 10));
        inner.insert(inner.end(), {0x40, 0x00});
        m.add(swfw::defineSprite(11, inner));
        swfw::Place p = fctest::place(1, 11);
        p.hasMatrix = true;
        p.matrix = swfw::Matrix::translate(-200, 0);
        m.add(swfw::placeObject2(p));
    } else {
        m.add(swfw::placeObject2(fctest::place(1, 10)));
    }
    m.showFrame();
    return m.build();
}

struct Clicks {
    Player player;
    std::vector<std::string> commands;
    explicit Clicks(const Bytes& movie) {
        player.setFSCommandHandler(
            [this](const std::string& c, const std::string&) { commands.push_back(c); });
        EXPECT_TRUE(fctest::load(player, movie));
        fctest::render(player, 100, 100);
    }
    std::string colorAt(int x, int y) {
        fctest::Image img = fctest::render(player, 100, 100);
        int r = img.red(x, y), g = img.green(x, y), b = img.blue(x, y);
        if (r > 200 && g < 50 && b < 50) return "red";
        if (g > 200 && r < 50 && b < 50) return "green";
        if (b > 200 && r < 50 && g < 50) return "blue";
        if (r > 200 && g > 200 && b > 200) return "white";
        return "other";
    }
};

TEST(Button, ShowsUpOverAndDownStatesAsThePointerMovesAndPresses) {
    Clicks c(buttonMovie());
    struct Step {
        const char* what;
        int x, y;
        bool down;
        const char* color;
        bool hand;
    } steps[] = {
        {"at rest", -1, -1, false, "red", false},
        {"over the hit area", 50, 50, false, "green", true},
        {"pressed", 50, 50, true, "blue", true},
        {"dragged off while pressed", 90, 90, true, "red", false},
        {"dragged back", 50, 50, true, "blue", true},
        {"released", 50, 50, false, "green", true},
        {"moved away", 95, 5, false, "red", false},
    };
    for (const Step& s : steps) {
        if (s.x >= 0) {
            c.player.mouseMove(s.x, s.y);
            if (s.down != c.player.engine().mouseIsDown())
                s.down ? c.player.mouseDown(s.x, s.y) : c.player.mouseUp(s.x, s.y);
        }
        EXPECT_EQ(c.colorAt(50, 50), s.color) << s.what;
        EXPECT_EQ(c.player.wantsHandCursor(), s.hand) << s.what;
    }
}

TEST(Button, ActionsRunOnTheirPointerTransitions) {
    Clicks c(buttonMovie());
    c.player.mouseMove(50, 50);
    c.player.mouseDown(50, 50);
    c.player.mouseUp(50, 50);
    EXPECT_EQ(c.commands, (std::vector<std::string>{"over", "pressed", "clicked"}));

    // Pressed, then released outside: no click, a release-outside instead.
    c.commands.clear();
    c.player.mouseDown(50, 50);
    c.player.mouseUp(95, 95);
    EXPECT_EQ(c.commands, (std::vector<std::string>{"pressed", "out"}));
}

TEST(Button, PointerCountsOverTheHitShapesOnlyNotTheVisibleOnes) {
    Clicks c(buttonMovie());
    c.player.mouseMove(25, 25);  // on the red square, outside the hit area
    EXPECT_EQ(c.colorAt(50, 50), "red");
    EXPECT_FALSE(c.player.wantsHandCursor());
    c.player.mouseDown(25, 25);
    c.player.mouseUp(25, 25);
    EXPECT_TRUE(c.commands.empty());
    c.player.mouseMove(31, 31);
    EXPECT_EQ(c.colorAt(50, 50), "green");
}

TEST(Button, PointerIsMappedThroughTheViewAndTheParentClips) {
    // Rendered at 200 x 200 the stage doubles: pixel (100, 100) is stage (50, 50).
    Clicks c(buttonMovie());
    fctest::render(c.player, 200, 200);
    c.player.mouseMove(100, 100);
    EXPECT_TRUE(c.player.wantsHandCursor());
    c.player.mouseMove(50, 50);  // stage (25, 25): outside the hit area
    EXPECT_FALSE(c.player.wantsHandCursor());

    // Inside a sprite moved 10 px left the hit area spans 20..60 px.
    Clicks s(buttonMovie(true));
    s.player.mouseMove(65, 50);
    EXPECT_FALSE(s.player.wantsHandCursor());
    s.player.mouseMove(25, 50);
    EXPECT_TRUE(s.player.wantsHandCursor());
    s.player.mouseDown(25, 50);
    s.player.mouseUp(25, 50);
    ASSERT_FALSE(s.commands.empty());
    EXPECT_EQ(s.commands.back(), "clicked");
}

TEST(Button, RecordColourTransformsTintTheirState) {
    swfw::Movie m = fctest::stage100();
    m.add(rect(1, 0, 0, 100, 100, {255, 255, 255, 255}));
    swfw::ButtonRecord up = record(swfw::kUp | swfw::kHit, 1);
    up.cxform.mg = 0;
    up.cxform.mb = 0;  // white -> red
    m.add(swfw::defineButton2(10, {up}, {}));
    m.add(swfw::placeObject2(fctest::place(1, 10)));
    m.showFrame();
    Clicks c(m.build());
    EXPECT_EQ(c.colorAt(50, 50), "red");
}

TEST(Button, FirstButtonTagRunsItsActionsOnReleaseAndTakesItsCxform) {
    swfw::Movie m = fctest::stage100();
    m.version = 4;
    m.add(rect(1, 0, 0, 100, 100, {255, 255, 255, 255}));
    m.add(swfw::defineButton(10, {record(swfw::kUp | swfw::kOver | swfw::kDown | swfw::kHit, 1)},
                             ActionWriter().getUrl("FSCommand:v1", "now").bytes()));
    swfw::CxForm blue;
    blue.mr = 0;
    blue.mg = 0;
    m.add(swfw::defineButtonCxform(10, blue));
    m.add(swfw::placeObject2(fctest::place(1, 10)));
    m.showFrame();
    Clicks c(m.build());
    EXPECT_EQ(c.colorAt(50, 50), "blue");
    c.player.mouseDown(50, 50);
    EXPECT_TRUE(c.commands.empty());
    c.player.mouseUp(50, 50);
    EXPECT_EQ(c.commands, std::vector<std::string>{"v1"});
}

TEST(Button, ActionsRunOnTheTimelineHoldingTheButton) {
    // The release script stops the main timeline and sets a variable on it.
    swfw::Movie m = fctest::stage100();
    m.add(rect(1, 0, 0, 100, 100, {255, 0, 0, 255}));
    ActionWriter a;
    a.push("hit").pushInt(1).setVariable().stop();
    m.add(swfw::defineButton2(10, {record(swfw::kUp | swfw::kHit, 1)}, {{0x0008, a.bytes()}}));
    m.add(swfw::placeObject2(fctest::place(1, 10)));
    m.showFrame();
    m.showFrame();
    m.showFrame();
    Clicks c(m.build());
    c.player.mouseDown(50, 50);
    c.player.mouseUp(50, 50);
    EXPECT_FALSE(c.player.isPlaying());
    EXPECT_EQ(c.player.engine().root()->variables.count("hit"), 1u);
}

TEST(Button, RemovedButtonUnderThePointerLeavesNoHandAndNoClick) {
    swfw::Movie m = fctest::stage100();
    m.add(rect(1, 0, 0, 100, 100, {255, 0, 0, 255}));
    m.add(swfw::defineButton2(10, {record(swfw::kUp | swfw::kHit, 1)},
                              {{0x0008, ActionWriter().getUrl("FSCommand:late", "").bytes()}}));
    m.add(swfw::placeObject2(fctest::place(1, 10)));
    m.showFrame();
    m.add(swfw::removeObject2(1));
    m.showFrame();
    Clicks c(m.build());
    c.player.mouseDown(50, 50);
    EXPECT_TRUE(c.player.wantsHandCursor());
    c.player.tick();  // frame 2 removes the button
    EXPECT_FALSE(c.player.wantsHandCursor());
    c.player.mouseUp(50, 50);
    EXPECT_TRUE(c.commands.empty());
}

TEST(Button, ClipMouseEventsRunOnEveryClipThatHandlesThem) {
    swfw::Movie m = fctest::stage100();
    m.add(swfw::defineSprite(5, Bytes{0x40, 0x00}));
    auto count = [](const char* var) {
        ActionWriter a;
        a.push(std::string("_root:") + var).push(std::string("_root:") + var).getVariable().pushInt(1).add2();
        return a.setVariable().bytes();
    };
    m.add(swfw::placeWithEvents(5, 1, "a", swfw::Matrix(),
                                {{0x10, count("downs")}, {0x20, count("ups")}, {0x08, count("moves")}}, 6));
    m.showFrame();
    Clicks c(m.build());
    c.player.mouseMove(10, 10);
    c.player.mouseDown(10, 10);
    c.player.mouseUp(10, 10);
    auto& vars = c.player.engine().root()->variables;
    EXPECT_EQ(vars["downs"].number, 1);
    EXPECT_EQ(vars["ups"].number, 1);
    EXPECT_GE(vars["moves"].number, 1);
}

TEST(Button, DamagedButtonTagsAreSkippedOrKeptAsFarAsTheyRead) {
    // Truncated records, an action offset past the end, a huge cond size.
    std::vector<Bytes> bodies = {
        {10, 0},
        {10, 0, 0, 0xFF, 0xFF, 0x0F, 1, 0},
        {10, 0, 0, 8, 0, 0x0F, 1, 0, 1, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0x08, 0x00, 0x07},
    };
    for (const Bytes& body : bodies) {
        swfw::Movie m = fctest::stage100();
        m.add(rect(1, 0, 0, 100, 100, {255, 0, 0, 255}));
        m.add(swfw::tag(34, body));
        m.add(swfw::placeObject2(fctest::place(1, 10)));
        m.showFrame();
        Clicks c(m.build());
        c.player.mouseDown(50, 50);
        c.player.mouseUp(50, 50);
        c.player.tick();
    }
}

}  // namespace
