// A text field as scripts see it: characters with a format each, the
// field's options (input, word wrap, border...), scrolling, the caret and
// the selection, and laying all of it out into a shape. Fields made by
// createTextField hold one from the start; edit text placed by the
// timeline gets one when a script or the keyboard first works with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "flash/core/Shape.h"
#include "flash/core/Text.h"
#include "flash/core/Types.h"

namespace flash {

// The format of one character.
struct CharFormat {
    std::string font = "Times New Roman";
    double size = 12;  // pixels
    Rgba color{0, 0, 0, 255};
    bool bold = false, italic = false, underline = false;
    std::string url, target;
    bool operator==(const CharFormat& o) const {
        return font == o.font && size == o.size && color == o.color && bold == o.bold && italic == o.italic &&
               underline == o.underline && url == o.url && target == o.target;
    }
};

// Paragraph settings (one set per field).
struct ParagraphFormat {
    int align = 0;                                                    // 0 left, 1 right, 2 centre
    double leftMargin = 0, rightMargin = 0, indent = 0, leading = 0;  // pixels
};

// A TextFormat of scripts: each member may be left unset (null).
struct FormatChange {
    enum Member : uint16_t {
        kFont = 1,
        kSize = 2,
        kColor = 4,
        kBold = 8,
        kItalic = 16,
        kUnderline = 32,
        kUrl = 64,
        kTarget = 128,
        kAlign = 256,
        kLeftMargin = 512,
        kRightMargin = 1024,
        kIndent = 2048,
        kLeading = 4096
    };
    uint16_t set = 0;
    CharFormat chars;
    ParagraphFormat paragraph;
    bool has(Member m) const { return (set & m) != 0; }
    void apply(CharFormat& f) const;
    void apply(ParagraphFormat& p) const;
};

// A font of the movie by name, or null (the field then draws no glyphs).
using FontByName = std::function<const FontData*(const std::string& name)>;

class TextFieldState {
public:
    // A field of the size of `bounds` (twips, field space).
    explicit TextFieldState(const Rect& bounds);
    // A field with the settings of a DefineEditText record showing `text`.
    TextFieldState(const EditTextDef& def, const std::string& text);

    // ---- Text ----
    // The characters as the movie's strings hold them (UTF-8 from version 6).
    std::string text(bool utf8) const;
    void setText(const std::string& s, bool utf8);
    size_t length() const { return chars_.size(); }
    const std::u32string& chars() const { return chars_; }
    // The text as HTML, and setting it from (a subset of) HTML: p, br, b,
    // i, u, font (color, size, face), a (href, target), li, textformat and
    // the common entities.
    std::string htmlText(bool utf8) const;
    void setHtmlText(const std::string& html, bool utf8);
    // Replaces characters [begin, end) with `s` in the new-text format.
    void replace(size_t begin, size_t end, const std::u32string& s);

    // ---- Formats ----
    // Applies a TextFormat to characters [begin, end) (and the paragraph settings).
    void setFormat(size_t begin, size_t end, const FormatChange& f);
    // What characters [begin, end) share: members that differ stay unset.
    FormatChange format(size_t begin, size_t end) const;
    CharFormat newFormat;  // for text typed or set from now on
    ParagraphFormat paragraph;

    // ---- Options ----
    Rect bounds;  // twips, field space
    bool html = false, multiline = false, wordWrap = false, password = false;
    bool input = false, selectable = true, embedFonts = false;
    bool border = false, background = false;
    Rgba borderColor{0, 0, 0, 255}, backgroundColor{255, 255, 255, 255};
    enum class AutoSize { None, Left, Center, Right } autoSize = AutoSize::None;
    size_t maxChars = 0;  // 0: no limit
    // The characters input may type when `restricted` ("" none): single
    // characters and ranges a-z; ^ switches to characters refused.
    bool restricted = false;
    std::string restrict;
    std::string variable;      // the variable the field shows and input writes ("" none)
    std::string variableText;  // the variable's value the field last took or wrote

    // ---- Scrolling, caret and selection (character indices) ----
    int scroll = 1;  // first line shown, 1-based
    int maxScroll() const { return maxScroll_; }
    int bottomScroll() const { return bottomScroll_; }
    double textWidth() const { return textWidth_; }  // pixels
    double textHeight() const { return textHeight_; }
    size_t caret = 0, selBegin = 0, selEnd = 0;
    bool focused = false;
    void select(size_t begin, size_t end);  // clamped; the caret goes to `end`

    // ---- Input ----
    // An editing key (Key codes: 8 Backspace, 46 Delete, 37/39 arrows,
    // 36 Home, 35 End, 13 Enter) or a typed character; true when the text
    // changed. Only input fields change.
    bool key(int code, unsigned character);
    // Whether input may type a character (restrict).
    bool allows(char32_t c) const;
    // The character index nearest to a point (twips, field space).
    size_t indexAt(double x, double y) const;

    // ---- Layout ----
    // Lays the field out again when anything changed since the last time;
    // true when it did. The picture holds the background, border, glyphs
    // of embedded fonts (device fonts draw no glyphs), underlines, the
    // selection and, when focused, the caret; at most `edgeBudget` edges.
    bool layout(const FontByName& fonts, size_t& edgeBudget, size_t maxChars);
    const ShapeData* shape() const { return shape_.get(); }
    size_t edges() const { return edges_; }
    void changed() { ++revision; }  // forces the next layout
    uint64_t revision = 1;          // bumped by every change

private:
    struct Line {
        size_t begin, end;  // characters, without the break
        double width = 0, ascent = 0, descent = 0;
    };
    void breakLines(const FontByName& fonts, std::vector<Line>& lines, std::vector<double>& advances) const;
    std::u32string chars_;
    std::vector<uint16_t> formatOf_;  // index into formats_ per character
    std::vector<CharFormat> formats_;
    uint16_t formatIndex(const CharFormat& f);
    void compactFormats();
    std::unique_ptr<ShapeData> shape_;
    size_t edges_ = 0;
    uint64_t laidOut_ = 0;
    int maxScroll_ = 1, bottomScroll_ = 1;
    double textWidth_ = 0, textHeight_ = 0;
    std::vector<Line> lines_;
    std::vector<double> advances_;  // per character, twips
};

// Parses "#RRGGBB" / "0xRRGGBB" / decimal colour numbers of HTML attributes.
bool parseHtmlColor(const std::string& s, Rgba& out);

}  // namespace flash
