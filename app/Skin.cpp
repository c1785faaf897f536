#include "app/Skin.h"

#include <functional>
#include <vector>

#include "ui/Canvas.h"

namespace kv {

namespace {

enum class State { Normal, Hover, Down };

// The lower strip of the transport bar is 46 pixels high.
constexpr int kBarHeight = 46;
const COLORREF kBarTop = RGB(242, 246, 251);
const COLORREF kBarBottom = RGB(188, 204, 228);
const COLORREF kStripTop = RGB(214, 224, 239);
const COLORREF kStripBottom = RGB(194, 208, 230);
const COLORREF kTopTop = RGB(32, 86, 150);
const COLORREF kTopBottom = RGB(12, 48, 96);
const COLORREF kWhite = RGB(255, 255, 255);

COLORREF lerpColor(COLORREF a, COLORREF b, double t) {
    auto l = [t](int x, int y) { return static_cast<BYTE>(x + (y - x) * t + 0.5); };
    return RGB(l(GetRValue(a), GetRValue(b)), l(GetGValue(a), GetGValue(b)), l(GetBValue(a), GetBValue(b)));
}

COLORREF buttonFill(State s) {
    switch (s) {
        case State::Hover:
            return RGB(38, 112, 196);
        case State::Down:
            return RGB(8, 38, 78);
        default:
            return kSkinText;
    }
}

// Fills a picture with the rows y0, y0 + 1... of a vertical gradient that runs
// over a strip of the given height, so a picture placed at y0 matches the strip.
void stripBackground(Canvas& c, COLORREF top, COLORREF bottom, int stripHeight, int y0) {
    for (int y = 0; y < c.height(); ++y)
        c.fillRect(0, y, c.width(), 1, lerpColor(top, bottom, (y0 + y) / double(stripHeight - 1)));
}

// Background of the lower strip for a picture whose top lies at barY.
void barBackground(Canvas& c, int barY) { stripBackground(c, kBarTop, kBarBottom, kBarHeight, barY); }

// The upper strip of the bar (13 pixels) and the top strip (40 pixels).
constexpr int kTrackHeight = 13;
constexpr int kTopHeight = 40;
void trackBackground(Canvas& c, int y0) { stripBackground(c, kStripTop, kStripBottom, kTrackHeight, y0); }
void topBackground(Canvas& c, int y0) { stripBackground(c, kTopTop, kTopBottom, kTopHeight, y0); }

using Glyph = std::function<void(Canvas&, double cx, double cy, double s)>;

void playGlyph(Canvas& c, double cx, double cy, double s) {
    c.fillPolygon({{cx - 0.35 * s, cy - 0.5 * s}, {cx + 0.55 * s, cy}, {cx - 0.35 * s, cy + 0.5 * s}},
                  kWhite);
}
void pauseGlyph(Canvas& c, double cx, double cy, double s) {
    c.fillRect(static_cast<int>(cx - 0.45 * s), static_cast<int>(cy - 0.45 * s),
               static_cast<int>(0.3 * s + 1), static_cast<int>(0.9 * s), kWhite);
    c.fillRect(static_cast<int>(cx + 0.15 * s), static_cast<int>(cy - 0.45 * s),
               static_cast<int>(0.3 * s + 1), static_cast<int>(0.9 * s), kWhite);
}
void stopGlyph(Canvas& c, double cx, double cy, double s) {
    c.fillRoundRect(cx - 0.4 * s, cy - 0.4 * s, 0.8 * s, 0.8 * s, 1, kWhite);
}
void frontGlyph(Canvas& c, double cx, double cy, double s) {
    c.fillRect(static_cast<int>(cx - 0.5 * s), static_cast<int>(cy - 0.45 * s), 2, static_cast<int>(0.9 * s),
               kWhite);
    c.fillPolygon({{cx + 0.45 * s, cy - 0.45 * s}, {cx - 0.3 * s, cy}, {cx + 0.45 * s, cy + 0.45 * s}},
                  kWhite);
}
void nextGlyph(Canvas& c, double cx, double cy, double s) {
    c.fillPolygon({{cx - 0.45 * s, cy - 0.45 * s}, {cx + 0.3 * s, cy}, {cx - 0.45 * s, cy + 0.45 * s}},
                  kWhite);
    c.fillRect(static_cast<int>(cx + 0.35 * s), static_cast<int>(cy - 0.45 * s), 2, static_cast<int>(0.9 * s),
               kWhite);
}
void speakerGlyph(Canvas& c, double cx, double cy, double s, bool muted) {
    c.fillRect(static_cast<int>(cx - 0.55 * s), static_cast<int>(cy - 0.2 * s), static_cast<int>(0.3 * s),
               static_cast<int>(0.4 * s + 1), kWhite);
    c.fillPolygon({{cx - 0.3 * s, cy - 0.2 * s},
                   {cx + 0.1 * s, cy - 0.55 * s},
                   {cx + 0.1 * s, cy + 0.55 * s},
                   {cx - 0.3 * s, cy + 0.2 * s}},
                  kWhite);
    if (muted) {
        COLORREF red = RGB(255, 90, 80);
        double x = cx + 0.35 * s, d = 0.22 * s;
        c.fillPolygon(
            {{x - d - 1, cy - d}, {x - d + 0.5, cy - d - 1}, {x + d + 1, cy + d}, {x + d - 0.5, cy + d + 1}},
            red);
        c.fillPolygon(
            {{x + d + 1, cy - d}, {x + d - 0.5, cy - d - 1}, {x - d - 1, cy + d}, {x - d + 0.5, cy + d + 1}},
            red);
    } else {
        c.fillRect(static_cast<int>(cx + 0.25 * s), static_cast<int>(cy - 0.2 * s), 1,
                   static_cast<int>(0.4 * s + 1), kWhite);
        c.fillRect(static_cast<int>(cx + 0.45 * s), static_cast<int>(cy - 0.35 * s), 1,
                   static_cast<int>(0.7 * s + 1), kWhite);
    }
}

// A round button with a glyph, as it sits on the lower strip.
void roundButton(Canvas& c, double cx, double cy, double r, State s, const Glyph& g) {
    double shift = s == State::Down ? 1.0 : 0.0;
    c.fillCircle(cx, cy + 1, r, RGB(120, 140, 170), 0.5);  // soft shadow
    c.fillCircle(cx, cy + shift, r, buttonFill(s));
    c.fillCircle(cx, cy - r * 0.35 + shift, r * 0.62, kWhite, s == State::Down ? 0.08 : 0.18);  // gloss
    g(c, cx, cy + shift, r * 0.9);
}

HBITMAP buttonPicture(int w, int h, int barY, State s, double r, const Glyph& g) {
    Canvas c(w, h);
    barBackground(c, barY);
    roundButton(c, w / 2.0, h / 2.0 - (s == State::Down ? 0.5 : 0.0), r, s, g);
    return c.toBitmap();
}

// Double arrows of the ten-frame buttons, drawn into a 24 × 10 cell at (x0, 0).
void arrowGlyph(Canvas& c, double x0, bool back, COLORREF col, double offset) {
    const double y = 5;
    for (int i = 0; i < 2; ++i) {
        const double x = x0 + 7 + i * 7 + offset;
        if (back)
            c.fillPolygon({{x + 3, y - 3.5}, {x - 3, y}, {x + 3, y + 3.5}}, col);
        else
            c.fillPolygon({{x - 3, y - 3.5}, {x + 3, y}, {x - 3, y + 3.5}}, col);
    }
}

HBITMAP arrowPicture(bool back, State s) {
    Canvas c(24, 10);
    trackBackground(c, 0);
    c.fillRoundRect(0.5, 0.5, 23, 9, 3, s == State::Hover ? kWhite : RGB(120, 140, 170),
                    s == State::Hover ? 0.8 : 0.45);
    arrowGlyph(c, 0, back, buttonFill(s), s == State::Down ? (back ? -1 : 1) : 0);
    return c.toBitmap();
}

// A slider thumb; paintBack fills the strip behind it.
HBITMAP thumbPicture(int w, int h, State s, const std::function<void(Canvas&)>& paintBack) {
    Canvas c(w, h);
    paintBack(c);
    c.fillRoundRect(0.5, 0.5, w - 1, h - 1, 3, RGB(90, 110, 140));
    c.fillRoundRect(1.5, 1.5, w - 3, h - 3, 2.5, buttonFill(s));
    c.fillRoundRect(2.5, 2, w - 5, (h - 3) / 2.0, 2, kWhite, 0.25);
    return c.toBitmap();
}

HBITMAP statusPicture(int which) {
    Canvas c(32, 15);
    barBackground(c, 15);
    c.fillRoundRect(0.5, 0.5, 31, 14, 4, kSkinText);
    COLORREF lamp = which == 0 ? RGB(110, 230, 120) : which == 1 ? RGB(255, 200, 70) : RGB(200, 210, 225);
    c.fillCircle(8, 7.5, 3, lamp);
    if (which == 0) playGlyph(c, 21, 7.5, 8);
    if (which == 1) pauseGlyph(c, 21, 7.5, 8);
    if (which == 2) stopGlyph(c, 21, 7.5, 8);
    return c.toBitmap();
}

// Icons of the task buttons, centred at (cx, 13): a play disc and two pages
// with an arrow between them.
void playTaskIcon(Canvas& c, double cx) {
    c.fillCircle(cx, 13, 8, kWhite, 0.9);
    c.fillPolygon({{cx + 1, 8.5}, {cx + 7, 13}, {cx + 1, 17.5}}, kSkinText);
}
void convertTaskIcon(Canvas& c, double cx) {
    c.fillRoundRect(cx - 9, 7, 8, 12, 1.5, kWhite, 0.9);
    c.fillRoundRect(cx + 1, 7, 8, 12, 1.5, kWhite, 0.9);
    c.fillPolygon(
        {{cx - 2, 11}, {cx + 3, 11}, {cx + 3, 9}, {cx + 6, 12.5}, {cx + 3, 16}, {cx + 3, 14}, {cx - 2, 14}},
        kSkinText);
}

// A task button hovered or pressed/active: a lit tile behind the icon and, when
// active, a bright bar under the caption. The caption rows (24 to 37) stay
// plain strip, since the caption label paints the strip behind its text.
HBITMAP taskButtonPicture(int page, bool down) {
    Canvas c(64, kTopHeight);
    topBackground(c, 0);
    c.fillRect(0, kTopHeight - 1, 64, 1, RGB(6, 26, 56));
    if (down) {
        c.fillRoundRect(12, 1.5, 40, 22, 5, RGB(6, 30, 64));
        c.fillRoundRect(13, 2.5, 38, 20, 4, RGB(60, 130, 210), 0.45);
        c.fillRect(6, kTopHeight - 2, 52, 2, RGB(120, 190, 255));
    } else {
        c.fillRoundRect(12, 1.5, 40, 22, 5, kWhite, 0.22);
    }
    if (page == 0)
        playTaskIcon(c, 32);
    else
        convertTaskIcon(c, 32);
    return c.toBitmap();
}

// The playlist drop-down arrow in an 18 × 19 cell at (x0, y0).
void dropDownGlyph(Canvas& c, double x0, double y0) {
    c.fillPolygon({{x0 + 5, y0 + 8}, {x0 + 13, y0 + 8}, {x0 + 9, y0 + 12.5}}, kWhite);
}

HBITMAP smallButtonPicture(bool ok, bool hover) {
    Canvas c(16, 16, kWhite);
    c.fillCircle(8, 8, 7.5, hover ? RGB(38, 112, 196) : kSkinText);
    if (ok) {
        c.fillPolygon({{4, 8}, {6.5, 10.5}, {12, 5}, {13, 6}, {6.5, 12.5}, {3, 9}}, kWhite);
    } else {
        c.fillPolygon({{4.5, 5.5}, {5.5, 4.5}, {11.5, 10.5}, {10.5, 11.5}}, kWhite);
        c.fillPolygon({{10.5, 4.5}, {11.5, 5.5}, {5.5, 11.5}, {4.5, 10.5}}, kWhite);
    }
    return c.toBitmap();
}

// The two flat buttons on the strip above the play area: full screen (four
// corners pointing out) and the maximised video area (a frame with a bar).
HBITMAP speedButtonPicture(bool fullScreen, bool hover) {
    Canvas c(22, 22, kSkinStrip);
    if (hover) c.fillRoundRect(0.5, 0.5, 21, 21, 3, kWhite, 0.3);
    if (fullScreen) {
        const double k[4][2] = {{5, 5}, {17, 5}, {5, 17}, {17, 17}};
        for (const auto& p : k) {
            double dx = p[0] < 11 ? 1 : -1, dy = p[1] < 11 ? 1 : -1;
            c.fillPolygon({{p[0], p[1]}, {p[0] + 5 * dx, p[1]}, {p[0], p[1] + 5 * dy}}, kWhite);
        }
    } else {
        c.fillRoundRect(4, 5, 14, 12, 1.5, kWhite);
        c.fillRoundRect(5.5, 8, 11, 7.5, 1, kSkinStrip);
    }
    return c.toBitmap();
}

}  // namespace

Skin& Skin::instance() {
    static Skin s;
    return s;
}

void Skin::build() {
    if (built_) return;
    built_ = true;
    auto put = [this](const char* name, HBITMAP b) { pictures_[name].reset(b); };
    Glyph play = playGlyph, pause = pauseGlyph, stop = stopGlyph, front = frontGlyph, next = nextGlyph;
    put("imgPlayEnter", buttonPicture(28, 28, 9, State::Hover, 12.5, play));
    put("imgPlayDown", buttonPicture(28, 29, 9, State::Down, 12.5, play));
    put("imgPause", buttonPicture(28, 29, 9, State::Normal, 12.5, pause));
    put("imgPauseEnter", buttonPicture(28, 29, 9, State::Hover, 12.5, pause));
    put("imgPauseDown", buttonPicture(28, 29, 9, State::Down, 12.5, pause));
    put("imgStopEnter", buttonPicture(20, 22, 12, State::Hover, 9, stop));
    put("imgStopDown", buttonPicture(20, 22, 12, State::Down, 9, stop));
    put("imgFrontEnter", buttonPicture(20, 20, 13, State::Hover, 9, front));
    put("imgFrontDown", buttonPicture(20, 21, 13, State::Down, 9, front));
    put("imgNextEnter", buttonPicture(20, 21, 12, State::Hover, 9, next));
    put("imgNextDown", buttonPicture(20, 21, 12, State::Down, 9, next));
    put("imgNoneVolume",
        buttonPicture(20, 21, 13, State::Normal, 9,
                      [](Canvas& c, double x, double y, double s) { speakerGlyph(c, x, y, s, true); }));
    put("imgBackEnter", arrowPicture(true, State::Hover));
    put("imgBackDown", arrowPicture(true, State::Down));
    put("imgForwardEnter", arrowPicture(false, State::Hover));
    put("imgForwardDown", arrowPicture(false, State::Down));
    // The seek thumb sits at row 3 of the upper strip, the volume thumb at row 15 of the lower.
    auto seekBack = [](Canvas& c) { trackBackground(c, 3); };
    auto volumeBack = [](Canvas& c) { barBackground(c, 15); };
    put("imgTrackBarBase", thumbPicture(20, 10, State::Normal, seekBack));
    put("imgTrackBarEnter", thumbPicture(20, 10, State::Hover, seekBack));
    put("imgTrackBarDown", thumbPicture(20, 10, State::Down, seekBack));
    put("imgVolumeBarBase", thumbPicture(12, 13, State::Normal, volumeBack));
    put("imgVolumeBarEnter", thumbPicture(12, 13, State::Hover, volumeBack));
    put("imgVolumeBarDown", thumbPicture(12, 13, State::Down, volumeBack));
    put("imgPlayStatus_Play", statusPicture(0));
    put("imgPlayStatus_Pause", statusPicture(1));
    put("imgPlayStatus_Stop", statusPicture(2));
    put("imgTaskPlayEnter", taskButtonPicture(0, false));
    put("imgTaskPlayDown", taskButtonPicture(0, true));
    put("imgTaskFileTypeConvertEnter", taskButtonPicture(1, false));
    put("imgTaskFileTypeConvertDown", taskButtonPicture(1, true));
    {
        Canvas c(18, 19);
        topBackground(c, 10);  // the button sits at row 10 of the top strip
        c.fillRoundRect(0.5, 0.5, 17, 18, 3, kWhite, 0.3);
        dropDownGlyph(c, 0, 0);
        put("imgDropDownEnter", c.toBitmap());
    }
    put("sbFullScreen", speedButtonPicture(true, false));
    put("sbFullScreenEnter", speedButtonPicture(true, true));
    put("sbMaxVideoWindow", speedButtonPicture(false, false));
    put("sbMaxVideoWindowEnter", speedButtonPicture(false, true));
    put("imgbtnCloseBase", smallButtonPicture(false, false));
    put("imgbtnCloseEnter", smallButtonPicture(false, true));
    put("imgbtnOKBase", smallButtonPicture(true, false));
    put("imgbtnOKEnter", smallButtonPicture(true, true));
}

HBITMAP Skin::picture(const std::string& name) {
    build();
    if (name == "imgTaskButtonEnter" || name == "imgTaskButtonDown") {
        const bool convert = activeTaskPage && activeTaskPage() == 1;
        return picture(std::string(convert ? "imgTaskFileTypeConvert" : "imgTaskPlay") +
                       (name == "imgTaskButtonDown" ? "Down" : "Enter"));
    }
    auto it = pictures_.find(name);
    return it == pictures_.end() ? nullptr : it->second.get();
}

HBITMAP Skin::bottomBar(int width) {
    if (width == bottomWidth_ && bottom_) return bottom_.get();
    bottomWidth_ = width;
    Canvas c(width, kBarHeight);
    barBackground(c, 0);
    c.fillRect(0, 0, width, 1, RGB(255, 255, 255));
    roundButton(c, 10 + 14, 9 + 14, 12.5, State::Normal, playGlyph);
    roundButton(c, 43 + 10, 12 + 11, 9, State::Normal, stopGlyph);
    roundButton(c, 79 + 10, 13 + 10, 9, State::Normal, frontGlyph);
    roundButton(c, 104 + 10, 12 + 10.5, 9, State::Normal, nextGlyph);
    roundButton(c, 140 + 10, 13 + 10.5, 9, State::Normal,
                [](Canvas& cv, double x, double y, double s) { speakerGlyph(cv, x, y, s, false); });
    // Empty volume groove from 172 to 244 (thumb span plus its width).
    c.fillRoundRect(172, 19, 72, 5, 2.5, RGB(150, 168, 196));
    c.fillRoundRect(172.5, 19.5, 71, 4, 2, RGB(225, 232, 242));
    // Separators around the caption area.
    c.fillRect(262, 10, 1, 26, RGB(160, 178, 204));
    c.fillRect(263, 10, 1, 26, kWhite);
    bottom_.reset(c.toBitmap());
    return bottom_.get();
}

HBITMAP Skin::topStrip(int width) {
    if (width == topWidth_ && top_) return top_.get();
    topWidth_ = width;
    Canvas c(width, kTopHeight);
    topBackground(c, 0);
    c.fillRect(0, kTopHeight - 1, width, 1, RGB(6, 26, 56));
    // Icons of the two task buttons (64 wide at 4 and 72; labels sit under them).
    playTaskIcon(c, 4 + 32);
    convertTaskIcon(c, 72 + 32);
    // The playlist drop-down button: 18 × 19 at (204, 10) of the right-hand
    // panel, which is 230 wide.
    dropDownGlyph(c, width - 230 + 204, 10);
    top_.reset(c.toBitmap());
    return top_.get();
}

HBITMAP Skin::trackStrip(int width) {
    if (width == trackWidth_ && track_) return track_.get();
    trackWidth_ = width;
    Canvas c(width, kTrackHeight);
    trackBackground(c, 0);
    arrowGlyph(c, 0, true, kSkinText, 0);
    arrowGlyph(c, width - 24, false, kSkinText, 0);
    track_.reset(c.toBitmap());
    return track_.get();
}

// The groove and the played part cover rows 5 to 9 of the upper strip, under
// the thumb's middle.
HBITMAP Skin::trackScroll() {
    build();
    auto& p = pictures_["trackScroll"];
    if (!p) {
        Canvas c(8, kTrackHeight);
        trackBackground(c, 0);
        c.fillRect(0, 5, 8, 5, RGB(150, 168, 196));
        c.fillRect(0, 6, 8, 3, RGB(232, 238, 246));
        p.reset(c.toBitmap());
    }
    return p.get();
}

HBITMAP Skin::playProgress() {
    build();
    auto& p = pictures_["playProgress"];
    if (!p) {
        Canvas c(8, 9);  // placed at row 3
        trackBackground(c, 3);
        c.gradientV(0, 2, 8, 5, RGB(90, 160, 230), RGB(20, 84, 160));
        p.reset(c.toBitmap());
    }
    return p.get();
}

HBITMAP Skin::volumeTrack() {
    build();
    auto& p = pictures_["volumeTrack"];
    if (!p) {
        Canvas c(8, 12);
        for (int y = 0; y < 12; ++y) c.fillRect(0, y, 8, 1, lerpColor(kBarTop, kBarBottom, (15.0 + y) / 45));
        c.fillRect(0, 4, 8, 4, RGB(38, 112, 196));
        p.reset(c.toBitmap());
    }
    return p.get();
}

}  // namespace kv
