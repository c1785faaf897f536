// Tones made by Debian's encoders (sox for PCM, lame for MP3; ADPCM with our
// own encoder from sox's samples), played through the engine and checked by
// frequency (FFT peak) and level.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/flashcore/SoundSupport.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/mp3codec/NativeMp3.h"

namespace {

using namespace fctest;

class Golden : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/kvsound.XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

    // Runs a shell command in the test's folder; true on success.
    bool run(const std::string& cmd) {
        return std::system(("cd '" + dir_ + "' && " + cmd + " >/dev/null 2>&1").c_str()) == 0;
    }
    swfw::Bytes read(const std::string& name) {
        std::ifstream f(dir_ + "/" + name, std::ios::binary);
        return swfw::Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    // sox's sine: raw signed 16-bit (or 8-bit unsigned) samples.
    swfw::Bytes sox(double freq, int rate, int channels, double amplitude, double seconds, const char* enc) {
        char cmd[256];
        std::snprintf(cmd, sizeof cmd, "sox -n -r %d -c %d %s tone.raw synth %g sine %g vol %g", rate,
                      channels, enc, seconds, freq, amplitude);
        EXPECT_TRUE(run(cmd)) << "sox is needed (scripts/setup.sh installs it)";
        return read("tone.raw");
    }
    // The engine's rendering of a movie whose first frame starts sound 1.
    std::vector<int16_t> playSound(const swfw::Bytes& defineTag, double seconds) {
        swfw::Movie m;
        m.add(defineTag);
        m.add(swfw::startSound(1));
        m.showFrame();
        flash::Player p;
        p.setAudioCodecs(&codecs_);
        EXPECT_TRUE(load(p, m.build()));
        return play(p, seconds);
    }

    std::string dir_;
    flash::Mpg123Codecs codecs_;
};

struct PcmCase {
    const char* name;
    int codec, rateCode, rate, channels;
    bool sixteen;
    const char* soxEncoding;
    double freq, amplitude;
};

TEST_F(Golden, UncompressedAndAdpcmTones) {
    const PcmCase cases[] = {
        {"16-bit LE 44.1k", 3, 3, 44100, 1, true, "-b 16 -e signed -L", 1000, 0.5},
        {"16-bit BE native 22k", 0, 2, 22050, 1, true, "-b 16 -e signed -B", 440, 0.25},
        {"16-bit LE native stereo 11k", 0, 1, 11025, 2, true, "-b 16 -e signed -L", 880, 0.5},
        {"8-bit 5.5k", 3, 0, 5512, 1, false, "-b 8 -e unsigned", 300, 0.5},
        {"ADPCM 2-bit 22k", 1, 2, 22050, 1, true, "-b 16 -e signed -L", 440, 0.5},
        {"ADPCM 3-bit 44k", 1, 3, 44100, 1, true, "-b 16 -e signed -L", 2000, 0.5},
        {"ADPCM 4-bit 11k stereo", 1, 1, 11025, 2, true, "-b 16 -e signed -L", 660, 0.5},
        {"ADPCM 5-bit 5.5k", 1, 0, 5512, 1, true, "-b 16 -e signed -L", 500, 0.5},
    };
    for (const PcmCase& c : cases) {
        SCOPED_TRACE(c.name);
        swfw::Bytes raw = sox(c.freq, c.rate, c.channels, c.amplitude, 1, c.soxEncoding);
        size_t width = c.sixteen ? 2 : 1;
        uint32_t frames = static_cast<uint32_t>(raw.size() / width / c.channels);
        swfw::Bytes data = raw;
        if (c.codec == 1) {
            std::vector<int16_t> s(raw.size() / 2);
            for (size_t i = 0; i < s.size(); ++i)
                s[i] = static_cast<int16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
            data = swfw::encodeAdpcm(s, c.channels, 2 + (&c - cases) % 4);
        }
        auto out =
            playSound(swfw::defineSound(1, swfw::soundFormat(c.codec, c.rateCode, c.sixteen, c.channels == 2),
                                        frames, data),
                      1);
        EXPECT_NEAR(peakFrequency(out, 4000), c.freq, c.freq * 0.005);
        EXPECT_NEAR(peakFrequency(out, 4000, 1), c.freq, c.freq * 0.005);
        double tolerance = c.codec == 1 && (&c - cases) % 4 == 0 ? 1.5 : 0.6;  // 2-bit ADPCM is coarse
        EXPECT_NEAR(levelDb(out, 4000, 16384), 20 * std::log10(c.amplitude), tolerance);
    }
}

struct Mp3Case {
    int rate, rateCode, channels, kbps;
    double freq, amplitude;
};

TEST_F(Golden, Mp3TonesAtEverySwfRate) {
    const Mp3Case cases[] = {
        {44100, 3, 2, 128, 1000, 0.5},
        {22050, 2, 1, 64, 440, 0.5},
        {11025, 1, 1, 32, 700, 0.25},
        {11025, 1, 2, 32, 300, 0.5},
    };
    for (const Mp3Case& c : cases) {
        SCOPED_TRACE(c.rate);
        sox(c.freq, c.rate, c.channels, c.amplitude, 1.5, "-b 16 -e signed -L");
        char cmd[256];
        std::snprintf(
            cmd, sizeof cmd,
            "lame -r -s %g --bitwidth 16 --signed --little-endian -m %s -b %d -t --quiet tone.raw tone.mp3",
            c.rate / 1000.0, c.channels == 2 ? "j" : "m", c.kbps);
        ASSERT_TRUE(run(cmd)) << "lame is needed (scripts/setup.sh installs it)";
        swfw::Bytes mp3 = read("tone.mp3");
        ASSERT_FALSE(mp3.empty());
        // lame's own delay (576 + 529 samples) is the sound's seek samples.
        auto out = playSound(swfw::defineSound(1, swfw::soundFormat(2, c.rateCode, true, c.channels == 2),
                                               static_cast<uint32_t>(c.rate * 1.5), mp3, 1105),
                             1.5);
        EXPECT_NEAR(peakFrequency(out, 8000), c.freq, c.freq * 0.005);
        EXPECT_NEAR(levelDb(out, 8000, 16384), 20 * std::log10(c.amplitude), 0.6);
        // The delay is gone: sound from the very start.
        EXPECT_GT(levelDb(out, 0, 200), 20 * std::log10(c.amplitude) - 6);
    }
}

// An MP3 stream (frames distributed over SWF frames the way authoring
// programs do: each block takes the MP3 frames due by its frame's end)
// leads the timeline within one frame after a minute.
TEST_F(Golden, Mp3StreamStaysInStepForAMinute) {
    for (double fps : {12.0, 24.0, 30.0}) {
        SCOPED_TRACE(fps);
        sox(440, 22050, 1, 0.5, 62, "-b 16 -e signed -L");
        ASSERT_TRUE(
            run("lame -r -s 22.05 --bitwidth 16 --signed --little-endian -m m -b 32 -t --quiet tone.raw "
                "tone.mp3"));
        swfw::Movie m = mp3StreamMovie(read("tone.mp3"), 2, fps);
        flash::Player p;
        p.setAudioCodecs(&codecs_);
        ASSERT_TRUE(load(p, m.build()));
        const uint64_t latency = 4410;
        auto out = play(p, 60, latency);
        int heard = p.sound().streamFrameAt(p.engine().root(), p.sound().rendered() - latency);
        EXPECT_NEAR(p.currentFrame(), heard, 1);
        // A block ends with the MP3 frame that passes its frame's end, so
        // its sound runs up to 576 samples (0.8 frame at 30 fps) into the
        // next frame's time.
        EXPECT_NEAR(p.currentFrame(), (60 - 0.1) * fps, 2);
        EXPECT_NEAR(peakFrequency(out, 44100 * 59), 440, 3);
    }
}

}  // namespace
