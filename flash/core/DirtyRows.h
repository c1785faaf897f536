// What a frame draws, as a list of items: each with the rectangle of the
// buffer it can touch and a hash of everything that decides its pixels
// (character, shape, morph ratio, video frame, matrix, colour transform,
// place in the depth order, the masks over it). An instance drawn through
// a layer of its own (filters, blend mode, bitmap caching) or a scale-9 grid
// is one item holding everything inside it, its rectangle grown by how far
// its filters spread. Two lists give the rectangles whose picture changed:
// those of every item that is in one list but not in the other, merged
// into a few.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/core/DisplayObject.h"

namespace flash {

// Pixels [left, right) x [top, bottom) of a buffer.
struct DirtyRect {
    int left, top, right, bottom;
    int64_t area() const { return int64_t(right - left) * (bottom - top); }
};

class FrameItems {
public:
    // Lists what `root` draws through `view` into a buffer of width x
    // height pixels. False (and an empty list) when it cannot be tracked.
    bool take(const DisplayObject& root, const Matrix& view, int width, int height);
    void clear() { items_.clear(); }
    // Some video's picture size was not known yet (not drawn): once drawn,
    // the items are worth taking again.
    bool guessedSizes() const { return guessed_; }

    // Rectangles where the pictures of two lists may differ: at most a
    // few, not overlapping, in no particular order.
    static std::vector<DirtyRect> changedRects(const FrameItems& before, const FrameItems& after);
    // Merges overlapping and nearby rectangles until at most `most` are left.
    static void mergeRects(std::vector<DirtyRect>& rects, size_t most);

private:
    struct Item {
        uint64_t hash;
        DirtyRect box;
    };
    struct Box;    // float device or twips bounds
    struct Group;  // an instance drawn as one item, being gathered
    struct Walk {
        Matrix m;
        ColorTransform cx;
        uint64_t path, masks;
        bool mask;
        int level;
        Group* group;  // null: items go to the list
    };
    void walk(const DisplayObject& clip, const Walk& w);
    void visit(const DisplayObject& o, const Walk& w);
    void visitClip(const DisplayObject& o, const Walk& w);
    void visitGroup(const DisplayObject& o, const Walk& w);
    void addLeaf(const DisplayObject& o, const Walk& w);
    void addShape(const ShapeData& s, uint64_t hash, const Walk& w);
    void addTwips(const Box& box, float pad, float devicePad, uint64_t hash, const Walk& w);
    void addBox(uint64_t hash, float x0, float y0, float x1, float y1, Group* group);

    std::vector<Item> items_;
    int width_ = 0, height_ = 0;
    Matrix view_;
    bool guessed_ = false;
};

}  // namespace flash
