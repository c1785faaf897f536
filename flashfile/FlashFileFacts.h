// The facts of a movie file that property windows list: file type, place and
// size, and the header's version, frames, rate, play time and stage size.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "flashfile/FlashFileAttr.h"

namespace kv {

using FactRows = std::vector<std::pair<std::string, std::string>>;  // caption, value

// "Flash动画" for ".swf", "可执行的Flash动画" for ".exe", empty otherwise.
std::string FlashFileTypeText(const std::string& path);
// Kilobytes (truncated) below 1024 K, else megabytes of those kilobytes:
// 524288 → "512 K", 1048576 → "1.00 MB".
std::string FlashFileSizeText(long long bytes);
// 文件类型, 位置, 大小 (the size from the header's length field).
FactRows FileInfoRows(const std::string& path, const TFlashFileAttr& attr);
// 文件版本, 文件帧数, 播放速率, 播放时间, 影片尺寸; a value that needs a
// number above 0 is empty without it.
FactRows FlashInfoRows(const TFlashFileAttr& attr);

}  // namespace kv
