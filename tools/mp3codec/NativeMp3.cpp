#include "tools/mp3codec/NativeMp3.h"

#include <mpg123.h>

namespace flash {

namespace {

class Mpg123Decoder : public Mp3Decoder {
public:
    Mpg123Decoder() {
        static const int init = mpg123_init();
        (void)init;
        h_ = mpg123_new(nullptr, nullptr);
        if (!h_) return;
        // Raw frames, as the movie's seek samples expect: no gapless trimming.
        mpg123_param(h_, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
        mpg123_param(h_, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
        mpg123_format_none(h_);
        const long* rates = nullptr;
        size_t n = 0;
        mpg123_rates(&rates, &n);
        for (size_t i = 0; i < n; ++i)
            mpg123_format(h_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
        mpg123_open_feed(h_);
    }
    ~Mpg123Decoder() override {
        if (h_) mpg123_delete(h_);
    }
    bool ok() const { return h_ != nullptr; }

    bool decode(const uint8_t* data, size_t size, std::vector<int16_t>& out, int& rate,
                int& channels) override {
        if (!h_ || mpg123_feed(h_, data, size) != MPG123_OK) return false;
        bool any = false;
        unsigned char buf[16384];
        for (;;) {
            size_t done = 0;
            int rc = mpg123_read(h_, buf, sizeof buf, &done);
            if (rc == MPG123_NEW_FORMAT) {
                long r = 0;
                int ch = 0, enc = 0;
                mpg123_getformat(h_, &r, &ch, &enc);
                rate_ = static_cast<int>(r);
                channels_ = ch;
                continue;
            }
            if (done > 0) {
                const int16_t* s = reinterpret_cast<const int16_t*>(buf);
                out.insert(out.end(), s, s + done / 2);
                any = true;
            }
            if (rc != MPG123_OK) break;  // needs more data, or the data is broken
        }
        rate = rate_;
        channels = channels_;
        return any || rate_ > 0;
    }

    void reset() override {
        if (!h_) return;
        mpg123_close(h_);
        mpg123_open_feed(h_);
    }

private:
    mpg123_handle* h_ = nullptr;
    int rate_ = 0, channels_ = 0;
};

}  // namespace

std::unique_ptr<Mp3Decoder> Mpg123Codecs::newMp3Decoder() {
    auto d = std::make_unique<Mpg123Decoder>();
    if (!d->ok()) return nullptr;
    return d;
}

}  // namespace flash
