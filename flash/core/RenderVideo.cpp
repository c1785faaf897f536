// Video instances: the stream is brought to the frame the instance's ratio
// names and its picture is drawn as a bitmap-filled rectangle of the
// stream's size, smoothed when the stream asks for it (and quality allows).
#include "flash/core/Renderer.h"

namespace flash {

void Renderer::drawVideo(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, bool mask) {
    const VideoDef& def = *o.character->video;
    if (!o.video) o.video = std::make_shared<VideoPlayback>();
    o.video->show(def, o.ratio);
    const BitmapData& picture = o.video->bitmap();
    if (!picture.ready() && !mask) return;
    // A picture that is only scaled and moved, edges on whole pixels, is
    // drawn row by row without the rasterizer (the usual full-screen case).
    if (!mask && videoScaler_.draw(*cv_, picture, m * Matrix::scale(20, 20), def.smoothing && antialias_, cx))
        return;

    const float w = picture.ready() ? picture.width() * 20.0f : def.width * 20.0f;
    const float h = picture.ready() ? picture.height() * 20.0f : def.height * 20.0f;
    videoRect_.bounds = Rect{0, static_cast<int32_t>(w), 0, static_cast<int32_t>(h)};
    videoRect_.layers.resize(1);
    ShapeLayer& L = videoRect_.layers[0];
    L.fills.resize(1);
    FillStyle& f = L.fills[0];
    f.kind = FillKind::Bitmap;
    f.matrix = Matrix::scale(20, 20);
    f.bitmapRepeat = false;
    f.bitmapSmooth = def.smoothing;
    f.bitmap = &picture;
    L.lines.clear();
    L.edges.clear();
    const float xs[5] = {0, w, w, 0, 0}, ys[5] = {0, 0, h, h, 0};
    for (int i = 0; i < 4; ++i)
        L.edges.push_back({xs[i], ys[i], 0, 0, xs[i + 1], ys[i + 1], false, i == 0, 0, 1, 0});
    L.gatherFills();
    drawShape(videoRect_, m, cx, mask);
}

}  // namespace flash
