// The transport bar at the bottom of the main window: ten-frame buttons and
// the seek track above; play, stop, previous, next, mute, volume, play status,
// caption label and frame counter below. It also carries the handlers of the
// skinned controls of the top strip (task buttons, playlist drop-down).
#pragma once

#include <functional>
#include <string>

#include "ui/Handles.h"
#include "ui/Label.h"
#include "ui/MyImage.h"

namespace kv {

class TMainForm;
class TPlayForm;

// The caption label: underlined with a hand cursor while it offers the
// property window of the playing movie.
class CaptionLabel : public Label {
public:
    using Label::Label;
    void setUnderline(bool on);
    bool underline() const { return underline_; }
    HCURSOR cursor() const { return cursor_; }

protected:
    void paint(HDC dc, const RECT& client) override;

private:
    bool underline_ = false;
    UniqueFont underlineFont_;
};

// Seek-track arithmetic. The thumb's left edge runs from 0 to range (track
// width minus thumb width).
// Thumb position of a frame: trunc(current × range / total), kept on the track;
// -1 when total ≤ 0 (the thumb is left where it is).
int ThumbLeftForFrame(int current, int total, int range);
// Frame of a thumb position: left × total div range; 0 when range ≤ 0.
int FrameForThumbLeft(int left, int total, int range);
// The seek caption "定位到： 50 帧 / 200 帧 (25%)"; empty when total is 0.
std::string SeekCaption(int frame, int total);

// Volume slider: the thumb's left edge runs over 60 pixels from 172.
constexpr int kVolumeLeft = 172;
constexpr int kVolumeSpan = 60;
constexpr int kVolumeSteps = 13;
// The 32-bit wave volume (both channels) of a step 0–13: step × 5000 per channel.
unsigned long WaveVolumeOfStep(int volumeNum);

// A skinned picture that reports losing the mouse capture, which another
// window can take in the middle of a drag (a dialog, a task switch).
class CaptureImage : public MyImage {
public:
    using MyImage::MyImage;
    std::function<void()> onCaptureLost;

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

class TransportBar {
public:
    explicit TransportBar(Control* host) : host_(host) {}
    // Creates the controls inside the bar panel (59 pixels, bottom-aligned).
    void create();

    Control* host_;
    Panel pnlBottom_Top{host_};
    MyImage imgBack{&pnlBottom_Top};
    MyImage imgForward{&pnlBottom_Top};
    Panel pnlTrack{&pnlBottom_Top};
    CaptureImage imgTrackScroll{&pnlTrack};
    CaptureImage imgPlayProgress{&pnlTrack};
    CaptureImage imgTrackBar{&pnlTrack};
    Panel pnlBottom_Bottom{host_};
    Panel Panel10{&pnlBottom_Bottom};  // the buttons' area at the left
    MyImage imgPlay{&Panel10};
    MyImage imgStop{&Panel10};
    MyImage imgFront{&Panel10};
    MyImage imgNext{&Panel10};
    MyImage imgVolume{&Panel10};
    MyImage imgVolumeTrack{&Panel10};
    CaptureImage imgVolumeBar{&Panel10};
    MyImage imgPlayStatus{&Panel10};
    Panel Panel7{&pnlBottom_Bottom};
    Label lblTime{&Panel7};
    Panel Panel11{&pnlBottom_Bottom};
    CaptionLabel lblCaption{&Panel11};

    // Track geometry: W − w, the range of the thumb's left edge.
    int trackRange() const;
    // Places the thumb and the played part for a frame (nothing when total ≤ 0).
    void UpdatePlayProgress(int current, int total);
    // Places the volume thumb and the filled track for a volume step 0–13.
    void placeVolumeThumb(int volumeNum);
    // Shows the pictures and hint of a play state (0 stopped, 1 playing, 2 paused).
    void showPlayState(int state);
    // Redraws the lower strip's background for its width.
    void refreshBackground();
    // Connects the controls' events to their handlers (the main window calls
    // it once its controls exist).
    void attach(TMainForm& form);

    // Opens the playlist selector's list (the selector belongs to the
    // library menus, which connect it here).
    std::function<void()> onPlayListDropDown;

    // Drag state of the seek thumb and the volume thumb.
    bool ThumbDragging = false;
    int ThumbDownX = 0;
    bool VolumeDragging = false;
    int VolumeDownX = 0;

    // Event handlers.
    void imgPlayMouseDown(const MouseEvent& e);
    void imgPlayMouseUp(const MouseEvent& e);
    void imgPlayMouseEnter();
    void imgPlayMouseLeave();
    void imgStopMouseDown(const MouseEvent& e);
    void imgStopMouseUp(const MouseEvent& e);
    void imgStopMouseEnter();
    void imgStopMouseLeave();
    void imgFrontMouseDown(const MouseEvent& e);
    void imgFrontMouseUp(const MouseEvent& e);
    void imgFrontMouseEnter();
    void imgFrontMouseLeave();
    void imgNextMouseDown(const MouseEvent& e);
    void imgNextMouseUp(const MouseEvent& e);
    void imgNextMouseEnter();
    void imgNextMouseLeave();
    void imgBackMouseDown(const MouseEvent& e);
    void imgBackMouseUp(const MouseEvent& e);
    void imgBackMouseEnter();
    void imgBackMouseLeave();
    void imgForwardMouseDown(const MouseEvent& e);
    void imgForwardMouseUp(const MouseEvent& e);
    void imgForwardMouseEnter();
    void imgForwardMouseLeave();
    void imgVolumeMouseDown(const MouseEvent& e);
    void imgVolumeMouseEnter();
    void imgVolumeMouseLeave();
    void imgVolumeClick();
    void imgTrackBarMouseDown(const MouseEvent& e);
    void imgTrackBarMouseMove(const MouseEvent& e);
    void imgTrackBarMouseUp(const MouseEvent& e);
    void imgTrackBarMouseEnter();
    void imgTrackBarMouseLeave();
    void imgPlayProgressMouseDown(const MouseEvent& e);
    void imgPlayProgressMouseUp(const MouseEvent& e);
    void imgVolumeBarMouseDown(const MouseEvent& e);
    void imgVolumeBarMouseMove(const MouseEvent& e);
    void imgVolumeBarMouseUp(const MouseEvent& e);
    void imgVolumeBarMouseEnter();
    void imgVolumeBarMouseLeave();
    void imgTaskPlayMouseDown(const MouseEvent& e);
    void imgTaskPlayMouseEnter();
    void imgTaskPlayMouseLeave();
    void imgTaskPlayClick();
    void imgTaskFileTypeConvertMouseDown(const MouseEvent& e);
    void imgTaskFileTypeConvertMouseEnter();
    void imgTaskFileTypeConvertMouseLeave();
    void imgTaskFileTypeConvertClick();
    void imgPlayListDropDownMouseEnter();
    void imgPlayListDropDownMouseLeave();
    void imgPlayListDropDownClick();
    void lblCaptionMouseEnter();
    void lblCaptionMouseLeave();
    void lblCaptionClick();

private:
    // The hover text of a control, shown when tool tips are on.
    void showHoverText(const Control& owner, const std::string& text);
    // The caption of the play state, after a hover text or a drag.
    void restoreCaption();
    // Restores the caption when a control is left, unless another control's
    // hover text shows by then.
    void leaveCaption(const Control& left);
    // Sets the wave volume from the stored step (sound on).
    void applyVolume();
    // Task buttons: the one of the active page ignores hover and press.
    // state: "Enter", "Down", or nullptr for the rest look.
    void taskButtonPicture(int page, const char* state);
    void taskButtonClick(int page);
    // A drag whose capture went elsewhere ends without seeking.
    void dragCaptureLost();
    // Runs a play command on a click; the second click of a double click is
    // part of the first and runs nothing.
    void commandClick(MyImage& button, void (TPlayForm::*command)());

    TMainForm* form_ = nullptr;
    const Control* hoverOwner_ = nullptr;  // the control whose hover text shows
    const Control* doubleClicked_ = nullptr;  // pressed the second time of a double click
};

}  // namespace kv
