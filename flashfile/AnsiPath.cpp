#include "flashfile/AnsiPath.h"

namespace kv {

namespace {

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool isSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }

std::string lowerCase(const std::string& text, bool dbcs) {
    std::string out = text;
    for (size_t i = 0; i < out.size(); ++i) {
        if (dbcs && isGbkLeadByte(static_cast<unsigned char>(out[i]))) {
            ++i;  // keep the trail byte as it is
            continue;
        }
        out[i] = lowerAscii(out[i]);
    }
    return out;
}

std::string extension(const std::string& path, bool dbcs) {
    size_t dot = std::string::npos;
    for (size_t i = 0; i < path.size(); ++i) {
        char c = path[i];
        if (dbcs && isGbkLeadByte(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '.') {
            dot = i;
        } else if (isSeparator(c)) {
            dot = std::string::npos;
        }
    }
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

#ifdef _WIN32
constexpr bool kPathsAreGbk = true;
#else
constexpr bool kPathsAreGbk = false;
#endif

}  // namespace

std::string lowerCaseGbk(const std::string& text) { return lowerCase(text, true); }
std::string extractFileExtGbk(const std::string& path) { return extension(path, true); }
std::string lowerCasePath(const std::string& path) { return lowerCase(path, kPathsAreGbk); }
std::string extractFileExt(const std::string& path) { return extension(path, kPathsAreGbk); }

}  // namespace kv
