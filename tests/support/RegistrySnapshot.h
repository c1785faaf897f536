// Saves registry keys (with every value and subkey) when made and puts them
// back exactly when destroyed, so a test may change the test prefix's
// registry freely. A key that did not exist is deleted again.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace kv::test {

class RegistrySnapshot {
public:
    RegistrySnapshot(HKEY root, std::vector<std::string> paths) : root_(root) {
        for (auto& p : paths) saved_.push_back({p, read(root, p)});
    }
    ~RegistrySnapshot() {
        for (const auto& s : saved_) {
            RegDeleteTreeA(root_, s.path.c_str());
            if (s.tree) write(root_, s.path, *s.tree);
        }
    }
    RegistrySnapshot(const RegistrySnapshot&) = delete;
    RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

private:
    struct Value {
        std::string name;
        DWORD type;
        std::vector<BYTE> data;
    };
    struct Tree {
        std::vector<Value> values;
        std::vector<std::pair<std::string, std::unique_ptr<Tree>>> children;
    };
    struct Saved {
        std::string path;
        std::unique_ptr<Tree> tree;
    };

    static std::unique_ptr<Tree> read(HKEY root, const std::string& path) {
        HKEY k;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return nullptr;
        auto t = std::make_unique<Tree>();
        for (DWORD i = 0;; ++i) {
            char name[16384];
            DWORD nameLen = sizeof name, type = 0, size = 0;
            if (RegEnumValueA(k, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
            Value v{std::string(name, nameLen), type, std::vector<BYTE>(size)};
            nameLen = sizeof name;
            RegEnumValueA(k, i, name, &nameLen, nullptr, &type, v.data.data(), &size);
            t->values.push_back(std::move(v));
        }
        std::vector<std::string> subs;
        for (DWORD i = 0;; ++i) {
            char name[256];
            DWORD nameLen = sizeof name;
            if (RegEnumKeyExA(k, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            subs.emplace_back(name, nameLen);
        }
        RegCloseKey(k);
        for (auto& s : subs) t->children.emplace_back(s, read(root, path + "\\" + s));
        return t;
    }
    static void write(HKEY root, const std::string& path, const Tree& t) {
        HKEY k;
        if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const auto& v : t.values)
            RegSetValueExA(k, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
        RegCloseKey(k);
        for (const auto& c : t.children)
            if (c.second) write(root, path + "\\" + c.first, *c.second);
    }

    HKEY root_;
    std::vector<Saved> saved_;
};

}  // namespace kv::test
