// Time per frame of the Flash 8 effects and of embedded video at 1920 x 1080:
// 20 glowing, shadowed buttons over a blurred full-screen background (the
// buttons pulse, so every layer is redrawn each frame), and a 640 x 480
// Sorenson clip (encoded by ffmpeg when the benchmark starts) scaled to the
// full height, decoded and drawn once per frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/flashcore/RenderLoop.h"
#include "tools/swfwriter/FilterWriter.h"
#include "tools/swfwriter/ShapeWriter.h"
#include "tools/swfwriter/VideoWriter.h"

namespace {

using namespace swfw;

// How the blurred background behaves from frame to frame.
enum class Background { Still, Moving, Changing };

Bytes filterScene(Background background) {
    Movie m;
    m.version = 8;
    m.frameRate = 24;
    m.stage = {0, 1920 * 20, 0, 1080 * 20};
    // Background: gradient bands and discs in a sprite, blurred.
    ShapeBuilder bg(3);
    for (int i = 0; i < 8; ++i) {
        Matrix g = Matrix::scale(2.0, 2.0, 1920 * 10, i * 2700 + 1350);
        bg.rect(0, i * 2700, 1920 * 20, (i + 1) * 2700,
                bg.addFill(FillStyle::linear(
                    g, {{0, {uint8_t(30 * i), 80, 200, 255}}, {255, {250, uint8_t(20 * i), 60, 255}}})));
    }
    m.add(bg.defineShape(1));
    ShapeBuilder disc(3);
    disc.rect(-3000, -3000, 3000, 3000, disc.addFill(FillStyle::solid({255, 255, 255, 160})));
    m.add(disc.defineShape(2));
    Bytes bgTags = placeObject2([] {
        Place p;
        p.depth = 1;
        p.characterId = 1;
        return p;
    }());
    for (int i = 0; i < 6; ++i) {
        Place p;
        p.depth = static_cast<uint16_t>(2 + i);
        p.characterId = 2;
        p.hasMatrix = true;
        p.matrix = Matrix{0.7, 0.7, -0.7, 0.7, 4000 + i * 6000, 6000 + (i % 2) * 9000};
        Bytes t = placeObject2(p);
        bgTags.insert(bgTags.end(), t.begin(), t.end());
    }
    Bytes show = tag(1, {});
    bgTags.insert(bgTags.end(), show.begin(), show.end());
    m.add(defineSprite(3, bgTags, 1));
    // A button face: rounded look from two rects.
    ShapeBuilder face(3);
    face.rect(-1600, -600, 1600, 600, face.addFill(FillStyle::solid({40, 120, 220, 255})));
    face.rect(-1500, -500, 1500, -100, face.addFill(FillStyle::solid({120, 190, 255, 255})));
    m.add(face.defineShape(4));
    FilterParams blur;
    blur.id = 1;
    blur.blurX = blur.blurY = 16;
    blur.passes = 2;
    FilterParams glow;
    glow.id = 2;
    glow.color = {255, 230, 120, 255};
    glow.blurX = glow.blurY = 10;
    glow.strength = 1.5;
    glow.passes = 2;
    FilterParams shadow;
    shadow.id = 0;
    shadow.color = {0, 0, 0, 180};
    shadow.blurX = shadow.blurY = 8;
    shadow.distance = 6;
    shadow.passes = 2;
    for (int frame = 0; frame < 24; ++frame) {
        Place b;
        b.depth = 1;
        b.move = frame > 0;
        if (!frame) b.characterId = 3;
        // A background moved by whole pixels keeps its blurred picture; one
        // whose colours change must be blurred again in every frame.
        b.hasMatrix = background == Background::Moving;
        b.matrix = Matrix::translate(frame * 20, 0);
        b.hasCxForm = background == Background::Changing;
        b.cxform.mr = 0.8 + 0.2 * std::sin(frame * 0.7);
        b.filters = filterList({blur});
        m.add(placeObject3(b));
        for (int i = 0; i < 20; ++i) {
            Place p;
            p.depth = static_cast<uint16_t>(10 + i);
            p.move = frame > 0;
            if (!frame) p.characterId = 4;
            p.hasMatrix = true;
            double s = 1 + 0.05 * std::sin(frame * 0.5 + i);
            p.matrix = Matrix::scale(s, s, 2400 + (i % 5) * 7400, 2600 + (i / 5) * 5200);
            FilterParams g = glow;
            g.strength = 1 + 0.5 * std::sin(frame * 0.3 + i);
            p.filters = filterList({g, shadow});
            m.add(placeObject3(p));
        }
        m.showFrame();
    }
    return m.build();
}

// Filtered instances keep their layer while they do not change: here the
// background is blurred once and the pulsing buttons are filtered anew in
// every frame.
void BM_FilterScene(benchmark::State& state) {
    static const Bytes movie = filterScene(Background::Still);
    renderFrames(state, movie);
}

// The same with a background that moves by a pixel per frame.
void BM_FilterSceneMovingBackground(benchmark::State& state) {
    static const Bytes movie = filterScene(Background::Moving);
    renderFrames(state, movie);
}

// The same with a background whose colours change, so nothing can be reused.
void BM_FilterSceneChangingBackground(benchmark::State& state) {
    static const Bytes movie = filterScene(Background::Changing);
    renderFrames(state, movie);
}

std::vector<Bytes> flvFrames(const std::vector<uint8_t>& f) {
    std::vector<Bytes> out;
    if (f.size() < 13) return out;
    size_t pos = (size_t(f[5]) << 24 | f[6] << 16 | f[7] << 8 | f[8]) + 4;
    while (pos + 11 <= f.size()) {
        size_t len = size_t(f[pos + 1]) << 16 | f[pos + 2] << 8 | f[pos + 3];
        size_t body = pos + 11;
        if (body + len > f.size()) break;
        if (f[pos] == 9 && len > 1) out.emplace_back(f.begin() + body + 1, f.begin() + body + len);
        pos = body + len + 4;
    }
    return out;
}

Bytes videoScene() {
    const char* path = "/tmp/kv_bench_video.flv";
    std::string cmd = std::string(
                          "ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=640x480:rate=25 -frames:v 48 "
                          "-c:v flv -g 24 -q:v 4 ") +
                      path;
    if (std::system(cmd.c_str()) != 0) return {};
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> flv((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Bytes> frames = flvFrames(flv);
    Movie m;
    m.version = 6;
    m.frameRate = 25;
    m.stage = {0, 640 * 20, 0, 480 * 20};
    m.add(defineVideoStream(1, static_cast<uint16_t>(frames.size()), 640, 480, 2, true));
    for (size_t k = 0; k < frames.size(); ++k) {
        m.add(videoFrame(1, static_cast<uint16_t>(k), frames[k]));
        Place p;
        p.depth = 1;
        p.ratio = static_cast<int>(k);
        p.move = k > 0;
        if (!k) p.characterId = 1;
        m.add(placeObject2(p));
        m.showFrame();
    }
    return m.build();
}

void BM_VideoFullScreen(benchmark::State& state) {
    static const Bytes movie = videoScene();
    if (movie.empty()) {
        state.SkipWithError("ffmpeg is not installed");
        return;
    }
    renderFrames(state, movie);
}

}  // namespace

BENCHMARK(BM_FilterScene)->Args({1920, 1080, 2})->Args({1920, 1080, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterSceneMovingBackground)->Args({1920, 1080, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterSceneChangingBackground)->Args({1920, 1080, 2})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VideoFullScreen)->Args({1920, 1080, 2})->Args({1920, 1080, 0})->Unit(benchmark::kMillisecond);
