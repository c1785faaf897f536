#include "ui/Splitter.h"

#include <algorithm>

namespace kv {

bool Splitter::create(Control* target, int thickness) {
    target_ = target;
    bool vertical = target->align() == Align::Left || target->align() == Align::Right;
    w_ = vertical ? thickness : 10;
    h_ = vertical ? 10 : thickness;
    setCursor(LoadCursor(nullptr, vertical ? IDC_SIZEWE : IDC_SIZENS));
    onMouseDown = [this](const MouseEvent& e) {
        if (e.button != MouseButton::Left || !target_) return;
        dragging_ = true;
        GetCursorPos(&start_);
        Align a = target_->align();
        startSize_ = (a == Align::Left || a == Align::Right) ? target_->width() : target_->height();
    };
    onMouseMove = [this](const MouseEvent&) {
        if (!dragging_ || !target_) return;
        POINT p;
        GetCursorPos(&p);
        int size = startSize_;
        switch (target_->align()) {
            case Align::Left:
                size += p.x - start_.x;
                break;
            case Align::Right:
                size -= p.x - start_.x;
                break;
            case Align::Top:
                size += p.y - start_.y;
                break;
            case Align::Bottom:
                size -= p.y - start_.y;
                break;
            default:
                return;
        }
        size = std::max(size, minSize);
        Align a = target_->align();
        if (a == Align::Left || a == Align::Right)
            target_->setWidth(size);
        else
            target_->setHeight(size);
        if (parent_) parent_->realign();
    };
    onMouseUp = [this](const MouseEvent&) { dragging_ = false; };
    return createControl("KvSplitter");
}

}  // namespace kv
