#include "playback/PlayForm.h"

#include "app/AppState.h"
#include "options/FunctionUnit.h"
#include "playback/PlayFormMenu.h"

namespace kv {

TPlayForm* PlayForm = nullptr;

TPlayForm::TPlayForm() { PlayForm = this; }

TPlayForm::~TPlayForm() {
    if (PlayForm == this) PlayForm = nullptr;
}

bool TPlayForm::create() {
    if (!createForm("TPlayForm", "TPlayForm", 0, 0, 400, 300, WS_POPUP | WS_CLIPCHILDREN)) return false;
    setColor(RGB(0, 0, 0));
    pnlMain.setColor(RGB(0, 0, 0));
    pnlMain.create();
    pnlMain.setAlign(Align::Client);
    pnlFlash.setColor(RGB(0, 0, 0));
    pnlFlash.create(-10, -10, 1, 1);
    pmMain = std::make_unique<Menu>(kPlayFormMenuSpec, kPlayFormMenuCount, false);
    return true;
}

void TPlayForm::parkFlashHost(int size) { pnlFlash.setBounds(-10, -10, size, size); }

void TPlayForm::FormDestroy() {}

// Opening a single file replaces the current list with that file and plays it.
void TPlayForm::playAFile(const std::string& path) {
    pmiStopClick();
    PlayListFiles.clear();
    PlayListTitles.clear();
    CurrentPlayListFile = ProgramPath + "Korvamelden.fpl";
    PlayListFiles.push_back(path);
    PlayListTitles.push_back(ExtractFileTitle(path));
    PlayListCount = 1;
    CurrentIndex = 1;
    pmiPlayClick();
}

void TPlayForm::pmiPlayClick() {}
void TPlayForm::pmiStopClick() {}
void TPlayForm::MoveToPosition(int) {}
void TPlayForm::pmiFrontClick() {}
void TPlayForm::pmiNextClick() {}
void TPlayForm::pmiBackClick() {}
void TPlayForm::pmiForwardClick() {}

}  // namespace kv
