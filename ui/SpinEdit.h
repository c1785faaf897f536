// Spin edit: an edit for a whole number in a range with up and down arrows
// inside its right edge; the arrow keys and the mouse wheel step the value.
#pragma once

#include "ui/Edit.h"
#include "ui/Handles.h"

namespace kv {

class SpinEdit : public Edit {
public:
    explicit SpinEdit(Control* parent) : Edit(parent) {}
    bool create(int x, int y, int w, int h, int id, int minValue, int maxValue, int value);
    void setRange(int minValue, int maxValue);
    int minValue() const { return min_; }
    int maxValue() const { return max_; }
    // The number shown, kept in the range; text that is no number reads as the minimum.
    int value() const;
    void setValue(int v);
    int increment = 1;
    // Steps the value by count increments (negative: down), as the arrows do.
    void step(int count);

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void placeArrows();
    int clamp(int v) const { return v < min_ ? min_ : v > max_ ? max_ : v; }
    UniqueWindow arrows_;
    int min_ = 0, max_ = 100;
    int wheelRest_ = 0;
};

}  // namespace kv
