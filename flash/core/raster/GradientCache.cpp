#include "flash/core/raster/GradientCache.h"

#include <algorithm>
#include <cstring>

#include "flash/core/raster/Paint.h"

namespace flash {

const uint32_t* GradientCache::table(const Gradient& g, const ColorTransform& cx) {
    // The key holds everything the table depends on.
    uint8_t key[kMaxKey];
    int n = 0;
    const size_t stops = std::min<size_t>(g.stops.size(), 16);
    key[n++] = g.linearRgb ? 1 : 0;
    key[n++] = static_cast<uint8_t>(stops);
    for (size_t i = 0; i < stops; ++i) {
        const GradientStop& s = g.stops[i];
        key[n++] = s.ratio;
        key[n++] = s.color.r;
        key[n++] = s.color.g;
        key[n++] = s.color.b;
        key[n++] = s.color.a;
    }
    const int16_t parts[8] = {cx.rMul, cx.gMul, cx.bMul, cx.aMul, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd};
    std::memcpy(key + n, parts, sizeof parts);
    n += sizeof parts;

    uint32_t hash = 2166136261u;  // FNV-1a
    for (int i = 0; i < n; ++i) hash = (hash ^ key[i]) * 16777619u;
    if (!entries_) entries_.reset(new Entry[kEntries]);
    Entry* set = &entries_[2 * ((hash ^ (hash >> 16)) % kSets)];
    ++clock_;
    for (int way = 0; way < 2; ++way) {
        Entry& e = set[way];
        if (e.used && e.keyLen == n && std::memcmp(e.key, key, static_cast<size_t>(n)) == 0) {
            e.stamp = clock_;
            return e.table;
        }
    }
    // The way used longer ago (or an empty one) gets the new table.
    Entry& e = !set[0].used
                   ? set[0]
                   : (!set[1].used ? set[1] : (set[0].stamp - set[1].stamp > 0x80000000u ? set[0] : set[1]));
    Paint::buildTable(g, cx, e.table);
    std::memcpy(e.key, key, static_cast<size_t>(n));
    e.keyLen = static_cast<uint8_t>(n);
    e.used = true;
    e.stamp = clock_;
    return e.table;
}

}  // namespace flash
