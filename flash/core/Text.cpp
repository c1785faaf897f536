#include "flash/core/Text.h"

#include <algorithm>
#include <cmath>

#include "flash/core/TextShape.h"

namespace flash {

std::string foldTag(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == ' ') break;
        out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    return out;
}

namespace {

const size_t kMaxGlyphs = 65535;

// The characters of a string: UTF-8 when the movie is version 6 or later
// (bytes that are not UTF-8 stand for themselves), single bytes before.
}  // namespace

std::u32string decodeText(const std::string& s, bool utf8) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        uint8_t b = static_cast<uint8_t>(s[i]);
        if (!utf8 || b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra = b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : 0;
        uint32_t c = b & (0x3F >> extra);
        bool ok = extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<uint8_t>(s[i + k]) & 0xC0) != 0x80)
                ok = false;
            else
                c = c << 6 | (static_cast<uint8_t>(s[i + k]) & 0x3F);
        }
        if (!ok) {
            out.push_back(b);  // not UTF-8: the byte stands for itself
            ++i;
            continue;
        }
        out.push_back(c);
        i += extra + 1;
    }
    return out;
}

namespace {

// The text of a small HTML subset: tags dropped, paragraph ends and <br>
// as line breaks, the common entities decoded.
std::string stripHtml(const std::string& html) {
    std::string out;
    for (size_t i = 0; i < html.size();) {
        char c = html[i];
        if (c == '<') {
            size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            std::string tag = foldTag(html.substr(i + 1, end - i - 1));
            if (tag == "br" || tag == "br/" || tag == "/p" || tag == "/li") out.push_back('\n');
            i = end + 1;
        } else if (c == '&') {
            static const struct {
                const char* name;
                char ch;
            } entities[] = {{"&lt;", '<'},   {"&gt;", '>'},    {"&amp;", '&'},
                            {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
            bool found = false;
            for (const auto& e : entities) {
                size_t n = std::char_traits<char>::length(e.name);
                if (html.compare(i, n, e.name) == 0) {
                    out.push_back(e.ch);
                    i += n;
                    found = true;
                    break;
                }
            }
            if (!found) out.push_back(html[i++]);
        } else {
            out.push_back(html[i++]);
        }
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();  // the last paragraph's end
    return out;
}

}  // namespace

void FontData::indexCodes() {
    // Code tables should be ascending but need not be; the first glyph of a
    // code wins.
    byCode_.clear();
    for (size_t i = 0; i < codes.size(); ++i) byCode_.emplace_back(codes[i], static_cast<uint16_t>(i));
    std::stable_sort(byCode_.begin(), byCode_.end(),
                     [](const std::pair<uint16_t, uint16_t>& a, const std::pair<uint16_t, uint16_t>& b) {
                         return a.first < b.first;
                     });
}

int FontData::glyphForCode(uint32_t code) const {
    if (code > 0xFFFF) return -1;
    auto it = std::lower_bound(byCode_.begin(), byCode_.end(),
                               std::make_pair(static_cast<uint16_t>(code), uint16_t(0)));
    return it != byCode_.end() && it->first == code ? it->second : -1;
}

std::unique_ptr<FontData> parseDefineFont(ByteReader& r, int tagCode, uint16_t& id) {
    auto font = std::make_unique<FontData>();
    id = r.u16();
    if (tagCode == 10) {
        size_t tableStart = r.pos();
        uint16_t first = r.u16();
        size_t n = first / 2;
        if (r.overflow()) return nullptr;
        std::vector<uint32_t> offsets{first};
        for (size_t i = 1; i < n && !r.overflow(); ++i) offsets.push_back(r.u16());
        if (r.overflow()) return nullptr;
        for (size_t i = 0; i < n; ++i) {
            ByteReader g(r.data(), r.size());
            g.seek(tableStart + offsets[i]);
            font->glyphs.emplace_back();
            parseGlyphShape(g, font->glyphs.back());
        }
        return font;
    }
    uint8_t flags = r.u8();
    const bool hasLayout = flags & 0x80, wideOffsets = flags & 0x08, wideCodes = flags & 0x04;
    r.u8();  // language
    uint8_t nameLen = r.u8();
    for (int i = 0; i < nameLen; ++i) {
        char c = static_cast<char>(r.u8());
        if (c) font->name.push_back(c);
    }
    size_t n = r.u16();
    if (r.overflow()) return nullptr;
    if (tagCode == 75) font->emSize = 20480;
    const size_t tableStart = r.pos();
    if (n > kMaxGlyphs || n * (wideOffsets ? 4 : 2) > r.remaining())
        return n == 0 ? std::move(font) : nullptr;
    std::vector<uint32_t> offsets(n);
    for (size_t i = 0; i < n; ++i) offsets[i] = wideOffsets ? r.u32() : r.u16();
    uint32_t codeOffset = r.remaining() == 0 ? 0 : (wideOffsets ? r.u32() : r.u16());
    font->glyphs.resize(n);
    for (size_t i = 0; i < n; ++i) {
        ByteReader g(r.data(), r.size());
        g.seek(tableStart + offsets[i]);
        parseGlyphShape(g, font->glyphs[i]);
    }
    if (n == 0 || codeOffset == 0) return font;
    r.seek(tableStart + codeOffset);
    for (size_t i = 0; i < n && !r.overflow(); ++i) font->codes.push_back(wideCodes ? r.u16() : r.u8());
    if (r.overflow()) {
        font->codes.clear();
        return font;
    }
    font->indexCodes();
    if (hasLayout) {
        font->ascent = r.u16();
        font->descent = r.u16();
        font->leading = r.s16();
        for (size_t i = 0; i < n; ++i) font->advances.push_back(r.s16());
        font->hasLayout = !r.overflow();
        if (!font->hasLayout) font->advances.clear();
    }
    return font;
}

void parseDefineFontInfo(ByteReader& r, int tagCode, const std::function<FontData*(uint16_t)>& fonts) {
    FontData* font = fonts(r.u16());
    if (!font) return;
    r.skip(r.u8());
    bool wide = (r.u8() & 0x01) != 0;
    if (tagCode == 62) r.u8();
    std::vector<uint16_t> codes;
    for (size_t i = 0; i < font->glyphs.size(); ++i) codes.push_back(wide ? r.u16() : r.u8());
    if (r.overflow()) return;
    font->codes = std::move(codes);
    font->indexCodes();
}

std::unique_ptr<ShapeData> parseDefineText(ByteReader& r, int tagCode, const FontLookup& fonts,
                                           size_t& edgeBudget, uint16_t& id) {
    id = r.u16();
    Rect bounds = r.rect();
    Matrix m = r.matrix();
    int glyphBits = r.u8(), advanceBits = r.u8();
    if (r.overflow() || glyphBits > 32 || advanceBits > 32) return nullptr;
    TextShape text(edgeBudget);
    const FontData* font = nullptr;
    Rgba color{0, 0, 0, 255};
    double x = 0, y = 0, height = 0;
    while (r.remaining() > 0) {
        uint8_t flags = r.u8();
        if (flags == 0) break;
        if (flags & 0x08) {
            font = fonts(r.u16());
        }
        if (flags & 0x04) color = tagCode == 33 ? r.rgba() : r.rgb();
        if (flags & 0x01) x = r.s16();
        if (flags & 0x02) y = r.s16();
        if (flags & 0x08) height = r.u16();
        int count = r.u8();
        if (r.overflow()) break;
        text.beginRun(color);
        const double scale = font ? height / font->emSize : 0;
        for (int i = 0; i < count; ++i) {
            uint32_t glyph = r.ub(glyphBits);
            int32_t advance = r.sb(advanceBits);
            if (r.overflow()) break;
            if (font && glyph < font->glyphs.size()) text.addGlyph(font->glyphs[glyph], x, y, scale, m);
            x += advance;
        }
        r.align();
    }
    return text.finish(bounds);
}

bool parseEditTextRecord(ByteReader& r, int version, const FontLookup& fonts, EditTextDef& def,
                         uint16_t& id) {
    id = r.u16();
    def.bounds = r.rect();
    uint8_t f1 = r.u8(), f2 = r.u8();
    const bool hasText = f1 & 0x80, hasColor = f1 & 0x04, hasMaxLength = f1 & 0x02, hasFont = f1 & 0x01;
    const bool hasFontClass = f2 & 0x80, hasLayout = f2 & 0x20;
    def.wordWrap = f1 & 0x40;
    def.multiline = f1 & 0x20;
    def.readOnly = f1 & 0x08;
    def.autoSize = f2 & 0x40;
    def.selectable = !(f2 & 0x10);
    def.password = f1 & 0x10;
    def.border = f2 & 0x08;
    def.html = f2 & 0x02;
    def.outlines = f2 & 0x01;
    def.utf8 = version >= 6;
    if (hasFont) def.font = fonts(r.u16());
    if (hasFontClass) r.str();
    if (hasFont || hasFontClass) def.height = r.u16();
    if (hasColor) def.color = r.rgba();
    def.maxLength = hasMaxLength ? r.u16() : 0;
    if (hasLayout) {
        def.align = r.u8();
        def.leftMargin = r.u16();
        def.rightMargin = r.u16();
        def.indent = r.s16();
        def.leading = r.s16();
    }
    def.variable = r.str();
    if (hasText) def.initialText = r.str();
    return !r.overflow();
}

std::unique_ptr<ShapeData> layoutEditText(const EditTextDef& def, const std::string& shown,
                                          size_t& edgeBudget, size_t maxChars) {
    const Rect& bounds = def.bounds;
    const FontData* font = def.font;
    const double height = def.height, leftMargin = def.leftMargin, rightMargin = def.rightMargin,
                 indent = def.indent, leading = def.leading;
    const bool wordWrap = def.wordWrap, password = def.password, border = def.border, html = def.html,
               outlines = def.outlines;
    const int align = def.align;
    const Rgba color = def.color;
    const size_t maxLength = def.maxLength;
    TextShape text(edgeBudget);
    if (border) {
        // A one-pixel line just inside the bounds, on white.
        const Rgba white{255, 255, 255, 255}, black{0, 0, 0, 255};
        Rect inset{bounds.xMin + 10, bounds.xMax - 10, bounds.yMin + 10, bounds.yMax - 10};
        if (inset.xMin < inset.xMax && inset.yMin < inset.yMax) text.addBox(inset, &white, &black);
    }
    // Device fonts are not drawn: the engine has no system fonts.
    if (outlines && font && !font->glyphs.empty() && !shown.empty()) {
        std::u32string chars = decodeText(html ? stripHtml(shown) : shown, def.utf8);
        if (maxLength > 0 && chars.size() > maxLength) chars.resize(maxLength);
        if (chars.size() > maxChars) chars.resize(maxChars);
        const double scale = height / font->emSize;
        const double ascent = font->hasLayout ? font->ascent * scale : height * 0.8;
        const double descent = font->hasLayout ? font->descent * scale : height * 0.2;
        const double lineHeight = ascent + descent + leading + (font->hasLayout ? font->leading * scale : 0);
        const double gutter = 40;
        const double left = bounds.xMin + gutter + leftMargin, right = bounds.xMax - gutter - rightMargin;
        std::vector<double> advances(font->glyphs.size(), -1.0);  // computed once per glyph
        auto advanceOf = [&](int g) {
            if (g < 0) return 0.0;
            double& a = advances[g];
            if (a >= 0) return a;
            if (font->hasLayout && static_cast<size_t>(g) < font->advances.size()) {
                a = std::max(0.0, font->advances[g] * scale);
            } else {
                float maxX = 0;  // without a layout: the outline's extent
                for (const Edge& e : font->glyphs[g]) maxX = std::max({maxX, e.x0, e.x1});
                a = std::max(0.0, maxX * scale + height * 0.1);
            }
            return a;
        };
        // Break into lines: at line breaks, and at spaces when wrapping.
        struct Line {
            size_t begin, end;
            double width;
        };
        std::vector<Line> lines;
        size_t begin = 0;
        double width = indent;
        size_t lastSpace = std::u32string::npos;
        double widthAtSpace = 0;
        for (size_t i = 0; i <= chars.size(); ++i) {
            if (i == chars.size() || chars[i] == '\n' || chars[i] == '\r') {
                lines.push_back({begin, i, width});
                begin = i + 1;
                width = 0;
                lastSpace = std::u32string::npos;
                continue;
            }
            double a = advanceOf(font->glyphForCode(password ? '*' : chars[i]));
            if (wordWrap && width + a > right - left && i > begin) {
                if (chars[i] == ' ') {  // the space that overflows ends the line and is dropped
                    lines.push_back({begin, i, width});
                    begin = i + 1;
                    width = 0;
                    lastSpace = std::u32string::npos;
                    continue;
                }
                const bool atSpace = lastSpace != std::u32string::npos;
                lines.push_back({begin, atSpace ? lastSpace : i, atSpace ? widthAtSpace : width});
                begin = atSpace ? lastSpace + 1 : i;
                width = 0;
                for (size_t k = begin; k < i; ++k)
                    width += advanceOf(font->glyphForCode(password ? '*' : chars[k]));
                lastSpace = std::u32string::npos;
            }
            if (chars[i] == ' ') {
                lastSpace = i;
                widthAtSpace = width;
            }
            width += a;
        }
        text.beginRun(color);
        double baseline = bounds.yMin + gutter + ascent;
        for (size_t li = 0; li < lines.size(); ++li, baseline += lineHeight) {
            const Line& L = lines[li];
            double x = left + (li == 0 ? indent : 0);
            if (align == 1) x = right - L.width;
            if (align == 2) x = left + (right - left - L.width) / 2;
            for (size_t i = L.begin; i < L.end; ++i) {
                int g = font->glyphForCode(password ? '*' : chars[i]);
                if (g >= 0) text.addGlyph(font->glyphs[g], x, baseline, scale, Matrix());
                x += advanceOf(g);
            }
        }
    }
    return text.finish(bounds);
}

}  // namespace flash
