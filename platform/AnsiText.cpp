#include "platform/AnsiText.h"

namespace kv {

namespace {

bool IsAsciiUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }

// Position of the last separator ('\\' or ':') plus one, or 0 when none.
std::size_t FileNameStart(const std::string& path) {
    std::size_t sep = AnsiLastDelimiter(path, "\\:");
    return sep == std::string::npos ? 0 : sep + 1;
}

#ifdef _WIN32
constexpr bool kPathsAreGbk = true;
#else
constexpr bool kPathsAreGbk = false;
#endif

std::size_t PathCharLength(const std::string& path, std::size_t pos) {
    return kPathsAreGbk ? AnsiCharLength(path, pos) : 1;
}

}  // namespace

std::size_t AnsiCharLength(const std::string& text, std::size_t pos) {
    if (IsGbkLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) return 2;
    return 1;
}

std::size_t AnsiLastDelimiter(const std::string& text, const std::string& delimiters) {
    std::size_t found = std::string::npos;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = AnsiCharLength(text, i);
        if (len == 1 && delimiters.find(text[i]) != std::string::npos) found = i;
        i += len;
    }
    return found;
}

std::size_t AnsiFindChar(const std::string& text, char c, std::size_t from) {
    for (std::size_t i = from; i < text.size();) {
        std::size_t len = AnsiCharLength(text, i);
        if (len == 1 && text[i] == c) return i;
        i += len;
    }
    return std::string::npos;
}

bool AnsiEndsWithChar(const std::string& text, char c) {
    std::size_t last = std::string::npos;
    for (std::size_t i = 0; i < text.size(); i += AnsiCharLength(text, i)) last = i;
    return last != std::string::npos && last + 1 == text.size() && text[last] == c;
}

std::string AnsiLowerAscii(const std::string& text) {
    std::string out = text;
    for (std::size_t i = 0; i < out.size();) {
        std::size_t len = AnsiCharLength(out, i);
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (len == 1 && IsAsciiUpper(c)) out[i] = static_cast<char>(c + ('a' - 'A'));
        i += len;
    }
    return out;
}

bool AnsiSameTextAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        std::size_t len = AnsiCharLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
        } else {
            unsigned char x = static_cast<unsigned char>(a[i]);
            unsigned char y = static_cast<unsigned char>(b[i]);
            if (IsAsciiUpper(x)) x = static_cast<unsigned char>(x + ('a' - 'A'));
            if (IsAsciiUpper(y)) y = static_cast<unsigned char>(y + ('a' - 'A'));
            if (x != y) return false;
        }
        i += len;
    }
    return true;
}

std::string AnsiTruncate(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t len = AnsiCharLength(text, end);
        if (end + len > maxBytes) break;
        end += len;
    }
    return text.substr(0, end);
}

std::string AnsiExtractFileName(const std::string& path) { return path.substr(FileNameStart(path)); }

std::string AnsiExtractFilePath(const std::string& path) { return path.substr(0, FileNameStart(path)); }

std::string AnsiExtractFileExt(const std::string& path) {
    std::size_t start = FileNameStart(path);
    std::size_t dot = std::string::npos;
    for (std::size_t i = start; i < path.size(); i += AnsiCharLength(path, i)) {
        if (path[i] == '.') dot = i;
    }
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string PathExtractFileExt(const std::string& path) {
    std::size_t dot = std::string::npos;
    for (std::size_t i = 0; i < path.size();) {
        std::size_t len = PathCharLength(path, i);
        if (len == 1) {
            char c = path[i];
            if (c == '.') dot = i;
            if (c == '\\' || c == '/' || c == ':') dot = std::string::npos;
        }
        i += len;
    }
    return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string PathLowerAscii(const std::string& path) {
    if (kPathsAreGbk) return AnsiLowerAscii(path);
    std::string out = path;
    for (char& c : out) {
        if (IsAsciiUpper(static_cast<unsigned char>(c))) c = static_cast<char>(c + ('a' - 'A'));
    }
    return out;
}

}  // namespace kv
