// Movies made of sound tags with arbitrary bodies: the data is cut at 0xFF
// 0xFE pairs into pieces, each piece's first byte picks a sound tag
// (DefineSound, StartSound/2, DefineButtonSound, stream heads and blocks,
// ExportAssets) or ShowFrame, the rest is its body. The movie plays with
// gotos, stops and restarts while its sound is mixed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/core/Player.h"
#include "tools/mp3codec/NativeMp3.h"
#include "tools/swfwriter/SwfWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint16_t kCodes[] = {14, 15, 89, 17, 18, 45, 19, 19, 19, 56, 1, 1};
    static flash::Mpg123Codecs codecs;
    swfw::Movie m;
    m.frameRate = 12;
    size_t i = 0;
    while (i < size) {
        size_t j = i;
        while (j + 1 < size && !(data[j] == 0xFF && data[j + 1] == 0xFE)) ++j;
        if (j + 1 >= size) j = size;
        uint16_t code = kCodes[data[i] % (sizeof kCodes / sizeof kCodes[0])];
        swfw::Bytes body(data + i + 1 < data + j ? data + i + 1 : data + j, data + j);
        m.add(swfw::tag(code, code == 1 ? swfw::Bytes() : body));
        i = j + 2;
    }
    m.showFrame();
    swfw::Bytes movie = m.build();
    flash::Player player;
    player.setAudioCodecs(&codecs);
    if (!player.load(movie.data(), movie.size())) return 0;
    std::vector<int16_t> out(2 * 256);  // short renders keep each run cheap
    for (int k = 0; k < 10; ++k) {
        player.sound().render(out.data(), 256);
        player.tick();
        if (k == 4) player.gotoFrame(player.totalFrames() / 2);
        if (k == 6) player.stop();
        if (k == 7) player.play();
        player.streamFramesDue(player.sound().rendered());
    }
    return 0;
}
