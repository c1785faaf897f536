// A file opened by path, with the sharing the caller asks for: the conversion
// routines hold their inputs for exclusive use (no other program may open them
// meanwhile), the header reader shares reading. On Windows this is CreateFileA
// with the matching share mode; elsewhere a plain POSIX descriptor (the native
// build exists for fuzzing, benchmarks and tools, where sharing does not matter).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kv {

// Which file a handle or path refers to, independent of the name used:
// volume serial number and file index on Windows, device and inode elsewhere.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& o) const { return volume == o.volume && index == o.index; }
    bool operator!=(const FileIdentity& o) const { return !(*this == o); }
};

// True when the path names a device rather than a file: a last part whose
// name before the first dot is CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$ or
// CONOUT$ (any case, any extension: "COM1.swf"), or a path in the device
// namespace ("\\.\..."). Reading one can block for ever.
bool IsDeviceName(const std::string& path);

#ifdef _WIN32
// True when an open handle is a disk file (GetFileType), not a pipe, a
// console or a serial port.
bool IsDiskFileHandle(void* handle);
#endif

class ExclusiveFile {
public:
    enum class Mode {
        ReadShared,     // read; others may read too
        ReadExclusive,  // read; nobody else may open the file meanwhile
        Create,         // create or truncate, write, exclusive
        CreateNew,      // create a file that does not exist yet (Failed if it does), write, exclusive
    };
    enum class OpenStatus { Ok, NotFound, Failed };

    ExclusiveFile() = default;
    ~ExclusiveFile() { close(); }
    ExclusiveFile(const ExclusiveFile&) = delete;
    ExclusiveFile& operator=(const ExclusiveFile&) = delete;
    ExclusiveFile(ExclusiveFile&& other) noexcept;
    ExclusiveFile& operator=(ExclusiveFile&& other) noexcept;

    // NotFound when no file exists under the path (or it names a folder).
    // Reading modes refuse anything but a disk file (Failed), before it is
    // read: device names are never opened, pipes and devices are closed again.
    OpenStatus open(const std::string& path, Mode mode);
    bool isOpen() const;
    void close();

    // Size in bytes; false when it cannot be asked.
    bool size(uint64_t& bytes) const;
    // Reads up to n bytes at an absolute offset without moving the position;
    // got is less than n only at the end of the file. False on an I/O error.
    bool readAt(uint64_t offset, void* buffer, size_t n, size_t& got) const;
    // Sequential reading and writing from the current position.
    bool seek(uint64_t offset);
    bool read(void* buffer, size_t n, size_t& got);
    bool write(const void* buffer, size_t n);
    bool identity(FileIdentity& id) const;

    // Identity of the file a path names, without opening it for data access;
    // false when there is no such file.
    static bool identityOf(const std::string& path, FileIdentity& id);
    // True when the path names an existing file (not a folder).
    static bool exists(const std::string& path);
    static bool remove(const std::string& path);
    // Renames `from` to `to`, replacing an existing `to`; both in one folder.
    static bool replace(const std::string& from, const std::string& to);
    // Closes a file this object created at `path` and gives it the name `to`
    // (same folder), replacing an existing `to`. On Windows the open handle is
    // renamed (one request instead of opening the file again by name).
    bool closeAs(const std::string& path, const std::string& to);

private:
#ifdef _WIN32
    void* handle_ = reinterpret_cast<void*>(static_cast<intptr_t>(-1));
#else
    int fd_ = -1;
    int64_t openSize_ = -1;  // size seen when an input was opened
#endif
};

}  // namespace kv
