#include "flashfile/FlashFileAttr.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/AnsiText.h"
#include "platform/ExclusiveFile.h"

namespace kv {

namespace {

// One read covers the header of a plain movie and, almost always, the part of
// a zlib stream that inflates to the header values.
constexpr size_t kFirstRead = 8 + MovieHeaderBytes::kBodyWindow;
// Further reads of a compressed movie, and their limit: never the whole file.
constexpr size_t kMoreRead = 4096;
constexpr size_t kMaxCompressedRead = 64 * 1024;

uint32_t le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

class FileSource : public HeaderSource {
public:
    explicit FileSource(const ExclusiveFile& f) : file_(f) {}
    uint64_t size() override {
        uint64_t s = 0;
        if (!file_.size(s)) throw FileReadError("cannot get the file size");
        return s;
    }
    size_t readAt(uint64_t offset, uint8_t* buffer, size_t n) override {
        size_t got = 0;
        if (!file_.readAt(offset, buffer, n, got)) throw FileReadError("read error");
        return got;
    }

private:
    const ExclusiveFile& file_;
};

// zlib's state and window for one header live in a buffer on the stack: a
// header read then costs no heap traffic (which dominated small reads).
struct InflateArena {
    alignas(16) unsigned char memory[48 * 1024];
    size_t used = 0;

    static voidpf alloc(voidpf opaque, uInt items, uInt size) {
        auto* a = static_cast<InflateArena*>(opaque);
        size_t n = (static_cast<size_t>(items) * size + 15) & ~static_cast<size_t>(15);
        if (n <= sizeof a->memory - a->used) {
            void* p = a->memory + a->used;
            a->used += n;
            return p;
        }
        return std::malloc(static_cast<size_t>(items) * size);
    }
    static void release(voidpf opaque, voidpf p) {
        auto* a = static_cast<InflateArena*>(opaque);
        auto at = reinterpret_cast<uintptr_t>(p), base = reinterpret_cast<uintptr_t>(a->memory);
        if (at < base || at >= base + sizeof a->memory) std::free(p);
    }
};

// Inflates the zlib stream that starts at `first` (already read, the stream's
// beginning) and goes on in src up to `end`, until out holds what the header
// values need or the stream ends or breaks; keeps whatever came out.
void inflateHeader(HeaderSource& src, const uint8_t* first, size_t firstSize, uint64_t nextOffset,
                   uint64_t end, MovieHeaderBytes& out) {
    InflateArena arena;
    z_stream zs{};
    zs.zalloc = &InflateArena::alloc;
    zs.zfree = &InflateArena::release;
    zs.opaque = &arena;
    if (inflateInit(&zs) != Z_OK) throw FileReadError("cannot inflate");
    uint8_t more[kMoreRead];
    size_t compressedRead = firstSize;
    zs.next_in = const_cast<Bytef*>(first);
    zs.avail_in = static_cast<uInt>(firstSize);
    zs.next_out = out.body;
    zs.avail_out = static_cast<uInt>(sizeof(out.body));
    for (;;) {
        int rc = inflate(&zs, Z_SYNC_FLUSH);
        if (zs.avail_out == 0 || rc == Z_STREAM_END) break;
        if (rc != Z_OK && rc != Z_BUF_ERROR) {  // a broken stream ends the movie here
            out.streamDamaged = true;
            break;
        }
        if (zs.avail_in > 0) continue;
        if (nextOffset >= end || compressedRead >= kMaxCompressedRead) break;
        size_t want = static_cast<size_t>(std::min<uint64_t>(kMoreRead, end - nextOffset));
        size_t got;
        try {
            got = src.readAt(nextOffset, more, want);
        } catch (...) {
            inflateEnd(&zs);
            throw;
        }
        if (got == 0) break;
        nextOffset += got;
        compressedRead += got;
        zs.next_in = more;
        zs.avail_in = static_cast<uInt>(got);
    }
    out.bodySize = sizeof(out.body) - zs.avail_out;
    inflateEnd(&zs);
}

// The colour bytes of the first SetBackgroundColor tag (code 9) in the tags
// at `tags`, searched up to the first frame, the end tag or the end of the
// bytes read; nullptr when there is none.
const uint8_t* findBackgroundColour(const uint8_t* tags, size_t size) {
    constexpr int kMaxTags = 32;
    size_t pos = 0;
    for (int n = 0; n < kMaxTags && pos + 2 <= size; ++n) {
        const unsigned codeAndLength = tags[pos] | (tags[pos + 1] << 8);
        const unsigned code = codeAndLength >> 6;
        uint64_t length = codeAndLength & 0x3F;
        pos += 2;
        if (length == 0x3F) {
            if (pos + 4 > size) return nullptr;
            length = le32(tags + pos);
            pos += 4;
        }
        if (code == 9) return pos + 3 <= size ? tags + pos : nullptr;
        if (code == 0 || code == 1) return nullptr;  // End, ShowFrame
        if (length > size - pos) return nullptr;
        pos += static_cast<size_t>(length);
    }
    return nullptr;
}

}  // namespace

// ---- TSWFParser ----

void TSWFParser::ResetBitBuffer() {
    FCurByte = 0;
    FBitsLeft = 0;
}

void TSWFParser::ReadNextByte() {
    FCurByte = FPos < FSize ? FData[FPos++] : 0;
    FBitsLeft = 8;
}

uint32_t TSWFParser::GetBits(int n) {
    if (n <= 0) return 0;
    if (n > 32) n = 32;
    uint64_t result = 0;
    while (n > FBitsLeft) {
        result |= static_cast<uint64_t>(FCurByte) << (n - FBitsLeft);
        n -= FBitsLeft;
        ReadNextByte();
    }
    result |= FCurByte >> (FBitsLeft - n);
    FBitsLeft -= n;
    FCurByte &= 0xFFu >> (8 - FBitsLeft);
    return static_cast<uint32_t>(result);
}

int32_t TSWFParser::GetSignedBits(int n) {
    uint32_t v = GetBits(n);
    if (n > 0 && n < 32 && (v & (1u << (n - 1)))) v |= ~0u << n;
    return static_cast<int32_t>(v);
}

void TSWFParser::Attach(const uint8_t* data, size_t size) {
    FData = data;
    FSize = size;
    FPos = 0;
}

void TSWFParser::ReadMovieRect(const uint8_t* body, size_t size, TSWFRect& r) {
    Attach(body, size);
    ResetBitBuffer();
    int nbits = static_cast<int>(GetBits(5));
    int32_t xmin = GetSignedBits(nbits);
    int32_t xmax = GetSignedBits(nbits);
    int32_t ymin = GetSignedBits(nbits);
    int32_t ymax = GetSignedBits(nbits);
    r.Left = xmin;
    r.Top = ymin;
    r.Right = xmax;
    r.Bottom = ymax;
    Attach(nullptr, 0);
}

void TSWFParser::ReadMovieRect(const std::string& fileName, TSWFRect& r) {
    ExclusiveFile file;
    if (file.open(fileName, ExclusiveFile::Mode::ReadShared) != ExclusiveFile::OpenStatus::Ok)
        throw FileReadError("cannot open " + fileName);
    FileSource src(file);
    MovieHeaderBytes h;
    if (!ReadMovieHeader(src, PathLowerFileExt(fileName) == ".exe", h)) {
        r = TSWFRect{};
        return;
    }
    file.close();
    ReadMovieRect(h.body, h.bodySize, r);
}

// ---- The reading core ----

size_t MemorySource::readAt(uint64_t offset, uint8_t* buffer, size_t n) {
    if (offset >= size_) return 0;
    size_t got = static_cast<size_t>(std::min<uint64_t>(n, size_ - offset));
    std::memcpy(buffer, data_ + offset, got);
    return got;
}

bool ReadMovieHeader(HeaderSource& src, bool projector, MovieHeaderBytes& out) {
    uint64_t start = 0;
    uint64_t end = UINT64_MAX;  // a plain movie runs to the end of the file
    if (projector) {
        uint64_t size = src.size();
        if (size < kProjectorTrailerSize) throw FileReadError("file too short for a projector trailer");
        uint8_t trailer[kProjectorTrailerSize];
        if (src.readAt(size - kProjectorTrailerSize, trailer, sizeof trailer) != sizeof trailer)
            throw FileReadError("trailer not readable");
        if (le32(trailer) != kProjectorMagic) return false;
        uint64_t length = le32(trailer + 4);
        end = size - kProjectorTrailerSize;
        if (length > end) throw FileReadError("movie length beyond the start of the file");
        start = end - length;
    }

    uint8_t first[kFirstRead];
    size_t want = static_cast<size_t>(std::min<uint64_t>(kFirstRead, end - start));
    size_t got = src.readAt(start, first, want);
    out.plainSize = std::min<size_t>(got, sizeof out.plain);
    std::memcpy(out.plain, first, out.plainSize);
    out.bodySize = 0;
    if (got <= sizeof out.plain) return true;

    const uint8_t* rest = first + sizeof out.plain;
    size_t restSize = got - sizeof out.plain;
    if (out.plain[0] == 'C' && out.plain[1] == 'W' && out.plain[2] == 'S') {
        inflateHeader(src, rest, restSize, start + got, end, out);
    } else {
        // Plain movies, and "ZWS" (no LZMA decoder here): the bytes as they stand.
        out.bodySize = std::min(restSize, sizeof out.body);
        std::memcpy(out.body, rest, out.bodySize);
    }
    return true;
}

void DecodeFlashFileAttr(const MovieHeaderBytes& h, TFlashFileAttr& attr) {
    if (h.plainSize < sizeof h.plain) throw FileReadError("movie ends inside its header");
    TSWFParser parser;
    TSWFRect r;
    parser.ReadMovieRect(h.body, h.bodySize, r);
    // Rate and count follow the rectangle at the next whole byte.
    size_t nbits = h.bodySize > 0 ? (h.body[0] >> 3) : 0;
    size_t at = (5 + 4 * nbits + 7) / 8;
    if (h.bodySize < at + 9) throw FileReadError("movie ends inside its header");

    attr.Version = std::to_string(h.plain[3]);
    attr.FileSize = static_cast<int32_t>(le32(h.plain + 4));
    attr.FrameRate = h.body[at + 1];  // 8.8 fixed point: the fraction byte comes first
    attr.FrameCount = h.body[at + 2] | (h.body[at + 3] << 8);
    attr.BackColorRed = attr.BackColorGreen = attr.BackColorBlue = 0;
    if (const uint8_t* rgb = findBackgroundColour(h.body + at + 4, h.bodySize - at - 4)) {
        attr.BackColorRed = rgb[0];
        attr.BackColorGreen = rgb[1];
        attr.BackColorBlue = rgb[2];
    }
    attr.Width = static_cast<int32_t>((static_cast<int64_t>(r.Right) - r.Left) / 20);
    attr.Height = static_cast<int32_t>((static_cast<int64_t>(r.Bottom) - r.Top) / 20);
}

void ReadFlashFileAttr(HeaderSource& src, const std::string& lowerExt, TFlashFileAttr& attr) {
    MovieHeaderBytes h;
    if (!ReadMovieHeader(src, lowerExt == ".exe", h)) {
        attr = TFlashFileAttr{};
        return;
    }
    TFlashFileAttr filled;
    filled.IsFlashFile = true;
    try {
        DecodeFlashFileAttr(h, filled);
    } catch (const FileReadError&) {
        if (!h.streamDamaged || h.plainSize < sizeof h.plain) throw;
        // The plain first bytes still tell version and length.
        filled = TFlashFileAttr{};
        filled.IsFlashFile = true;
        filled.Version = std::to_string(h.plain[3]);
        filled.FileSize = static_cast<int32_t>(le32(h.plain + 4));
    }
    attr = filled;
}

void GetFlashFileAttr(const std::string& path, TFlashFileAttr& attr) {
    std::string ext = PathLowerFileExt(path);
    if (ext != ".swf" && ext != ".exe") {
        if (ExclusiveFile::exists(path)) attr = TFlashFileAttr{};
        return;
    }
    ExclusiveFile file;
    switch (file.open(path, ExclusiveFile::Mode::ReadShared)) {
        case ExclusiveFile::OpenStatus::Ok:
            break;
        case ExclusiveFile::OpenStatus::NotFound:
            return;
        case ExclusiveFile::OpenStatus::Failed:
            throw FileReadError("cannot open " + path);
    }
    FileSource src(file);
    ReadFlashFileAttr(src, ext, attr);
}

}  // namespace kv
