// Small value types shared by every stage of the engine.
#pragma once

#include <cstdint>

namespace flash {

// Non-premultiplied colour as stored in the file.
struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

// Rectangle in twips (or pixels, by context).
struct Rect {
    int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    int32_t width() const { return xMax - xMin; }
    int32_t height() const { return yMax - yMin; }
};

// Affine transform: x' = a*x + c*y + tx, y' = b*x + d*y + ty.
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static Matrix translate(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Matrix scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

    // (this * m): applies m first, then this.
    Matrix operator*(const Matrix& m) const {
        return {a * m.a + c * m.b, b * m.a + d * m.b,        a * m.c + c * m.d,
                b * m.c + d * m.d, a * m.tx + c * m.ty + tx, b * m.tx + d * m.ty + ty};
    }
    double mapX(double x, double y) const { return a * x + c * y + tx; }
    double mapY(double x, double y) const { return b * x + d * y + ty; }
    double det() const { return a * d - b * c; }
    // Inverse; a singular matrix yields false and leaves out unchanged.
    bool invert(Matrix& out) const;
    bool operator==(const Matrix& o) const {
        return a == o.a && b == o.b && c == o.c && d == o.d && tx == o.tx && ty == o.ty;
    }
};

// Colour transform: c' = c * mult / 256 + add per channel, on 0..255 values.
struct ColorTransform {
    int16_t rMul = 256, gMul = 256, bMul = 256, aMul = 256;
    int16_t rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    bool isIdentity() const {
        return rMul == 256 && gMul == 256 && bMul == 256 && aMul == 256 && rAdd == 0 && gAdd == 0 &&
               bAdd == 0 && aAdd == 0;
    }
    Rgba apply(const Rgba& c) const;
    // The transform that applies `inner` first and then this one.
    ColorTransform after(const ColorTransform& inner) const;
    bool operator==(const ColorTransform& o) const {
        return rMul == o.rMul && gMul == o.gMul && bMul == o.bMul && aMul == o.aMul && rAdd == o.rAdd &&
               gAdd == o.gAdd && bAdd == o.bAdd && aAdd == o.aAdd;
    }
};

// Premultiplied 0xAARRGGBB from a straight colour.
uint32_t premultiply(const Rgba& c);

}  // namespace flash
