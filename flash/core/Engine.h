// The running movie: display lists, frame advance, gotos and the queue of
// frame scripts. Rendering and the host interface live elsewhere.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/ContentHost.h"
#include "flash/core/DisplayObject.h"
#include "flash/core/Movie.h"

namespace flash {

class Avm1;

// Text of a loaded file: a UTF-8 byte order mark dropped, UTF-16 with its
// mark turned into UTF-8, anything else as it is.
std::string loadedText(const std::vector<uint8_t>& data);

// Told what makes sound: every frame a timeline enters (by playing, a goto
// or being placed), button transitions and StopSounds.
class SoundListener {
public:
    virtual ~SoundListener() = default;
    virtual void frameEntered(DisplayObject* clip, int frame) = 0;
    virtual void buttonTransition(DisplayObject* button, uint16_t condition) = 0;
    virtual void stopAllSounds() = 0;
};

class Engine {
public:
    Engine();
    ~Engine();

    // Loads a movie and builds frame 1 (its scripts run). False: not a movie.
    bool load(const uint8_t* data, size_t size);
    void unload();
    bool loaded() const { return root_ != nullptr; }

    const MovieDef& movie() const { return movie_; }
    DisplayObject* root() const { return root_.get(); }
    // The movie whose characters a clip's timeline places.
    const MovieDef& movieOf(const DisplayObject* clip) const {
        return clip && clip->movie ? *clip->movie : movie_;
    }

    // ---- Loading (Loading.cpp) ----
    // Files and addresses scripts load come through the host; without one
    // every load fails (on the next tick, as a failed download would).
    ContentHost* host = nullptr;
    enum class LoadKind { Movie, Variables, Data };
    // Starts a load whose result goes to a clip (a movie into it, or its
    // variables) or, for Data, to the script object of `request` (LoadVars,
    // XML). Returns the request number, 0 when refused.
    int startLoad(LoadKind kind, const std::string& url, const std::string& post, DisplayObject* clip);
    // A movie into level `level` (0 replaces the main movie's timeline).
    int startLevelLoad(int level, const std::string& url, const std::string& post = "");
    // Empties a clip (unloadMovie): no children, no frames.
    void unloadClip(DisplayObject* clip);
    // The host's answer to a fetch; the movie sees it on the next tick.
    void finishLoad(int request, bool ok, std::vector<uint8_t> data);
    // Loaded movies loaded into levels above 0 (null when empty).
    DisplayObject* level(int n) const;
    size_t maxLoadBytes = size_t(64) << 20;  // of one loaded file
    size_t maxLoadedMovies = 64;             // movies loaded into clips and levels
    int maxPendingLoads = 256;

    // One tick at the frame rate: every playing timeline advances one frame,
    // then the collected frame scripts run.
    void tick();
    // Moves a timeline to a 0-based frame at once (clamped); the display list
    // becomes what playing from frame 1 would show. The frame's scripts are
    // queued; runQueuedActions runs them.
    void gotoFrame(DisplayObject* clip, int frame);
    void runQueuedActions();
    // Edit text bound to variables shows their values now: a field whose
    // string changed is laid out again. Runs after every batch of scripts.
    void refreshTextFields();

    // Clip of a target path ("", "/a/b", "a/b", "_root.a", "../b", "_parent"...)
    // seen from `base`, or null.
    DisplayObject* resolveTarget(DisplayObject* base, const std::string& path) const;
    std::string targetPath(const DisplayObject* clip) const;  // "/a/b"
    // Case folding of names and variables for files before version 7.
    std::string nameKey(const std::string& name) const;

    bool loop = true;  // the main timeline starts again after its last frame
    uint64_t tickCount() const { return tick_; }

    // Script limits.
    long actionBudget = 200000;  // instructions per script block
    long tickBudget = 2000000;   // instructions of all scripts of one tick
    int maxBlocksPerTick = 4096;
    int maxNesting = 32;  // sprites within sprites
    // Bound edit text: characters laid out per field, glyph edges per field
    // and of all fields together.
    size_t maxFieldChars = 16384;
    size_t maxFieldEdges = size_t(1) << 17;
    size_t maxTextEdges = size_t(1) << 21;
    size_t maxObjects = 100000;  // live display objects
    bool lastScriptHitBudget = false;
    // What scripts see of the host: the screen (System.capabilities) and
    // whether they hid the pointer (Mouse.hide).
    int screenWidth = 1024, screenHeight = 768;
    bool pointerHidden = false;
    // Stage.scaleMode "noScale": the movie shows at its own size and Stage
    // width/height are those of the view (pixels) the host shows it in.
    bool noScale = false;
    int viewWidth = 0, viewHeight = 0;
    // The host's view took a new size; with noScale the Stage listeners'
    // onResize runs. True when scripts ran.
    bool viewResized(int width, int height);

    // Pointer input in stage twips. Buttons under the pointer change state
    // and run their actions; clip mouse events run too. Scripts run before
    // these return, which tell whether anything changed (a button's state,
    // a script ran) and the picture needs drawing again.
    bool mouseMove(double x, double y);
    bool mouseDown();
    bool mouseUp();
    bool mouseIsDown() const { return mouseDown_; }
    // The cursor the content asks for: a hand over an active button.
    enum class Cursor { Arrow, Hand };
    Cursor cursor() const;
    // Topmost button whose hit area contains the stage point, or null.
    DisplayObject* buttonAt(double x, double y) const;

    // Keyboard input: a key's virtual-key code (Key.LEFT 37...) and the
    // character it types (0 none). Key listeners and clip handlers run.
    bool keyDown(int code, int ascii);
    bool keyUp(int code);
    // Whether a clip's member (enabled, useHandCursor...) was set false:
    // disabled buttons and clips take no pointer, and show no hand.
    bool memberOff(const DisplayObject* o, const char* name) const;
    bool keyIsDown(int code) const { return code >= 0 && code < 256 && keys_[code]; }
    int lastKeyCode = 0, lastKeyAscii = 0;

    // ---- Text fields and the keyboard focus (TextFields.cpp) ----
    // A new empty text field at a script depth of `parent` (bounds in
    // twips of the parent), or null.
    DisplayObject* createTextField(DisplayObject* parent, const std::string& name, int depth,
                                   const Rect& bounds);
    static bool isTextField(const DisplayObject* o);
    // The state of a text field (edit text of the timeline gets its own
    // now), or null for other objects.
    TextFieldState* textField(DisplayObject* o);
    const FontData* fontNamed(const std::string& name) const;
    // The object keyboard input goes to (a text field or a clip), or null.
    DisplayObject* focus() const;
    // Moves the focus (null: none); false when the object cannot take it.
    // The old and new holders' onKillFocus/onSetFocus handlers run.
    bool setFocus(DisplayObject* o);

    // ---- The display list as scripts change it (ScriptDisplay.cpp) ----
    // Depths of scripts are list depths - 16384; clips they make are
    // `dynamic`: the timeline neither moves nor removes them.
    static const int kDepthOffset = 16384;
    // A new instance of a character (0: an empty clip) at a script depth,
    // replacing what is there; null when it cannot be made.
    DisplayObject* attachClip(DisplayObject* parent, uint16_t characterId, const std::string& name,
                              int depth);
    DisplayObject* duplicateClip(DisplayObject* source, const std::string& name, int depth);
    bool removeClip(DisplayObject* clip);  // only clips made by scripts or moved to script depths
    void swapDepth(DisplayObject* clip, int depth);
    Matrix worldMatrix(const DisplayObject* o) const;
    // Bounds of what an object shows, in the space `m` maps its own into.
    Rect boundsOf(const DisplayObject* o, const Matrix& m) const;
    // Whether a stage point (twips) hits the object's bounds or its shapes.
    bool hitTest(const DisplayObject* o, double x, double y, bool shape) const;
    // Topmost sprite whose shapes contain a stage point, skipping `except`.
    DisplayObject* clipAt(double x, double y, const DisplayObject* except) const;
    double mouseX() const { return mouseX_; }
    double mouseY() const { return mouseY_; }
    // Dragging: the clip follows the pointer, inside `limits` (parent
    // coordinates, twips) when constrained.
    void startDrag(DisplayObject* clip, bool lockCenter, const Rect* limits);
    void stopDrag();
    DisplayObject* draggedClip() const;

    // Script objects: every one is registered so that unloading can break
    // reference cycles; null when the limit is reached.
    std::shared_ptr<ScriptObject> newObject();
    size_t maxScriptObjects = 100000;
    std::shared_ptr<ScriptObject> globals;  // _global, with the built-ins
    // The script runtime of the loaded movie (made on first use).
    Avm1& vm();

    // Date's wall clock (milliseconds since 1970 UTC) and time zone (minutes
    // local time is ahead of UTC at a moment); null: the system's.
    std::function<double()> wallClock;
    std::function<double(double utcMs)> localOffset;

    std::function<void(const std::string& command, const std::string& args)> onFSCommand;
    std::function<void(const std::string& url, const std::string& target)> onGetURL;
    std::function<void(const std::string& text)> onTrace;
    SoundListener* sound = nullptr;
    // trace() output kept for the host's debug log: the latest lines, at
    // most traceLogLines of them.
    void trace(const std::string& text);
    const std::vector<std::string>& traceLog() const { return traceLog_; }
    void clearTraceLog() { traceLog_.clear(); }
    size_t traceLogLines = 1000;

private:
    friend class Avm1;
    struct PendingLoad {
        int id = 0;
        LoadKind kind = LoadKind::Data;
        std::weak_ptr<DisplayObject> clip;
        int level = -1;  // a movie into a level instead of a clip
        uint64_t tick = 0;
        bool arrived = false, ok = false;
        std::vector<uint8_t> data;
    };
    // Hands the loads that arrived to the movie (each tick, first).
    void deliverLoads();
    void loadMovieInto(DisplayObject* clip, const std::vector<uint8_t>& data);
    void loadVariablesInto(DisplayObject* clip, const std::vector<uint8_t>& data);
    void cancelLoads();
    std::vector<PendingLoad> loads_;
    int nextLoad_ = 1;
    std::vector<std::shared_ptr<MovieDef>> loadedMovies_;
    std::map<int, std::shared_ptr<DisplayObject>> levels_;
    void advance(DisplayObject* clip);
    void applyNextFrame(DisplayObject* clip, int frame);
    void reconcile(DisplayObject* clip, const PlacementState& state);
    std::shared_ptr<DisplayObject> create(DisplayObject* parent, uint16_t depth, const Placement& p);
    void removeChild(DisplayObject* parent, uint16_t depth);
    void queueFrame(DisplayObject* clip, int frame);
    void countObjects(const DisplayObject* o, int sign);
    void queueEvent(DisplayObject* clip, uint32_t event);
    void queueEventTree(DisplayObject* clip, uint32_t event);
    void showButtonState(DisplayObject* button);
    void buttonTransition(DisplayObject* button, uint8_t phase, uint16_t condition);
    DisplayObject* liveButton(const std::weak_ptr<DisplayObject>& w) const;
    void releaseScriptObjects();
    void bindTextField(DisplayObject* field);
    bool onStage(const DisplayObject* o) const;

    // A script to run: an action block on a clip, or a handler method
    // (onEnterFrame...) of the clip or of the Key/Mouse listeners.
    struct Queued {
        std::weak_ptr<DisplayObject> clip;
        ActionBlock block;
        const char* handler = nullptr;
        int listeners = 0;  // 1 Key, 2 Mouse listeners instead of the clip
        // Unload scripts run although the clip was removed, and keep it alive.
        std::shared_ptr<DisplayObject> offStage = nullptr;
    };
    // A clip leaving the stage: its onUnload and onClipEvent(unload), and
    // those of the clips inside it.
    void queueUnload(DisplayObject* clip, int depth);

    void queueHandler(DisplayObject* clip, const char* handler);
    void queueListeners(int which, const char* handler);
    void dragTo(double x, double y);
    DisplayObject* clipButtonAt(DisplayObject* clip, double x, double y) const;
    void clipPointer(uint8_t what);
    // Text fields: keys typed into the focused one, the one a click goes
    // to, and a field's variable followed and written.
    bool fieldKey(int code, int ascii);
    void clickFields();
    void refreshField(DisplayObject* o, size_t& held);
    std::weak_ptr<DisplayObject> focus_;

    MovieDef movie_;
    std::shared_ptr<DisplayObject> root_;
    std::vector<Queued> queue_;
    uint64_t tick_ = 0;
    size_t objects_ = 0;
    bool runningQueue_ = false;
    double mouseX_ = -1e9, mouseY_ = -1e9;
    bool mouseDown_ = false;
    bool pointerChanged_ = false;
    std::weak_ptr<DisplayObject> hover_;    // button under the pointer
    std::weak_ptr<DisplayObject> pressed_;  // button pressed and tracking the pointer
    std::vector<std::weak_ptr<ScriptObject>> scriptObjects_;
    std::unique_ptr<Avm1> vm_;
    std::vector<const uint8_t*> initActionsRun_;
    std::vector<std::string> traceLog_;  // DoInitAction blocks already run
    bool keys_[256] = {};
    struct Drag {
        std::weak_ptr<DisplayObject> clip;
        double dx = 0, dy = 0;  // clip position minus pointer, parent twips
        bool constrained = false;
        Rect limits;
    } drag_;
    std::weak_ptr<DisplayObject> clipHover_, clipPressed_;  // clips with onPress... handlers
    size_t nextCompaction_ = 0;  // registry size that triggers dropping freed entries
    size_t nextCollection_ = 0;  // registry size that triggers a garbage collection
    size_t liveAfterCollection_ = 0;
    size_t refusals_ = 0;
    std::vector<std::weak_ptr<DisplayObject>> textFields_;  // bound edit text placed so far
    size_t nextFieldCompaction_ = 0;
};

}  // namespace flash
