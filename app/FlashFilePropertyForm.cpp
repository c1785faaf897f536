#include "app/FlashFilePropertyForm.h"

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Skin.h"
#include "favorites/ProgramIconPicture.h"
#include "flashfile/FlashFileFacts.h"
#include "options/FunctionUnit.h"
#include "ui/RuntimeErrors.h"
#include "ui/UiServices.h"

namespace kv {

namespace {
using F = TShowFlashFilePropertyForm;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Rectangles are set in pixels once the controls exist.
const ControlSpec<F> kPropertyControls[] = {
    {Ctl::Edit, "edtTitle", "", nullptr, {}, cfReadOnly | cfNoTabStop},
    {Ctl::Label, "Label2", "常规", nullptr, {}},
    {Ctl::Label, "Label3", "信息", nullptr, {}},
    {Ctl::Label, "lblClose", "   关闭", nullptr, {}, cfRight},
};

void fillFacts(ListView& list, const FactRows& rows) {
    list.clear();
    for (const auto& r : rows) list.addRow(r.first, r.second);
}
}  // namespace

TShowFlashFilePropertyForm::TShowFlashFilePropertyForm() : DialogForm({"属性", 221, 219}) {
    declare(kPropertyControls);
}

TShowFlashFilePropertyForm::~TShowFlashFilePropertyForm() = default;

void TShowFlashFilePropertyForm::FormCreate() {
    RECT r{0, 0, 332, 329};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(handle(), GWL_EXSTYLE)));
    SetWindowPos(handle(), nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    setColor(kWhite);

    const int iconSize = GetSystemMetrics(SM_CXICON);
    imgIcon.create(11, 15, iconSize, iconSize);
    icon_ = ProgramIconPicture(iconSize, kWhite);
    imgIcon.setPicture(icon_.get());

    Edit& title = edtTitle();
    title.setFlatFrame(false);
    title.setColor(kWhite);
    title.setBounds(58, 26, 264, 16);
    SetWindowLongA(title.handle(), GWL_EXSTYLE,
                   GetWindowLongA(title.handle(), GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_CLIENTEDGE));
    SetWindowLongA(title.handle(), GWL_STYLE,
                   GetWindowLongA(title.handle(), GWL_STYLE) & ~static_cast<LONG>(WS_BORDER));
    SetWindowPos(title.handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);

    Label& general = get<Label>("Label2");
    Label& info = get<Label>("Label3");
    general.setBounds(14, 65, 60, 14);
    info.setBounds(14, 153, 60, 14);
    for (Label* l : {&general, &info}) l->setFont("宋体", -12, true);

    line_ = PaintPicture(304, 3, [](HDC dc) {
        RECT top{0, 0, 304, 1}, mid{0, 1, 304, 2}, bottom{0, 2, 304, 3};
        UniqueBrush dark(CreateSolidBrush(RGB(0x9C, 0x9A, 0x94)));
        UniqueBrush light(CreateSolidBrush(RGB(0xE4, 0xE2, 0xDC)));
        FillRect(dc, &top, light.get());
        FillRect(dc, &mid, dark.get());
        FillRect(dc, &bottom, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    });
    imgLine1.create(14, 80, 304, 3);
    imgLine1.setPicture(line_.get());
    imgLine2.create(14, 168, 304, 3);
    imgLine2.setPicture(imgLine1.picture());

    lvFileInfo_ = std::make_unique<ListView>(this);
    lvFileInfo_->create(14, 89, 305, 57);
    lvFlashInfo_ = std::make_unique<ListView>(this);
    lvFlashInfo_->create(14, 177, 305, 97);
    for (ListView* l : {lvFileInfo_.get(), lvFlashInfo_.get()}) {
        l->addColumn(100);
        l->addColumn(200);
        SetWindowLongA(l->handle(), GWL_EXSTYLE,
                       GetWindowLongA(l->handle(), GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_CLIENTEDGE));
        SetWindowPos(l->handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }

    // The skinned close button: the picture under its right-justified label.
    Skin& skin = Skin::instance();
    Label& text = lblClose();
    imgbtnClose.create(267, 301, 16, 16);
    imgbtnClose.setPicture(skin.picture("imgbtnCloseBase"));
    text.setBounds(267, 301, 50, 16);
    text.setTransparent(true);
    text.bringToFront();
    HBITMAP normal = skin.picture("imgbtnCloseBase"), hover = skin.picture("imgbtnCloseEnter");
    text.setCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
    text.onMouseEnter = [this, hover] { imgbtnClose.setPicture(hover); };
    text.onMouseLeave = [this, normal] { imgbtnClose.setPicture(normal); };
    text.onMouseDown = [this, &text](const MouseEvent&) {
        imgbtnClose.setBounds(imgbtnClose.left() + 1, imgbtnClose.top() + 1, 16, 16);
        text.setBounds(text.left() + 1, text.top() + 1, text.width(), text.height());
    };
    text.onMouseUp = [this, &text](const MouseEvent&) {
        imgbtnClose.setBounds(imgbtnClose.left() - 1, imgbtnClose.top() - 1, 16, 16);
        text.setBounds(text.left() - 1, text.top() - 1, text.width(), text.height());
    };
    text.onClick = [this] { setModalResult(IDCANCEL); };
}

void TShowFlashFilePropertyForm::setMovie(const std::string& title, const std::string& path,
                                          const TFlashFileAttr& attr) {
    SetWindowTextA(handle(), (ExtractFileTitle(path) + " 属性").c_str());
    edtTitle().setText(title);
    fillFacts(*lvFileInfo_, FileInfoRows(path, attr));
    fillFacts(*lvFlashInfo_, FlashInfoRows(attr));
}

void ShowFlashFileProperty(const std::string& title, const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) return;
    TFlashFileAttr attr;
    try {
        GetFlashFileAttr(path, attr);
    } catch (const FileReadError&) {
        attr = TFlashFileAttr();
    }
    if (!attr.IsFlashFile) {
        ui().messageBox(MainForm ? MainForm->handle() : nullptr,
                        "无法读取指定文件属性，该文件可能不是Flash文件。", kAppTitle, MB_OK);
        return;
    }
    TShowFlashFilePropertyForm f;
    if (!f.create()) return;
    f.setMovie(title, path, attr);
    f.ShowModal();
}

}  // namespace kv
