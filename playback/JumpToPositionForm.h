// TJumpToPositionForm: asks for a frame and seeks the playing movie there.
#pragma once

#include "ui/DialogForm.h"

namespace kv {

class TJumpToPositionForm : public DialogForm {
public:
    TJumpToPositionForm();
    void FormCreate() override;
    void btnOKClick();
    void edtFrameNumKeyPress(unsigned& key);

    Label* lblCaption = nullptr;
    Edit* edtFrameNum = nullptr;
    Button* btnOK = nullptr;

protected:
    void FormKeyDown(WORD& key, ShiftState shift) override;
};

// The jump-to-frame command: the dialog with the movie's frame range and the
// current frame; nothing while no movie is loaded.
void ShowJumpToPositionForm();

}  // namespace kv
