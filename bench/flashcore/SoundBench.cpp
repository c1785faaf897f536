// Decoding and mixing eight MP3 stream voices for ten seconds of sound; the
// time of one iteration in ms divided by 100 is the share of one core in %. The MP3
// is made by sox and lame when the benchmark starts (44.1 kHz stereo
// 128 kbit/s, the heaviest common case, and 22.05 kHz mono 32 kbit/s, the
// usual one in movies).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/sound/Mixer.h"
#include "flash/core/sound/Mp3Header.h"
#include "tools/mp3codec/NativeMp3.h"

namespace {

std::vector<uint8_t> makeMp3(int rate, int channels, int kbps) {
    std::string dir = "/tmp/kv_soundbench";
    char cmd[512];
    std::snprintf(
        cmd, sizeof cmd,
        "mkdir -p %s && sox -n -r %d -c %d -b 16 -e signed -L %s/t.raw synth 20 sine 440 sine 660 vol 0.3 "
        "2>/dev/null && lame -r -s %g --bitwidth 16 --signed --little-endian -m %s -b %d -t --quiet "
        "%s/t.raw %s/t.mp3",
        dir.c_str(), rate, channels, dir.c_str(), rate / 1000.0, channels == 2 ? "j" : "m", kbps, dir.c_str(),
        dir.c_str());
    if (std::system(cmd) != 0) return {};
    std::ifstream f(dir + "/t.mp3", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

// A stream of 12 blocks a second, each the MP3 frames due by its end.
std::unique_ptr<flash::StreamDef> streamOf(const std::vector<uint8_t>& mp3, flash::SoundFormat format) {
    auto s = std::make_unique<flash::StreamDef>();
    s->head.format = format;
    size_t i = 0;
    long written = 0;
    for (int k = 0; i < mp3.size(); ++k) {
        long due = static_cast<long>((k + 1) * format.rate / 12);
        size_t start = i;
        flash::Mp3Header h;
        while (written < due && i + 4 <= mp3.size() && flash::readMp3Header(mp3.data() + i, h) &&
               i + h.size <= mp3.size()) {
            i += h.size;
            written += h.samples;
        }
        if (i == start) break;
        flash::StreamBlock b;
        b.data.data = mp3.data() + start;
        b.data.size = i - start;
        s->blocks.push_back(b);
    }
    s->firstBlock = 0;
    s->lastBlock = static_cast<int>(s->blocks.size()) - 1;
    return s;
}

void eightVoices(benchmark::State& state, int rate, int rateCode, int channels, int kbps) {
    static std::vector<uint8_t> mp3[2];
    std::vector<uint8_t>& data = mp3[rateCode == 3 ? 0 : 1];
    if (data.empty()) data = makeMp3(rate, channels, kbps);
    if (data.empty()) {
        state.SkipWithError("sox and lame are needed");
        return;
    }
    flash::SoundFormat f;
    f.codec = flash::SoundCodec::Mp3;
    f.rate = rate;
    f.stereo = channels == 2;
    auto stream = streamOf(data, f);
    flash::Mpg123Codecs codecs;
    const size_t chunk = 1024;
    const size_t seconds = 10;
    std::vector<int16_t> out(chunk * 2);
    for (auto _ : state) {
        flash::Mixer mixer;
        for (int v = 0; v < 8; ++v)
            mixer.add(std::make_unique<flash::StreamVoice>(*stream, v * 10, 12, &codecs, 0));
        for (size_t done = 0; done < seconds * 44100; done += chunk) mixer.render(out.data(), chunk);
        benchmark::DoNotOptimize(out.data());
    }
    // One iteration is ten seconds of sound: its time in milliseconds,
    // divided by 100, is the share of one core in per cent.
    state.counters["sound_s"] = static_cast<double>(seconds);
}

}  // namespace

BENCHMARK_CAPTURE(eightVoices, mp3_44k_stereo_128k, 44100, 3, 2, 128)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK_CAPTURE(eightVoices, mp3_22k_mono_32k, 22050, 2, 1, 32)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
