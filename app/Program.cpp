#include "app/Program.h"

#include <memory>

#include "app/AboutForm.h"
#include "app/AppState.h"
#include "app/FlashFilePropertyForm.h"
#include "app/MainForm.h"
#include "app/OpenURLForm.h"
#include "app/Seams.h"
#include "favorites/FavoriteCommands.h"
#include "flashfile/FileConvertForm.h"
#include "options/OptionSeams.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "ui/Application.h"
#include "ui/Handles.h"
#include "ui/UiServices.h"

namespace kv {

namespace {
std::unique_ptr<TMainForm> g_main;
std::unique_ptr<TPlayForm> g_play;
std::unique_ptr<TPlayListForm> g_list;
}  // namespace

const char* const kInstanceMutexName = "Korvamelden_qlo.Instance";

bool ActivateRunningInstance() {
    HWND w = FindWindowA(kMainWindowClass, nullptr);
    if (!w) return false;
    PostMessageA(w, WM_ACTIVATEINSTANCE, 0, 0);
    return true;
}

// True when this copy is the first: it created the mutex that the others find.
bool TakeInstanceMutex(UniqueMutex& mutex) {
    HANDLE h = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    mutex.reset(h);
    return mutex && !existed;
}

void HandOverToRunningInstance(DWORD waitMs) {
    // The first copy may still be starting: its window comes a little later.
    for (DWORD waited = 0;; waited += 50) {
        if (ActivateRunningInstance() || waited >= waitMs) return;
        Sleep(50);
    }
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
    // The convert window lives on the main window's page: freed before it.
    if (FileConvertForm) {
        FileConvertForm->release();
        delete FileConvertForm;
    }
    PlayConvertedFiles = nullptr;
    if (g_list) g_list->release();
    g_list.reset();
    if (g_play) g_play->release();
    g_play.reset();
    if (g_main) g_main->release();
    g_main.reset();
}

int RunProgram(const std::vector<std::string>& params) {
    // The mutex settles which of copies started together runs; a window of
    // the class found anyway belongs to a copy that took no mutex.
    UniqueMutex instance;
    if (!TakeInstanceMutex(instance) && instance) {
        HandOverToRunningInstance(5000);
        return 0;
    }
    if (ActivateRunningInstance()) return 0;
    if (!ExecutableFolderIsUsable()) {
        ui().messageBox(nullptr, "Unable to write to " + ExecutableFolder() + kSettingsFileName, kAppTitle,
                        MB_OK | MB_ICONERROR);
    }
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
