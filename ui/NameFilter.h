// The character filter of name fields that become file names: the refused
// characters are swallowed as they are typed and a warning explains them.
// Pasted text is not filtered. Bytes of two-byte GBK characters are never
// refused, even where a trail byte equals '\' or '|'.
#pragma once

#include <string>

namespace kv {

class Edit;

struct NameFilter {
    const char* refused;  // the refused characters, in the order the warning lists them
    const char* prefix;   // the field's own first line of the warning
};

// Playlist names: also refuses the hyphen.
extern const NameFilter kPlayListNameFilter;
// Favorite names and other file names.
extern const NameFilter kFileNameFilter;

// A typed key (Edit::onKeyPress form: a byte, or lead << 8 | trail) the filter refuses.
bool nameFilterRefuses(const NameFilter& filter, unsigned key);
// The warning: the prefix, two carriage returns, five spaces and the refused
// characters separated by single spaces.
std::string nameFilterWarning(const NameFilter& filter);
// Makes the edit swallow refused keys and show the warning (warning icon, OK,
// the application title) over the edit's window. Replaces edit.onKeyPress.
void useNameFilter(Edit& edit, const NameFilter& filter);

}  // namespace kv
