// The sound tags of a movie: sound characters, the event sounds of frames,
// stream heads and blocks, and button sounds.
#include "flash/core/Movie.h"

namespace flash {

namespace {

enum SoundTag : uint16_t {
    kDefineSound = 14,
    kStartSound = 15,
    kDefineButtonSound = 17,
    kSoundStreamHead = 18,
    kSoundStreamBlock = 19,
    kSoundStreamHead2 = 45,
    kStartSound2 = 89,
};

}  // namespace

bool MovieDef::parseSoundTag(uint16_t code, ByteReader& r, size_t bodyStart, TimelineDef& timeline,
                             FrameDef& frame) {
    const bool isRoot = &timeline == &root_;
    switch (code) {
        case kDefineSound: {
            SoundDef def;
            if (isRoot && readDefineSound(r, body_.data() + bodyStart, def) && !sounds_.count(def.id))
                sounds_[def.id] = def;
            return true;
        }
        case kStartSound:
        case kStartSound2: {
            StartSoundCmd cmd;
            if (code == kStartSound) {
                cmd.soundId = r.u16();
            } else {
                cmd.className = r.str();
            }
            if (readSoundInfo(r, cmd.info) && frame.sounds.size() < 64)
                frame.sounds.push_back(std::move(cmd));
            return true;
        }
        case kDefineButtonSound: {
            uint16_t id = 0;
            ButtonSounds sounds;
            if (isRoot && readButtonSounds(r, id, sounds)) buttonSounds_[id] = sounds;
            return true;
        }
        case kSoundStreamHead:
        case kSoundStreamHead2: {
            // One stream per timeline: a second head starts it anew.
            auto s = std::make_shared<StreamDef>();
            if (readStreamHead(r, s->head)) timeline.stream = std::move(s);
            return true;
        }
        case kSoundStreamBlock: {
            if (!timeline.stream) return true;
            StreamDef& s = *timeline.stream;
            StreamBlock block;
            if (!readStreamBlock(body_.data() + bodyStart, r.size(), s.head, block)) return true;
            size_t frameIndex = timeline.frames.size();
            if (s.blocks.size() <= frameIndex) s.blocks.resize(frameIndex + 1);
            if (s.blocks[frameIndex].data.data) return true;  // one block per frame
            s.blocks[frameIndex] = block;
            if (s.firstBlock < 0) s.firstBlock = static_cast<int>(frameIndex);
            s.lastBlock = static_cast<int>(frameIndex);
            return true;
        }
        default:
            return false;
    }
}

const SoundDef* MovieDef::sound(uint16_t id) const {
    auto it = sounds_.find(id);
    return it == sounds_.end() ? nullptr : &it->second;
}

const SoundDef* MovieDef::exportedSound(const std::string& name) const {
    uint16_t id = exportedCharacter(name);
    return id ? sound(id) : nullptr;
}

const ButtonSounds* MovieDef::buttonSounds(uint16_t buttonId) const {
    auto it = buttonSounds_.find(buttonId);
    return it == buttonSounds_.end() ? nullptr : &it->second;
}

}  // namespace flash
