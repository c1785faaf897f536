// Items of the current list that are addresses rather than paths: which ones
// the player downloads, where a file address points on disk, and the texts
// that show a download's progress.
#pragma once

#include <string>

namespace kv {

// "http://..." and "https://..." (scheme in any case): the player downloads these.
bool IsDownloadAddress(const std::string& item);
// "file:..." (scheme in any case).
bool IsFileAddress(const std::string& item);
// The path a file address names ("file:///C:/a%20b/x.swf" → "C:\a b\x.swf",
// "file://server/share/x.swf" → "\\server\share\x.swf"); any other item as
// it stands; empty for a file address that names no path.
std::string LocalPathOfItem(const std::string& item);
// ".exe" when the address names a projector (its path, before any query,
// ends so), else ".swf": the local copy keeps the kind of file.
std::string DownloadExtension(const std::string& address);
// Whole percent of received in total (0–100); -1 while the total is unknown.
int DownloadPercent(unsigned long long received, unsigned long long total);
// The caption label while a movie downloads:
//   nothing received and no total yet: "正在连接 title..."
//   total known:                       "正在下载 title  45% (1.17 MB / 2.60 MB)"
//   total unknown:                     "正在下载 title  (1.17 MB)"
std::string DownloadCaption(const std::string& title, unsigned long long received, unsigned long long total);

}  // namespace kv
