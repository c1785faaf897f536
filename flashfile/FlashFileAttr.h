// Tells whether a file is a Flash movie (".swf") or a projector (".exe" with
// the movie trailer) and reads the header values the player shows and uses:
// version, stated length, frame rate, frame count, stage size, background.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "flashfile/FileErrors.h"

namespace kv {

// Filled in place by GetFlashFileAttr. A default-constructed record is the
// cleared record: not a Flash file, empty version, every number 0.
struct TFlashFileAttr {
    bool IsFlashFile = false;
    std::string Version;     // decimal text of the version byte, "6"
    int32_t FileSize = 0;    // the header's length field as stored (the embedded movie's for a projector)
    int32_t FrameRate = 0;   // whole frames per second, 0..255
    int32_t FrameCount = 0;  // 0..65535
    int32_t Height = 0;      // stage size in pixels
    int32_t Width = 0;
    int32_t BackColorBlue = 0;
    int32_t BackColorGreen = 0;
    int32_t BackColorRed = 0;
};

// Fills attr for the file at path:
// - no file at path: attr is left as passed;
// - an extension other than ".swf" / ".exe" (compared lower-cased), or an
//   ".exe" without the trailer: attr becomes the cleared record;
// - otherwise IsFlashFile is true and the header values are read. A ".swf" is
//   taken on its extension alone. A zlib-compressed ("CWS") movie is inflated
//   just far enough to read its values; when its stream is damaged, the
//   version and stated length of the plain first 8 bytes are given and the
//   other values are 0.
// Throws FileReadError when the file cannot be opened or ends before the
// values; attr is then unchanged. Reads only the trailer and the first bytes.
void GetFlashFileAttr(const std::string& path, TFlashFileAttr& attr);

// Last 8 bytes of a projector: magic, then the length of the movie before them.
constexpr uint32_t kProjectorMagic = 0xFA123456u;
constexpr size_t kProjectorTrailerSize = 8;

// Stage rectangle in twips.
struct TSWFRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

// Reads the bit-packed stage rectangle: bits most significant first, bytes in
// order, 0 past the end of the data.
class TSWFParser {
public:
    // The bytes ReadNextByte delivers, in order (the movie from offset 8).
    void Attach(const uint8_t* data, size_t size);
    void ResetBitBuffer();
    void ReadNextByte();
    // The next n bits (0..32) as an unsigned value; n = 0 reads nothing.
    uint32_t GetBits(int n);
    // GetBits sign-extended from bit n - 1.
    int32_t GetSignedBits(int n);
    // Opens the file (".exe": the movie before the trailer), reads the stage
    // rectangle, closes it. Throws FileReadError when the file cannot be opened.
    void ReadMovieRect(const std::string& fileName, TSWFRect& r);
    // The same on the movie's bytes from offset 8 (inflated when compressed).
    void ReadMovieRect(const uint8_t* body, size_t size, TSWFRect& r);

private:
    uint32_t FCurByte = 0;  // unread low bits of the current byte
    int FBitsLeft = 0;      // 0..8
    const uint8_t* FData = nullptr;
    size_t FSize = 0;
    size_t FPos = 0;
};

// ---- The reading core, on any random-access source (files, memory). ----

class HeaderSource {
public:
    virtual ~HeaderSource() = default;
    // Throw FileReadError when the source cannot be asked or read.
    virtual uint64_t size() = 0;
    // Up to n bytes at offset; fewer only at the end.
    virtual size_t readAt(uint64_t offset, uint8_t* buffer, size_t n) = 0;
};

class MemorySource : public HeaderSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint64_t size() override { return size_; }
    size_t readAt(uint64_t offset, uint8_t* buffer, size_t n) override;

private:
    const uint8_t* data_;
    size_t size_;
};

// The first bytes of a movie: the 8 plain header bytes, then the bytes from
// offset 8 on (inflated for "CWS"), as far as the header values reach.
struct MovieHeaderBytes {
    static constexpr size_t kBodyNeeded = 17 + 9;  // longest rectangle + rate, count, tag header, colour
    // The leading tags searched for the background colour (a version 8+
    // movie starts with its file attributes, often with metadata after them).
    static constexpr size_t kBodyWindow = 1024;
    uint8_t plain[8] = {};
    size_t plainSize = 0;
    uint8_t body[kBodyWindow] = {};
    size_t bodySize = 0;
    bool streamDamaged = false;  // the zlib stream broke before the header values
};

// Reads the header bytes of the movie in src: at offset 0, or for a projector
// before the trailer. False for a projector without the trailer magic.
bool ReadMovieHeader(HeaderSource& src, bool projector, MovieHeaderBytes& out);
// The header values; throws FileReadError when the bytes end too early. The
// background colour is that of the first set-background-colour tag among the
// leading tags (0 when there is none before the first frame).
void DecodeFlashFileAttr(const MovieHeaderBytes& header, TFlashFileAttr& attr);
// GetFlashFileAttr's reading once the file is open; lowerExt is ".swf" or ".exe".
void ReadFlashFileAttr(HeaderSource& src, const std::string& lowerExt, TFlashFileAttr& attr);

}  // namespace kv
