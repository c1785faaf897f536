// Writes a small animated demo movie: a gradient ball bouncing across the
// stage under a turning, outlined square, over a sky-coloured background.
//   swfdemo OUT.swf [FRAMES]
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "tools/swfwriter/ShapeWriter.h"
#include "tools/swfwriter/SwfWriter.h"

using namespace swfw;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: swfdemo OUT.swf [FRAMES]\n");
        return 2;
    }
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 96;
    Movie m;
    m.version = 8;
    m.frameRate = 24;
    m.setBackground(214, 232, 248);

    ShapeBuilder ground;
    int g = ground.addFill(FillStyle::linear(Matrix::scale(0.4, 0.4, 5500, 7000),
                                             {{0, {60, 150, 70, 255}}, {255, {20, 90, 40, 255}}}));
    ground.rect(0, 6000, 11000, 8000, g);
    m.add(ground.defineShape(1));

    ShapeBuilder ball;
    int b = ball.addFill(FillStyle::radial(Matrix::scale(0.07, 0.07, -300, -300),
                                           {{0, {255, 250, 220, 255}}, {120, {250, 160, 40, 255}}, {255, {190, 60, 20, 255}}}));
    LineStyle rim;
    rim.width = 30;
    rim.color = {120, 40, 10, 255};
    int bl = ball.addLine(rim);
    ball.ellipse(0, 0, 900, 900, b, bl);
    m.add(ball.defineShape(2));

    ShapeBuilder square;
    int s = square.addFill(FillStyle::solid({14, 66, 121, 200}));
    LineStyle edge;
    edge.width = 80;
    edge.color = {255, 255, 255, 255};
    int sl = square.addLine(edge);
    square.rect(-1000, -1000, 1000, 1000, s, sl);
    m.add(square.defineShape(3));

    m.add(placeObject(1, 1));
    for (int f = 0; f < frames; ++f) {
        double t = static_cast<double>(f) / frames;
        Place pb;
        pb.depth = 3;
        pb.characterId = f == 0 ? 2 : -1;
        pb.move = f > 0;
        pb.hasMatrix = true;
        double x = 1200 + (11000 - 2400) * t;
        double y = 5100 - std::fabs(std::sin(t * 3.14159265 * 3)) * 3600;
        pb.matrix = Matrix::translate(static_cast<int32_t>(x), static_cast<int32_t>(y));
        m.add(placeObject2(pb));

        Place ps;
        ps.depth = 2;
        ps.characterId = f == 0 ? 3 : -1;
        ps.move = f > 0;
        ps.hasMatrix = true;
        double a = t * 2 * 3.14159265;
        ps.matrix = {std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 5500, 2400};
        m.add(placeObject2(ps));
        m.showFrame();
    }
    if (!writeFile(argv[1], m.build())) {
        std::fprintf(stderr, "swfdemo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
