// Reads a whole file for the native developer tools; false if it cannot be
// opened.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

namespace tools {

inline bool readWholeFile(const char* path, std::vector<uint8_t>& out) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t buf[65536];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

}  // namespace tools
