#include "playback/FrameRangeForm.h"

#include <string>

#include "playback/FrameNumbers.h"

namespace kv {

void FrameRangeForm::FormCreate() {
    lblCaption = &get<Label>("lblCaption");
    edtBegin = &get<Edit>("edtBegin");
    edtEnd = &get<Edit>("edtEnd");
    bbtnOK = &get<Button>("bbtnOK");
    edtBegin->onKeyPress = [this](unsigned& key) { edtBeginKeyPress(key); };
    edtEnd->onKeyPress = [this](unsigned& key) { edtEndKeyPress(key); };
}

void FrameRangeForm::setRange(const std::string& prompt, int begin, int end) {
    lblCaption->setText(prompt);
    edtBegin->setText(std::to_string(begin));
    edtEnd->setText(std::to_string(end));
}

void FrameRangeForm::edtBeginKeyPress(unsigned& key) {
    if (FrameFieldKey(key, true) != FieldKey::Keep) key = 0;
}

void FrameRangeForm::edtEndKeyPress(unsigned& key) {
    if (FrameFieldKey(key, false) != FieldKey::Keep) key = 0;
}

// Enter and Esc come as key-downs, before the dialog's own handling of them.
void FrameRangeForm::FormKeyDown(WORD& key, ShiftState) {
    if (key != VK_RETURN && key != VK_ESCAPE) return;
    const bool inBegin = edtBegin->focused();
    if (!inBegin && !edtEnd->focused()) return;
    switch (FrameFieldKey(key == VK_RETURN ? '\r' : 27, inBegin)) {
        case FieldKey::NextField:
            edtEnd->setFocus();
            edtEnd->selectAll();  // typing replaces the number, as on entering by Tab
            bbtnOK->isDefault = true;
            bbtnOK->invalidate();
            break;
        case FieldKey::Confirm:
            bbtnOK->click();
            break;
        default:
            setModalResult(IDCANCEL);  // without Cancel's own work
            break;
    }
    key = 0;
}

void FrameRangeForm::bbtnOKClick() {
    if (ApplyRange(edtBegin->text(), edtEnd->text(), abLoop_)) setModalResult(IDOK);
}

void FrameRangeForm::bbtnCancelClick() { setModalResult(IDCANCEL); }

}  // namespace kv
