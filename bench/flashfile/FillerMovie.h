// Large test movies for the conversion timings: a real movie header followed
// by filler bytes (not zeros, so no file system can store them as holes).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/swfwriter/HeaderVariants.h"

namespace kvbench {

// Writes a movie of exactly `size` bytes; false when the file cannot be written.
inline bool writeFillerMovie(const std::string& path, size_t size) {
    swfw::Bytes head = swfw::headerMovie({});
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    std::fwrite(head.data(), 1, head.size(), f);
    std::vector<uint8_t> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    for (size_t left = size - head.size(); left > 0;) {
        size_t n = std::min(left, block.size());
        std::fwrite(block.data(), 1, n, f);
        left -= n;
    }
    return std::fclose(f) == 0;
}

}  // namespace kvbench
