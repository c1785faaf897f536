#include "playback/MultiPicturePlayForm.h"

#include "app/AppState.h"
#include "playback/PlayForm.h"
#include "ui/Application.h"

namespace kv {

TMultiPicturePlayForm::TMultiPicturePlayForm() { keyPreview = true; }

TMultiPicturePlayForm::~TMultiPicturePlayForm() { FormDestroy(); }

bool TMultiPicturePlayForm::create() {
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    if (!createForm("TMultiPicturePlayForm", "TMultiPicturePlayForm", 0, 0, sw, sh,
                    WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW))
        return false;
    setColor(RGB(0, 0, 0));
    pnlBottom.setColor(RGB(0, 0, 0));
    pnlBottom.create(0, sh - 28, sw, 28);
    pnlBottom.setAlign(Align::Bottom);
    lblBottom.setColor(RGB(0, 0, 0));
    lblBottom.create(0, 0, sw, 28, "   按任意键退出");
    lblBottom.setFont("宋体", 14);
    lblBottom.setTextColor(RGB(255, 255, 255));
    lblBottom.setVerticalCenter(true);
    pnlMain.setColor(RGB(0, 0, 0));
    pnlMain.create(0, 0, sw, sh - 28);
    pnlMain.setAlign(Align::Client);
    Flash1.create(-4000, 0, 5, 5);
    // The view's own hook stands in for the play window's while it is open.
    if (PlayForm) PlayForm->removeHook();
    hookId_ = Application::instance().addMessageHook([this](MSG& m) { return ApplicationEventsMessage(m); });
    return true;
}

void TMultiPicturePlayForm::FormDestroy() {
    if (!hookId_) return;
    Application::instance().removeMessageHook(hookId_);
    hookId_ = 0;
    if (PlayForm) PlayForm->installHook();
}

// The window is made at the screen's size, so the grid is built once it shows.
void TMultiPicturePlayForm::FormShow() {
    if (!built_) buildGrid();
}

void TMultiPicturePlayForm::buildGrid() {
    built_ = true;
    if (!PlayForm) return;
    std::vector<PictureCell> cells = MultiPictureGrid(
        tag, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), PlayForm->Flash1.TotalFrames());
    if (cells.empty()) return;
    Flash1.setMovie(PlayForm->Flash1.movie());
    Flash1.setScaleMode(PlayForm->Flash1.scaleMode());
    Flash1.setBounds(Flash1.left(), Flash1.top(), Flash1.width(), cells[0].height);
    Flash1.setBounds(Flash1.left(), Flash1.top(), cells[0].width, cells[0].height);
    pnlMain.setFocus();
    Flash1.setFocus();
    for (const PictureCell& c : cells) {
        Picture p;
        p.frame = c.frame;
        p.image = std::make_unique<MyImage>(&pnlMain);
        p.image->create(c.left, c.top, c.width, c.height);
        p.image->setStretch(true);
        int frame = c.frame;
        p.image->onClick = [this, frame] { ImageClick(frame); };
        Flash1.GotoFrame(c.frame);
        p.bitmap.reset(Flash1.paintToBitmap());
        p.image->setPicture(p.bitmap.get());
        pictures.push_back(std::move(p));
        // The grid fills one picture after the other.
        Application::instance().processMessages();
        if (!handle() || modalResult() != 0) return;  // a click or a key already left
    }
}

void TMultiPicturePlayForm::ImageClick(int frame) {
    if (PlayForm) PlayForm->MoveToPosition(frame);
    leave();
}

void TMultiPicturePlayForm::leave() {
    if (isModal())
        setModalResult(IDCANCEL);
    else
        hide();
}

void TMultiPicturePlayForm::FormKeyDown(WORD& key, ShiftState) {
    if (key == VK_ESCAPE) {
        key = 0;
        leave();
    }
}

bool TMultiPicturePlayForm::ApplicationEventsMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && Flash1.handle() && msg.hwnd == Flash1.handle()) {
        leave();
        return true;
    }
    return false;
}

int TMultiPicturePlayForm::showView(int pictureCount) {
    tag = pictureCount;
    if (!handle() && !create()) return IDCANCEL;
    return showModal();
}

void ShowMultiPicturePlayForm(int pictureCount) {
    if (PlayState == 0 || !PlayForm) return;
    TMultiPicturePlayForm form;
    form.showView(pictureCount);
}

}  // namespace kv
