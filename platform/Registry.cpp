#include "platform/Registry.h"

#include <algorithm>
#include <vector>

namespace kv {

RegKey& RegKey::operator=(RegKey&& o) noexcept {
    if (this != &o) {
        reset();
        key_ = o.key_;
        path_ = std::move(o.path_);
        o.key_ = nullptr;
    }
    return *this;
}

void RegKey::reset() {
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

RegKey RegKey::open(HKEY root, const std::string& path, REGSAM access) {
    RegKey k;
    HKEY h = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, access, &h) == ERROR_SUCCESS) {
        k.key_ = h;
        k.path_ = path;
    }
    return k;
}

RegKey RegKey::create(HKEY root, const std::string& path) {
    RegKey k;
    HKEY h = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                        nullptr, &h, nullptr) != ERROR_SUCCESS)
        throw RegistryError::keyNotCreated(path);
    k.key_ = h;
    k.path_ = path;
    return k;
}

bool RegKey::readString(const std::string& name, std::string& value) const {
    value.clear();
    if (!key_) return false;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    std::vector<char> buf(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got) !=
        ERROR_SUCCESS)
        return false;
    buf[std::min<size_t>(got, size)] = '\0';
    value.assign(buf.data());  // up to the terminating zero
    return true;
}

void RegKey::writeString(const std::string& name, const std::string& value) {
    if (!key_ || RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw RegistryError::dataNotSet(name);
}

bool RegKeyExists(HKEY root, const std::string& path) { return static_cast<bool>(RegKey::open(root, path)); }

bool RegReadDefault(HKEY root, const std::string& path, std::string& value) {
    RegKey k = RegKey::open(root, path);
    return k.readString("", value);
}

void RegWriteDefault(HKEY root, const std::string& path, const std::string& value) {
    RegKey::create(root, path).writeString("", value);
}

bool RegDeleteKeyTree(HKEY root, const std::string& path) {
    if (!RegKeyExists(root, path)) return true;
    RegDeleteTreeA(root, path.c_str());  // the key itself goes too, as a named subkey
    return !RegKeyExists(root, path);
}

}  // namespace kv
