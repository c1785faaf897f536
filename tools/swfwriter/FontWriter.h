// Builders for fonts and text of test movies: DefineFont/2/3 with glyphs
// drawn by a ShapeBuilder (fill index 1), DefineFontInfo, DefineText/2 and
// DefineEditText.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/swfwriter/ShapeWriter.h"

namespace swfw {

struct Glyph {
    uint16_t code = 0;     // character code
    int16_t advance = 0;   // EM units (with a layout)
    ShapeBuilder outline;  // EM units, baseline at 0, up is negative; fill index 1
};

struct FontDef {
    std::string name = "Test";
    std::vector<Glyph> glyphs;
    bool layout = true;  // ascent, descent, leading and advances
    int ascent = 0, descent = 0, leading = 0;
    bool wideOffsets = false;
    bool wideCodes = true;
};

// fontVersion 1 (DefineFont, codes need defineFontInfo), 2 or 3.
Bytes defineFont(uint16_t id, const FontDef& font, int fontVersion);
Bytes defineFontInfo(uint16_t id, const FontDef& font);

struct TextRecord {
    bool hasFont = false;
    uint16_t fontId = 0;
    uint16_t height = 0;  // twips
    bool hasColor = false;
    Rgba color;
    bool hasX = false, hasY = false;
    int16_t x = 0, y = 0;
    std::vector<std::pair<uint32_t, int32_t>> glyphs;  // glyph index, advance (twips)
};

// DefineText (11) or, with alpha, DefineText2 (33).
Bytes defineText(uint16_t id, const Rect& bounds, const Matrix& m, const std::vector<TextRecord>& records,
                 bool withAlpha);

struct EditTextDef {
    Rect bounds;
    std::string text;  // empty: no initial text
    bool wordWrap = false, multiline = false, password = false, border = false, html = false;
    bool useOutlines = true;
    bool hasFont = true;
    uint16_t fontId = 0, height = 240;
    bool hasColor = true;
    Rgba color;
    uint16_t maxLength = 0;  // 0: none
    bool hasLayout = false;
    int align = 0;
    uint16_t leftMargin = 0, rightMargin = 0;
    int16_t indent = 0, leading = 0;
    std::string variable;
};

Bytes defineEditText(uint16_t id, const EditTextDef& e);

}  // namespace swfw
