// Loads arbitrary bytes, plays and renders the first frames, seeks back and
// renders again, in all three qualities.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "flash/core/Player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    flash::Player player;
    player.setFSCommandHandler([](const std::string&, const std::string&) {});
    player.engine().actionBudget = 4000;
    player.engine().tickBudget = 16000;
    if (!player.load(data, size)) return 0;
    const int w = 64, h = 48;
    std::vector<uint32_t> pixels(w * h);
    const flash::Quality qualities[] = {flash::Quality::High, flash::Quality::Medium, flash::Quality::Low};
    for (int i = 0; i < 3; ++i) {
        player.render(pixels.data(), w, h, w, player.viewMatrix(w, h), qualities[i]);
        player.tick();
    }
    // The pointer over a few points, pressing and releasing: buttons and
    // clip mouse events.
    for (int i = 0; i < 6; ++i) {
        double x = (i * 13) % w, y = (i * 7) % h;
        player.mouseMove(x, y);
        i % 2 == 0 ? player.mouseDown(x, y) : player.mouseUp(x, y);
    }
    (void)player.wantsHandCursor();
    player.gotoFrame(0);
    player.setScaleMode(flash::ScaleMode::NoBorder);
    player.zoom(50);
    player.render(pixels.data(), w, h, w);
    return 0;
}
