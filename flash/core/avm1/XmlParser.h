// The XML text XML objects parse, as a plain tree: elements with their
// attributes in order, text (CDATA included) and the declarations. Bounded
// in nodes and nesting; what was read before an error stays.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace flash {

struct XmlNode {
    enum Type { Element = 1, Text = 3 } type = Element;
    std::string name;   // elements
    std::string value;  // text
    std::vector<std::pair<std::string, std::string>> attributes;
    std::vector<XmlNode> children;
};

struct XmlDocument {
    XmlNode root;  // an element without a name: the document
    std::string xmlDecl, docTypeDecl;
    // 0 fine; -2 CDATA, -3 declaration, -4 DOCTYPE, -5 comment not ended;
    // -6 malformed element, -7 too big, -8 attribute value not ended,
    // -9 end tag without its start, -10 element not ended.
    int status = 0;
    size_t nodes = 0;
};

// ignoreWhite drops text nodes of white space only.
XmlDocument parseXml(const std::string& text, bool ignoreWhite, size_t maxNodes = 100000, int maxDepth = 256);
// &amp; &lt; &gt; &quot; &apos; &#n; &#xn; replaced.
std::string xmlUnescape(const std::string& s);
// & < > " ' as entities.
std::string xmlEscape(const std::string& s);

}  // namespace flash
