#include "tools/swfinfo/AttrJson.h"

#include <cstdint>
#include <cstdio>

namespace kv {

namespace {

// Length of the valid UTF-8 sequence at p (1..4), or 0.
size_t utf8Length(const unsigned char* p, size_t left) {
    unsigned char c = p[0];
    size_t n;
    uint32_t cp;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (left < n) return 0;
    for (size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if ((n == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (n == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
        return 0;
    return n;
}

}  // namespace

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t left = text.size();
    while (left > 0) {
        unsigned char c = *p;
        size_t n = utf8Length(p, left);
        if (n == 0) {
            out += "\\ufffd";
            n = 1;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out.append(reinterpret_cast<const char*>(p), n);
        }
        p += n;
        left -= n;
    }
    return out + "\"";
}

std::string flashFileAttrJson(const std::string& path, const TFlashFileAttr& a, const std::string& error) {
    std::string s = "{\"path\":" + jsonString(path);
    s += ",\"IsFlashFile\":" + std::string(a.IsFlashFile ? "true" : "false");
    s += ",\"Version\":" + jsonString(a.Version);
    auto field = [&s](const char* name, int32_t v) {
        s += std::string(",\"") + name + "\":" + std::to_string(v);
    };
    field("FileSize", a.FileSize);
    field("FrameRate", a.FrameRate);
    field("FrameCount", a.FrameCount);
    field("Width", a.Width);
    field("Height", a.Height);
    field("BackColorRed", a.BackColorRed);
    field("BackColorGreen", a.BackColorGreen);
    field("BackColorBlue", a.BackColorBlue);
    if (!error.empty()) s += ",\"error\":" + jsonString(error);
    return s + "}";
}

}  // namespace kv
