// What a frame draws, as a list of items: each with the rows of the buffer
// it can touch and a hash of everything that decides its pixels (character,
// shape, morph ratio, matrix, colour transform, place in the depth order,
// the masks over it). Two lists give the rows whose picture changed: the
// rows of every item that is in one list but not in the other.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/core/DisplayObject.h"

namespace flash {

struct RowSpan {
    int top, bottom;  // rows [top, bottom)
};

class FrameItems {
public:
    // Lists what `root` draws through `view` into a buffer `height` rows
    // high. False (and an empty list) when the frame holds effect layers,
    // whose pixels reach beyond what their instances draw.
    bool take(const DisplayObject& root, const Matrix& view, int height);
    void clear() { items_.clear(); }

    // Rows where the pictures of two lists may differ, sorted and merged.
    static std::vector<RowSpan> changedRows(const FrameItems& before, const FrameItems& after);

private:
    struct Item {
        uint64_t hash;
        int top, bottom;
    };
    bool walk(const DisplayObject& clip, const Matrix& m, const ColorTransform& cx, uint64_t path,
              uint64_t masks, bool mask, int level);
    bool visit(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, uint64_t path,
               uint64_t masks, bool mask, int level);
    void addLeaf(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, uint64_t path,
                 uint64_t masks, bool mask);

    std::vector<Item> items_;
    int height_ = 0;
    uint64_t serial_ = 0;  // makes items that always change unique
};

}  // namespace flash
