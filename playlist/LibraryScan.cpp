#include "playlist/LibraryScan.h"

#include "platform/AnsiText.h"
#include "playlist/DirectoryWalker.h"

namespace kv {

namespace {

class ExtensionCollector : public WalkVisitor {
public:
    ExtensionCollector(const std::vector<std::string>& extensions, std::vector<std::string>& results)
        : results_(results) {
        for (const std::string& e : extensions) lower_.push_back(AnsiLowerAscii(e));
    }
    bool file(const std::string& path, std::size_t nameOffset) override {
        for (const std::string& e : lower_)
            if (HasExtension(path, nameOffset, {e})) results_.push_back(path);
        return true;
    }

private:
    std::vector<std::string> lower_;
    std::vector<std::string>& results_;
};

}  // namespace

void SearchFilesByExt(const std::string& folder, bool recursive, const std::vector<std::string>& extensions,
                      std::vector<std::string>& results) {
    if (folder.empty()) return;
    ExtensionCollector collector(extensions, results);
    WalkOptions options;
    options.recursive = recursive;
    WalkFolder(folder, collector, options);
}

}  // namespace kv
