#include "stub/AppendedMovie.h"

#include <windows.h>

#include "platform/ExclusiveFile.h"
#include "ui/Handles.h"

namespace kv {

bool locateAppendedMovie(const uint8_t trailer[8], uint64_t fileSize, uint64_t& offset, uint32_t& length) {
    static const uint8_t kMagic[4] = {0x56, 0x34, 0x12, 0xFA};
    if (fileSize < 8) return false;
    for (int i = 0; i < 4; ++i)
        if (trailer[i] != kMagic[i]) return false;
    uint32_t len = static_cast<uint32_t>(trailer[4]) | static_cast<uint32_t>(trailer[5]) << 8 |
                   static_cast<uint32_t>(trailer[6]) << 16 | static_cast<uint32_t>(trailer[7]) << 24;
    if (len == 0 || len > kMaxAppendedMovie || len > fileSize - 8) return false;
    offset = fileSize - 8 - len;
    length = len;
    return true;
}

namespace {
bool readAt(HANDLE f, uint64_t offset, uint8_t* out, uint32_t size) {
    LARGE_INTEGER pos;
    pos.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(f, pos, nullptr, FILE_BEGIN)) return false;
    uint32_t done = 0;
    while (done < size) {
        DWORD got = 0;
        if (!ReadFile(f, out + done, size - done, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}
}  // namespace

bool readAppendedMovie(const std::string& path, std::vector<uint8_t>& movie) {
    movie.clear();
    // A device or a pipe could block the reading for ever: only disk files are read.
    if (IsDeviceName(path)) return false;
    UniqueFile f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f || !IsDiskFileHandle(f.get())) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(f.get(), &size) || size.QuadPart < 8) return false;
    uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
    uint8_t trailer[8];
    uint64_t offset = 0;
    uint32_t length = 0;
    if (!readAt(f.get(), fileSize - 8, trailer, 8) || !locateAppendedMovie(trailer, fileSize, offset, length))
        return false;
    try {
        movie.resize(length);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!readAt(f.get(), offset, movie.data(), length)) {
        movie.clear();
        return false;
    }
    return true;
}

}  // namespace kv
