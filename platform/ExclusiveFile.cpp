#include "platform/ExclusiveFile.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/AnsiText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace kv {

namespace {

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Start of the last part of a path; on Windows a GBK trail byte is no separator.
std::size_t lastPartStart(const std::string& path) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
#ifdef _WIN32
        if (IsGbkLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
#endif
        if (path[i] == '\\' || path[i] == '/' || path[i] == ':') start = i + 1;
    }
    return start;
}

}  // namespace

bool IsDeviceName(const std::string& path) {
    if (path.compare(0, 4, "\\\\.\\") == 0 || path.compare(0, 4, "//./") == 0) return true;
    std::string base = path.substr(lastPartStart(path));
    base = base.substr(0, base.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == '.')) base.pop_back();
    for (char& c : base) c = upperAscii(c);
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* n : kNames) {
        if (base == n) return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '0' && base[3] <= '9';
}

#ifdef _WIN32

bool IsDiskFileHandle(void* handle) { return GetFileType(static_cast<HANDLE>(handle)) == FILE_TYPE_DISK; }

namespace {
HANDLE asHandle(void* h) { return static_cast<HANDLE>(h); }

bool identityFromHandle(HANDLE h, FileIdentity& id) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info)) return false;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}
}  // namespace

ExclusiveFile::ExclusiveFile(ExclusiveFile&& other) noexcept
    : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}

ExclusiveFile& ExclusiveFile::operator=(ExclusiveFile&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
    }
    return *this;
}

ExclusiveFile::OpenStatus ExclusiveFile::open(const std::string& path, Mode mode) {
    close();
    if (IsDeviceName(path)) return OpenStatus::Failed;
    const bool writing = mode == Mode::Create || mode == Mode::CreateNew;
    // A created file may be renamed through its handle (closeAs).
    DWORD access = writing ? GENERIC_WRITE | DELETE : GENERIC_READ;
    DWORD share = mode == Mode::ReadShared ? FILE_SHARE_READ : 0;
    DWORD disposition = mode == Mode::Create      ? CREATE_ALWAYS
                        : mode == Mode::CreateNew ? CREATE_NEW
                                                  : OPEN_EXISTING;
    HANDLE h = CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        if (!writing) {
            if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_INVALID_NAME)
                return OpenStatus::NotFound;
            // A folder cannot be opened as a file; it counts as no file.
            DWORD attrs = GetFileAttributesA(path.c_str());
            if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY))
                return OpenStatus::NotFound;
        }
        return OpenStatus::Failed;
    }
    if (!IsDiskFileHandle(h)) {
        CloseHandle(h);
        return OpenStatus::Failed;
    }
    handle_ = h;
    return OpenStatus::Ok;
}

bool ExclusiveFile::isOpen() const { return asHandle(handle_) != INVALID_HANDLE_VALUE; }

void ExclusiveFile::close() {
    if (isOpen()) CloseHandle(asHandle(handle_));
    handle_ = INVALID_HANDLE_VALUE;
}

bool ExclusiveFile::size(uint64_t& bytes) const {
    LARGE_INTEGER li;
    if (!GetFileSizeEx(asHandle(handle_), &li)) return false;
    bytes = static_cast<uint64_t>(li.QuadPart);
    return true;
}

bool ExclusiveFile::readAt(uint64_t offset, void* buffer, size_t n, size_t& got) const {
    // Seek, read, seek back: a positioned read (OVERLAPPED) costs Wine an
    // extra request to its server on every call.
    got = 0;
    HANDLE h = asHandle(handle_);
    LARGE_INTEGER zero{}, here{}, at{};
    if (!SetFilePointerEx(h, zero, &here, FILE_CURRENT)) return false;
    at.QuadPart = static_cast<LONGLONG>(offset);
    bool ok = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
    char* out = static_cast<char*>(buffer);
    while (ok && got < n) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(n - got, 1u << 30));
        DWORD done = 0;
        if (!ReadFile(h, out + got, chunk, &done, nullptr)) ok = GetLastError() == ERROR_HANDLE_EOF;
        if (done == 0) break;
        got += done;
    }
    SetFilePointerEx(h, here, nullptr, FILE_BEGIN);
    return ok;
}

bool ExclusiveFile::seek(uint64_t offset) {
    LARGE_INTEGER li;
    li.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(asHandle(handle_), li, nullptr, FILE_BEGIN) != 0;
}

bool ExclusiveFile::read(void* buffer, size_t n, size_t& got) {
    got = 0;
    char* out = static_cast<char*>(buffer);
    while (got < n) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(n - got, 1u << 30));
        DWORD done = 0;
        if (!ReadFile(asHandle(handle_), out + got, chunk, &done, nullptr)) return false;
        if (done == 0) break;
        got += done;
    }
    return true;
}

bool ExclusiveFile::write(const void* buffer, size_t n) {
    const char* in = static_cast<const char*>(buffer);
    while (n > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(asHandle(handle_), in, chunk, &done, nullptr) || done == 0) return false;
        in += done;
        n -= done;
    }
    return true;
}

bool ExclusiveFile::identity(FileIdentity& id) const { return identityFromHandle(asHandle(handle_), id); }

bool ExclusiveFile::identityOf(const std::string& path, FileIdentity& id) {
    // Attribute access only: allowed even while another handle holds the file
    // for exclusive use.
    HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = identityFromHandle(h, id);
    CloseHandle(h);
    return ok;
}

bool ExclusiveFile::exists(const std::string& path) {
    DWORD attrs = GetFileAttributesA(path.c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool ExclusiveFile::remove(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool ExclusiveFile::replace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool ExclusiveFile::closeAs(const std::string& path, const std::string& to) {
    if (isOpen()) {
        int wide = MultiByteToWideChar(CP_ACP, 0, to.c_str(), -1, nullptr, 0);
        if (wide > 0) {
            std::vector<char> buf(sizeof(FILE_RENAME_INFO) + static_cast<size_t>(wide) * sizeof(WCHAR));
            auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buf.data());
            info->ReplaceIfExists = TRUE;
            info->RootDirectory = nullptr;
            info->FileNameLength = static_cast<DWORD>((wide - 1) * sizeof(WCHAR));
            MultiByteToWideChar(CP_ACP, 0, to.c_str(), -1, info->FileName, wide);
            bool renamed = SetFileInformationByHandle(asHandle(handle_), FileRenameInfo, info,
                                                      static_cast<DWORD>(buf.size())) != 0;
            close();
            if (renamed) return true;
        }
        close();
    }
    return replace(path, to);
}

#else  // POSIX

ExclusiveFile::ExclusiveFile(ExclusiveFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), openSize_(std::exchange(other.openSize_, -1)) {}

ExclusiveFile& ExclusiveFile::operator=(ExclusiveFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        openSize_ = std::exchange(other.openSize_, -1);
    }
    return *this;
}

ExclusiveFile::OpenStatus ExclusiveFile::open(const std::string& path, Mode mode) {
    close();
    // Non-blocking open: a FIFO would otherwise wait for a writer.
    const bool writing = mode == Mode::Create || mode == Mode::CreateNew;
    int flags = mode == Mode::Create      ? (O_WRONLY | O_CREAT | O_TRUNC)
                : mode == Mode::CreateNew ? (O_WRONLY | O_CREAT | O_EXCL)
                                          : (O_RDONLY | O_NONBLOCK);
    int fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (!writing && (errno == ENOENT || errno == ENOTDIR)) return OpenStatus::NotFound;
        return OpenStatus::Failed;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        ::close(fd);
        return OpenStatus::Failed;
    }
    if (!writing && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return OpenStatus::NotFound;  // a folder opens for reading here but counts as no file
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return OpenStatus::Failed;  // pipes and devices are never read
    }
    if (!writing) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        openSize_ = static_cast<int64_t>(st.st_size);  // inputs do not change size
    }
    fd_ = fd;
    return OpenStatus::Ok;
}

bool ExclusiveFile::isOpen() const { return fd_ >= 0; }

void ExclusiveFile::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    openSize_ = -1;
}

bool ExclusiveFile::size(uint64_t& bytes) const {
    if (openSize_ >= 0) {
        bytes = static_cast<uint64_t>(openSize_);
        return true;
    }
    struct stat st;
    if (fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    bytes = static_cast<uint64_t>(st.st_size);
    return true;
}

bool ExclusiveFile::readAt(uint64_t offset, void* buffer, size_t n, size_t& got) const {
    got = 0;
    char* out = static_cast<char*>(buffer);
    while (got < n) {
        ssize_t r = pread(fd_, out + got, n - got, static_cast<off_t>(offset + got));
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    return true;
}

bool ExclusiveFile::seek(uint64_t offset) { return lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0; }

bool ExclusiveFile::read(void* buffer, size_t n, size_t& got) {
    got = 0;
    char* out = static_cast<char*>(buffer);
    while (got < n) {
        ssize_t r = ::read(fd_, out + got, n - got);
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (r == 0) break;
        got += static_cast<size_t>(r);
    }
    return true;
}

bool ExclusiveFile::write(const void* buffer, size_t n) {
    const char* in = static_cast<const char*>(buffer);
    while (n > 0) {
        ssize_t r = ::write(fd_, in, n);
        if (r < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        in += r;
        n -= static_cast<size_t>(r);
    }
    return true;
}

bool ExclusiveFile::identity(FileIdentity& id) const {
    struct stat st;
    if (fstat(fd_, &st) != 0) return false;
    id.volume = static_cast<uint64_t>(st.st_dev);
    id.index = static_cast<uint64_t>(st.st_ino);
    return true;
}

bool ExclusiveFile::identityOf(const std::string& path, FileIdentity& id) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return false;
    id.volume = static_cast<uint64_t>(st.st_dev);
    id.index = static_cast<uint64_t>(st.st_ino);
    return true;
}

bool ExclusiveFile::exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool ExclusiveFile::remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool ExclusiveFile::replace(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool ExclusiveFile::closeAs(const std::string& path, const std::string& to) {
    close();
    return replace(path, to);
}

#endif

}  // namespace kv
