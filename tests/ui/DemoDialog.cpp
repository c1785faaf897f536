#include "tests/ui/DemoDialog.h"

#include "ui/Handles.h"
#include "ui/NameFilter.h"

namespace kv::test {

namespace {

const ControlSpec<DemoDialog> kDemoControls[] = {
    {Ctl::Label, "lblName", "播放列表名称：", nullptr, {7, 7, 70, 10}},
    {Ctl::Edit, "edtPlayListName", "新建播放列表", nullptr, {80, 5, 120, 12}},
    {Ctl::Label, "lblFrame", "跳到帧：", nullptr, {7, 22, 70, 10}},
    {Ctl::Edit, "edtFrame", "", nullptr, {80, 20, 60, 12}, cfDigits},
    {Ctl::SpinEdit,
     "seVolume",
     "0..100",
     nullptr,
     {150, 20, 50, 12},
     0,
     nullptr,
     &DemoDialog::seVolumeChange},
    {Ctl::CheckBox, "chkLoop", "循环播放", nullptr, {7, 37, 70, 10}, 0, nullptr, &DemoDialog::chkLoopClick},
    {Ctl::ComboList, "cboQuality", "高|中|低", nullptr, {80, 35, 60, 12}},
    {Ctl::ComboEdit, "cboURL", "http://a.cn/1.swf|http://b.cn/2.swf", nullptr, {145, 35, 100, 12}},
    {Ctl::RadioGroup,
     "rgQuality",
     "画面质量|高|中|低",
     nullptr,
     {7, 52, 100, 50},
     0,
     nullptr,
     &DemoDialog::rgQualityClick},
    {Ctl::GroupBox, "GroupBox1", "原信息", nullptr, {112, 52, 133, 50}},
    {Ctl::Label, "lblTitle", "标题：", "GroupBox1", {6, 12, 25, 10}},
    {Ctl::Panel, "pnlTitle", "我的动画", "GroupBox1", {32, 11, 95, 12}, cfLowered},
    {Ctl::RadioButton, "rdoAll", "全部", "GroupBox1", {6, 30, 40, 10}, cfChecked},
    {Ctl::RadioButton, "rdoSome", "部分", "GroupBox1", {50, 30, 40, 10}},
    {Ctl::TrackBar, "tbSpeed", "1..10", nullptr, {7, 106, 120, 16}},
    {Ctl::ProgressBar, "pbConvert", "0..100", nullptr, {132, 108, 113, 10}},
    {Ctl::PageControl, "pcPages", "", nullptr, {7, 126, 238, 72}},
    {Ctl::TabSheet, "tsFiles", "文件", "pcPages"},
    {Ctl::ReportList, "lvFileList", "动画名:60|文件名:120", "tsFiles", {2, 2, 200, 50}, cfCheckBoxes},
    {Ctl::SpeedButton,
     "sbMoveUp",
     "↑",
     "tsFiles",
     {206, 2, 20, 14},
     0,
     "文件上移",
     &DemoDialog::sbMoveUpClick},
    {Ctl::TabSheet, "tsOther", "其他", "pcPages"},
    {Ctl::Memo, "memComment", "评论", "tsOther", {2, 2, 110, 50}},
    {Ctl::DrawList, "lstFiles", "", "tsOther", {116, 2, 110, 50}},
    {Ctl::ImageCombo, "cboDrive", "", nullptr, {7, 202, 100, 12}},
    {Ctl::Button, "bbtnApply", "应用", nullptr, {85, 218, 50, 14}, 0, nullptr, &DemoDialog::bbtnApplyClick},
    {Ctl::Button,
     "bbtnOK",
     "确定",
     nullptr,
     {140, 218, 50, 14},
     cfDefault | cfCloseOk,
     nullptr,
     &DemoDialog::bbtnOKClick},
    {Ctl::Button, "bbtnCancel", "取消", nullptr, {195, 218, 50, 14}, cfCancel},
};

// Two 16 x 16 pictures drawn in code: a disk and a disc.
HIMAGELIST makeDriveImages() {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 0);
    WindowDc screen(nullptr);
    for (int i = 0; i < 2; ++i) {
        UniqueBitmap bmp(CreateCompatibleBitmap(screen.get(), 16, 16));
        UniqueMemDc dc(CreateCompatibleDC(screen.get()));
        {
            SelectGuard sel(dc.get(), bmp.get());
            UniqueBrush back(CreateSolidBrush(RGB(255, 0, 255)));
            RECT all{0, 0, 16, 16};
            FillRect(dc.get(), &all, back.get());
            UniqueBrush ink(CreateSolidBrush(i == 0 ? RGB(90, 110, 140) : RGB(38, 112, 196)));
            SelectGuard brush(dc.get(), ink.get());
            if (i == 0)
                Rectangle(dc.get(), 1, 5, 15, 12);
            else
                Ellipse(dc.get(), 1, 1, 15, 15);
        }
        ImageList_AddMasked(list, bmp.get(), RGB(255, 0, 255));
    }
    return list;
}

}  // namespace

DemoDialog::DemoDialog() : DialogForm({"对话框示例", 252, 238}) { declare(kDemoControls); }

void DemoDialog::FormCreate() {
    useNameFilter(get<Edit>("edtPlayListName"), kPlayListNameFilter);
    auto& lv = get<ReportList>("lvFileList");
    lv.addRow({"动画一", "C:\\动画\\一.swf"});
    lv.addRow({"动画二", "C:\\动画\\二.swf"});
    lv.setChecked(0, true);
    auto& lst = get<DrawListBox>("lstFiles");
    lst.add("第一项");
    lst.add("第二项");
    auto& drive = get<ImageComboBox>("cboDrive");
    drive.setImages(makeDriveImages());
    drive.add("本地磁盘 (C:)", 0);
    drive.add("光盘 (D:)", 1, 1);
    drive.setItemIndex(0);
    get<ComboBox>("cboQuality").setItemIndex(0);
    get<ProgressBar>("pbConvert").setPosition(40);
}

}  // namespace kv::test
