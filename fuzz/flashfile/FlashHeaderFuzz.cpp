// libFuzzer target for the header reader. The first byte chooses how the rest
// is read: as a ".swf" movie or as an ".exe" projector (trailer at the end).
#include <cstddef>
#include <cstdint>

#include "flashfile/FlashFileAttr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const bool projector = data[0] & 1;
    kv::MemorySource src(data + 1, size - 1);
    kv::TFlashFileAttr attr;
    try {
        kv::ReadFlashFileAttr(src, projector ? ".exe" : ".swf", attr);
        if (attr.IsFlashFile && (attr.FrameRate < 0 || attr.FrameRate > 255 || attr.FrameCount < 0 ||
                                 attr.FrameCount > 65535 || attr.Version.empty()))
            __builtin_trap();
    } catch (const kv::FileReadError&) {
    }
    // The bit reader on its own, with every width.
    kv::TSWFParser parser;
    parser.Attach(data, size);
    parser.ResetBitBuffer();
    for (size_t i = 0; i < size && i < 64; ++i) parser.GetSignedBits(data[i] % 34);
    return 0;
}
