#include "playback/PlayAreaForm.h"

#include "app/AppState.h"
#include "playback/FrameNumbers.h"

namespace kv {

namespace {

using F = TPlayAreaForm;
const ControlSpec<F> kControls[] = {
    {Ctl::Label, "lblCaption", "", nullptr, {8, 8, 210, 10}},
    {Ctl::Label, "Label1", "起始帧：", nullptr, {8, 26, 36, 10}},
    {Ctl::Edit, "edtBegin", "", nullptr, {46, 24, 172, 12}},
    {Ctl::Label, "Label2", "终止帧：", nullptr, {8, 44, 36, 10}},
    {Ctl::Edit, "edtEnd", "", nullptr, {46, 42, 172, 12}},
    {Ctl::Button, "bbtnOK", "确定", nullptr, {110, 64, 50, 15}, 0, nullptr, &F::bbtnOKClick},
    {Ctl::Button, "bbtnCancel", "取消", nullptr, {168, 64, 50, 15}, 0, nullptr, &F::bbtnCancelClick},
};

}  // namespace

TPlayAreaForm::TPlayAreaForm() : FrameRangeForm({"播放指定范围", 226, 85}, false) { declare(kControls); }

void ShowPlayAreaForm() {
    if (PlayState == 0) return;
    TPlayAreaForm form;
    if (!form.create()) return;
    form.setRange(PlayAreaPrompt(MovieTotalFrames), MovieCurrentFrame, MovieTotalFrames);
    form.ShowModal();
}

}  // namespace kv
