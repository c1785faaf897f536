// swfrender MOVIE.swf FRAME OUT.png [WIDTH HEIGHT]
// Renders one frame (1-based) of a movie to a PNG: the stage size unless a
// size is given, show-all scale mode, high quality. The frame is reached as
// the control's GotoFrame reaches it, so its frame scripts have run.
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "flash/core/Player.h"
#include "tools/common/ReadFile.h"
#include "tools/jpegcodec/NativeJpeg.h"
#include "tools/swfrender/PngWriter.h"

static int usage() {
    std::fprintf(stderr, "usage: swfrender MOVIE.swf FRAME OUT.png [WIDTH HEIGHT]\n");
    return 2;
}

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) return usage();
    std::vector<uint8_t> data;
    if (!tools::readWholeFile(argv[1], data)) {
        std::fprintf(stderr, "swfrender: cannot open %s\n", argv[1]);
        return 1;
    }

    flash::Player player;
    flash::LibJpegDecoder jpeg;  // JPEG bitmaps
    player.setImageDecoder(&jpeg);
    if (!player.load(data.data(), data.size(), false)) {
        std::fprintf(stderr, "swfrender: %s is not a SWF movie\n", argv[1]);
        return 1;
    }
    long frame = std::strtol(argv[2], nullptr, 10);
    if (frame < 1 || frame > player.totalFrames()) {
        std::fprintf(stderr, "swfrender: frame %ld outside 1..%d\n", frame, player.totalFrames());
        return 1;
    }
    int width = player.stageWidth(), height = player.stageHeight();
    if (argc == 6) {
        width = std::atoi(argv[4]);
        height = std::atoi(argv[5]);
    }
    if (width <= 0 || height <= 0 || width > 16384 || height > 16384) {
        std::fprintf(stderr, "swfrender: bad size %dx%d\n", width, height);
        return 1;
    }
    player.gotoFrame(static_cast<int>(frame - 1));
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    player.render(pixels.data(), width, height, width, player.viewMatrix(width, height),
                  flash::Quality::High);
    if (!swfrender::writePng(argv[3], pixels.data(), width, height)) {
        std::fprintf(stderr, "swfrender: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
