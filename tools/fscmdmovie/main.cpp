// Writes a movie that sends FSCommands from its frame scripts and from a
// button, for trying the player's FSCommand guard by hand.
//   fscmdmovie OUT.swf [--frames N] [--rate R] [--stop FRAME]
//              [--at FRAME COMMAND ARGS]... [--button COMMAND ARGS]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/swfwriter/CommandMovie.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: fscmdmovie OUT.swf [--frames N] [--rate R] [--stop FRAME] "
                     "[--at FRAME COMMAND ARGS]... [--button COMMAND ARGS]\n");
        return 2;
    }
    swfw::CommandMovieSpec spec;
    for (int i = 2; i < argc; ++i) {
        const std::string opt = argv[i];
        const int left = argc - i - 1;
        if (opt == "--frames" && left >= 1) {
            spec.frames = std::max(1, std::atoi(argv[++i]));
        } else if (opt == "--rate" && left >= 1) {
            spec.rate = std::atof(argv[++i]);
        } else if (opt == "--stop" && left >= 1) {
            spec.stopAt = std::atoi(argv[++i]);
        } else if (opt == "--at" && left >= 3) {
            swfw::FrameCall c;
            c.frame = std::atoi(argv[i + 1]);
            c.command = argv[i + 2];
            c.args = argv[i + 3];
            spec.calls.push_back(c);
            i += 3;
        } else if (opt == "--button" && left >= 2) {
            spec.buttonCommand = argv[i + 1];
            spec.buttonArgs = argv[i + 2];
            i += 2;
        } else {
            std::fprintf(stderr, "fscmdmovie: bad option %s\n", opt.c_str());
            return 2;
        }
    }
    if (!swfw::writeFile(argv[1], swfw::commandMovie(spec))) {
        std::fprintf(stderr, "fscmdmovie: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
