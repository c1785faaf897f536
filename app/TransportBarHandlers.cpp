// The transport bar's event handlers: picture swaps on hover and press, hover
// texts in the caption label, the play commands, seeking with the thumb or a
// click on the track, mute and the volume slider, the task buttons of the top
// strip and the caption label's link to the property window.
#include <algorithm>
#include <string>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "app/Skin.h"
#include "app/TransportBar.h"
#include "playback/PlayForm.h"
#include "ui/SystemServices.h"

namespace kv {

namespace {

HBITMAP pic(const char* name) { return Skin::instance().picture(name); }

bool rightButton(const MouseEvent& e) { return e.button == MouseButton::Right; }

bool playing() { return PlayState == 1; }

// Runs a command of the play window, if there is one.
void command(void (TPlayForm::*m)()) {
    if (PlayForm) (PlayForm->*m)();
}

void seekTo(int frame) {
    if (PlayForm) PlayForm->MoveToPosition(frame);
}

std::string volumeCaption(int thumbLeft) {
    return "音量：" + std::to_string((thumbLeft - kVolumeLeft) * 100 / kVolumeSpan) + "%";
}

}  // namespace

void TransportBar::attach(TMainForm& form) {
    form_ = &form;
    Skin::instance().activeTaskPage = [] { return MainForm ? MainForm->activePage() : 0; };
    // The top strip carries the drop-down arrow at its right end: drawn per width.
    form.Panel2.onResize = [&form] {
        form.Panel2.setBackgroundPicture(Skin::instance().topStrip(std::max(form.Panel2.width(), 1)), false);
        for (Control* c : form.Panel2.children()) c->invalidate();
    };
    form.Panel2.onResize();
    // The thumb lies over the played part, which lies over the track.
    imgPlayProgress.bringToFront();
    imgTrackBar.bringToFront();

    struct Wiring {
        Control& control;
        void (TransportBar::*down)(const MouseEvent&);
        void (TransportBar::*up)(const MouseEvent&);
        void (TransportBar::*move)(const MouseEvent&);
        void (TransportBar::*enter)();
        void (TransportBar::*leave)();
        void (TransportBar::*click)();
    };
    using T = TransportBar;
    const Wiring table[] = {
        {imgPlay, &T::imgPlayMouseDown, &T::imgPlayMouseUp, nullptr, &T::imgPlayMouseEnter,
         &T::imgPlayMouseLeave, nullptr},
        {imgStop, &T::imgStopMouseDown, &T::imgStopMouseUp, nullptr, &T::imgStopMouseEnter,
         &T::imgStopMouseLeave, nullptr},
        {imgFront, &T::imgFrontMouseDown, &T::imgFrontMouseUp, nullptr, &T::imgFrontMouseEnter,
         &T::imgFrontMouseLeave, nullptr},
        {imgNext, &T::imgNextMouseDown, &T::imgNextMouseUp, nullptr, &T::imgNextMouseEnter,
         &T::imgNextMouseLeave, nullptr},
        {imgBack, &T::imgBackMouseDown, &T::imgBackMouseUp, nullptr, &T::imgBackMouseEnter,
         &T::imgBackMouseLeave, nullptr},
        {imgForward, &T::imgForwardMouseDown, &T::imgForwardMouseUp, nullptr, &T::imgForwardMouseEnter,
         &T::imgForwardMouseLeave, nullptr},
        {imgVolume, &T::imgVolumeMouseDown, nullptr, nullptr, &T::imgVolumeMouseEnter,
         &T::imgVolumeMouseLeave, &T::imgVolumeClick},
        {imgTrackBar, &T::imgTrackBarMouseDown, &T::imgTrackBarMouseUp, &T::imgTrackBarMouseMove,
         &T::imgTrackBarMouseEnter, &T::imgTrackBarMouseLeave, nullptr},
        {imgTrackScroll, &T::imgPlayProgressMouseDown, &T::imgPlayProgressMouseUp, nullptr, nullptr, nullptr,
         nullptr},
        {imgPlayProgress, &T::imgPlayProgressMouseDown, &T::imgPlayProgressMouseUp, nullptr, nullptr, nullptr,
         nullptr},
        {imgVolumeBar, &T::imgVolumeBarMouseDown, &T::imgVolumeBarMouseUp, &T::imgVolumeBarMouseMove,
         &T::imgVolumeBarMouseEnter, &T::imgVolumeBarMouseLeave, nullptr},
        {form.imgTaskPlay, &T::imgTaskPlayMouseDown, nullptr, nullptr, &T::imgTaskPlayMouseEnter,
         &T::imgTaskPlayMouseLeave, &T::imgTaskPlayClick},
        {form.Label2, &T::imgTaskPlayMouseDown, nullptr, nullptr, &T::imgTaskPlayMouseEnter,
         &T::imgTaskPlayMouseLeave, &T::imgTaskPlayClick},
        {form.imgTaskFileTypeConvert, &T::imgTaskFileTypeConvertMouseDown, nullptr, nullptr,
         &T::imgTaskFileTypeConvertMouseEnter, &T::imgTaskFileTypeConvertMouseLeave,
         &T::imgTaskFileTypeConvertClick},
        {form.Label1, &T::imgTaskFileTypeConvertMouseDown, nullptr, nullptr,
         &T::imgTaskFileTypeConvertMouseEnter, &T::imgTaskFileTypeConvertMouseLeave,
         &T::imgTaskFileTypeConvertClick},
        {form.imgPlayListDropDown, nullptr, nullptr, nullptr, &T::imgPlayListDropDownMouseEnter,
         &T::imgPlayListDropDownMouseLeave, &T::imgPlayListDropDownClick},
        {lblCaption, nullptr, nullptr, nullptr, &T::lblCaptionMouseEnter, &T::lblCaptionMouseLeave,
         &T::lblCaptionClick},
    };
    for (const Wiring& w : table) {
        Control& c = w.control;
        if (w.down)
            c.onMouseDown = [this, m = w.down](const MouseEvent& e) {
                doubleClicked_ = nullptr;
                (this->*m)(e);
            };
        if (w.up) c.onMouseUp = [this, m = w.up](const MouseEvent& e) { (this->*m)(e); };
        if (w.move) c.onMouseMove = [this, m = w.move](const MouseEvent& e) { (this->*m)(e); };
        if (w.enter) c.onMouseEnter = [this, m = w.enter] { (this->*m)(); };
        if (w.leave) c.onMouseLeave = [this, m = w.leave] { (this->*m)(); };
        if (w.click) c.onClick = [this, m = w.click] { (this->*m)(); };
    }
    // The buttons' clicks are the Play menu's commands.
    commandClick(imgPlay, &TPlayForm::pmiPlayClick);
    commandClick(imgStop, &TPlayForm::pmiStopClick);
    commandClick(imgFront, &TPlayForm::pmiFrontClick);
    commandClick(imgNext, &TPlayForm::pmiNextClick);
    commandClick(imgBack, &TPlayForm::pmiBackClick);
    commandClick(imgForward, &TPlayForm::pmiForwardClick);
    for (CaptureImage* c : {&imgTrackBar, &imgTrackScroll, &imgPlayProgress, &imgVolumeBar})
        c->onCaptureLost = [this] { dragCaptureLost(); };
}

void TransportBar::commandClick(MyImage& button, void (TPlayForm::*m)()) {
    button.onDblClick = [this, &button] { doubleClicked_ = &button; };
    button.onClick = [this, &button, m] {
        if (doubleClicked_ == &button) {
            doubleClicked_ = nullptr;
            return;
        }
        command(m);
    };
}

LRESULT CaptureImage::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CAPTURECHANGED && onCaptureLost) onCaptureLost();
    return MyImage::handleMessage(msg, wp, lp);
}

// Also reached on every release (letting go of the capture comes first
// there); the release's own handler then finishes the drag as usual.
void TransportBar::dragCaptureLost() {
    if (!ThumbDragging && !VolumeDragging && !TrackDragging) return;
    if (ThumbDragging) imgTrackBar.setPicture(pic("imgTrackBarBase"));
    if (VolumeDragging) imgVolumeBar.setPicture(pic("imgVolumeBarBase"));
    ThumbDragging = VolumeDragging = TrackDragging = false;
    restoreCaption();
}

void TransportBar::showHoverText(const Control& owner, const std::string& text) {
    if (!Options.ShowToolsTip) return;
    lblCaption.setText(text);
    hoverOwner_ = &owner;
}

void TransportBar::restoreCaption() {
    hoverOwner_ = nullptr;
    if (form_) form_->ShowCaptionInlblCaption();
}

// The leave of one control can arrive after the enter of its neighbour (the
// system reports leaving late); the neighbour's text then stays.
void TransportBar::leaveCaption(const Control& left) {
    if (hoverOwner_ && hoverOwner_ != &left) return;
    restoreCaption();
}

void TransportBar::applyVolume() { sys().setWaveVolume(WaveVolumeOfStep(Options.VolumeNum)); }

// Play/pause: the pictures follow the play state.

void TransportBar::imgPlayMouseDown(const MouseEvent& e) {
    if (rightButton(e)) return;
    imgPlay.setPicture(pic(playing() ? "imgPauseDown" : "imgPlayDown"));
}

void TransportBar::imgPlayMouseUp(const MouseEvent& e) {
    if (rightButton(e)) return;
    imgPlay.setPicture(playing() ? pic("imgPause") : nullptr);
}

void TransportBar::imgPlayMouseEnter() {
    imgPlay.setPicture(pic(playing() ? "imgPauseEnter" : "imgPlayEnter"));
    showHoverText(imgPlay, playing() ? "暂停播放当前文件" : "播放当前文件");
}

void TransportBar::imgPlayMouseLeave() {
    imgPlay.setPicture(playing() ? pic("imgPause") : nullptr);
    leaveCaption(imgPlay);
}

// Stop, previous and next file, ten frames back and forward: hover and press
// pictures over the background's normal look.

void TransportBar::imgStopMouseDown(const MouseEvent& e) {
    if (!rightButton(e)) imgStop.setPicture(pic("imgStopDown"));
}
void TransportBar::imgStopMouseUp(const MouseEvent& e) {
    if (!rightButton(e)) imgStop.setPicture(nullptr);
}
void TransportBar::imgStopMouseEnter() {
    imgStop.setPicture(pic("imgStopEnter"));
    showHoverText(imgStop, "停止播放当前文件");
}
void TransportBar::imgStopMouseLeave() {
    imgStop.setPicture(nullptr);
    leaveCaption(imgStop);
}

void TransportBar::imgFrontMouseDown(const MouseEvent& e) {
    if (!rightButton(e)) imgFront.setPicture(pic("imgFrontDown"));
}
void TransportBar::imgFrontMouseUp(const MouseEvent& e) {
    if (!rightButton(e)) imgFront.setPicture(nullptr);
}
void TransportBar::imgFrontMouseEnter() {
    imgFront.setPicture(pic("imgFrontEnter"));
    showHoverText(imgFront, "播放前一文件");
}
void TransportBar::imgFrontMouseLeave() {
    imgFront.setPicture(nullptr);
    leaveCaption(imgFront);
}

void TransportBar::imgNextMouseDown(const MouseEvent& e) {
    if (!rightButton(e)) imgNext.setPicture(pic("imgNextDown"));
}
void TransportBar::imgNextMouseUp(const MouseEvent& e) {
    if (!rightButton(e)) imgNext.setPicture(nullptr);
}
void TransportBar::imgNextMouseEnter() {
    imgNext.setPicture(pic("imgNextEnter"));
    showHoverText(imgNext, "播放后一文件");
}
void TransportBar::imgNextMouseLeave() {
    imgNext.setPicture(nullptr);
    leaveCaption(imgNext);
}

void TransportBar::imgBackMouseDown(const MouseEvent& e) {
    if (!rightButton(e)) imgBack.setPicture(pic("imgBackDown"));
}
void TransportBar::imgBackMouseUp(const MouseEvent& e) {
    if (!rightButton(e)) imgBack.setPicture(nullptr);
}
void TransportBar::imgBackMouseEnter() {
    imgBack.setPicture(pic("imgBackEnter"));
    showHoverText(imgBack, "后退10帧");
}
void TransportBar::imgBackMouseLeave() {
    imgBack.setPicture(nullptr);
    leaveCaption(imgBack);
}

void TransportBar::imgForwardMouseDown(const MouseEvent& e) {
    if (!rightButton(e)) imgForward.setPicture(pic("imgForwardDown"));
}
void TransportBar::imgForwardMouseUp(const MouseEvent& e) {
    if (!rightButton(e)) imgForward.setPicture(nullptr);
}
void TransportBar::imgForwardMouseEnter() {
    imgForward.setPicture(pic("imgForwardEnter"));
    showHoverText(imgForward, "前进10帧");
}
void TransportBar::imgForwardMouseLeave() {
    imgForward.setPicture(nullptr);
    leaveCaption(imgForward);
}

// Mute: the press turns the button over (its tag 1 means sound on), the
// click applies it to the wave volume. Muting keeps the volume step.

void TransportBar::imgVolumeMouseDown(const MouseEvent& e) {
    if (rightButton(e)) return;
    if (imgVolume.tag == 1) {
        imgVolume.tag = 0;
        imgVolume.setPicture(pic("imgNoneVolume"));
    } else {
        imgVolume.tag = 1;
        imgVolume.setPicture(nullptr);
    }
}

void TransportBar::imgVolumeClick() {
    if (imgVolume.tag == 1) {
        applyVolume();
        imgVolume.hint = "静音";
    } else {
        sys().setWaveVolume(0);
        imgVolume.hint = "声音";
    }
}

void TransportBar::imgVolumeMouseEnter() { showHoverText(imgVolume, imgVolume.tag == 1 ? "静音" : "声音"); }

void TransportBar::imgVolumeMouseLeave() { leaveCaption(imgVolume); }

// The seek thumb: a left press starts a drag that moves the thumb and the
// played part and names the frame; the release seeks there.

void TransportBar::imgTrackBarMouseDown(const MouseEvent& e) {
    if (rightButton(e)) return;
    imgTrackBar.setPicture(pic("imgTrackBarDown"));
    if (e.button != MouseButton::Left) return;
    ThumbDragging = true;
    TrackDragging = true;
    ThumbDownX = e.x;
    if (MovieTotalFrames != 0) lblCaption.setText(SeekCaption(MovieCurrentFrame, MovieTotalFrames));
}

void TransportBar::imgTrackBarMouseMove(const MouseEvent& e) {
    if (!ThumbDragging || PlayState == 0) return;
    const int range = trackRange();
    const int left = std::clamp(imgTrackBar.left() + e.x - ThumbDownX, 0, std::max(range, 0));
    imgTrackBar.setLeft(left);
    imgPlayProgress.setWidth(left);
    // No track to measure on, or no frames: the caption stays as it is.
    if (range <= 0 || MovieTotalFrames == 0) return;
    lblCaption.setText(SeekCaption(FrameForThumbLeft(left, MovieTotalFrames, range), MovieTotalFrames));
}

void TransportBar::imgTrackBarMouseUp(const MouseEvent& e) {
    if (rightButton(e)) return;
    const int frame = FrameForThumbLeft(imgPlayProgress.width(), MovieTotalFrames, trackRange());
    imgTrackBar.setPicture(pic("imgTrackBarBase"));
    seekTo(frame);
    ThumbDragging = false;
    TrackDragging = false;
    restoreCaption();
}

// While a thumb is dragged the captured pointer may leave and re-enter it: the
// pressed look and the drag caption stay until the release.
void TransportBar::imgTrackBarMouseEnter() {
    if (ThumbDragging) return;
    imgTrackBar.setPicture(pic("imgTrackBarEnter"));
    showHoverText(imgTrackBar, "定位");
}

void TransportBar::imgTrackBarMouseLeave() {
    if (ThumbDragging) return;
    imgTrackBar.setPicture(pic("imgTrackBarBase"));
    leaveCaption(imgTrackBar);
}

// A press on the track centres the thumb on the pointer; the release seeks.
// Near either end the thumb stays on the track, so the seek never leaves
// the movie's frames.

void TransportBar::imgPlayProgressMouseDown(const MouseEvent& e) {
    if (rightButton(e) || PlayState == 0) return;
    TrackDragging = true;
    const int left = std::clamp(e.x - imgTrackBar.width() / 2, 0, std::max(trackRange(), 0));
    imgTrackBar.setLeft(left);
    imgPlayProgress.setWidth(left);
}

void TransportBar::imgPlayProgressMouseUp(const MouseEvent& e) {
    if (rightButton(e)) return;
    if (PlayState != 0) {
        seekTo(FrameForThumbLeft(imgPlayProgress.width(), MovieTotalFrames, trackRange()));
        restoreCaption();
    }
    // Cleared in any case: the player must not stay locked out of the thumb
    // when playing stopped between press and release.
    TrackDragging = false;
}

// The volume thumb: a press unmutes at the stored step; dragging sets the
// step 0–13 over the 60-pixel span and the wave volume with it.

void TransportBar::imgVolumeBarMouseDown(const MouseEvent& e) {
    if (rightButton(e)) return;
    if (imgVolume.tag == 0) {
        imgVolume.setPicture(nullptr);
        imgVolume.tag = 1;
        imgVolume.hint = "静音";
        applyVolume();
    }
    imgVolumeBar.setPicture(pic("imgVolumeBarDown"));
    if (e.button != MouseButton::Left) return;
    VolumeDragging = true;
    VolumeDownX = e.x;
    lblCaption.setText(volumeCaption(imgVolumeBar.left()));
}

void TransportBar::imgVolumeBarMouseMove(const MouseEvent& e) {
    if (!VolumeDragging) return;
    const int left =
        std::clamp(imgVolumeBar.left() + e.x - VolumeDownX, kVolumeLeft, kVolumeLeft + kVolumeSpan);
    imgVolumeBar.setLeft(left);
    imgVolumeTrack.setWidth(left - imgVolumeTrack.left());
    Options.VolumeNum = std::clamp((left - kVolumeLeft) * kVolumeSteps / kVolumeSpan, 0, kVolumeSteps);
    lblCaption.setText(volumeCaption(left));
    applyVolume();
}

void TransportBar::imgVolumeBarMouseUp(const MouseEvent& e) {
    if (rightButton(e)) return;
    imgVolumeBar.setPicture(pic("imgVolumeBarBase"));
    VolumeDragging = false;
    restoreCaption();
}

void TransportBar::imgVolumeBarMouseEnter() {
    if (VolumeDragging) return;
    imgVolumeBar.setPicture(pic("imgVolumeBarEnter"));
    showHoverText(imgVolumeBar, "音量调节");
}

void TransportBar::imgVolumeBarMouseLeave() {
    if (VolumeDragging) return;
    imgVolumeBar.setPicture(pic("imgVolumeBarBase"));
    leaveCaption(imgVolumeBar);
}

// Task buttons: page 0 is the play page, page 1 the conversion page.

void TransportBar::taskButtonPicture(int page, const char* state) {
    if (!form_ || form_->activePage() == page) return;
    MyImage& button = page == 0 ? form_->imgTaskPlay : form_->imgTaskFileTypeConvert;
    const std::string name =
        std::string(page == 0 ? "imgTaskPlay" : "imgTaskFileTypeConvert") + (state ? state : "");
    button.setPicture(state ? pic(name.c_str()) : nullptr);
    // The caption under the icon is a child window: it repaints on its own.
    (page == 0 ? form_->Label2 : form_->Label1).invalidate();
}

void TransportBar::taskButtonClick(int page) {
    if (!form_ || form_->activePage() == page) return;
    form_->setActivePage(page);
    form_->pgcMainChange();
    (page == 0 ? form_->Label1 : form_->Label2).invalidate();
}

void TransportBar::imgTaskPlayMouseDown(const MouseEvent& e) {
    if (!rightButton(e)) taskButtonPicture(0, "Down");
}
void TransportBar::imgTaskPlayMouseEnter() { taskButtonPicture(0, "Enter"); }
void TransportBar::imgTaskPlayMouseLeave() { taskButtonPicture(0, nullptr); }
void TransportBar::imgTaskPlayClick() { taskButtonClick(0); }

void TransportBar::imgTaskFileTypeConvertMouseDown(const MouseEvent& e) {
    if (!rightButton(e)) taskButtonPicture(1, "Down");
}
void TransportBar::imgTaskFileTypeConvertMouseEnter() { taskButtonPicture(1, "Enter"); }
void TransportBar::imgTaskFileTypeConvertMouseLeave() { taskButtonPicture(1, nullptr); }
void TransportBar::imgTaskFileTypeConvertClick() { taskButtonClick(1); }

// The playlist drop-down button opens the selector of saved playlists.

void TransportBar::imgPlayListDropDownMouseEnter() {
    if (form_) form_->imgPlayListDropDown.setPicture(pic("imgDropDownEnter"));
}

void TransportBar::imgPlayListDropDownMouseLeave() {
    if (form_) form_->imgPlayListDropDown.setPicture(nullptr);
}

void TransportBar::imgPlayListDropDownClick() {
    if (onPlayListDropDown) onPlayListDropDown();
}

// The caption label links to the property window while a movie is loaded.

void TransportBar::lblCaptionMouseEnter() {
    if (PlayState == 0) return;
    lblCaption.setUnderline(true);
    lblCaption.setCursor(LoadCursor(nullptr, IDC_HAND));
}

void TransportBar::lblCaptionMouseLeave() {
    lblCaption.setUnderline(false);
    lblCaption.setCursor(nullptr);
}

void TransportBar::lblCaptionClick() { command(&TPlayForm::pmiPropertyClick); }

}  // namespace kv
