#include "flash/core/video/H263Decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "flash/core/video/H263Tables.h"
#include "flash/core/video/VideoBits.h"

namespace flash {

namespace {

const int kMaxDimension = 4096;

inline uint8_t clampPixel(int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// 8x8 inverse DCT in floating point, rows then columns, skipping rows that
// hold no coefficient.
struct Idct {
    float c[8][8];  // c[x][u] = C(u)/2 * cos((2x+1)u pi/16)
    Idct() {
        for (int x = 0; x < 8; ++x)
            for (int u = 0; u < 8; ++u)
                c[x][u] = static_cast<float>((u == 0 ? std::sqrt(0.5) : 1.0) / 2 *
                                             std::cos((2 * x + 1) * u * 3.14159265358979323846 / 16));
    }
    void run(const int16_t in[64], int16_t out[64]) const {
        float tmp[64];
        for (int v = 0; v < 8; ++v) {
            const int16_t* row = in + v * 8;
            bool any = false;
            for (int u = 0; u < 8; ++u) any |= row[u] != 0;
            float* t = tmp + v * 8;
            if (!any) {
                std::fill(t, t + 8, 0.0f);
                continue;
            }
            for (int x = 0; x < 8; ++x) {
                float s = 0;
                for (int u = 0; u < 8; ++u) s += c[x][u] * row[u];
                t[x] = s;
            }
        }
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y) {
                float s = 0;
                for (int v = 0; v < 8; ++v) s += c[y][v] * tmp[v * 8 + x];
                out[y * 8 + x] = static_cast<int16_t>(std::lround(s));
            }
    }
};

const Idct& idct() {
    static const Idct instance;
    return instance;
}

// Reads the coefficients of one block from `start` (0 inter, 1 intra AC) and
// stores them dequantised. False on a damaged code.
bool readBlock(VideoBits& b, int16_t block[64], int start, int quant, int version) {
    const VlcTable& table = h263::coefficients();
    const int qadd = (quant - 1) | 1;
    int i = start;
    for (;;) {
        int code = table.read(b);
        if (code < 0) return false;
        int last, run, level;
        if (code == h263::kEscape) {
            if (version == 1) {
                bool wide = b.bit();
                last = b.bit();
                run = static_cast<int>(b.bits(6));
                level = b.sbits(wide ? 11 : 7);
            } else {
                last = b.bit();
                run = static_cast<int>(b.bits(6));
                level = b.sbits(8);
            }
            if (level == 0) return false;
        } else {
            last = code >> 12;
            run = (code >> 6) & 63;
            level = code & 63;
            if (b.bit()) level = -level;
        }
        i += run;
        if (i >= 64 || b.overflow()) return false;
        int v = level > 0 ? level * 2 * quant + qadd : level * 2 * quant - qadd;
        block[h263::kZigzag[i]] = static_cast<int16_t>(std::max(-2048, std::min(2047, v)));
        ++i;
        if (last) return true;
    }
}

int readMotion(VideoBits& b, int pred) {
    int code = h263::motionVector().read(b);
    if (code < 0) return 1 << 20;
    int v = code;
    if (code && b.bit()) v = -v;
    v += pred;
    // Vectors wrap into -16..15.5 pixels.
    if (v < -32) v += 64;
    if (v > 31) v -= 64;
    return v;
}

int median(int a, int b, int c) { return std::max(std::min(a, b), std::min(std::max(a, b), c)); }

// Half-pixel prediction of a size x size block at (x, y) + mv from ref.
void predict(const uint8_t* ref, int stride, int planeW, int planeH, int x, int y, int mvx, int mvy, int size,
             uint8_t* dst) {
    int px = x + (mvx >> 1), py = y + (mvy >> 1);
    const bool hx = mvx & 1, hy = mvy & 1;
    uint8_t area[17 * 17];
    const uint8_t* src;
    int sstride;
    if (px >= 0 && py >= 0 && px + size + 1 <= planeW && py + size + 1 <= planeH) {
        src = ref + static_cast<size_t>(py) * stride + px;
        sstride = stride;
    } else {
        // Past the picture's edge the edge pixels repeat.
        for (int j = 0; j <= size; ++j)
            for (int i = 0; i <= size; ++i) {
                int cx = std::max(0, std::min(planeW - 1, px + i)),
                    cy = std::max(0, std::min(planeH - 1, py + j));
                area[j * 17 + i] = ref[static_cast<size_t>(cy) * stride + cx];
            }
        src = area;
        sstride = 17;
    }
    for (int j = 0; j < size; ++j) {
        const uint8_t* a = src + j * sstride;
        const uint8_t* b = a + sstride;
        uint8_t* d = dst + j * size;
        if (!hx && !hy) {
            std::memcpy(d, a, size);
        } else if (hx && !hy) {
            for (int i = 0; i < size; ++i) d[i] = static_cast<uint8_t>((a[i] + a[i + 1] + 1) >> 1);
        } else if (!hx && hy) {
            for (int i = 0; i < size; ++i) d[i] = static_cast<uint8_t>((a[i] + b[i] + 1) >> 1);
        } else {
            for (int i = 0; i < size; ++i)
                d[i] = static_cast<uint8_t>((a[i] + a[i + 1] + b[i] + b[i + 1] + 2) >> 2);
        }
    }
}

}  // namespace

bool readH263Header(const uint8_t* data, size_t size, H263Header& h) {
    VideoBits b(data, size);
    if (b.bits(17) != 1) return false;
    h.version = static_cast<int>(b.bits(5));
    if (h.version > 1) return false;
    b.skip(8);  // temporal reference
    static const int kSizes[8][2] = {{0, 0},    {0, 0},     {352, 288}, {176, 144},
                                     {128, 96}, {320, 240}, {160, 120}, {0, 0}};
    int code = static_cast<int>(b.bits(3));
    if (code == 0) {
        h.width = static_cast<int>(b.bits(8));
        h.height = static_cast<int>(b.bits(8));
    } else if (code == 1) {
        h.width = static_cast<int>(b.bits(16));
        h.height = static_cast<int>(b.bits(16));
    } else {
        h.width = kSizes[code][0];
        h.height = kSizes[code][1];
    }
    h.type = static_cast<int>(b.bits(2));
    h.deblock = b.bit();
    h.quant = static_cast<int>(b.bits(5));
    while (b.bit() && !b.overflow()) b.skip(8);  // extra information
    h.dataBit = b.position();
    return !b.overflow() && h.type <= 2 && h.width > 0 && h.height > 0 && h.width <= kMaxDimension &&
           h.height <= kMaxDimension && h.quant > 0;
}

void H263Decoder::allocate(int width, int height) {
    width_ = width;
    height_ = height;
    mbCols_ = (width + 15) / 16;
    mbRows_ = (height + 15) / 16;
    for (Picture& p : pictures_) {
        p.planes[0].assign(static_cast<size_t>(mbCols_) * 16 * mbRows_ * 16, 0);
        p.planes[1].assign(static_cast<size_t>(mbCols_) * 8 * mbRows_ * 8, 128);
        p.planes[2].assign(static_cast<size_t>(mbCols_) * 8 * mbRows_ * 8, 128);
    }
    mvs_.assign(static_cast<size_t>(mbCols_) * mbRows_ * 2, 0);
    haveReference_ = false;
}

bool H263Decoder::decode(const uint8_t* data, size_t size) {
    H263Header h;
    if (!readH263Header(data, size, h)) return false;
    if (h.width != width_ || h.height != height_) {
        if (h.type != 0) return false;
        allocate(h.width, h.height);
    }
    if (h.type != 0 && !haveReference_) return false;
    VideoBits b(data, size);
    b.skip(static_cast<int>(h.dataBit));
    deblock_ = h.deblock;
    quant_ = h.quant;
    bool ok = decodeMacroblocks(b, h.type, h.quant, h.version);
    if (h.type == 2) {
        // Disposable: shown, but the next frame predicts from the kept one.
        shown_ = cur_;
    } else {
        std::swap(ref_, cur_);
        shown_ = ref_;
        haveReference_ = true;
    }
    return ok;
}

bool H263Decoder::decodeMacroblocks(VideoBits& b, int type, int quant, int version) {
    const int lumaStride = mbCols_ * 16, chromaStride = mbCols_ * 8;
    const int lumaH = mbRows_ * 16, chromaH = mbRows_ * 8;
    std::fill(mvs_.begin(), mvs_.end(), 0);
    int16_t blocks[6][64];
    int16_t residual[64];
    uint8_t pred[256];
    const Idct& dct = idct();
    for (int my = 0; my < mbRows_; ++my) {
        for (int mx = 0; mx < mbCols_; ++mx) {
            const int lx = mx * 16, ly = my * 16, cx = mx * 8, cy = my * 8;
            int mcbpc;
            bool skipped = false;
            for (;;) {
                if (type != 0 && b.bit()) {
                    skipped = true;
                    break;
                }
                mcbpc = (type == 0 ? h263::intraMcbpc() : h263::interMcbpc()).read(b);
                if (mcbpc != h263::kStuffing) break;
            }
            if (b.overflow()) return false;
            if (skipped) {
                for (int p = 0; p < 3; ++p) {
                    int s = p ? chromaStride : lumaStride, n = p ? 8 : 16, x = p ? cx : lx, y = p ? cy : ly;
                    for (int j = 0; j < n; ++j)
                        std::memcpy(cur_->planes[p].data() + static_cast<size_t>(y + j) * s + x,
                                    ref_->planes[p].data() + static_cast<size_t>(y + j) * s + x, n);
                }
                continue;
            }
            if (mcbpc < 0) return false;
            const int mbType = mcbpc >> 2;
            if (mbType == 2) return false;  // four vectors: not in this codec's baseline
            const bool intra = mbType >= 3;
            int cbpy = h263::cbpy().read(b);
            if (cbpy < 0) return false;
            if (!intra) cbpy ^= 15;
            if (mbType == 1 || mbType == 4) {
                static const int kDquant[4] = {-1, -2, 1, 2};
                quant = std::max(1, std::min(31, quant + kDquant[b.bits(2)]));
            }
            int mvx = 0, mvy = 0;
            if (!intra) {
                auto mv = [&](int x, int y, int c) -> int {
                    if (x < 0 || x >= mbCols_ || y < 0) return 0;
                    return mvs_[(static_cast<size_t>(y) * mbCols_ + x) * 2 + c];
                };
                int px, py;
                if (my == 0) {
                    px = mv(mx - 1, my, 0);
                    py = mv(mx - 1, my, 1);
                } else {
                    px = median(mv(mx - 1, my, 0), mv(mx, my - 1, 0), mv(mx + 1, my - 1, 0));
                    py = median(mv(mx - 1, my, 1), mv(mx, my - 1, 1), mv(mx + 1, my - 1, 1));
                }
                mvx = readMotion(b, px);
                mvy = readMotion(b, py);
                if (mvx > 31 || mvy > 31) return false;
                mvs_[(static_cast<size_t>(my) * mbCols_ + mx) * 2] = static_cast<int16_t>(mvx);
                mvs_[(static_cast<size_t>(my) * mbCols_ + mx) * 2 + 1] = static_cast<int16_t>(mvy);
            }
            const int cbp = cbpy << 2 | (mcbpc & 3);
            for (int k = 0; k < 6; ++k) {
                int16_t* blk = blocks[k];
                std::memset(blk, 0, sizeof(blocks[k]));
                const bool coded = (cbp >> (5 - k)) & 1;
                if (intra) {
                    int dc = static_cast<int>(b.bits(8));
                    if (dc == 255) dc = 128;
                    blk[0] = static_cast<int16_t>(dc * 8);
                    if (coded && !readBlock(b, blk, 1, quant, version)) return false;
                } else if (coded && !readBlock(b, blk, 0, quant, version)) {
                    return false;
                }
            }
            if (b.overflow()) return false;
            // Prediction (inter) plus residual, block by block.
            for (int k = 0; k < 6; ++k) {
                const bool coded = intra || ((cbp >> (5 - k)) & 1);
                const int p = k < 4 ? 0 : k - 3;
                const int s = p ? chromaStride : lumaStride;
                const int bx = p ? cx : lx + (k & 1) * 8, by = p ? cy : ly + (k >> 1) * 8;
                uint8_t* dst = cur_->planes[p].data() + static_cast<size_t>(by) * s + bx;
                if (coded) dct.run(blocks[k], residual);
                if (intra) {
                    for (int j = 0; j < 8; ++j)
                        for (int i = 0; i < 8; ++i) dst[j * s + i] = clampPixel(residual[j * 8 + i]);
                    continue;
                }
                const int size = 8;
                int vx = mvx, vy = mvy;
                if (p) {
                    vx = (mvx >> 1) | (mvx & 1);
                    vy = (mvy >> 1) | (mvy & 1);
                }
                predict(ref_->planes[p].data(), s, p ? chromaStride : lumaStride, p ? chromaH : lumaH, bx, by,
                        vx, vy, size, pred);
                for (int j = 0; j < 8; ++j)
                    for (int i = 0; i < 8; ++i)
                        dst[j * s + i] =
                            coded ? clampPixel(pred[j * 8 + i] + residual[j * 8 + i]) : pred[j * 8 + i];
            }
        }
    }
    return true;
}

void deblockPlane(uint8_t* plane, int width, int height, int stride, int quant) {
    static const int kStrength[32] = {0, 1, 1, 2, 2, 3, 3, 4,  4,  4,  5,  5,  6,  6,  7,  7,
                                      7, 8, 8, 8, 9, 9, 9, 10, 10, 10, 11, 11, 11, 12, 12, 12};
    const int strength = kStrength[std::max(0, std::min(31, quant))];
    auto filter = [&](uint8_t* a, uint8_t* b, uint8_t* c, uint8_t* d) {
        int A = *a, B = *b, C = *c, D = *d;
        int delta = (A - 4 * B + 4 * C - D) / 8;
        int mag = std::abs(delta);
        int d1 = std::max(0, mag - std::max(0, 2 * (mag - strength)));
        if (delta < 0) d1 = -d1;
        *b = clampPixel(B + d1);
        *c = clampPixel(C - d1);
        int lim = std::abs(d1 / 2);
        int d2 = std::max(-lim, std::min(lim, (A - D) / 4));
        *a = clampPixel(A - d2);
        *d = clampPixel(D + d2);
    };
    for (int y = 0; y < height; ++y) {
        uint8_t* row = plane + static_cast<size_t>(y) * stride;
        for (int x = 8; x + 1 < width; x += 8) filter(row + x - 2, row + x - 1, row + x, row + x + 1);
    }
    for (int y = 8; y + 1 < height; y += 8)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = plane + static_cast<size_t>(y) * stride + x;
            filter(p - 2 * stride, p - stride, p, p + stride);
        }
}

}  // namespace flash
