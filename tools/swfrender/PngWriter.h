// Writes 8-bit RGBA PNG files with zlib (no other image library needed).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace swfrender {

// pixels: premultiplied 0xAARRGGBB, width * height, rows top to bottom.
// The file stores straight (unpremultiplied) RGBA.
std::vector<uint8_t> encodePng(const uint32_t* pixels, int width, int height);
bool writePng(const std::string& path, const uint32_t* pixels, int width, int height);

}  // namespace swfrender
