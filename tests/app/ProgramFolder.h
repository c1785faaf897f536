// A temporary program folder for tests that run the real windows: the
// settings, playlists and other files the program writes land there.
#pragma once

#include <windows.h>

#include <string>

#include "platform/IniFile.h"

namespace kv::test {

class ProgramFolder {
public:
    ProgramFolder() {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        char name[MAX_PATH];
        GetTempFileNameA(tmp, "kvp", 0, name);
        DeleteFileA(name);
        CreateDirectoryA(name, nullptr);
        path_ = std::string(name) + "\\";
    }
    ~ProgramFolder() { removeTree(path_); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }
    void write(const std::string& name, const std::string& content) const {
        HANDLE h = CreateFileA(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &n, nullptr);
        CloseHandle(h);
    }
    std::string read(const std::string& name) const {
        std::string out;
        HANDLE h = CreateFileA(file(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return out;
        char buf[4096];
        DWORD n = 0;
        while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
        CloseHandle(h);
        return out;
    }
    bool exists(const std::string& name) const {
        return GetFileAttributesA(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    static void removeTree(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                std::string n = fd.cFileName;
                if (n == "." || n == "..") continue;
                std::string p = dir + n;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    removeTree(p + "\\");
                } else {
                    SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(p.c_str());
                }
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string path_;
};

}  // namespace kv::test
