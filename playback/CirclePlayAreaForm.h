// TCirclePlayAreaForm: the A-B loop, a range of frames played over and over
// until its menu item is chosen again.
#pragma once

#include "playback/FrameRangeForm.h"

namespace kv {

class TCirclePlayAreaForm : public FrameRangeForm {
public:
    TCirclePlayAreaForm();
    // Cancel also takes the check mark off the A-B menu item.
    void bbtnCancelClick() override;
};

// The main menu's "A-B 循环..." check item: while a movie is loaded it turns
// the mark over; marked, the dialog opens, unmarked, the loop ends.
void ABCircleMenuClick();

}  // namespace kv
