// The loaded movie as read from the file: header, dictionary of characters
// and the timeline definitions (main timeline and sprites). Immutable after
// loading; the running state lives in DisplayObject.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "flash/core/Bitmap.h"
#include "flash/core/Button.h"
#include "flash/core/Filter.h"
#include "flash/core/Shape.h"
#include "flash/core/Text.h"
#include "flash/core/Types.h"
#include "flash/core/sound/SoundFormat.h"
#include "flash/core/video/VideoStream.h"

namespace flash {

struct MovieHeader {
    char signature = 0;  // 'F' or 'C'
    uint8_t version = 0;
    uint32_t fileLength = 0;
    Rect stage;            // twips
    double frameRate = 0;  // as stored (8.8)
    uint16_t frameCount = 0;
};

// Bounds of an inflated CWS body besides the declared length and `maxBody`:
// kMaxInflateRatio times the compressed size, but at least kMinInflateBound.
constexpr size_t kMaxInflateRatio = 128;
constexpr size_t kMinInflateBound = size_t(16) << 20;

// Decodes the container: checks the signature, inflates CWS bodies (as far
// as the stream goes, up to the declared length) and reads the header. A
// stream that goes on past `maxBody` or the ratio bound is refused (false).
// `body` receives everything after the 8-byte file header.
bool readContainer(const uint8_t* data, size_t size, MovieHeader& header, std::vector<uint8_t>& body,
                   size_t maxBody = 256u << 20);

// One PlaceObject/2/3 (only the fields present are set).
struct PlaceCommand {
    uint16_t depth = 0;
    bool move = false;
    bool hasCharacter = false, hasMatrix = false, hasCxform = false, hasRatio = false, hasName = false,
         hasClipDepth = false;
    bool hasFilters = false, hasBlendMode = false, hasCacheAsBitmap = false;
    uint16_t characterId = 0;
    Matrix matrix;
    ColorTransform cxform;
    uint16_t ratio = 0;
    std::string name;
    uint16_t clipDepth = 0;
    std::shared_ptr<const FilterList> filters;  // null or empty: none
    BlendMode blendMode = BlendMode::Normal;
    bool cacheAsBitmap = false;
    uint32_t serial = 0;  // identity of this tag in the movie (placement identity)
};

struct FrameCommand {
    enum Kind : uint8_t { Place, Remove } kind;
    PlaceCommand place;  // Place
    uint16_t depth = 0;  // Remove
};

struct ActionBlock {
    const uint8_t* data = nullptr;  // into the movie's body, ends with the 0 action or the tag
    size_t size = 0;
};

struct FrameDef {
    std::vector<FrameCommand> commands;
    std::vector<ActionBlock> actions;
    std::vector<ActionBlock> initActions;  // DoInitAction: run once, before the frame's actions
    std::vector<StartSoundCmd> sounds;     // event sounds started by this frame
};

// What a timeline's display list holds at a frame, without running state.
struct Placement {
    uint16_t characterId = 0;
    Matrix matrix;
    ColorTransform cxform;
    uint16_t ratio = 0;
    std::string name;
    uint16_t clipDepth = 0;
    std::shared_ptr<const FilterList> filters;
    BlendMode blendMode = BlendMode::Normal;
    bool cacheAsBitmap = false;
    uint32_t serial = 0;
};
using PlacementState = std::map<uint16_t, Placement>;

// The placement a PlaceObject command gives a new instance.
Placement newPlacement(const PlaceCommand& p);

void applyFrame(const FrameDef& frame, PlacementState& state);

class TimelineDef {
public:
    std::vector<FrameDef> frames;
    std::map<std::string, int> labels;  // folded label -> 0-based frame
    std::shared_ptr<StreamDef> stream;  // the stream sound, or null

    int frameCount() const { return static_cast<int>(frames.size()); }
    // Frame of a label (case-insensitive), or -1.
    int findLabel(const std::string& label) const;
    // The display list of frame `frame` as playing from frame 0 would build it.
    PlacementState stateAt(int frame) const;
    void buildSnapshots();

    static const int kSnapshotInterval = 32;

private:
    std::vector<PlacementState> snapshots_;  // state after frame k * interval
};

std::string foldCase(const std::string& s);

struct Character {
    enum Kind { Shape, Morph, Sprite, Video } kind;
    std::unique_ptr<ShapeData> shape;
    std::unique_ptr<MorphData> morph;
    std::unique_ptr<TimelineDef> sprite;
    // Buttons are one-frame sprites whose children are the current state's
    // characters; `button` holds the states and actions.
    std::unique_ptr<ButtonDef> button;
    // Edit text bound to a variable (a Shape showing its initial text).
    std::unique_ptr<EditTextDef> editText;
    std::unique_ptr<VideoDef> video;
    bool text = false;  // static or edit text (a Shape): never stretched by a scale-9 grid
    // Sprites and buttons with a scale-9 grid (DefineScalingGrid), in clip twips.
    bool hasGrid = false;
    Rect grid;
};

class MovieDef {
public:
    MovieDef();
    ~MovieDef();
    MovieDef(const MovieDef&) = delete;
    MovieDef& operator=(const MovieDef&) = delete;

    // Parses a whole file; false when it is not a movie. Bad tags are skipped.
    bool load(const uint8_t* data, size_t size);
    // A file arriving in parts: called with all the bytes received so far
    // (earlier bytes unchanged), `last` once the file is whole. The frames
    // whose ShowFrame has arrived become available; the characters and
    // action blocks read stay where they are while more arrives. False
    // when the bytes are no movie (frames read before stay usable).
    bool loadPart(const uint8_t* data, size_t size, bool last, size_t maxBody = size_t(64) << 20);
    bool complete() const { return complete_; }
    // Bytes of the file received so far (all of them once complete), and
    // the bytes expected: the size the host announced, else the header's.
    size_t bytesLoaded() const { return fileBytes_; }
    size_t bytesTotal() const {
        if (complete_) return fileBytes_;
        return std::max(fileBytes_, expectedBytes_ ? expectedBytes_ : size_t(header_.fileLength));
    }
    void expectBytes(size_t n) { expectedBytes_ = n; }

    const MovieHeader& header() const { return header_; }
    const TimelineDef& root() const { return root_; }
    const Character* character(uint16_t id) const;
    const BitmapData* bitmap(uint16_t id) const;  // null when there is none
    const FontData* font(uint16_t id) const;
    // The font of the lowest id with this name (any case), or null.
    const FontData* fontNamed(const std::string& name) const;
    bool hasBackground() const { return hasBackground_; }
    Rgba background() const { return background_; }
    int version() const { return header_.version; }
    // Character exported under a name (ExportAssets, any case), or 0; the
    // (folded) name a character is exported under, or "".
    uint16_t exportedCharacter(const std::string& name) const;
    std::string exportName(uint16_t id) const;
    // Clip actions of the placing tag with this serial, or null.
    const std::vector<ClipAction>* clipActions(uint32_t serial) const;
    // Sounds (MovieSounds.cpp): DefineSound by id, by exported name, and
    // the sounds of a button's transitions; null when there are none.
    const SoundDef* sound(uint16_t id) const;
    const SoundDef* exportedSound(const std::string& name) const;
    const ButtonSounds* buttonSounds(uint16_t buttonId) const;

private:
    // `whole`: the timeline ends at `end` (an empty one gets a frame).
    void parseTimeline(size_t begin, size_t end, TimelineDef& timeline, bool isSprite, bool whole = true);
    void reset();
    // The body offset after the last whole ShowFrame or End tag from `from`.
    size_t wholeFramesEnd(size_t from) const;
    bool feedBody(const uint8_t* data, size_t size);
    // Bitmap, font and text tags (MovieAssets.cpp).
    void parseAssetTag(uint16_t code, ByteReader& r);
    void addTextCharacter(uint16_t id, std::unique_ptr<ShapeData> shape, std::unique_ptr<EditTextDef> def);
    void resolveBitmaps(ShapeData& shape) const;  // points bitmap fills at their bitmaps
    void resolveBitmaps(MorphData& morph) const;
    // Sound tags; false when the tag is none.
    bool parseSoundTag(uint16_t code, ByteReader& r, size_t bodyStart, TimelineDef& timeline,
                       FrameDef& frame);

    MovieHeader header_;
    std::vector<uint8_t> body_;
    std::unordered_map<uint16_t, std::unique_ptr<Character>> characters_;
    TimelineDef root_;
    Rgba background_{255, 255, 255, 255};
    bool hasBackground_ = false;
    uint32_t nextSerial_ = 1;
    // Bitmaps and fonts are no display characters: they are drawn through
    // bitmap fills and text characters.
    std::unordered_map<uint16_t, std::unique_ptr<BitmapData>> bitmaps_;
    std::unordered_map<uint16_t, std::unique_ptr<FontData>> fonts_;
    std::vector<uint8_t> jpegTables_;
    size_t bitmapBudget_ = 0;    // pixels the lossless bitmaps may still take
    size_t textEdgeBudget_ = 0;  // glyph edges the text characters may still take
    std::unordered_map<uint32_t, std::vector<ClipAction>> clipActions_;
    std::unordered_map<uint16_t, SoundDef> sounds_;
    std::map<std::string, uint16_t> exports_;  // folded name -> character
    std::unordered_map<uint16_t, ButtonSounds> buttonSounds_;
    // Loading in parts: the body never grows past the capacity reserved at
    // the start, so pointers into it stay valid.
    struct Inflater;
    std::unique_ptr<Inflater> inflater_;
    bool started_ = false, complete_ = true;
    size_t fileBytes_ = 0;  // file bytes received
    size_t expectedBytes_ = 0;
    size_t consumed_ = 0;  // file bytes turned into body bytes
    size_t parsed_ = 0;    // body bytes read as tags (0: header not yet)
};

}  // namespace flash
