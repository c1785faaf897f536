// Where the movie being played came from. URL playback marks the local copy
// it downloads, so that commands of a movie from an address can be treated
// with more care than those of a movie the user keeps on disk.
#pragma once

#include <string>

namespace kv {

// Records that the file at `localPath` was downloaded from an address.
void MarkDownloadedMovie(const std::string& localPath);
// Forgets every mark (tests; a new run starts with none).
void ClearDownloadedMovies();
// True for a marked file and for an item that is itself an address
// ("scheme://..."). Paths are compared without regard to ASCII case.
bool IsDownloadedMovie(const std::string& path);

}  // namespace kv
