// Parses arbitrary bytes as a movie: container, tags, shapes, sprites.
#include <cstddef>
#include <cstdint>

#include "flash/core/Movie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    flash::MovieDef movie;
    if (movie.load(data, size)) {
        const flash::TimelineDef& root = movie.root();
        root.stateAt(root.frameCount() - 1);
    }
    return 0;
}
