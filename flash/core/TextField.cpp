#include "flash/core/TextField.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "flash/core/TextShape.h"

namespace flash {

void appendUtf8(std::string& s, unsigned cp);

namespace {

const double kGutter = 40;          // twips between the bounds and the text
const size_t kMaxChars = 1u << 16;  // a field holds no more characters

bool isBreak(char32_t c) { return c == '\r' || c == '\n'; }

std::string encode(const std::u32string& chars, bool utf8) {
    std::string out;
    for (char32_t c : chars) {
        if (!utf8 && c < 256)
            out.push_back(static_cast<char>(c));
        else
            appendUtf8(out, c);
    }
    return out;
}

std::string escapeHtml(char32_t c, bool utf8) {
    switch (c) {
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '&':
            return "&amp;";
        case '"':
            return "&quot;";
        default:
            return encode(std::u32string(1, c), utf8);
    }
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// Attributes of a tag's inside ("font color='#ff0000' size=12"), names in
// lower case.
std::vector<std::pair<std::string, std::string>> attributes(const std::string& tag) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t i = tag.find(' ');
    while (i != std::string::npos && i < tag.size()) {
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\n' || tag[i] == '\r')) ++i;
        size_t eq = tag.find('=', i);
        if (eq == std::string::npos) break;
        std::string name = lower(tag.substr(i, eq - i));
        while (!name.empty() && name.back() == ' ') name.pop_back();
        size_t v = eq + 1;
        while (v < tag.size() && tag[v] == ' ') ++v;
        std::string value;
        if (v < tag.size() && (tag[v] == '"' || tag[v] == '\'')) {
            size_t close = tag.find(tag[v], v + 1);
            if (close == std::string::npos) close = tag.size();
            value = tag.substr(v + 1, close - v - 1);
            i = close + 1;
        } else {
            size_t end = tag.find(' ', v);
            if (end == std::string::npos) end = tag.size();
            value = tag.substr(v, end - v);
            i = end;
        }
        out.emplace_back(name, value);
    }
    return out;
}

std::string colorText(const Rgba& c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c.r, c.g, c.b);
    return buf;
}

std::string numberText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    return buf;
}

}  // namespace

bool parseHtmlColor(const std::string& s, Rgba& out) {
    std::string t = s;
    int base = 10;
    if (!t.empty() && t[0] == '#') {
        t = t.substr(1);
        base = 16;
    } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
        t = t.substr(2);
        base = 16;
    }
    if (t.empty() || t.size() > 10) return false;
    char* end = nullptr;
    unsigned long v = std::strtoul(t.c_str(), &end, base);
    if (!end || *end) return false;
    out = Rgba{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v), 255};
    return true;
}

void FormatChange::apply(CharFormat& f) const {
    if (has(kFont)) f.font = chars.font;
    if (has(kSize)) f.size = chars.size;
    if (has(kColor)) f.color = chars.color;
    if (has(kBold)) f.bold = chars.bold;
    if (has(kItalic)) f.italic = chars.italic;
    if (has(kUnderline)) f.underline = chars.underline;
    if (has(kUrl)) f.url = chars.url;
    if (has(kTarget)) f.target = chars.target;
}

void FormatChange::apply(ParagraphFormat& p) const {
    if (has(kAlign)) p.align = paragraph.align;
    if (has(kLeftMargin)) p.leftMargin = paragraph.leftMargin;
    if (has(kRightMargin)) p.rightMargin = paragraph.rightMargin;
    if (has(kIndent)) p.indent = paragraph.indent;
    if (has(kLeading)) p.leading = paragraph.leading;
}

TextFieldState::TextFieldState(const Rect& b) : bounds(b) {}

TextFieldState::TextFieldState(const EditTextDef& def, const std::string& shown) : bounds(def.bounds) {
    if (def.font) newFormat.font = def.font->name;
    newFormat.size = def.height / 20.0;
    newFormat.color = def.color;
    paragraph.align = def.align;
    paragraph.leftMargin = def.leftMargin / 20.0;
    paragraph.rightMargin = def.rightMargin / 20.0;
    paragraph.indent = def.indent / 20.0;
    paragraph.leading = def.leading / 20.0;
    html = def.html;
    multiline = def.multiline;
    wordWrap = def.wordWrap;
    password = def.password;
    input = !def.readOnly;
    selectable = def.selectable;
    embedFonts = def.outlines;
    border = background = def.border;
    autoSize = def.autoSize ? AutoSize::Left : AutoSize::None;
    maxChars = def.maxLength;
    variable = def.variable;
    if (html)
        setHtmlText(shown, def.utf8);
    else
        setText(shown, def.utf8);
}

uint16_t TextFieldState::formatIndex(const CharFormat& f) {
    for (size_t i = 0; i < formats_.size(); ++i)
        if (formats_[i] == f) return static_cast<uint16_t>(i);
    if (formats_.size() >= 1024) {
        // Formats no character uses are dropped; past the cap new ones
        // share the first (the field keeps a bounded table).
        compactFormats();
        if (formats_.size() >= 1024) return 0;
    }
    formats_.push_back(f);
    return static_cast<uint16_t>(formats_.size() - 1);
}

void TextFieldState::compactFormats() {
    std::vector<CharFormat> used;
    std::vector<int> map(formats_.size(), -1);
    for (uint16_t& i : formatOf_) {
        if (map[i] < 0) {
            map[i] = static_cast<int>(used.size());
            used.push_back(formats_[i]);
        }
        i = static_cast<uint16_t>(map[i]);
    }
    formats_ = std::move(used);
}

std::string TextFieldState::text(bool utf8) const { return encode(chars_, utf8); }

void TextFieldState::setText(const std::string& s, bool utf8) {
    replace(0, chars_.size(), decodeText(s, utf8));
    formats_.clear();
    uint16_t f = formatIndex(newFormat);
    std::fill(formatOf_.begin(), formatOf_.end(), f);
    select(chars_.size(), chars_.size());
}

void TextFieldState::replace(size_t begin, size_t end, const std::u32string& s) {
    begin = std::min(begin, chars_.size());
    end = std::max(begin, std::min(end, chars_.size()));
    uint16_t f = formatIndex(newFormat);
    size_t room = kMaxChars - std::min(kMaxChars, chars_.size() - (end - begin));
    size_t n = std::min(s.size(), room);
    chars_.replace(begin, end - begin, s, 0, n);
    formatOf_.erase(formatOf_.begin() + static_cast<long>(begin), formatOf_.begin() + static_cast<long>(end));
    formatOf_.insert(formatOf_.begin() + static_cast<long>(begin), n, f);
    select(std::min(selBegin, chars_.size()), std::min(selEnd, chars_.size()));
    changed();
}

void TextFieldState::setHtmlText(const std::string& h, bool utf8) {
    std::u32string out;
    std::vector<CharFormat> fmts;
    std::vector<CharFormat> stack;
    CharFormat cur = newFormat;
    bool closedParagraph = false;
    auto emit = [&](char32_t c) {
        if (out.size() >= kMaxChars) return;
        out.push_back(c);
        fmts.push_back(cur);
        closedParagraph = false;
    };
    for (size_t i = 0; i < h.size();) {
        char c = h[i];
        if (c == '<') {
            size_t end = h.find('>', i);
            if (end == std::string::npos) break;
            std::string inside = h.substr(i + 1, end - i - 1);
            std::string tag = foldTag(inside);
            i = end + 1;
            bool closing = !tag.empty() && tag[0] == '/';
            std::string name = closing ? tag.substr(1) : tag;
            if (!name.empty() && name.back() == '/') name.pop_back();
            if (name == "br" || name == "sbr") {
                emit('\r');
                continue;
            }
            if (closing) {
                if (name == "p" || name == "li") {
                    emit('\r');
                    closedParagraph = true;
                }
                if (!stack.empty() &&
                    (name == "p" || name == "b" || name == "i" || name == "u" || name == "font" ||
                     name == "a" || name == "li" || name == "textformat")) {
                    cur = stack.back();
                    stack.pop_back();
                }
                continue;
            }
            if (name != "p" && name != "b" && name != "i" && name != "u" && name != "font" && name != "a" &&
                name != "li" && name != "textformat")
                continue;
            if (stack.size() < 256) stack.push_back(cur);
            if (name == "b") cur.bold = true;
            if (name == "i") cur.italic = true;
            if (name == "u") cur.underline = true;
            if (name == "li") {
                emit(0x2022);
                emit(' ');
            }
            for (const auto& a : attributes(inside)) {
                if (name == "font" && a.first == "color") parseHtmlColor(a.second, cur.color);
                if (name == "font" && a.first == "face") cur.font = a.second;
                if (name == "font" && a.first == "size" && !a.second.empty()) {
                    double v = std::atof(a.second.c_str());
                    if (a.second[0] == '+' || a.second[0] == '-') v += cur.size;
                    if (v > 0 && v < 1000) cur.size = v;
                }
                if (name == "a" && a.first == "href") cur.url = a.second;
                if (name == "a" && a.first == "target") cur.target = a.second;
                if (name == "p" && a.first == "align") {
                    std::string v = lower(a.second);
                    paragraph.align = v == "right" ? 1 : v == "center" ? 2 : 0;
                }
                if (name == "textformat" && a.first == "leftmargin")
                    paragraph.leftMargin = std::atof(a.second.c_str());
                if (name == "textformat" && a.first == "indent")
                    paragraph.indent = std::atof(a.second.c_str());
                if (name == "textformat" && a.first == "leading")
                    paragraph.leading = std::atof(a.second.c_str());
            }
            continue;
        }
        if (c == '&') {
            static const struct {
                const char* name;
                char32_t ch;
            } entities[] = {{"&lt;", '<'},   {"&gt;", '>'},    {"&amp;", '&'},
                            {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", 0xA0}};
            bool found = false;
            for (const auto& e : entities) {
                size_t n = std::char_traits<char>::length(e.name);
                if (h.compare(i, n, e.name) == 0) {
                    emit(e.ch);
                    i += n;
                    found = true;
                    break;
                }
            }
            if (!found && h.compare(i, 2, "&#") == 0) {
                size_t semi = h.find(';', i);
                if (semi != std::string::npos && semi - i < 10) {
                    bool hex = i + 2 < h.size() && (h[i + 2] == 'x' || h[i + 2] == 'X');
                    unsigned long v = std::strtoul(h.c_str() + i + (hex ? 3 : 2), nullptr, hex ? 16 : 10);
                    if (v > 0 && v < 0x110000) {
                        emit(static_cast<char32_t>(v));
                        i = semi + 1;
                        found = true;
                    }
                }
            }
            if (!found) {
                emit('&');
                ++i;
            }
            continue;
        }
        // A run of plain text up to the next tag or entity.
        size_t next = h.find_first_of("<&", i);
        if (next == std::string::npos) next = h.size();
        for (char32_t ch : decodeText(h.substr(i, next - i), utf8)) emit(ch);
        i = next;
    }
    // The last paragraph's end makes no empty line after it.
    if (closedParagraph && !out.empty()) {
        out.pop_back();
        fmts.pop_back();
    }
    chars_ = std::move(out);
    formats_.clear();
    formatOf_.clear();
    for (size_t i = 0; i < fmts.size(); ++i)
        formatOf_.push_back(i > 0 && fmts[i] == fmts[i - 1] ? formatOf_.back() : formatIndex(fmts[i]));
    select(chars_.size(), chars_.size());
    changed();
}

std::string TextFieldState::htmlText(bool utf8) const {
    static const char* const kAlign[] = {"LEFT", "RIGHT", "CENTER"};
    std::string out;
    size_t i = 0;
    do {
        size_t end = i;
        while (end < chars_.size() && !isBreak(chars_[end])) ++end;
        out += "<P ALIGN=\"";
        out += kAlign[std::max(0, std::min(2, paragraph.align))];
        out += "\">";
        size_t k = i;
        do {
            const CharFormat& f = k < end ? formats_[formatOf_[k]] : newFormat;
            size_t runEnd = k;
            while (runEnd < end && formats_[formatOf_[runEnd]] == f) ++runEnd;
            out += "<FONT FACE=\"" + f.font + "\" SIZE=\"" + numberText(f.size) + "\" COLOR=\"" +
                   colorText(f.color) + "\">";
            if (!f.url.empty()) out += "<A HREF=\"" + f.url + "\" TARGET=\"" + f.target + "\">";
            if (f.bold) out += "<B>";
            if (f.italic) out += "<I>";
            if (f.underline) out += "<U>";
            for (size_t j = k; j < runEnd; ++j) out += escapeHtml(chars_[j], utf8);
            if (f.underline) out += "</U>";
            if (f.italic) out += "</I>";
            if (f.bold) out += "</B>";
            if (!f.url.empty()) out += "</A>";
            out += "</FONT>";
            k = runEnd;
        } while (k < end);
        out += "</P>";
        i = end + 1;
    } while (i <= chars_.size());
    return out;
}

void TextFieldState::setFormat(size_t begin, size_t end, const FormatChange& f) {
    end = std::min(end, chars_.size());
    uint16_t from = 0, to = 0;
    for (size_t i = begin; i < end; ++i) {
        if (i > begin && formatOf_[i] == from) {  // runs of one format map alike
            formatOf_[i] = to;
            continue;
        }
        from = formatOf_[i];
        CharFormat c = formats_[from];
        f.apply(c);
        formatOf_[i] = to = formatIndex(c);
    }
    f.apply(paragraph);
    changed();
}

FormatChange TextFieldState::format(size_t begin, size_t end) const {
    FormatChange out;
    out.paragraph = paragraph;
    out.set = FormatChange::kAlign | FormatChange::kLeftMargin | FormatChange::kRightMargin |
              FormatChange::kIndent | FormatChange::kLeading;
    end = std::min(end, chars_.size());
    if (begin >= end) {
        // An empty range: the format of the character before it (or the new-text one).
        out.chars = begin > 0 && begin <= chars_.size() ? formats_[formatOf_[begin - 1]] : newFormat;
        out.set |= 0xFF;
        return out;
    }
    const CharFormat& first = formats_[formatOf_[begin]];
    out.chars = first;
    uint16_t same = 0xFF;
    for (size_t i = begin + 1; i < end && same; ++i) {
        const CharFormat& c = formats_[formatOf_[i]];
        if (c.font != first.font) same &= ~FormatChange::kFont;
        if (c.size != first.size) same &= ~FormatChange::kSize;
        if (!(c.color == first.color)) same &= ~FormatChange::kColor;
        if (c.bold != first.bold) same &= ~FormatChange::kBold;
        if (c.italic != first.italic) same &= ~FormatChange::kItalic;
        if (c.underline != first.underline) same &= ~FormatChange::kUnderline;
        if (c.url != first.url) same &= ~FormatChange::kUrl;
        if (c.target != first.target) same &= ~FormatChange::kTarget;
    }
    out.set |= same;
    return out;
}

void TextFieldState::select(size_t begin, size_t end) {
    begin = std::min(begin, chars_.size());
    end = std::min(end, chars_.size());
    selBegin = std::min(begin, end);
    selEnd = std::max(begin, end);
    caret = end;
    ++revision;
}

bool TextFieldState::allows(char32_t c) const {
    if (!restricted) return true;
    if (restrict.empty()) return false;
    std::u32string r = decodeText(restrict, true);
    bool include = true, allowed = r[0] == '^';
    for (size_t i = 0; i < r.size(); ++i) {
        char32_t a = r[i];
        if (a == '^') {
            include = !include;
            continue;
        }
        if (a == '\\' && i + 1 < r.size()) a = r[++i];
        char32_t b = a;
        if (i + 2 < r.size() && r[i + 1] == '-') {
            b = r[i + 2];
            if (b == '\\' && i + 3 < r.size()) ++i;
            b = r[i + 2];
            i += 2;
        }
        if (c >= a && c <= b) allowed = include;
    }
    return allowed;
}

bool TextFieldState::key(int code, unsigned character) {
    if (!input) return false;
    size_t n = chars_.size();
    auto lineOf = [&](size_t index) {
        for (size_t li = 0; li < lines_.size(); ++li)
            if (index <= lines_[li].end) return li;
        return lines_.empty() ? size_t(0) : lines_.size() - 1;
    };
    const bool hasSelection = selBegin < selEnd;
    if (code == 8 || code == 46) {
        if (hasSelection) {
            size_t b = selBegin;
            replace(selBegin, selEnd, U"");
            select(b, b);
        } else if (code == 8 && caret > 0) {
            size_t b = caret - 1;
            replace(b, caret, U"");
            select(b, b);
        } else if (code == 46 && caret < n) {
            size_t b = caret;
            replace(b, b + 1, U"");
            select(b, b);
        } else {
            return false;
        }
        return true;
    }
    if (code == 13 && character < 32) {
        if (!multiline || (maxChars && n - (selEnd - selBegin) >= maxChars)) return false;
        size_t b = selBegin;
        replace(selBegin, selEnd, U"\r");
        select(b + 1, b + 1);
        return true;
    }
    if (character >= 32 && character != 127 && character < 0x110000) {
        char32_t c =
            password || !multiline ? static_cast<char32_t>(character) : static_cast<char32_t>(character);
        if (!allows(c) || (maxChars && n - (selEnd - selBegin) >= maxChars)) return false;
        size_t b = selBegin;
        replace(selBegin, selEnd, std::u32string(1, c));
        select(b + 1, b + 1);
        return true;
    }
    size_t to = caret;
    switch (code) {
        case 37:
            to = hasSelection ? selBegin : (caret > 0 ? caret - 1 : 0);
            break;
        case 39:
            to = hasSelection ? selEnd : std::min(n, caret + 1);
            break;
        case 36:
            to = lines_.empty() ? 0 : lines_[lineOf(caret)].begin;
            break;
        case 35:
            to = lines_.empty() ? n : lines_[lineOf(caret)].end;
            break;
        case 38:
        case 40: {
            if (lines_.empty()) break;
            size_t li = lineOf(caret);
            size_t column = caret - std::min(caret, lines_[li].begin);
            if (code == 38 && li == 0) break;
            if (code == 40 && li + 1 >= lines_.size()) break;
            const Line& L = lines_[code == 38 ? li - 1 : li + 1];
            to = std::min(L.begin + column, L.end);
            break;
        }
        default:
            return false;
    }
    select(to, to);
    return false;
}

size_t TextFieldState::indexAt(double x, double y) const {
    if (lines_.empty()) return 0;
    double top = bounds.yMin + kGutter;
    size_t li = static_cast<size_t>(std::max(0, scroll - 1));
    for (; li + 1 < lines_.size(); ++li) {
        double h = (lines_[li].ascent + lines_[li].descent + paragraph.leading * 20);
        if (y < top + h) break;
        top += h;
    }
    li = std::min(li, lines_.size() - 1);
    const Line& L = lines_[li];
    double avail = bounds.width() - 2 * kGutter - (paragraph.leftMargin + paragraph.rightMargin) * 20;
    double pos = bounds.xMin + kGutter + paragraph.leftMargin * 20;
    if (paragraph.align == 1) pos += avail - L.width;
    if (paragraph.align == 2) pos += (avail - L.width) / 2;
    for (size_t i = L.begin; i < L.end; ++i) {
        if (x < pos + advances_[i] / 2) return i;
        pos += advances_[i];
    }
    return L.end;
}

void TextFieldState::breakLines(const FontByName& fonts, std::vector<Line>& lines,
                                std::vector<double>& advances) const {
    const size_t n = chars_.size();
    advances.assign(n, 0);
    std::vector<double> ascents(n), descents(n);
    for (size_t i = 0; i < n; ++i) {
        const CharFormat& f = formats_[formatOf_[i]];
        const double size = std::max(1.0, f.size) * 20;
        char32_t c = password ? U'*' : chars_[i];
        const FontData* font = embedFonts ? fonts(f.font) : nullptr;
        int g = font ? font->glyphForCode(c) : -1;
        if (isBreak(chars_[i])) {
            advances[i] = 0;
        } else if (g >= 0 && font->hasLayout && static_cast<size_t>(g) < font->advances.size()) {
            advances[i] = std::max(0.0, font->advances[g] * size / font->emSize);
        } else {
            // Device text: a typical advance for the size (CJK characters are square).
            advances[i] = size * (c >= 0x2E80 ? 1.0 : 0.55) * (f.bold ? 1.05 : 1.0);
        }
        ascents[i] = font && font->hasLayout ? font->ascent * size / font->emSize : size * 0.9;
        descents[i] = font && font->hasLayout ? font->descent * size / font->emSize : size * 0.25;
    }
    const double avail = bounds.width() - 2 * kGutter - (paragraph.leftMargin + paragraph.rightMargin) * 20;
    lines.clear();
    size_t begin = 0, lastSpace = std::u32string::npos;
    double width = paragraph.indent * 20;
    auto push = [&](size_t b, size_t e) {
        Line L{b, e};
        for (size_t k = b; k < e; ++k) {
            L.width += advances[k];
            L.ascent = std::max(L.ascent, ascents[k]);
            L.descent = std::max(L.descent, descents[k]);
        }
        if (e == b) {  // an empty line is as high as the text it would hold
            const CharFormat& f = b < n ? formats_[formatOf_[b]] : newFormat;
            L.ascent = std::max(1.0, f.size) * 20 * 0.9;
            L.descent = std::max(1.0, f.size) * 20 * 0.25;
        }
        lines.push_back(L);
    };
    for (size_t i = 0; i <= n; ++i) {
        if (i == n || isBreak(chars_[i])) {
            push(begin, i);
            begin = i + 1;
            width = paragraph.indent * 20;
            lastSpace = std::u32string::npos;
            continue;
        }
        double a = advances[i];
        if (wordWrap && width + a > avail && i > begin) {
            if (chars_[i] == ' ') {
                push(begin, i);
                begin = i + 1;
                width = 0;
                lastSpace = std::u32string::npos;
                continue;
            }
            bool atSpace = lastSpace != std::u32string::npos;
            push(begin, atSpace ? lastSpace : i);
            begin = atSpace ? lastSpace + 1 : i;
            width = 0;
            for (size_t k = begin; k < i; ++k) width += advances[k];
            lastSpace = std::u32string::npos;
        }
        if (chars_[i] == ' ') lastSpace = i;
        width += a;
    }
}

bool TextFieldState::layout(const FontByName& fonts, size_t& edgeBudget, size_t maxLaidOut) {
    if (laidOut_ == revision && shape_) return false;
    if (chars_.size() > maxLaidOut) {  // what cannot show is dropped
        chars_.resize(maxLaidOut);
        formatOf_.resize(maxLaidOut);
        select(selBegin, selEnd);
    }
    breakLines(fonts, lines_, advances_);
    const double leading = paragraph.leading * 20;
    auto lineHeight = [&](const Line& L) { return L.ascent + L.descent + leading; };
    textWidth_ = 0;
    textHeight_ = 0;
    for (const Line& L : lines_) {
        textWidth_ = std::max(textWidth_, L.width / 20);
        textHeight_ += lineHeight(L) / 20;
    }
    if (!lines_.empty()) textHeight_ -= leading / 20;
    if (autoSize != AutoSize::None) {
        int32_t h = static_cast<int32_t>(std::ceil(textHeight_ * 20 + 2 * kGutter));
        bounds.yMax = bounds.yMin + h;
        if (!wordWrap) {
            int32_t w = static_cast<int32_t>(std::ceil(textWidth_ * 20 + 2 * kGutter +
                                                       (paragraph.leftMargin + paragraph.rightMargin) * 20));
            if (autoSize == AutoSize::Right) bounds.xMin = bounds.xMax - w;
            if (autoSize == AutoSize::Center) bounds.xMin += (bounds.width() - w) / 2;
            bounds.xMax = bounds.xMin + w;
        }
    }
    // The last first line that still shows every line after it.
    const double room = bounds.height() - 2 * kGutter;
    double used = 0;
    maxScroll_ = static_cast<int>(lines_.size());
    for (size_t li = lines_.size(); li-- > 0;) {
        used += lineHeight(lines_[li]) - (li + 1 == lines_.size() ? leading : 0);
        if (used > room + 1 && li + 1 < lines_.size()) break;
        maxScroll_ = static_cast<int>(li) + 1;
    }
    maxScroll_ = std::max(1, maxScroll_);
    if (focused && input && !lines_.empty()) {
        // Typing keeps the caret's line in view.
        size_t caretLine = lines_.size() - 1;
        for (size_t li = 0; li < lines_.size(); ++li)
            if (caret <= lines_[li].end) {
                caretLine = li;
                break;
            }
        if (static_cast<int>(caretLine) + 1 < scroll) scroll = static_cast<int>(caretLine) + 1;
        while (scroll < static_cast<int>(caretLine) + 1) {
            double h = 0;
            for (size_t li = static_cast<size_t>(scroll - 1); li <= caretLine; ++li)
                h += lineHeight(lines_[li]);
            if (h - leading <= room + 1) break;
            ++scroll;
        }
    }
    scroll = std::max(1, std::min(scroll, maxScroll_));

    TextShape out(edgeBudget);
    const Rgba white{255, 255, 255, 255}, black{0, 0, 0, 255};
    if (background || border) {
        Rect r = bounds;
        if (border) r = {bounds.xMin + 10, bounds.xMax - 10, bounds.yMin + 10, bounds.yMax - 10};
        if (r.xMin < r.xMax && r.yMin < r.yMax)
            out.addBox(r, background ? &backgroundColor : nullptr, border ? &borderColor : nullptr);
    }
    const double avail = bounds.width() - 2 * kGutter - (paragraph.leftMargin + paragraph.rightMargin) * 20;
    const double left = bounds.xMin + kGutter + paragraph.leftMargin * 20;
    struct Glyph {
        double x, y, scale;
        const std::vector<Edge>* outline;
        Rgba color;
    };
    std::vector<Glyph> glyphs;
    std::vector<Rect> underlines;
    std::vector<Rgba> underlineColors;
    Rect caretBox{0, 0, 0, 0};
    bool showCaret = false;
    double top = bounds.yMin + kGutter;
    bottomScroll_ = scroll;
    for (size_t li = static_cast<size_t>(scroll - 1); li < lines_.size(); ++li) {
        const Line& L = lines_[li];
        if (li > static_cast<size_t>(scroll - 1) && top + L.ascent + L.descent > bounds.yMax - kGutter + 20)
            break;
        bottomScroll_ = static_cast<int>(li) + 1;
        double x = left;
        if (paragraph.align == 1) x += avail - L.width;
        if (paragraph.align == 2) x += (avail - L.width) / 2;
        if (L.begin == 0 || (L.begin > 0 && isBreak(chars_[L.begin - 1]))) x += paragraph.indent * 20;
        const double baseline = top + L.ascent;
        for (size_t i = L.begin; i <= L.end; ++i) {
            if (focused && selBegin == selEnd && caret == i && (input || selectable)) {
                caretBox = {static_cast<int32_t>(x), static_cast<int32_t>(x + 20), static_cast<int32_t>(top),
                            static_cast<int32_t>(baseline + L.descent)};
                showCaret = true;
            }
            if (i == L.end) break;
            const CharFormat& f = formats_[formatOf_[i]];
            const bool selected = focused && i >= selBegin && i < selEnd;
            if (selected) {
                Rect r{static_cast<int32_t>(x), static_cast<int32_t>(x + advances_[i]),
                       static_cast<int32_t>(top), static_cast<int32_t>(baseline + L.descent)};
                out.addBox(r, &black, nullptr);
            }
            if (x < bounds.xMax - kGutter / 2) {
                const FontData* font = embedFonts ? fonts(f.font) : nullptr;
                int g = font ? font->glyphForCode(password ? U'*' : chars_[i]) : -1;
                const double size = std::max(1.0, f.size) * 20;
                if (g >= 0)
                    glyphs.push_back(
                        {x, baseline, size / font->emSize, &font->glyphs[g], selected ? white : f.color});
                if (f.underline && advances_[i] > 0) {
                    underlines.push_back(
                        {static_cast<int32_t>(x), static_cast<int32_t>(x + advances_[i]),
                         static_cast<int32_t>(baseline + size * 0.08),
                         static_cast<int32_t>(baseline + size * 0.08 + std::max(20.0, size / 16))});
                    underlineColors.push_back(f.color);
                }
            }
            x += advances_[i];
        }
        top += lineHeight(L);
    }
    bool open = false;
    Rgba runColor;
    for (const Glyph& g : glyphs) {
        if (!open || !(g.color == runColor)) {
            out.beginRun(g.color);
            runColor = g.color;
            open = true;
        }
        out.addGlyph(*g.outline, g.x, g.y, g.scale, Matrix());
    }
    for (size_t i = 0; i < underlines.size(); ++i) out.addBox(underlines[i], &underlineColors[i], nullptr);
    if (showCaret) out.addBox(caretBox, &black, nullptr);
    shape_ = out.finish(bounds);
    shape_->bounds = bounds;
    edges_ = 0;
    for (const ShapeLayer& L : shape_->layers) edges_ += L.edges.size();
    laidOut_ = revision;
    return true;
}

}  // namespace flash
