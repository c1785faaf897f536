// Reader and writer of the Windows private-profile (ini) text format.
//
// The whole file is read when the object is made (a missing file reads as
// empty; one that exists but cannot be read also reads as empty and is never
// saved over); writes change only the copy in memory until updateFile(),
// which replaces the file in one step. A UTF-8 byte-order mark before the
// first line is skipped (and not written back). Section and key names are
// compared ignoring the case of ASCII letters; two-byte GBK characters are
// compared byte for byte. Lines are kept in place and in order, and every
// line that was not changed is written back byte for byte (blank lines,
// comments, blanks around '=', LF line ends); a new key goes after the last
// line of its section that is not blank, a new section to the end of the
// file. Lines written are laid out as Windows writes them ("[Section]" and
// "key=value" lines, CRLF line ends).
//
// Where this differs on purpose from the Windows profile functions:
// - eraseSection removes every section of that name, not only the first;
// - line breaks inside a written name or value become spaces, so a value can
//   never add lines of its own to the file;
// - a value read is cut at 2047 bytes without splitting a GBK character;
// - readSection leaves out keys with an empty name instead of giving up;
// - names are stored with surrounding blanks trimmed;
// - a file marked read-only is never replaced, even where the system would
//   allow it (an administrator under Wine).
// - a value that would lose blanks or quotes on reading is written in quotes,
//   so whatever is written reads back the same;
// An integer must be the whole value: "12abc" is no number and gives the
// default, where GetPrivateProfileInt would read 12.
// Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kv {

// The error of a file that could not be written; the message is
// "Unable to write to <file name>".
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const std::string& fileName);
    const std::string& fileName() const { return fileName_; }

private:
    std::string fileName_;
};

#ifdef _WIN32
// Deletes the temporary files that updateFile() makes in `folder` (ending in
// a backslash) and that a killed save can leave behind; returns how many.
// Only names of the exact pattern are touched. Windows only.
int RemoveStaleSaveFiles(const std::string& folder);
#endif

class IniFile {
public:
    // Longest value readString returns, in bytes.
    static constexpr std::size_t kMaxValueLength = 2047;

    explicit IniFile(std::string path);
    // An object reading `text` as its file's contents, for `path`.
    static IniFile fromText(std::string path, const std::string& text);

    const std::string& path() const { return path_; }
    // True when the file exists but could not be read; updateFile() then
    // refuses to replace it.
    bool readFailed() const { return readFailed_; }

    // The value of the first key of that name in the first section of that
    // name; surrounding quotes (" or ') are removed; `def` when absent or
    // when the line has no '='.
    std::string readString(const std::string& section, const std::string& key, const std::string& def) const;
    // Decimal or "0x"/"0X" hexadecimal, optionally signed; `def` when absent,
    // empty, not a number or out of range.
    int readInteger(const std::string& section, const std::string& key, int def) const;
    // Non-zero integer → true, zero → false; `def` when absent or not a number.
    bool readBool(const std::string& section, const std::string& key, bool def) const;
    // Key names of the first section of that name in file order (lines with
    // '=' only, comments starting with ';' left out).
    std::vector<std::string> readSection(const std::string& section) const;
    // Section names in file order (a repeated section is listed again).
    std::vector<std::string> readSections() const;
    // True when the file has a header of that name, even with no keys under it.
    bool sectionExists(const std::string& section) const;
    // True when readSection(section) lists the key.
    bool valueExists(const std::string& section, const std::string& key) const;

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, int value);
    void writeBool(const std::string& section, const std::string& key, bool value);
    void eraseSection(const std::string& section);
    // Removes every line of the first section of that name but keeps its
    // header where it stands (a missing section is added at the end); later
    // sections of the name are erased. Keys written afterwards go there, so a
    // section can be rewritten in place.
    void emptySection(const std::string& section);
    void deleteKey(const std::string& section, const std::string& key);

    // Writes the changes: a temporary file in the same folder, then renamed
    // over the old one, so a failure leaves the old file whole. A file marked
    // read-only, or one that could not be read, is never replaced. True when
    // there was nothing to write.
    bool updateFile();

    // The text updateFile() writes.
    std::string text() const;

private:
    IniFile() = default;  // empty, never reading a file (fromText)
    struct Entry {
        std::string name;
        std::string value;
        bool hasValue = false;  // false for a line without '='
        bool live = true;       // false once deleted
        std::string raw;        // the line as read, with its line end; empty once changed
    };
    // Positions of entries by name, names compared without ASCII case; open
    // addressing over the entries' own names, so nothing is copied per key.
    class NameIndex {
    public:
        static constexpr std::size_t npos = static_cast<std::size_t>(-1);
        std::size_t find(std::string_view name, const std::vector<Entry>& entries) const;
        // False (and nothing changed) when the name is already there.
        bool insert(std::string_view name, std::size_t pos, const std::vector<Entry>& entries);
        // Points an existing name at another entry.
        void repoint(std::string_view name, std::size_t pos, const std::vector<Entry>& entries);
        void erase(std::string_view name, const std::vector<Entry>& entries);
        // Room for `count` names without growing.
        void reserve(std::size_t count);

    private:
        struct Slot {
            std::uint32_t hash;
            std::uint32_t pos;
        };
        std::size_t slotOf(std::string_view name, std::uint32_t hash,
                           const std::vector<Entry>& entries) const;
        void grow();
        void rehash(std::size_t size);
        std::vector<Slot> slots_;
        std::size_t used_ = 0;  // slots not empty (live or erased)
    };
    struct Section {
        std::string name;
        bool live = true;
        std::string rawHeader;  // the header line as read, with its line end
        std::vector<Entry> entries;
        std::vector<std::string> trailer;  // blank lines after the last entry, as read
        // Built on the first lookup, so a section that is only erased or
        // written out again is never indexed.
        mutable bool indexed = false;
        mutable bool hasDuplicates = false;  // some name occurs twice
        mutable NameIndex index;             // name → first live entry
    };

    void parse(const std::string& text);
    Section& addSection(const std::string& name);
    void addEntry(Section& s, Entry e);
    static const NameIndex& indexOf(const Section& s);
    const Section* findSection(std::string_view name) const;
    Section* findSection(std::string_view name);
    const Entry* findEntry(std::string_view section, std::string_view key) const;
    void rebuildSectionIndex();

    std::string path_;
    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_;  // lower-cased name → first live section
    bool dirty_ = false;
    bool readFailed_ = false;
};

}  // namespace kv
