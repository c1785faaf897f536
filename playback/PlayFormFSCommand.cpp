// The guard on a movie's FSCommand calls: the user's policy decides whether a
// command is carried out, asked about or ignored; the player understands full
// screen, quit and running a local file, and warns about the rest. Pages a
// movie shows in a browser window go to the shell when they are web pages.
#include <cstring>

#include "app/AppState.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "platform/ExclusiveFile.h"
#include "playback/MovieOrigin.h"
#include "playback/PlayForm.h"
#include "ui/SystemServices.h"
#include "ui/UiServices.h"

namespace kv {

namespace {

// "<lead>FSCommand("cmd","args") 。" with both texts as the movie sent them.
std::string commandText(const char* lead, const std::string& command, const std::string& args) {
    return std::string(lead) + "FSCommand(\"" + command + "\",\"" + args + "\") 。";
}

int ask(HWND owner, const std::string& text, unsigned buttons) {
    return ui().messageBox(owner, text, kAppTitle, buttons | MB_ICONEXCLAMATION);
}

// Web and mail addresses, and web pages on disk: never a program or a
// script address.
bool isBrowserPage(const std::string& url) {
    const std::string u = AnsiLowerAscii(url);
    for (const char* scheme : {"http://", "https://", "ftp://", "mailto:"})
        if (u.rfind(scheme, 0) == 0) return true;
    for (const char* ext : {".htm", ".html"})
        if (u.size() > std::strlen(ext) &&
            u.compare(u.size() - std::strlen(ext), std::string::npos, ext) == 0)
            return ExclusiveFile::exists(url);
    return false;
}

}  // namespace

void TPlayForm::Flash1GetURL(const std::string& url, const std::string&, const std::string& post) {
    if (!isBrowserPage(url)) return;
    // The shell cannot post a form: its data goes along as the query of a
    // web address.
    std::string page = url;
    const std::string u = AnsiLowerAscii(url);
    if (!post.empty() && (u.rfind("http", 0) == 0 || u.rfind("ftp:", 0) == 0))
        page += (page.find('?') == std::string::npos ? "?" : "&") + post;
    sys().shellExecute(handle(), "open", page, "", "", SW_SHOWNORMAL);
}

std::string TPlayForm::findExecTarget(const std::string& name) const {
    // A bare name is looked for in the system folder, a path as given (a
    // relative one from the current folder); then beside the movie.
    const bool hasFolder =
        AnsiFindChar(name, '\\') != std::string::npos || AnsiFindChar(name, ':') != std::string::npos;
    std::string candidate = hasFolder ? name : EnsureTrailingBackslash(sys().systemFolder()) + name;
    if (ExclusiveFile::exists(candidate)) return candidate;
    candidate = AnsiExtractFilePath(CurrentFile) + name;
    return ExclusiveFile::exists(candidate) ? candidate : std::string();
}

void TPlayForm::Flash1FSCommand(const std::string& command, const std::string& args) {
    if (Options.AllowExecute == 2) return;
    if (Options.AllowExecute == 1 &&
        ask(handle(), commandText("是否执行命令 ", command, args), MB_OKCANCEL) != IDOK)
        return;
    const std::string cmd = AnsiLowerAscii(command), arg = AnsiLowerAscii(args);
    if (cmd == "exec") {
        const std::string target = findExecTarget(arg);
        if (!target.empty()) {
            // A movie that came from an address never runs a file unasked.
            int policy = Options.Exec;
            if (policy == 0 && IsDownloadedMovie(CurrentFile)) policy = 1;
            if (policy == 1 &&
                ask(handle(), "该动画正在试图执行或打开“" + target + "”，是否继续？", MB_OKCANCEL) != IDOK)
                return;
            if (policy != 2) sys().shellExecute(handle(), "open", target, "", "", SW_SHOWNORMAL);
            return;
        }
    } else if (cmd == "fullscreen") {
        if ((arg == "true" && !fullScreen()) || (arg == "false" && fullScreen())) pmiFullScreenClick();
        return;
    } else if (cmd == "quit") {
        if (Options.Quit == 0)
            pmiCloseClick();
        else if (Options.Quit == 1)
            pmiStopClick();
        return;
    } else if (cmd == "showmenu" || cmd == "allowscale" || cmd == "trapallkeys") {
        return;
    }
    if (Options.WarningWhenIsnotExecute) ask(handle(), commandText("无法执行命令 ", command, args), MB_OK);
}

}  // namespace kv
