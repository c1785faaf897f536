// The "文件另存为..." command of the play window and the playlist window:
// copies a movie or projector, or converts between the two, by the lower-cased
// extensions of source and target.
#pragma once

#include <windows.h>

#include <string>

namespace kv {

// The stub every projector starts with, in the program folder.
extern const char* const kProjectorStubName;  // "SAKorvamelden.exe"

// source: the file to save; target: the name chosen in the save dialog;
// programPath: the program folder with a trailing backslash.
//   .swf -> .swf, .exe -> .exe : copy over the target (a failure is not reported)
//   .swf -> .exe : projector from the stub (a missing stub is reported)
//   .exe -> .swf : the movie out of the projector
//   anything else: nothing
// A failed conversion shows "转换失败". Returns true when the target was written.
bool SaveFileAs(const std::string& source, const std::string& target, const std::string& programPath,
                HWND owner = nullptr);

}  // namespace kv
