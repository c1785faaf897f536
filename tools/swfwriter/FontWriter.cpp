#include "tools/swfwriter/FontWriter.h"

#include <algorithm>

namespace swfw {

namespace {

Bytes glyphShape(const Glyph& g) {
    BitWriter w;
    w.ub(1, 4);  // fill index bits
    w.ub(0, 4);  // line index bits
    writeShapeRecords(w, g.outline.ops(), 1, 0, 1);
    return w.data();
}

}  // namespace

Bytes defineFont(uint16_t id, const FontDef& font, int fontVersion) {
    std::vector<Bytes> shapes;
    for (const Glyph& g : font.glyphs) shapes.push_back(glyphShape(g));
    BitWriter w;
    w.u16(id);
    if (fontVersion == 1) {
        uint32_t offset = static_cast<uint32_t>(shapes.size() * 2);
        for (const Bytes& s : shapes) {
            w.u16(static_cast<uint16_t>(offset));
            offset += static_cast<uint32_t>(s.size());
        }
        for (const Bytes& s : shapes) w.bytes(s);
        return tag(10, w.data(), true);
    }
    uint8_t flags = (font.layout ? 0x80 : 0) | (font.wideOffsets ? 0x08 : 0) | (font.wideCodes ? 0x04 : 0);
    w.u8(flags);
    w.u8(0);  // language
    w.u8(static_cast<uint8_t>(font.name.size()));
    for (char c : font.name) w.u8(static_cast<uint8_t>(c));
    w.u16(static_cast<uint16_t>(font.glyphs.size()));
    const uint32_t entry = font.wideOffsets ? 4 : 2;
    uint32_t offset = static_cast<uint32_t>((shapes.size() + 1) * entry);
    auto put = [&](uint32_t v) { font.wideOffsets ? w.u32(v) : w.u16(static_cast<uint16_t>(v)); };
    for (const Bytes& s : shapes) {
        put(offset);
        offset += static_cast<uint32_t>(s.size());
    }
    put(offset);  // code table
    for (const Bytes& s : shapes) w.bytes(s);
    for (const Glyph& g : font.glyphs) font.wideCodes ? w.u16(g.code) : w.u8(static_cast<uint8_t>(g.code));
    if (font.layout) {
        w.u16(static_cast<uint16_t>(font.ascent));
        w.u16(static_cast<uint16_t>(font.descent));
        w.s16(static_cast<int16_t>(font.leading));
        for (const Glyph& g : font.glyphs) w.s16(g.advance);
        for (size_t i = 0; i < font.glyphs.size(); ++i) writeRect(w, Rect{});
        w.u16(0);  // kerning records
    }
    return tag(fontVersion == 3 ? 75 : 48, w.data(), true);
}

Bytes defineFontInfo(uint16_t id, const FontDef& font) {
    BitWriter w;
    w.u16(id);
    w.u8(static_cast<uint8_t>(font.name.size()));
    for (char c : font.name) w.u8(static_cast<uint8_t>(c));
    w.u8(font.wideCodes ? 0x01 : 0x00);
    for (const Glyph& g : font.glyphs) font.wideCodes ? w.u16(g.code) : w.u8(static_cast<uint8_t>(g.code));
    return tag(13, w.data(), true);
}

Bytes defineText(uint16_t id, const Rect& bounds, const Matrix& m, const std::vector<TextRecord>& records,
                 bool withAlpha) {
    uint32_t maxGlyph = 0;
    int32_t maxAdvance = 0;
    for (const TextRecord& r : records)
        for (const auto& g : r.glyphs) {
            maxGlyph = std::max(maxGlyph, g.first);
            maxAdvance = std::max(maxAdvance, std::abs(g.second));
        }
    const int glyphBits = std::max(1, BitWriter::ubits(maxGlyph));
    const int advanceBits = BitWriter::sbits(maxAdvance) + 1;
    BitWriter w;
    w.u16(id);
    writeRect(w, bounds);
    writeMatrix(w, m);
    w.u8(static_cast<uint8_t>(glyphBits));
    w.u8(static_cast<uint8_t>(advanceBits));
    for (const TextRecord& r : records) {
        w.u8(static_cast<uint8_t>(0x80 | (r.hasFont ? 0x08 : 0) | (r.hasColor ? 0x04 : 0) |
                                  (r.hasY ? 0x02 : 0) | (r.hasX ? 0x01 : 0)));
        if (r.hasFont) w.u16(r.fontId);
        if (r.hasColor) {
            w.u8(r.color.r);
            w.u8(r.color.g);
            w.u8(r.color.b);
            if (withAlpha) w.u8(r.color.a);
        }
        if (r.hasX) w.s16(r.x);
        if (r.hasY) w.s16(r.y);
        if (r.hasFont) w.u16(r.height);
        w.u8(static_cast<uint8_t>(r.glyphs.size()));
        for (const auto& g : r.glyphs) {
            w.ub(g.first, glyphBits);
            w.sb(g.second, advanceBits);
        }
        w.align();
    }
    w.u8(0);
    return tag(withAlpha ? 33 : 11, w.data(), true);
}

Bytes defineEditText(uint16_t id, const EditTextDef& e) {
    BitWriter w;
    w.u16(id);
    writeRect(w, e.bounds);
    w.u8(static_cast<uint8_t>((!e.text.empty() ? 0x80 : 0) | (e.wordWrap ? 0x40 : 0) |
                              (e.multiline ? 0x20 : 0) | (e.password ? 0x10 : 0) | (e.hasColor ? 0x04 : 0) |
                              (e.maxLength ? 0x02 : 0) | (e.hasFont ? 0x01 : 0)));
    w.u8(static_cast<uint8_t>((e.hasLayout ? 0x20 : 0) | (e.border ? 0x08 : 0) | (e.html ? 0x02 : 0) |
                              (e.useOutlines ? 0x01 : 0)));
    if (e.hasFont) {
        w.u16(e.fontId);
        w.u16(e.height);
    }
    if (e.hasColor) {
        w.u8(e.color.r);
        w.u8(e.color.g);
        w.u8(e.color.b);
        w.u8(e.color.a);
    }
    if (e.maxLength) w.u16(e.maxLength);
    if (e.hasLayout) {
        w.u8(static_cast<uint8_t>(e.align));
        w.u16(e.leftMargin);
        w.u16(e.rightMargin);
        w.s16(e.indent);
        w.s16(e.leading);
    }
    w.str(e.variable);
    if (!e.text.empty()) w.str(e.text);
    return tag(37, w.data(), true);
}

}  // namespace swfw
