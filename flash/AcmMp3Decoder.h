// MP3 through the system's audio compression manager (Wine ships an MP3
// codec for it), behind the engine's AudioCodecs.
#pragma once

#include "flash/core/sound/AudioCodecs.h"

namespace kv {

class AcmCodecs : public flash::AudioCodecs {
public:
    std::unique_ptr<flash::Mp3Decoder> newMp3Decoder() override;
};

}  // namespace kv
