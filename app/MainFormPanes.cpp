// The main window's panes and pages: list and information panes, maximised
// video area, the page switch, stay-on-top and the refits of docked windows.
#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Skin.h"
#include "flashfile/FileConvertForm.h"
#include "options/FunctionUnit.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "playlist/PlayListState.h"

namespace kv {

void TMainForm::ShowPlayListOrFlashInfo() {
    if (!PlayListForm) return;
    TPlayListForm& pl = *PlayListForm;
    pl.lstPlayList.setVisible(item("mmiShowPlayList").checked());
    if (!Options.ShowPlayList && !Options.ShowFlashInfo) {
        pnlPlayList.setVisible(false);
        sptPlayList.setVisible(false);
        return;
    }
    sptPlayList.setVisible(true);
    pnlPlayList.setVisible(true);
    if (Options.ShowPlayList && Options.ShowFlashInfo) {
        pl.pnlFlashInfo.setAlign(Align::Top);
        pl.pnlFlashInfo.setHeight(Options.HeightOfFlashInfo);
        pl.pnlFlashInfo.setVisible(true);
        pl.sptFlashInfo.setVisible(true);
        pl.pnlPlayList.setVisible(true);
    } else if (Options.ShowPlayList) {
        pl.pnlFlashInfo.setVisible(false);
        pl.sptFlashInfo.setVisible(false);
        pl.pnlPlayList.setVisible(true);
    } else {
        if (pl.pnlFlashInfo.align() != Align::Client) Options.HeightOfFlashInfo = pl.pnlFlashInfo.height();
        pl.pnlFlashInfo.setVisible(true);
        pl.pnlFlashInfo.setAlign(Align::Client);
        pl.sptFlashInfo.setVisible(false);
        pl.pnlPlayList.setVisible(false);
    }
    pl.realign();
}

void TMainForm::mmiShowPlayListClick() {
    MenuItem& list = item("mmiShowPlayList");
    if (Options.MaxVideoWindow) {
        list.setChecked(true);
        item("mmiShowFlashInfo").setChecked(Options.ShowFlashInfo);
        if (PlayListForm) PlayListForm->setShowFlashInfoMark(Options.ShowFlashInfo);
    } else {
        list.setChecked(!list.checked());
    }
    item("mmiMaxVideoWindow").setChecked(false);
    Options.MaxVideoWindow = false;
    Options.ShowPlayList = list.checked();
    ShowPlayListOrFlashInfo();
}

void TMainForm::mmiMaxVideoWindowClick() {
    MenuItem& max = item("mmiMaxVideoWindow");
    max.setChecked(!max.checked());
    Options.MaxVideoWindow = max.checked();
    if (Options.MaxVideoWindow) {
        item("mmiShowFlashInfo").setChecked(false);
        item("mmiShowPlayList").setChecked(false);
        sptPlayList.setVisible(false);
        pnlPlayList.setVisible(false);
        sbMaxVideoWindow.hint = "还原视频窗口";
    } else {
        item("mmiShowFlashInfo").setChecked(Options.ShowFlashInfo);
        if (PlayListForm) PlayListForm->setShowFlashInfoMark(Options.ShowFlashInfo);
        item("mmiShowPlayList").setChecked(Options.ShowPlayList);
        ShowPlayListOrFlashInfo();
        sbMaxVideoWindow.hint = "最大化视频窗口";
    }
}

void TMainForm::mmiStayOnTopClick() {
    MenuItem& top = item("mmiStayOnTop");
    top.setChecked(!top.checked());
    SetWindowPos(handle(), top.checked() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TMainForm::setActivePage(int index) {
    activePage_ = index == 1 ? 1 : 0;
    tsPlay.setVisible(activePage_ == 0);
    tsFileConvert.setVisible(activePage_ == 1);
    if (activePage_ == 1 && !FileConvertFormExists) {
        // Made the first time its page is shown; it frees itself when closed.
        TFileConvertForm* form = new TFileConvertForm;
        form->create();
        form->dock(tsFileConvert);
        form->show();
    }
}

void TMainForm::tsFileConvertResize() {
    if (FileConvertForm && FileConvertForm->docked()) FileConvertForm->refit();
}

void TMainForm::playConvertedFiles(const std::vector<std::string>& targets) {
    if (targets.empty() || !PlayForm) return;
    PlayForm->pmiStopClick();
    CurrentPlayListFile = ProgramPath + "Korvamelden.fpl";
    PlayListFiles.clear();
    PlayListTitles.clear();
    PlayListCount = 0;
    CurrentIndex = 0;
    if (PlayListForm) PlayListForm->lstPlayList.clear();
    lblPlayListName.setText("正在播放");
    MenuItem& lists = item("mmiPlayList");
    for (int i = 15; i < lists.count(); ++i) lists.item(i)->setDefault(false);
    for (const auto& t : targets) {
        PlayListFiles.push_back(t);
        PlayListTitles.push_back(ExtractFileTitle(t));
        if (PlayListForm) PlayListForm->lstPlayList.add();
    }
    PlayListCount = static_cast<int>(PlayListFiles.size());
    CurrentIndex = 1;
    PlayForm->pmiPlayClick();
    setActivePage(0);
    pgcMainChange();
}

void TMainForm::pgcMainChange() {
    imgTaskPlay.setPicture(nullptr);
    imgTaskFileTypeConvert.setPicture(nullptr);
    HBITMAP down = Skin::instance().picture("imgTaskButtonDown");
    if (activePage_ == 0) {
        if (PlayState == 0 && PlayForm) PlayForm->parkFlashHost(5);
        imgTaskPlay.setPicture(down);
        if (PlayForm) {
            PlayForm->hide();
            PlayForm->show();
            PlayForm->setFocus();
        }
        if (PlayListForm) {
            PlayListForm->hide();
            PlayListForm->show();
            PlayListForm->lstPlayList.invalidate();
        }
    } else {
        imgTaskFileTypeConvert.setPicture(down);
    }
}

void TMainForm::pnlPlayAreaResize() {
    if (PlayForm && PlayForm->docked()) PlayForm->refit();
}

void TMainForm::pnlPlayListResize() {
    if (PlayListForm && PlayListForm->docked()) PlayListForm->refit();
}

}  // namespace kv
