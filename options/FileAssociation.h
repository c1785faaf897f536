// The program as the shell's handler of ".swf", ".fpl" and ".ffv" files and
// its play-with entry in their context menus, under HKEY_CLASSES_ROOT.
// Registry errors (RegistryError) stop a routine where the write failed.
#pragma once

#include <string>

namespace kv {

// The verb key of the play-with entry below a ProgID's "Shell" key.
extern const char* const kPlayWithVerb;  // "用TesvanorFlash播放器播放(&P)"

// The command of every verb: "<programPath>Korvamelden.exe" "%1", both
// quoted so folders and movies with spaces arrive as one argument.
std::string AssociationCommand(const std::string& programPath);
// The icon value: <programPath>Korvamelden.exe,0.
std::string AssociationIcon(const std::string& programPath);

// True when `text` (a verb command or an icon value) names an executable
// called Korvamelden.exe, in any folder, quoted or not.
bool NamesOurExecutable(const std::string& text);

// The ProgID an extension's key names; `progId` when the key or its value is
// missing or empty.
std::string HandlerKeyOf(const std::string& ext, const std::string& progId);

struct FileTypeRegistration {
    const char* ext;
    const char* progId;
    const char* description;  // nullptr: none
    bool writeDescription, setIcon, setOpenVerb, addPlayWith;
};

// Writes an association. The extension's key is created when missing (and
// pointed at the ProgID when it names none); for every extension but ".swf"
// it is pointed at the ProgID whatever it held.
void RegisterFileType(const std::string& programPath, const FileTypeRegistration& r);
// Removes the icon and the Open verb of the extension's handler, but only
// where they name this program: another program's association is kept. The
// description of the handler is emptied (not for ".swf") when it was ours.
void UnregisterFileType(const std::string& ext, const std::string& progId);
// Removes the play-with verb of the extension's handler.
void RemovePlayWithVerb(const std::string& ext, const std::string& progId);

// The four association boxes of the options dialog.
struct AssociationChoice {
    bool swf = false, fpl = false, ffv = false, linkToMenu = false;
};
// Registers or removes each type as the boxes say, in the order ".swf",
// ".fpl", ".ffv", then the three play-with entries; tells the shell after.
void ApplyFileAssociations(const std::string& programPath, const AssociationChoice& choice);
// The start-up repair: the three open associations, whatever the boxes hold;
// play-with entries untouched. Tells the shell after.
void RegisterFileTypesAtStart(const std::string& programPath);

// Tells the shell that associations changed (SHChangeNotify).
void NotifyAssociationsChanged();

}  // namespace kv
