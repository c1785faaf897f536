#include "app/TransportBar.h"

#include "app/Skin.h"

#include <algorithm>

namespace kv {

void TransportBar::create() {
    Skin& skin = Skin::instance();
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);

    pnlBottom_Top.create(0, 0, 100, 13);
    pnlBottom_Top.setAlign(Align::Top);
    pnlBottom_Top.setBackgroundPicture(skin.trackScroll());
    imgBack.create(0, 1, 24, 10);
    imgBack.setAlign(Align::Left);
    imgBack.hint = "后退10帧";
    imgForward.create(0, 1, 24, 10);
    imgForward.setAlign(Align::Right);
    imgForward.hint = "前进10帧";
    pnlTrack.create(24, 0, 50, 13);
    pnlTrack.setAlign(Align::Client);
    pnlTrack.setTransparent(true);
    imgTrackScroll.create(0, 0, 50, 13);
    imgTrackScroll.setAlign(Align::Client);
    imgTrackScroll.setStretch(true);
    imgTrackScroll.setPicture(skin.trackScroll());
    imgPlayProgress.create(0, 3, 0, 9);
    imgPlayProgress.setStretch(true);
    imgPlayProgress.setPicture(skin.playProgress());
    imgTrackBar.create(0, 3, 20, 10);
    imgTrackBar.setPicture(skin.picture("imgTrackBarBase"));
    for (MyImage* m : {&imgTrackScroll, &imgPlayProgress, &imgTrackBar}) {
        m->hint = "定位";
        m->setCursor(hand);
    }
    imgBack.setPicture(nullptr);

    pnlBottom_Bottom.create(0, 13, 100, 46);
    pnlBottom_Bottom.setAlign(Align::Client);
    Panel10.create(0, 0, 310, 46);
    Panel10.setAlign(Align::Left);
    Panel10.setTransparent(true);
    imgPlay.create(10, 9, 28, 29);
    imgPlay.hint = "播放";
    imgStop.create(43, 12, 20, 22);
    imgStop.hint = "停止";
    imgFront.create(79, 13, 20, 20);
    imgFront.hint = "前一文件";
    imgNext.create(104, 12, 20, 21);
    imgNext.hint = "后一文件";
    imgVolume.create(140, 13, 20, 21);
    imgVolume.hint = "静音";
    imgVolume.tag = 1;
    imgVolumeTrack.create(172, 15, 0, 12);
    imgVolumeTrack.setStretch(true);
    imgVolumeTrack.setPicture(skin.volumeTrack());
    imgVolumeBar.create(172, 15, 12, 13);
    imgVolumeBar.hint = "音量";
    imgVolumeBar.setPicture(skin.picture("imgVolumeBarBase"));
    imgPlayStatus.create(272, 15, 32, 15);
    imgPlayStatus.setPicture(skin.picture("imgPlayStatus_Stop"));

    Panel7.create(0, 0, 101, 46);
    Panel7.setAlign(Align::Right);
    Panel7.setTransparent(true);
    lblTime.create(0, 0, 101, 46);
    lblTime.setAlign(Align::Client);
    lblTime.setTransparent(true);
    lblTime.setTextAlign(TextAlign::Right);
    lblTime.setVerticalCenter(true);
    Panel11.create(0, 0, 100, 46);
    Panel11.setAlign(Align::Client);
    Panel11.setTransparent(true);
    lblCaption.create(4, 0, 100, 46);
    lblCaption.setAlign(Align::Client);
    lblCaption.setTransparent(true);
    lblCaption.setVerticalCenter(true);
    for (Label* l : {&lblTime, &lblCaption}) {
        l->setFont("宋体", -12);
        l->setTextColor(kSkinText);
    }
    refreshBackground();
    pnlBottom_Bottom.onResize = [this] { refreshBackground(); };
}

void TransportBar::refreshBackground() {
    pnlBottom_Bottom.setBackgroundPicture(Skin::instance().bottomBar(std::max(pnlBottom_Bottom.width(), 1)), false);
    pnlBottom_Bottom.invalidate();
    for (Control* c : {static_cast<Control*>(&Panel10), static_cast<Control*>(&Panel7),
                       static_cast<Control*>(&Panel11)})
        InvalidateRect(c->handle(), nullptr, FALSE);
}

int TransportBar::trackRange() const { return pnlTrack.width() - imgTrackBar.width(); }

void TransportBar::UpdatePlayProgress(int current, int total) {
    int range = trackRange();
    int left = 0;
    if (total > 0) left = static_cast<int>(static_cast<double>(current * range) / total);
    imgTrackBar.setLeft(left);
    imgPlayProgress.setWidth(left);
}

void TransportBar::placeVolumeThumb(int volumeNum) {
    int left = 172 + volumeNum * 60 / 13;
    imgVolumeBar.setLeft(left);
    imgVolumeTrack.setWidth(left - 172);
}

void TransportBar::showPlayState(int state) {
    Skin& skin = Skin::instance();
    imgPlay.setPicture(state == 1 ? skin.picture("imgPause") : nullptr);
    imgPlay.hint = state == 1 ? "暂停" : "播放";
    imgPlayStatus.setPicture(skin.picture(state == 1   ? "imgPlayStatus_Play"
                                          : state == 2 ? "imgPlayStatus_Pause"
                                                       : "imgPlayStatus_Stop"));
    imgPlayStatus.setVisible(true);
}

void TransportBar::attach(TMainForm&) {}

}  // namespace kv
