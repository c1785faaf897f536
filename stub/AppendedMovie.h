// The movie a projector carries: the stub program, then the movie, then an
// 8-byte trailer (magic bytes 56 34 12 FA, the movie length as a
// little-endian 32-bit number).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// Where the movie lies in a file of fileSize bytes whose last 8 bytes are
// `trailer`. False when the trailer is missing or names an impossible length.
bool locateAppendedMovie(const uint8_t trailer[8], uint64_t fileSize, uint64_t& offset, uint32_t& length);

// Reads the movie appended to the file at path (shared for reading and
// writing); false when there is none.
bool readAppendedMovie(const std::string& path, std::vector<uint8_t>& movie);

// The longest movie a projector may carry.
constexpr uint32_t kMaxAppendedMovie = 256u * 1024 * 1024;

}  // namespace kv
