// One JSON line per file for swfinfo: the path and every field of the record.
#pragma once

#include <string>

#include "flashfile/FlashFileAttr.h"

namespace kv {

// JSON string literal (quotes included); bytes that are not valid UTF-8 become U+FFFD.
std::string jsonString(const std::string& text);

// {"path":...,"IsFlashFile":...,...,"BackColorBlue":...} with "error" added when not empty.
std::string flashFileAttrJson(const std::string& path, const TFlashFileAttr& attr, const std::string& error);

}  // namespace kv
