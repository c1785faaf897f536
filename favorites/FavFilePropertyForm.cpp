#include "favorites/FavFilePropertyForm.h"

#include "app/AppState.h"
#include "app/Skin.h"
#include "favorites/FavoriteCommands.h"
#include "favorites/FavoriteMenu.h"
#include "favorites/ProgramIconPicture.h"
#include "favorites/TidyFavForm.h"
#include "flashfile/FlashFileFacts.h"
#include "options/FunctionUnit.h"
#include "ui/RuntimeErrors.h"
#include "ui/UiServices.h"

namespace kv {

namespace {

using F = TFavFilePropertyForm;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTabGrey = 7107702;  // the text of the tab not shown
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);

const ControlSpec<F> kPropertyControls[] = {
    {Ctl::Label, "lblGeneral", "常规", nullptr, {14, 9, 30, 10}, 0, nullptr, nullptr},
    {Ctl::Label, "lblFlashInfo", "目标文件  ", nullptr, {52, 9, 44, 10}, 0, nullptr, nullptr},
    {Ctl::Panel, "pnlGeneral", "", nullptr, {7, 23, 216, 196}},
    {Ctl::Edit, "edtFavTitle", "", "pnlGeneral", {42, 10, 168, 12}},
    {Ctl::Label, "Label4", "欣赏次数:", "pnlGeneral", {6, 42, 62, 10}},
    {Ctl::Edit, "edtViewTimes", "", "pnlGeneral", {70, 40, 140, 12}, cfReadOnly},
    {Ctl::Label, "Label5", "上次欣赏时间:", "pnlGeneral", {6, 58, 62, 10}},
    {Ctl::Edit, "edtLastViewTime", "", "pnlGeneral", {70, 56, 140, 12}, cfReadOnly},
    {Ctl::Label, "Label6", "目标文件:", "pnlGeneral", {6, 74, 62, 10}},
    {Ctl::Edit, "edtFavFileName", "", "pnlGeneral", {70, 72, 140, 12}},
    {Ctl::Label, "lblChangeFilePosition", "更改目标文件位置", "pnlGeneral", {70, 87, 70, 10}},
    {Ctl::Label, "Label7", "备注:", "pnlGeneral", {6, 102, 62, 10}},
    {Ctl::Memo, "mmoComments", "", "pnlGeneral", {6, 114, 204, 78}},
    {Ctl::Panel, "pnlFlashInfo", "", nullptr, {7, 23, 216, 196}, cfHidden},
    {Ctl::Label, "Label2", "常规", "pnlFlashInfo", {6, 6, 100, 10}},
    {Ctl::Label, "Label3", "信息", "pnlFlashInfo", {6, 76, 100, 10}},
    {Ctl::Label, "lblOK", "确定", nullptr, {163, 227, 22, 10}},
    {Ctl::Label, "lblClose", "取消", nullptr, {201, 227, 22, 10}},
};

// The tab strip with one tab raised: a white tab with a grey frame over a
// line, the other tab flat and grey.
UniqueBitmap tabStripPicture(int width, int height, int activeLeft, int activeRight, int otherLeft,
                             int otherRight) {
    return PaintPicture(width, height, [&](HDC dc) {
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x9C, 0x9A, 0x94));
        HBRUSH grey = CreateSolidBrush(RGB(0xEC, 0xEA, 0xE4));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, grey);
        RoundRect(dc, otherLeft, 3, otherRight, height + 4, 6, 6);
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        RoundRect(dc, activeLeft, 0, activeRight, height + 4, 6, 6);
        MoveToEx(dc, 0, height - 1, nullptr);
        LineTo(dc, activeLeft, height - 1);
        MoveToEx(dc, activeRight - 1, height - 1, nullptr);
        LineTo(dc, width, height - 1);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(grey);
        DeleteObject(pen);
    });
}

void fillFacts(ListView& list, const FactRows& rows) {
    list.clear();
    for (const auto& r : rows) list.addRow(r.first, r.second);
}

}  // namespace

TFavFilePropertyForm::TFavFilePropertyForm(TTidyFavForm& tidy) : DialogForm({"属性", 230, 242}), tidy_(tidy) {
    declare(kPropertyControls);
}

TFavFilePropertyForm::~TFavFilePropertyForm() = default;

void TFavFilePropertyForm::FormCreate() {
    setColor(kWhite);
    for (const char* p : {"pnlGeneral", "pnlFlashInfo"}) get<DialogPanel>(p).setColor(kWhite);

    // Tabs: one strip picture per active tab, the labels over it.
    const DialogUnits& u = units();
    Label& general = label("lblGeneral");
    Label& info = label("lblFlashInfo");
    const int left = u.x(7), top = u.y(7), width = u.x(216), height = u.y(15);
    imgTabs.create(left, top, width, height);
    const int g0 = general.left() - left - 6, g1 = general.left() + general.width() - left + 6;
    const int i0 = info.left() - left - 6, i1 = info.left() + info.width() - left + 6;
    tabPictures_[0] = tabStripPicture(width, height, g0, g1, i0, i1);
    tabPictures_[1] = tabStripPicture(width, height, i0, i1, g0, g1);
    for (Label* l : {&general, &info}) {
        l->setTransparent(true);
        l->bringToFront();
        l->setCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
    }
    general.onClick = [this] { lblGeneralClick(); };
    info.onClick = [this] { lblFlashInfoClick(); };

    DialogPanel& page0 = get<DialogPanel>("pnlGeneral");
    const int iconSize = GetSystemMetrics(SM_CXICON);
    imgIcon_ = std::make_unique<MyImage>(&page0);
    imgIcon_->create(u.x(6), u.y(4), iconSize, iconSize);
    icon_ = ProgramIconPicture(iconSize, kWhite);
    imgIcon_->setPicture(icon_.get());

    Label& link = label("lblChangeFilePosition");
    link.setTextColor(RGB(0, 0, 0));
    link.setCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
    link.onMouseEnter = [&link] { link.setTextColor(kLinkBlue); };
    link.onMouseLeave = [&link] { link.setTextColor(RGB(0, 0, 0)); };
    link.onClick = [this] { lblChangeFilePositionClick(); };

    DialogPanel& page1 = get<DialogPanel>("pnlFlashInfo");
    lvFileInfo_ = std::make_unique<ListView>(&page1);
    lvFileInfo_->create(u.x(6), u.y(18), u.x(204), u.y(54));
    lvFlashInfo_ = std::make_unique<ListView>(&page1);
    lvFlashInfo_->create(u.x(6), u.y(88), u.x(204), u.y(70));
    for (ListView* l : {lvFileInfo_.get(), lvFlashInfo_.get()}) {
        l->addColumn(u.x(56));
        l->addColumn(u.x(140));
    }

    makePictureButton(imgbtnOK, "lblOK", "imgbtnOKBase", "imgbtnOKEnter", &F::lblOKClick);
    makePictureButton(imgbtnClose, "lblClose", "imgbtnCloseBase", "imgbtnCloseEnter", &F::lblCloseClick);
    showPage(0);
}

// A skinned button: the picture left of its label; hover shows the other
// picture, pressing moves picture and text one pixel right and down.
void TFavFilePropertyForm::makePictureButton(MyImage& image, const char* labelName, const char* base,
                                             const char* enter, void (TFavFilePropertyForm::*action)()) {
    Label& text = label(labelName);
    Skin& skin = Skin::instance();
    image.create(text.left() - 19, text.top() + (text.height() - 16) / 2, 16, 16);
    image.setPicture(skin.picture(base));
    HBITMAP normal = skin.picture(base), hover = skin.picture(enter);
    for (Control* c : {static_cast<Control*>(&text), static_cast<Control*>(&image)}) {
        c->setCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));
        c->onMouseEnter = [&image, hover] { image.setPicture(hover); };
        c->onMouseLeave = [&image, normal] { image.setPicture(normal); };
        c->onMouseDown = [&image, &text](const MouseEvent&) {
            image.setBounds(image.left() + 1, image.top() + 1, image.width(), image.height());
            text.setBounds(text.left() + 1, text.top() + 1, text.width(), text.height());
        };
        c->onMouseUp = [&image, &text](const MouseEvent&) {
            image.setBounds(image.left() - 1, image.top() - 1, image.width(), image.height());
            text.setBounds(text.left() - 1, text.top() - 1, text.width(), text.height());
        };
        c->onClick = [this, action] { (this->*action)(); };
    }
}

void TFavFilePropertyForm::showPage(int index) {
    page_ = index;
    get<DialogPanel>("pnlGeneral").setVisible(index == 0);
    get<DialogPanel>("pnlFlashInfo").setVisible(index == 1);
    imgTabs.setPicture(tabPictures_[index].get());
    label("lblGeneral").setTextColor(index == 0 ? RGB(0, 0, 0) : kTabGrey);
    label("lblFlashInfo").setTextColor(index == 1 ? RGB(0, 0, 0) : kTabGrey);
}

void TFavFilePropertyForm::setFavorite(const std::string& name, const FavoriteItem& item,
                                       const TFlashFileAttr& attr) {
    SetWindowTextA(handle(), (ExtractFileTitle(item.File) + " 属性").c_str());
    edtFavTitle().setText(name);
    edtFavFileName().setText(item.File);
    edtViewTimes().setText(std::to_string(item.ViewTimes));
    edtLastViewTime().setText(item.LastViewTime);
    mmoComments().setText(item.Comments);
    fillFacts(*lvFileInfo_, FileInfoRows(item.File, attr));
    fillFacts(*lvFlashInfo_, FlashInfoRows(attr));
}

void TFavFilePropertyForm::lblChangeFilePositionClick() {
    FileDialogRequest req;
    req.owner = handle();
    req.filter = "Flash动画|*.swf;*.exe";
    req.fileName = edtFavFileName().text();
    FileDialogResult result;
    if (ui().openFileDialog(req, result) && !result.files.empty())
        edtFavFileName().setText(result.files.front());
}

// Saves the movie path and comment, renames the favorite when its name
// changed, and keeps row and menu in step. A rename the file system refuses
// is reported and leaves the old name everywhere.
void TFavFilePropertyForm::lblOKClick() {
    const std::string oldName = tidy_.selectedName();
    if (oldName.empty()) return;
    const std::string newName = edtFavTitle().text();
    FavoriteRename result;
    try {
        result = EditFavorite(FavoritePath, oldName, newName, edtFavFileName().text(), mmoComments().text());
    } catch (const std::exception& e) {
        ShowErrorReport(e);
        return;
    }
    if (result == FavoriteRename::Renamed) {
        tidy_.renameSelected(newName);
        if (MenuItem* menu = FavoriteMenu()) RenameFavoriteMenuEntry(*menu, oldName, newName);
    } else if (result == FavoriteRename::Failed) {
        showWarning(handle(), "无法将收藏夹项目“" + oldName + "”重命名为“" + newName + "”。");
    }
    setModalResult(IDOK);
}

void ShowFavFileProperty(TTidyFavForm& tidy, const std::string& name) {
    const FavoriteItem item = ReadFavorite(FavoriteFileName(FavoritePath, name));
    TFlashFileAttr attr;
    try {
        GetFlashFileAttr(item.File, attr);
    } catch (const std::exception&) {
        attr = TFlashFileAttr();  // unreadable: no Flash file
    }
    if (!attr.IsFlashFile) {
        ui().messageBox(tidy.handle(), "无法读取指定文件属性，该文件可能不是Flash文件。", kAppTitle, MB_OK);
        return;
    }
    TFavFilePropertyForm form(tidy);
    if (!form.create()) return;
    form.setFavorite(name, item, attr);
    form.ShowModal();
}

}  // namespace kv
