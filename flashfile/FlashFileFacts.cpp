#include "flashfile/FlashFileFacts.h"

#include <cstdio>

#include "app/PlayTime.h"
#include "platform/AnsiText.h"

namespace kv {

std::string FlashFileTypeText(const std::string& path) {
    const std::string ext = AnsiLowerAscii(AnsiExtractFileExt(path));
    if (ext == ".swf") return "Flash动画";
    if (ext == ".exe") return "可执行的Flash动画";
    return "";
}

std::string FlashFileSizeText(long long bytes) {
    const long long k = bytes / 1024;
    if (k < 1024) return std::to_string(k) + " K";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%0.2f", static_cast<double>(k) / 1024.0);
    return std::string(buf) + " MB";
}

FactRows FileInfoRows(const std::string& path, const TFlashFileAttr& attr) {
    return {
        {"文件类型", FlashFileTypeText(path)}, {"位置", path}, {"大小", FlashFileSizeText(attr.FileSize)}};
}

FactRows FlashInfoRows(const TFlashFileAttr& a) {
    auto positive = [](int v, const char* unit) { return v > 0 ? std::to_string(v) + unit : std::string(); };
    return {
        {"文件版本", a.Version},
        {"文件帧数", positive(a.FrameCount, " 帧")},
        {"播放速率", positive(a.FrameRate, " 帧/秒")},
        {"播放时间", a.FrameCount > 0 && a.FrameRate > 0 ? CalculatePlayTime(a.FrameCount, a.FrameRate) : ""},
        {"影片尺寸", a.Width > 0 && a.Height > 0
                         ? std::to_string(a.Width) + " 像素 × " + std::to_string(a.Height) + " 像素"
                         : ""},
    };
}

}  // namespace kv
