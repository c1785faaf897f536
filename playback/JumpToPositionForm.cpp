#include "playback/JumpToPositionForm.h"

#include <string>

#include "app/AppState.h"
#include "playback/FrameNumbers.h"

namespace kv {

namespace {

using F = TJumpToPositionForm;
const ControlSpec<F> kControls[] = {
    {Ctl::Label, "lblCaption", "", nullptr, {8, 8, 224, 10}},
    {Ctl::Edit, "edtFrameNum", "", nullptr, {8, 22, 224, 12}},
    {Ctl::Button, "btnOK", "确定", nullptr, {124, 46, 50, 15}, cfDefault, nullptr, &F::btnOKClick},
    {Ctl::Button, "btnCancel", "取消", nullptr, {182, 46, 50, 15}},
};

}  // namespace

TJumpToPositionForm::TJumpToPositionForm() : DialogForm({"跳到指定帧", 240, 73}) { declare(kControls); }

void TJumpToPositionForm::FormCreate() {
    lblCaption = &get<Label>("lblCaption");
    edtFrameNum = &get<Edit>("edtFrameNum");
    btnOK = &get<Button>("btnOK");
    get<Button>("btnCancel").modalResult = IDCANCEL;
    edtFrameNum->onKeyPress = [this](unsigned& key) { edtFrameNumKeyPress(key); };
}

void TJumpToPositionForm::edtFrameNumKeyPress(unsigned& key) {
    if (FrameFieldKey(key, false) != FieldKey::Keep) key = 0;
}

void TJumpToPositionForm::FormKeyDown(WORD& key, ShiftState) {
    if (!edtFrameNum->focused() || (key != VK_RETURN && key != VK_ESCAPE)) return;
    if (FrameFieldKey(key == VK_RETURN ? '\r' : 27, false) == FieldKey::Confirm)
        btnOK->click();
    else
        setModalResult(IDCANCEL);
    key = 0;
}

void TJumpToPositionForm::btnOKClick() {
    if (ApplyJump(edtFrameNum->text())) setModalResult(IDOK);
}

void ShowJumpToPositionForm() {
    if (PlayState == 0) return;
    TJumpToPositionForm form;
    if (!form.create()) return;
    form.lblCaption->setText(JumpPrompt(MovieTotalFrames));
    form.edtFrameNum->setText(std::to_string(MovieCurrentFrame));
    form.ShowModal();
}

}  // namespace kv
