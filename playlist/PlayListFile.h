// The ".fpl" playlist file and the operations that move the current list
// between memory and such files.
//
// A playlist file is an ini file with one section "PlayList" holding
// File1, Title1, File2, Title2, ... Reading counts the items as half the
// number of keys in that section, whatever their names, and then fetches them
// by number, so the order of the lines does not matter and a missing key reads
// as empty. Other sections of the file are never touched.
//
// Writes go through kv::IniFile, so a failed save leaves the old file whole.
// A write the system refuses raises kv::IniWriteError ("Unable to write to
// <file>"); the user's own commands show it (RunUserListCommand in
// PlayListReport.h), the save at program end swallows it.
// Portable: no Windows headers.
#pragma once

#include <string>

namespace kv {

// The window side of the current list: the playlist window's list box, which
// shows the titles, and the player's stop command.
class PlayListView {
public:
    virtual ~PlayListView() = default;
    virtual void stopPlayback() = 0;
    virtual void clearItems() = 0;
    virtual void addItem(const std::string& title) = 0;
    // 0-based position of the selected item, -1 when none is selected.
    virtual int selectedIndex() const = 0;
    // Bracket many addItem calls, so the window can show them all at once.
    virtual void beginUpdate() {}
    virtual void endUpdate() {}
};

extern const char* const kPlayListSection;  // "PlayList"

// Stops playback and replaces the current list with the file's items (a
// missing or unreadable file gives an empty list). CurrentIndex and
// CurrentPlayListFile are left as they are.
void ReadPlayList(PlayListView& view, const std::string& fileName);

// Writes the current list to the file, replacing its "PlayList" section;
// the file exists afterwards even when the list is empty. Throws IniWriteError.
void SavePlayList(const std::string& fileName);

// SavePlayList for the end of the program: a failure is swallowed (false).
bool SavePlayListAtExit(const std::string& fileName) noexcept;

// Appends one item to a playlist file on disk (created if missing), leaving
// the current list alone. Throws IniWriteError.
void SendFileToPlayList(const std::string& title, const std::string& file,
                        const std::string& playListFileName);

// The "send to" command: appends the selected item of the list box to the
// named list `playListsPath` + `listName` + ".fpl". Does nothing when no item
// is selected or when that file is the current list (compared without ASCII
// case). True when the item was sent. Throws IniWriteError.
bool SendPlayListItemToPlayList(const PlayListView& view, const std::string& playListsPath,
                                const std::string& listName);

// Appends one item to the current list and the list box.
void AppendPlayListItem(PlayListView& view, const std::string& title, const std::string& file);

// Empties the current list and the list box; CurrentIndex becomes 0.
void ClearPlayList(PlayListView& view);

}  // namespace kv
