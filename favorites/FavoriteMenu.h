// The generated part of the favorites menu "收藏(&A)": after its two fixed
// commands a separator, then one entry per favorite captioned with its name.
// These routines keep it in step when a favorite is added, renamed or deleted.
#pragma once

#include <functional>
#include <string>

namespace kv {

class MenuItem;

// After adding a favorite: a separator when the menu holds only its fixed
// commands, and, for a favorite that is new, an entry at the end whose click
// runs `onClick` with the entry.
void AppendFavoriteMenuEntry(MenuItem& menu, const std::string& name, bool isNew,
                             const std::function<void(MenuItem&)>& onClick);
// After deleting a favorite: every entry captioned exactly `name` goes, and
// the separator with the last of them.
void RemoveFavoriteMenuEntries(MenuItem& menu, const std::string& name);
// After a rename: the first entry captioned `oldName` takes `newName`.
void RenameFavoriteMenuEntry(MenuItem& menu, const std::string& oldName, const std::string& newName);

}  // namespace kv
