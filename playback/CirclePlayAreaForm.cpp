#include "playback/CirclePlayAreaForm.h"

#include "app/AppState.h"
#include "app/MainForm.h"
#include "playback/FrameNumbers.h"

namespace kv {

namespace {

using F = TCirclePlayAreaForm;
const ControlSpec<F> kControls[] = {
    {Ctl::Label, "lblCaption", "", nullptr, {8, 8, 210, 10}},
    {Ctl::Label, "Label1", "起始帧：", nullptr, {8, 25, 36, 10}},
    {Ctl::Edit, "edtBegin", "", nullptr, {46, 23, 100, 12}},
    {Ctl::Label, "Label2", "终止帧：", nullptr, {8, 42, 36, 10}},
    {Ctl::Edit, "edtEnd", "", nullptr, {46, 40, 100, 12}},
    {Ctl::Button, "bbtnOK", "确定", nullptr, {160, 22, 58, 15}, 0, nullptr, &F::bbtnOKClick},
    {Ctl::Button, "bbtnCancel", "取消", nullptr, {160, 40, 58, 15}, 0, nullptr, &F::bbtnCancelClick},
    {Ctl::Label, "Image1", "※", nullptr, {8, 63, 10, 10}},
    {Ctl::Label, "Label3", "要取消A-B循环，请取消选择“播放”-“A-B循环”", nullptr, {20, 63, 200, 10}},
};

MenuItem* abItem() { return MainForm ? &MainForm->item("mmiABCircle") : nullptr; }

}  // namespace

TCirclePlayAreaForm::TCirclePlayAreaForm() : FrameRangeForm({"A-B循环", 226, 81}, true) {
    declare(kControls);
}

void TCirclePlayAreaForm::bbtnCancelClick() {
    if (MenuItem* m = abItem()) m->setChecked(false);
    FrameRangeForm::bbtnCancelClick();
}

void ABCircleMenuClick() {
    MenuItem* m = abItem();
    if (!m || PlayState == 0) return;
    m->setChecked(!m->checked());
    if (!m->checked()) {
        ABCircleActive = false;
        return;
    }
    TCirclePlayAreaForm form;
    if (!form.create()) return;
    form.get<Label>("Image1").setTextColor(RGB(0, 0, 255));
    form.get<Label>("Label3").setTextColor(RGB(0, 0, 255));
    form.setRange(ABCirclePrompt(MovieTotalFrames), MovieCurrentFrame, MovieTotalFrames);
    form.ShowModal();
}

}  // namespace kv
