// A tiny file system mounted for one test (a tmpfs of a few hundred KB), to
// see how writing fails on a full disk and on a read-only one: file modes do
// not stop root, a read-only mount does. Mounting needs a Linux host where the
// tests may mount (root with CAP_SYS_ADMIN); natively the shell runs through
// system(), under Wine through CreateProcess, which starts a Unix program
// directly. Where that is impossible ok() is false and the test skips.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform/ExclusiveFile.h"

namespace kvtest {

class SmallDisk {
public:
    explicit SmallDisk(size_t bytes) {
        static int counter = 0;
        const std::string name = "kv-disk-" + std::to_string(processId()) + "-" + std::to_string(++counter);
        unixDir_ = "/tmp/" + name;
        if (!hostAvailable()) return;
        tmp_ = hostPath("/tmp");
        if (tmp_.empty()) return;
        path_ = tmp_ + sep() + name;
        ok_ = shell("mkdir -p " + unixDir_ + " && mount -t tmpfs -o size=" + std::to_string(bytes) +
                    ",mode=0777 kvtest " + unixDir_);
        mounted_ = ok_;
    }
    ~SmallDisk() {
        if (mounted_) shell("umount " + unixDir_ + " || umount -l " + unixDir_);
        if (!path_.empty()) shell("rmdir " + unixDir_);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool ok() const { return ok_; }
    // The mount point as the program names it, without a trailing separator.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + sep() + name; }
    // From now on nothing can be created, changed or removed on the disk.
    bool makeReadOnly() { return shell("mount -o remount,ro " + unixDir_); }

    // Why a test skips when ok() is false.
    static const char* skipReason() { return "cannot mount a small tmpfs here (needs root on a Linux host)"; }

private:
    static const char* sep() {
#ifdef _WIN32
        return "\\";
#else
        return "/";
#endif
    }

#ifdef _WIN32
    static unsigned long processId() { return GetCurrentProcessId(); }
    // Wine's own exports; absent on Windows.
    static FARPROC wineExport(const char* module, const char* name) {
        HMODULE m = GetModuleHandleA(module);
        return m ? GetProcAddress(m, name) : nullptr;
    }
    static bool hostAvailable() { return wineExport("ntdll.dll", "wine_get_version") != nullptr; }
    static std::string hostPath(const std::string& unixPath) {
        using ToDos = WCHAR* (*)(const char*);
        auto toDos = reinterpret_cast<ToDos>(
            reinterpret_cast<void*>(wineExport("kernel32.dll", "wine_get_dos_file_name")));
        if (!toDos) return {};
        WCHAR* w = toDos(unixPath.c_str());
        if (!w) return {};
        char out[MAX_PATH] = {};
        WideCharToMultiByte(CP_ACP, 0, w, -1, out, sizeof out, nullptr, nullptr);
        HeapFree(GetProcessHeap(), 0, w);
        return out;
    }
    // A Unix process started from Wine has no handle to wait on: the script
    // leaves a mark beside the mount point when it ends.
    bool shell(const std::string& script) const {
        const std::string mark = unixDir_ + ".done", okMark = unixDir_ + ".ok";
        std::string cmd = "/bin/sh -c \"rm -f " + mark + " " + okMark + "; (" + script +
                          ") >/dev/null 2>&1 && touch " + okMark + "; touch " + mark + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        if (pi.hProcess) CloseHandle(pi.hProcess);
        if (pi.hThread) CloseHandle(pi.hThread);
        const std::string doneDos = path_ + ".done", okDos = path_ + ".ok";
        for (int i = 0; i < 1000; ++i) {
            if (kv::ExclusiveFile::exists(doneDos)) {
                bool ok = kv::ExclusiveFile::exists(okDos);
                kv::ExclusiveFile::remove(doneDos);
                kv::ExclusiveFile::remove(okDos);
                return ok;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
#else
    static long processId() { return static_cast<long>(getpid()); }
    static bool hostAvailable() { return geteuid() == 0; }
    static std::string hostPath(const std::string& unixPath) { return unixPath; }
    bool shell(const std::string& script) const {
        return std::system(("(" + script + ") >/dev/null 2>&1").c_str()) == 0;
    }
#endif

    std::string unixDir_, tmp_, path_;
    bool ok_ = false, mounted_ = false;
};

}  // namespace kvtest
