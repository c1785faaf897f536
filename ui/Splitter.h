// A splitter bar that resizes the aligned control beside it by dragging.
#pragma once

#include "ui/Control.h"

namespace kv {

class Splitter : public Control {
public:
    explicit Splitter(Control* parent) : Control(parent) {}
    // target: the control it resizes; its alignment decides the direction.
    bool create(Control* target, int thickness);
    int minSize = 30;

private:
    Control* target_ = nullptr;
    bool dragging_ = false;
    POINT start_{};
    int startSize_ = 0;
};

}  // namespace kv
