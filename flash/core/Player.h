// The public face of the Flash engine, as the control window drives it.
//
//   flash::Player p;
//   p.load(bytes, size);           // frame 1 is built and its scripts have run
//   p.tick();                      // call at frameRate() times per second
//   p.render(pixels, w, h, w);     // premultiplied 0xAARRGGBB
//
// Frame numbers are 0-based everywhere in this interface, as the control's
// CurrentFrame and GotoFrame are: currentFrame() is what CurrentFrame
// returns, gotoFrame(n) is GotoFrame(n), totalFrames() is TotalFrames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/DirtyRows.h"
#include "flash/core/Engine.h"
#include "flash/core/ImageDecoder.h"
#include "flash/core/RenderBands.h"
#include "flash/core/Renderer.h"
#include "flash/core/Types.h"
#include "flash/core/sound/SoundPlayer.h"

namespace flash {

enum class ScaleMode { ShowAll = 0, NoBorder = 1 };

// The control's Quality values: 0 low, 1 high, 2 automatic low, 3 automatic high.
Quality qualityFromControl(int value);

class Player {
public:
    Player();
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Loads a movie from its bytes (copied); false leaves the player empty.
    // With autoStart false the movie rests on frame 1 until play().
    bool load(const uint8_t* data, size_t size, bool autoStart = true);
    void unload();
    bool isLoaded() const;

    // Header facts of the loaded movie.
    int version() const;
    double frameRate() const;  // frames per second; 12 when the file says 0
    Rect stageRect() const;    // twips
    int stageWidth() const;    // pixels
    int stageHeight() const;
    Rgba backgroundColor() const;

    // Timeline of the main movie.
    int totalFrames() const;
    int currentFrame() const;  // 0-based
    bool isPlaying() const;
    void play();
    void stop();
    void gotoFrame(int frame);                          // 0-based, clamped; the frame's scripts run
    int frameForLabel(const std::string& label) const;  // -1 if none
    void setLoop(bool loop);  // on by default: the movie starts again after its last frame
    void tick();              // advance one frame (every playing timeline)

    // Events. FSCommand receives the command without its "FSCommand:" prefix.
    void setFSCommandHandler(std::function<void(const std::string& command, const std::string& args)> h);
    void setGetURLHandler(std::function<void(const std::string& url, const std::string& target)> h);
    void setImageDecoder(ImageDecoder* decoder) { decoder_ = decoder; }
    ImageDecoder* imageDecoder() const { return decoder_; }
    // Off-screen layers the last render drew anew (cached ones reused do not count).
    int layersDrawn() const { return renderer_.layersDrawn(); }
    // Threads that draw a frame together (in bands); by default as many as
    // the machine has cores, at most four. The picture is the same for any count.
    void setRenderThreads(int n) { bands_.setThreads(n); }
    int renderThreads() const { return bands_.threads(); }

    // View: scale mode and zoom as the control offers them.
    void setQuality(Quality q) { quality_ = q; }
    Quality quality() const { return quality_; }
    void setScaleMode(ScaleMode m) { scaleMode_ = m; }
    ScaleMode scaleMode() const { return scaleMode_; }
    // 50 magnifies the current view two times, 200 shrinks it two times,
    // 0 returns to the whole stage (the control's Zoom).
    void zoom(int percent);
    double zoomFactor() const { return zoom_; }
    // The host's view took a new size (pixels): Stage.onResize runs for
    // movies that do not scale. True when scripts ran.
    bool setViewSize(int width, int height);
    // Stage twips -> pixels of a width x height buffer for the current view
    // (one pixel per stage pixel, centred, when the movie set noScale).
    Matrix viewMatrix(int width, int height) const;
    static Matrix viewMatrix(const Rect& stage, int width, int height, ScaleMode mode, double zoom);

    // Renders the current frame into a premultiplied ARGB buffer (stride in
    // pixels). False when the interrupt check stopped it part-way: the
    // buffer then holds no whole picture.
    bool render(uint32_t* pixels, int width, int height, int stride);
    bool render(uint32_t* pixels, int width, int height, int stride, const Matrix& view, Quality quality);
    // Asked every few instances while a frame is drawn; true abandons it.
    void setRenderInterrupt(std::function<bool()> check) { renderer_.setInterruptCheck(std::move(check)); }

    // Draws the current frame into a buffer that holds the picture this
    // player last drew there through renderChanged: only rectangles whose
    // picture changed are drawn again, and they are returned (the whole
    // buffer after a change of buffer, size, view, quality or background, or
    // when much changed; none when the picture stayed the same).
    // `complete` (when given) is false when the interrupt check stopped the
    // drawing: the buffer then holds no whole picture.
    std::vector<DirtyRect> renderChanged(uint32_t* pixels, int width, int height, int stride,
                                         bool* complete = nullptr);
    // The rectangles renderChanged would draw now into the same buffer.
    std::vector<DirtyRect> changedRects(int width, int height);
    // The buffer renderChanged drew into no longer holds its picture.
    void forgetPicture() { picture_.valid = false; }

    // Pointer input in pixels of the buffer last rendered (through the view
    // it was rendered with; before any render, one pixel per stage pixel).
    // Buttons react and their scripts run before these return; true when
    // the picture may have changed.
    bool mouseMove(double x, double y);
    bool mouseDown(double x, double y);
    bool mouseUp(double x, double y);
    // The same in stage twips, for hosts that map the pointer themselves.
    bool mouseAtStage(double x, double y, bool down);
    // What the pointer should look like: a hand over an active button.
    bool wantsHandCursor() const { return isLoaded() && engine_.cursor() == Engine::Cursor::Hand; }

    Engine& engine() { return engine_; }

    // Sound: MP3 goes through the host's codecs. The host pulls the mix
    // (44.1 kHz stereo) through sound().render().
    void setAudioCodecs(AudioCodecs* codecs) { sound_.setCodecs(codecs); }
    SoundPlayer& sound() { return sound_; }
    // While the main timeline's stream sound plays, its frames follow the
    // sound: the frames to advance now that mixer position `heard` is
    // being heard (0 to wait), or -1 when no stream leads.
    int streamFramesDue(uint64_t heard) const;

private:
    void soundUpdate();

    SoundPlayer sound_;  // before the engine: it outlives the engine's calls
    Engine engine_;
    Renderer renderer_;
    BandRenderer bands_;
    // What renderChanged last drew, and into what.
    struct Picture {
        bool valid = false;
        const uint32_t* pixels = nullptr;
        int width = 0, height = 0, stride = 0;
        Matrix view;
        Quality quality = Quality::High;
        Rgba background;
        FrameItems items;
    } picture_;
    // The items of the current frame, when they can be tracked; and whether
    // the last picture may be updated row by row to show them.
    bool currentItems(uint32_t* pixels, int width, int height, int stride, const Matrix& view,
                      FrameItems& out);
    std::vector<DirtyRect> rectsToDraw(bool tracked, const FrameItems& now, int width, int height) const;
    ImageDecoder* decoder_ = nullptr;
    Quality quality_ = Quality::High;
    ScaleMode scaleMode_ = ScaleMode::ShowAll;
    double zoom_ = 1.0;
    Matrix lastView_;
    bool hasView_ = false;
    bool toStage(double x, double y, double& sx, double& sy) const;
};

}  // namespace flash
