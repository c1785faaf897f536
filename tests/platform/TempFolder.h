// A fresh folder per test, removed afterwards, and file helpers for ANSI paths.
#pragma once

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kvtest {

namespace fs = std::filesystem;

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

inline std::string ReadFileBytes(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    std::string out;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, n);
    std::fclose(f);
    return out;
}

inline bool FileExists(const std::string& path) { return ReadFileBytes(path) != "<missing>"; }

// Read-only the way the system marks files (the attribute on Windows, no write bits elsewhere).
inline void MakeReadOnly(const std::string& path) {
    fs::permissions(path, fs::perms::all, fs::perm_options::remove);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read,
                    fs::perm_options::add);
}

#ifndef _WIN32
// Runs `body` in a child that may not write `folder` (mode 0555; as root the
// child gives up its rights, since root may write anywhere); its exit code.
template <class Body>
int RunInReadOnlyFolder(const std::string& folder, Body body) {
    chmod(folder.c_str(), 0555);
    pid_t child = fork();
    if (child == 0) _exit(geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0) ? 99 : body());
    int status = 0;
    waitpid(child, &status, 0);
    chmod(folder.c_str(), 0755);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}
#endif

class TempFolder {
public:
    TempFolder() {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        do path_ = (fs::temp_directory_path() / ("kvtest" + std::to_string(stamp++))).string();
        while (!fs::create_directory(path_));
    }
    ~TempFolder() {
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(path_, ec))
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    static char sep() { return static_cast<char>(fs::path::preferred_separator); }
    std::string file(const std::string& name) const { return path_ + sep() + name; }
    // Number of files in the folder, to spot temporary files left behind.
    long fileCount() const { return std::distance(fs::directory_iterator(path_), fs::directory_iterator()); }

private:
    std::string path_;
};

}  // namespace kvtest
