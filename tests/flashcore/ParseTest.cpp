// Reading movies: the container, bounded readers, tags, shapes and morphs.
#include <gtest/gtest.h>

#include "flash/core/ByteReader.h"
#include "flash/core/Movie.h"
#include "tests/flashcore/TestSupport.h"

using namespace flash;
using swfw::Bytes;

TEST(ByteReader, ReadsZerosPastTheEndAndFlagsOverflow) {
    const uint8_t data[] = {0x34, 0x12, 0xFF};
    ByteReader r(data, sizeof data);
    EXPECT_EQ(r.u16(), 0x1234);
    EXPECT_FALSE(r.overflow());
    EXPECT_EQ(r.u16(), 0x00FF);
    EXPECT_TRUE(r.overflow());
    EXPECT_EQ(r.u32(), 0u);
    ByteReader sub = r.sub(100);
    EXPECT_EQ(sub.size(), 0u);
}

TEST(ByteReader, SignExtendsBitFieldsAndReadsNothingForZeroWidth) {
    const uint8_t data[] = {0xF5, 0x80};  // 1111 0101 1000 0000
    ByteReader r(data, sizeof data);
    EXPECT_EQ(r.sb(0), 0);
    EXPECT_EQ(r.ub(1), 1u);
    EXPECT_EQ(r.sb(3), -1);
    EXPECT_EQ(r.ub(4), 5u);
    EXPECT_EQ(r.u8(), 0x80);  // byte fields realign
}

TEST(ByteReader, MatrixAndColorTransformRoundTripThroughTheWriter) {
    swfw::BitWriter w;
    swfw::writeMatrix(w, {1.5, 0.25, -0.5, 2, 300, -40});
    swfw::writeCxForm(w, {0.5, 1, 1, 0.25, 10, 0, -20, 0}, true);
    Bytes b = w.data();
    ByteReader r(b.data(), b.size());
    Matrix m = r.matrix();
    EXPECT_DOUBLE_EQ(m.a, 1.5);
    EXPECT_DOUBLE_EQ(m.b, 0.25);
    EXPECT_DOUBLE_EQ(m.c, -0.5);
    EXPECT_DOUBLE_EQ(m.d, 2);
    EXPECT_EQ(m.tx, 300);
    EXPECT_EQ(m.ty, -40);
    ColorTransform cx = r.cxform(true);
    EXPECT_EQ(cx.rMul, 128);
    EXPECT_EQ(cx.aMul, 64);
    EXPECT_EQ(cx.rAdd, 10);
    EXPECT_EQ(cx.bAdd, -20);
    EXPECT_FALSE(r.overflow());
}

TEST(Container, ReadsHeaderOfPlainAndCompressedMovies) {
    for (char sig : {'F', 'C'}) {
        swfw::Movie m;
        m.signature = sig;
        m.version = sig == 'C' ? 6 : 4;
        m.frameRate = 24.5;
        m.stage = {0, 640 * 20, 0, 480 * 20};
        m.showFrame();
        m.showFrame();
        Bytes b = m.build();
        MovieHeader h;
        std::vector<uint8_t> body;
        ASSERT_TRUE(readContainer(b.data(), b.size(), h, body)) << sig;
        EXPECT_EQ(h.signature, sig);
        EXPECT_EQ(h.version, m.version);
        EXPECT_EQ(h.stage.width(), 12800);
        EXPECT_EQ(h.stage.height(), 9600);
        EXPECT_DOUBLE_EQ(h.frameRate, 24.5);
        EXPECT_EQ(h.frameCount, 2);
    }
}

TEST(Container, RefusesWhatIsNotAMovie) {
    std::vector<Bytes> bad = {{},
                              {'F', 'W', 'S'},
                              {'X', 'W', 'S', 6, 30, 0, 0, 0, 0, 0},
                              {'Z', 'W', 'S', 13, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                              {'C', 'W', 'S', 6, 30, 0, 0, 0, 1, 2, 3, 4}};
    for (const Bytes& b : bad) {
        MovieDef movie;
        EXPECT_FALSE(movie.load(b.data(), b.size())) << b.size();
    }
}

TEST(Container, TruncatedCompressedMovieKeepsWhatInflated) {
    swfw::Movie m = fctest::stage100();
    m.signature = 'C';
    swfw::ShapeBuilder s;
    s.rect(0, 0, 1000, 1000, s.addFill(swfw::FillStyle::solid({255, 0, 0, 255})));
    m.add(s.defineShape(1));
    m.add(swfw::placeObject2(fctest::place(1, 1)));
    m.showFrame();
    for (int i = 0; i < 50; ++i) m.showFrame();
    Bytes b = m.build();
    b.resize(b.size() - 6);  // the Adler-32 and the last bytes are gone
    Player p;
    ASSERT_TRUE(fctest::load(p, b));
    EXPECT_GE(p.totalFrames(), 1);
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_EQ(img.at(10, 10), 0xFFFF0000u);
}

TEST(Tags, UnknownAndBrokenTagsAreSkippedAndTheRestPlays) {
    swfw::Movie m = fctest::stage100();
    m.add(swfw::tag(777, Bytes(10, 0xAB)));        // unknown code
    m.add(swfw::tag(2, Bytes{1, 0, 0xFF, 0xFF}));  // truncated DefineShape
    m.add(swfw::tag(26, Bytes{0x06}));             // PlaceObject2 without its depth
    m.add(swfw::tag(9, Bytes{0, 0, 255}, true));   // long header on a short tag
    swfw::ShapeBuilder s;
    s.rect(0, 0, 1000, 1000, s.addFill(swfw::FillStyle::solid({0, 255, 0, 255})));
    m.add(s.defineShape(2));
    m.add(swfw::placeObject2(fctest::place(1, 1)));  // the broken shape: nothing to show
    m.add(swfw::placeObject2(fctest::place(2, 2)));
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    fctest::Image img = fctest::render(p, 100, 100);
    EXPECT_EQ(img.at(20, 20), 0xFF00FF00u);
    EXPECT_EQ(img.at(80, 80), 0xFF0000FFu);  // background from the long-form tag
}

TEST(Tags, FrameCountComesFromShowFramesNotTheHeader) {
    swfw::Movie m = fctest::stage100();
    m.frameCount = 99;
    m.showFrame();
    m.showFrame();
    m.showFrame();
    m.add(swfw::placeObject2(fctest::place(1, 1)));  // after the last frame: ignored
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    EXPECT_EQ(p.totalFrames(), 3);
}

TEST(Shapes, EdgesKeepTheirFillSidesAndLayers) {
    swfw::ShapeBuilder s(3);
    int red = s.addFill(swfw::FillStyle::solid({255, 0, 0, 255}));
    int blue = s.addFill(swfw::FillStyle::solid({0, 0, 255, 128}));
    s.rect(0, 0, 100, 100, red);
    s.moveTo(100, 0).fill0(blue).fill1(red).lineTo(100, 100).curveTo(150, 150, 200, 100);
    s.newStyles({swfw::FillStyle::solid({1, 2, 3, 255})}, {swfw::LineStyle()});
    s.moveTo(0, 0).fill1(1).line(1).lineTo(10, 0).lineTo(10, 10).lineTo(0, 0);
    Bytes tagBytes = s.defineShape(7);
    ByteReader r = fctest::tagBody(tagBytes);
    uint16_t id = 0;
    auto shape = parseDefineShape(r, 32, id);
    ASSERT_TRUE(shape);
    EXPECT_EQ(id, 7);
    ASSERT_EQ(shape->layers.size(), 2u);
    const ShapeLayer& L = shape->layers[0];
    ASSERT_EQ(L.edges.size(), 6u);
    EXPECT_EQ(L.fills[1].color.a, 128);
    EXPECT_EQ(L.edges[0].fill1, red);
    EXPECT_EQ(L.edges[0].fill0, 0);
    EXPECT_EQ(L.edges[4].fill0, blue);
    EXPECT_TRUE(L.edges[5].curve);
    EXPECT_FLOAT_EQ(L.edges[5].cx, 150);
    EXPECT_FLOAT_EQ(L.edges[5].x1, 200);
    // Fill 2 (blue) lies left of the shared edges: they are gathered reversed.
    ASSERT_EQ(L.fillEdges[blue].size(), 2u);
    EXPECT_TRUE(L.fillEdges[blue][0].reversed);
    EXPECT_EQ(L.fillEdges[red].size(), 6u);
    const ShapeLayer& L2 = shape->layers[1];
    EXPECT_EQ(L2.edges.size(), 3u);
    EXPECT_EQ(L2.edges[0].line, 1);
    EXPECT_TRUE(L2.edges[0].newPath);
    EXPECT_FALSE(L2.edges[1].newPath);
}

TEST(Shapes, StyleDetailsOfEachShapeVersion) {
    swfw::ShapeBuilder s1(1);
    s1.rect(0, 0, 10, 10, s1.addFill(swfw::FillStyle::solid({10, 20, 30, 40})));  // alpha not written
    swfw::ShapeBuilder s4(4);
    auto grad =
        swfw::FillStyle::focalRadial(swfw::Matrix(), {{0, {0, 0, 0, 255}}, {255, {9, 9, 9, 9}}}, -0.5);
    grad.spread = 2;
    grad.interp = 1;
    int g = s4.addFill(grad);
    swfw::LineStyle l;
    l.width = 40;
    l.join = 2;
    l.miterLimit = 2.5;
    l.startCap = 2;
    l.endCap = 1;
    l.noClose = true;
    s4.rect(0, 0, 10, 10, g, s4.addLine(l));
    struct Case {
        Bytes tag;
        int code;
    } cases[] = {{s1.defineShape(1), 2}, {s4.defineShape(2), 83}};
    for (const Case& c : cases) {
        ByteReader r = fctest::tagBody(c.tag);
        uint16_t id;
        auto shape = parseDefineShape(r, c.code, id);
        ASSERT_TRUE(shape) << c.code;
        const ShapeLayer& L = shape->layers[0];
        if (c.code == 2) {
            EXPECT_EQ(L.fills[0].color.a, 255);
            EXPECT_EQ(L.fills[0].color.b, 30);
        } else {
            EXPECT_EQ(L.fills[0].kind, FillKind::Focal);
            EXPECT_EQ(L.fills[0].gradient.spread, SpreadMode::Repeat);
            EXPECT_TRUE(L.fills[0].gradient.linearRgb);
            EXPECT_DOUBLE_EQ(L.fills[0].gradient.focal, -0.5);
            EXPECT_EQ(L.fills[0].gradient.stops[1].color.a, 9);
            EXPECT_EQ(L.lines[0].join, JoinStyle::Miter);
            EXPECT_DOUBLE_EQ(L.lines[0].miterLimit, 2.5);
            EXPECT_EQ(L.lines[0].startCap, CapStyle::Square);
            EXPECT_EQ(L.lines[0].endCap, CapStyle::None);
            EXPECT_TRUE(L.lines[0].noClose);
        }
    }
}

TEST(Shapes, MorphInterpolatesEdgesColoursAndWidths) {
    swfw::ShapeBuilder a(3), b(3);
    a.rect(0, 0, 100, 100, 1, 1);
    b.rect(100, 200, 300, 400, 1, 1);
    swfw::MorphFill f;
    f.startColor = {255, 0, 0, 255};
    f.endColor = {0, 0, 255, 55};
    swfw::MorphLine l;
    l.startWidth = 20;
    l.endWidth = 100;
    for (bool v2 : {false, true}) {
        Bytes t = swfw::defineMorphShape(3, {f}, {l}, a, b, v2);
        ByteReader r = fctest::tagBody(t);
        uint16_t id;
        auto morph = parseDefineMorphShape(r, v2 ? 84 : 46, id);
        ASSERT_TRUE(morph);
        ASSERT_EQ(morph->edges.size(), 4u);
        ShapeData mid;
        morph->interpolate(32768, mid);
        const ShapeLayer& L = mid.layers[0];
        EXPECT_NEAR(L.edges[0].x0, 50, 0.1);
        EXPECT_NEAR(L.edges[0].y0, 100, 0.1);
        EXPECT_NEAR(L.edges[1].x1, 200, 0.1);
        EXPECT_NEAR(L.fills[0].color.r, 128, 1);
        EXPECT_NEAR(L.fills[0].color.a, 155, 1);
        EXPECT_NEAR(L.lines[0].width, 60, 1);
        ShapeData end;
        morph->interpolate(65535, end);
        EXPECT_FLOAT_EQ(end.layers[0].edges[2].x1, 100);
        EXPECT_FLOAT_EQ(end.layers[0].edges[2].y1, 400);
    }
}

TEST(Timeline, PlaceMoveAndReplaceFollowTheirFlags) {
    auto cmd = [](uint16_t depth, bool move, int ch, double tx, uint32_t serial) {
        FrameCommand c{FrameCommand::Place, {}, 0};
        c.place.depth = depth;
        c.place.move = move;
        c.place.hasCharacter = ch >= 0;
        c.place.characterId = static_cast<uint16_t>(ch < 0 ? 0 : ch);
        c.place.hasMatrix = tx >= 0;
        c.place.matrix.tx = tx;
        c.place.serial = serial;
        return c;
    };
    struct Case {
        const char* name;
        std::vector<FrameCommand> cmds;
        int character;  // at depth 1, -1 = empty
        double tx;
        uint32_t serial;
    } cases[] = {
        {"place", {cmd(1, false, 5, 10, 1)}, 5, 10, 1},
        {"place on an occupied depth is ignored",
         {cmd(1, false, 5, 10, 1), cmd(1, false, 6, 20, 2)},
         5,
         10,
         1},
        {"move keeps the character", {cmd(1, false, 5, 10, 1), cmd(1, true, -1, 30, 2)}, 5, 30, 1},
        {"replace keeps the matrix", {cmd(1, false, 5, 10, 1), cmd(1, true, 6, -1, 3)}, 6, 10, 3},
        {"move on an empty depth does nothing", {cmd(1, true, -1, 30, 2)}, -1, 0, 0},
        {"remove", {cmd(1, false, 5, 10, 1), FrameCommand{FrameCommand::Remove, {}, 1}}, -1, 0, 0},
    };
    for (const Case& c : cases) {
        FrameDef f;
        f.commands = c.cmds;
        PlacementState st;
        applyFrame(f, st);
        if (c.character < 0) {
            EXPECT_EQ(st.count(1), 0u) << c.name;
            continue;
        }
        ASSERT_EQ(st.count(1), 1u) << c.name;
        EXPECT_EQ(st[1].characterId, c.character) << c.name;
        EXPECT_EQ(st[1].matrix.tx, c.tx) << c.name;
        EXPECT_EQ(st[1].serial, c.serial) << c.name;
    }
}
