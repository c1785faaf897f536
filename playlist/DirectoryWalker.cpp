#include "playlist/DirectoryWalker.h"

#include <deque>

#include "platform/AnsiText.h"

namespace kv {

namespace {

class Walker {
public:
    Walker(WalkVisitor& visitor, const WalkOptions& options) : visitor_(visitor), options_(options) {}

    // `path_` holds the folder with its separator; it is restored on return.
    bool walk(std::size_t depth) {
        visitor_.folderEntered(path_);
        if (levels_.size() <= depth) levels_.emplace_back();
        std::vector<FolderEntry>& entries = levels_[depth];
        entries.clear();
        if (!ListFolder(path_, entries)) return true;
        const std::size_t base = path_.size();
        // Files first; folders are remembered by their position in the listing.
        std::size_t folders = 0;
        for (FolderEntry& e : entries) {
            if (!visitor_.proceed()) return false;
            if (e.isFolder) {
                entries[folders++].name.swap(e.name);
                continue;
            }
            if (base + e.name.size() > options_.maxPathLength) continue;
            path_.append(e.name);
            bool go = visitor_.file(path_, base);
            path_.resize(base);
            if (!go) return false;
        }
        if (!options_.recursive) return true;
        for (std::size_t i = 0; i < folders; ++i) {
            if (!visitor_.proceed()) return false;
            // A folder is entered only when its own listing pattern still fits.
            if (base + entries[i].name.size() + 4 > options_.maxPathLength) continue;
            path_.append(entries[i].name);
            path_.push_back(kPathSeparator);
            bool go = walk(depth + 1);
            path_.resize(base);
            if (!go) return false;
        }
        return true;
    }

    std::string path_;

private:
    WalkVisitor& visitor_;
    const WalkOptions& options_;
    std::deque<std::vector<FolderEntry>> levels_;  // stable: a deeper level never moves this one
};

}  // namespace

bool WalkFolder(const std::string& folder, WalkVisitor& visitor, const WalkOptions& options) {
    Walker w(visitor, options);
    w.path_ = folder;
    if (!AnsiEndsWithChar(w.path_, kPathSeparator)) w.path_.push_back(kPathSeparator);
    return w.walk(0);
}

bool HasExtension(const std::string& path, std::size_t nameOffset,
                  const std::vector<std::string>& lowerExtensions) {
    // A trail byte of a two-byte character is never '.', so the last dot of
    // the name is found by a plain scan.
    std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameOffset) return false;
    std::size_t len = path.size() - dot;
    for (const std::string& ext : lowerExtensions) {
        if (ext.size() != len) continue;
        bool same = true;
        for (std::size_t i = 0; i < len && same; ++i) {
            char c = path[dot + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
            same = c == ext[i];
        }
        if (same) return true;
    }
    return false;
}

}  // namespace kv
