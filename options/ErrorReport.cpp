#include "options/ErrorReport.h"

#include "ui/UiServices.h"

namespace kv {

std::string ErrorReportText(const std::string& message) {
    if (!message.empty() && message.back() != '.') return message + ".";
    return message;
}

void ShowErrorReport(HWND owner, const std::exception& e) {
    ui().messageBox(owner, ErrorReportText(e.what()), kAppTitle, MB_OK | MB_ICONSTOP);
}

}  // namespace kv
