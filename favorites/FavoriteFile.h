// A favorite: one ".ffv" ini file per bookmarked movie, named after the
// favorite, holding the movie's path, a view count, the last view time and a
// comment in section "Favorite". Every write replaces the file in one step;
// a refused write raises IniWriteError ("Unable to write to <file>").
#pragma once

#include <functional>
#include <string>

namespace kv {

extern const char* const kFavoriteExt;  // ".ffv"

struct FavoriteItem {
    std::string File;          // the movie's path, any text
    int ViewTimes = 1;         // 1 when missing or no number
    std::string LastViewTime;  // display text, never parsed
    std::string Comments;      // one line
};

// The favorite as the dialogs show it; a missing or unreadable file reads as
// all defaults.
FavoriteItem ReadFavorite(const std::string& ffvPath);

// <favoritePath><name>.ffv
std::string FavoriteFileName(const std::string& favoritePath, const std::string& name);

// The first line of a comment: the only one a favorite keeps.
std::string FirstLine(const std::string& text);

// A name the file system can hold as a favorite's file name: not blank, and
// none of \ / : * ? " < > |.
bool IsValidFavoriteName(const std::string& name);

// Adds a favorite or updates the one of that name (movie path and comment
// replaced, one more view, last view time `now`); makes the folder when
// missing. True when the file existed before.
bool AddOrUpdateFavorite(const std::string& favoritePath, const std::string& name,
                         const std::string& moviePath, const std::string& comment, const std::string& now);

// Plays the favorite's movie with `play` and counts the view. A favorite whose
// movie file does not exist (or is a folder or an address) is left alone:
// false, nothing played, nothing written.
bool PlayFavorite(const std::string& ffvPath, const std::function<void(const std::string&)>& play,
                  const std::string& now);

enum class FavoriteRename { Unchanged, Renamed, Failed };

// Writes the new movie path and comment into the favorite `oldName`, then
// renames its file to `newName` unless the two differ only in letter case.
// Failed when the rename is refused (a favorite of that name exists, a name
// the file system cannot hold): the file keeps its old name and the new values.
FavoriteRename EditFavorite(const std::string& favoritePath, const std::string& oldName,
                            const std::string& newName, const std::string& moviePath,
                            const std::string& comment);

// Deletes the favorite's file; false when it could not be deleted.
bool DeleteFavorite(const std::string& favoritePath, const std::string& name);

// True when `path` names an existing file (not a folder).
bool FavoriteMovieExists(const std::string& path);

}  // namespace kv
