// Array: the constructor and Array.prototype.
#include <algorithm>
#include <cmath>

#include "flash/core/avm1/Builtins.h"
#include "flash/core/avm1/Frame.h"

namespace flash {

namespace {

// `this` as an array, or null.
ScriptObject* thisArray(NativeCall& c) {
    ScriptObject* o = c.self();
    return o && o->isArray ? o : nullptr;
}

Value arrayCtor(NativeCall& c) {
    Value a = c.vm.newObject(true);
    if (!a.object) return a;
    if (c.args.size() == 1 && c.args[0].type == Value::Number) {
        double n = c.args[0].number;
        if (std::isfinite(n) && n >= 0 && n <= kMaxElements)
            a.object->elements.resize(static_cast<size_t>(n));
    } else {
        a.object->elements = c.args;
    }
    return a;
}

Value pushOrUnshift(NativeCall& c, bool atEnd) {
    ScriptObject* o = thisArray(c);
    if (!o) return Value();
    std::vector<Value>& el = o->elements;
    c.charge(c.args.size() + (atEnd ? 0 : el.size() / 64));
    if (el.size() + c.args.size() <= kMaxElements)
        el.insert(atEnd ? el.end() : el.begin(), c.args.begin(), c.args.end());
    return Value::fromNumber(static_cast<double>(el.size()));
}

Value push(NativeCall& c) { return pushOrUnshift(c, true); }
Value unshift(NativeCall& c) { return pushOrUnshift(c, false); }

Value pop(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (!o || o->elements.empty()) return Value();
    Value v = o->elements.back();
    o->elements.pop_back();
    return v;
}

Value shift(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (!o || o->elements.empty()) return Value();
    c.charge(o->elements.size() / 64);
    Value v = o->elements.front();
    o->elements.erase(o->elements.begin());
    return v;
}

Value join(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (!o) return Value();
    std::string sep = c.args.empty() ? "," : c.str(0);
    std::string s;
    for (size_t i = 0; i < o->elements.size() && s.size() <= kMaxString; ++i) {
        if (i) s += sep;
        s += c.vm.toStr(o->elements[i]);
        c.charge(1);
    }
    if (s.size() > kMaxString) s.resize(kMaxString);
    return Value::fromString(s);
}

Value reverse(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (o) std::reverse(o->elements.begin(), o->elements.end());
    return c.thisValue;
}

Value concat(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    Value a = c.vm.newObject(true);
    if (!o || !a.object) return a;
    std::vector<Value>& out = a.object->elements;
    out = o->elements;
    for (const Value& v : c.args) {
        if (out.size() >= kMaxElements) break;
        if (v.type == Value::Object && v.object && v.object->isArray) {
            for (const Value& e : v.object->elements) {
                if (out.size() >= kMaxElements) break;
                out.push_back(e);
            }
        } else {
            out.push_back(v);
        }
    }
    c.charge(out.size() / 16);
    return a;
}

Value slice(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    Value a = c.vm.newObject(true);
    if (!o || !a.object) return a;
    long n = static_cast<long>(o->elements.size());
    double b = c.num(0, 0), e = c.args.size() > 1 ? c.num(1, 0) : static_cast<double>(n);
    if (b < 0) b += n;
    if (e < 0) e += n;
    long x = std::isnan(b) ? 0 : static_cast<long>(std::max(0.0, std::min<double>(n, b)));
    long y = std::isnan(e) ? 0 : static_cast<long>(std::max(0.0, std::min<double>(n, e)));
    for (long i = x; i < y; ++i) a.object->elements.push_back(o->elements[i]);
    c.charge(a.object->elements.size() / 16);
    return a;
}

Value arrayToString(NativeCall& c) { return Value::fromString(c.vm.toStr(c.thisValue)); }

Value splice(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    Value removed = c.vm.newObject(true);
    if (!o || !removed.object || c.args.empty()) return removed;
    std::vector<Value>& el = o->elements;
    long n = static_cast<long>(el.size());
    double s = c.num(0, 0);
    if (std::isnan(s)) s = 0;
    if (s < 0) s += n;
    long start = static_cast<long>(std::max(0.0, std::min<double>(n, std::trunc(s))));
    double k = c.args.size() > 1 ? c.num(1, 0) : static_cast<double>(n - start);
    long count =
        std::isnan(k) ? 0 : static_cast<long>(std::max(0.0, std::min<double>(n - start, std::trunc(k))));
    removed.object->elements.assign(el.begin() + start, el.begin() + start + count);
    el.erase(el.begin() + start, el.begin() + start + count);
    if (c.args.size() > 2 && el.size() + c.args.size() - 2 <= kMaxElements)
        el.insert(el.begin() + start, c.args.begin() + 2, c.args.end());
    c.charge(el.size() / 32 + c.args.size());
    return removed;
}

enum SortFlag {
    kCaseInsensitive = 1,
    kDescending = 2,
    kUniqueSort = 4,
    kReturnIndexedArray = 8,
    kNumeric = 16
};

// Compares two elements the way sort does without a function: as strings,
// or as numbers with NUMERIC; undefined sorts last.
int compareValues(NativeCall& c, const Value& a, const Value& b, int flags) {
    if (a.type == Value::Undefined || b.type == Value::Undefined)
        return (a.type == Value::Undefined) - (b.type == Value::Undefined);
    if (flags & kNumeric) {
        double x = c.vm.toNum(a), y = c.vm.toNum(b);
        if (std::isnan(x) || std::isnan(y)) return std::isnan(x) - std::isnan(y);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    std::string x = c.vm.toStr(a), y = c.vm.toStr(b);
    if (flags & kCaseInsensitive) {
        x = foldCase(x);
        y = foldCase(y);
    }
    return x < y ? -1 : (x > y ? 1 : 0);
}

// A merge sort of indexes: stable, and safe with a comparison function
// that is not consistent.
template <typename Less>
void mergeSort(std::vector<size_t>& idx, Less less) {
    std::vector<size_t> tmp(idx.size());
    for (size_t width = 1; width < idx.size(); width *= 2) {
        for (size_t lo = 0; lo < idx.size(); lo += 2 * width) {
            size_t mid = std::min(lo + width, idx.size()), hi = std::min(lo + 2 * width, idx.size());
            size_t i = lo, j = mid, k = lo;
            while (i < mid && j < hi) tmp[k++] = less(idx[j], idx[i]) ? idx[j++] : idx[i++];
            while (i < mid) tmp[k++] = idx[i++];
            while (j < hi) tmp[k++] = idx[j++];
        }
        idx.swap(tmp);
    }
}

// Sorts `el` by `cmp` (negative: a before b) with the common flags; returns
// the result sort gives (the array, an index array or 0 for a failed
// unique sort).
template <typename Cmp>
Value sortBy(NativeCall& c, ScriptObject& o, int flags, Cmp cmp) {
    std::vector<Value>& el = o.elements;
    std::vector<size_t> idx(el.size());
    for (size_t i = 0; i < idx.size(); ++i) idx[i] = i;
    bool equalSeen = false;
    c.charge(el.size() * 4);
    mergeSort(idx, [&](size_t a, size_t b) {
        if (c.frame.budget <= 0) return false;
        int r = cmp(el[a], el[b]);
        if (r == 0) equalSeen = true;
        return (flags & kDescending) ? r > 0 : r < 0;
    });
    if ((flags & kUniqueSort) && equalSeen) return Value::fromNumber(0);
    if (flags & kReturnIndexedArray) {
        Value r = c.vm.newObject(true);
        if (r.object)
            for (size_t i : idx) r.object->elements.push_back(Value::fromNumber(static_cast<double>(i)));
        return r;
    }
    std::vector<Value> sorted;
    sorted.reserve(el.size());
    for (size_t i : idx) sorted.push_back(el[i]);
    el.swap(sorted);
    return c.thisValue;
}

// sort(), sort(flags), sort(compareFunction [, flags]).
Value sort(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (!o) return Value();
    Value fn = c.arg(0);
    bool hasFn = fn.type == Value::Object && fn.object && fn.object->isFunction();
    int flags = clampToInt(c.num(hasFn ? 1 : 0, 0));
    if (!hasFn)
        return sortBy(c, *o, flags,
                      [&](const Value& a, const Value& b) { return compareValues(c, a, b, flags); });
    return sortBy(c, *o, flags, [&](const Value& a, const Value& b) {
        std::vector<Value> args{a, b};
        double r = c.vm.toNum(c.vm.call(c.frame, fn, Value(), args, c.depth + 1));
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    });
}

// sortOn("field" or ["f1", "f2"], flags or [flags...]).
Value sortOn(NativeCall& c) {
    ScriptObject* o = thisArray(c);
    if (!o) return Value();
    std::vector<std::string> fields;
    std::vector<int> fieldFlags;
    Value names = c.arg(0), flagArg = c.arg(1);
    if (names.type == Value::Object && names.object && names.object->isArray) {
        for (const Value& v : names.object->elements) fields.push_back(c.vm.toStr(v));
    } else {
        fields.push_back(c.vm.toStr(names));
    }
    int common = 0;
    if (flagArg.type == Value::Object && flagArg.object && flagArg.object->isArray) {
        for (const Value& v : flagArg.object->elements) fieldFlags.push_back(clampToInt(c.vm.toNum(v)));
    } else {
        common = clampToInt(c.num(1, 0));
    }
    fieldFlags.resize(fields.size(), common);
    int outer = common & (kUniqueSort | kReturnIndexedArray);
    return sortBy(c, *o, outer, [&](const Value& a, const Value& b) {
        for (size_t i = 0; i < fields.size(); ++i) {
            int r = compareValues(c, c.vm.getMember(c.frame, a, fields[i]),
                                  c.vm.getMember(c.frame, b, fields[i]), fieldFlags[i]);
            if (fieldFlags[i] & kDescending) r = -r;
            if (r != 0) return r;
        }
        return 0;
    });
}

}  // namespace

void installArray(Realm& realm) {
    std::shared_ptr<ScriptObject> proto = realm.defineClass("Array", arrayCtor);
    if (!proto) return;
    realm.protos().array = proto;
    realm.methods(*proto, {{"push", push},
                           {"unshift", unshift},
                           {"pop", pop},
                           {"shift", shift},
                           {"join", join},
                           {"reverse", reverse},
                           {"concat", concat},
                           {"slice", slice},
                           {"toString", arrayToString},
                           {"splice", splice},
                           {"sort", sort},
                           {"sortOn", sortOn}});
    const Value* ctor = realm.global.find(realm.key("Array"));
    if (!ctor || !ctor->object) return;
    static const struct {
        const char* name;
        int flag;
    } kFlags[] = {{"CASEINSENSITIVE", kCaseInsensitive},
                  {"DESCENDING", kDescending},
                  {"UNIQUESORT", kUniqueSort},
                  {"RETURNINDEXEDARRAY", kReturnIndexedArray},
                  {"NUMERIC", kNumeric}};
    for (const auto& f : kFlags) realm.constant(*ctor->object, f.name, Value::fromNumber(f.flag));
}

}  // namespace flash
