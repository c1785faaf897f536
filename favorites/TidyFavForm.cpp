#include "favorites/TidyFavForm.h"

#include <commctrl.h>

#include "app/AppState.h"
#include "favorites/FavFilePropertyForm.h"
#include "favorites/FavoriteCommands.h"
#include "favorites/FavoriteFile.h"
#include "favorites/FavoriteMenu.h"
#include "options/FunctionUnit.h"
#include "playlist/LibraryScan.h"
#include "ui/UiServices.h"

namespace kv {

namespace {

using F = TTidyFavForm;

const ControlSpec<F> kTidyFavControls[] = {
    {Ctl::ReportList, "lvFav", ":112", nullptr, {7, 7, 120, 157}, 0, nullptr, &F::lvFavClick},
    {Ctl::Panel, "pnlFlash", "", nullptr, {134, 7, 164, 110}, cfLowered},
    {Ctl::Label, "lblViewTimes", "", nullptr, {134, 122, 164, 10}},
    {Ctl::Label, "lblLastViewTimeCaption", "上次欣赏时间：", nullptr, {134, 134, 58, 10}, cfHidden},
    {Ctl::Label, "lblLastViewTime", "", nullptr, {192, 134, 106, 10}},
    {Ctl::Button, "bbtnProperty", "属性", nullptr, {134, 150, 38, 14}, 0, nullptr, &F::bbtnPropertyClick},
    {Ctl::Button, "bbtnDel", "删除", nullptr, {176, 150, 38, 14}, 0, nullptr, &F::bbtnDelClick},
    {Ctl::Button, "bbtnPlay", "播放", nullptr, {218, 150, 38, 14}, cfDefault, nullptr, &F::bbtnPlayClick},
    {Ctl::Button, "bbtnClose", "关闭", nullptr, {260, 150, 38, 14}, cfCancel},
};

}  // namespace

TTidyFavForm::TTidyFavForm() : DialogForm({"整理收藏夹", 305, 171}) { declare(kTidyFavControls); }

TTidyFavForm::~TTidyFavForm() = default;

void TTidyFavForm::FormCreate() {
    ReportList& list = lvFav();
    // One column without a header, read-only.
    HWND lv = list.handle();
    SetWindowLongA(lv, GWL_STYLE, GetWindowLongA(lv, GWL_STYLE) | LVS_NOCOLUMNHEADER | LVS_SINGLESEL);
    DialogPanel& host = get<DialogPanel>("pnlFlash");
    flash_ = std::make_unique<TShockwaveFlash>(&host);
    RECT r;
    GetClientRect(host.handle(), &r);
    flash_->create(0, 0, r.right, r.bottom);
    clearSummary();
    // Rows go in without a repaint each; a folder of thousands opens at once.
    std::vector<std::string> files;
    SearchFilesByExt(FavoritePath, true, {kFavoriteExt}, files);
    SendMessageA(lv, WM_SETREDRAW, FALSE, 0);
    SendMessageA(lv, LVM_SETITEMCOUNT, files.size(), 0);
    for (const std::string& path : files) list.addRow({ExtractFileTitle(path)});
    SendMessageA(lv, WM_SETREDRAW, TRUE, 0);
}

void TTidyFavForm::clearSummary() {
    lblViewTimes().setText("");
    lblLastViewTime().setText("");
    lblLastViewTimeCaption().setVisible(false);
}

std::string TTidyFavForm::selectedName() const {
    const int row = lvFav().selectedIndex();
    return row < 0 ? std::string() : lvFav().cell(row, 0);
}

void TTidyFavForm::lvFavClick() {
    if (lvFav().selectedIndex() < 0) return;
    flash_->Stop();
    flash_->setMovie("1.swf");
    const FavoriteItem f = ReadFavorite(FavoriteFileName(FavoritePath, selectedName()));
    lblViewTimes().setText("欣赏次数：" + std::to_string(f.ViewTimes));
    lblLastViewTimeCaption().setVisible(true);
    lblLastViewTime().setText(f.LastViewTime);
    if (FavoriteMovieExists(f.File)) {
        flash_->setMovie(f.File);
        flash_->Play();
    }
}

void TTidyFavForm::bbtnPlayClick() {
    if (lvFav().selectedIndex() < 0) return;
    PlayFavoriteItem(FavoriteFileName(FavoritePath, selectedName()));
}

void TTidyFavForm::bbtnDelClick() {
    const int row = lvFav().selectedIndex();
    if (row < 0) return;
    const std::string name = selectedName();
    if (ui().messageBox(handle(), "确实要删除收藏夹项目“" + name + "”吗？", kAppTitle,
                        MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) != IDOK)
        return;
    if (!DeleteFavorite(FavoritePath, name)) {
        showWarning(handle(), "无法删除收藏夹项目“" + name + "”。");
        return;
    }
    flash_->Stop();
    flash_->setMovie("1.swf");
    clearSummary();
    lvFav().deleteRow(row);
    if (MenuItem* menu = FavoriteMenu()) RemoveFavoriteMenuEntries(*menu, name);
}

void TTidyFavForm::bbtnPropertyClick() {
    if (lvFav().selectedIndex() < 0) return;
    ShowFavFileProperty(*this, selectedName());
}

void TTidyFavForm::renameSelected(const std::string& newName) {
    const int row = lvFav().selectedIndex();
    if (row >= 0) lvFav().setCell(row, 0, newName);
}

void ShowTidyFavForm() {
    TTidyFavForm form;
    form.ShowModal();
}

}  // namespace kv
