// Gradient colour tables, kept between frames: a movie shows the same
// gradients under the same colour transforms frame after frame, and a table
// costs far more to build than to look up.
#pragma once

#include <cstdint>
#include <memory>

#include "flash/core/Shape.h"
#include "flash/core/Types.h"

namespace flash {

class GradientCache {
public:
    // The 256-entry table of g under cx (premultiplied colours). The pointer
    // stays valid until the next call.
    const uint32_t* table(const Gradient& g, const ColorTransform& cx);

private:
    // Two ways of 256 sets: a scene's hundred-odd gradients rarely evict
    // each other.
    static const int kSets = 256;
    static const int kEntries = 2 * kSets;
    // linearRgb, stop count, 5 bytes a stop (at most 16 stops), transform.
    static const int kMaxKey = 2 + 16 * 5 + 16;
    struct Entry {
        bool used = false;
        uint32_t stamp = 0;  // when last used
        uint8_t keyLen = 0;
        uint8_t key[kMaxKey];
        uint32_t table[256];
    };
    std::unique_ptr<Entry[]> entries_;
    uint32_t clock_ = 0;
};

}  // namespace flash
