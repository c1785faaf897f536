// TFavFilePropertyForm: the properties of one favorite on two picture tabs,
// "常规" (name, views, last view, movie path, comment; editable) and
// "目标文件" (facts of the movie file). It works on the favorite selected in
// the organise window below it.
#pragma once

#include <memory>
#include <string>

#include "favorites/FavoriteFile.h"
#include "flashfile/FlashFileAttr.h"
#include "ui/DialogForm.h"
#include "ui/Handles.h"
#include "ui/MyImage.h"
#include "ui/NativeControls.h"

namespace kv {

class TTidyFavForm;

class TFavFilePropertyForm : public DialogForm {
public:
    explicit TFavFilePropertyForm(TTidyFavForm& tidy);
    ~TFavFilePropertyForm() override;
    void FormCreate() override;

    // Fills the window for a favorite and its movie's attributes.
    void setFavorite(const std::string& name, const FavoriteItem& item, const TFlashFileAttr& attr);

    void lblGeneralClick() { showPage(0); }
    void lblFlashInfoClick() { showPage(1); }
    void showPage(int index);
    int activePage() const { return page_; }
    void lblChangeFilePositionClick();
    void lblOKClick();
    void lblCloseClick() { setModalResult(IDCANCEL); }

    Edit& edtFavTitle() const { return get<Edit>("edtFavTitle"); }
    Edit& edtViewTimes() const { return get<Edit>("edtViewTimes"); }
    Edit& edtLastViewTime() const { return get<Edit>("edtLastViewTime"); }
    Edit& edtFavFileName() const { return get<Edit>("edtFavFileName"); }
    Memo& mmoComments() const { return get<Memo>("mmoComments"); }
    Label& label(const char* name) const { return get<Label>(name); }
    ListView& lvFileInfo() const { return *lvFileInfo_; }
    ListView& lvFlashInfo() const { return *lvFlashInfo_; }
    MyImage imgTabs{this};
    MyImage imgbtnOK{this};
    MyImage imgbtnClose{this};

private:
    void makePictureButton(MyImage& image, const char* labelName, const char* base, const char* enter,
                           void (TFavFilePropertyForm::*action)());
    TTidyFavForm& tidy_;
    std::unique_ptr<ListView> lvFileInfo_, lvFlashInfo_;
    std::unique_ptr<MyImage> imgIcon_;
    UniqueBitmap tabPictures_[2];
    UniqueBitmap icon_;
    int page_ = 0;
};

// "属性" of the organise window for the favorite `name`: the window, or the
// message that the movie is no Flash file.
void ShowFavFileProperty(TTidyFavForm& tidy, const std::string& name);

}  // namespace kv
