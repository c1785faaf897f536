#include "flash/core/avm1/XmlParser.h"

#include <cstdlib>
#include <cstring>

#include "flash/core/avm1/Builtins.h"

namespace flash {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isNameChar(char c) {
    return !isSpace(c) && c != '>' && c != '/' && c != '=' && c != '<' && c != '"' && c != '\'' && c != 0;
}

struct Parser {
    const std::string& s;
    bool ignoreWhite;
    size_t maxNodes;
    int maxDepth;
    XmlDocument& doc;
    size_t i = 0;

    bool starts(const char* p) const { return s.compare(i, std::strlen(p), p) == 0; }

    bool addText(XmlNode& parent, const std::string& raw, bool cdata) {
        if (raw.empty()) return true;
        if (ignoreWhite && !cdata) {
            bool white = true;
            for (char c : raw) white = white && isSpace(c);
            if (white) return true;
        }
        if (++doc.nodes > maxNodes) return fail(-7);
        XmlNode t;
        t.type = XmlNode::Text;
        t.value = cdata ? raw : xmlUnescape(raw);
        parent.children.push_back(std::move(t));
        return true;
    }

    bool fail(int status) {
        if (doc.status == 0) doc.status = status;
        return false;
    }

    // Skips to `end`; false (with `status`) when the text ends first.
    bool skipPast(const char* end, int status, std::string* body) {
        size_t at = s.find(end, i);
        if (at == std::string::npos) {
            i = s.size();
            return fail(status);
        }
        if (body) *body = s.substr(i, at - i);
        i = at + std::strlen(end);
        return true;
    }

    std::string name() {
        size_t b = i;
        while (i < s.size() && isNameChar(s[i])) ++i;
        return s.substr(b, i - b);
    }

    void skipSpace() {
        while (i < s.size() && isSpace(s[i])) ++i;
    }

    // Reads the children of `parent` up to its end tag (or the text's end
    // for the document). Returns false when parsing stops.
    bool content(XmlNode& parent, int depth) {
        while (i < s.size()) {
            size_t lt = s.find('<', i);
            if (lt == std::string::npos) lt = s.size();
            if (!addText(parent, s.substr(i, lt - i), false)) return false;
            i = lt;
            if (i >= s.size()) break;
            if (starts("<!--")) {
                i += 4;
                if (!skipPast("-->", -5, nullptr)) return false;
            } else if (starts("<![CDATA[")) {
                i += 9;
                std::string body;
                if (!skipPast("]]>", -2, &body)) return false;
                if (!addText(parent, body, true)) return false;
            } else if (starts("<?")) {
                size_t b = i;
                if (!skipPast("?>", -3, nullptr)) return false;
                doc.xmlDecl += s.substr(b, i - b);
            } else if (starts("<!")) {
                size_t b = i;
                if (!skipPast(">", -4, nullptr)) return false;
                doc.docTypeDecl += s.substr(b, i - b);
            } else if (starts("</")) {
                i += 2;
                std::string n = name();
                skipSpace();
                if (i >= s.size() || s[i] != '>') return fail(-6);
                ++i;
                if (depth == 0) return fail(-9);
                if (n != parent.name) return fail(-10);
                return true;
            } else {
                if (!element(parent, depth)) return false;
            }
        }
        if (depth > 0) return fail(-10);
        return true;
    }

    bool element(XmlNode& parent, int depth) {
        ++i;  // '<'
        XmlNode e;
        e.name = name();
        if (e.name.empty()) return fail(-6);
        if (depth >= maxDepth || ++doc.nodes > maxNodes) return fail(-7);
        for (;;) {
            skipSpace();
            if (i >= s.size()) return fail(-6);
            if (s[i] == '>' || s[i] == '/') break;
            std::string an = name();
            if (an.empty()) return fail(-6);
            skipSpace();
            if (i >= s.size() || s[i] != '=') return fail(-6);
            ++i;
            skipSpace();
            if (i >= s.size() || (s[i] != '"' && s[i] != '\'')) return fail(-6);
            char q = s[i++];
            size_t end = s.find(q, i);
            if (end == std::string::npos) return fail(-8);
            std::string v = xmlUnescape(s.substr(i, end - i));
            i = end + 1;
            bool dup = false;
            for (auto& a : e.attributes) dup = dup || a.first == an;
            if (!dup) e.attributes.emplace_back(std::move(an), std::move(v));
        }
        bool empty = s[i] == '/';
        if (empty) {
            ++i;
            if (i >= s.size() || s[i] != '>') return fail(-6);
        }
        ++i;
        parent.children.push_back(std::move(e));
        if (empty) return true;
        return content(parent.children.back(), depth + 1);
    }
};

}  // namespace

XmlDocument parseXml(const std::string& text, bool ignoreWhite, size_t maxNodes, int maxDepth) {
    XmlDocument doc;
    Parser p{text, ignoreWhite, maxNodes, maxDepth, doc};
    p.content(doc.root, 0);
    return doc;
}

std::string xmlUnescape(const std::string& s) {
    if (s.find('&') == std::string::npos) return s;
    static const struct {
        const char* name;
        char ch;
    } kNamed[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out.push_back(s[i]);
            continue;
        }
        bool done = false;
        for (const auto& n : kNamed) {
            if (s.compare(i + 1, std::strlen(n.name), n.name) == 0) {
                out.push_back(n.ch);
                i += std::strlen(n.name);
                done = true;
                break;
            }
        }
        if (!done && i + 2 < s.size() && s[i + 1] == '#') {
            size_t semi = s.find(';', i);
            if (semi != std::string::npos && semi - i <= 10) {
                bool hex = s[i + 2] == 'x' || s[i + 2] == 'X';
                std::string digits = s.substr(i + (hex ? 3 : 2), semi - i - (hex ? 3 : 2));
                char* end = nullptr;
                unsigned long cp = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
                if (!digits.empty() && end && *end == 0 && cp > 0 && cp < 0x110000) {
                    appendUtf8(out, static_cast<unsigned>(cp));
                    i = semi;
                    done = true;
                }
            }
        }
        if (!done) out.push_back('&');
    }
    return out;
}

std::string xmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&apos;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

}  // namespace flash
