// libFuzzer target for the ini reader and writer. Whatever is read from the
// input, saved again (into the same text and into a fresh file) and read back
// must give the same sections, keys and values; untouched text is written
// back byte for byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/AnsiText.h"
#include "platform/IniFile.h"

namespace {

struct Value {
    std::string section, key, value;
};

// Names the writer can hold: a lone CR becomes a space, and a malformed
// two-byte character can swallow the closing bracket of a header.
bool Writable(const std::string& section, const std::string& key) {
    kv::IniFile probe = kv::IniFile::fromText("", "");
    probe.writeString(section, key, "1");
    kv::IniFile back = kv::IniFile::fromText("", probe.text());
    const std::vector<std::string> keys = back.readSection(section);
    return keys.size() == 1 && keys.front() == key && (section.empty() || back.readSections().size() == 1);
}

// Every value readable by name: the unnamed section first, then each named one.
std::vector<Value> ReadAll(const kv::IniFile& ini) {
    std::vector<Value> out;
    std::vector<std::string> sections = ini.readSections();
    sections.insert(sections.begin(), std::string());
    for (const std::string& s : sections) {
        for (const std::string& k : ini.readSection(s)) {
            if (Writable(s, k)) out.push_back({s, k, ini.readString(s, k, "\x01")});
        }
    }
    return out;
}

// The writer turns line breaks into spaces on purpose; a value read can hold
// a lone CR, which is then the only difference allowed.
std::string OneLine(std::string s) {
    for (char& c : s) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return s;
}

void ExpectSameValues(const std::vector<Value>& values, const kv::IniFile& ini) {
    for (const Value& v : values) {
        if (ini.readString(v.section, v.key, "\x01") != OneLine(v.value)) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    kv::IniFile ini = kv::IniFile::fromText("fuzz.ini", input);
    const std::vector<Value> values = ReadAll(ini);

    // Unchanged: the same bytes (less a byte-order mark) and the same values.
    const std::string same = ini.text();
    const std::string bom = "\xEF\xBB\xBF";
    std::string expected = input.compare(0, 3, bom) == 0 ? input.substr(3) : input;
    if (expected.compare(0, 3, bom) == 0) expected.insert(0, "\r\n");  // a second mark stays a line's text
    if (same != expected) __builtin_trap();

    // Each value written back in place, then read again.
    for (const Value& v : values) ini.writeString(v.section, v.key, v.value);
    ExpectSameValues(values, kv::IniFile::fromText("fuzz.ini", ini.text()));

    // The same values written into an empty file, then read again.
    kv::IniFile fresh = kv::IniFile::fromText("fresh.ini", "");
    for (const Value& v : values) fresh.writeString(v.section, v.key, v.value);
    ExpectSameValues(values, kv::IniFile::fromText("fresh.ini", fresh.text()));

    // A section rewritten in place keeps what the other sections hold.
    if (!values.empty()) {
        const std::string& target = values.front().section;
        kv::IniFile rewritten = kv::IniFile::fromText("fuzz.ini", input);
        rewritten.emptySection(target);
        rewritten.writeString(target, "File1", "x");
        kv::IniFile back = kv::IniFile::fromText("fuzz.ini", rewritten.text());
        for (const Value& v : values) {
            if (kv::AnsiLowerAscii(v.section) == kv::AnsiLowerAscii(target)) continue;
            if (back.readString(v.section, v.key, "\x01") != v.value) __builtin_trap();
        }
    }
    return 0;
}
