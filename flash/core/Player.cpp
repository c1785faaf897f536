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

Player::Player() = default;
Player::~Player() = default;

bool Player::load(const uint8_t* data, size_t size, bool autoStart) {
    zoom_ = 1.0;
    hasView_ = false;
    if (!engine_.load(data, size)) return false;
    if (!autoStart) engine_.root()->playing = false;
    return true;
}

void Player::unload() { engine_.unload(); }

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
}

void Player::stop() {
    if (isLoaded()) engine_.root()->playing = false;
}

void Player::gotoFrame(int frame) {
    if (!isLoaded()) return;
    engine_.gotoFrame(engine_.root(), frame);
    engine_.runQueuedActions();
}

int Player::frameForLabel(const std::string& label) const {
    return isLoaded() ? engine_.movie().root().findLabel(label) : -1;
}

void Player::setLoop(bool loop) { engine_.loop = loop; }

void Player::tick() { engine_.tick(); }

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
    return viewMatrix(stageRect(), width, height, scaleMode_, zoom_);
}

void Player::render(uint32_t* pixels, int width, int height, int stride) {
    render(pixels, width, height, stride, viewMatrix(width, height), quality_);
}

void Player::render(uint32_t* pixels, int width, int height, int stride, const Matrix& view,
                    Quality quality) {
    if (!pixels || width <= 0 || height <= 0) return;
    lastView_ = view;
    hasView_ = true;
    if (!isLoaded()) {
        for (int y = 0; y < height; ++y)
            std::fill(pixels + static_cast<size_t>(y) * stride,
                      pixels + static_cast<size_t>(y) * stride + width, 0xFFFFFFFFu);
        return;
    }
    renderer_.setImageDecoder(decoder_);
    renderer_.render(*engine_.root(), backgroundColor(), pixels, width, height, stride, view, quality);
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
    return toStage(x, y, sx, sy) && engine_.mouseMove(sx, sy);
}

bool Player::mouseDown(double x, double y) {
    double sx, sy;
    if (!toStage(x, y, sx, sy)) return false;
    bool moved = engine_.mouseMove(sx, sy);
    return engine_.mouseDown() || moved;
}

bool Player::mouseUp(double x, double y) {
    double sx, sy;
    if (!toStage(x, y, sx, sy)) return false;
    bool moved = engine_.mouseMove(sx, sy);
    return engine_.mouseUp() || moved;
}

bool Player::mouseAtStage(double x, double y, bool down) {
    if (!isLoaded()) return false;
    bool changed = engine_.mouseMove(x, y);
    if (down != engine_.mouseIsDown()) changed = (down ? engine_.mouseDown() : engine_.mouseUp()) || changed;
    return changed;
}

}  // namespace flash
