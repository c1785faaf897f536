// A live instance on a display list. Sprites and the main movie carry a
// timeline (playhead, children by depth, script variables).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/Filter.h"
#include "flash/core/Movie.h"
#include "flash/core/Types.h"
#include "flash/core/avm1/Value.h"

namespace flash {

struct LayerCache;  // a filtered or cached picture of the instance (RenderLayers.cpp)
class VideoPlayback;
class TextFieldState;
class Drawing;

class DisplayObject : public std::enable_shared_from_this<DisplayObject> {
public:
    // Placement on the parent's display list.
    uint16_t depth = 0;
    uint16_t characterId = 0;
    const Character* character = nullptr;  // null for the main movie
    // The movie its character ids name: null for the main movie, else a
    // movie loaded into this clip or one it is inside.
    const MovieDef* movie = nullptr;
    Matrix matrix;
    ColorTransform cxform;
    uint16_t ratio = 0;
    std::string name;
    uint16_t clipDepth = 0;          // > 0: a mask for depths up to clipDepth
    uint32_t serial = 0;             // the placing tag, to recognise it after a goto
    bool scriptTransformed = false;  // a script moved it; the timeline no longer does
    bool visible = true;
    // Flash 8 effects: filters (null or empty: none), blend mode, bitmap caching.
    std::shared_ptr<const FilterList> filters;
    BlendMode blendMode = BlendMode::Normal;
    bool cacheAsBitmap = false;
    // Video instances: the decoder state, made when first drawn.
    mutable std::shared_ptr<VideoPlayback> video;
    // Instances with filters or cacheAsBitmap keep their last layer and
    // redraw it only when something in them changes.
    mutable std::shared_ptr<LayerCache> layerCache;

    DisplayObject* parent = nullptr;
    uint64_t createdTick = 0;
    int nesting = 0;

    // Timeline state (main movie and sprites).
    const TimelineDef* timeline = nullptr;
    int currentFrame = 0;  // 0-based
    bool playing = true;
    std::map<uint16_t, std::shared_ptr<DisplayObject>> children;
    std::map<std::string, Value> variables;
    // Prototype of a clip whose symbol has a registered class (else
    // MovieClip.prototype), and clips made by scripts (attachMovie...),
    // which the timeline leaves alone.
    std::shared_ptr<ScriptObject> proto;
    bool dynamic = false;
    std::string dropTarget;  // _droptarget: where a drag of it last ended

    // onClipEvent handlers of the placing tag (sprites), or null.
    const std::vector<ClipAction>* clipActions = nullptr;
    // Buttons: pointer state (ButtonPhase) and the state whose characters
    // are the children now (-1 none yet).
    uint8_t buttonPhase = 0;
    int8_t shownState = -1;

    // Edit text bound to a variable: the string it shows (as the variable
    // held it, cut to what can show) and, when that is not the initial text,
    // its laid-out picture with the number of edges it holds.
    std::string shownText;
    std::unique_ptr<ShapeData> textShape;
    size_t textEdges = 0;
    // Text fields as scripts and the keyboard work with them (TextField.h):
    // fields made by createTextField, and edit text once a script or the
    // keyboard has used it; null otherwise.
    std::shared_ptr<TextFieldState> field;
    // What scripts drew into a clip (Drawing.h), under its children; null none.
    std::shared_ptr<Drawing> drawing;
    // setMask: the clip whose shapes mask this one (null none), and on the
    // mask, how many clips it masks (it then is not drawn itself).
    std::weak_ptr<DisplayObject> maskedBy;
    int masking = 0;

    // The shape the instance shows: its text field's, its laid-out edit
    // text or its character's; null for objects without one.
    const ShapeData* shownShape() const;

    bool isButton() const { return character && character->button; }

    bool hasTimeline() const { return timeline != nullptr; }
    int frameCount() const { return timeline ? timeline->frameCount() : 1; }
};

}  // namespace flash
