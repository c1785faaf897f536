// Filters and blend modes against straightforward float references written
// here: each reference rasterises the test rectangles by supersampling,
// applies the filter or blend formula per pixel in floating point and
// composites the result; the engine's picture must match it (PSNR).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

#include "flash/core/raster/FilterStage.h"
#include "flash/core/raster/LayerColor.h"
#include "tests/flashcore/TestSupport.h"
#include "tools/swfwriter/FilterWriter.h"

using namespace flash;
using swfw::Bytes;
using Fill = swfw::FillStyle;

namespace {

// Premultiplied RGBA in 0..1.
using Px = std::array<float, 4>;

struct FImage {
    int w = 0, h = 0;
    std::vector<Px> p;
    FImage(int width, int height)
        : w(width), h(height), p(static_cast<size_t>(width) * height, Px{0, 0, 0, 0}) {}
    Px& at(int x, int y) { return p[static_cast<size_t>(y) * w + x]; }
    Px get(int x, int y) const {
        if (x < 0 || y < 0 || x >= w || y >= h) return Px{0, 0, 0, 0};
        return p[static_cast<size_t>(y) * w + x];
    }
};

struct RectSpec {
    int32_t x0, y0, x1, y1;  // twips in the shape
    swfw::Rgba color;
};

// Device matrix of an instance: view (twips -> pixels) after the placement.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
    Affine operator*(const Affine& m) const {
        return {a * m.a + c * m.b, b * m.a + d * m.b,        a * m.c + c * m.d,
                b * m.c + d * m.d, a * m.tx + c * m.ty + tx, b * m.tx + d * m.ty + ty};
    }
};

Affine fromSwf(const swfw::Matrix& m) { return {m.a, m.b, m.c, m.d, double(m.tx), double(m.ty)}; }

// The rectangle's colour times its coverage, 8 x 8 samples per pixel, drawn
// over what `img` holds (source-over).
void drawRect(FImage& img, const RectSpec& r, const Affine& m, int ox, int oy) {
    double det = m.a * m.d - m.b * m.c;
    Affine inv{m.d / det, -m.b / det, -m.c / det, m.a / det, 0, 0};
    inv.tx = -(inv.a * m.tx + inv.c * m.ty);
    inv.ty = -(inv.b * m.tx + inv.d * m.ty);
    const float ca = r.color.a / 255.0f;
    const Px c{r.color.r / 255.0f * ca, r.color.g / 255.0f * ca, r.color.b / 255.0f * ca, ca};
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            int in = 0;
            for (int j = 0; j < 8; ++j)
                for (int i = 0; i < 8; ++i) {
                    double px = x - ox + (i + 0.5) / 8, py = y - oy + (j + 0.5) / 8;
                    double u = inv.a * px + inv.c * py + inv.tx, v = inv.b * px + inv.d * py + inv.ty;
                    in += u >= r.x0 && u < r.x1 && v >= r.y0 && v < r.y1;
                }
            if (!in) continue;
            float k = in / 64.0f;
            Px& d = img.at(x, y);
            for (int i = 0; i < 4; ++i) d[i] = c[i] * k + d[i] * (1 - c[3] * k);
        }
}

// ---- filters in float ----

void boxPass(FImage& img, int r, bool horizontal) {
    if (r <= 0) return;
    FImage out = img;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            Px s{0, 0, 0, 0};
            for (int k = -r; k <= r; ++k) {
                Px v = horizontal ? img.get(x + k, y) : img.get(x, y + k);
                for (int i = 0; i < 4; ++i) s[i] += v[i];
            }
            for (int i = 0; i < 4; ++i) out.at(x, y)[i] = s[i] / (2 * r + 1);
        }
    img = out;
}

void blurImage(FImage& img, const swfw::FilterParams& f, float sx, float sy) {
    int rx = static_cast<int>(std::floor(f.blurX * sx / 2)),
        ry = static_cast<int>(std::floor(f.blurY * sy / 2));
    for (int p = 0; p < f.passes; ++p) {
        boxPass(img, rx, true);
        boxPass(img, ry, false);
    }
}

Px premul(const swfw::Rgba& c, float k = 1) {
    float a = c.a / 255.0f * k;
    return {c.r / 255.0f * a, c.g / 255.0f * a, c.b / 255.0f * a, a};
}

Px scale(Px v, float k) { return {v[0] * k, v[1] * k, v[2] * k, v[3] * k}; }
Px plus(Px a, Px b) { return {a[0] + b[0], a[1] + b[1], a[2] + b[2], a[3] + b[3]}; }

Px gradientAt(const swfw::FilterParams& f, float t) {  // t in 0..255
    size_t i = 0;
    while (i + 1 < f.ratios.size() && f.ratios[i + 1] < t) ++i;
    if (t <= f.ratios.front()) return premul(f.colors.front());
    if (t >= f.ratios.back()) return premul(f.colors.back());
    float u = (t - f.ratios[i]) / std::max(1, f.ratios[i + 1] - f.ratios[i]);
    const swfw::Rgba &a = f.colors[i], &b = f.colors[i + 1];
    swfw::Rgba c{static_cast<uint8_t>(a.r + (b.r - a.r) * u + 0.5f),
                 static_cast<uint8_t>(a.g + (b.g - a.g) * u + 0.5f),
                 static_cast<uint8_t>(a.b + (b.b - a.b) * u + 0.5f),
                 static_cast<uint8_t>(a.a + (b.a - a.a) * u + 0.5f)};
    return premul(c);
}

void applyFilter(FImage& img, const swfw::FilterParams& f, float sx, float sy) {
    const int dx = static_cast<int>(std::lround(std::cos(f.angle) * f.distance * sx));
    const int dy = static_cast<int>(std::lround(std::sin(f.angle) * f.distance * sy));
    if (f.id == 1) {
        blurImage(img, f, sx, sy);
        return;
    }
    if (f.id == 6 || f.id == 5) {
        FImage src = img;
        for (int y = 0; y < img.h; ++y)
            for (int x = 0; x < img.w; ++x) {
                auto straight = [&](int xx, int yy) {
                    Px v = src.get(xx, yy);
                    if (f.id == 5 && f.clamp)
                        v = src.get(std::clamp(xx, 0, img.w - 1), std::clamp(yy, 0, img.h - 1));
                    if (v[3] > 0)
                        return Px{v[0] / v[3] * 255, v[1] / v[3] * 255, v[2] / v[3] * 255, v[3] * 255};
                    return Px{0, 0, 0, 0};
                };
                float o[4];
                if (f.id == 6) {
                    Px c = straight(x, y);
                    for (int i = 0; i < 4; ++i)
                        o[i] = f.matrix[i * 5] * c[0] + f.matrix[i * 5 + 1] * c[1] +
                               f.matrix[i * 5 + 2] * c[2] + f.matrix[i * 5 + 3] * c[3] + f.matrix[i * 5 + 4];
                } else {
                    for (float& v : o) v = 0;
                    for (int j = 0; j < f.matrixY; ++j)
                        for (int i = 0; i < f.matrixX; ++i) {
                            Px c = straight(x + i - f.matrixX / 2, y + j - f.matrixY / 2);
                            for (int k = 0; k < 4; ++k) o[k] += f.matrix[j * f.matrixX + i] * c[k];
                        }
                    for (float& v : o) v = v / f.divisor + f.bias;
                    if (f.preserveAlpha) o[3] = straight(x, y)[3];
                }
                for (float& v : o) v = std::clamp(v / 255.0f, 0.0f, 1.0f);
                img.at(x, y) = {o[0] * o[3], o[1] * o[3], o[2] * o[3], o[3]};
            }
        return;
    }
    // Shadows, glows and bevels work on the blurred alpha.
    const bool bevel = f.id == 3 || f.id == 7;
    FImage alpha(img.w, img.h);
    for (size_t i = 0; i < img.p.size(); ++i) {
        float a = img.p[i][3];
        alpha.p[i] = Px{0, 0, 0, (!bevel && f.inner) ? 1 - a : a};
    }
    // Outside the picture the inverted alpha of an inner effect is 1.
    blurImage(alpha, f, sx, sy);
    auto A = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= img.w || y >= img.h) return (!bevel && f.inner) ? 1.0f : 0.0f;
        return alpha.at(x, y)[3];
    };
    FImage src = img;
    for (int y = 0; y < img.h; ++y)
        for (int x = 0; x < img.w; ++x) {
            Px s = src.at(x, y);
            float sa = s[3];
            Px e;
            if (!bevel) {
                int ox = f.id == 2 ? 0 : dx, oy = f.id == 2 ? 0 : dy;
                float k = std::min(1.0f, A(x - ox, y - oy) * float(f.strength));
                e = f.id == 4 ? gradientAt(f, k * 255) : premul(f.color, k);
                if (f.inner) {
                    Px in = scale(e, sa);
                    img.at(x, y) = (f.knockout || f.hideObject) ? in : plus(in, scale(s, 1 - e[3]));
                } else if (f.knockout) {
                    img.at(x, y) = scale(e, 1 - sa);
                } else if (f.hideObject) {
                    img.at(x, y) = e;
                } else {
                    img.at(x, y) = plus(s, scale(e, 1 - sa));
                }
            } else {
                float v =
                    std::clamp((A(x + dx, y + dy) - A(x - dx, y - dy)) * float(f.strength), -1.0f, 1.0f);
                if (f.id == 7)
                    e = gradientAt(f, std::min(255.0f, (v * 255 + 256) / 2));
                else
                    e = v >= 0 ? premul(f.highlight, v) : premul(f.color, -v);
                bool none = f.knockout || f.hideObject;
                if (f.onTop) {
                    img.at(x, y) = none ? e : plus(e, scale(s, 1 - e[3]));
                } else if (f.inner) {
                    Px in = scale(e, sa);
                    img.at(x, y) = none ? in : plus(in, scale(s, 1 - in[3]));
                } else {
                    Px out = scale(e, 1 - sa);
                    img.at(x, y) = none ? out : plus(s, out);
                }
            }
        }
}

// ---- blend modes in float, on straight colours ----

float mix(int mode, float cs, float cd) {
    switch (mode) {
        case 3:
            return cs * cd;
        case 4:
            return cs + cd - cs * cd;
        case 5:
            return std::max(cs, cd);
        case 6:
            return std::min(cs, cd);
        case 7:
            return std::fabs(cs - cd);
        case 13:
            return cd <= 0.5f ? 2 * cs * cd : 1 - 2 * (1 - cs) * (1 - cd);
        case 14:
            return cs <= 0.5f ? 2 * cs * cd : 1 - 2 * (1 - cs) * (1 - cd);
        default:
            return cs;
    }
}

Px blendF(int mode, Px s, Px d) {
    float as = s[3], ad = d[3], ao = as + ad - as * ad;
    Px o{0, 0, 0, ao};
    for (int i = 0; i < 3; ++i) {
        float cs = as > 0 ? s[i] / as : 0, cd = ad > 0 ? d[i] / ad : 0;
        switch (mode) {
            case 8:
                o[i] = std::min(ao, s[i] + d[i]);
                break;
            case 9:
                o[i] = std::max(0.0f, d[i] - s[i]);
                break;
            case 10:
                o[i] = (1 - cd) * ad * as + d[i] * (1 - as);
                break;
            case 11:
                o[i] = d[i] * as;
                break;
            case 12:
                o[i] = d[i] * (1 - as);
                break;
            case 0:
            case 1:
            case 2:
                o[i] = s[i] + d[i] * (1 - as);
                break;
            default:
                o[i] = as * ad * mix(mode, cs, cd) + as * (1 - ad) * cs + (1 - as) * ad * cd;
        }
    }
    if (mode == 10) o[3] = ad;
    if (mode == 11) o[3] = ad * as;
    if (mode == 12) o[3] = ad * (1 - as);
    return o;
}

void composite(FImage& dst, const FImage& src, int mode) {
    for (size_t i = 0; i < dst.p.size(); ++i)
        if (src.p[i][3] > 0 || src.p[i][0] > 0) dst.p[i] = blendF(mode, src.p[i], dst.p[i]);
}

// ---- engine side ----

struct Item {
    RectSpec rect;
    swfw::Matrix matrix;
    std::vector<swfw::FilterParams> filters;
    int blend = -1;
};

Bytes shapeOf(uint16_t id, const RectSpec& r) {
    swfw::ShapeBuilder s(3);
    s.rect(r.x0, r.y0, r.x1, r.y1, s.addFill(Fill::solid(r.color)));
    return s.defineShape(id);
}

Bytes place3(uint16_t depth, uint16_t id, const swfw::Matrix& m, const std::vector<swfw::FilterParams>& filters,
             int blend, const swfw::CxForm* cx = nullptr) {
    swfw::Place p = fctest::place(depth, id, m);
    if (!filters.empty()) p.filters = swfw::filterList(filters);
    p.blendMode = blend;
    if (cx) {
        p.hasCxForm = true;
        p.cxform = *cx;
    }
    return swfw::placeObject3(p);
}

// A colour transform on straight colours, applied to a finished layer;
// transparent pixels stay transparent.
void transformImage(FImage& img, const swfw::CxForm& cx) {
    auto q = [](double m) { return std::lround(m * 256) / 256.0f; };  // as stored
    const float mul[4] = {q(cx.mr), q(cx.mg), q(cx.mb), q(cx.ma)};
    const float add[4] = {float(cx.ar), float(cx.ag), float(cx.ab), float(cx.aa)};
    for (Px& p : img.p) {
        if (p[3] <= 0) continue;
        float c[4] = {p[0] / p[3] * 255, p[1] / p[3] * 255, p[2] / p[3] * 255, p[3] * 255};
        for (int i = 0; i < 4; ++i) c[i] = std::clamp(c[i] * mul[i] + add[i], 0.0f, 255.0f) / 255;
        p = {c[0] * c[3], c[1] * c[3], c[2] * c[3], c[3]};
    }
}

// A movie of one sprite (id 100, placed with the given effects) holding the
// items, over the background items placed directly on the stage.
Bytes movieOf(const std::vector<Item>& background, const std::vector<Item>& inner,
              const swfw::Matrix& spriteMatrix, const std::vector<swfw::FilterParams>& spriteFilters,
              int spriteBlend, const swfw::CxForm* spriteCx) {
    swfw::Movie m = fctest::stage100();
    m.version = 8;
    uint16_t id = 1;
    for (const Item& it : background) {
        m.add(shapeOf(id, it.rect));
        m.add(place3(id, id, it.matrix, it.filters, it.blend));
        ++id;
    }
    Bytes spriteTags;
    for (size_t i = 0; i < inner.size(); ++i) {
        m.add(shapeOf(static_cast<uint16_t>(50 + i), inner[i].rect));
        Bytes t = place3(static_cast<uint16_t>(i + 1), static_cast<uint16_t>(50 + i), inner[i].matrix,
                         inner[i].filters, inner[i].blend);
        spriteTags.insert(spriteTags.end(), t.begin(), t.end());
    }
    Bytes show = swfw::tag(1, {});
    spriteTags.insert(spriteTags.end(), show.begin(), show.end());
    m.add(swfw::defineSprite(100, spriteTags, 1));
    m.add(place3(60, 100, spriteMatrix, spriteFilters, spriteBlend, spriteCx));
    m.showFrame();
    return m.build();
}

// The same scene in float at `size` pixels (view scale size / 100). The
// sprite's colour transform applies to its filtered layer.
FImage referenceOf(const std::vector<Item>& background, const std::vector<Item>& inner,
                   const swfw::Matrix& spriteMatrix, const std::vector<swfw::FilterParams>& spriteFilters,
                   int spriteBlend, int size, const swfw::CxForm* spriteCx) {
    const float s = size / 100.0f;
    const int pad = 60;  // room for effects of content outside the view
    Affine view{s / 20, 0, 0, s / 20, 0, 0};
    FImage stage(size, size);
    for (Px& p : stage.p) p = Px{1, 1, 1, 1};
    auto layerOf = [&](const Item& it, const Affine& parent) {
        FImage L(size + 2 * pad, size + 2 * pad);
        drawRect(L, it.rect, parent * fromSwf(it.matrix), pad, pad);
        for (const auto& f : it.filters) applyFilter(L, f, s, s);
        return L;
    };
    auto crop = [&](const FImage& L) {
        FImage out(size, size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) out.at(x, y) = L.get(x + pad, y + pad);
        return out;
    };
    for (const Item& it : background) composite(stage, crop(layerOf(it, view)), std::max(it.blend, 0));
    FImage group(size + 2 * pad, size + 2 * pad);
    Affine sm = view * fromSwf(spriteMatrix);
    for (const Item& it : inner) composite(group, layerOf(it, sm), std::max(it.blend, 0));
    for (const auto& f : spriteFilters) applyFilter(group, f, s, s);
    if (spriteCx) transformImage(group, *spriteCx);
    composite(stage, crop(group), std::max(spriteBlend, 0));
    return stage;
}

fctest::Image toImage(const FImage& f) {
    fctest::Image img;
    img.width = f.w;
    img.height = f.h;
    for (const Px& p : f.p) {
        auto b = [](float v) { return static_cast<uint32_t>(std::clamp(v, 0.0f, 1.0f) * 255 + 0.5f); };
        img.pixels.push_back(b(p[3]) << 24 | b(p[0]) << 16 | b(p[1]) << 8 | b(p[2]));
    }
    return img;
}

double compare(const std::vector<Item>& background, const std::vector<Item>& inner, const swfw::Matrix& sm,
               const std::vector<swfw::FilterParams>& sf, int sb, int size, const swfw::CxForm* cx = nullptr) {
    Player p;
    EXPECT_TRUE(fctest::load(p, movieOf(background, inner, sm, sf, sb, cx)));
    fctest::Image got = fctest::render(p, size, size);
    return fctest::psnr(got, toImage(referenceOf(background, inner, sm, sf, sb, size, cx)));
}

swfw::Matrix rotation(double degrees, double scale, int32_t tx, int32_t ty) {
    double r = degrees * 3.14159265358979 / 180;
    return {std::cos(r) * scale, std::sin(r) * scale, -std::sin(r) * scale, std::cos(r) * scale, tx, ty};
}

swfw::FilterParams filterOfKind(int id) {
    swfw::FilterParams f;
    f.id = id;
    return f;
}

const RectSpec kBox{-400, -300, 400, 300, {40, 120, 220, 255}};
const RectSpec kGlassBox{-400, -300, 400, 300, {230, 60, 30, 160}};

// A box placed in every frame as `frame` sets it. Played frame by frame,
// frame i must draw drawn[i] layers anew and equal the picture of a fresh
// player of the movie that ends with that frame.
void expectFramesLikeFreshPlayers(const std::function<void(swfw::Place&, size_t)>& frame,
                                  const std::vector<int>& drawn) {
    auto movieUpTo = [&](size_t last) {
        swfw::Movie m = fctest::stage100();
        m.version = 8;
        m.add(shapeOf(1, kBox));
        for (size_t i = 0; i <= last; ++i) {
            swfw::Place p = fctest::place(1, i ? -1 : 1, swfw::Matrix());
            p.move = i > 0;
            frame(p, i);
            m.add(swfw::placeObject3(p));
            m.showFrame();
        }
        return m.build();
    };
    Player p;
    ASSERT_TRUE(fctest::load(p, movieUpTo(drawn.size() - 1)));
    for (size_t i = 0; i < drawn.size(); ++i) {
        SCOPED_TRACE(i);
        if (i) p.tick();
        fctest::Image got = fctest::render(p, 100, 100);
        EXPECT_EQ(p.layersDrawn(), drawn[i]);
        Player fresh;
        ASSERT_TRUE(fctest::load(fresh, movieUpTo(i)));
        for (size_t k = 0; k < i; ++k) fresh.tick();
        EXPECT_EQ(got.pixels, fctest::render(fresh, 100, 100).pixels);
    }
}

}  // namespace

TEST(Effects, FiltersMatchTheFloatReferenceUnderRotationScaleAndViewScale) {
    struct Case {
        const char* name;
        swfw::FilterParams filter;
    };
    std::vector<Case> cases;
    auto add = [&](const char* name, swfw::FilterParams f) { cases.push_back({name, f}); };
    {
        auto f = filterOfKind(1);
        f.blurX = 8;
        f.blurY = 4;
        f.passes = 1;
        add("blur", f);
        f.passes = 3;
        add("blur 3 passes", f);
    }
    {
        auto f = filterOfKind(0);
        f.color = {0, 0, 0, 200};
        f.distance = 6;
        f.blurX = f.blurY = 6;
        f.passes = 2;
        add("drop shadow", f);
        f.inner = true;
        add("inner shadow", f);
        f.inner = false;
        f.knockout = true;
        add("knockout shadow", f);
        f.knockout = false;
        f.hideObject = true;
        add("hidden object shadow", f);
    }
    {
        auto f = filterOfKind(2);
        f.color = {255, 200, 0, 255};
        f.blurX = f.blurY = 10;
        f.strength = 2;
        add("glow", f);
        f.inner = true;
        add("inner glow", f);
        f.knockout = true;
        add("inner knockout glow", f);
    }
    {
        auto f = filterOfKind(3);
        f.color = {0, 0, 60, 255};
        f.highlight = {255, 255, 200, 255};
        f.blurX = f.blurY = 4;
        f.distance = 3;
        f.inner = true;
        add("inner bevel", f);
        f.inner = false;
        add("outer bevel", f);
        f.onTop = true;
        add("full bevel", f);
    }
    {
        auto f = filterOfKind(4);
        f.colors = {{255, 0, 0, 0}, {255, 0, 0, 255}, {255, 255, 0, 255}};
        f.ratios = {0, 128, 255};
        f.blurX = f.blurY = 8;
        f.distance = 0;
        f.strength = 1.5;
        add("gradient glow", f);
        f.id = 7;
        f.colors = {{0, 0, 255, 255}, {0, 0, 0, 0}, {255, 255, 255, 255}};
        f.distance = 4;
        f.inner = true;
        add("gradient bevel", f);
    }
    {
        auto f = filterOfKind(6);
        f.matrix = {0.3f, 0.6f, 0.1f, 0, 10, 0.3f, 0.6f, 0.1f, 0,    -20,
                    0.1f, 0.1f, 0.9f, 0, 0,  0,    0,    0,    0.8f, 0};
        add("colour matrix", f);
    }
    {
        auto f = filterOfKind(5);
        f.matrix = {0, -1, 0, -1, 5, -1, 0, -1, 0};
        f.divisor = 1;
        add("sharpen", f);
        f.matrix = {1, 1, 1, 1, 1, 1, 1, 1, 1};
        f.divisor = 9;
        f.bias = 0;  // a bias would also lift the transparent surroundings
        f.preserveAlpha = false;
        f.clamp = false;
        add("box without alpha", f);
    }
    for (const Case& c : cases) {
        Item it{kBox, rotation(30, 1.5, 1000, 1000), {c.filter}, -1};
        EXPECT_GE(compare({}, {it}, swfw::Matrix(), {}, -1, 100), 40) << c.name;
        EXPECT_GE(compare({}, {it}, swfw::Matrix(), {}, -1, 200), 40) << c.name << " at view scale 2";
        Item glass{kGlassBox, rotation(-20, 0.8, 900, 1100), {c.filter}, -1};
        EXPECT_GE(compare({}, {glass}, swfw::Matrix(), {}, -1, 100), 40) << c.name << " translucent";
    }
}

TEST(Effects, NestedFiltersGrowTheParentLayer) {
    auto blur = filterOfKind(1);
    blur.blurX = blur.blurY = 6;
    blur.passes = 2;
    auto glow = filterOfKind(2);
    glow.color = {0, 200, 0, 255};
    glow.blurX = glow.blurY = 12;
    glow.strength = 1.5;
    auto shadow = filterOfKind(0);
    shadow.distance = 10;
    shadow.blurX = shadow.blurY = 4;
    // The child's blur reaches beyond its shape and the sprite's glow beyond
    // that; the sprite is scaled, which does not scale filter sizes.
    Item child{kBox, rotation(45, 0.6, 0, 0), {blur}, -1};
    Item second{{-200, -200, 200, 200, {250, 250, 0, 255}}, swfw::Matrix::translate(300, 200), {shadow}, -1};
    for (int size : {100, 200})
        EXPECT_GE(compare({}, {child, second}, rotation(10, 1.3, 1000, 1000), {glow, shadow}, -1, size), 40)
            << size;
    // Content mostly outside the view still throws its shadow in.
    EXPECT_GE(compare({}, {child}, swfw::Matrix::translate(2150, 1000), {shadow}, -1, 100), 40);
}

TEST(Effects, BlendModesOverTheStage) {
    std::vector<Item> background = {
        {{0, 0, 1000, 2000, {200, 30, 30, 255}}, swfw::Matrix(), {}, -1},
        {{1000, 0, 2000, 1000, {20, 160, 90, 255}}, swfw::Matrix(), {}, -1},
        {{1000, 1000, 2000, 2000, {90, 90, 90, 255}}, swfw::Matrix(), {}, -1},
    };
    for (int mode = 1; mode <= 14; ++mode) {
        if (mode == 11 || mode == 12) continue;  // need a layer below: see the nested test
        Item top{{0, 0, 1400, 1400, {30, 140, 250, 200}}, swfw::Matrix::translate(300, 300), {}, -1};
        Item half{{0, 0, 600, 600, {250, 250, 250, 90}}, swfw::Matrix::translate(1300, 1300), {}, -1};
        EXPECT_GE(compare(background, {top, half}, swfw::Matrix(), {}, mode, 100), 40) << "mode " << mode;
    }
}

TEST(Effects, BlendModesInsideAnIsolatedLayer) {
    std::vector<Item> background = {{{0, 0, 2000, 1000, {240, 200, 40, 255}}, swfw::Matrix(), {}, -1}};
    for (int mode = 1; mode <= 14; ++mode) {
        // In the layer: an opaque and a half transparent backdrop, then the
        // blended rectangle across both and across empty space.
        Item a{{0, 0, 800, 1600, {20, 60, 200, 255}}, swfw::Matrix::translate(200, 200), {}, -1};
        Item b{{0, 0, 800, 1600, {200, 20, 120, 128}}, swfw::Matrix::translate(1000, 200), {}, -1};
        Item c{{0, 0, 1500, 600, {120, 220, 80, 210}}, swfw::Matrix::translate(300, 900), {}, mode};
        for (int parent : {2, 3, 4})
            EXPECT_GE(compare(background, {a, b, c}, swfw::Matrix(), {}, parent, 100), 40)
                << "mode " << mode << " in " << parent;
    }
}

TEST(Effects, BlendAndFiltersTogetherUnderAViewScale) {
    auto glow = filterOfKind(2);
    glow.color = {255, 255, 255, 255};
    glow.blurX = glow.blurY = 6;
    std::vector<Item> background = {{{0, 0, 2000, 2000, {60, 60, 160, 255}}, swfw::Matrix(), {}, -1}};
    Item c{kGlassBox, rotation(15, 1, 0, 0), {glow}, 4};
    EXPECT_GE(compare(background, {c}, swfw::Matrix::translate(1000, 1000), {}, 2, 200), 40);
}

TEST(Effects, ColourTransformsApplyToTheFilteredLayer) {
    auto glow = filterOfKind(2);
    glow.color = {255, 230, 40, 255};
    glow.blurX = glow.blurY = 10;
    glow.strength = 1.5;
    auto shadow = filterOfKind(0);
    shadow.color = {0, 0, 0, 200};
    shadow.distance = 6;
    shadow.blurX = shadow.blurY = 6;
    std::vector<Item> background = {{{0, 0, 2000, 1000, {60, 60, 160, 255}}, swfw::Matrix(), {}, -1}};
    Item box{kBox, rotation(20, 1, 0, 0), {}, -1};
    // A tint that also tints the glow, with a fade; a negative multiplier.
    swfw::CxForm tint;
    tint.mr = 0.3;
    tint.mb = 1.6;
    tint.ag = -40;
    tint.ab = 60;
    tint.ma = 0.7;
    swfw::CxForm negative;
    negative.mr = -1;
    negative.ar = 255;
    const swfw::Matrix at = swfw::Matrix::translate(1000, 1000);
    for (int size : {100, 200}) {
        EXPECT_GE(compare(background, {box}, at, {glow, shadow}, -1, size, &tint), 40) << size;
        EXPECT_GE(compare(background, {box}, at, {glow}, -1, size, &negative), 40) << size;
        EXPECT_GE(compare(background, {box}, at, {shadow}, 3, size, &tint), 40) << "multiply " << size;
    }
    // A faded layer is faded as one picture: the overlap of its two
    // children does not show through.
    swfw::CxForm half;
    half.ma = 0.5;
    Item a{{0, 0, 900, 900, {200, 40, 40, 255}}, swfw::Matrix::translate(-600, -600), {}, -1};
    Item b{{0, 0, 900, 900, {40, 200, 40, 255}}, swfw::Matrix::translate(-200, -200), {}, -1};
    EXPECT_GE(compare(background, {a, b}, at, {}, 2, 100, &half), 40);
}

TEST(Effects, LayerColourTransformMatchesThePerColourFormula) {
    // Opaque runs (the fast path), transparent runs, mixed runs and a tail.
    std::vector<uint32_t> px;
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < 203; ++i) {
        const uint32_t kind = (i / 8) % 3, a = kind == 0 ? 255 : (kind == 1 ? 0 : next() >> 24);
        Rgba c{uint8_t(next() >> 24), uint8_t(next() >> 24), uint8_t(next() >> 24), uint8_t(a)};
        px.push_back(premultiply(c));
    }
    ColorTransform tint, fade, invert, wild;
    tint.rMul = 77;
    tint.bAdd = 60;
    tint.gAdd = -40;
    fade.aMul = 140;
    fade.rMul = 300;
    invert.rMul = invert.gMul = invert.bMul = -256;
    invert.rAdd = invert.gAdd = invert.bAdd = 255;
    wild.gMul = 9000;
    wild.aAdd = 30;
    wild.rAdd = -300;
    for (const ColorTransform& cx : {tint, fade, invert, wild}) {
        std::vector<uint32_t> got(px.size());
        transformLayerSpan(cx, px.data(), got.data(), static_cast<int>(px.size()));
        for (size_t i = 0; i < px.size(); ++i) {
            const uint32_t p = px[i], a = p >> 24;
            uint32_t want = 0;
            if (a) {
                auto un = [&](int shift) { return uint8_t((((p >> shift) & 255) * 255 + a / 2) / a); };
                want = premultiply(cx.apply(Rgba{un(16), un(8), un(0), uint8_t(a)}));
            }
            ASSERT_EQ(got[i], want) << i;
        }
    }
}

TEST(Effects, RecolouringAFilteredClipReusesItsLayer) {
    swfw::FilterParams blur = filterOfKind(1);
    blur.blurX = blur.blurY = 8;
    blur.passes = 2;
    expectFramesLikeFreshPlayers(
        [&](swfw::Place& p, size_t i) {
            p.matrix = swfw::Matrix::translate(1000, 1000);
            p.filters = swfw::filterList({blur});
            p.hasCxForm = true;
            p.cxform.mr = 1 - 0.3 * i;
            p.cxform.ab = static_cast<int>(40 * i);
            p.cxform.ma = 1 - 0.2 * i;
        },
        {1, 0, 0, 0});
}

TEST(Effects, FilterListsParseAndSurviveBadValues) {
    auto f = filterOfKind(5);
    f.matrixX = 20;
    f.matrixY = 1;
    f.matrix.assign(20, 1.0f);
    f.divisor = 0;
    auto b = filterOfKind(1);
    b.blurX = 30000;
    Bytes list = swfw::filterList({f, b});
    ByteReader r(list.data(), list.size());
    FilterList out;
    ASSERT_TRUE(readFilterList(r, out));
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].matrixX, 15);  // cut to the centre part
    EXPECT_EQ(out[0].divisor, 1.0f);
    EXPECT_EQ(out[1].blurX, 255.0f);
    Bytes bad = {1, 9, 0, 0};
    ByteReader rb(bad.data(), bad.size());
    FilterList none;
    EXPECT_FALSE(readFilterList(rb, none));
    Bytes shortBody = {1, 0, 1, 2};
    ByteReader rs(shortBody.data(), shortBody.size());
    EXPECT_FALSE(readFilterList(rs, none));
}

TEST(Effects, CachedLayersAreRedrawnOnlyWhenTheClipChanges) {
    // Frame 1: a blurred sprite and a cacheAsBitmap sprite; frame 2 restates
    // the same filters; frame 3 moves a child inside the blurred sprite.
    swfw::Movie m = fctest::stage100();
    m.version = 8;
    m.add(shapeOf(1, kBox));
    Bytes inner;
    auto addTag = [&](const Bytes& t) { inner.insert(inner.end(), t.begin(), t.end()); };
    addTag(place3(1, 1, swfw::Matrix::translate(0, 0), {}, -1));
    addTag(swfw::tag(1, {}));
    addTag(swfw::tag(1, {}));
    swfw::Place mv = fctest::place(1, -1, swfw::Matrix::translate(200, 100));
    mv.move = true;
    addTag(swfw::placeObject2(mv));
    addTag(swfw::tag(1, {}));
    m.add(swfw::defineSprite(2, inner, 3));
    auto blur = filterOfKind(1);
    auto placeBoth = [&](bool move) {
        swfw::Place a = fctest::place(1, move ? -1 : 2, swfw::Matrix::translate(700, 700));
        a.move = move;
        a.filters = swfw::filterList({blur});
        m.add(swfw::placeObject3(a));
        if (move) return;
        swfw::Place b = fctest::place(2, 1, swfw::Matrix::scale(0.5, 0.5, 1400, 1400));
        b.cacheAsBitmap = 1;
        m.add(swfw::placeObject3(b));
    };
    placeBoth(false);
    m.showFrame();
    placeBoth(true);
    m.showFrame();
    m.showFrame();
    Player p;
    ASSERT_TRUE(fctest::load(p, m.build()));
    fctest::Image first = fctest::render(p, 100, 100);
    EXPECT_EQ(p.layersDrawn(), 2);
    fctest::Image again = fctest::render(p, 100, 100);
    EXPECT_EQ(p.layersDrawn(), 0);
    EXPECT_EQ(again.pixels, first.pixels);
    p.tick();  // the same filters restated
    fctest::Image second = fctest::render(p, 100, 100);
    EXPECT_EQ(p.layersDrawn(), 0);
    EXPECT_EQ(second.pixels, first.pixels);
    p.tick();  // the child moved
    fctest::Image third = fctest::render(p, 100, 100);
    EXPECT_EQ(p.layersDrawn(), 1);
    EXPECT_NE(third.pixels, first.pixels);
    // A new view size draws both again.
    fctest::render(p, 120, 120);
    EXPECT_EQ(p.layersDrawn(), 2);
}

TEST(Effects, CachedLayersMovedByWholePixelsAreReusedAndMatchAFreshDrawing) {
    // A glowing box moves each frame: by whole pixels (reused), by half a
    // pixel (drawn again), half a pixel to partly off the stage (drawn cut
    // there), by whole pixels back on (drawn again: the old picture was
    // cut) and by whole pixels partly off (reused: the old one holds all
    // that shows).
    const int32_t moves[][2] = {{700, 700},  {740, 680},  {750, 680}, {-300, 680},
                                {1500, 300}, {1540, 300}, {2040, 300}};
    swfw::FilterParams glow = filterOfKind(2);
    glow.blurX = glow.blurY = 12;
    glow.passes = 2;
    expectFramesLikeFreshPlayers(
        [&](swfw::Place& p, size_t i) {
            p.matrix = swfw::Matrix::translate(moves[i][0], moves[i][1]);
            p.filters = swfw::filterList({glow});
        },
        {1, 0, 1, 1, 1, 0, 0});
}

TEST(Effects, BoxBlurMatchesDirectSumsForAnyRadiusAndShape) {
    // Radii beyond the picture, odd heights (the last row blurred alone),
    // rows whose bytes are not a multiple of 16, and both pixel sizes.
    struct Case {
        int w, h, channels, rx, ry, passes;
    } cases[] = {{7, 5, 4, 2, 1, 1},   {40, 9, 4, 3, 3, 2},  {13, 6, 4, 200, 300, 1},
                 {5, 40, 1, 9, 60, 2}, {33, 17, 1, 1, 1, 3}, {64, 3, 4, 128, 129, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.w * 1000 + c.h);
        const int rowBytes = c.w * c.channels;
        std::vector<uint8_t> data(static_cast<size_t>(rowBytes) * c.h);
        for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>((i * 37 + i / 7 * 11) % 256);
        std::vector<double> want(data.begin(), data.end());
        auto pass = [&](bool across, int r) {
            std::vector<double> out(want.size());
            for (int y = 0; y < c.h; ++y)
                for (int x = 0; x < c.w; ++x)
                    for (int k = 0; k < c.channels; ++k) {
                        double sum = 0;
                        for (int d = -r; d <= r; ++d) {
                            int xx = across ? x + d : x, yy = across ? y : y + d;
                            if (xx >= 0 && yy >= 0 && xx < c.w && yy < c.h)
                                sum += want[static_cast<size_t>(yy) * rowBytes + xx * c.channels + k];
                        }
                        out[static_cast<size_t>(y) * rowBytes + x * c.channels + k] = sum / (2 * r + 1);
                    }
            want = out;
        };
        for (int p = 0; p < c.passes; ++p) {
            pass(true, c.rx);
            pass(false, c.ry);
        }
        boxBlur(data.data(), c.w, c.h, rowBytes, c.channels, c.rx, c.ry, c.passes);
        double worst = 0;
        for (size_t i = 0; i < data.size(); ++i) worst = std::max(worst, std::fabs(data[i] - want[i]));
        EXPECT_LE(worst, 1.0 * c.passes + 0.5);
    }
}
