// The common part of the two range dialogs (a play range, the A-B loop): a
// prompt, the first and the last frame, OK and Cancel. Enter in the first
// field moves to the second, Enter in the second confirms, Esc closes.
#pragma once

#include "ui/DialogForm.h"

namespace kv {

class FrameRangeForm : public DialogForm {
public:
    FrameRangeForm(const FormSpec& form, bool abLoop) : DialogForm(form), abLoop_(abLoop) {}
    void FormCreate() override;
    void bbtnOKClick();
    virtual void bbtnCancelClick();
    void edtBeginKeyPress(unsigned& key);
    void edtEndKeyPress(unsigned& key);
    // Fills the prompt and the fields: from the current frame to the last.
    void setRange(const std::string& prompt, int begin, int end);

    Label* lblCaption = nullptr;
    Edit* edtBegin = nullptr;
    Edit* edtEnd = nullptr;
    Button* bbtnOK = nullptr;

protected:
    void FormKeyDown(WORD& key, ShiftState shift) override;

private:
    bool abLoop_;
};

}  // namespace kv
