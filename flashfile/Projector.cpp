#include "flashfile/Projector.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "flashfile/FlashFileAttr.h"
#include "platform/ExclusiveFile.h"

namespace kv {

namespace {

constexpr size_t kBlockSize = 256 << 10;

ExclusiveFile openInput(const std::string& path,
                        ExclusiveFile::Mode mode = ExclusiveFile::Mode::ReadExclusive) {
    ExclusiveFile f;
    if (f.open(path, mode) != ExclusiveFile::OpenStatus::Ok) throw FileReadError("cannot open " + path);
    return f;
}

uint64_t sizeOf(const ExclusiveFile& f, const std::string& path) {
    uint64_t s = 0;
    if (!f.size(s)) throw FileReadError("cannot get the size of " + path);
    return s;
}

// Which file the target names now, if any; an input with the same identity
// is refused, since creating the target would empty the input.
class TargetIdentity {
public:
    explicit TargetIdentity(const std::string& target) : target_(target) {
        exists_ = ExclusiveFile::identityOf(target, id_);
    }
    void refuse(const ExclusiveFile& input) const {
        if (!exists_) return;  // no such file yet
        FileIdentity id;
        if (!input.identity(id)) throw FileReadError("cannot identify an input of " + target_);
        if (id == id_) throw FileError("target is the same file as an input: " + target_);
    }

private:
    std::string target_;
    FileIdentity id_;
    bool exists_ = false;
};

// The target being written: a temporary file beside it that replaces the
// target on commit() and is deleted otherwise.
class TargetFile {
public:
    TargetFile(const std::string& path, uint64_t total, CopyWatch* watch)
        : path_(path), total_(total), watch_(watch) {
        static unsigned counter = 0;
        // Created only if new: one name lookup, and a stranger's file of
        // that name is never truncated.
        for (int attempt = 0; attempt < 100; ++attempt) {
            temp_ = path + ".~kv" + std::to_string(++counter) + ".tmp";
            if (file_.open(temp_, ExclusiveFile::Mode::CreateNew) == ExclusiveFile::OpenStatus::Ok) return;
            if (!ExclusiveFile::exists(temp_)) break;
        }
        throw FileError("cannot create " + path);
    }
    ~TargetFile() {
        if (!committed_) {
            file_.close();
            ExclusiveFile::remove(temp_);
        }
    }
    void write(const void* data, size_t n) {
        if (!file_.write(data, n)) throw FileError("cannot write " + path_);
        done_ += n;
        if (watch_ && watch_->progress) watch_->progress(done_, total_);
    }
    void commit() {
        if (done_ != total_ || !file_.closeAs(temp_, path_)) throw FileError("cannot replace " + path_);
        committed_ = true;
        if (watch_) watch_->written = done_;
    }

private:
    std::string path_;
    std::string temp_;
    ExclusiveFile file_;
    uint64_t done_ = 0;
    uint64_t total_;
    CopyWatch* watch_;
    bool committed_ = false;
};

// Copies exactly n bytes from the input's current position.
void copyBlocks(ExclusiveFile& in, const std::string& inPath, uint64_t n, TargetFile& out, char* buffer) {
    while (n > 0) {
        size_t want = static_cast<size_t>(std::min<uint64_t>(n, kBlockSize));
        size_t got = 0;
        if (!in.read(buffer, want, got)) throw FileReadError("read error in " + inPath);
        if (got != want) throw FileReadError("unexpected end of " + inPath);
        out.write(buffer, got);
        n -= got;
    }
}

// Size of a file looked at without holding it.
uint64_t peekSize(const std::string& path) {
    ExclusiveFile f = openInput(path, ExclusiveFile::Mode::ReadShared);
    return sizeOf(f, path);
}

void putLe32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace

void SwfToExe(const std::string& source, const std::string& target, const std::string& stub,
              CopyWatch* watch) {
    uint64_t movieSize = peekSize(source);
    if (movieSize > kMaxConvertedMovie) throw FileError("movie too large for a projector: " + source);
    std::unique_ptr<char[]> buffer(new char[kBlockSize]);

    // The stub is shared for reading: a running projector holds its own file open.
    ExclusiveFile stubFile = openInput(stub, ExclusiveFile::Mode::ReadShared);
    uint64_t stubSize = sizeOf(stubFile, stub);
    const TargetIdentity targetId(target);
    targetId.refuse(stubFile);
    TargetFile out(target, stubSize + movieSize + kProjectorTrailerSize, watch);
    copyBlocks(stubFile, stub, stubSize, out, buffer.get());
    stubFile.close();

    ExclusiveFile movie = openInput(source);
    if (sizeOf(movie, source) != movieSize) throw FileReadError("changed while converting: " + source);
    targetId.refuse(movie);
    copyBlocks(movie, source, movieSize, out, buffer.get());
    uint8_t trailer[kProjectorTrailerSize];
    putLe32(trailer, kProjectorMagic);
    putLe32(trailer + 4, static_cast<uint32_t>(movieSize));
    out.write(trailer, sizeof trailer);
    movie.close();
    out.commit();
}

bool ExeToSwf(const std::string& source, const std::string& target, CopyWatch* watch) {
    ExclusiveFile in = openInput(source);
    uint64_t size = sizeOf(in, source);
    uint8_t trailer[kProjectorTrailerSize];
    size_t got = 0;
    if (size < sizeof trailer || !in.readAt(size - sizeof trailer, trailer, sizeof trailer, got) ||
        got != sizeof trailer)
        throw FileReadError("no trailer in " + source);
    uint32_t magic =
        trailer[0] | (trailer[1] << 8) | (trailer[2] << 16) | (static_cast<uint32_t>(trailer[3]) << 24);
    if (magic != kProjectorMagic) return false;
    uint64_t length =
        trailer[4] | (trailer[5] << 8) | (trailer[6] << 16) | (static_cast<uint32_t>(trailer[7]) << 24);
    uint64_t end = size - sizeof trailer;
    if (length > end) throw FileReadError("movie length beyond the start of " + source);
    if (length > kMaxConvertedMovie) throw FileError("movie too large to play: " + source);
    TargetIdentity(target).refuse(in);
    if (!in.seek(end - length)) throw FileReadError("cannot seek in " + source);

    std::unique_ptr<char[]> buffer(new char[kBlockSize]);
    TargetFile out(target, length, watch);
    copyBlocks(in, source, length, out, buffer.get());
    in.close();
    out.commit();
    return true;
}

void CopyFileOver(const std::string& source, const std::string& target, CopyWatch* watch) {
    // A plain copy lets others go on reading the source (the player may hold it).
    ExclusiveFile in = openInput(source, ExclusiveFile::Mode::ReadShared);
    uint64_t size = sizeOf(in, source);
    TargetIdentity(target).refuse(in);
    std::unique_ptr<char[]> buffer(new char[kBlockSize]);
    TargetFile out(target, size, watch);
    copyBlocks(in, source, size, out, buffer.get());
    in.close();
    out.commit();
}

}  // namespace kv
