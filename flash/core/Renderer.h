// Draws a display list: walks the instances by depth, composes matrices and
// colour transforms, builds clip masks, and turns shapes into rasterizer
// input (fills per style, then strokes per line style, layer by layer).
#pragma once

#include <cstdint>
#include <vector>

#include "flash/core/DisplayObject.h"
#include "flash/core/ImageDecoder.h"
#include "flash/core/Shape.h"
#include "flash/core/raster/Canvas.h"
#include "flash/core/raster/Paint.h"
#include "flash/core/raster/Rasterizer.h"
#include "flash/core/raster/Stroker.h"

namespace flash {

// The three picture qualities of the control: low is aliased.
enum class Quality { Low, Medium, High };

class Renderer {
public:
    // view maps stage twips to buffer pixels. The buffer is first filled
    // with the opaque background colour.
    void render(const DisplayObject& root, Rgba background, uint32_t* pixels, int width, int height,
                int stride, const Matrix& view, Quality quality);

    // Draws one shape (for tests and tools).
    void drawShape(const ShapeData& shape, const Matrix& toDevice, const ColorTransform& cx, bool mask);
    Canvas& canvas() { return canvas_; }
    void setQuality(Quality q);
    // Decodes the JPEG bitmaps of fills the first time they are drawn.
    void setImageDecoder(ImageDecoder* decoder) { decoder_ = decoder; }

private:
    void renderChildren(const DisplayObject& clip, const Matrix& m, const ColorTransform& cx, bool mask,
                        int level);
    void drawObject(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, bool mask, int level);
    void addEdge(const Edge& e, bool reversed, const Matrix& m);
    void prepare(const FillStyle& fill);
    void strokeLayer(const ShapeLayer& layer, const Matrix& m, const ColorTransform& cx);

    Canvas canvas_;
    Rasterizer ras_;
    Stroker stroker_;
    Paint paint_;
    ShapeData morphScratch_;
    std::vector<PointF> points_;
    ImageDecoder* decoder_ = nullptr;
    bool antialias_ = true;
    float tolerance_ = 0.2f;
};

}  // namespace flash
