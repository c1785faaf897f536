// Loads scripts start: movies into clips and levels, variables into clips
// and the text of LoadVars and XML objects. The host fetches; results are
// handed to the movie at the start of the tick after they arrive, so a load
// never completes inside the script that started it.
#include <algorithm>

#include "flash/core/Engine.h"
#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

const TimelineDef& emptyTimeline() {
    static const TimelineDef kEmpty = [] {
        TimelineDef t;
        t.frames.resize(1);
        return t;
    }();
    return kEmpty;
}

}  // namespace

int Engine::startLoad(LoadKind kind, const std::string& url, const std::string& post, DisplayObject* clip) {
    if (!root_ || url.empty() || static_cast<int>(loads_.size()) >= maxPendingLoads) return 0;
    if (kind != LoadKind::Data && !clip) return 0;
    PendingLoad p;
    p.id = nextLoad_++;
    if (nextLoad_ <= 0) nextLoad_ = 1;
    p.kind = kind;
    if (clip) p.clip = clip->shared_from_this();
    p.tick = tick_;
    p.arrived = host == nullptr;  // nobody to fetch it: it fails
    loads_.push_back(p);
    if (host) host->fetch(p.id, url, post);
    return p.id;
}

int Engine::startLevelLoad(int level, const std::string& url, const std::string& post) {
    if (level < 0 || level > 0xFFFF) return 0;
    if (level == 0) return startLoad(LoadKind::Movie, url, post, root_.get());
    if (!root_ || url.empty() || static_cast<int>(loads_.size()) >= maxPendingLoads) return 0;
    PendingLoad p;
    p.id = nextLoad_++;
    p.kind = LoadKind::Movie;
    p.level = level;
    p.tick = tick_;
    p.arrived = host == nullptr;
    loads_.push_back(p);
    if (host) host->fetch(p.id, url, post);
    return p.id;
}

void Engine::finishLoad(int request, bool ok, std::vector<uint8_t> data) {
    for (PendingLoad& p : loads_) {
        if (p.id != request || p.arrived) continue;
        p.arrived = true;
        p.ok = ok && data.size() <= maxLoadBytes;
        if (p.ok) p.data = std::move(data);
        return;
    }
}

void Engine::cancelLoads() {
    std::vector<PendingLoad> old;
    old.swap(loads_);
    for (const PendingLoad& p : old)
        if (!p.arrived && host) host->cancel(p.id);
    levels_.clear();
    loadedMovies_.clear();
}

DisplayObject* Engine::level(int n) const {
    if (n == 0) return root_.get();
    auto it = levels_.find(n);
    return it == levels_.end() ? nullptr : it->second.get();
}

void Engine::deliverLoads() {
    if (loads_.empty() || !root_) return;
    std::vector<PendingLoad> ready;
    auto split = std::stable_partition(loads_.begin(), loads_.end(), [this](const PendingLoad& p) {
        return !(p.arrived && p.tick < tick_);
    });
    std::move(split, loads_.end(), std::back_inserter(ready));
    loads_.erase(split, loads_.end());
    for (PendingLoad& p : ready) {
        if (!root_) return;
        if (p.kind == LoadKind::Data) {
            vm().dataLoaded(p.id, p.ok, p.data);
            continue;
        }
        if (!p.ok) continue;  // a failed load leaves the clip as it was
        if (p.level > 0) {
            auto& slot = levels_[p.level];
            if (!slot) {
                slot = std::make_shared<DisplayObject>();
                slot->name = "_level" + std::to_string(p.level);
                slot->depth = static_cast<uint16_t>(p.level);
            }
            loadMovieInto(slot.get(), p.data);
            if (!slot->movie) levels_.erase(p.level);
            continue;
        }
        std::shared_ptr<DisplayObject> clip = p.clip.lock();
        if (!clip || !onStage(clip.get()) || !clip->hasTimeline()) continue;
        if (p.kind == LoadKind::Movie) {
            loadMovieInto(clip.get(), p.data);
        } else {
            loadVariablesInto(clip.get(), p.data);
        }
    }
    runQueuedActions();
}

void Engine::loadMovieInto(DisplayObject* clip, const std::vector<uint8_t>& data) {
    if (loadedMovies_.size() >= maxLoadedMovies) return;
    auto md = std::make_shared<MovieDef>();
    if (!md->load(data.data(), data.size())) return;
    loadedMovies_.push_back(md);
    std::vector<uint16_t> depths;
    for (auto& kv : clip->children) depths.push_back(kv.first);
    for (uint16_t d : depths) removeChild(clip, d);
    clip->variables.clear();
    clip->proto.reset();
    clip->movie = md.get();
    clip->timeline = &md->root();
    clip->currentFrame = 0;
    clip->playing = true;
    reconcile(clip, md->root().stateAt(0));
    queueFrame(clip, 0);
    queueEvent(clip, kEventLoad);
}

void Engine::unloadClip(DisplayObject* clip) {
    if (!clip || !clip->hasTimeline()) return;
    for (auto it = levels_.begin(); it != levels_.end(); ++it) {
        if (it->second.get() == clip) {
            levels_.erase(it);
            return;
        }
    }
    std::vector<uint16_t> depths;
    for (auto& kv : clip->children) depths.push_back(kv.first);
    for (uint16_t d : depths) removeChild(clip, d);
    clip->timeline = &emptyTimeline();
    clip->currentFrame = 0;
    clip->playing = false;
}

void Engine::loadVariablesInto(DisplayObject* clip, const std::vector<uint8_t>& data) {
    std::string text = loadedText(data);
    vm().decodeVariables(clip, text);
    queueEvent(clip, kEventData);
}

std::string loadedText(const std::vector<uint8_t>& data) {
    size_t n = data.size();
    if (n >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF)
        return std::string(data.begin() + 3, data.end());
    if (n >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
        // UTF-16 with its byte order mark becomes UTF-8.
        bool little = data[0] == 0xFF;
        std::string out;
        for (size_t i = 2; i + 1 < n; i += 2) {
            unsigned u = little ? data[i] | (data[i + 1] << 8) : (data[i] << 8) | data[i + 1];
            if (u >= 0xD800 && u < 0xDC00 && i + 3 < n) {
                unsigned l = little ? data[i + 2] | (data[i + 3] << 8) : (data[i + 2] << 8) | data[i + 3];
                if (l >= 0xDC00 && l < 0xE000) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (l - 0xDC00);
                    i += 2;
                }
            }
            if (u != 0) appendUtf8(out, u);
        }
        return out;
    }
    return std::string(data.begin(), data.end());
}

}  // namespace flash
