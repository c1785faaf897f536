#include "playback/PictureCommands.h"

#include "app/AppState.h"
#include "app/Seams.h"
#include "flashfile/SaveFileAs.h"
#include "playback/MultiPicturePlayForm.h"
#include "playback/PictureFile.h"
#include "playback/PlayForm.h"
#include "playback/WallpaperForm.h"
#include "ui/Handles.h"
#include "ui/RuntimeErrors.h"
#include "ui/UiServices.h"

namespace kv {

const char* const kSavePictureFilter = "位图文件(*.bmp)|*.bmp|PNG 图片(*.png)|*.png";

void SaveCurrentPicture() {
    if (PlayState == 0 || !PlayForm) return;
    // The picture of the moment the command was chosen, before any dialog.
    UniqueBitmap picture(PlayForm->Flash1.paintToBitmap());
    if (!picture) return;
    FileDialogRequest req;
    req.owner = PlayForm->handle();
    req.filter = kSavePictureFilter;
    req.defaultExt = "bmp";
    FileDialogResult res;
    if (!ui().saveFileDialog(req, res) || res.files.empty()) return;
    RunCommand([&] {
        if (!SavePictureFile(picture.get(), res.files[0], PictureFormatOfFilter(res.filterIndex)))
            throw InOutError(GetLastError() ? GetLastError() : ERROR_ACCESS_DENIED);
    });
}

void SaveCurrentMovieAs() {
    if (PlayState == 0) return;
    FileDialogRequest req;
    req.owner = PlayForm ? PlayForm->handle() : nullptr;
    req.filter = "flash动画|*.swf|可执行flash动画|*.exe";
    req.defaultExt = "exe";
    FileDialogResult res;
    if (!ui().saveFileDialog(req, res) || res.files.empty()) return;
    // For a projector this is the executable itself, not its unpacked movie;
    // for a movie from an address, its downloaded copy.
    SaveFileAs(CurrentMovieOnDisk(), res.files[0], ProgramPath, req.owner);
}

void InstallPictureCommands() {
    Seams.savePicture = SaveCurrentPicture;
    Seams.setWallpaper = ShowWallpaperForm;
    Seams.multiPicture = ShowMultiPicturePlayForm;
    Seams.saveAs = SaveCurrentMovieAs;
}

}  // namespace kv
