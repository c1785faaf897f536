// The transport bar at the bottom of the main window: ten-frame buttons and
// the seek track above; play, stop, previous, next, mute, volume, play status,
// caption label and frame counter below.
#pragma once

#include "ui/Label.h"
#include "ui/MyImage.h"

namespace kv {

class TMainForm;

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
    MyImage imgTrackScroll{&pnlTrack};
    MyImage imgPlayProgress{&pnlTrack};
    MyImage imgTrackBar{&pnlTrack};
    Panel pnlBottom_Bottom{host_};
    Panel Panel10{&pnlBottom_Bottom};  // the buttons' area at the left
    MyImage imgPlay{&Panel10};
    MyImage imgStop{&Panel10};
    MyImage imgFront{&Panel10};
    MyImage imgNext{&Panel10};
    MyImage imgVolume{&Panel10};
    MyImage imgVolumeTrack{&Panel10};
    MyImage imgVolumeBar{&Panel10};
    MyImage imgPlayStatus{&Panel10};
    Panel Panel7{&pnlBottom_Bottom};
    Label lblTime{&Panel7};
    Panel Panel11{&pnlBottom_Bottom};
    Label lblCaption{&Panel11};

    // Track geometry: W − w, the range of the thumb's left edge.
    int trackRange() const;
    // Places the thumb and the played part for a frame.
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
};

}  // namespace kv
