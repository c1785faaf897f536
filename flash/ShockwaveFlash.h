// TShockwaveFlash: the Flash control window. A child window hosting the
// portable engine (flash/core): it loads movies by path, advances frames on a
// timer at the movie's own rate and paints the current frame through a DIB.
// Automatic start is off and looping is on.
//
// Frame numbers are 0-based, as the engine's: CurrentFrame() of a movie
// showing its first frame is 0, GotoFrame(0) shows the first frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/Control.h"

namespace flash {
class Player;
}

namespace kv {

class TShockwaveFlash : public Control {
public:
    explicit TShockwaveFlash(Control* parent);
    ~TShockwaveFlash() override;
    bool create(int x, int y, int w, int h);

    // Setting a path loads that movie (resting on its first frame); a name
    // that names no readable movie ("1.swf") leaves the control empty.
    // Reading gives the last value set.
    void setMovie(const std::string& path);
    const std::string& movie() const { return movie_; }
    bool loaded() const;
    // Loads a movie held in memory (the projector's appended movie); movie()
    // then gives `name`. False leaves the control empty.
    bool loadFromMemory(const uint8_t* data, size_t size, const std::string& name = std::string());

    void Play();
    void Stop();
    void StopPlay();
    void GotoFrame(int frame);
    int CurrentFrame() const;
    bool IsPlaying() const;
    int TotalFrames() const;
    // True while the pointer rests on an active button of the movie (the
    // control then shows the hand cursor).
    bool wantsHandCursor() const;

    // 1 high, 3 automatic high (the middle choice), 0 low; 2 automatic low.
    void setQuality(int q);
    int quality() const { return quality_; }
    // 0 show all, 1 no border.
    void setScaleMode(int m);
    int scaleMode() const { return scaleMode_; }
    // 50 magnifies two times, 200 shrinks two times, 0 back to the whole stage.
    void Zoom(int percent);

    // Raised when the movie issues an FSCommand (command, arguments).
    std::function<void(const std::string& command, const std::string& args)> OnFSCommand;
    // Raised when the movie shows a page in a browser window (getURL,
    // LoadVars.send...): an address, or the full path of a file beside the
    // movie; the window's name; form data or XML text to post (empty: none).
    std::function<void(const std::string& url, const std::string& window, const std::string& post)> OnGetURL;
    // The movie's trace() lines so far (the latest ones), oldest first, as
    // the movie wrote them (UTF-8 from version 6). Each line also goes to
    // the debugger output (OutputDebugString) as it is written.
    const std::vector<std::string>& traceLog() const;
    // Whether the movie hid the pointer (Mouse.hide) over the control.
    bool pointerHidden() const;

    // A frame that takes longer than this to draw gives way to messages
    // waiting for an answer and is drawn anew later (40 ms unless set).
    void setYieldAfter(double ms);

    // A bitmap of the control's size with its current picture (caller owns it).
    HBITMAP paintToBitmap();
    // Advances one frame now, as the frame timer does (tests use it).
    void tick();

    flash::Player& player();

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void onHandleDestroyed() override;

private:
    bool loadBytes(const uint8_t* data, size_t size);
    void updateTimer();
    void frameTimer();
    // Opens the sound output while something may sound, closes it otherwise.
    void updateSound();
    // Frames the movie is behind its stream sound, or -1 when none leads.
    int streamFramesDue();
    // Runs an engine call, then hands the FSCommands and pages it raised to
    // OnFSCommand and OnGetURL (never from inside the engine, so a handler
    // may reload or stop the movie).
    template <typename F>
    void runEngine(F&& f);
    void deliverCommands();
    void redraw();
    // Draws the current frame if the picture is out of date. mayYield lets a
    // long drawing give way to waiting messages (painting); a caller that
    // needs the picture now (paintToBitmap) waits for the whole frame.
    void renderIfStale(bool mayYield = false);
    // Asks for painting of the rectangles the last render drew that lie outside
    // `painted` (the area being painted now, or null for none).
    void paintDrawnRects(const RECT* painted);
    // Pointer input for the engine (buttons): the position in stage twips.
    void pointerInput(int x, int y, bool down);
    // A key pressed (with the character it types, 0 none) or released.
    void keyInput(int code, unsigned character, bool down);
    // The character a WM_KEYDOWN types: the WM_CHAR TranslateMessage put
    // in the queue for it, taken out so it is not seen twice (0 none).
    unsigned takeTypedCharacter();
    void showCursor();

    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::string movie_;
    int quality_ = 1;
    int scaleMode_ = 0;
};

}  // namespace kv
