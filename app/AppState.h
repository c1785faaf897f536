// Process-wide state of the running program, owned by the main window's unit:
// folders, options, the recent files, the playback state and the keyboard
// flags shared by the windows. The current list lives in playlist/PlayListState.h.
#pragma once

#include <string>
#include <vector>

#include "app/Settings.h"
#include "playlist/PlayListState.h"

namespace kv {

extern std::string ProgramPath;    // the program's folder, with a trailing backslash
extern std::string PlayListsPath;  // ProgramPath + "PlayLists\"
extern std::string FavoritePath;   // ProgramPath + "Favorite\"
// The options and window state read at start and written at exit (one field per key).
extern Settings Options;
// Recent files, newest first (the same list as Options.RecentFiles at start and exit).
extern std::vector<std::string>& RecentFiles;

// Playback state: 0 stopped, 1 playing, 2 paused.
extern int PlayState;
extern std::string CurrentFile, CurrentTitle;
// The file on disk of the movie being played: CurrentFile itself, the path a
// file address names, or the local copy of a downloaded movie.
extern std::string CurrentLocalFile;
// CurrentLocalFile, or CurrentFile while no movie has set it.
std::string CurrentMovieOnDisk();
extern int MovieCurrentFrame, MovieTotalFrames;

// Stage size in pixels of the movie being played.
extern int MovieWidth, MovieHeight;
// A play range or an A-B loop is running, between these frames.
extern bool PlayAreaActive, ABCircleActive;
extern int AreaBeginFrame, AreaEndFrame;
// The frame seen at the previous timer tick, for stall detection.
extern int LastTimerFrame;
// Set once playing was stopped in this run ("已停止" instead of "准备就绪").
extern bool HasStopped;

// Modifier flags shared by the key handlers of the main, play and playlist windows.
extern bool CtrlDown, AltDown, ShiftDown;
// Set while the user presses the seek track.
extern bool TrackDragging;

// The parameters of the command line (the first is looked at).
extern std::vector<std::string> CommandLineParams;

// The folder of the executable with a trailing backslash; tests may point it
// elsewhere. A folder whose name the ANSI code page cannot hold is given by
// its short (8.3) name.
std::string ExecutableFolder();
// False when not even the short name of the folder is ANSI text: the
// settings and lists cannot be read or saved then.
bool ExecutableFolderIsUsable();
// The folder (with its trailing backslash) of a file named in UTF-16 as ANSI
// text, through the short name when needed; empty when neither round-trips.
std::string AnsiFolderOf(const std::wstring& widePath);
extern std::string ProgramPathOverride;

}  // namespace kv
