// swfaudio MOVIE.swf OUT.wav [START LENGTH]
// Plays a movie from its first frame as the control does, without a window,
// and writes what it sounds like from START for LENGTH seconds (default: the
// first 10 s) as a 44.1 kHz 16-bit stereo WAV file. While a stream sound
// plays, the frames follow it; otherwise they advance at the movie's rate.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "flash/core/Player.h"
#include "tools/common/ReadFile.h"
#include "tools/mp3codec/NativeMp3.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: swfaudio MOVIE.swf OUT.wav [START LENGTH]\n");
    return 2;
}

void put32(std::FILE* f, uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    std::fwrite(b, 1, 4, f);
}

void put16(std::FILE* f, uint16_t v) {
    uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

bool writeWav(const char* path, const std::vector<int16_t>& samples) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);  // PCM
    put16(f, 2);
    put32(f, flash::kMixRate);
    put32(f, flash::kMixRate * 4);
    put16(f, 4);
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, bytes);
    for (int16_t s : samples) put16(f, static_cast<uint16_t>(s));
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) return usage();
    double start = argc == 5 ? std::atof(argv[3]) : 0;
    double length = argc == 5 ? std::atof(argv[4]) : 10;
    if (start < 0 || length <= 0 || start + length > 24 * 3600) return usage();
    std::vector<uint8_t> data;
    if (!tools::readWholeFile(argv[1], data)) {
        std::fprintf(stderr, "swfaudio: cannot open %s\n", argv[1]);
        return 1;
    }

    flash::Player player;
    flash::Mpg123Codecs codecs;
    player.setAudioCodecs(&codecs);
    if (!player.load(data.data(), data.size(), true)) {
        std::fprintf(stderr, "swfaudio: %s is not a SWF movie\n", argv[1]);
        return 1;
    }
    const uint64_t from = static_cast<uint64_t>(start * flash::kMixRate);
    const uint64_t to = from + static_cast<uint64_t>(length * flash::kMixRate);
    const size_t chunk = flash::kMixRate / 100;  // 10 ms, as an output buffer would ask
    std::vector<int16_t> out, piece(chunk * 2);
    double owed = 0;  // frames the clock owes while no stream leads
    for (uint64_t t = 0; t < to; t += chunk) {
        player.sound().render(piece.data(), chunk);
        for (size_t i = 0; i < chunk; ++i)
            if (t + i >= from && t + i < to) out.insert(out.end(), {piece[2 * i], piece[2 * i + 1]});
        owed += static_cast<double>(chunk) / flash::kMixRate * player.frameRate();
        int due = player.streamFramesDue(player.sound().rendered());
        if (due >= 0) {
            owed = 0;
        } else {
            due = static_cast<int>(owed);
            owed -= due;
        }
        for (int i = 0; i < due; ++i) player.tick();
    }
    if (!writeWav(argv[2], out)) {
        std::fprintf(stderr, "swfaudio: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("frame %d\n", player.currentFrame() + 1);
    return 0;
}
