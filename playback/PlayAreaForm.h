// TPlayAreaForm: plays a range of frames once; the player pauses at its end.
#pragma once

#include "playback/FrameRangeForm.h"

namespace kv {

class TPlayAreaForm : public FrameRangeForm {
public:
    TPlayAreaForm();
};

// The play-range command; nothing while no movie is loaded.
void ShowPlayAreaForm();

}  // namespace kv
