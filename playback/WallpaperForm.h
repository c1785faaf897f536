// TWallpaperForm: "设为桌面背景". Shows a preview of the play window's
// current frame and, on OK, makes a screen-sized picture of it the desktop
// wallpaper ("Wallpaper.bmp" in the program folder, stretched).
#pragma once

#include <memory>

#include "flash/ShockwaveFlash.h"
#include "ui/DialogForm.h"
#include "ui/Handles.h"
#include "ui/MyImage.h"

namespace kv {

class TWallpaperForm : public DialogForm {
public:
    TWallpaperForm();
    void FormCreate() override;
    void FormShow() override;
    void bbtnOkClick();

    DialogPanel* pnlPreview = nullptr;
    std::unique_ptr<MyImage> imgPreview;
    TShockwaveFlash Flash1{this};
    UniqueBitmap preview, imgWallpaper;

private:
    // Sizes the control, copies the play window's scale mode and paints it.
    HBITMAP paintAt(int width, int height);
};

// The wallpaper command: the dialog, modally; nothing while no movie is loaded.
void ShowWallpaperForm();

}  // namespace kv
