#include "flash/core/raster/Rasterizer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "flash/core/raster/SweepRows.h"
#include "flash/core/raster/WideSpans.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace flash {

void Rasterizer::reset(int width, int height) {
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    lines_.clear();
}

void Rasterizer::setRows(int top, int bottom) {
    rowsTop_ = std::max(0, top);
    rowsBottom_ = std::max(rowsTop_, bottom);
}

void Rasterizer::addLine(float x0, float y0, float x1, float y1) {
    if (y0 == y1) return;  // horizontal edges carry no cover
    if (!(std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1))) return;
    // Keep coordinates in a range where float steps stay meaningful.
    const float lim = 1e7f;
    x0 = std::max(-lim, std::min(lim, x0));
    x1 = std::max(-lim, std::min(lim, x1));
    y0 = std::max(-lim, std::min(lim, y0));
    y1 = std::max(-lim, std::min(lim, y1));
    if (y0 == y1) return;
    if (lines_.empty()) {
        minX_ = maxX_ = x0;
        minY_ = maxY_ = y0;
    }
    minX_ = std::min(minX_, std::min(x0, x1));
    maxX_ = std::max(maxX_, std::max(x0, x1));
    minY_ = std::min(minY_, std::min(y0, y1));
    maxY_ = std::max(maxY_, std::max(y0, y1));
    lines_.push_back({x0, y0, x1, y1});
}

void Rasterizer::addQuad(float x0, float y0, float cx, float cy, float x1, float y1, float tolerance) {
    float ddx = x0 - 2 * cx + x1, ddy = y0 - 2 * cy + y1;
    float dd = std::sqrt(ddx * ddx + ddy * ddy);
    int n = 1;
    if (std::isfinite(dd) && dd > 0) {
        // The chords of n pieces deviate from the curve by at most dd / (4 n^2).
        n = static_cast<int>(std::ceil(std::sqrt(dd / (4 * tolerance))));
        n = std::max(1, std::min(n, 128));
    }
    float px = x0, py = y0;
    for (int i = 1; i <= n; ++i) {
        float t = static_cast<float>(i) / n, u = 1 - t;
        float qx = i == n ? x1 : u * u * x0 + 2 * u * t * cx + t * t * x1;
        float qy = i == n ? y1 : u * u * y0 + 2 * u * t * cy + t * t * y1;
        addLine(px, py, qx, qy);
        px = qx;
        py = qy;
    }
}

bool Rasterizer::bounds(int& x0, int& y0, int& x1, int& y1) const {
    if (lines_.empty()) return false;
    // Everything left of the target still covers its left column.
    x0 = std::max(0, std::min(width_, static_cast<int>(std::floor(minX_))));
    x1 = std::max(0, std::min(width_, static_cast<int>(std::ceil(maxX_)) + 1));
    y0 = std::max(0, static_cast<int>(std::floor(minY_)));
    y1 = std::min(height_, static_cast<int>(std::ceil(maxY_)));
    if (maxX_ < 0) x1 = std::min(width_, 1);
    return x1 > x0 && y1 > y0;
}

// Adds a segment (area-weighted, x already inside [0, bw]) to the cells.
void Rasterizer::accumulate(float x0, float y0, float x1, float y1) {
    if (y0 == y1) return;
    float dir = 1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1;
    }
    // Rows are those of the whole area below r0_ + bh_; only those from r0_
    // on are stored (at y - r0_).
    const int r0 = r0_, rowEnd = r0_ + bh_;
    if (y1 <= 0 || y0 >= rowEnd) return;
    // x is taken afresh at every row's top from the segment's start, never
    // summed along it: a band starting at any row sees the values a sweep of
    // everything sees there, without stepping through the rows above.
    const float xs = x0, ys = y0, dxdy = (x1 - x0) / (y1 - y0);
    if (y0 < 0) y0 = 0;
    if (y1 > rowEnd) y1 = static_cast<float>(rowEnd);
    int yStart = std::max(static_cast<int>(y0), r0);
    const int yEnd = std::min(rowEnd, static_cast<int>(std::ceil(y1)));
    float x = xs + dxdy * (std::max(y0, static_cast<float>(yStart)) - ys);
    // Members in locals: the stores below would otherwise make the compiler
    // reload them on every row.
    const float maxXf = static_cast<float>(bw_);
    const size_t stride = static_cast<size_t>(stride_), blocksPerRow = static_cast<size_t>(blocksPerRow_);
    float* const acc = acc_.data();
    uint8_t* const touched = touched_.data();
    int* const rowMin = rowMin_.data();
    int* const rowMax = rowMax_.data();
    for (int y = yStart; y < yEnd; ++y) {
        float top = std::max(y0, static_cast<float>(y));
        float bottom = std::min(y1, static_cast<float>(y + 1));
        float dy = bottom - top;
        if (dy <= 0) continue;
        float xnext = xs + dxdy * (bottom - ys);
        float d = dy * dir;
        float xa = std::max(0.0f, std::min(maxXf, std::min(x, xnext)));
        float xb = std::max(0.0f, std::min(maxXf, std::max(x, xnext)));
        const int ry = y - r0;
        float* row = acc + static_cast<size_t>(ry) * stride;
        int x0i = static_cast<int>(xa);
        const float m = static_cast<float>(x0i + 1);  // right border of the first cell
        int lo = x0i, hi;
        if (xb <= m + 1.0f) {
            // One or two cells, without branches on which: u of the width
            // lies in the first cell, v in the second.
            float u = std::min(xb, m) - xa, v = std::max(xb - m, 0.0f), w = xb - xa;
            float r = w > 0 ? u / w : 1.0f;  // share of the height spent in the first cell
            float cov0 = d * r * (m - xa - 0.5f * u);
            float cov1 = d * (r + (1.0f - r) * (1.0f - 0.5f * v));
            row[x0i] += cov0;
            row[x0i + 1] += cov1 - cov0;
            row[x0i + 2] += d - cov1;
            hi = x0i + 2;
        } else {
            const float x0floor = m - 1.0f;
            int x1i = static_cast<int>(xb);
            x1i += static_cast<float>(x1i) < xb;  // ceil, xb being positive
            float s = 1.0f / (xb - xa);
            float x0f = xa - x0floor;
            float a0 = 0.5f * s * (1.0f - x0f) * (1.0f - x0f);
            float x1f = xb - static_cast<float>(x1i) + 1.0f;
            float am = 0.5f * s * x1f * x1f;
            float a1 = s * (1.5f - x0f);
            row[x0i] += d * a0;
            row[x0i + 1] += d * (a1 - a0);
            for (int xi = x0i + 2; xi < x1i - 1; ++xi) row[xi] += d * s;
            float a2 = a1 + static_cast<float>(x1i - x0i - 3) * s;
            row[x1i - 1] += d * (1.0f - a2 - am);
            row[x1i] += d * am;
            hi = x1i;
        }
        rowMin[ry] = std::min(rowMin[ry], lo);
        rowMax[ry] = std::max(rowMax[ry], hi);
        uint8_t* flags = touched + static_cast<size_t>(ry) * blocksPerRow;
        const int bl = lo >> kBlockShift, bh = hi >> kBlockShift;
        flags[bl] = 1;
        flags[bh] = 1;
        for (int b = bl + 1; b < bh; ++b) flags[b] = 1;
        x = xnext;
    }
}

// Splits a segment where it crosses the left and right borders; parts left
// of the area become vertical at its left border, parts right are dropped.
void Rasterizer::accumulateClippedX(float x0, float y0, float x1, float y1) {
    const float left = 0, right = static_cast<float>(bw_);
    if (x0 >= left && x1 >= left && x0 <= right && x1 <= right) {
        accumulate(x0, y0, x1, y1);  // the usual case: nothing to split
        return;
    }
    float xs[4] = {x0, 0, 0, x1}, ys[4] = {y0, 0, 0, y1};
    int n = 1;
    float tl = -1, tr = -1;
    if ((x0 < left) != (x1 < left)) tl = (left - x0) / (x1 - x0);
    if ((x0 > right) != (x1 > right)) tr = (right - x0) / (x1 - x0);
    float ts[2];
    int nt = 0;
    if (tl > 0 && tl < 1) ts[nt++] = tl;
    if (tr > 0 && tr < 1) ts[nt++] = tr;
    if (nt == 2 && ts[0] > ts[1]) std::swap(ts[0], ts[1]);
    for (int i = 0; i < nt; ++i) {
        xs[n] = x0 + (x1 - x0) * ts[i];
        ys[n] = y0 + (y1 - y0) * ts[i];
        ++n;
    }
    xs[n] = x1;
    ys[n] = y1;
    for (int i = 0; i < n; ++i) {
        float ax = xs[i], bx = xs[i + 1];
        float mid = 0.5f * (ax + bx);
        if (mid >= right) {
            // Nothing to accumulate, but the rows it spans are covered up to
            // the right border by whatever lies left of it.
            const int rowEnd = r0_ + bh_;
            float ya = std::max(0.0f, std::min(ys[i], ys[i + 1]));
            float yb = std::min(static_cast<float>(rowEnd), std::max(ys[i], ys[i + 1]));
            for (int y = std::max(r0_, static_cast<int>(ya)); y < rowEnd && static_cast<float>(y) < yb; ++y)
                rowMax_[y - r0_] = std::max(rowMax_[y - r0_], bw_ - 1);
            continue;
        }
        if (mid <= left) {
            accumulate(left, ys[i], left, ys[i + 1]);
        } else {
            accumulate(std::max(left, std::min(right, ax)), ys[i], std::max(left, std::min(right, bx)),
                       ys[i + 1]);
        }
    }
}

namespace {

static_assert(kSweepBlockShift == Rasterizer::kBlockShift, "one block size");

#if defined(__SSE2__)
// Four coverage values (as 32-bit lanes) of accumulated areas, computed as
// coverage() does.
template <bool EvenOdd, bool Antialias>
inline __m128i coverage4(__m128 s) {
    const __m128 one = _mm_set1_ps(1.0f);
    __m128 a = _mm_and_ps(s, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF)));
    a = _mm_min_ps(a, _mm_set1_ps(1e9f));  // also turns NaN into a finite value
    if (EvenOdd) {
        // a mod 2, folded back from (1, 2) to (0, 1).
        __m128 pairs = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_mul_ps(a, _mm_set1_ps(0.5f))));
        a = _mm_sub_ps(a, _mm_add_ps(pairs, pairs));
        a = _mm_min_ps(a, _mm_sub_ps(_mm_set1_ps(2.0f), a));
    }
    a = _mm_max_ps(_mm_min_ps(a, one), _mm_setzero_ps());
    if (!Antialias)
        return _mm_and_si128(_mm_castps_si128(_mm_cmpge_ps(a, _mm_set1_ps(0.5f))), _mm_set1_epi32(255));
    return _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(a, _mm_set1_ps(255.0f)), _mm_set1_ps(0.5f)));
}

// Running sums of four cells: lane i gets v[0] + ... + v[i].
inline __m128 prefixSum4(__m128 v) {
    v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 4)));
    return _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 8)));
}

// Eight cells: sums them into s (all lanes hold it), clears them and writes
// their coverage to out[0..7].
template <bool EvenOdd, bool Antialias>
inline void sweep8(float* cells, uint8_t* out, __m128& s) {
    __m128 v0 = _mm_loadu_ps(cells), v1 = _mm_loadu_ps(cells + 4);
    _mm_storeu_ps(cells, _mm_setzero_ps());
    _mm_storeu_ps(cells + 4, _mm_setzero_ps());
    __m128 p0 = _mm_add_ps(prefixSum4(v0), s);
    __m128 p1 = _mm_add_ps(prefixSum4(v1), _mm_shuffle_ps(p0, p0, 0xFF));
    s = _mm_shuffle_ps(p1, p1, 0xFF);
    __m128i c = _mm_packs_epi32(coverage4<EvenOdd, Antialias>(p0), coverage4<EvenOdd, Antialias>(p1));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(c, c));
}
#endif

// Blocks of eight cells, four lanes at a time.
struct NarrowBlock {
#if defined(__SSE2__)
    static const bool kUsable = true;
    template <bool EvenOdd, bool Antialias>
    static void run(float* cells, uint8_t* out, float& s) {
        __m128 sv = _mm_set1_ps(s);
        sweep8<EvenOdd, Antialias>(cells, out, sv);
        s = _mm_cvtss_f32(sv);
    }
#else
    static const bool kUsable = false;
    template <bool EvenOdd, bool Antialias>
    static void run(float*, uint8_t*, float&) {}
#endif
};

}  // namespace

void Rasterizer::sweep(FillRule rule, bool antialias, SpanSink& sink) {
    int x0, y0, x1, y1;
    if (!bounds(x0, y0, x1, y1)) return;
    ox_ = x0;
    oy_ = y0;
    bw_ = x1 - x0;
    // The band's rows of the area.
    const int top = std::max(y0, rowsTop_), bottom = std::min(y1, rowsBottom_);
    if (bottom <= top) return;
    r0_ = top - y0;
    bh_ = bottom - top;
    stride_ = bw_ + 3;  // cells up to two right of the last column
    size_t need = static_cast<size_t>(stride_) * bh_;
    if (acc_.size() < need) acc_.assign(need, 0.0f);  // stays zero between sweeps
    rowMin_.assign(bh_, bw_ + 2);
    rowMax_.assign(bh_, -1);
    blocksPerRow_ = (stride_ >> kBlockShift) + 1;
    touched_.assign(static_cast<size_t>(blocksPerRow_) * bh_ + 8, 0);  // room to read eight at a time
    if (covers_.size() < static_cast<size_t>(stride_ + (1 << kBlockShift)))
        covers_.resize(stride_ + (1 << kBlockShift));
    const float fx = static_cast<float>(ox_), fy = static_cast<float>(oy_);
    for (const Line& l : lines_) accumulateClippedX(l.x0 - fx, l.y0 - fy, l.x1 - fx, l.y1 - fy);
    const SweepArea area{acc_.data(),
                         touched_.data(),
                         rowMin_.data(),
                         rowMax_.data(),
                         covers_.data(),
                         bh_,
                         bw_,
                         stride_,
                         blocksPerRow_,
                         ox_,
                         oy_,
                         r0_};
    if (wideSpans()) {
        sweepWide(area, rule, antialias, sink);
    } else {
        sweepByRule<NarrowBlock>(area, rule, antialias, sink);
    }
}

}  // namespace flash
