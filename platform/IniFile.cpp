#include "platform/IniFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/AnsiText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kv {

namespace {

// Blanks as the profile functions see them; 0x1A is the old end-of-file mark.
// None of them can be a GBK trail byte, so trimming bytes is safe.
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

std::string_view TrimView(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// A name or value must stay on its line: line breaks become spaces.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

std::string IndexKey(std::string_view name) { return AnsiLowerAscii(std::string(TrimView(name))); }

inline unsigned char LowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// FNV-1a over the name with ASCII letters lower-cased (never trail bytes).
std::uint32_t NameHash(std::string_view s) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (IsGbkLeadByte(c) && i + 1 < s.size()) {
            h = (h ^ c) * 16777619u;
            c = static_cast<unsigned char>(s[++i]);
        } else {
            c = LowerAscii(c);
        }
        h = (h ^ c) * 16777619u;
    }
    // Spread the bits: the table uses the low ones.
    h ^= h >> 16;
    h *= 0x85ebca6bu;
    h ^= h >> 13;
    h *= 0xc2b2ae35u;
    h ^= h >> 16;
    return h;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (IsGbkLeadByte(x) && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (LowerAscii(x) != LowerAscii(y)) {
            return false;
        }
    }
    return true;
}

// Position of the last ']' that is a character of its own, or npos.
std::size_t LastCloseBracket(std::string_view s) {
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (IsGbkLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size())
            ++i;
        else if (s[i] == ']')
            found = i;
    }
    return found;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Decimal or 0x-prefixed hexadecimal with an optional sign; nothing may follow.
// Hexadecimal takes up to 32 bits (0xFFFFFFFF is -1); decimal must fit an int.
bool ParseInteger(const std::string& text, int& out) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    unsigned long long value = 0;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        i += 2;
        std::size_t digits = 0;
        for (; i < text.size(); ++i, ++digits) {
            int d = HexDigit(text[i]);
            if (d < 0 || digits == 8) return false;
            value = value * 16 + static_cast<unsigned>(d);
        }
        if (digits == 0) return false;
        unsigned u = static_cast<unsigned>(value);
        if (negative) u = 0u - u;
        out = static_cast<int>(u);
        return true;
    }
    std::size_t digits = 0;
    for (; i < text.size(); ++i, ++digits) {
        if (text[i] < '0' || text[i] > '9') return false;
        value = value * 10 + static_cast<unsigned>(text[i] - '0');
        if (value > 2147483648ull) return false;
    }
    if (digits == 0) return false;
    if (negative) {
        out = value == 2147483648ull ? (-2147483647 - 1) : -static_cast<int>(value);
        return true;
    }
    if (value > 2147483647ull) return false;
    out = static_cast<int>(value);
    return true;
}

const char kByteOrderMark[] = "\xEF\xBB\xBF";  // UTF-8

enum class ReadResult { Ok, Missing, Failed };

ReadResult ReadWholeFile(const std::string& path, std::string& out) {
    errno = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return errno == ENOENT ? ReadResult::Missing : ReadResult::Failed;
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok ? ReadResult::Ok : ReadResult::Failed;
}

// A value keeps its own surrounding blanks and quotes only inside quotes:
// reading trims blanks and takes one pair of quotes away.
bool NeedsQuotes(const std::string& v) {
    if (v.empty()) return false;
    if (IsBlank(v.front()) || IsBlank(v.back())) return true;
    return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

bool EndsLine(const std::string& raw) { return !raw.empty() && (raw.back() == '\n' || raw.back() == '\r'); }

#ifdef _WIN32

bool ReplaceFileWith(const std::string& path, const std::string& data) {
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    std::string folder = AnsiExtractFilePath(path);
    if (folder.empty()) folder = ".";
    char tmp[MAX_PATH];
    if (!GetTempFileNameA(folder.c_str(), "kvi", 0, tmp)) return false;
    HANDLE h = CreateFileA(tmp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DeleteFileA(tmp);
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < data.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
        DWORD written = 0;
        ok = WriteFile(h, data.data() + done, chunk, &written, nullptr) && written == chunk;
        done += written;
    }
    ok = ok && FlushFileBuffers(h);
    ok = CloseHandle(h) && ok;
    ok = ok && MoveFileExA(tmp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(tmp);
    return ok;
}

// GetTempFileNameA(folder, "kvi", ...) names: "kvi", 1 to 4 hex digits, ".tmp".
bool IsSaveFileName(const std::string& name) {
    if (name.size() < 8 || name.size() > 11) return false;
    if (!AnsiSameTextAscii(name.substr(0, 3), "kvi") ||
        !AnsiSameTextAscii(name.substr(name.size() - 4), ".tmp"))
        return false;
    for (std::size_t i = 3; i < name.size() - 4; ++i) {
        if (HexDigit(name[i]) < 0) return false;
    }
    return true;
}

}  // namespace

int RemoveStaleSaveFiles(const std::string& folder) {
    int removed = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "kvi*.tmp").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsSaveFileName(fd.cFileName) &&
            DeleteFileA((folder + fd.cFileName).c_str()))
            ++removed;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return removed;
}

namespace {

#else

bool ReplaceFileWith(const std::string& path, const std::string& data) {
    struct stat st;
    bool exists = ::stat(path.c_str(), &st) == 0;
    // Files without any write permission count as read-only, as on Windows.
    if (exists && (S_ISDIR(st.st_mode) || (st.st_mode & 0222) == 0)) return false;
    static unsigned counter = 0;
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = path + ".~" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<std::size_t>(n);
    }
    if (ok && exists) ::fchmod(fd, st.st_mode & 07777);
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

#endif

}  // namespace

namespace {
constexpr std::uint32_t kEmptySlot = 0xFFFFFFFFu;
constexpr std::uint32_t kErasedSlot = 0xFFFFFFFEu;
}  // namespace

std::size_t IniFile::NameIndex::slotOf(std::string_view name, std::uint32_t hash,
                                       const std::vector<Entry>& entries) const {
    if (slots_.empty()) return npos;
    std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.pos == kEmptySlot) return npos;
        if (slot.pos != kErasedSlot && slot.hash == hash && SameName(entries[slot.pos].name, name)) return i;
    }
}

std::size_t IniFile::NameIndex::find(std::string_view name, const std::vector<Entry>& entries) const {
    std::size_t slot = slotOf(name, NameHash(name), entries);
    return slot == npos ? npos : slots_[slot].pos;
}

bool IniFile::NameIndex::insert(std::string_view name, std::size_t pos, const std::vector<Entry>& entries) {
    std::uint32_t hash = NameHash(name);
    if (slotOf(name, hash, entries) != npos) return false;
    if ((used_ + 1) * 2 > slots_.size()) grow();  // at most half full: short probe runs
    std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].pos != kEmptySlot && slots_[i].pos != kErasedSlot) i = (i + 1) & mask;
    if (slots_[i].pos == kEmptySlot) ++used_;
    slots_[i] = Slot{hash, static_cast<std::uint32_t>(pos)};
    return true;
}

void IniFile::NameIndex::repoint(std::string_view name, std::size_t pos, const std::vector<Entry>& entries) {
    std::size_t slot = slotOf(name, NameHash(name), entries);
    if (slot != npos) slots_[slot].pos = static_cast<std::uint32_t>(pos);
}

void IniFile::NameIndex::erase(std::string_view name, const std::vector<Entry>& entries) {
    std::size_t slot = slotOf(name, NameHash(name), entries);
    if (slot != npos) slots_[slot].pos = kErasedSlot;
}

void IniFile::NameIndex::reserve(std::size_t count) {
    std::size_t size = 16;
    while (size < count * 2) size *= 2;
    if (size > slots_.size()) rehash(size);
}

void IniFile::NameIndex::grow() {
    std::size_t live = 0;
    for (const Slot& s : slots_) live += s.pos < kErasedSlot;
    std::size_t size = 16;
    while (size < (live + 1) * 4) size *= 2;  // at most a quarter full after growing
    rehash(size);
}

void IniFile::NameIndex::rehash(std::size_t size) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(size, Slot{0, kEmptySlot});
    used_ = 0;
    for (const Slot& s : old) {
        if (s.pos >= kErasedSlot) continue;
        std::size_t i = s.hash & (size - 1);
        while (slots_[i].pos != kEmptySlot) i = (i + 1) & (size - 1);
        slots_[i] = s;
        ++used_;
    }
}

IniWriteError::IniWriteError(const std::string& fileName)
    : std::runtime_error("Unable to write to " + fileName), fileName_(fileName) {}

IniFile::IniFile(std::string path) : path_(std::move(path)) {
    std::string text;
    switch (ReadWholeFile(path_, text)) {
        case ReadResult::Ok:
            parse(text);
            break;
        case ReadResult::Missing:
            break;
        case ReadResult::Failed:
            readFailed_ = true;
            break;
    }
}

IniFile IniFile::fromText(std::string path, const std::string& text) {
    IniFile ini;
    ini.path_ = std::move(path);
    ini.parse(text);
    return ini;
}

void IniFile::parse(const std::string& text) {
    std::size_t current = std::string::npos;  // index of the section lines go to
    std::vector<std::string> blanks;          // blank lines not yet placed
    std::size_t pos = text.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
    auto placeBlanks = [&](bool asTrailer) {
        if (blanks.empty()) return;
        if (current == std::string::npos) {
            addSection("");
            current = sections_.size() - 1;
        }
        Section& s = sections_[current];
        for (std::string& b : blanks) {
            if (asTrailer) {
                s.trailer.push_back(std::move(b));
            } else {
                Entry e;
                e.hasValue = false;
                e.raw = std::move(b);
                addEntry(s, std::move(e));
            }
        }
        blanks.clear();
    };
    while (pos < text.size()) {
        // Lines end at LF; a file without any further LF is split at CR.
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) nl = text.find('\r', pos);
        std::size_t end = nl == std::string::npos ? text.size() : nl + 1;
        std::string_view rawLine = std::string_view(text).substr(pos, end - pos);
        std::string_view line = TrimView(rawLine);
        pos = end;
        if (line.empty()) {
            blanks.emplace_back(rawLine);
            continue;
        }

        if (line[0] == '[') {
            std::size_t close = LastCloseBracket(line);
            if (close != std::string_view::npos) {
                placeBlanks(true);
                addSection(std::string(TrimView(line.substr(1, close - 1)))).rawHeader.assign(rawLine);
                current = sections_.size() - 1;
                continue;
            }
        }
        placeBlanks(false);
        if (current == std::string::npos) {
            addSection("");
            current = sections_.size() - 1;
        }
        Entry entry;
        entry.raw.assign(rawLine);
        // '=' is below 0x40, so it is never a trail byte.
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            entry.name.assign(line);
        } else {
            entry.name.assign(TrimView(line.substr(0, eq)));
            std::string_view value = line.substr(eq + 1);
            std::size_t b = 0;
            while (b < value.size() && IsBlank(value[b])) ++b;
            entry.value.assign(value.substr(b));
            entry.hasValue = true;
        }
        addEntry(sections_[current], std::move(entry));
    }
    placeBlanks(true);
}

IniFile::Section& IniFile::addSection(const std::string& name) {
    Section s;
    s.name = name;
    sections_.push_back(std::move(s));
    sectionIndex_.emplace(AnsiLowerAscii(name), sections_.size() - 1);
    return sections_.back();
}

void IniFile::addEntry(Section& s, Entry e) {
    s.entries.push_back(std::move(e));
    if (s.indexed && !s.index.insert(s.entries.back().name, s.entries.size() - 1, s.entries))
        s.hasDuplicates = true;
}

const IniFile::NameIndex& IniFile::indexOf(const Section& s) {
    if (!s.indexed) {
        s.index.reserve(s.entries.size());
        for (std::size_t i = 0; i < s.entries.size(); ++i) {
            if (s.entries[i].live && !s.index.insert(s.entries[i].name, i, s.entries)) s.hasDuplicates = true;
        }
        s.indexed = true;
    }
    return s.index;
}

const IniFile::Section* IniFile::findSection(std::string_view name) const {
    auto it = sectionIndex_.find(IndexKey(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section* IniFile::findSection(std::string_view name) {
    auto it = sectionIndex_.find(IndexKey(name));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const IniFile::Entry* IniFile::findEntry(std::string_view section, std::string_view key) const {
    const Section* s = findSection(section);
    if (!s) return nullptr;
    std::size_t pos = indexOf(*s).find(TrimView(key), s->entries);
    return pos == NameIndex::npos ? nullptr : &s->entries[pos];
}

void IniFile::rebuildSectionIndex() {
    sectionIndex_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i].live) sectionIndex_.emplace(AnsiLowerAscii(sections_[i].name), i);
    }
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    const Entry* e = findEntry(section, key);
    if (!e || !e->hasValue) return def;
    const std::string& v = e->value;
    // Quotes are not trail bytes, so the first and last bytes can be tested as they are.
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return AnsiTruncate(v.substr(1, v.size() - 2), kMaxValueLength);
    return AnsiTruncate(v, kMaxValueLength);
}

int IniFile::readInteger(const std::string& section, const std::string& key, int def) const {
    int value = 0;
    return ParseInteger(readString(section, key, std::string()), value) ? value : def;
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<std::string> IniFile::readSection(const std::string& section) const {
    std::vector<std::string> names;
    const Section* s = findSection(section);
    if (!s) return names;
    names.reserve(s->entries.size());
    for (const Entry& e : s->entries) {
        if (e.live && e.hasValue && !e.name.empty() && e.name[0] != ';') names.push_back(e.name);
    }
    return names;
}

std::vector<std::string> IniFile::readSections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) {
        if (s.live && !s.name.empty()) names.push_back(s.name);
    }
    return names;
}

bool IniFile::sectionExists(const std::string& section) const { return findSection(section) != nullptr; }

bool IniFile::valueExists(const std::string& section, const std::string& key) const {
    const Entry* e = findEntry(section, key);
    return e && e->hasValue && !e->name.empty() && e->name[0] != ';';
}

void IniFile::writeString(const std::string& section, const std::string& key, const std::string& value) {
    std::string sectionName = OneLine(TrimView(section));
    std::string keyName = OneLine(TrimView(key));
    std::string text = OneLine(value);
    if (NeedsQuotes(text)) text = '"' + text + '"';
    Section* s = findSection(sectionName);
    if (!s) {
        if (sectionName.empty() && !sections_.empty()) {
            // Lines before the first header belong to the unnamed section, so it must come first.
            sections_.insert(sections_.begin(), Section());
            rebuildSectionIndex();
            s = &sections_.front();
        } else {
            s = &addSection(sectionName);
        }
    }
    std::size_t pos = indexOf(*s).find(keyName, s->entries);
    if (pos != NameIndex::npos) {
        Entry& e = s->entries[pos];
        if (e.hasValue && e.value == text) return;
        e.value = std::move(text);
        e.hasValue = true;
        e.raw.clear();
    } else {
        Entry e;
        e.name = std::move(keyName);
        e.value = std::move(text);
        e.hasValue = true;
        addEntry(*s, std::move(e));
    }
    dirty_ = true;
}

void IniFile::writeInteger(const std::string& section, const std::string& key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

void IniFile::eraseSection(const std::string& section) {
    std::string key = IndexKey(section);
    if (sectionIndex_.erase(key) == 0) return;
    for (Section& s : sections_) {
        if (s.live && AnsiLowerAscii(s.name) == key) {
            s.live = false;
            s.entries = std::vector<Entry>();
            s.index = NameIndex();
            s.indexed = false;
        }
    }
    dirty_ = true;
}

void IniFile::emptySection(const std::string& section) {
    Section* s = findSection(section);
    if (!s) {
        addSection(OneLine(TrimView(section)));
        dirty_ = true;
        return;
    }
    const std::size_t keep = static_cast<std::size_t>(s - sections_.data());
    if (!s->entries.empty()) dirty_ = true;
    s->entries = std::vector<Entry>();
    s->index = NameIndex();
    s->indexed = false;
    s->hasDuplicates = false;
    const std::string key = IndexKey(section);
    for (std::size_t i = keep + 1; i < sections_.size(); ++i) {
        Section& later = sections_[i];
        if (later.live && AnsiLowerAscii(later.name) == key) {
            later.live = false;
            later.entries = std::vector<Entry>();
            later.index = NameIndex();
            later.indexed = false;
            dirty_ = true;
        }
    }
}

void IniFile::deleteKey(const std::string& section, const std::string& key) {
    Section* s = findSection(section);
    if (!s) return;
    std::string_view name = TrimView(key);
    std::size_t pos = indexOf(*s).find(name, s->entries);
    if (pos == NameIndex::npos) return;
    s->entries[pos].live = false;
    dirty_ = true;
    // A later line of the same name now answers for the key.
    if (s->hasDuplicates) {
        for (std::size_t i = pos + 1; i < s->entries.size(); ++i) {
            if (s->entries[i].live && SameName(s->entries[i].name, name)) {
                s->index.repoint(name, i, s->entries);
                return;
            }
        }
    }
    s->index.erase(name, s->entries);
}

std::string IniFile::text() const {
    std::size_t size = 0;
    for (const Section& s : sections_) {
        if (!s.live) continue;
        size += s.name.size() + s.rawHeader.size() + 4;
        for (const Entry& e : s.entries) size += e.name.size() + e.value.size() + e.raw.size() + 3;
        for (const std::string& b : s.trailer) size += b.size() + 2;
    }
    std::string out;
    out.reserve(size);
    // Lines written end in CRLF, except after the lines read past the file's
    // last LF: those were split at CR, and an LF after them would join them.
    // A last line read without a line end gets one when more follows.
    std::string eol = "\r\n";
    bool open = false;
    auto put = [&](const std::string& raw) {
        if (open) out += eol;
        out += raw;
        open = !EndsLine(raw);
        if (!open) eol = raw.back() == '\r' ? "\r" : "\r\n";
    };
    auto line = [&](const std::string& a, const std::string& b, const std::string& c) {
        if (open) out += eol;
        open = false;
        out += a;
        out += b;
        out += c;
        out += eol;
    };
    for (const Section& s : sections_) {
        if (!s.live) continue;
        if (!s.rawHeader.empty()) {
            put(s.rawHeader);
        } else if (!s.name.empty()) {
            line("[", s.name, "]");
        }
        for (const Entry& e : s.entries) {
            if (!e.live) continue;
            if (!e.raw.empty()) {
                put(e.raw);
            } else {
                line(e.name, e.hasValue ? "=" : "", e.value);
            }
        }
        for (const std::string& b : s.trailer) put(b);
    }
    // Text that begins like a byte-order mark would lose it at the next read.
    if (out.compare(0, 3, kByteOrderMark) == 0) out.insert(0, "\r\n");
    return out;
}

bool IniFile::updateFile() {
    if (!dirty_) return true;
    if (readFailed_) return false;
    if (!ReplaceFileWith(path_, text())) return false;
    dirty_ = false;
    return true;
}

}  // namespace kv
