// A temporary folder for one test, and whole-file reading and writing through
// the program's own file layer (ANSI paths on Windows).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/ExclusiveFile.h"
#include "tools/swfwriter/SwfWriter.h"

namespace kvtest {

#ifdef _WIN32
constexpr const char* kSep = "\\";
#else
constexpr const char* kSep = "/";
#endif

class TempFolder {
public:
    TempFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::filesystem::path p = std::filesystem::temp_directory_path() /
                                  (std::string("kvff_") + info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(p);
        std::filesystem::create_directories(p);
        path_ = p.string();
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    // The path of a file in the folder.
    std::string operator/(const std::string& name) const { return path_ + kSep + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline void writeBytes(const std::string& path, const swfw::Bytes& data) {
    kv::ExclusiveFile f;
    ASSERT_EQ(f.open(path, kv::ExclusiveFile::Mode::Create), kv::ExclusiveFile::OpenStatus::Ok) << path;
    ASSERT_TRUE(f.write(data.data(), data.size()));
}

inline swfw::Bytes readBytes(const std::string& path) {
    kv::ExclusiveFile f;
    uint64_t size = 0;
    if (f.open(path, kv::ExclusiveFile::Mode::ReadShared) != kv::ExclusiveFile::OpenStatus::Ok ||
        !f.size(size))
        return {};
    swfw::Bytes b(static_cast<size_t>(size));
    size_t got = 0;
    f.readAt(0, b.data(), b.size(), got);
    b.resize(got);
    return b;
}

inline bool fileExists(const std::string& path) { return kv::ExclusiveFile::exists(path); }

}  // namespace kvtest
