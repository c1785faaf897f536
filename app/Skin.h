// The skin: every picture of the transport bar and the top strip, drawn in
// code in one palette (dark blue on light steel), kept for the program's life.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>

#include "ui/Handles.h"

namespace kv {

// Colours of the skin (Windows BGR values as the forms use them).
constexpr COLORREF kSkinText = 7946766;        // dark blue of labels and list colours
constexpr COLORREF kSkinStrip = 11758134;      // strip above the play area
constexpr COLORREF kSkinStripLine = 15830905;  // line under it
constexpr COLORREF kSkinSplitter = 8089969;

class Skin {
public:
    static Skin& instance();
    // A store picture by its component name (imgPlayEnter, imgTrackBarBase...);
    // nullptr for imgNone and unknown names. Each task button has its own
    // hovered and pressed pictures (imgTaskPlayEnter, imgTaskFileTypeConvertDown)
    // that carry its icon; the shared names imgTaskButtonEnter and
    // imgTaskButtonDown give those of the active page's button.
    HBITMAP picture(const std::string& name);
    // The page whose task button is active (0 play, 1 conversion).
    std::function<int()> activeTaskPage;
    // Background pictures of the bars, drawn for a given size.
    HBITMAP bottomBar(int width);   // lower strip of the transport bar, normal look of every button
    HBITMAP topStrip(int width);    // task-button strip, playlist drop-down at its right end
    HBITMAP trackStrip(int width);  // upper strip of the transport bar with the ten-frame arrows
    HBITMAP trackScroll();          // seek track (stretched)
    HBITMAP playProgress();         // played part (stretched)
    HBITMAP volumeTrack();          // filled volume track

private:
    Skin() = default;
    void build();
    std::map<std::string, UniqueBitmap> pictures_;
    UniqueBitmap bottom_, top_, track_;
    int bottomWidth_ = -1, topWidth_ = -1, trackWidth_ = -1;
    bool built_ = false;
};

}  // namespace kv
