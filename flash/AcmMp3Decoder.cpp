#include "flash/AcmMp3Decoder.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>
#include <mmreg.h>
#include <msacm.h>
// clang-format on

#include <algorithm>

#include "flash/core/sound/Mp3Header.h"

namespace kv {

namespace {

// One ACM conversion stream from the MP3 format of the first frame to
// 16-bit PCM of the same rate and channels. Input that ends inside a frame
// waits for the next call.
class AcmMp3Decoder : public flash::Mp3Decoder {
public:
    ~AcmMp3Decoder() override { close(); }

    bool decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, int& rate,
                int& channels) override {
        if (pending_.size() + size > kMaxPending) pending_.clear();  // never a frame: garbage
        pending_.insert(pending_.end(), data, data + size);
        if (!stream_ && !open()) return false;
        bool any = false;
        // Each round converts what is pending; a codec that keeps decoded
        // samples back for a full output buffer gives them in later rounds.
        for (int round = 0; round < 64; ++round) {
            DWORD srcLen = static_cast<DWORD>(pending_.size());
            DWORD dstLen = 0;
            if (acmStreamSize(stream_, std::max<DWORD>(srcLen, 1), &dstLen, ACM_STREAMSIZEF_SOURCE) != 0 ||
                dstLen == 0)
                dstLen = 1 << 16;
            dstLen = std::max<DWORD>(dstLen, 1 << 14);
            dst_.resize(dstLen);
            ACMSTREAMHEADER h{};
            h.cbStruct = sizeof h;
            h.pbSrc = pending_.empty() ? dst_.data() : pending_.data();
            h.cbSrcLength = srcLen;
            h.pbDst = dst_.data();
            h.cbDstLength = dstLen;
            if (acmStreamPrepareHeader(stream_, &h, 0) != 0) break;
            MMRESULT rc = acmStreamConvert(stream_, &h, ACM_STREAMCONVERTF_BLOCKALIGN);
            DWORD used = std::min<DWORD>(h.cbSrcLengthUsed, srcLen), made = h.cbDstLengthUsed;
            h.cbSrcLength = srcLen;
            h.cbDstLength = dstLen;
            acmStreamUnprepareHeader(stream_, &h, 0);
            if (rc != 0) break;
            pending_.erase(pending_.begin(), pending_.begin() + used);
            const int16_t* s = reinterpret_cast<const int16_t*>(dst_.data());
            out.insert(out.end(), s, s + made / 2);
            any = any || made > 0;
            if (made < dstLen && (used == 0 || pending_.empty())) break;
        }
        rate = rate_;
        channels = channels_;
        return any || stream_ != nullptr;
    }

    void reset() override {
        close();
        pending_.clear();
    }

private:
    static constexpr size_t kMaxPending = 1 << 20;

    bool open() {
        // The first frame header tells the format; what comes before it is no sound.
        size_t i = 0;
        flash::Mp3Header head;
        while (i + 4 <= pending_.size() && !flash::readMp3Header(pending_.data() + i, head)) ++i;
        pending_.erase(pending_.begin(), pending_.begin() + std::min(i, pending_.size()));
        if (head.rate == 0) return false;
        MPEGLAYER3WAVEFORMAT src{};
        src.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
        src.wfx.nChannels = static_cast<WORD>(head.channels);
        src.wfx.nSamplesPerSec = static_cast<DWORD>(head.rate);
        src.wfx.nAvgBytesPerSec = static_cast<DWORD>(head.bitrate / 8);
        src.wfx.nBlockAlign = 1;
        src.wfx.wBitsPerSample = 0;
        src.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
        src.wID = MPEGLAYER3_ID_MPEG;
        src.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
        src.nBlockSize = static_cast<WORD>(head.size);
        src.nFramesPerBlock = 1;
        src.nCodecDelay = 0;
        WAVEFORMATEX dst{};
        dst.wFormatTag = WAVE_FORMAT_PCM;
        dst.nChannels = src.wfx.nChannels;
        dst.nSamplesPerSec = src.wfx.nSamplesPerSec;
        dst.wBitsPerSample = 16;
        dst.nBlockAlign = static_cast<WORD>(dst.nChannels * 2);
        dst.nAvgBytesPerSec = dst.nSamplesPerSec * dst.nBlockAlign;
        if (acmStreamOpen(&stream_, nullptr, &src.wfx, &dst, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) !=
            0) {
            stream_ = nullptr;
            return false;
        }
        rate_ = head.rate;
        channels_ = head.channels;
        return true;
    }

    void close() {
        if (stream_) acmStreamClose(stream_, 0);
        stream_ = nullptr;
    }

    HACMSTREAM stream_ = nullptr;
    int rate_ = 0, channels_ = 0;
    std::vector<uint8_t> pending_;
    std::vector<uint8_t> dst_;
};

}  // namespace

std::unique_ptr<flash::Mp3Decoder> AcmCodecs::newMp3Decoder() { return std::make_unique<AcmMp3Decoder>(); }

}  // namespace kv
