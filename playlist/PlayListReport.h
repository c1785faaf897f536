// How a failed list file write reaches the user.
#pragma once

#include <functional>
#include <string>

namespace kv {

class IniWriteError;

// Shows the error as the program's error message box: its text with a final
// period, the program's caption and the error icon.
void ShowIniWriteError(const IniWriteError& error);
// The same error box for another failed file operation ("Unable to delete ...").
void ShowFileError(const std::string& text);

// Runs one of the user's list commands; an IniWriteError it raises is shown
// with ShowIniWriteError. False when the command failed that way.
bool RunUserListCommand(const std::function<void()>& command);

}  // namespace kv
