// Draws a display list: walks the instances by depth, composes matrices and
// colour transforms, builds clip masks, and turns shapes into rasterizer
// input (fills per style, then strokes per line style, layer by layer).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "flash/core/DisplayObject.h"
#include "flash/core/ImageDecoder.h"
#include "flash/core/ScalingGrid.h"
#include "flash/core/Shape.h"
#include "flash/core/raster/Canvas.h"
#include "flash/core/raster/FilterStage.h"
#include "flash/core/raster/Paint.h"
#include "flash/core/raster/Rasterizer.h"
#include "flash/core/raster/Stroker.h"

namespace flash {

// The three picture qualities of the control: low is aliased.
enum class Quality { Low, Medium, High };

class Renderer {
public:
    // view maps stage twips to buffer pixels. The buffer is first filled
    // with the opaque background colour. False when the interrupt check
    // stopped the drawing: the buffer then holds a partial picture.
    bool render(const DisplayObject& root, Rgba background, uint32_t* pixels, int width, int height,
                int stride, const Matrix& view, Quality quality);
    // The same picture's rows [top, bottom) only, pixel for pixel; the other
    // rows of the buffer are left alone. Renderers drawing disjoint bands of
    // one buffer may run at the same time on different threads when
    // bandSafe() holds for the tree.
    bool renderRows(const DisplayObject& root, Rgba background, uint32_t* pixels, int width, int height,
                    int stride, const Matrix& view, Quality quality, int top, int bottom);
    // The same picture's rectangle [left, right) x [top, bottom) only,
    // pixel for pixel; the rest of the buffer is left alone.
    bool renderRect(const DisplayObject& root, Rgba background, uint32_t* pixels, int width, int height,
                    int stride, const Matrix& view, Quality quality, int left, int top, int right,
                    int bottom);
    // False when the tree holds something whose drawing keeps state in the
    // instances (effect layers, video): such frames are drawn in one piece.
    static bool bandSafe(const DisplayObject& root);
    // Filters, a blend mode or bitmap caching: drawn through a layer of its own.
    static bool hasEffects(const DisplayObject& o);
    // Asked between instances while a render runs (every few instances);
    // true abandons the rest of the frame. Empty: frames always complete.
    void setInterruptCheck(std::function<bool()> check) { interruptCheck_ = std::move(check); }

    // Draws one shape (for tests and tools).
    void drawShape(const ShapeData& shape, const Matrix& toDevice, const ColorTransform& cx, bool mask);
    Canvas& canvas() { return canvas_; }
    void setQuality(Quality q);
    // Layers drawn by the last render (cached ones that were reused do not count).
    int layersDrawn() const { return layersDrawn_; }
    // Decodes the JPEG bitmaps of fills the first time they are drawn.
    void setImageDecoder(ImageDecoder* decoder) { decoder_ = decoder; }

private:
    // An off-screen picture of one instance with effects (RenderLayers.cpp).
    struct Layer {
        std::vector<uint32_t> pixels;
        Canvas canvas;
    };
    struct BoundsF {
        float x0 = 1e30f, y0 = 1e30f, x1 = -1e30f, y1 = -1e30f;
        bool empty() const { return !(x0 < x1 && y0 < y1); }
        void add(float x, float y);
    };
    // Device bounds of what an instance draws, with the growth of its own
    // filters and of those of everything inside it.
    void addBounds(const DisplayObject& o, const Matrix& m, int level, BoundsF& b);
    void drawLayered(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, int level);
    void composite(const DisplayObject& o, const std::vector<uint32_t>& pixels, int x0, int y0, int w, int h);

    void renderChildren(const DisplayObject& clip, const Matrix& m, const ColorTransform& cx, bool mask,
                        int level);
    void drawObject(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, bool mask, int level);
    void drawVideo(const DisplayObject& o, const Matrix& m, const ColorTransform& cx, bool mask);
    // Scale-9 grids (RenderGrid.cpp): the grid a clip's shapes are drawn
    // with (false: plain scaling), and one shape child drawn through it.
    bool gridOf(const DisplayObject& clip, const Matrix& m, GridMap& out, int level) const;
    void drawGridShape(const ShapeData& shape, const Matrix& child, const ColorTransform& cx, bool mask);
    void addEdge(const Edge& e, bool reversed, const Matrix& m);
    void prepare(const FillStyle& fill);
    void strokeLayer(const ShapeLayer& layer, const Matrix& m, const ColorTransform& cx);

    // A clip masked by another clip (setMask): drawn through the mask's shapes.
    void drawMasked(const DisplayObject& o, const DisplayObject& maskClip, const Matrix& m,
                    const ColorTransform& cx, int level);
    Matrix view_;  // stage twips -> target pixels of the current render
    Canvas canvas_;
    Canvas* cv_ = &canvas_;  // the current target: the buffer or a layer
    std::vector<std::unique_ptr<Layer>> layers_;
    size_t layerDepth_ = 0;
    FilterStage filterStage_;
    float filterSx_ = 1, filterSy_ = 1;  // device pixels per stage pixel
    int layersDrawn_ = 0;
    uint64_t contentSignature(const DisplayObject& o, const Matrix& m, const ColorTransform& cx) const;
    Rasterizer ras_;
    Stroker stroker_;
    Paint paint_;
    ShapeData morphScratch_;
    ShapeData videoRect_;
    // The grid of the clip whose children are being drawn, or null, and
    // that clip's device matrix.
    const GridMap* grid_ = nullptr;
    Matrix gridClip_;
    ShapeData gridScratch_;
    std::vector<PointF> points_;
    ImageDecoder* decoder_ = nullptr;
    std::function<bool()> interruptCheck_;
    int sinceCheck_ = 0;
    bool interrupted_ = false;
    bool interrupted();
    bool antialias_ = true;
    float tolerance_ = 0.2f;
};

}  // namespace flash
