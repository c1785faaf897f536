#include "flash/core/sound/Mixer.h"

#include <algorithm>
#include <cmath>

namespace flash {

uint32_t mixStep(double rate) {
    if (!(rate > 0)) rate = kMixRate;
    rate = std::min(rate, 4.0 * kMixRate);
    return static_cast<uint32_t>(std::llround(rate * 65536.0 / kMixRate));
}

size_t mixResampled(const int16_t* src, size_t avail, int channels, uint64_t& pos, uint32_t step,
                    int32_t* out, size_t frames, MixGain gain) {
    size_t n = 0;
    if (channels == 1) {
        for (; n < frames; ++n) {
            size_t i = static_cast<size_t>(pos >> 16);
            if (i >= avail) break;
            size_t j = i + 1 < avail ? i + 1 : i;
            int32_t frac = static_cast<int32_t>(pos & 0xFFFF);
            int32_t a = src[i], b = src[j];
            int32_t s = a + static_cast<int32_t>((static_cast<int64_t>(b - a) * frac) >> 16);
            out[2 * n] += (s * gain.left) >> 15;
            out[2 * n + 1] += (s * gain.right) >> 15;
            pos += step;
        }
    } else {
        for (; n < frames; ++n) {
            size_t i = static_cast<size_t>(pos >> 16);
            if (i >= avail) break;
            size_t j = i + 1 < avail ? i + 1 : i;
            int32_t frac = static_cast<int32_t>(pos & 0xFFFF);
            int32_t al = src[2 * i], bl = src[2 * j], ar = src[2 * i + 1], br = src[2 * j + 1];
            int32_t l = al + static_cast<int32_t>((static_cast<int64_t>(bl - al) * frac) >> 16);
            int32_t r = ar + static_cast<int32_t>((static_cast<int64_t>(br - ar) * frac) >> 16);
            out[2 * n] += (l * gain.left) >> 15;
            out[2 * n + 1] += (r * gain.right) >> 15;
            pos += step;
        }
    }
    return n;
}

MixGain Voice::gain(uint16_t envLeft, uint16_t envRight) const {
    double v = std::max(0.0, std::min(volume, 4.0));
    double p = std::max(-1.0, std::min(pan, 1.0));
    double l = v * std::min(1.0, 1.0 - p) * envLeft / 32768.0;
    double r = v * std::min(1.0, 1.0 + p) * envRight / 32768.0;
    MixGain g;
    g.left = static_cast<int32_t>(std::lround(l * 32768.0));
    g.right = static_cast<int32_t>(std::lround(r * 32768.0));
    return g;
}

// ---- Event sounds ----

EventVoice::EventVoice(std::shared_ptr<const PcmSound> sound, const SoundInfo& info)
    : sound_(std::move(sound)), step_(mixStep(sound_->rate)), envelope_(info.envelope) {
    size_t frames = sound_->frames();
    // In and out points count samples at 44.1 kHz, as envelope positions do.
    auto toFrames = [&](uint32_t p44) {
        return static_cast<size_t>(static_cast<double>(p44) * sound_->rate / kMixRate);
    };
    begin_ = info.hasInPoint ? std::min(toFrames(info.inPoint), frames) : 0;
    end_ = info.hasOutPoint ? std::min(toFrames(info.outPoint), frames) : frames;
    if (end_ < begin_) end_ = begin_;
    loopsLeft_ = std::max<uint32_t>(info.loops, 1);
}

void EventVoice::envelopeAt(uint64_t pos44, uint16_t& left, uint16_t& right) const {
    const auto& e = envelope_;
    if (e.empty()) {
        left = right = 32768;
        return;
    }
    if (pos44 <= e.front().pos44) {
        left = e.front().left;
        right = e.front().right;
        return;
    }
    for (size_t i = 1; i < e.size(); ++i) {
        if (pos44 >= e[i].pos44) continue;
        const EnvelopePoint& a = e[i - 1];
        const EnvelopePoint& b = e[i];
        double t = static_cast<double>(pos44 - a.pos44) / static_cast<double>(b.pos44 - a.pos44);
        left = static_cast<uint16_t>(a.left + (b.left - a.left) * t);
        right = static_cast<uint16_t>(a.right + (b.right - a.right) * t);
        return;
    }
    left = e.back().left;
    right = e.back().right;
}

bool EventVoice::mix(int32_t* out, size_t frames) {
    const size_t len = end_ - begin_;
    if (len == 0) return false;
    const int ch = sound_->channels;
    const int16_t* src = sound_->samples.data() + begin_ * static_cast<size_t>(ch);
    // Envelopes change the gain every 64 frames (1.5 ms), smooth enough
    // for the slow fades they describe.
    const size_t chunk = envelope_.empty() ? frames : 64;
    size_t done = 0;
    while (done < frames) {
        size_t want = std::min(chunk, frames - done);
        uint16_t el, er;
        envelopeAt(played_, el, er);
        size_t n = mixResampled(src, len, ch, pos_, step_, out + 2 * done, want, gain(el, er));
        done += n;
        played_ += n;
        if (n < want) {
            if (--loopsLeft_ == 0) return false;
            pos_ %= static_cast<uint64_t>(len) << 16;
        }
    }
    return true;
}

// ---- Stream sounds ----

StreamVoice::StreamVoice(const StreamDef& stream, int frame, double frameRate, AudioCodecs* codecs,
                         uint64_t startOut)
    : stream_(stream),
      decoder_(newSoundDecoder(stream.head.format, codecs)),
      frameRate_(frameRate > 0 ? frameRate : 12),
      next_(std::max(frame, 0)),
      startOut_(startOut) {
    if (!decoder_ || next_ > stream_.lastBlock) {
        finished_ = true;
        endOut_ = startOut;
        return;
    }
    const StreamBlock* first =
        next_ < static_cast<int>(stream_.blocks.size()) ? &stream_.blocks[next_] : nullptr;
    if (first && first->data.data && first->seekSamples > 0) skip_ = static_cast<size_t>(first->seekSamples);
    pull();  // the first block tells an MP3 stream's real rate and layout
    channels_ = decoder_->channels();
    step_ = mixStep(decoder_->rate());
    pos_ = static_cast<uint64_t>(skip_) << 16;
}

bool StreamVoice::pull() {
    const int last = std::min(stream_.lastBlock, static_cast<int>(stream_.blocks.size()) - 1);
    if (next_ > last) {
        ended_ = true;
        return false;
    }
    int frame = next_++;
    const StreamBlock& b = stream_.blocks[frame];
    const size_t ch = static_cast<size_t>(decoder_->channels());
    uint64_t at = bufStart_ + buf_.size() / ch;
    if (b.data.data) {
        // A block holds one frame's sound; more than a few seconds of it is not sound for this frame.
        size_t limit = static_cast<size_t>(decoder_->rate() * 8) + 4096;
        decoder_->decode(b.data.data, b.data.size, buf_, limit);
    } else {
        size_t gap = static_cast<size_t>(std::lround(decoder_->rate() / frameRate_));
        buf_.insert(buf_.end(), gap * ch, 0);
    }
    marks_.emplace_back(at, frame);
    if (marks_.size() > 512) marks_.pop_front();
    return true;
}

bool StreamVoice::mix(int32_t* out, size_t frames) {
    if (finished_) return false;
    const size_t ch = static_cast<size_t>(channels_);
    // Everything this call reads, plus the neighbour for interpolation.
    uint64_t need = ((pos_ + static_cast<uint64_t>(step_) * frames) >> 16) + 2;
    while (!ended_ && bufStart_ + buf_.size() / ch < need) pull();
    uint64_t rel = pos_ - (bufStart_ << 16);
    size_t avail = buf_.size() / ch;
    size_t n = mixResampled(buf_.data(), avail, channels_, rel, step_, out, frames, gain());
    pos_ = rel + (bufStart_ << 16);
    if (n < frames && ended_) {
        finished_ = true;
        // Output position after the last sample: the frames mixed so far.
        endOut_ = startOut_ + (((pos_ - (static_cast<uint64_t>(skip_) << 16)) + step_ - 1) / step_);
        return false;
    }
    // Drop what has been played, keeping a little for interpolation.
    size_t used = static_cast<size_t>(rel >> 16);
    if (used > 8192) {
        size_t drop = used - 1;
        buf_.erase(buf_.begin(), buf_.begin() + static_cast<long>(drop * ch));
        bufStart_ += drop;
    }
    return true;
}

int StreamVoice::frameAt(uint64_t outPos) const {
    if (outPos < startOut_ || outPos >= endOut_) return -1;
    uint64_t src = ((static_cast<uint64_t>(skip_) << 16) + (outPos - startOut_) * step_) >> 16;
    int frame = -1;
    for (const auto& m : marks_) {
        if (m.first > src) break;
        frame = m.second;
    }
    if (frame >= 0 && src >= bufStart_ + buf_.size() / static_cast<size_t>(channels_) && ended_) return -1;
    return frame;
}

// ---- Mixer ----

void Mixer::render(int16_t* out, size_t frames) {
    sum_.assign(frames * 2, 0);
    voices_.erase(
        std::remove_if(voices_.begin(), voices_.end(),
                       [&](const std::unique_ptr<Voice>& v) { return !v->mix(sum_.data(), frames); }),
        voices_.end());
    const int32_t master =
        static_cast<int32_t>(std::lround(std::max(0.0, std::min(masterVolume, 1.0)) * 32768));
    for (size_t i = 0; i < frames * 2; ++i) {
        int32_t s =
            master == 32768 ? sum_[i] : static_cast<int32_t>((static_cast<int64_t>(sum_[i]) * master) >> 15);
        out[i] = static_cast<int16_t>(std::max(-32768, std::min(32767, s)));
    }
    rendered_ += frames;
}

}  // namespace flash
