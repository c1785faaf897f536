// Times the folder walker of the directory search over a folder tree: every
// ".swf" and ".exe" file is counted, as the search adds them. Builds natively
// and for Windows (run under Wine with a Z:\ path); walk_compare.sh runs it
// beside find on the same tree.
//   walk_timing <folder> [runs]       prints the files found and the median time
//   walk_timing --make <folder>       makes the tree: 5,000 folders, 100,000 files
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "playlist/DirectoryWalker.h"

#ifdef _WIN32
#include <direct.h>
#define MakeDir(p) _mkdir(p)
#else
#include <sys/stat.h>
#define MakeDir(p) mkdir(p, 0755)
#endif

namespace {

struct MovieCounter : kv::WalkVisitor {
    long files = 0;
    bool file(const std::string& path, std::size_t nameOffset) override {
        if (kv::HasExtension(path, nameOffset, {".swf", ".exe"})) ++files;
        return true;
    }
};

// 50 top folders of 99 sub-folders each (5,000 folders with the top ones),
// 20 files per folder: 10 ".swf", 5 ".EXE", 5 ".txt".
void MakeTree(const std::string& root) {
    const char sep = kv::kPathSeparator;
    MakeDir(root.c_str());
    auto files = [](const std::string& dir) {
        for (int i = 0; i < 20; ++i) {
            const char* ext = i < 10 ? ".swf" : i < 15 ? ".EXE" : ".txt";
            std::string p = dir + "movie_" + std::to_string(i) + ext;
            if (std::FILE* f = std::fopen(p.c_str(), "wb")) std::fclose(f);
        }
    };
    for (int t = 0; t < 50; ++t) {
        std::string top = root + sep + "top" + std::to_string(t) + sep;
        MakeDir(top.c_str());
        files(top);
        for (int s = 0; s < 99; ++s) {
            std::string sub = top + "folder" + std::to_string(s) + sep;
            MakeDir(sub.c_str());
            files(sub);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--make") {
        MakeTree(argv[2]);
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: walk_timing <folder> [runs] | --make <folder>\n");
        return 2;
    }
    int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    std::vector<double> ms;
    long found = 0;
    for (int r = 0; r < runs; ++r) {
        MovieCounter c;
        auto t0 = std::chrono::steady_clock::now();
        kv::WalkFolder(argv[1], c);
        auto t1 = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        found = c.files;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("files %ld median %.1f ms (min %.1f, max %.1f, %d runs)\n", found, ms[ms.size() / 2], ms.front(),
                ms.back(), runs);
    return 0;
}
