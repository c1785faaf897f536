#include "app/AboutForm.h"

#include "favorites/ProgramIconPicture.h"

namespace kv {

namespace {
const ControlSpec<TAboutForm> kAboutControls[] = {
    {Ctl::Label, "lblName", "TesvanorFlash播放器", nullptr, {40, 10, 120, 12}},
    {Ctl::Label, "lblVersion", "V1.6正式版", nullptr, {40, 24, 120, 10}},
    {Ctl::Label,
     "lblNote",
     "播放本地或网络上的 Flash 动画，管理播放列表与收藏夹。",
     nullptr,
     {7, 44, 166, 20},
     cfWordWrap},
    {Ctl::Button, "bbtnClose", "关闭", nullptr, {123, 70, 50, 14}, cfDefault | cfCancel},
};
}  // namespace

TAboutForm::TAboutForm() : DialogForm({"关于", 180, 91}) { declare(kAboutControls); }

TAboutForm::~TAboutForm() = default;

void TAboutForm::FormCreate() {
    const int size = GetSystemMetrics(SM_CXICON);
    imgIcon_ = std::make_unique<MyImage>(this);
    imgIcon_->create(units().x(7), units().y(8), size, size);
    icon_ = ProgramIconPicture(size, GetSysColor(COLOR_BTNFACE));
    imgIcon_->setPicture(icon_.get());
    get<Label>("lblName").setFont("宋体", -16, true);
}

void ShowAboutForm() {
    TAboutForm f;
    f.ShowModal();
}

}  // namespace kv
