#include "favorites/AddToFavForm.h"

#include "app/AppState.h"
#include "favorites/FavoriteCommands.h"
#include "favorites/FavoriteFile.h"
#include "favorites/FavoriteMenu.h"
#include "favorites/ProgramIconPicture.h"
#include "options/FunctionUnit.h"
#include "playlist/LibraryMenus.h"
#include "ui/NameFilter.h"
#include "ui/RuntimeErrors.h"

namespace kv {

namespace {

using F = TAddToFavForm;

const ControlSpec<F> kAddToFavControls[] = {
    {Ctl::Label, "Label1", "Flash播放器将把该文件添加到您的收藏夹列表。", nullptr, {38, 12, 180, 10}},
    {Ctl::Label, "Label2", "名称：", nullptr, {38, 32, 28, 10}},
    {Ctl::Edit, "edtFavName", "", nullptr, {68, 30, 150, 12}},
    {Ctl::Label, "Label3", "备注：", nullptr, {38, 49, 28, 10}},
    {Ctl::Memo, "mmoComments", "", nullptr, {68, 47, 150, 40}},
    {Ctl::Label, "lblFavFileName", "", nullptr, {7, 95, 50, 10}, cfHidden},
    {Ctl::Button, "bbtnOk", "确定(&O)", nullptr, {112, 95, 50, 14}, cfDefault, nullptr, &F::bbtnOkClick},
    {Ctl::Button, "bbtnCancel", "取消(&C)", nullptr, {168, 95, 50, 14}, cfCancel},
};

}  // namespace

TAddToFavForm::TAddToFavForm() : DialogForm({"添加到收藏夹", 225, 116}) { declare(kAddToFavControls); }

void TAddToFavForm::FormCreate() {
    useNameFilter(edtFavName(), kFileNameFilter);
    const int size = GetSystemMetrics(SM_CXICON);
    Image1.create(units().x(7), units().y(9), size, size);
    picture_ = ProgramIconPicture(size, GetSysColor(COLOR_BTNFACE));
    Image1.setPicture(picture_.get());
}

void TAddToFavForm::setMovie(const std::string& title, const std::string& path) {
    edtFavName().setText(title);
    lblFavFileName().setText(path);
}

// Adds or updates the favorite and keeps the menu in step; the window closes
// also when the file could not be written (the error is reported).
void TAddToFavForm::bbtnOkClick() {
    const std::string name = edtFavName().text();
    if (name.find_first_not_of(" \t") != std::string::npos) {
        try {
            const bool existed = AddOrUpdateFavorite(FavoritePath, name, lblFavFileName().text(),
                                                     mmoComments().text(), CurrentDateTimeText());
            if (MenuItem* menu = FavoriteMenu())
                AppendFavoriteMenuEntry(*menu, name, !existed, PlayFavoriteItemByClickMenuItem);
        } catch (const std::exception& e) {
            ShowErrorReport(e);
        }
    }
    setModalResult(IDOK);
}

void AddFileToFavorite(const std::string& title, const std::string& path) {
    TAddToFavForm form;
    if (!form.create()) return;
    form.setMovie(title, path);
    form.ShowModal();
}

}  // namespace kv
