#include "flash/core/Movie.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "flash/core/ByteReader.h"

namespace flash {

namespace {

constexpr size_t kInflateStep = size_t(1) << 20;

enum TagCode : uint16_t {
    kEnd = 0,
    kShowFrame = 1,
    kDefineShape = 2,
    kDefineButton = 7,
    kPlaceObject = 4,
    kRemoveObject = 5,
    kSetBackgroundColor = 9,
    kDoAction = 12,
    kExportAssets = 56,
    kDoInitAction = 59,
    kDefineShape2 = 22,
    kDefineButtonCxform = 23,
    kPlaceObject2 = 26,
    kRemoveObject2 = 28,
    kDefineShape3 = 32,
    kDefineButton2 = 34,
    kDefineSprite = 39,
    kFrameLabel = 43,
    kDefineMorphShape = 46,
    kPlaceObject3 = 70,
    kDefineShape4 = 83,
    kDefineMorphShape2 = 84,
    kDefineVideoStream = 60,
    kVideoFrame = 61,
    kDefineScalingGrid = 78,
};

// Inflates at most `want` bytes (the declared length). A stream that still
// has output when it reaches `limit` (the bound by size and ratio, below
// `want`) is refused: a small file must not take hundreds of megabytes.
bool inflateBody(const uint8_t* src, size_t size, size_t want, size_t limit, std::vector<uint8_t>& out) {
    const size_t end = std::min(want, limit);
    z_stream zs;
    std::memset(&zs, 0, sizeof zs);
    if (inflateInit(&zs) != Z_OK) return false;
    zs.next_in = const_cast<Bytef*>(src);
    zs.avail_in = static_cast<uInt>(std::min<size_t>(size, 0x7FFFFFFF));
    // The bound is reserved once (pages are only touched as they are
    // written) and the size grows in moderate steps: nothing is copied.
    out.clear();
    out.reserve(end);
    bool ended = false;
    int rc = Z_OK;
    while (out.size() < end) {
        size_t old = out.size();
        out.resize(std::min(end, old + kInflateStep));
        zs.next_out = out.data() + old;
        zs.avail_out = static_cast<uInt>(out.size() - old);
        rc = inflate(&zs, Z_NO_FLUSH);
        out.resize(out.size() - zs.avail_out);
        if (rc == Z_STREAM_END) ended = true;
        if (rc != Z_OK) break;  // the end, or truncated or corrupt: keep what was produced
        if (zs.avail_out != 0 && zs.avail_in == 0) break;
    }
    bool refused = false;
    if (!ended && rc == Z_OK && out.size() == limit && limit < want && zs.avail_in > 0) {
        // Stopped by the bound: is there more to come?
        uint8_t probe;
        zs.next_out = &probe;
        zs.avail_out = 1;
        int more = inflate(&zs, Z_NO_FLUSH);
        refused = (more == Z_OK || more == Z_STREAM_END) && zs.avail_out == 0;
    }
    inflateEnd(&zs);
    if (refused) {
        std::vector<uint8_t>().swap(out);
        return false;
    }
    out.shrink_to_fit();
    return !out.empty();
}

}  // namespace

bool readContainer(const uint8_t* data, size_t size, MovieHeader& header, std::vector<uint8_t>& body,
                   size_t maxBody) {
    if (!data || size < 8) return false;
    if ((data[0] != 'F' && data[0] != 'C') || data[1] != 'W' || data[2] != 'S') return false;
    header.signature = static_cast<char>(data[0]);
    header.version = data[3];
    header.fileLength = data[4] | (data[5] << 8) | (data[6] << 16) | (static_cast<uint32_t>(data[7]) << 24);
    size_t want = header.fileLength > 8 ? header.fileLength - 8 : 0;
    if (header.signature == 'F') {
        // Trailing garbage or a wrong length: the smaller of the two ends the file.
        size_t n = std::min(size - 8, want == 0 ? size - 8 : want);
        n = std::min(n, maxBody);
        body.assign(data + 8, data + 8 + n);
    } else {
        // Deflate reaches about 1000:1 at most; real movies stay far below kMaxInflateRatio.
        const size_t packed = size - 8;
        const size_t byRatio = packed > maxBody / kMaxInflateRatio
                                   ? maxBody
                                   : std::max(kMinInflateBound, packed * kMaxInflateRatio);
        const size_t limit = std::min(maxBody, byRatio);
        if (!inflateBody(data + 8, size - 8, want == 0 ? maxBody : want, limit, body)) return false;
    }
    ByteReader r(body.data(), body.size());
    header.stage = r.rect();
    header.frameRate = r.u16() / 256.0;
    header.frameCount = r.u16();
    return !r.overflow();
}

std::string foldCase(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

Placement newPlacement(const PlaceCommand& p) {
    Placement np;
    np.characterId = p.characterId;
    if (p.hasMatrix) np.matrix = p.matrix;
    if (p.hasCxform) np.cxform = p.cxform;
    if (p.hasRatio) np.ratio = p.ratio;
    if (p.hasName) np.name = p.name;
    if (p.hasClipDepth) np.clipDepth = p.clipDepth;
    if (p.hasFilters) np.filters = p.filters;
    if (p.hasBlendMode) np.blendMode = p.blendMode;
    if (p.hasCacheAsBitmap) np.cacheAsBitmap = p.cacheAsBitmap;
    np.serial = p.serial;
    return np;
}

void applyFrame(const FrameDef& frame, PlacementState& state) {
    for (const FrameCommand& cmd : frame.commands) {
        if (cmd.kind == FrameCommand::Remove) {
            state.erase(cmd.depth);
            continue;
        }
        const PlaceCommand& p = cmd.place;
        auto it = state.find(p.depth);
        if (!p.move) {
            // A new instance on a free depth; an occupied depth keeps its instance.
            if (!p.hasCharacter || it != state.end()) continue;
            state[p.depth] = newPlacement(p);
            continue;
        }
        if (it == state.end()) {
            if (!p.hasCharacter) continue;
            // Replacing on an empty depth places the character.
            it = state.emplace(p.depth, Placement()).first;
        }
        Placement& np = it->second;
        if (p.hasCharacter && (np.characterId != p.characterId || np.serial == 0)) {
            np.characterId = p.characterId;
            np.serial = p.serial;
        }
        if (p.hasMatrix) np.matrix = p.matrix;
        if (p.hasCxform) np.cxform = p.cxform;
        if (p.hasRatio) np.ratio = p.ratio;
        if (p.hasName) np.name = p.name;
        if (p.hasClipDepth) np.clipDepth = p.clipDepth;
        if (p.hasFilters) np.filters = p.filters;
        if (p.hasBlendMode) np.blendMode = p.blendMode;
        if (p.hasCacheAsBitmap) np.cacheAsBitmap = p.cacheAsBitmap;
    }
}

int TimelineDef::findLabel(const std::string& label) const {
    auto it = labels.find(foldCase(label));
    return it == labels.end() ? -1 : it->second;
}

void TimelineDef::buildSnapshots() {
    snapshots_.clear();
    PlacementState state;
    for (int f = 0; f < frameCount(); ++f) {
        applyFrame(frames[f], state);
        if (f % kSnapshotInterval == 0) snapshots_.push_back(state);
    }
}

PlacementState TimelineDef::stateAt(int frame) const {
    if (frames.empty()) return {};
    frame = std::max(0, std::min(frame, frameCount() - 1));
    size_t k = static_cast<size_t>(frame / kSnapshotInterval);
    PlacementState state;
    int from = 0;
    if (k < snapshots_.size()) {
        state = snapshots_[k];
        from = static_cast<int>(k) * kSnapshotInterval + 1;
    }
    for (int f = from; f <= frame; ++f) applyFrame(frames[f], state);
    return state;
}

const std::vector<ClipAction>* MovieDef::clipActions(uint32_t serial) const {
    auto it = clipActions_.find(serial);
    return it == clipActions_.end() ? nullptr : &it->second;
}

uint16_t MovieDef::exportedCharacter(const std::string& name) const {
    auto it = exports_.find(foldCase(name));
    return it == exports_.end() ? 0 : it->second;
}

std::string MovieDef::exportName(uint16_t id) const {
    for (const auto& kv : exports_)
        if (kv.second == id) return kv.first;
    return std::string();
}

const Character* MovieDef::character(uint16_t id) const {
    auto it = characters_.find(id);
    return it == characters_.end() ? nullptr : it->second.get();
}

static bool readPlace(ByteReader& r, uint16_t code, int version, PlaceCommand& p,
                      std::vector<ClipAction>* clipActions = nullptr) {
    if (code == kPlaceObject) {
        p.hasCharacter = true;
        p.characterId = r.u16();
        p.depth = r.u16();
        p.hasMatrix = true;
        p.matrix = r.matrix();
        if (r.remaining() > 0) {
            p.hasCxform = true;
            p.cxform = r.cxform(false);
        }
        return !r.overflow();
    }
    uint8_t f1 = r.u8();
    uint8_t f2 = code == kPlaceObject3 ? r.u8() : 0;
    p.depth = r.u16();
    p.move = (f1 & 0x01) != 0;
    p.hasCharacter = (f1 & 0x02) != 0;
    p.hasMatrix = (f1 & 0x04) != 0;
    p.hasCxform = (f1 & 0x08) != 0;
    p.hasRatio = (f1 & 0x10) != 0;
    p.hasName = (f1 & 0x20) != 0;
    p.hasClipDepth = (f1 & 0x40) != 0;
    if (code == kPlaceObject3 && ((f2 & 0x08) || ((f2 & 0x10) && !p.hasCharacter))) r.str();  // class name
    if (p.hasCharacter) p.characterId = r.u16();
    if (p.hasMatrix) p.matrix = r.matrix();
    if (p.hasCxform) p.cxform = r.cxform(true);
    if (p.hasRatio) p.ratio = r.u16();
    if (p.hasName) p.name = r.str();
    if (p.hasClipDepth) p.clipDepth = r.u16();
    if (r.overflow()) return false;
    bool filtersRead = true;
    if (f2 & 0x01) {
        auto list = std::make_shared<FilterList>();
        filtersRead = readFilterList(r, *list);
        p.hasFilters = true;
        p.filters = std::move(list);
    }
    // After an unknown filter the rest of the tag cannot be found.
    if (filtersRead && (f2 & 0x02)) {
        p.hasBlendMode = true;
        p.blendMode = blendModeFromByte(r.u8());
    }
    if (filtersRead && (f2 & 0x04)) {
        p.hasCacheAsBitmap = true;
        p.cacheAsBitmap = r.u8() != 0;
    }
    if ((f1 & 0x80) && clipActions && filtersRead && !r.overflow())
        parseClipActions(r, version, *clipActions);
    return true;
}

void MovieDef::parseTimeline(size_t begin, size_t end, TimelineDef& timeline, bool isSprite, bool whole) {
    ByteReader all(body_.data(), end);
    all.seek(begin);
    FrameDef current;
    std::string pendingLabel;
    while (all.remaining() >= 2) {
        uint16_t head = all.u16();
        uint16_t code = head >> 6;
        size_t len = head & 0x3F;
        if (len == 0x3F) len = all.u32();
        if (all.overflow()) break;
        size_t bodyStart = all.pos();
        ByteReader r = all.sub(len);  // clamped to the timeline's end
        if (code == kEnd) break;
        switch (code) {
            case kShowFrame:
                if (!pendingLabel.empty()) {
                    timeline.labels.emplace(foldCase(pendingLabel), timeline.frameCount());
                    pendingLabel.clear();
                }
                timeline.frames.push_back(std::move(current));
                current = FrameDef();
                break;
            case kPlaceObject:
            case kPlaceObject2:
            case kPlaceObject3: {
                FrameCommand cmd{FrameCommand::Place, {}, 0};
                std::vector<ClipAction> events;
                if (readPlace(r, code, header_.version, cmd.place, &events)) {
                    cmd.place.serial = nextSerial_++;
                    if (!events.empty()) clipActions_[cmd.place.serial] = std::move(events);
                    current.commands.push_back(std::move(cmd));
                }
                break;
            }
            case kRemoveObject:
            case kRemoveObject2: {
                if (code == kRemoveObject) r.u16();
                FrameCommand cmd{FrameCommand::Remove, {}, r.u16()};
                if (!r.overflow()) current.commands.push_back(std::move(cmd));
                break;
            }
            case kDoAction:
                if (len > 0) current.actions.push_back({body_.data() + bodyStart, r.size()});
                break;
            case kDoInitAction:
                if (len > 2) current.initActions.push_back({body_.data() + bodyStart + 2, r.size() - 2});
                break;
            case kExportAssets: {
                uint16_t n = r.u16();
                for (uint16_t i = 0; i < n && !r.overflow(); ++i) {
                    uint16_t id = r.u16();
                    std::string name = r.str();
                    if (r.overflow() || name.empty()) break;
                    exports_.emplace(foldCase(name), id);
                }
                break;
            }
            case kFrameLabel:
                pendingLabel = r.str();
                break;
            case kSetBackgroundColor:
                if (!isSprite && r.remaining() >= 3) {
                    background_ = r.rgb();
                    hasBackground_ = true;
                }
                break;
            case kDefineShape:
            case kDefineShape2:
            case kDefineShape3:
            case kDefineShape4: {
                if (isSprite) break;
                uint16_t id = 0;
                auto shape = parseDefineShape(r, code, id);
                if (shape) resolveBitmaps(*shape);
                if (shape && !characters_.count(id)) {
                    auto c = std::make_unique<Character>();
                    c->kind = Character::Shape;
                    c->shape = std::move(shape);
                    characters_[id] = std::move(c);
                }
                break;
            }
            case kDefineMorphShape:
            case kDefineMorphShape2: {
                if (isSprite) break;
                uint16_t id = 0;
                auto morph = parseDefineMorphShape(r, code, id);
                if (morph) resolveBitmaps(*morph);
                if (morph && !characters_.count(id)) {
                    auto c = std::make_unique<Character>();
                    c->kind = Character::Morph;
                    c->morph = std::move(morph);
                    characters_[id] = std::move(c);
                }
                break;
            }
            case kDefineSprite: {
                if (isSprite || r.remaining() < 4) break;
                uint16_t id = r.u16();
                r.u16();  // declared frame count; the ShowFrame tags decide
                if (characters_.count(id)) break;
                auto c = std::make_unique<Character>();
                c->kind = Character::Sprite;
                c->sprite = std::make_unique<TimelineDef>();
                parseTimeline(bodyStart + 4, bodyStart + r.size(), *c->sprite, true);
                characters_[id] = std::move(c);
                break;
            }
            case kDefineButton:
            case kDefineButton2: {
                if (isSprite) break;
                uint16_t id = 0;
                auto button = std::make_unique<ButtonDef>();
                if (!parseDefineButton(r, code, id, *button) || characters_.count(id)) break;
                auto c = std::make_unique<Character>();
                c->kind = Character::Sprite;
                c->sprite = std::make_unique<TimelineDef>();
                c->sprite->frames.emplace_back();
                c->sprite->buildSnapshots();
                c->button = std::move(button);
                characters_[id] = std::move(c);
                break;
            }
            case kDefineVideoStream: {
                if (isSprite) break;
                uint16_t id = 0;
                auto video = VideoDef::parse(r, id);
                if (!video || characters_.count(id)) break;
                auto c = std::make_unique<Character>();
                c->kind = Character::Video;
                c->video = std::move(video);
                characters_[id] = std::move(c);
                break;
            }
            case kVideoFrame: {
                // Frames may sit in any timeline; they belong to their stream.
                auto it = characters_.find(r.u16());
                if (!r.overflow() && it != characters_.end() && it->second->video)
                    it->second->video->addFrame(r);
                break;
            }
            case kDefineScalingGrid: {
                // Follows the clip it belongs to; grids of other characters mean nothing.
                auto it = characters_.find(r.u16());
                Rect grid = r.rect();
                if (!r.overflow() && it != characters_.end() && it->second->kind == Character::Sprite) {
                    it->second->hasGrid = true;
                    it->second->grid = grid;
                }
                break;
            }
            case kDefineButtonCxform: {
                auto it = characters_.find(r.u16());
                if (!r.overflow() && it != characters_.end() && it->second->button)
                    applyButtonCxform(r, *it->second->button);
                break;
            }
            default:
                if (parseSoundTag(code, r, bodyStart, timeline, current)) break;
                if (!isSprite) parseAssetTag(code, r);  // others are skipped by length
                break;
        }
    }
    // Tags after the last ShowFrame belong to no frame; a timeline without
    // any ShowFrame still has one (empty) frame to stand on.
    if (whole && timeline.frames.empty()) timeline.frames.emplace_back();
    timeline.buildSnapshots();
}

struct MovieDef::Inflater {
    z_stream zs;
    bool ok = false;
    size_t packed = 0;  // compressed bytes given so far
    Inflater() {
        std::memset(&zs, 0, sizeof zs);
        ok = inflateInit(&zs) == Z_OK;
    }
    ~Inflater() {
        if (ok) inflateEnd(&zs);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
};

MovieDef::MovieDef() = default;
MovieDef::~MovieDef() = default;

void MovieDef::reset() {
    characters_.clear();
    bitmaps_.clear();
    fonts_.clear();
    jpegTables_.clear();
    bitmapBudget_ = size_t(1) << 26;
    textEdgeBudget_ = size_t(1) << 21;
    clipActions_.clear();
    sounds_.clear();
    exports_.clear();
    buttonSounds_.clear();
    root_ = TimelineDef();
    hasBackground_ = false;
    background_ = {255, 255, 255, 255};
    inflater_.reset();
    started_ = false;
    complete_ = true;
    fileBytes_ = consumed_ = parsed_ = 0;
}

bool MovieDef::load(const uint8_t* data, size_t size) {
    reset();
    fileBytes_ = size;
    if (!readContainer(data, size, header_, body_)) return false;
    ByteReader r(body_.data(), body_.size());
    r.rect();
    r.u16();
    r.u16();
    if (r.overflow()) return false;
    parseTimeline(r.pos(), body_.size(), root_, false);
    return true;
}

bool MovieDef::feedBody(const uint8_t* data, size_t size) {
    const size_t room = body_.capacity() - body_.size();
    if (header_.signature == 'F') {
        size_t n = std::min(size, room);
        body_.insert(body_.end(), data, data + n);
        return true;
    }
    Inflater& in = *inflater_;
    if (!in.ok) return false;
    in.packed += size;
    // The same bound by ratio as for a whole file, on what has arrived.
    size_t bound = in.packed > body_.capacity() / kMaxInflateRatio
                       ? body_.capacity()
                       : std::max(kMinInflateBound, in.packed * kMaxInflateRatio);
    bound = std::min(bound, body_.capacity());
    in.zs.next_in = const_cast<Bytef*>(data);
    in.zs.avail_in = static_cast<uInt>(size);
    while (in.zs.avail_in > 0 && body_.size() < bound) {
        size_t old = body_.size();
        body_.resize(std::min(bound, old + kInflateStep));  // within the capacity: no move
        in.zs.next_out = body_.data() + old;
        in.zs.avail_out = static_cast<uInt>(body_.size() - old);
        int rc = inflate(&in.zs, Z_NO_FLUSH);
        body_.resize(body_.size() - in.zs.avail_out);
        if (rc == Z_STREAM_END) return true;
        if (rc != Z_OK && rc != Z_BUF_ERROR) return false;
        if (rc == Z_BUF_ERROR) break;
    }
    // Output left over at the ratio bound below the declared length: refused.
    return !(in.zs.avail_in > 0 && body_.size() >= bound && bound < body_.capacity());
}

size_t MovieDef::wholeFramesEnd(size_t from) const {
    size_t pos = from, end = from;
    const size_t size = body_.size();
    while (size - pos >= 2) {
        uint16_t head = static_cast<uint16_t>(body_[pos] | (body_[pos + 1] << 8));
        size_t len = head & 0x3F, start = pos + 2;
        if (len == 0x3F) {
            if (size - start < 4) break;
            len = body_[start] | (body_[start + 1] << 8) | (body_[start + 2] << 16) |
                  (static_cast<size_t>(body_[start + 3]) << 24);
            start += 4;
        }
        if (len > size - start) break;
        pos = start + len;
        uint16_t code = head >> 6;
        if (code == kShowFrame || code == kEnd) end = pos;
        if (code == kEnd) break;
    }
    return end;
}

bool MovieDef::loadPart(const uint8_t* data, size_t size, bool last, size_t maxBody) {
    if (!started_) {
        reset();
        if (!data || size < 8) return !last;  // wait for the file header
        if ((data[0] != 'F' && data[0] != 'C') || data[1] != 'W' || data[2] != 'S') return false;
        header_.signature = static_cast<char>(data[0]);
        header_.version = data[3];
        header_.fileLength =
            data[4] | (data[5] << 8) | (data[6] << 16) | (static_cast<uint32_t>(data[7]) << 24);
        size_t want = header_.fileLength > 8 ? header_.fileLength - 8 : maxBody;
        // Reserved once: the body is never moved while parts arrive.
        body_.clear();
        body_.shrink_to_fit();
        body_.reserve(std::min(want, maxBody));
        if (header_.signature == 'C') inflater_ = std::make_unique<Inflater>();
        started_ = true;
        complete_ = false;
        consumed_ = 8;
    }
    if (complete_) return true;
    fileBytes_ = size;
    bool fed = true;
    if (size > consumed_) {
        fed = feedBody(data + consumed_, size - consumed_);
        consumed_ = size;
    }
    if (parsed_ == 0) {
        ByteReader r(body_.data(), body_.size());
        header_.stage = r.rect();
        header_.frameRate = r.u16() / 256.0;
        header_.frameCount = r.u16();
        if (r.overflow()) {
            if (last || !fed) complete_ = true;
            return !(last || !fed);
        }
        parsed_ = r.pos();
    }
    const bool ends = last || !fed;
    const size_t end = ends ? body_.size() : wholeFramesEnd(parsed_);
    if (end > parsed_ || (ends && root_.frames.empty())) parseTimeline(parsed_, end, root_, false, ends);
    parsed_ = std::max(parsed_, end);
    if (ends) {
        complete_ = true;
        inflater_.reset();
    }
    return fed;
}

}  // namespace flash
