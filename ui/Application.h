// The application: one message loop for the whole program (modal loops use
// the same dispatch), application-wide message hooks, and the window-level
// operations of the running program (minimise, restore, bring to front).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kv {

class Form;

class Application {
public:
    static Application& instance();

    std::string title;
    Form* mainForm = nullptr;

    // A hook sees every queued message before it is dispatched; returning true
    // swallows the message. Returns an id for removeMessageHook.
    int addMessageHook(std::function<bool(MSG&)> hook);
    void removeMessageHook(int id);

    // Runs the message loop until terminate().
    void run();
    // Dispatches one message (waiting for one when wait is true); false on WM_QUIT.
    bool handleMessage(bool wait);
    // Dispatches every queued message.
    void processMessages();
    void terminate();
    bool terminated() const { return terminated_; }
    void resetTerminated() { terminated_ = false; }

    // The main form's window-level state.
    void minimize();
    void restore();
    void bringToFront();
    bool isMinimized() const;
    // Shows or hides the program's taskbar button.
    void showTaskbarButton(bool show);
    bool taskbarButtonShown() const { return taskbarShown_; }

private:
    bool dispatch(MSG& m);
    struct Hook {
        int id;
        std::function<bool(MSG&)> fn;
    };
    std::vector<Hook> hooks_;
    int nextHook_ = 0;
    bool terminated_ = false;
    bool taskbarShown_ = true;
};

// The main window's handle (null before it exists): the owner of the
// program's other top-level windows, which so get no taskbar buttons.
HWND ApplicationOwner();

}  // namespace kv
