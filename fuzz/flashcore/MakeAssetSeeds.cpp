// Writes seed movies with bitmaps, fonts and text for the fuzz targets into
// the folder given.
#include <string>

#include "tools/swfwriter/ActionWriter.h"
#include "tools/swfwriter/BitmapWriter.h"
#include "tools/swfwriter/FontWriter.h"

using namespace swfw;

namespace {

Picture picture(int w, int h) {
    Picture p{w, h, {}};
    for (int i = 0; i < w * h; ++i)
        p.argb.push_back(static_cast<uint32_t>(0x80000000u | ((i * 0x1F3D5B) & 0xFFFFFF)));
    return p;
}

// A square per bitmap fill type over bitmap `id`.
Bytes filled(uint16_t shapeId, uint16_t bitmapId, uint8_t type) {
    ShapeBuilder s(3);
    FillStyle f;
    f.type = type;
    f.bitmapId = bitmapId;
    f.matrix = Matrix{20 * 3.3, 5, -4, 20 * 2.1, 100, 50};
    s.rect(0, 0, 4000, 3000, s.addFill(f));
    return s.defineShape(shapeId);
}

FontDef font() {
    FontDef f;
    f.ascent = 800;
    f.descent = 200;
    Glyph a, b;
    a.code = 'A';
    a.advance = 600;
    a.outline.moveTo(0, 0).fill0(1).lineTo(300, -800).lineTo(600, 0).curveTo(300, -200, 0, 0);
    b.code = 0x4E2D;
    b.advance = 700;
    b.outline.rect(0, -800, 600, 0, 1).rect(200, -600, 400, -200, 1);
    f.glyphs = {a, b};
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    std::string dir = argv[1];
    const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x03, 0x11, 0xFF, 0xD9, 0xFF, 0xD8, 0xFF,
                        0xC0, 0x00, 0x03, 0x22, 0xFF, 0xDA, 0x00, 0x02, 0x33, 0xFF, 0xD9};
    Bytes tables, image;
    splitJpeg(jpeg, tables, image);

    Movie m;
    m.version = 8;
    LosslessOptions alpha;
    alpha.withAlpha = true;
    m.add(defineBitsLossless(1, picture(5, 3), LosslessFormat::Palette));
    m.add(defineBitsLossless(2, picture(3, 4), LosslessFormat::Rgb15));
    m.add(defineBitsLossless(3, picture(4, 2), LosslessFormat::Rgb32));
    m.add(defineBitsLossless(4, picture(7, 3), LosslessFormat::Palette, alpha));
    m.add(defineBitsLossless(5, picture(3, 3), LosslessFormat::Rgb32, alpha));
    m.add(jpegTables(tables));
    m.add(defineBits(6, image));
    m.add(defineBitsJpeg2(7, jpeg));
    m.add(defineBitsJpeg3(8, jpeg, std::vector<uint8_t>(64, 0x80)));
    const uint8_t types[] = {0x40, 0x41, 0x42, 0x43};
    for (uint16_t i = 0; i < 8; ++i) {
        m.add(filled(static_cast<uint16_t>(20 + i), static_cast<uint16_t>(1 + i), types[i % 4]));
        Place p;
        p.depth = static_cast<uint16_t>(1 + i);
        p.characterId = 20 + i;
        p.hasMatrix = true;
        p.matrix = Matrix::translate(i * 300, i * 200);
        m.add(placeObject2(p));
    }
    m.showFrame();
    writeFile(dir + "/bitmaps.swf", m.build());

    Movie t;
    t.version = 8;
    FontDef f = font();
    t.add(defineFont(1, f, 1));
    t.add(defineFontInfo(1, f));
    t.add(defineFont(2, f, 2));
    f.wideOffsets = true;
    t.add(defineFont(3, f, 3));
    TextRecord r;
    r.hasFont = r.hasColor = r.hasX = r.hasY = true;
    r.fontId = 2;
    r.height = 480;
    r.color = {200, 0, 0, 180};
    r.x = 40;
    r.y = 600;
    r.glyphs = {{0, 300}, {1, 350}, {0, 300}};
    TextRecord r2 = r;
    r2.fontId = 3;
    r2.hasX = false;
    t.add(defineText(10, {0, 4000, 0, 2000}, Matrix::scale(1.5, 1.2), {r, r2}, true));
    r.fontId = 1;
    t.add(defineText(11, {0, 4000, 0, 2000}, Matrix(), {r}, false));
    EditTextDef e;
    e.bounds = {0, 3000, 0, 2000};
    e.text = "<p align=\"center\">A\xE4\xB8\xAD A&amp;</p><p>AA AA AA</p>";
    e.html = e.wordWrap = e.multiline = e.border = e.hasLayout = true;
    e.fontId = 2;
    e.height = 400;
    e.align = 2;
    e.variable = "v";
    t.add(defineEditText(12, e));
    e.useOutlines = false;
    e.html = false;
    e.text = "device";
    t.add(defineEditText(13, e));
    for (uint16_t i = 0; i < 4; ++i) {
        Place p;
        p.depth = static_cast<uint16_t>(1 + i);
        p.characterId = 10 + i;
        p.hasMatrix = true;
        p.matrix = Matrix::translate(0, i * 1500);
        t.add(placeObject2(p));
    }
    t.showFrame();
    writeFile(dir + "/text.swf", t.build());
    t.signature = 'C';
    writeFile(dir + "/text_cws.swf", t.build());

    // Fields bound to variables by name and by path, in a sprite and on the
    // main timeline, whose scripts change them in both frames.
    Movie b;
    b.version = 6;
    FontDef digits = font();
    digits.glyphs[1].code = '1';
    b.add(defineFont(1, digits, 2));
    EditTextDef bound;
    bound.bounds = {0, 3000, 0, 1200};
    bound.text = "A1";
    bound.fontId = 1;
    bound.height = 400;
    bound.maxLength = 40;
    bound.variable = "n";
    b.add(defineEditText(2, bound));
    bound.text.clear();
    bound.maxLength = 0;
    bound.wordWrap = bound.html = true;
    bound.variable = "/clip:n";
    b.add(defineEditText(3, bound));
    bound.html = false;
    bound.variable = "_root.clip.s";
    b.add(defineEditText(4, bound));
    Bytes inClip = placeObject(2, 1);
    inClip.insert(inClip.end(), {0x40, 0x00, 0x40, 0x00});
    b.add(defineSprite(5, inClip));
    Place clip;
    clip.depth = 1;
    clip.characterId = 5;
    clip.name = "clip";
    b.add(placeObject2(clip));
    for (uint16_t i = 0; i < 2; ++i) {
        Place p;
        p.depth = static_cast<uint16_t>(2 + i);
        p.characterId = 3 + i;
        p.hasMatrix = true;
        p.matrix = Matrix::translate(0, 1300 * (i + 1));
        b.add(placeObject2(p));
    }
    ActionWriter first;
    first.push("clip.n").pushInt(11).setVariable().push("clip.s").push("1A").push("A").add2().setVariable();
    b.add(doAction(first.bytes()));
    b.showFrame();
    ActionWriter second;
    second.push("/clip:n").pushNumber(0.1).setVariable().push("clip.s").pushUndefined().setVariable();
    second.push("n").push("A1").setVariable().stop();
    b.add(doAction(second.bytes()));
    b.showFrame();
    writeFile(dir + "/bound_text.swf", b.build());
    return 0;
}
