#include "options/FileAssociation.h"

#include <shlobj.h>

#include "platform/AnsiText.h"
#include "platform/Registry.h"

namespace kv {

const char* const kPlayWithVerb = "用TesvanorFlash播放器播放(&P)";

namespace {

const char* const kExeName = "Korvamelden.exe";
const char* const kOpenVerbCaption = "打开(&O)";
const char* const kFplDescription = "TesvanorFlash播放器播放列表文件";
const char* const kFfvDescription = "TesvanorFlash播放器收藏夹文件";

// The registrations the options dialog makes for a ticked box, and the ProgID
// it removes with.
struct FileType {
    FileTypeRegistration open;
    FileTypeRegistration playWith;
    const char* removeProgId;
};
const FileType kFileTypes[] = {
    {{".swf", "Korvamelden", nullptr, false, true, true, false},
     {".swf", "KorvameldenFile", nullptr, false, false, false, true},
     "KorvameldenFile"},
    {{".fpl", "KorvameldenPlayList", kFplDescription, true, true, true, false},
     {".fpl", "KorvameldenPlayList", kFplDescription, true, true, false, true},
     "KorvameldenPlayList"},
    {{".ffv", "KorvameldenFavorite", kFfvDescription, true, true, true, false},
     {".ffv", "KorvameldenFavorite", kFfvDescription, true, true, false, true},
     "KorvameldenFavorite"},
};

// Tells the shell once a batch of changes is over, also when a write failed
// half-way: what was written before stays in place.
struct ShellNotifier {
    ~ShellNotifier() { NotifyAssociationsChanged(); }
};

bool isSwf(const std::string& ext) { return AnsiLowerAscii(ext) == ".swf"; }

bool isNameBoundary(char c) { return c == '\\' || c == '/' || c == '"' || c == ':'; }
bool isNameEnd(char c) { return c == '"' || c == ' ' || c == ',' || c == '\t'; }

}  // namespace

std::string AssociationCommand(const std::string& programPath) {
    return "\"" + programPath + kExeName + "\" \"%1\"";
}

std::string AssociationIcon(const std::string& programPath) { return programPath + kExeName + ",0"; }

bool NamesOurExecutable(const std::string& text) {
    const std::string lower = AnsiLowerAscii(text);
    const std::string name = AnsiLowerAscii(kExeName);
    // Walk character by character so a GBK trail byte is never taken for '\'.
    char prev = '\0';
    for (std::size_t i = 0; i < lower.size(); i += AnsiCharLength(lower, i)) {
        if (lower.compare(i, name.size(), name) == 0 && (i == 0 || isNameBoundary(prev))) {
            std::size_t end = i + name.size();
            if (end == lower.size() || isNameEnd(lower[end])) return true;
        }
        prev = AnsiCharLength(lower, i) == 1 ? lower[i] : '\0';
    }
    return false;
}

std::string HandlerKeyOf(const std::string& ext, const std::string& progId) {
    std::string value;
    if (RegReadDefault(HKEY_CLASSES_ROOT, ext, value) && !value.empty()) return value;
    return progId;
}

void RegisterFileType(const std::string& programPath, const FileTypeRegistration& r) {
    const std::string ext = r.ext;
    const std::string progId = r.progId;
    {
        RegKey key = RegKey::create(HKEY_CLASSES_ROOT, ext);
        std::string value;
        // An extension that names no handler, or an empty one, gets ours.
        if (!isSwf(ext) || !key.readString("", value) || value.empty()) key.writeString("", progId);
    }
    const std::string handler = HandlerKeyOf(ext, progId);
    const std::string command = AssociationCommand(programPath);
    if (r.writeDescription) RegWriteDefault(HKEY_CLASSES_ROOT, handler, r.description ? r.description : "");
    if (r.addPlayWith)
        RegWriteDefault(HKEY_CLASSES_ROOT, handler + "\\Shell\\" + kPlayWithVerb + "\\Command", command);
    if (r.setIcon)
        RegWriteDefault(HKEY_CLASSES_ROOT, handler + "\\DefaultIcon", AssociationIcon(programPath));
    if (r.setOpenVerb) {
        RegWriteDefault(HKEY_CLASSES_ROOT, handler + "\\Shell\\Open", kOpenVerbCaption);
        RegWriteDefault(HKEY_CLASSES_ROOT, handler + "\\Shell\\Open\\Command", command);
    }
}

void UnregisterFileType(const std::string& ext, const std::string& progId) {
    const std::string handler = HandlerKeyOf(ext, progId);
    bool ours = AnsiSameTextAscii(handler, progId);
    std::string icon, command;
    if (RegReadDefault(HKEY_CLASSES_ROOT, handler + "\\DefaultIcon", icon) && NamesOurExecutable(icon)) {
        RegDeleteKeyTree(HKEY_CLASSES_ROOT, handler + "\\DefaultIcon");
        ours = true;
    }
    if (RegReadDefault(HKEY_CLASSES_ROOT, handler + "\\Shell\\Open\\Command", command) &&
        NamesOurExecutable(command)) {
        RegDeleteKeyTree(HKEY_CLASSES_ROOT, handler + "\\Shell\\Open");
        ours = true;
    }
    if (!isSwf(ext) && ours && RegKeyExists(HKEY_CLASSES_ROOT, handler))
        RegWriteDefault(HKEY_CLASSES_ROOT, handler, "");
}

void RemovePlayWithVerb(const std::string& ext, const std::string& progId) {
    RegDeleteKeyTree(HKEY_CLASSES_ROOT, HandlerKeyOf(ext, progId) + "\\Shell\\" + kPlayWithVerb);
}

void ApplyFileAssociations(const std::string& programPath, const AssociationChoice& choice) {
    ShellNotifier notify;
    const bool ticked[] = {choice.swf, choice.fpl, choice.ffv};
    for (int i = 0; i < 3; ++i) {
        if (ticked[i])
            RegisterFileType(programPath, kFileTypes[i].open);
        else
            UnregisterFileType(kFileTypes[i].open.ext, kFileTypes[i].removeProgId);
    }
    for (const FileType& t : kFileTypes) {
        if (choice.linkToMenu)
            RegisterFileType(programPath, t.playWith);
        else
            RemovePlayWithVerb(t.playWith.ext, t.playWith.progId);
    }
}

void RegisterFileTypesAtStart(const std::string& programPath) {
    ShellNotifier notify;
    for (const FileType& t : kFileTypes) RegisterFileType(programPath, t.open);
}

void NotifyAssociationsChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

}  // namespace kv
