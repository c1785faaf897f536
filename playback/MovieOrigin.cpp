#include "playback/MovieOrigin.h"

#include <set>

#include "platform/AnsiText.h"

namespace kv {

namespace {
std::set<std::string>& marks() {
    static std::set<std::string> s;
    return s;
}

// "http://host/a.swf", "ftp://..." and the like: a scheme of letters before "://".
bool isAddress(const std::string& path) {
    const std::size_t colon = path.find("://");
    if (colon == std::string::npos || colon < 2) return false;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = path[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    }
    return true;
}
}  // namespace

void MarkDownloadedMovie(const std::string& localPath) {
    if (!localPath.empty()) marks().insert(AnsiLowerAscii(localPath));
}

void ClearDownloadedMovies() { marks().clear(); }

bool IsDownloadedMovie(const std::string& path) {
    if (path.empty()) return false;
    return isAddress(path) || marks().count(AnsiLowerAscii(path)) != 0;
}

}  // namespace kv
