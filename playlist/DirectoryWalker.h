// Walks a folder tree the way the folder searches of the program do: the
// files of a folder first, in the order the file system lists them, then its
// sub-folders, depth first, in the same order.
//
// Each folder is listed once. Symbolic links and junctions to folders are not
// entered (so link loops cannot hang a search), folders that cannot be read
// are passed over, and paths longer than the limit are skipped. The visitor
// can stop the walk before any entry.
// Portable: the listing of one folder is the only platform part
// (FolderListing.cpp).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kv {

// One entry of a folder listing.
struct FolderEntry {
    std::string name;
    bool isFolder = false;  // a real folder, not a link to one
};

// Lists the entries of `folder` (which ends in the separator) into `out`,
// without "." and "..". False when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>& out);

// The separator of paths on this system: '\' on Windows, '/' elsewhere.
extern const char kPathSeparator;
// The longest path the file functions of this system accept (259 on Windows).
extern const std::size_t kMaxWalkPath;

class WalkVisitor {
public:
    virtual ~WalkVisitor() = default;
    // Called before each entry is looked at; false stops the whole walk.
    virtual bool proceed() { return true; }
    // A folder is about to be listed (its path ends in the separator).
    virtual void folderEntered(const std::string& /*folder*/) {}
    // A file (anything that is not a folder). `nameOffset` is where its name
    // starts in `path`. False stops the whole walk.
    virtual bool file(const std::string& path, std::size_t nameOffset) = 0;
};

struct WalkOptions {
    bool recursive = true;
    std::size_t maxPathLength = kMaxWalkPath;
};

// Walks `folder` (a separator is added when missing). True when the walk ran
// to its end, false when the visitor stopped it.
bool WalkFolder(const std::string& folder, WalkVisitor& visitor, const WalkOptions& options = {});

// True when the extension of the name that starts at `nameOffset` of `path`,
// with ASCII letters lower-cased, is one of `lowerExtensions` (each with its
// dot, in lower case).
bool HasExtension(const std::string& path, std::size_t nameOffset,
                  const std::vector<std::string>& lowerExtensions);

}  // namespace kv
