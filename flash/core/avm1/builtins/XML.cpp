// XMLNode and XML: a tree of script objects. A node's state lives in a
// hidden data object (its `internal`): type, name, value, parent,
// attributes and children; the members scripts read (firstChild,
// childNodes...) are accessors on XMLNode.prototype. An XML object is the
// document node; it parses text, loads files and makes new nodes.
#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"
#include "flash/core/avm1/XmlParser.h"

namespace flash {

namespace {

const int kMaxTreeDepth = 256;

// Keys of the data object (never seen by scripts, so never case-folded).
const char* const kType = "t";
const char* const kName = "n";
const char* const kValue = "v";
const char* const kParent = "p";
const char* const kAttributes = "a";

ScriptObject* dataOf(const Value& node) {
    if (node.type != Value::Object || !node.object) return nullptr;
    const Value& d = node.object->internal;
    return d.type == Value::Object && d.object && !d.object->isFunction() && d.object->props.count(kType)
               ? d.object.get()
               : nullptr;
}

Value field(ScriptObject* d, const char* k) {
    auto it = d->props.find(k);
    return it == d->props.end() ? Value() : it->second.value;
}

std::shared_ptr<ScriptObject> classProto(NativeCall& c, const char* name) {
    if (!c.engine().globals) return nullptr;
    const Value* ctor = c.engine().globals->find(c.vm.key(name));
    if (!ctor || ctor->type != Value::Object) return nullptr;
    const Value* p = ctor->object->find(c.vm.key("prototype"));
    return p && p->type == Value::Object ? p->object : nullptr;
}

// Gives `self` the state of a node; false when out of objects.
bool initNode(NativeCall& c, ScriptObject& self, int type, const Value& name, const Value& value) {
    Value d = c.vm.newObject();
    if (!d.object) return false;
    d.object->proto = nullptr;
    d.object->set(kType, Value::fromNumber(type));
    d.object->set(kName, name);
    d.object->set(kValue, value);
    d.object->set(kParent, Value::null());
    self.internal = d;
    return true;
}

Value newNode(NativeCall& c, int type, const Value& name, const Value& value) {
    Value n = c.vm.newObject();
    if (!n.object) return n;
    n.object->proto = classProto(c, "XMLNode");
    if (!initNode(c, *n.object, type, name, value)) return Value();
    return n;
}

std::vector<Value>& kidsOf(ScriptObject* d) { return d->elements; }

Value parentOf(ScriptObject* d) {
    Value p = field(d, kParent);
    return p.type == Value::Object ? p : Value::null();
}

void detach(const Value& node) {
    ScriptObject* d = dataOf(node);
    if (!d) return;
    Value p = parentOf(d);
    if (ScriptObject* pd = dataOf(p)) {
        auto& kids = kidsOf(pd);
        for (size_t i = 0; i < kids.size(); ++i) {
            if (kids[i].object == node.object) {
                kids.erase(kids.begin() + static_cast<long>(i));
                break;
            }
        }
    }
    d->set(kParent, Value::null());
}

// Whether `node` is `other` or holds it.
bool contains(const Value& node, const Value& other) {
    int hops = 0;
    for (Value p = other; p.type == Value::Object && hops < 4096; ++hops) {
        if (p.object == node.object) return true;
        ScriptObject* d = dataOf(p);
        if (!d) return false;
        p = parentOf(d);
    }
    return false;
}

// Puts `child` under `parent` before index `at`.
bool insert(const Value& parent, const Value& child, size_t at) {
    ScriptObject* pd = dataOf(parent);
    if (!pd || !dataOf(child) || contains(child, parent) || kidsOf(pd).size() >= kMaxElements) return false;
    detach(child);
    auto& kids = kidsOf(pd);
    at = std::min(at, kids.size());
    kids.insert(kids.begin() + static_cast<long>(at), child);
    dataOf(child)->set(kParent, parent);
    return true;
}

// ---- Building from parsed text ----

void build(NativeCall& c, const Value& parent, const XmlNode& n, int depth) {
    if (depth > kMaxTreeDepth) return;
    for (const XmlNode& k : n.children) {
        if (c.frame.budget <= 0) return;
        c.charge(1 + k.value.size() / 64);
        Value node = k.type == XmlNode::Text ? newNode(c, 3, Value::null(), Value::fromString(k.value))
                                             : newNode(c, 1, Value::fromString(k.name), Value::null());
        if (!node.object || !insert(parent, node, kMaxElements)) return;
        if (k.type != XmlNode::Element) continue;
        if (!k.attributes.empty()) {
            Value attrs = c.vm.newObject();
            if (!attrs.object) return;
            for (const auto& a : k.attributes)
                attrs.object->set(c.vm.key(a.first), Value::fromString(a.second));
            dataOf(node)->set(kAttributes, attrs);
        }
        build(c, node, k, depth + 1);
    }
}

void parseInto(NativeCall& c, const Value& self, const std::string& text) {
    ScriptObject* d = dataOf(self);
    if (!d) return;
    for (Value& k : kidsOf(d))
        if (ScriptObject* kd = dataOf(k)) kd->set(kParent, Value::null());
    kidsOf(d).clear();
    c.charge(text.size() / 32);
    Value ignore = c.vm.getMember(c.frame, self, "ignoreWhite");
    XmlDocument doc = parseXml(text, c.vm.toBool(ignore), 100000, kMaxTreeDepth);
    build(c, self, doc.root, 0);
    ScriptObject& o = *self.object;
    o.set(c.vm.key("status"), Value::fromNumber(doc.status));
    o.set(c.vm.key("xmlDecl"), doc.xmlDecl.empty() ? Value() : Value::fromString(doc.xmlDecl));
    o.set(c.vm.key("docTypeDecl"), doc.docTypeDecl.empty() ? Value() : Value::fromString(doc.docTypeDecl));
}

// ---- Text of a tree ----

void write(NativeCall& c, const Value& node, std::string& out, int depth) {
    ScriptObject* d = dataOf(node);
    if (!d || depth > kMaxTreeDepth || out.size() > kMaxString) return;
    c.charge(1);
    if (c.vm.toNum(field(d, kType)) == 3) {
        out += xmlEscape(c.vm.toStr(field(d, kValue)));
        return;
    }
    Value name = field(d, kName);
    bool named = name.type == Value::String;
    if (named) {
        out += '<' + name.string;
        Value attrs = field(d, kAttributes);
        // Attributes in the order they were given.
        if (attrs.type == Value::Object)
            for (const auto* kv : attrs.object->inOrder())
                if (!(kv->second.flags & kDontEnum) && !kv->second.isAccessor())
                    out += ' ' + kv->first + "=\"" + xmlEscape(c.vm.toStr(kv->second.value)) + '"';
        if (kidsOf(d).empty()) {
            out += " />";
            return;
        }
        out += '>';
    }
    std::vector<Value> kids = kidsOf(d);
    for (const Value& k : kids) write(c, k, out, depth + 1);
    if (named) out += "</" + name.string + '>';
}

// ---- XMLNode ----

Value nodeCtor(NativeCall& c) {
    if (!c.self()) return Value();
    int type = clampToInt(c.num(0, 1)) == 3 ? 3 : 1;
    Value v = Value::fromString(c.str(1));
    initNode(c, *c.self(), type, type == 1 ? v : Value::null(), type == 3 ? v : Value::null());
    return Value();
}

Value nodeType(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    return d ? field(d, kType) : Value();
}

Value nodeName(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    return d ? field(d, kName) : Value();
}

Value setNodeName(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    if (d && c.vm.toNum(field(d, kType)) == 1) d->set(kName, Value::fromString(c.str(0)));
    return Value();
}

Value nodeValue(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    return d ? field(d, kValue) : Value();
}

Value setNodeValue(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    if (d && c.vm.toNum(field(d, kType)) == 3) d->set(kValue, Value::fromString(c.str(0)));
    return Value();
}

Value firstChild(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    return d && !kidsOf(d).empty() ? kidsOf(d).front() : Value::null();
}

Value lastChild(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    return d && !kidsOf(d).empty() ? kidsOf(d).back() : Value::null();
}

Value parentNode(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    return d ? parentOf(d) : Value::null();
}

Value sibling(NativeCall& c, int step) {
    ScriptObject* d = dataOf(c.thisValue);
    ScriptObject* pd = d ? dataOf(parentOf(d)) : nullptr;
    if (!pd) return Value::null();
    auto& kids = kidsOf(pd);
    for (size_t i = 0; i < kids.size(); ++i) {
        if (kids[i].object != c.thisValue.object) continue;
        long j = static_cast<long>(i) + step;
        return j >= 0 && j < static_cast<long>(kids.size()) ? kids[j] : Value::null();
    }
    return Value::null();
}

Value nextSibling(NativeCall& c) { return sibling(c, 1); }
Value previousSibling(NativeCall& c) { return sibling(c, -1); }

Value childNodes(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    Value a = c.vm.newObject(true);
    if (d && a.object) {
        a.object->elements = kidsOf(d);
        c.charge(a.object->elements.size() / 16);
    }
    return a;
}

Value attributes(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    if (!d) return Value();
    Value a = field(d, kAttributes);
    if (a.type != Value::Object) {
        a = c.vm.newObject();
        if (a.object) d->set(kAttributes, a);
    }
    return a;
}

Value appendChild(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    if (d) insert(c.thisValue, c.arg(0), kidsOf(d).size());
    return Value();
}

Value insertBefore(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    if (!d) return Value();
    auto& kids = kidsOf(d);
    for (size_t i = 0; i < kids.size(); ++i)
        if (kids[i].object == c.arg(1).object && c.arg(1).type == Value::Object) {
            insert(c.thisValue, c.arg(0), i);
            break;
        }
    return Value();
}

Value removeNode(NativeCall& c) {
    detach(c.thisValue);
    return Value();
}

Value hasChildNodes(NativeCall& c) {
    ScriptObject* d = dataOf(c.thisValue);
    return c.vm.boolResult(d && !kidsOf(d).empty());
}

Value copy(NativeCall& c, const Value& node, bool deep, int depth) {
    ScriptObject* d = dataOf(node);
    if (!d || depth > kMaxTreeDepth || c.frame.budget <= 0) return Value();
    c.charge(1);
    Value n = newNode(c, clampToInt(c.vm.toNum(field(d, kType))), field(d, kName), field(d, kValue));
    ScriptObject* nd = dataOf(n);
    if (!nd) return Value();
    Value attrs = field(d, kAttributes);
    if (attrs.type == Value::Object) {
        Value a = c.vm.newObject();
        if (a.object) {
            a.object->props = attrs.object->props;
            a.object->added = attrs.object->added;
            nd->set(kAttributes, a);
        }
    }
    if (deep) {
        std::vector<Value> kids = kidsOf(d);
        for (const Value& k : kids) {
            Value kc = copy(c, k, true, depth + 1);
            if (kc.type == Value::Object) insert(n, kc, kMaxElements);
        }
    }
    return n;
}

Value cloneNode(NativeCall& c) { return copy(c, c.thisValue, c.vm.toBool(c.arg(0)), 0); }

Value nodeToString(NativeCall& c) {
    std::string out;
    write(c, c.thisValue, out, 0);
    if (out.size() > kMaxString) out.resize(kMaxString);
    return Value::fromString(out);
}

// ---- XML ----

Value xmlCtor(NativeCall& c) {
    if (!c.self() || !initNode(c, *c.self(), 1, Value::null(), Value::null())) return Value();
    if (!c.args.empty() && c.arg(0).type != Value::Undefined) parseInto(c, c.thisValue, c.str(0));
    return Value();
}

Value xmlToString(NativeCall& c) {
    std::string out;
    if (ScriptObject* o = c.self()) {
        for (const char* k : {"xmlDecl", "docTypeDecl"}) {
            const Value* v = o->find(c.vm.key(k));
            if (v && v->type == Value::String) out += v->string;
        }
    }
    write(c, c.thisValue, out, 0);
    if (out.size() > kMaxString) out.resize(kMaxString);
    return Value::fromString(out);
}

Value parseXML(NativeCall& c) {
    parseInto(c, c.thisValue, c.str(0));
    return Value();
}

Value createElement(NativeCall& c) { return newNode(c, 1, Value::fromString(c.str(0)), Value::null()); }
Value createTextNode(NativeCall& c) { return newNode(c, 3, Value::null(), Value::fromString(c.str(0))); }

// sendAndLoad(url, target): this document is posted, the answer parsed
// into `target`.
Value xmlSendAndLoad(NativeCall& c) {
    if (c.arg(1).type != Value::Object) return c.vm.boolResult(false);
    return sendAndLoadData(c, c.vm.toStr(xmlToString(c)), false, 2);
}

// send(url[, window, method]): this document shown in a browser window,
// posted unless "GET" is asked for.
Value xmlSend(NativeCall& c) {
    return sendData(c, c.vm.toStr(xmlToString(c)), false, sendMethod(c.str(2)) == 1 ? 1 : 2);
}

Value xmlOnData(NativeCall& c) {
    return dataArrived(c, [&](const std::string& text) { parseInto(c, c.thisValue, text); });
}

}  // namespace

void installXML(Realm& realm) {
    std::shared_ptr<ScriptObject> node = realm.defineClass("XMLNode", nodeCtor);
    if (!node) return;
    realm.accessor(*node, "nodeType", nodeType, nullptr);
    realm.accessor(*node, "nodeName", nodeName, setNodeName);
    realm.accessor(*node, "nodeValue", nodeValue, setNodeValue);
    realm.accessor(*node, "firstChild", firstChild, nullptr);
    realm.accessor(*node, "lastChild", lastChild, nullptr);
    realm.accessor(*node, "parentNode", parentNode, nullptr);
    realm.accessor(*node, "nextSibling", nextSibling, nullptr);
    realm.accessor(*node, "previousSibling", previousSibling, nullptr);
    realm.accessor(*node, "childNodes", childNodes, nullptr);
    realm.accessor(*node, "attributes", attributes, nullptr);
    realm.methods(*node, {{"appendChild", appendChild},
                          {"insertBefore", insertBefore},
                          {"removeNode", removeNode},
                          {"hasChildNodes", hasChildNodes},
                          {"cloneNode", cloneNode},
                          {"toString", nodeToString}});
    std::shared_ptr<ScriptObject> xml = realm.defineClass("XML", xmlCtor, node);
    if (!xml) return;
    realm.methods(*xml, {{"parseXML", parseXML},
                         {"createElement", createElement},
                         {"createTextNode", createTextNode},
                         {"load", loadDataObject},
                         {"send", xmlSend},
                         {"sendAndLoad", xmlSendAndLoad},
                         {"onData", xmlOnData},
                         {"toString", xmlToString},
                         {"getBytesLoaded", dataBytesLoaded},
                         {"getBytesTotal", dataBytesTotal}});
    xml->set(realm.key("ignoreWhite"), Value::fromBool(false), kDontEnum);
    xml->set(realm.key("status"), Value::fromNumber(0), kDontEnum);
    xml->set(realm.key("contentType"), Value::fromString("application/x-www-form-urlencoded"), kDontEnum);
}

}  // namespace flash
