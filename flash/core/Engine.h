// The running movie: display lists, frame advance, gotos and the queue of
// frame scripts. Rendering and the host interface live elsewhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/DisplayObject.h"
#include "flash/core/Movie.h"

namespace flash {

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

    // Script objects: every one is registered so that unloading can break
    // reference cycles; null when the limit is reached.
    std::shared_ptr<ScriptObject> newObject();
    size_t maxScriptObjects = 100000;
    std::shared_ptr<ScriptObject> globals;  // _global, with the built-ins

    std::function<void(const std::string& command, const std::string& args)> onFSCommand;
    std::function<void(const std::string& url, const std::string& target)> onGetURL;
    std::function<void(const std::string& text)> onTrace;
    SoundListener* sound = nullptr;

private:
    friend class Avm1;
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

    struct Queued {
        std::weak_ptr<DisplayObject> clip;
        ActionBlock block;
    };

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
    size_t nextCompaction_ = 0;  // registry size that triggers dropping freed entries
    size_t refusals_ = 0;
    std::vector<std::weak_ptr<DisplayObject>> textFields_;  // bound edit text placed so far
    size_t nextFieldCompaction_ = 0;
};

}  // namespace flash
