#include "playback/MovieAddress.h"

#include <windows.h>
// after windows.h
#include <shlwapi.h>

#include "flashfile/FlashFileFacts.h"
#include "platform/AnsiText.h"

namespace kv {

namespace {
bool hasScheme(const std::string& item, const char* scheme) {
    const std::string lower = AnsiLowerAscii(item.substr(0, std::string(scheme).size()));
    return lower == scheme;
}
}  // namespace

bool IsDownloadAddress(const std::string& item) {
    return hasScheme(item, "http://") || hasScheme(item, "https://");
}

bool IsFileAddress(const std::string& item) { return hasScheme(item, "file:"); }

std::string LocalPathOfItem(const std::string& item) {
    if (!IsFileAddress(item)) return item;
    char path[MAX_PATH];
    DWORD size = MAX_PATH;
    if (FAILED(PathCreateFromUrlA(item.c_str(), path, &size, 0))) return std::string();
    const std::string out(path);
    // "file://" or "file:///" alone names a bare separator, not a file.
    return AnsiExtractFileName(out).empty() ? std::string() : out;
}

std::string DownloadExtension(const std::string& address) {
    std::string path = address.substr(0, address.find_first_of("?#"));
    const std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos) path.erase(0, slash + 1);
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && AnsiLowerAscii(path.substr(dot)) == ".exe" ? ".exe" : ".swf";
}

int DownloadPercent(unsigned long long received, unsigned long long total) {
    if (total == 0) return -1;
    if (received >= total) return 100;
    return static_cast<int>(received * 100 / total);
}

std::string DownloadCaption(const std::string& title, unsigned long long received, unsigned long long total) {
    if (received == 0 && total == 0) return "正在连接 " + title + "...";
    const long long got = static_cast<long long>(received);
    const int percent = DownloadPercent(received, total);
    if (percent < 0) return "正在下载 " + title + "  (" + FlashFileSizeText(got) + ")";
    return "正在下载 " + title + "  " + std::to_string(percent) + "% (" + FlashFileSizeText(got) + " / " +
           FlashFileSizeText(static_cast<long long>(total)) + ")";
}

}  // namespace kv
