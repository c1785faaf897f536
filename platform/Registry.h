// Registry keys owned for the length of a scope. Values are ANSI strings
// (REG_SZ); failures to create a key or set a value raise RegistryError with
// the runtime's texts, so a caller stops where the write failed.
#pragma once

#include <windows.h>

#include <string>

#include "ui/RuntimeErrors.h"

namespace kv {

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { reset(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    RegKey(RegKey&& o) noexcept : key_(o.key_), path_(std::move(o.path_)) { o.key_ = nullptr; }
    RegKey& operator=(RegKey&& o) noexcept;

    // The key, or an empty object when it does not exist or cannot be opened.
    static RegKey open(HKEY root, const std::string& path, REGSAM access = KEY_READ);
    // The key, made with every missing key on its path; RegistryError when it
    // cannot be made or opened for writing.
    static RegKey create(HKEY root, const std::string& path);

    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }
    const std::string& path() const { return path_; }

    // A string value ("" names the default value); false when it is missing
    // or not a string.
    bool readString(const std::string& name, std::string& value) const;
    // Sets a REG_SZ value; RegistryError when refused.
    void writeString(const std::string& name, const std::string& value);

private:
    void reset();
    HKEY key_ = nullptr;
    std::string path_;
};

// True when the key exists.
bool RegKeyExists(HKEY root, const std::string& path);
// The default value of a key; false when the key or the value is missing.
bool RegReadDefault(HKEY root, const std::string& path, std::string& value);
// Sets the default value of a key, making the keys on its path first.
void RegWriteDefault(HKEY root, const std::string& path, const std::string& value);
// Deletes a key with everything below it. A key that does not exist counts
// as deleted; false only when an existing key could not be removed.
bool RegDeleteKeyTree(HKEY root, const std::string& path);

}  // namespace kv
