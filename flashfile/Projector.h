// Projectors: a stand-alone player program (the stub) with a movie and an
// 8-byte trailer appended (magic 0xFA123456, movie length, little-endian).
// None of these routines shows a message; they raise FileError and the
// caller decides what the user sees.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "flashfile/FileErrors.h"

namespace kv {

// The largest movie the player and the projector stub accept; conversions
// refuse larger movies so that no projector is built that cannot play.
constexpr uint64_t kMaxConvertedMovie = 256ull << 20;

// Watches a conversion: `progress` is told the bytes written so far and the
// bytes the target will have, after every block (a window can repaint and run
// its message loop there); `written` holds the target's size on success.
struct CopyWatch {
    std::function<void(uint64_t done, uint64_t total)> progress;
    uint64_t written = 0;
};

// Writes target = stub + movie + trailer. The stub, then the movie, is held
// for exclusive use while it is copied (one after the other, so a running bare
// stub does not block the movie). A target that is the same file as the source
// or the stub (under any name) is refused, and so is a movie larger than
// kMaxConvertedMovie. The data goes to a temporary file beside the target that
// replaces the target only when complete: a failure leaves an existing target
// as it was and no partial file.
void SwfToExe(const std::string& source, const std::string& target, const std::string& stub,
              CopyWatch* watch = nullptr);

// Writes the movie carried by the projector source to target. Returns false,
// writing nothing, when source has no trailer. Same refusals and the same
// temporary file as SwfToExe.
bool ExeToSwf(const std::string& source, const std::string& target, CopyWatch* watch = nullptr);

// Copies source over target in blocks, sharing the source for reading;
// refuses a target that is the source. Same temporary file as SwfToExe.
void CopyFileOver(const std::string& source, const std::string& target, CopyWatch* watch = nullptr);

}  // namespace kv
