#include "playback/WallpaperForm.h"

#include "app/AppState.h"
#include "platform/Registry.h"
#include "playback/PictureFile.h"
#include "playback/PlayForm.h"
#include "ui/RuntimeErrors.h"
#include "ui/SystemServices.h"

namespace kv {

namespace {

using F = TWallpaperForm;
const ControlSpec<F> kControls[] = {
    {Ctl::Panel, "pnlPreview", "", nullptr, {5, 5, 160, 120}, cfLowered},
    {Ctl::Button, "bbtnOk", "确定", nullptr, {57, 131, 50, 16}, cfDefault, nullptr, &F::bbtnOkClick},
    {Ctl::Button, "bbtnCancel", "取消", nullptr, {113, 131, 50, 16}, cfCancel},
};

const char* const kDesktopKey = "Control Panel\\Desktop";

}  // namespace

TWallpaperForm::TWallpaperForm() : DialogForm({"设为桌面背景", 171, 155}) { declare(kControls); }

void TWallpaperForm::FormCreate() {
    // The picture sizes are pixels, so the dialog is laid out in pixels too.
    RECT frame{0, 0, 257, 232};
    AdjustWindowRectEx(&frame, GetWindowLongA(handle(), GWL_STYLE), FALSE,
                       GetWindowLongA(handle(), GWL_EXSTYLE));
    SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    pnlPreview = &get<DialogPanel>("pnlPreview");
    pnlPreview->setBounds(8, 8, 240, 180);
    get<Button>("bbtnOk").setBounds(92, 197, 75, 25);
    get<Button>("bbtnCancel").setBounds(173, 197, 75, 25);
    imgPreview = std::make_unique<MyImage>(pnlPreview);
    RECT r;
    GetClientRect(pnlPreview->handle(), &r);
    imgPreview->create(0, 0, r.right, r.bottom);
    imgPreview->setStretch(true);
    // The renderer lies beyond the right edge, out of sight.
    Flash1.create(2000, 0, 5, 5);
}

HBITMAP TWallpaperForm::paintAt(int width, int height) {
    Flash1.setBounds(Flash1.left(), Flash1.top(), Flash1.width(), height);
    Flash1.setBounds(Flash1.left(), Flash1.top(), width, height);
    pnlPreview->setFocus();
    Flash1.setFocus();
    if (PlayForm) Flash1.setScaleMode(PlayForm->Flash1.scaleMode());
    return Flash1.paintToBitmap();
}

void TWallpaperForm::FormShow() {
    if (PlayForm) {
        Flash1.setMovie(PlayForm->Flash1.movie());
        Flash1.GotoFrame(MovieCurrentFrame);
        preview.reset(paintAt(240, 180));
        imgPreview->setPicture(preview.get());
        imgWallpaper.reset(paintAt(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    }
    Flash1.Stop();
    Flash1.setMovie("1.swf");
}

void TWallpaperForm::bbtnOkClick() {
    bool done = RunCommand([this] {
        std::string file = ProgramPath + "Wallpaper.bmp";
        // The new picture replaces the old file in one rename, so a failed
        // write leaves the previous wallpaper whole.
        if (!SavePictureFile(imgWallpaper.get(), file)) throw InOutError(GetLastError() ? GetLastError() : 5);
        RegKey key = RegKey::create(HKEY_CURRENT_USER, kDesktopKey);
        key.writeString("Wallpaper", file);
        key.writeString("WallpaperStyle", "2");
        // Named directly: an empty name would clear the desktop's picture.
        sys().setWallpaper(file, SPIF_SENDWININICHANGE);
    });
    if (done) setModalResult(IDOK);
}

void ShowWallpaperForm() {
    if (PlayState == 0) return;
    TWallpaperForm form;
    form.ShowModal();
}

}  // namespace kv
