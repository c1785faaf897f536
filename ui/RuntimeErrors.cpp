#include "ui/RuntimeErrors.h"

#include <cctype>

#include "ui/UiServices.h"

namespace kv {

RegistryError RegistryError::keyNotCreated(const std::string& key) {
    return RegistryError("Failed to create key " + key);
}

RegistryError RegistryError::dataNotSet(const std::string& valueName) {
    return RegistryError("Failed to set data for '" + valueName + "'");
}

ConvertError::ConvertError(const std::string& text)
    : RuntimeError("'" + text + "' is not a valid integer value") {}

InOutError::InOutError(unsigned long code) : RuntimeError(textFor(code)), code_(code) {}

std::string InOutError::textFor(unsigned long code) {
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Invalid filename";
        case 4:
            return "Too many open files";
        case 5:
            return "File access denied";
        case 100:
            return "Read beyond end of file";
        case 101:
            return "Disk full";
        case 106:
            return "Invalid numeric input";
        default:
            return "I/O error " + std::to_string(code);
    }
}

int StrToInt(const std::string& text) {
    size_t i = 0, n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n) throw ConvertError(text);
    unsigned long long v = 0;
    for (; i < n; ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        int d;
        if (ch >= '0' && ch <= '9')
            d = ch - '0';
        else if (base == 16 && std::isxdigit(ch))
            d = std::tolower(ch) - 'a' + 10;
        else
            throw ConvertError(text);
        v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (v > 0xFFFFFFFFull) throw ConvertError(text);
    }
    if (base == 16) {
        // Hexadecimal covers the 32 bits, as the runtime reads it.
        auto bits = static_cast<unsigned>(v);
        int value = static_cast<int>(bits);
        return negative ? static_cast<int>(0u - bits) : value;
    }
    if (negative ? v > 0x80000000ull : v > 0x7FFFFFFFull) throw ConvertError(text);
    return negative ? static_cast<int>(0 - static_cast<long long>(v)) : static_cast<int>(v);
}

void MakeDirectory(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr)) throw InOutError(GetLastError());
}

std::string errorReportText(const std::string& message) {
    std::string text = message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

void ShowErrorReport(const std::string& message) {
    ui().messageBox(GetActiveWindow(), errorReportText(message), kAppTitle, MB_OK | MB_ICONERROR);
}

void ShowErrorReport(const std::exception& error) { ShowErrorReport(std::string(error.what())); }

bool RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        ShowErrorReport(error);
        return false;
    }
}

}  // namespace kv
