// Projectors: a stand-alone player program (the stub) with a movie and an
// 8-byte trailer appended (magic 0xFA123456, movie length, little-endian).
// None of these routines shows a message; they raise FileError and the
// caller decides what the user sees.
#pragma once

#include <string>

#include "flashfile/FileErrors.h"

namespace kv {

// Writes target = stub + movie + trailer. The inputs are held for exclusive use
// while they are copied. A target that is the same file as the source or the
// stub (under any name) is refused before anything is written. On a failure
// after the target was created, the partial target is deleted.
void SwfToExe(const std::string& source, const std::string& target, const std::string& stub);

// Writes the movie carried by the projector source to target. Returns false,
// writing nothing, when source has no trailer. Same refusals as SwfToExe.
bool ExeToSwf(const std::string& source, const std::string& target);

// Copies source over target in blocks, sharing the source for reading;
// refuses a target that is the source.
void CopyFileOver(const std::string& source, const std::string& target);

}  // namespace kv
