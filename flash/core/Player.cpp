#include "flash/core/Player.h"

#include <algorithm>
#include <cmath>

namespace flash {

Quality qualityFromControl(int value) {
    switch (value) {
        case 0:
        case 2:
            return Quality::Low;
        case 3:
            return Quality::Medium;
        default:
            return Quality::High;
    }
}

Player::Player() {
    engine_.sound = &sound_;
    bands_.setThreads(BandRenderer::machineThreads());
}
Player::~Player() { sound_.attach(nullptr); }

bool Player::load(const uint8_t* data, size_t size, bool autoStart) {
    zoom_ = 1.0;
    hasView_ = false;
    sound_.attach(&engine_.movie());
    if (!engine_.load(data, size)) {
        sound_.attach(nullptr);
        return false;
    }
    if (!autoStart) engine_.root()->playing = false;
    soundUpdate();
    return true;
}

void Player::unload() {
    sound_.attach(nullptr);
    engine_.unload();
}

void Player::soundUpdate() {
    if (isLoaded()) sound_.update(engine_.root());
}

int Player::streamFramesDue(uint64_t heard) const {
    if (!isLoaded() || !engine_.root()->playing) return -1;
    int f = sound_.streamFrameAt(engine_.root(), heard);
    if (f < 0) return -1;
    return std::max(0, f - engine_.root()->currentFrame);
}

bool Player::isLoaded() const { return engine_.loaded(); }

int Player::version() const { return isLoaded() ? engine_.movie().version() : 0; }

double Player::frameRate() const {
    if (!isLoaded()) return 0;
    double r = engine_.movie().header().frameRate;
    return r > 0 ? r : 12.0;
}

Rect Player::stageRect() const { return isLoaded() ? engine_.movie().header().stage : Rect(); }

int Player::stageWidth() const { return stageRect().width() / 20; }

int Player::stageHeight() const { return stageRect().height() / 20; }

Rgba Player::backgroundColor() const {
    return isLoaded() ? engine_.movie().background() : Rgba{255, 255, 255, 255};
}

int Player::totalFrames() const { return isLoaded() ? engine_.root()->frameCount() : 0; }

int Player::currentFrame() const { return isLoaded() ? engine_.root()->currentFrame : 0; }

bool Player::isPlaying() const { return isLoaded() && engine_.root()->playing; }

void Player::play() {
    if (isLoaded()) engine_.root()->playing = true;
    soundUpdate();
}

void Player::stop() {
    if (isLoaded()) engine_.root()->playing = false;
    soundUpdate();
}

void Player::gotoFrame(int frame) {
    if (!isLoaded()) return;
    engine_.gotoFrame(engine_.root(), frame);
    engine_.runQueuedActions();
    soundUpdate();
}

int Player::frameForLabel(const std::string& label) const {
    return isLoaded() ? engine_.movie().root().findLabel(label) : -1;
}

void Player::setLoop(bool loop) { engine_.loop = loop; }

void Player::tick() {
    engine_.tick();
    soundUpdate();
}

void Player::setFSCommandHandler(std::function<void(const std::string&, const std::string&)> h) {
    engine_.onFSCommand = std::move(h);
}

void Player::setGetURLHandler(std::function<void(const std::string&, const std::string&)> h) {
    engine_.onGetURL = std::move(h);
}

void Player::zoom(int percent) {
    if (percent == 0) {
        zoom_ = 1.0;
    } else if (percent > 0) {
        // Zoom(50) shows half the width of the current view.
        zoom_ = std::max(1.0 / 64, std::min(64.0, zoom_ * 100.0 / percent));
    }
}

Matrix Player::viewMatrix(const Rect& stage, int width, int height, ScaleMode mode, double zoom) {
    double sw = std::max(1, stage.width()) / 20.0, sh = std::max(1, stage.height()) / 20.0;
    double sx = width / sw, sy = height / sh;
    double s = (mode == ScaleMode::ShowAll ? std::min(sx, sy) : std::max(sx, sy)) * zoom;
    double cx = (stage.xMin + stage.xMax) / 2.0, cy = (stage.yMin + stage.yMax) / 2.0;
    // Stage centre to buffer centre, twips to pixels.
    return Matrix::translate(width / 2.0, height / 2.0) * Matrix::scale(s / 20.0, s / 20.0) *
           Matrix::translate(-cx, -cy);
}

Matrix Player::viewMatrix(int width, int height) const {
    if (isLoaded() && engine_.noScale) {
        Rect st = stageRect();
        double cx = (st.xMin + st.xMax) / 2.0, cy = (st.yMin + st.yMax) / 2.0;
        return Matrix::translate(width / 2.0, height / 2.0) * Matrix::scale(zoom_ / 20.0, zoom_ / 20.0) *
               Matrix::translate(-cx, -cy);
    }
    return viewMatrix(stageRect(), width, height, scaleMode_, zoom_);
}

bool Player::setViewSize(int width, int height) { return isLoaded() && engine_.viewResized(width, height); }

bool Player::render(uint32_t* pixels, int width, int height, int stride) {
    return render(pixels, width, height, stride, viewMatrix(width, height), quality_);
}

bool Player::render(uint32_t* pixels, int width, int height, int stride, const Matrix& view,
                    Quality quality) {
    if (!pixels || width <= 0 || height <= 0) return true;
    lastView_ = view;
    hasView_ = true;
    if (!isLoaded()) {
        for (int y = 0; y < height; ++y)
            std::fill(pixels + static_cast<size_t>(y) * stride,
                      pixels + static_cast<size_t>(y) * stride + width, 0xFFFFFFFFu);
        return true;
    }
    return bands_.render(renderer_, *engine_.root(), backgroundColor(), pixels, width, height, stride, view,
                         quality, decoder_);
}

namespace {

bool sameMatrix(const Matrix& a, const Matrix& b) {
    return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d && a.tx == b.tx && a.ty == b.ty;
}

}  // namespace

bool Player::currentItems(uint32_t* pixels, int width, int height, int stride, const Matrix& view,
                          FrameItems& out) {
    if (!isLoaded() || !out.take(*engine_.root(), view, width, height)) return false;
    const Picture& p = picture_;
    const Rgba bg = backgroundColor();
    return p.valid && p.pixels == pixels && p.width == width && p.height == height && p.stride == stride &&
           sameMatrix(p.view, view) && p.quality == quality_ && p.background.r == bg.r &&
           p.background.g == bg.g && p.background.b == bg.b;
}

// The rectangles to draw: those that changed, or the whole buffer when
// nothing is known of it or when drawing the parts costs about as much.
std::vector<DirtyRect> Player::rectsToDraw(bool tracked, const FrameItems& now, int width, int height) const {
    const DirtyRect all{0, 0, width, height};
    if (!tracked) return {all};
    std::vector<DirtyRect> rects = FrameItems::changedRects(picture_.items, now);
    int64_t area = 0;
    for (const DirtyRect& r : rects) area += r.area();
    if (2 * area > all.area()) return {all};
    return rects;
}

std::vector<DirtyRect> Player::changedRects(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    FrameItems now;
    const bool tracked = currentItems(const_cast<uint32_t*>(picture_.pixels), width, height, picture_.stride,
                                      viewMatrix(width, height), now);
    return rectsToDraw(tracked, now, width, height);
}

std::vector<DirtyRect> Player::renderChanged(uint32_t* pixels, int width, int height, int stride,
                                             bool* complete) {
    if (complete) *complete = true;
    if (!pixels || width <= 0 || height <= 0) return {};
    const Matrix view = viewMatrix(width, height);
    FrameItems now;
    const bool tracked = currentItems(pixels, width, height, stride, view, now);
    std::vector<DirtyRect> rects = rectsToDraw(tracked, now, width, height);
    bool whole = true;
    if (rects.size() == 1 && rects[0].area() == int64_t(width) * height) {
        whole = render(pixels, width, height, stride, view, quality_);  // in bands
    } else if (!rects.empty()) {
        lastView_ = view;
        hasView_ = true;
        renderer_.setImageDecoder(decoder_);
        for (const DirtyRect& r : rects)
            whole = whole && renderer_.renderRect(*engine_.root(), backgroundColor(), pixels, width, height,
                                                  stride, view, quality_, r.left, r.top, r.right, r.bottom);
    }
    if (complete) *complete = whole;
    Picture& p = picture_;
    // A picture given up part-way is drawn whole next time. Video frames
    // whose size was not known before drawing are listed as drawn.
    p.valid = whole && isLoaded() && (!now.guessedSizes() || now.take(*engine_.root(), view, width, height));
    p.pixels = pixels;
    p.width = width;
    p.height = height;
    p.stride = stride;
    p.view = view;
    p.quality = quality_;
    p.background = backgroundColor();
    p.items = std::move(now);
    return rects;
}

bool Player::toStage(double x, double y, double& sx, double& sy) const {
    Matrix view = hasView_ ? lastView_ : viewMatrix(stageWidth(), stageHeight());
    Matrix inv;
    if (!isLoaded() || !view.invert(inv)) return false;
    sx = inv.mapX(x, y);
    sy = inv.mapY(x, y);
    return true;
}

bool Player::mouseMove(double x, double y) {
    double sx, sy;
    bool changed = toStage(x, y, sx, sy) && engine_.mouseMove(sx, sy);
    if (changed) soundUpdate();
    return changed;
}

bool Player::mouseDown(double x, double y) {
    double sx, sy;
    if (!toStage(x, y, sx, sy)) return false;
    bool moved = engine_.mouseMove(sx, sy);
    bool changed = engine_.mouseDown() || moved;
    soundUpdate();
    return changed;
}

bool Player::mouseUp(double x, double y) {
    double sx, sy;
    if (!toStage(x, y, sx, sy)) return false;
    bool moved = engine_.mouseMove(sx, sy);
    bool changed = engine_.mouseUp() || moved;
    soundUpdate();
    return changed;
}

bool Player::mouseAtStage(double x, double y, bool down) {
    if (!isLoaded()) return false;
    bool changed = engine_.mouseMove(x, y);
    if (down != engine_.mouseIsDown()) changed = (down ? engine_.mouseDown() : engine_.mouseUp()) || changed;
    if (changed) soundUpdate();
    return changed;
}

}  // namespace flash
