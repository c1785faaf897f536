#include "app/Program.h"

#include <memory>

#include "app/AboutForm.h"
#include "app/AppState.h"
#include "app/FlashFilePropertyForm.h"
#include "app/MainForm.h"
#include "app/OpenURLForm.h"
#include "app/Seams.h"
#include "favorites/FavoriteCommands.h"
#include "options/OptionSeams.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"
#include "ui/UiServices.h"

namespace kv {

namespace {
std::unique_ptr<TMainForm> g_main;
std::unique_ptr<TPlayForm> g_play;
std::unique_ptr<TPlayListForm> g_list;
}  // namespace

bool ActivateRunningInstance() {
    HWND w = FindWindowA(kMainWindowClass, nullptr);
    if (!w) return false;
    PostMessageA(w, WM_ACTIVATEINSTANCE, 0, 0);
    return true;
}

bool CreateForms(std::unique_ptr<TPlayForm> play) {
    Application::instance().title = kAppTitle;
    InstallOptionSeams();
    InstallFavoriteSeams();
    Seams.showAbout = ShowAboutForm;
    Seams.showFlashFileProperty = ShowFlashFileProperty;
    ShowOpenURLDialog = ShowOpenURLForm;
    g_main = std::make_unique<TMainForm>();
    if (!g_main->create()) return false;
    g_play = play ? std::move(play) : std::make_unique<TPlayForm>();
    PlayForm = g_play.get();
    if (!g_play->create()) return false;
    g_list = std::make_unique<TPlayListForm>();
    if (!g_list->create()) return false;
    g_main->show();
    return true;
}

void DestroyForms() {
    if (g_list) g_list->release();
    g_list.reset();
    if (g_play) g_play->release();
    g_play.reset();
    if (g_main) g_main->release();
    g_main.reset();
}

int RunProgram(const std::vector<std::string>& params) {
    if (ActivateRunningInstance()) return 0;
    CommandLineParams = params;
    if (!CreateForms()) {
        DestroyForms();
        return 1;
    }
    Application::instance().run();
    DestroyForms();
    return 0;
}

}  // namespace kv
