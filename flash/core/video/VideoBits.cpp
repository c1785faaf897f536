#include "flash/core/video/VideoBits.h"

#include <algorithm>
#include <string>

namespace flash {

VlcTable::VlcTable(const Code* codes, size_t count) {
    std::vector<std::string> clean(count);
    for (size_t i = 0; i < count; ++i) {
        for (const char* p = codes[i].bits; *p; ++p)
            if (*p == '0' || *p == '1') clean[i] += *p;
        maxBits_ = std::max(maxBits_, static_cast<int>(clean[i].size()));
    }
    size_ = size_t(1) << maxBits_;
    table_ = new Entry[size_];
    for (size_t i = 0; i < count; ++i) {
        uint32_t code = 0;
        for (char c : clean[i]) code = code * 2 + (c == '1');
        int len = static_cast<int>(clean[i].size());
        uint32_t first = code << (maxBits_ - len), n = 1u << (maxBits_ - len);
        for (uint32_t k = 0; k < n; ++k) {
            table_[first + k].value = static_cast<int16_t>(codes[i].value);
            table_[first + k].length = static_cast<uint8_t>(len);
        }
    }
}

}  // namespace flash
