// The sound decoders on arbitrary data: the first byte is the format
// (uncompressed, ADPCM, MP3 through libmpg123, and the formats without a
// decoder), the second a split point: data before it is decoded as one
// piece (a DefineSound), the rest as three stream blocks. What comes out is
// mixed with in and out points, loops and an envelope from the data.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/sound/Mixer.h"
#include "flash/core/sound/SoundDecoder.h"
#include "tools/mp3codec/NativeMp3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static flash::Mpg123Codecs codecs;
    flash::SoundFormat format = flash::readSoundFormat(data[0]);
    size_t split = 2 + (size - 2) * data[1] / 255;
    auto dec = flash::newSoundDecoder(format, &codecs);
    if (!dec) return 0;
    auto pcm = std::make_shared<flash::PcmSound>();
    dec->decode(data + 2, split - 2, pcm->samples, 1 << 20);
    size_t rest = size - split, third = rest / 3;
    dec->reset();
    for (int i = 0; i < 3; ++i) dec->decode(data + split + i * third, third, pcm->samples, 1 << 18);
    pcm->rate = dec->rate();
    pcm->channels = dec->channels();
    if (pcm->samples.size() % static_cast<size_t>(pcm->channels)) __builtin_trap();  // whole frames only
    flash::ByteReader r(data + 2, size - 2);
    flash::SoundInfo info;
    flash::readSoundInfo(r, info);
    info.loops = info.loops % 4;
    flash::Mixer mixer;
    auto v = std::make_unique<flash::EventVoice>(pcm, info);
    v->pan = (data[1] - 128) / 100.0;
    mixer.add(std::move(v));
    // Short renders keep each run cheap; short inputs still reach the ends of
    // their sounds, loops and envelope points.
    std::vector<int16_t> out(2 * 512);
    for (int i = 0; i < 4; ++i) mixer.render(out.data(), 512);
    return 0;
}
