#include "flash/core/video/VideoStream.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace flash {

std::unique_ptr<VideoDef> VideoDef::parse(ByteReader& r, uint16_t& id) {
    auto v = std::make_unique<VideoDef>();
    id = r.u16();
    v->frameCount = r.u16();
    v->width = r.u16();
    v->height = r.u16();
    uint8_t flags = r.u8();
    v->deblocking = (flags >> 1) & 7;
    v->smoothing = (flags & 1) != 0;
    v->codec = r.u8();
    if (r.overflow()) return nullptr;
    return v;
}

void VideoDef::addFrame(ByteReader& r) {
    uint16_t n = r.u16();
    if (r.overflow()) return;
    Frame f;
    f.data = r.cursor();
    f.size = r.remaining();
    if (codec == kCodecSorenson) {
        H263Header h;
        f.key = readH263Header(f.data, f.size, h) && h.type == 0;
    } else if (codec == kCodecScreen) {
        f.key = screenVideoIsKey(f.data, f.size);
    } else {
        return;  // codecs without a decoder here show nothing
    }
    if (frames.size() <= n) frames.resize(static_cast<size_t>(n) + 1);
    frames[n] = f;
}

int VideoDef::keyFrameFor(int n) const {
    n = std::min(n, static_cast<int>(frames.size()) - 1);
    for (int k = n; k >= 0; --k)
        if (frames[k].key) return k;
    return -1;
}

bool VideoPlayback::decodeFrame(const VideoDef& def, int n) {
    const VideoDef::Frame& f = def.frames[n];
    if (def.codec == kCodecSorenson) return h263_.decode(f.data, f.size);
    return screen_.decode(f.data, f.size);
}

void VideoPlayback::show(const VideoDef& def, int n) {
    if (n < 0 || def.frames.empty()) return;
    n = std::min(n, static_cast<int>(def.frames.size()) - 1);
    while (n > 0 && !def.frames[n].data) --n;  // the last frame there is
    if (n == shown_ && valid_) return;
    const int key = def.keyFrameFor(n);
    if (key < 0) return;
    int from = key;
    if (valid_ && shown_ >= key && shown_ < n) from = shown_ + 1;
    bool ok = true;
    for (int k = from; k <= n; ++k) {
        const VideoDef::Frame& f = def.frames[k];
        if (!f.data) continue;
        // Disposable frames on the way predict nothing later: skip them.
        if (k < n && def.codec == kCodecSorenson && f.size > 3 && !f.key) {
            H263Header h;
            if (readH263Header(f.data, f.size, h) && h.type == 2) continue;
        }
        ok = decodeFrame(def, k) && ok;
    }
    shown_ = n;
    valid_ = ok;
    publish(def);
}

void VideoPlayback::publish(const VideoDef& def) {
    std::vector<uint32_t> px;
    if (def.codec == kCodecScreen) {
        px = screen_.pixels();
        bitmap_.swapPixels(screen_.width(), screen_.height(), px);
        return;
    }
    const int w = h263_.width(), h = h263_.height();
    if (w == 0) return;
    const uint8_t* planes[3] = {h263_.plane(0), h263_.plane(1), h263_.plane(2)};
    const bool deblock = def.deblocking == 0 ? h263_.deblockRequested() : def.deblocking >= 2;
    if (deblock) {
        // Smooths block edges of the shown picture only; prediction uses the
        // picture as decoded.
        for (int p = 0; p < 3; ++p) {
            int pw = p ? (w + 1) / 2 : w, ph = p ? (h + 1) / 2 : h;
            size_t bytes =
                static_cast<size_t>(h263_.stride(p)) * ((p ? (h + 15) / 16 * 8 : (h + 15) / 16 * 16));
            deblocked_[p].assign(planes[p], planes[p] + bytes);
            deblockPlane(deblocked_[p].data(), pw, ph, h263_.stride(p), h263_.quant());
            planes[p] = deblocked_[p].data();
        }
    }
    bitmap_.swapPixels(0, 0, px);  // take the old buffer back
    px.resize(static_cast<size_t>(w) * h);
    yuvToArgb(planes[0], h263_.stride(0), planes[1], planes[2], h263_.stride(1), w, h, px.data());
    bitmap_.swapPixels(w, h, px);
}

namespace {

inline uint32_t clampByte(int v) { return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace

void yuvToArgb(const uint8_t* yp, int yStride, const uint8_t* up, const uint8_t* vp, int cStride, int width,
               int height, uint32_t* out) {
    // 16.16 fixed point: R = 1.164 (Y-16) + 1.596 (V-128), and so on.
    const int ky = 76309, krv = 104597, kgu = 25675, kgv = 53279, kbu = 132201;
    for (int y = 0; y < height; ++y) {
        const uint8_t* Y = yp + static_cast<size_t>(y) * yStride;
        const uint8_t* U = up + static_cast<size_t>(y / 2) * cStride;
        const uint8_t* V = vp + static_cast<size_t>(y / 2) * cStride;
        uint32_t* o = out + static_cast<size_t>(y) * width;
        int x = 0;
#if defined(__SSE2__)
        // Eight pixels at a time in 16-bit lanes, scaled by 64.
        const __m128i zero = _mm_setzero_si128();
        const __m128i cy = _mm_set1_epi16(75), crv = _mm_set1_epi16(102), cgu = _mm_set1_epi16(25),
                      cgv = _mm_set1_epi16(52), cbu = _mm_set1_epi16(129), c16 = _mm_set1_epi16(16),
                      c128 = _mm_set1_epi16(128), round = _mm_set1_epi16(32);
        for (; x + 8 <= width; x += 8) {
            __m128i yy = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(Y + x)), zero);
            uint32_t u4, v4;
            std::copy(U + x / 2, U + x / 2 + 4, reinterpret_cast<uint8_t*>(&u4));
            std::copy(V + x / 2, V + x / 2 + 4, reinterpret_cast<uint8_t*>(&v4));
            __m128i uu = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(u4)), zero);
            __m128i vv = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(v4)), zero);
            uu = _mm_sub_epi16(_mm_unpacklo_epi16(uu, uu), c128);
            vv = _mm_sub_epi16(_mm_unpacklo_epi16(vv, vv), c128);
            __m128i base = _mm_add_epi16(_mm_mullo_epi16(_mm_sub_epi16(yy, c16), cy), round);
            __m128i r = _mm_srai_epi16(_mm_adds_epi16(base, _mm_mullo_epi16(vv, crv)), 6);
            __m128i g = _mm_srai_epi16(
                _mm_sub_epi16(_mm_sub_epi16(base, _mm_mullo_epi16(uu, cgu)), _mm_mullo_epi16(vv, cgv)), 6);
            __m128i b = _mm_srai_epi16(_mm_adds_epi16(base, _mm_mullo_epi16(uu, cbu)), 6);
            __m128i r8 = _mm_packus_epi16(r, r), g8 = _mm_packus_epi16(g, g), b8 = _mm_packus_epi16(b, b);
            __m128i a8 = _mm_set1_epi8(static_cast<char>(-1));
            __m128i bg = _mm_unpacklo_epi8(b8, g8), ra = _mm_unpacklo_epi8(r8, a8);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o + x), _mm_unpacklo_epi16(bg, ra));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(o + x + 4), _mm_unpackhi_epi16(bg, ra));
        }
#endif
        for (; x < width; ++x) {
            int c = (Y[x] - 16) * ky + 32768, d = U[x / 2] - 128, e = V[x / 2] - 128;
            o[x] = 0xFF000000u | clampByte((c + krv * e) >> 16) << 16 |
                   clampByte((c - kgu * d - kgv * e) >> 16) << 8 | clampByte((c + kbu * d) >> 16);
        }
    }
}

}  // namespace flash
