// The real playlist window in a temporary program folder, with a play window
// that records its commands, and helpers that reach it through real messages.
#pragma once

#include <windows.h>
// (after windows.h)
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "app/AppState.h"
#include "app/MainForm.h"
#include "options/FunctionUnit.h"
#include "platform/AnsiText.h"
#include "playback/PlayForm.h"
#include "playlist/PlayListForm.h"
#include "tests/support/AppHarness.h"

namespace kvtest {

class SpyPlayForm : public kv::TPlayForm {
public:
    std::vector<std::string> calls;
    void playAFile(const std::string& p) override { calls.push_back("playAFile " + p); }
    void pmiPlayClick() override { calls.push_back("play " + std::to_string(kv::CurrentIndex)); }
    void pmiStopClick() override { calls.push_back("stop"); }
};

class PlayListWindowTest : public ::testing::Test {
protected:
    kv::test::AppHarness app;
    kv::test::ProgramFolder& folder = app.folder;
    kv::test::FakeUiServices& ui = app.ui;
    SpyPlayForm* spy = nullptr;

    // Named lists to create in "PlayLists\" before the start (relative paths).
    void start(const std::vector<std::string>& namedLists = {}, const std::string& ini = "") {
        CreateDirectoryA(folder.file("PlayLists").c_str(), nullptr);
        for (const std::string& n : namedLists) {
            std::string dir = kv::AnsiExtractFilePath(n);
            if (!dir.empty()) CreateDirectoryA(folder.file("PlayLists\\" + dir).c_str(), nullptr);
            folder.write("PlayLists\\" + n, "[PlayList]\r\nFile1=C:\\x.swf\r\nTitle1=x\r\n");
        }
        auto s = std::make_unique<SpyPlayForm>();
        spy = s.get();
        ASSERT_TRUE(app.start(ini, {}, std::move(s)));
    }
    void TearDown() override { app.stop(); }
    static void pump() { kv::test::AppHarness::pump(2); }

    kv::TPlayListForm& form() { return *kv::PlayListForm; }
    HWND list() { return form().lstPlayList.handle(); }

    // Replaces the current list with items t1..tn (paths C:\m\t<k>.swf).
    void fill(int n) {
        kv::PlayListFiles.clear();
        kv::PlayListTitles.clear();
        for (int k = 1; k <= n; ++k) {
            kv::PlayListFiles.push_back("C:\\m\\t" + std::to_string(k) + ".swf");
            kv::PlayListTitles.push_back("t" + std::to_string(k));
        }
        kv::PlayListCount = n;
        form().RefreshItems();
    }
    void select(int p) { SendMessageA(list(), LB_SETCURSEL, static_cast<WPARAM>(p), 0); }
    int selection() { return static_cast<int>(SendMessageA(list(), LB_GETCURSEL, 0, 0)); }

    // Presses a key in the list box with the given modifiers held.
    void press(WORD vk, bool shift = false, bool alt = false) {
        BYTE state[256] = {};
        if (shift) state[VK_SHIFT] = 0x80;
        if (alt) state[VK_MENU] = 0x80;
        SetKeyboardState(state);
        PostMessageA(list(), alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, alt ? (1 << 29) : 0);
        pump();
        BYTE none[256] = {};
        SetKeyboardState(none);
        kv::CtrlDown = kv::AltDown = kv::ShiftDown = false;
    }

    // Drops the paths on the window as the shell does (ANSI or UTF-16 names).
    void drop(const std::vector<std::string>& paths, bool wide = false) {
        std::vector<std::wstring> w;
        size_t size = sizeof(DROPFILES) + (wide ? 2 : 1);
        for (const auto& p : paths) {
            if (wide) {
                int n = MultiByteToWideChar(CP_ACP, 0, p.c_str(), -1, nullptr, 0);
                std::wstring ws(static_cast<size_t>(n), L'\0');
                MultiByteToWideChar(CP_ACP, 0, p.c_str(), -1, ws.data(), n);
                w.push_back(ws);  // with its terminating zero
                size += ws.size() * 2;
            } else {
                size += p.size() + 1;
            }
        }
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        auto* df = static_cast<DROPFILES*>(GlobalLock(h));
        df->pFiles = sizeof(DROPFILES);
        df->fWide = wide;
        char* out = reinterpret_cast<char*>(df + 1);
        for (size_t i = 0; i < paths.size(); ++i) {
            size_t n = wide ? w[i].size() * 2 : paths[i].size() + 1;
            memcpy(out, wide ? static_cast<const void*>(w[i].data()) : paths[i].c_str(), n);
            out += n;
        }
        GlobalUnlock(h);
        SendMessageA(form().handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0);
    }

    std::vector<std::string> titles() const { return kv::PlayListTitles; }
};

}  // namespace kvtest
