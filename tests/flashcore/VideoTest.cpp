// Embedded video: Sorenson H.263 frames written by ffmpeg's flv encoder are
// decoded and compared with ffmpeg's own decoding of the same file, both as
// planes and as the picture of a movie that embeds them; seeking and the
// screen video codec are checked against pictures built here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "flash/core/Renderer.h"
#include "flash/core/video/H263Decoder.h"
#include "flash/core/video/VideoScaler.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/VideoWriter.h"

using namespace flash;

namespace {

struct Clip {
    int width = 0, height = 0;
    std::vector<std::vector<uint8_t>> frames;  // Sorenson frames
    std::vector<uint8_t> yuv;                  // ffmpeg's decoding, I420 frames
    std::vector<uint8_t> rgb;                  // and as RGB
};

bool haveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

std::vector<uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The video payloads of an FLV file (codec 2), in order.
std::vector<std::vector<uint8_t>> flvVideo(const std::vector<uint8_t>& f) {
    std::vector<std::vector<uint8_t>> out;
    if (f.size() < 13) return out;
    size_t pos = (size_t(f[5]) << 24 | f[6] << 16 | f[7] << 8 | f[8]) + 4;
    while (pos + 11 <= f.size()) {
        int type = f[pos];
        size_t len = size_t(f[pos + 1]) << 16 | f[pos + 2] << 8 | f[pos + 3];
        size_t body = pos + 11;
        if (body + len > f.size()) break;
        if (type == 9 && len > 1 && (f[body] & 0x0F) == 2)
            out.emplace_back(f.begin() + body + 1, f.begin() + body + len);
        pos = body + len + 4;
    }
    return out;
}

// Encodes `frames` frames of a moving test picture (key frame every `gop`).
bool makeClip(Clip& clip, int w, int h, int frames, int gop, const std::string& source = "testsrc",
              int quality = 3) {
    char dir[] = "/tmp/kvvideoXXXXXX";
    if (!mkdtemp(dir)) return false;
    std::string d = dir;
    std::string size = std::to_string(w) + "x" + std::to_string(h);
    std::string cmd =
        "ffmpeg -loglevel error -y -f lavfi -i " + source + "=size=" + size + ":rate=15 -frames:v " +
        std::to_string(frames) + " -c:v flv -g " + std::to_string(gop) + " -q:v " + std::to_string(quality) +
        " " + d + "/v.flv && ffmpeg -loglevel error -y -i " + d + "/v.flv -f rawvideo -pix_fmt yuv420p " + d +
        "/v.yuv && ffmpeg -loglevel error -y -i " + d + "/v.flv -f rawvideo -pix_fmt rgb24 " + d + "/v.rgb";
    bool ok = std::system(cmd.c_str()) == 0;
    if (ok) {
        clip.width = w;
        clip.height = h;
        clip.frames = flvVideo(readAll(d + "/v.flv"));
        clip.yuv = readAll(d + "/v.yuv");
        clip.rgb = readAll(d + "/v.rgb");
    }
    std::system(("rm -rf " + d).c_str());
    return ok && static_cast<int>(clip.frames.size()) == frames;
}

double psnrBytes(const uint8_t* a, const uint8_t* b, size_t n) {
    double se = 0;
    for (size_t i = 0; i < n; ++i) se += (double(a[i]) - b[i]) * (double(a[i]) - b[i]);
    if (se == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 / (se / n));
}

// PSNR of the decoder's planes against ffmpeg's frame k.
double planePsnr(const H263Decoder& dec, const Clip& clip, int k) {
    const int w = clip.width, h = clip.height;
    const size_t frameSize = size_t(w) * h * 3 / 2;
    std::vector<uint8_t> mine;
    for (int p = 0; p < 3; ++p) {
        int pw = p ? w / 2 : w, ph = p ? h / 2 : h;
        for (int y = 0; y < ph; ++y)
            mine.insert(mine.end(), dec.plane(p) + size_t(y) * dec.stride(p),
                        dec.plane(p) + size_t(y) * dec.stride(p) + pw);
    }
    return psnrBytes(mine.data(), clip.yuv.data() + frameSize * k, frameSize);
}

}  // namespace

TEST(Video, SorensonFramesMatchFfmpegDecoding) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Clip clip;
    ASSERT_TRUE(makeClip(clip, 176, 144, 24, 10, "testsrc2"));
    H263Decoder dec;
    for (size_t k = 0; k < clip.frames.size(); ++k) {
        ASSERT_TRUE(dec.decode(clip.frames[k].data(), clip.frames[k].size())) << k;
        double db = planePsnr(dec, clip, static_cast<int>(k));
        if (getenv("KV_VIDEO_VERBOSE")) printf("frame %zu: %.1f dB\n", k, db);
        EXPECT_GE(db, 35) << "frame " << k;
    }
}

namespace {

// A movie of the video's size that shows frame k of stream 1 in frame k.
swfw::Bytes videoMovie(const std::vector<swfw::Bytes>& frames, int w, int h, int codec,
                       bool smoothing = false, int deblocking = 0) {
    swfw::Movie m;
    m.version = 6;
    m.stage = {0, w * 20, 0, h * 20};
    m.add(swfw::defineVideoStream(1, static_cast<uint16_t>(frames.size()), static_cast<uint16_t>(w),
                                  static_cast<uint16_t>(h), codec, smoothing, deblocking));
    for (size_t k = 0; k < frames.size(); ++k) {
        m.add(swfw::videoFrame(1, static_cast<uint16_t>(k), frames[k]));
        swfw::Place p;
        p.depth = 1;
        p.ratio = static_cast<int>(k);
        if (k == 0) {
            p.characterId = 1;
        } else {
            p.move = true;
        }
        m.add(swfw::placeObject2(p));
        m.showFrame();
    }
    return m.build();
}

double rgbPsnr(const fctest::Image& img, const uint8_t* rgb) {
    std::vector<uint8_t> mine;
    for (uint32_t p : img.pixels) {
        mine.push_back(static_cast<uint8_t>(p >> 16));
        mine.push_back(static_cast<uint8_t>(p >> 8));
        mine.push_back(static_cast<uint8_t>(p));
    }
    return psnrBytes(mine.data(), rgb, mine.size());
}

}  // namespace

TEST(Video, MovieShowsTheFramesAndSeekingEqualsPlaying) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Clip clip;
    ASSERT_TRUE(makeClip(clip, 160, 120, 30, 12, "testsrc2"));
    swfw::Bytes movie = videoMovie(clip.frames, clip.width, clip.height, 2);
    Player play;
    ASSERT_TRUE(fctest::load(play, movie));
    std::vector<fctest::Image> played;
    const size_t rgbFrame = size_t(clip.width) * clip.height * 3;
    for (size_t k = 0; k < clip.frames.size(); ++k) {
        if (k) play.tick();
        ASSERT_EQ(play.currentFrame(), static_cast<int>(k));
        played.push_back(fctest::render(play, clip.width, clip.height));
        EXPECT_GE(rgbPsnr(played.back(), clip.rgb.data() + rgbFrame * k), 35) << "frame " << k;
    }
    // Into the middle of a group of frames, backwards and forwards, from a
    // fresh player and from one that already shows another frame.
    for (int target : {17, 5, 29, 13, 14, 0}) {
        Player seek;
        ASSERT_TRUE(fctest::load(seek, movie, false));
        seek.gotoFrame(target);
        fctest::Image img = fctest::render(seek, clip.width, clip.height);
        EXPECT_EQ(img.pixels, played[target].pixels) << "fresh seek to " << target;
        play.gotoFrame(target);
        img = fctest::render(play, clip.width, clip.height);
        EXPECT_EQ(img.pixels, played[target].pixels) << "seek to " << target;
    }
}

TEST(Video, ScreenVideoBlocksRebuildThePicture) {
    const int w = 100, h = 70;  // blocks of 32: partial blocks on the right and at the top
    std::vector<std::vector<uint32_t>> pictures;
    std::vector<swfw::Bytes> frames;
    for (int k = 0; k < 6; ++k) {
        std::vector<uint32_t> px(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px[size_t(y) * w + x] = (x < 40 + k * 10 && y > 30) ? uint32_t(0x102030 * (k + 1))
                                                                    : uint32_t(x * 2 << 16 | y * 3 << 8 | 77);
        const std::vector<uint32_t>* prev = (k % 3 == 0) ? nullptr : &pictures.back();
        frames.push_back(swfw::screenVideoFrame(px, w, h, 32, prev));
        pictures.push_back(px);
    }
    ScreenVideoDecoder dec;
    for (size_t k = 0; k < frames.size(); ++k) {
        EXPECT_EQ(screenVideoIsKey(frames[k].data(), frames[k].size()), k % 3 == 0) << k;
        ASSERT_TRUE(dec.decode(frames[k].data(), frames[k].size()));
        for (size_t i = 0; i < pictures[k].size(); ++i)
            ASSERT_EQ(dec.pixels()[i], 0xFF000000u | pictures[k][i]) << "frame " << k << " pixel " << i;
    }
    // Through a movie: seeking to frame 4 decodes from key frame 3.
    swfw::Bytes movie = videoMovie(frames, w, h, 3);
    Player p;
    ASSERT_TRUE(fctest::load(p, movie, false));
    p.gotoFrame(4);
    fctest::Image img = fctest::render(p, w, h);
    for (int y = 0; y < h; y += 7)
        for (int x = 0; x < w; x += 9) EXPECT_EQ(img.at(x, y), 0xFF000000u | pictures[4][size_t(y) * w + x]);
    // Damaged data is refused without touching memory outside.
    for (size_t cut = 0; cut < frames[1].size(); cut += 5)
        EXPECT_FALSE(dec.decode(frames[1].data(), cut)) << cut;
}

TEST(Video, DamagedSorensonDataIsRefusedSafely) {
    H263Decoder dec;
    const uint8_t noStart[] = {0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_FALSE(dec.decode(noStart, sizeof noStart));
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    Clip clip;
    ASSERT_TRUE(makeClip(clip, 64, 48, 3, 3));
    // An inter frame with nothing to predict from.
    EXPECT_FALSE(dec.decode(clip.frames[1].data(), clip.frames[1].size()));
    for (const auto& f : clip.frames)
        for (size_t cut = 1; cut < f.size(); cut += 3) {
            H263Decoder d;
            d.decode(f.data(), cut);  // must neither crash nor read past the end (ASan in the fuzzers)
        }
}

namespace {

// The block-edge filter of H.263's deblocking mode on one plane, written
// from its definition: across each vertical 8-pixel edge, then across each
// horizontal one, four pixels A B | C D move towards each other by a ramp
// of the edge step that fades out beyond the strength of the quantiser.
void referenceDeblock(std::vector<int>& plane, int w, int h, int quant) {
    static const int kStrength[] = {0, 1, 1, 2, 2, 3, 3, 4,  4,  4,  5,  5,  6,  6,  7,  7,
                                    7, 8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12};
    const int s = kStrength[quant];
    auto clip255 = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
    auto edge = [&](int& A, int& B, int& C, int& D) {
        const int d = (A - 4 * B + 4 * C - D) / 8;
        const int m = std::abs(d);
        int ramp = m <= s ? m : (m <= 2 * s ? 2 * s - m : 0);
        const int d1 = d < 0 ? -ramp : ramp;
        const int lim = std::abs(d1 / 2);
        const int d2 = std::min(lim, std::max(-lim, (A - D) / 4));
        const int a = A, b = B, c = C, dd = D;
        A = clip255(a - d2);
        B = clip255(b + d1);
        C = clip255(c - d1);
        D = clip255(dd + d2);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 8; x + 1 < w; x += 8) {
            int* r = &plane[size_t(y) * w];
            edge(r[x - 2], r[x - 1], r[x], r[x + 1]);
        }
    for (int y = 8; y + 1 < h; y += 8)
        for (int x = 0; x < w; ++x)
            edge(plane[size_t(y - 2) * w + x], plane[size_t(y - 1) * w + x], plane[size_t(y) * w + x],
                 plane[size_t(y + 1) * w + x]);
}

// ffmpeg's planes of frame k (which ignore the deblocking flag), filtered
// when `deblock`, as RGB by BT.601 in floating point.
std::vector<uint8_t> referenceRgb(const Clip& clip, int k, int quant, bool deblock) {
    const int w = clip.width, h = clip.height, cw = w / 2, ch = h / 2;
    const uint8_t* f = clip.yuv.data() + size_t(w) * h * 3 / 2 * k;
    std::vector<int> Y(f, f + size_t(w) * h), U(f + size_t(w) * h, f + size_t(w) * h + size_t(cw) * ch),
        V(f + size_t(w) * h + size_t(cw) * ch, f + size_t(w) * h + size_t(cw) * ch * 2);
    if (deblock) {
        referenceDeblock(Y, w, h, quant);
        referenceDeblock(U, cw, ch, quant);
        referenceDeblock(V, cw, ch, quant);
    }
    std::vector<uint8_t> rgb;
    auto put = [&](double v) {
        rgb.push_back(static_cast<uint8_t>(std::lround(std::min(255.0, std::max(0.0, v)))));
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double l = 1.164 * (Y[size_t(y) * w + x] - 16), u = U[size_t(y / 2) * cw + x / 2] - 128.0,
                   v = V[size_t(y / 2) * cw + x / 2] - 128.0;
            put(l + 1.596 * v);
            put(l - 0.392 * u - 0.813 * v);
            put(l + 2.017 * u);
        }
    return rgb;
}

}  // namespace

TEST(Video, DeblockingSmoothsBlockEdgesAsTheFilterDefines) {
    if (!haveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    // A coarse quantiser makes visible block edges for the filter to work on.
    Clip clip;
    ASSERT_TRUE(makeClip(clip, 160, 120, 8, 4, "testsrc2", 18));
    const size_t rgbFrame = size_t(clip.width) * clip.height * 3;
    // Deblocking forced on by the stream, off by the stream, and as each frame asks.
    Player on, off, asked;
    ASSERT_TRUE(fctest::load(on, videoMovie(clip.frames, clip.width, clip.height, 2, false, 2)));
    ASSERT_TRUE(fctest::load(off, videoMovie(clip.frames, clip.width, clip.height, 2, false, 1)));
    ASSERT_TRUE(fctest::load(asked, videoMovie(clip.frames, clip.width, clip.height, 2, false, 0)));
    for (size_t k = 0; k < clip.frames.size(); ++k) {
        SCOPED_TRACE(k);
        if (k) {
            on.tick();
            off.tick();
            asked.tick();
        }
        H263Header head;
        ASSERT_TRUE(readH263Header(clip.frames[k].data(), clip.frames[k].size(), head));
        const std::vector<uint8_t> smooth = referenceRgb(clip, static_cast<int>(k), head.quant, true);
        const std::vector<uint8_t> plain = referenceRgb(clip, static_cast<int>(k), head.quant, false);
        const fctest::Image withFilter = fctest::render(on, clip.width, clip.height);
        const double good = rgbPsnr(withFilter, smooth.data());
        EXPECT_GE(good, 35);
        // The filter changed the picture, the way the reference did.
        EXPECT_GT(good, rgbPsnr(withFilter, plain.data()) + 1);
        EXPECT_GE(rgbPsnr(fctest::render(off, clip.width, clip.height), clip.rgb.data() + rgbFrame * k), 35);
        const fctest::Image byFrame = fctest::render(asked, clip.width, clip.height);
        if (head.deblock)
            EXPECT_EQ(byFrame.pixels, withFilter.pixels);
        else
            EXPECT_EQ(byFrame.pixels, fctest::render(off, clip.width, clip.height).pixels);
        if (getenv("KV_VIDEO_VERBOSE"))
            printf("frame %zu quant %d flag %d: %.1f dB (unfiltered reference %.1f dB)\n", k, head.quant,
                   head.deblock, good, rgbPsnr(withFilter, plain.data()));
    }
}

TEST(Video, ScaledPicturesDrawnDirectlyEqualTheBitmapFill) {
    // A picture drawn by rows must equal the same picture drawn as a
    // bitmap-filled rectangle, whatever the scale, position, rectangle drawn,
    // quality and colour transform.
    const int w = 40, h = 24;
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    uint32_t seed = 99;
    for (uint32_t& p : px) p = 0xFF000000u | ((seed = seed * 1103515245u + 12345u) >> 8);
    BitmapData picture;
    picture.setPixels(w, h, px);
    ShapeData rect;
    rect.bounds = Rect{0, w * 20, 0, h * 20};
    rect.layers.resize(1);
    ShapeLayer& L = rect.layers[0];
    L.fills.resize(1);
    L.fills[0].kind = FillKind::Bitmap;
    L.fills[0].matrix = Matrix::scale(20, 20);
    L.fills[0].bitmapRepeat = false;
    L.fills[0].bitmap = &picture;
    const float xs[5] = {0, w * 20.0f, w * 20.0f, 0, 0}, ys[5] = {0, 0, h * 20.0f, h * 20.0f, 0};
    for (int i = 0; i < 4; ++i)
        L.edges.push_back({xs[i], ys[i], 0, 0, xs[i + 1], ys[i + 1], false, i == 0, 0, 1, 0});
    L.gatherFills();
    ColorTransform tint;
    tint.rMul = 90;
    tint.gAdd = 70;
    tint.aMul = 200;
    struct Case {
        double scale, sy;
        int tx, ty;
    } cases[] = {{3, 3, 5, 7}, {2.25, 2.25, -11, 3}, {1, 1, 0, 0}, {0.5, 2, 60, 40}, {4, 2, -40, -10}};
    const int cw = 120, ch = 90;
    for (const Case& c : cases)
        for (bool smooth : {true, false})
            for (int band = 0; band < 2; ++band)
                for (const ColorTransform& cx : {ColorTransform(), tint}) {
                    SCOPED_TRACE(c.scale * 1000 + c.tx + smooth * 7 + band * 13 + cx.isIdentity());
                    L.fills[0].bitmapSmooth = smooth;
                    const Matrix m{c.scale / 20, 0, 0, c.sy / 20, double(c.tx), double(c.ty)};
                    std::vector<uint32_t> want(static_cast<size_t>(cw) * ch, 0xFF336699u), got = want;
                    Renderer r;
                    r.setQuality(Quality::High);
                    r.canvas().attach(want.data(), cw, ch, cw);
                    if (band) {
                        r.canvas().setRows(20, 61);
                        r.canvas().setColumns(13, 77);
                    }
                    r.drawShape(rect, m, cx, false);
                    Canvas target;
                    target.attach(got.data(), cw, ch, cw);
                    if (band) {
                        target.setRows(20, 61);
                        target.setColumns(13, 77);
                    }
                    VideoScaler scaler;
                    ASSERT_TRUE(scaler.draw(target, picture, m * Matrix::scale(20, 20), smooth, cx));
                    for (size_t i = 0; i < want.size(); ++i)
                        ASSERT_EQ(got[i], want[i]) << i % cw << "," << i / cw;
                }
    // Rotated, mirrored or with edges inside pixels: left to the fill.
    Canvas target;
    std::vector<uint32_t> buf(static_cast<size_t>(cw) * ch);
    target.attach(buf.data(), cw, ch, cw);
    VideoScaler scaler;
    EXPECT_FALSE(scaler.draw(target, picture, Matrix{0, 1, -1, 0, 50, 0}, true, ColorTransform()));
    EXPECT_FALSE(scaler.draw(target, picture, Matrix{-1, 0, 0, 1, 50, 0}, true, ColorTransform()));
    EXPECT_FALSE(scaler.draw(target, picture, Matrix{1, 0, 0, 1, 0.5, 0}, true, ColorTransform()));
}
