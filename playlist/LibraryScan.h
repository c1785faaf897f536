// The folder scan of the playlist and favorites libraries.
// Portable: no Windows headers.
#pragma once

#include <string>
#include <vector>

namespace kv {

// Appends to `results` the full path of every file under `folder` whose
// extension equals one of `extensions` (each with its dot) without regard to
// ASCII case; a file is appended once for each extension of the list it
// matches. The files of a folder come first, in listing order, then those of
// its sub-folders when `recursive` is set. A missing folder adds nothing.
void SearchFilesByExt(const std::string& folder, bool recursive, const std::vector<std::string>& extensions,
                      std::vector<std::string>& results);

}  // namespace kv
