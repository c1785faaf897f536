// The sweep of accumulated cells into coverage spans, made once per way of
// turning a block of eight cells into coverage: four lanes at a time in
// every build, eight for processors with AVX2. The code here has internal
// linkage, as the two are compiled for different instruction sets.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "flash/core/raster/Rasterizer.h"

namespace flash {

// Cells per block of the touched flags: 1 << kSweepBlockShift.
constexpr int kSweepBlockShift = 3;

// The accumulated cells of a sweep: rows of `stride` cells, the span of
// touched cells of each row, a flag per block of touched cells, and where
// row 0 and cell 0 lie on the target (row 0 is row r0 of the area at oy).
struct SweepArea {
    float* acc;
    const uint8_t* touched;
    const int* rowMin;
    const int* rowMax;
    uint8_t* covers;  // room for a row's coverage
    int rows, width, stride, blocksPerRow, ox, oy, r0;
};

namespace {

// Coverage 0..255 of an accumulated area by the fill rule.
template <bool EvenOdd, bool Antialias>
inline uint8_t coverage(float s) {
    float a = std::fabs(s);
    if (EvenOdd) {
        if (a > 1.0f) {
            a = std::fmod(a, 2.0f);
            if (a > 1.0f) a = 2.0f - a;
        }
    } else {
        a = std::min(a, 1.0f);
    }
    if (!Antialias) return a >= 0.5f ? 255 : 0;
    return static_cast<uint8_t>(a * 255.0f + 0.5f);
}

// Index of the first and of the last non-zero byte (in memory order) of
// eight read as one word, which is not zero.
inline int firstSetByte(uint64_t w) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return __builtin_clzll(w) >> 3;
#else
    return __builtin_ctzll(w) >> 3;
#endif
}
inline int lastSetByte(uint64_t w) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return 7 - (__builtin_ctzll(w) >> 3);
#else
    return 7 - (__builtin_clzll(w) >> 3);
#endif
}

// Emits cov[0 .. last - start] as the span from start, without the zero
// coverage at either end. The ends are found eight bytes at a time (cov has
// room for eight beyond any pixel): how many zeros there are varies from row
// to row, which a byte loop pays for in mispredicted branches.
inline void emit(SpanSink& sink, int y, int ox, int start, int last, const uint8_t* cov) {
    int first = start;
    for (;;) {
        if (first > last) return;
        uint64_t w;
        std::memcpy(&w, cov + (first - start), 8);
        if (w) {
            first += firstSetByte(w);
            break;
        }
        first += 8;
    }
    if (first > last) return;
    while (last - 7 >= first) {
        uint64_t w;
        std::memcpy(&w, cov + (last - 7 - start), 8);
        if (w) {
            last -= 7 - lastSetByte(w);
            sink.span(y, first + ox, last - first + 1, cov + (first - start));
            return;
        }
        last -= 8;
    }
    while (last >= first && cov[last - start] == 0) --last;
    if (last >= first) sink.span(y, first + ox, last - first + 1, cov + (first - start));
}

// Block: kUsable, and run<EvenOdd, Antialias>(cells, out, s), which adds
// eight cells to the running sum s, clears them and writes their coverage
// to out[0..7]. Cells are cleared as they are read, ready for the next sweep.
template <bool EvenOdd, bool Antialias, class Block>
void sweepArea(const SweepArea& a, SpanSink& sink) {
    uint8_t* cov = a.covers;
    const int kBlock = 1 << kSweepBlockShift;
    for (int y = 0; y < a.rows; ++y) {
        int lo = a.rowMin[y], hi = a.rowMax[y];
        if (lo > hi) continue;
        float* row = a.acc + static_cast<size_t>(y) * a.stride;
        const uint8_t* flags = a.touched + static_cast<size_t>(y) * a.blocksPerRow;
        const int end = std::min(hi, a.width - 1);  // last pixel with coverage to report
        const int lastBlock = hi >> kSweepBlockShift;
        float s = 0;
        int spanStart = -1;  // coverage of the pixels from spanStart on is collected in cov
        for (int b = lo >> kSweepBlockShift; b <= lastBlock;) {
            if (flags[b]) {
                const int base = b << kSweepBlockShift;
                ++b;
                if (Block::kUsable && base + kBlock <= a.stride) {
                    // The whole block at once. Cells of the row outside
                    // [lo, hi] are zero: before lo the coverage is zero (and
                    // trimmed by emit), after hi it is only written to cov
                    // beyond the last pixel reported.
                    if (spanStart < 0) spanStart = base;
                    Block::template run<EvenOdd, Antialias>(row + base, cov + (base - spanStart), s);
                    continue;
                }
                int bx0 = std::max(lo, base), bx1 = std::min(hi + 1, base + kBlock);
                int stop = std::min(bx1, end + 1);
                if (spanStart < 0) spanStart = bx0;
                uint8_t* c = cov - spanStart;
                int x = bx0;
                for (; x < stop; ++x) {
                    s += row[x];
                    row[x] = 0;
                    c[x] = coverage<EvenOdd, Antialias>(s);
                }
                for (; x < bx1; ++x) {
                    s += row[x];
                    row[x] = 0;
                }
                continue;
            }
            // A run of blocks without cells (their cells are all zero): the
            // coverage stays what it was.
            int e = b + 1;
            while (e <= lastBlock) {
                uint64_t eight;  // may reach past the row: flags have room after the last
                std::memcpy(&eight, flags + e, 8);
                if (eight) {
                    e = std::min(lastBlock + 1, e + firstSetByte(eight));
                    break;
                }
                e += 8;
            }
            e = std::min(e, lastBlock + 1);
            int bx0 = std::max(lo, b << kSweepBlockShift), bx1 = std::min(hi + 1, e << kSweepBlockShift);
            int stop = std::min(bx1, end + 1);
            b = e;
            uint8_t c = coverage<EvenOdd, Antialias>(s);
            if (c) {
                if (spanStart < 0) spanStart = bx0;
                if (stop > bx0) std::memset(cov + (bx0 - spanStart), c, static_cast<size_t>(stop - bx0));
            } else if (spanStart >= 0) {
                emit(sink, y + a.oy + a.r0, a.ox, spanStart, bx0 - 1,
                     cov);  // a gap of a whole block ends the span
                spanStart = -1;
            }
        }
        if (spanStart >= 0) emit(sink, y + a.oy + a.r0, a.ox, spanStart, end, cov);
    }
}

// The sweep by the fill rule and edge mode.
template <class Block>
void sweepByRule(const SweepArea& a, FillRule rule, bool antialias, SpanSink& sink) {
    if (rule == FillRule::EvenOdd) {
        if (antialias) {
            sweepArea<true, true, Block>(a, sink);
        } else {
            sweepArea<true, false, Block>(a, sink);
        }
    } else if (antialias) {
        sweepArea<false, true, Block>(a, sink);
    } else {
        sweepArea<false, false, Block>(a, sink);
    }
}

}  // namespace
}  // namespace flash
