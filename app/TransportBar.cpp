#include "app/TransportBar.h"

#include <algorithm>

#include "app/AppState.h"
#include "app/Skin.h"

namespace kv {

void TransportBar::create() {
    Skin& skin = Skin::instance();
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);

    pnlBottom_Top.create(0, 0, 100, 13);
    pnlBottom_Top.setAlign(Align::Top);
    pnlBottom_Top.setBackgroundPicture(skin.trackStrip(std::max(pnlBottom_Top.width(), 1)), false);
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
    for (Label* l : {&lblTime, static_cast<Label*>(&lblCaption)}) {
        l->setFont("宋体", -12);
        l->setTextColor(kSkinText);
    }
    refreshBackground();
    pnlBottom_Bottom.onResize = [this] { refreshBackground(); };
    // The ten-frame arrows at rest are part of the upper strip's picture.
    pnlBottom_Top.onResize = [this] {
        pnlBottom_Top.setBackgroundPicture(Skin::instance().trackStrip(std::max(pnlBottom_Top.width(), 1)),
                                           false);
        for (Control* c : {static_cast<Control*>(&imgBack), static_cast<Control*>(&imgForward)})
            c->invalidate();
    };
}

void TransportBar::refreshBackground() {
    pnlBottom_Bottom.setBackgroundPicture(Skin::instance().bottomBar(std::max(pnlBottom_Bottom.width(), 1)),
                                          false);
    pnlBottom_Bottom.invalidate();
    for (Control* c :
         {static_cast<Control*>(&Panel10), static_cast<Control*>(&Panel7), static_cast<Control*>(&Panel11)})
        InvalidateRect(c->handle(), nullptr, FALSE);
}

int TransportBar::trackRange() const { return pnlTrack.width() - imgTrackBar.width(); }

int ThumbLeftForFrame(int current, int total, int range) {
    if (total <= 0) return -1;
    range = std::max(range, 0);
    // The product in integers, the division in floating point, truncated.
    const long long product = static_cast<long long>(current) * range;
    const int left = static_cast<int>(static_cast<double>(product) / total);
    // A frame outside the movie (a seek past its end) still keeps the thumb on the track.
    return std::clamp(left, 0, range);
}

int FrameForThumbLeft(int left, int total, int range) {
    if (range <= 0) return 0;
    return static_cast<int>(static_cast<long long>(left) * total / range);
}

std::string SeekCaption(int frame, int total) {
    if (total == 0) return std::string();
    const long long percent = static_cast<long long>(frame) * 100 / total;
    return "定位到： " + std::to_string(frame) + " 帧 / " + std::to_string(total) + " 帧 (" +
           std::to_string(percent) + "%)";
}

unsigned long WaveVolumeOfStep(int volumeNum) {
    const unsigned long v = static_cast<unsigned long>(std::clamp(volumeNum, 0, kVolumeSteps)) * 5000;
    return v * 65536 + v;
}

void TransportBar::UpdatePlayProgress(int current, int total) {
    const int left = ThumbLeftForFrame(current, total, trackRange());
    if (left < 0) return;
    imgTrackBar.setLeft(left);
    imgPlayProgress.setWidth(left);
}

void TransportBar::placeVolumeThumb(int volumeNum) {
    const int left = kVolumeLeft + std::clamp(volumeNum, 0, kVolumeSteps) * kVolumeSpan / kVolumeSteps;
    imgVolumeBar.setLeft(left);
    imgVolumeTrack.setWidth(left - kVolumeLeft);
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

void CaptionLabel::setUnderline(bool on) {
    if (on == underline_) return;
    underline_ = on;
    invalidate();
}

// Draws the text as the plain label does, in the underlined face.
void CaptionLabel::paint(HDC dc, const RECT& client) {
    if (!underline_) {
        Label::paint(dc, client);
        return;
    }
    if (!underlineFont_) {
        LOGFONTA lf{};
        lf.lfHeight = -12;
        lf.lfWeight = FW_NORMAL;
        lf.lfUnderline = TRUE;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynA(lf.lfFaceName, "宋体", LF_FACESIZE);
        underlineFont_.reset(CreateFontIndirectA(&lf));
    }
    SelectGuard sel(dc, underlineFont_.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColor());
    RECT r = client;
    DrawTextA(dc, text().c_str(), static_cast<int>(text().size()), &r,
              DT_NOPREFIX | DT_SINGLELINE | DT_END_ELLIPSIS | DT_LEFT | DT_VCENTER);
}

}  // namespace kv
