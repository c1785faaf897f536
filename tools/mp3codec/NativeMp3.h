// MP3 decoding with libmpg123 in feed mode, for native builds.
#pragma once

#include "flash/core/sound/AudioCodecs.h"

namespace flash {

class Mpg123Codecs : public AudioCodecs {
public:
    std::unique_ptr<Mp3Decoder> newMp3Decoder() override;
};

}  // namespace flash
