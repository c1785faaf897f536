// The main window's menu wiring, keys, recent files and its own commands.
#include <functional>
#include <utility>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/MenuTables.h"
#include "app/Seams.h"
#include "playback/CirclePlayAreaForm.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"
#include "ui/SystemServices.h"
#include "ui/UiServices.h"

namespace kv {

namespace {
// A command of the play window, called through the global pointer at click time.
std::function<void()> play(void (TPlayForm::*m)()) {
    return [m] {
        if (PlayForm) (PlayForm->*m)();
    };
}

// The web and mail items: each hands its address to the shell.
const std::pair<const char*, const char*> kAddresses[] = {
    {"mmiHomePage", "https://tesvanor.example.org/flashplayer/"},
    {"mmiCheckUpdate", "https://tesvanor.example.org/flashplayer/update.html"},
    {"mmiWriteToAuthor", "mailto:flashplayer@tesvanor.example.org"},
};
}  // namespace

void TMainForm::wireMenu() {
    const std::pair<const char*, std::function<void()>> handlers[] = {
        {"mmiQuit", [this] { mmiQuitClick(); }},
        {"mmiOpenCDROM", [this] { mmiOpenCDROMClick(); }},
        {"mmiCloseCDROM", [this] { mmiCloseCDROMClick(); }},
        {"mmiShowFlashInfo",
         [] {
             if (PlayListForm) PlayListForm->pmiShowFlashInfoClick();
         }},
        {"mmiShowPlayList", [this] { mmiShowPlayListClick(); }},
        {"mmiMaxVideoWindow", [this] { mmiMaxVideoWindowClick(); }},
        {"mmiStayOnTop", [this] { mmiStayOnTopClick(); }},
        {"mmiPlay", play(&TPlayForm::pmiPlayClick)},
        {"mmiStop", play(&TPlayForm::pmiStopClick)},
        {"mmiBack", play(&TPlayForm::pmiBackClick)},
        {"mmiForward", play(&TPlayForm::pmiForwardClick)},
        {"mmiFront", play(&TPlayForm::pmiFrontClick)},
        {"mmiNext", play(&TPlayForm::pmiNextClick)},
        {"mmiFullScreen", play(&TPlayForm::pmiFullScreenClick)},
        {"mmiHighQulity", play(&TPlayForm::pmiHighQulityClick)},
        {"mmiMiddleQulity", play(&TPlayForm::pmiMiddleQulityClick)},
        {"mmiLowQulity", play(&TPlayForm::pmiLowQulityClick)},
        {"mmiZoomIn", play(&TPlayForm::pmiZoomInClick)},
        {"mmiZoomOut", play(&TPlayForm::pmiZoomOutClick)},
        {"mmiNormalSize", play(&TPlayForm::pmiNormalSizeClick)},
        {"mmiShieldOuterPictureOfScene", play(&TPlayForm::pmiShieldOuterPictureOfSceneClick)},
        {"mmiKeepScale", play(&TPlayForm::pmiKeepScaleClick)},
        {"mmiAutoControl", play(&TPlayForm::pmiAutoControlClick)},
        {"mmiJumpToPosition", play(&TPlayForm::pmiJumpToFrameClick)},
        {"mmiPlayArea", play(&TPlayForm::pmiPlayAreaClick)},
        {"mmiABCircle", ABCircleMenuClick},
        {"mmiSaveAs", play(&TPlayForm::pmiSaveAsClick)},
        {"mmiFileProperty", play(&TPlayForm::pmiPropertyClick)},
        {"mmiAddToFav", play(&TPlayForm::pmiAddToFavClick)},
        {"mmiSavePicture", play(&TPlayForm::pmiSavePictureClick)},
        {"mmiSetWallpaper", play(&TPlayForm::pmiSetWallPaperClick)},
        {"mmiOpenFiles",
         [] {
             if (PlayListForm) PlayListForm->pmiOpenFilesClick();
         }},
        {"mmiCirclePlay", [this] { item("mmiCirclePlay").setChecked(!item("mmiCirclePlay").checked()); }},
        {"mmiRandomPlay", [this] { item("mmiRandomPlay").setChecked(!item("mmiRandomPlay").checked()); }},
        {"mmiCircleCurrentFile",
         [this] { item("mmiCircleCurrentFile").setChecked(!item("mmiCircleCurrentFile").checked()); }},
        {"mmiTidyFav",
         [] {
             if (Seams.tidyFavorites) Seams.tidyFavorites();
         }},
        {"mmiOption",
         [] {
             if (Seams.showOptions) Seams.showOptions();
         }},
        {"mmiHelpTopic", [this] { mmiHelpTopicClick(); }},
        {"mmiAbout",
         [] {
             if (Seams.showAbout) Seams.showAbout();
         }},
    };
    for (const auto& h : handlers) item(h.first).onClick = h.second;
    for (const auto& a : kAddresses)
        item(a.first).onClick = [this, url = a.second] {
            sys().shellExecute(handle(), "open", url, "", "", SW_SHOWNORMAL);
        };
    for (const char* name : {"mmi4PicturePlay", "N91", "N161", "N251", "N361"}) {
        MenuItem* m = &item(name);
        m->onClick = [m] {
            if (PlayState != 0 && Seams.multiPicture) Seams.multiPicture(m->tag);
        };
    }
    if (!Seams.openFiles)
        Seams.openFiles = [] {
            if (PlayListForm) PlayListForm->pmiOpenFilesClick();
        };

    MenuItem& tray = pmTrayMenu->root();
    (*pmTrayMenu)["pmiTrayPlay"].onClick = [this] { item("mmiPlay").click(); };
    (*pmTrayMenu)["pmiTrayStop"].onClick = [this] { item("mmiStop").click(); };
    (*pmTrayMenu)["pmiTrayFront"].onClick = [this] { item("mmiFront").click(); };
    (*pmTrayMenu)["pmiTrayNext"].onClick = [this] { item("mmiNext").click(); };
    (*pmTrayMenu)["pmiTrayOption"].onClick = [this] { item("mmiOption").click(); };
    (*pmTrayMenu)["pmiTrayWriteToAuthor"].onClick = [this] { item("mmiWriteToAuthor").click(); };
    (*pmTrayMenu)["mmiApplicationClose"].onClick = [this] { mmiApplicationCloseClick(); };
    (void)tray;
}

void TMainForm::AddLatestUsedFilesToMenu() {
    MenuItem& sub = item("mmiLatestUsedFiles");
    sub.clear();
    for (size_t i = 0; i < RecentFiles.size(); ++i) {
        MenuItem* m = sub.insert(static_cast<int>(i), "", RecentFiles[i], mfRadio, kDynamicItemGroup);
        m->onClick = [this, m] { PlayLatestUsedFileByClickMenuItem(*m); };
    }
}

void TMainForm::PlayLatestUsedFileByClickMenuItem(const MenuItem& sender) {
    if (PlayForm) PlayForm->playAFile(sender.caption());
}

void TMainForm::mmiOpenCDROMClick() {
    sys().mciExecute("open cdaudio alias cd shareable ");
    sys().mciExecute("set cd door open");
    sys().mciExecute("close cd");
}

void TMainForm::mmiCloseCDROMClick() {
    sys().mciExecute("open cdaudio alias cd shareable ");
    sys().mciExecute("set cd door closed");
    sys().mciExecute("close cd");
}

void TMainForm::mmiHelpTopicClick() {
    std::string help = ProgramPath + "Help.chm";
    DWORD a = GetFileAttributesA(help.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) {
        showWarning(handle(), "未发现任何帮助文档！");
        return;
    }
    sys().shellExecute(handle(), "open", help, "", "", SW_SHOWNORMAL);
}

void TMainForm::ShowCaptionInlblCaption() {
    Label& l = bar.lblCaption;
    switch (PlayState) {
        case 1:
            l.setText(CurrentTitle);
            l.hint = "单击以查看文件属性";
            break;
        case 2:
            l.setText(CurrentTitle + "[暂停]");
            l.hint = "单击以查看文件属性";
            break;
        default:
            if (PlayForm && PlayForm->downloading()) {
                l.setText(PlayForm->downloadCaption());
                l.hint.clear();
                break;
            }
            l.setText(HasStopped ? "已停止" : "准备就绪");
            l.hint.clear();
            break;
    }
}

void TMainForm::FormResize() {
    if (PlayState != 0) bar.UpdatePlayProgress(MovieCurrentFrame, MovieTotalFrames);
}

namespace {
struct KeyCommand {
    bool alt;  // Alt instead of Ctrl
    WORD key;
    const char* item;
};
const KeyCommand kMainKeys[] = {
    {false, VK_PRIOR, "mmiBack"},      {false, VK_NEXT, "mmiForward"}, {false, VK_LEFT, "mmiFront"},
    {false, VK_RIGHT, "mmiNext"},      {false, '1', "mmiNormalSize"},  {false, 'D', "mmiOpenDir"},
    {false, 'J', "mmiJumpToPosition"}, {false, 'O', "mmiOpenFiles"},   {false, 'P', "mmiPlay"},
    {false, 'R', "mmiPlayArea"},       {false, 'S', "mmiStop"},        {false, 'U', "mmiOpenURL"},
    {false, 0xBB, "mmiZoomIn"},        {false, 0xBD, "mmiZoomOut"},    {true, VK_RETURN, "mmiFullScreen"},
};
}  // namespace

void TMainForm::FormKeyDown(WORD& key, ShiftState shift) {
    // Read when the key arrives: a dialog may have swallowed the last key-up.
    CtrlDown = shift.ctrl;
    AltDown = shift.alt;
    ShiftDown = shift.shift;
    for (const KeyCommand& k : kMainKeys) {
        if (k.key == key && (k.alt ? AltDown : CtrlDown)) {
            item(k.item).click();
            return;
        }
    }
}

void TMainForm::FormKeyUp(WORD&, ShiftState shift) {
    CtrlDown = shift.ctrl;
    AltDown = shift.alt;
    ShiftDown = shift.shift;
}

}  // namespace kv
