// A fresh folder for one test, removed with its files afterwards, and small
// file helpers that work with ANSI paths in both builds.
#pragma once

#include <cstdio>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace kvtest {

#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline std::string ReadFileBytes(const std::string& path) {
    std::string out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    std::fclose(f);
    return out;
}

inline bool FileExists(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f) std::fclose(f);
    return f != nullptr;
}

class TempFolder {
public:
    TempFolder() {
#ifdef _WIN32
        char base[MAX_PATH];
        GetTempPathA(MAX_PATH, base);
        static unsigned counter = 0;
        for (;;) {
            path_ = std::string(base) + "kvtest" + std::to_string(GetCurrentProcessId()) + "_" +
                    std::to_string(++counter);
            if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        }
#else
        char tmpl[] = "/tmp/kvtestXXXXXX";
        path_ = ::mkdtemp(tmpl);
#endif
    }
    ~TempFolder() { RemoveTree(path_); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + kSep + name; }
    // Names of the files in the folder (not recursive), for spotting leftovers.
    std::size_t fileCount() const {
        std::size_t n = 0;
#ifdef _WIN32
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((path_ + "\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return 0;
        do {
            if (std::string(fd.cFileName) != "." && std::string(fd.cFileName) != "..") ++n;
        } while (FindNextFileA(h, &fd));
        FindClose(h);
#else
        std::string cmd = "ls -A '" + path_ + "' | wc -l";
        if (std::FILE* p = ::popen(cmd.c_str(), "r")) {
            unsigned long v = 0;
            if (std::fscanf(p, "%lu", &v) == 1) n = v;
            ::pclose(p);
        }
#endif
        return n;
    }

private:
    static void RemoveTree(const std::string& dir) {
#ifdef _WIN32
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string name = fd.cFileName;
                if (name == "." || name == "..") continue;
                std::string p = dir + "\\" + name;
                SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(p);
                else
                    DeleteFileA(p.c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
#else
        std::string cmd = "chmod -R u+rwx '" + dir + "' 2>/dev/null; rm -rf '" + dir + "'";
        if (std::system(cmd.c_str()) != 0) return;
#endif
    }

    std::string path_;
};

}  // namespace kvtest
