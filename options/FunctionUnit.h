// Small routines many windows share: folder paths, movie titles, the folder
// chooser and the date text of favorites. ANSI text in code page 936; paths
// use '\' as separator.
#pragma once

#include <string>

namespace kv {

// The path with '\' appended unless its last character already is one (a GBK
// character whose trail byte is 0x5C does not count). An empty path stays empty.
std::string EnsureTrailingBackslash(const std::string& path);

// The file name without folder (after the last '\' or ':') and without its
// extension: D:\Flash\sea.swf → sea, a.b.swf → a.b.
std::string ExtractFileTitle(const std::string& path);

// Lets the user choose a folder (through kv::ui()). True and the folder
// (no trailing backslash except for a drive root) when one was chosen;
// false and an empty folder otherwise.
bool BrowseForFolder(const std::string& title, const std::string& root, std::string& folder);

// The local date and time (from kv::sys()) as 2004年5月3日，09:05:07，星期一.
std::string CurrentDateTimeText();

// The same text for given values; dayOfWeek counts from 0 = Sunday.
std::string FormatDateTimeText(int year, int month, int day, int hour, int minute, int second, int dayOfWeek);

// The shell's folder chooser, modal over every window of the program; the
// real folder chooser of kv::ui(). `root` empty starts at the desktop.
bool ShellBrowseForFolder(const std::string& title, const std::string& root, std::string& folder);

}  // namespace kv
