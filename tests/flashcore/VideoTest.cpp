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

#include "flash/core/video/H263Decoder.h"
#include "tests/flashcore/TestSupport.h"

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
bool makeClip(Clip& clip, int w, int h, int frames, int gop, const std::string& source = "testsrc") {
    char dir[] = "/tmp/kvvideoXXXXXX";
    if (!mkdtemp(dir)) return false;
    std::string d = dir;
    std::string size = std::to_string(w) + "x" + std::to_string(h);
    std::string cmd = "ffmpeg -loglevel error -y -f lavfi -i " + source + "=size=" + size +
                      ":rate=15 -frames:v " + std::to_string(frames) + " -c:v flv -g " + std::to_string(gop) +
                      " -q:v 3 " + d + "/v.flv && ffmpeg -loglevel error -y -i " + d +
                      "/v.flv -f rawvideo -pix_fmt yuv420p " + d + "/v.yuv && ffmpeg -loglevel error -y -i " +
                      d + "/v.flv -f rawvideo -pix_fmt rgb24 " + d + "/v.rgb";
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
