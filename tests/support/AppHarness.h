// Runs the program's real windows inside a test: a temporary program folder,
// recording UI and system services, and the three long-lived windows created
// and destroyed as the program does.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/Program.h"
#include "app/Seams.h"
#include "options/FunctionUnit.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "tests/app/ProgramFolder.h"
#include "tests/support/FakeSystemServices.h"
#include "tests/support/FakeUiServices.h"
#include "ui/Application.h"

namespace kv::test {

class AppHarness {
public:
    ProgramFolder folder;
    FakeUiServices ui;
    FakeSystemServices sys;

    // Writes the settings file (when given) and creates the windows.
    bool start(const std::string& ini = "", std::vector<std::string> params = {},
               std::unique_ptr<TPlayForm> play = nullptr) {
        ProgramPathOverride = folder.path();
        if (!ini.empty()) folder.write("Korvamelden.ini", ini);
        CommandLineParams = std::move(params);
        bool ok = CreateForms(std::move(play));
        pump();
        return ok;
    }
    // Makes these files the current list, the first one current.
    static void setList(const std::vector<std::string>& files) {
        PlayListFiles.clear();
        PlayListTitles.clear();
        PlayListForm->lstPlayList.clear();
        for (const auto& f : files) PlayListForm->AddItem(f, ExtractFileTitle(f));
        CurrentIndex = 1;
    }
    // Lets queued messages run (the hook, posted notifications, repaints).
    static void pump(int rounds = 5) {
        for (int i = 0; i < rounds; ++i) {
            Application::instance().processMessages();
            Sleep(10);
        }
    }
    void stop() {
        DestroyForms();
        ProgramPathOverride.clear();
        CommandLineParams.clear();
        PlayState = 0;
        CurrentFile.clear();
        CurrentLocalFile.clear();
        CurrentTitle.clear();
        MovieCurrentFrame = MovieTotalFrames = 0;
        PlayAreaActive = ABCircleActive = false;
        LastTimerFrame = 0;
        HasStopped = false;
        TrackDragging = false;
        Seams = MainFormSeams();
        Application::instance().resetTerminated();
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    ~AppHarness() { stop(); }
};

}  // namespace kv::test
