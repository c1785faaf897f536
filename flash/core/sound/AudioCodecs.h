// The host decodes MP3 for the engine (on Windows through the system's audio
// compression manager, natively through a decoder library), as it decodes
// images through ImageDecoder; the engine never links a codec itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace flash {

// One MP3 stream: successive calls continue where the last one stopped, so
// frames that borrow bits from earlier ones decode.
class Mp3Decoder {
public:
    virtual ~Mp3Decoder() = default;
    // Decodes the whole frames in `data`, appending interleaved 16-bit
    // samples to `out`; `rate` and `channels` are those of the frames. A
    // frame cut at the end waits for the next call. False when nothing could
    // be decoded and the data is not MP3.
    virtual bool decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, int& rate,
                        int& channels) = 0;
    // Forgets the stream (before data that does not follow on).
    virtual void reset() = 0;
};

class AudioCodecs {
public:
    virtual ~AudioCodecs() = default;
    // A new MP3 stream decoder, or null when MP3 cannot be decoded here.
    virtual std::unique_ptr<Mp3Decoder> newMp3Decoder() = 0;
};

}  // namespace flash
