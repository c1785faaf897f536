// Fonts and text: glyph outlines of DefineFont/2/3, and static and edit
// text turned into shapes (at load time, and again for edit text whose
// variable changes), so that the renderer draws them as it draws any shape
// (one layer per run of glyphs, filled in its colour).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/ByteReader.h"
#include "flash/core/Shape.h"

namespace flash {

struct FontData {
    std::string name;
    double emSize = 1024;  // glyph units per EM (20480 for DefineFont3)
    std::vector<std::vector<Edge>> glyphs;
    std::vector<uint16_t> codes;    // glyph index -> character code (may be empty)
    std::vector<int16_t> advances;  // glyph units, when the font has a layout
    int ascent = 0, descent = 0, leading = 0;
    bool hasLayout = false;

    int glyphForCode(uint32_t code) const;  // -1 when the font has no glyph for it
    void indexCodes();                      // call after setting codes

private:
    std::vector<std::pair<uint16_t, uint16_t>> byCode_;  // (code, glyph), sorted
};

using FontLookup = std::function<const FontData*(uint16_t id)>;

// DefineFont (10), DefineFont2 (48), DefineFont3 (75). Null when unreadable.
std::unique_ptr<FontData> parseDefineFont(ByteReader& r, int tagCode, uint16_t& id);
// DefineFontInfo (13) / DefineFontInfo2 (62): character codes of a DefineFont.
void parseDefineFontInfo(ByteReader& r, int tagCode, const std::function<FontData*(uint16_t)>& fonts);
// DefineText (11) / DefineText2 (33) as a shape.
// `edgeBudget` is the number of glyph edges the movie may still place.
std::unique_ptr<ShapeData> parseDefineText(ByteReader& r, int tagCode, const FontLookup& fonts,
                                           size_t& edgeBudget, uint16_t& id);
// The record of a DefineEditText (37): what laying out a string needs, the
// variable the field shows (empty: none) and its initial text.
struct EditTextDef {
    Rect bounds;
    const FontData* font = nullptr;
    double height = 240;
    Rgba color{0, 0, 0, 255};
    size_t maxLength = 0;  // 0: no limit
    int align = 0;         // 0 left, 1 right, 2 centre
    double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;
    bool wordWrap = false, password = false, border = false, html = false, outlines = false;
    bool multiline = false, readOnly = true, autoSize = false, selectable = true;
    bool utf8 = false;  // movie version 6 or later
    std::string variable;
    std::string initialText;
};

// False when the record is truncated.
bool parseEditTextRecord(ByteReader& r, int version, const FontLookup& fonts, EditTextDef& def, uint16_t& id);
// `text` laid out in the field as a shape: with the embedded glyphs when it
// uses outlines, and as nothing but its border otherwise. At most
// `maxChars` characters are laid out.
std::unique_ptr<ShapeData> layoutEditText(const EditTextDef& def, const std::string& text, size_t& edgeBudget,
                                          size_t maxChars = SIZE_MAX);
// The characters of a string: UTF-8 when `utf8` (bytes that are not UTF-8
// stand for themselves), single bytes otherwise.
std::u32string decodeText(const std::string& s, bool utf8);
// The lower-case name of an HTML tag ("FONT face=.." -> "font").
std::string foldTag(const std::string& s);

}  // namespace flash
