// The default error report: an error that ends a command is shown in a
// message box titled with the application's title, its text ending in a full
// stop, and the program goes on.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace kv {

// The text the report shows for an error message.
std::string ErrorReportText(const std::string& message);
void ShowErrorReport(HWND owner, const std::exception& e);

}  // namespace kv
