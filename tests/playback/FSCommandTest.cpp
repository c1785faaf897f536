// The FSCommand guard with the real play window: the three policies, the
// questions and the warning byte for byte, the exec lookup order, full screen,
// quit, and the extra question for movies that came from an address. The last
// tests send the commands from a real movie's frame script and button.
#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "platform/AnsiText.h"
#include "playback/MovieOrigin.h"
#include "playback/PlayForm.h"
#include "tests/support/AppHarness.h"
#include "tools/swfwriter/CommandMovie.h"

using namespace kv;

namespace {

const unsigned kAsk = MB_OKCANCEL | MB_ICONEXCLAMATION;
const unsigned kWarn = MB_OK | MB_ICONEXCLAMATION;

class FSCommandTest : public ::testing::Test {
protected:
    test::AppHarness app;
    std::string movie;
    char startFolder[MAX_PATH] = {};

    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, startFolder);
        ASSERT_TRUE(app.start());
        for (const char* dir : {"sys", "films", "films\\sub", "cwd", "cwd\\rel"})
            CreateDirectoryA(app.folder.file(dir).c_str(), nullptr);
        app.sys.system = app.folder.file("sys");
        for (const char* f : {"sys\\tool.exe", "sys\\both.exe", "films\\both.exe", "films\\game.exe",
                              "films\\sub\\run.exe", "cwd\\rel\\run.exe", "sys\\乗丄.exe"})
            app.folder.write(f, "MZ");
        movie = app.folder.file("films\\film.swf");
        swfw::CommandMovieSpec spec;
        spec.frames = 20;
        ASSERT_TRUE(swfw::writeFile(movie, swfw::commandMovie(spec)));
        ClearDownloadedMovies();
    }
    void TearDown() override {
        ClearDownloadedMovies();
        SetCurrentDirectoryA(startFolder);
    }
    // Plays the movie afresh under the given settings and forgets what was shown.
    void restart(int allow, int exec, int quit, bool warn) {
        Options.AllowExecute = allow;
        Options.Exec = exec;
        Options.Quit = quit;
        Options.WarningWhenIsnotExecute = warn;
        if (PlayForm->fullScreen()) PlayForm->pmiFullScreenClick();
        PlayForm->playAFile(movie);
        ASSERT_EQ(PlayState, 1);
        app.ui.messages.clear();
        app.sys.executed.clear();
    }
    std::string path(const std::string& rel) const { return app.folder.file(rel); }
};

std::string asked(const std::string& cmd, const std::string& arg) {
    return "是否执行命令 FSCommand(\"" + cmd + "\",\"" + arg + "\") 。";
}
std::string warned(const std::string& cmd, const std::string& arg) {
    return "无法执行命令 FSCommand(\"" + cmd + "\",\"" + arg + "\") 。";
}
std::string execQuestion(const std::string& file) {
    return "该动画正在试图执行或打开“" + file + "”，是否继续？";
}

}  // namespace

TEST_F(FSCommandTest, ExecFindsTheFileAndObeysThePolicies) {
    SetCurrentDirectoryA(path("cwd").c_str());
    struct Case {
        const char* name;
        int allow, exec;
        const char* command;
        const char* arg;
        std::vector<int> answers;
        std::vector<std::pair<std::string, unsigned>> shown;  // "{F}" stands for the found file
        const char* runs;                                     // relative to the folder; "" when nothing runs
    };
    const std::string tool = path("sys\\tool.exe");
    // clang-format off
    const Case cases[] = {
        {"bare name from the system folder", 0, 0, "exec", "tool.exe", {}, {}, "sys\\tool.exe"},
        {"mixed case is lower-cased", 0, 0, "EXEC", "Tool.EXE", {}, {}, "sys\\tool.exe"},
        {"system folder before the movie's", 0, 0, "exec", "both.exe", {}, {}, "sys\\both.exe"},
        {"then the movie's folder", 0, 0, "exec", "game.exe", {}, {}, "films\\game.exe"},
        {"relative path from the current folder", 0, 0, "exec", "rel\\run.exe", {}, {}, "cwd\\rel\\run.exe"},
        {"relative path below the movie's folder", 0, 0, "exec", "sub\\run.exe", {}, {}, "films\\sub\\run.exe"},
        {"found nowhere: warned as received", 0, 0, "Exec", "Nowhere.exe", {}, {{warned("Exec", "Nowhere.exe"), kWarn}}, ""},
        {"exec 1, OK", 0, 1, "exec", "tool.exe", {IDOK}, {{execQuestion("{F}"), kAsk}}, "sys\\tool.exe"},
        {"exec 1, Cancel", 0, 1, "exec", "tool.exe", {IDCANCEL}, {{execQuestion("{F}"), kAsk}}, ""},
        {"exec 2 runs nothing silently", 0, 2, "exec", "tool.exe", {}, {}, ""},
        {"ask 1 and exec 1 ask twice", 1, 1, "Exec", "TOOL.exe", {IDOK, IDOK},
         {{asked("Exec", "TOOL.exe"), kAsk}, {execQuestion("{F}"), kAsk}}, "sys\\tool.exe"},
        {"ask 1, Cancel: nothing, not even a warning", 1, 0, "exec", "nowhere.exe", {IDCANCEL},
         {{asked("exec", "nowhere.exe"), kAsk}}, ""},
        {"ignore all", 2, 0, "exec", "tool.exe", {}, {}, ""},
        // Trail bytes 0x5C ('\\') and 0x41 ('A'): still a bare name, and not lower-cased.
        {"two-byte name", 0, 0, "exec", "乗丄.exe", {}, {}, "sys\\乗丄.exe"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart(c.allow, c.exec, 1, true);
        app.ui.answers.assign(c.answers.begin(), c.answers.end());
        PlayForm->Flash1FSCommand(c.command, c.arg);
        const std::string found = std::string(c.runs).empty() ? tool : path(c.runs);
        ASSERT_EQ(app.ui.messages.size(), c.shown.size());
        for (size_t i = 0; i < c.shown.size(); ++i) {
            std::string text = c.shown[i].first;
            if (size_t at = text.find("{F}"); at != std::string::npos) text.replace(at, 3, found);
            EXPECT_EQ(app.ui.messages[i].text, text);
            EXPECT_EQ(app.ui.messages[i].caption, "TesvanorFlash播放器");
            EXPECT_EQ(app.ui.messages[i].flags, c.shown[i].second);
        }
        if (std::string(c.runs).empty()) {
            EXPECT_TRUE(app.sys.executed.empty());
        } else {
            ASSERT_EQ(app.sys.executed.size(), 1u);
            // A relative path goes to the shell as it came (the shell resolves it).
            char full[MAX_PATH] = {};
            GetFullPathNameA(app.sys.executed[0].file.c_str(), MAX_PATH, full, nullptr);
            EXPECT_TRUE(AnsiSameTextAscii(full, path(c.runs))) << app.sys.executed[0].file;
            EXPECT_EQ(app.sys.executed[0].verb, "open");
            EXPECT_EQ(app.sys.executed[0].params, "");
            EXPECT_EQ(app.sys.executed[0].dir, "");
            EXPECT_EQ(app.sys.executed[0].show, SW_SHOWNORMAL);
        }
    }
}

TEST_F(FSCommandTest, FullScreenQuitAndTheQuietCommands) {
    struct Case {
        const char* name;
        int allow, quit;
        bool warn;
        const char* command;
        const char* arg;
        std::vector<std::string> shown;
        int state;
        bool full;
    };
    const Case cases[] = {
        {"fullscreen true", 0, 1, true, "fullscreen", "true", {}, 1, true},
        {"mixed case", 0, 1, true, "FullScreen", "TRUE", {}, 1, true},
        {"fullscreen false while windowed", 0, 1, true, "fullscreen", "false", {}, 1, false},
        {"other argument", 0, 1, true, "fullscreen", "yes", {}, 1, false},
        {"quit 1 stops", 0, 1, true, "quit", "", {}, 0, false},
        {"quit 2 does nothing", 0, 2, true, "Quit", "", {}, 1, false},
        {"showmenu is quiet", 0, 1, true, "showmenu", "false", {}, 1, false},
        {"allowscale is quiet", 0, 1, true, "AllowScale", "false", {}, 1, false},
        {"trapallkeys asked first",
         1,
         1,
         true,
         "trapallkeys",
         "true",
         {asked("trapallkeys", "true")},
         1,
         false},
        {"unknown warned", 0, 1, true, "Launch", "Rocket", {warned("Launch", "Rocket")}, 1, false},
        {"unknown, no warning wanted", 0, 1, false, "launch", "rocket", {}, 1, false},
        {"ignored under policy 2", 2, 1, true, "fullscreen", "true", {}, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart(c.allow, 0, c.quit, c.warn);
        PlayForm->Flash1FSCommand(c.command, c.arg);
        std::vector<std::string> texts;
        for (const auto& m : app.ui.messages) texts.push_back(m.text);
        EXPECT_EQ(texts, c.shown);
        EXPECT_EQ(PlayState, c.state);
        EXPECT_EQ(PlayForm->fullScreen(), c.full);
    }

    // Full screen is left again by "false", and is not entered while stopped.
    restart(0, 0, 1, true);
    PlayForm->Flash1FSCommand("fullscreen", "true");
    PlayForm->Flash1FSCommand("fullscreen", "false");
    EXPECT_FALSE(PlayForm->fullScreen());
    PlayForm->pmiStopClick();
    PlayForm->Flash1FSCommand("fullscreen", "true");
    EXPECT_FALSE(PlayForm->fullScreen());

    // Quit 0 ends the program.
    restart(0, 0, 0, true);
    PlayForm->Flash1FSCommand("quit", "");
    EXPECT_TRUE(Application::instance().terminated());
}

TEST_F(FSCommandTest, MovieFromAnAddressAsksBeforeRunningAFile) {
    EXPECT_TRUE(IsDownloadedMovie("http://example.invalid/a.swf"));
    EXPECT_FALSE(IsDownloadedMovie(movie));
    MarkDownloadedMovie(movie);
    EXPECT_TRUE(IsDownloadedMovie(movie));
    std::string upper = movie;
    for (char& ch : upper) ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
    EXPECT_TRUE(IsDownloadedMovie(upper));

    const std::string tool = path("sys\\tool.exe");
    struct Case {
        int exec;
        int answer;
        size_t questions;
        bool runs;
    };
    // Exec 0 becomes "ask first"; 1 and 2 stay as they are.
    for (const Case& c : {Case{0, IDOK, 1, true}, Case{0, IDCANCEL, 1, false}, Case{1, IDOK, 1, true},
                          Case{2, IDOK, 0, false}}) {
        SCOPED_TRACE(c.exec);
        restart(0, c.exec, 1, true);
        app.ui.answers = {c.answer};
        PlayForm->Flash1FSCommand("exec", "tool.exe");
        ASSERT_EQ(app.ui.messages.size(), c.questions);
        if (c.questions) {
            EXPECT_EQ(app.ui.messages[0].text, execQuestion(tool));
        }
        EXPECT_EQ(app.sys.executed.size(), c.runs ? 1u : 0u);
    }
    // The same movie on disk, no longer marked, runs the file unasked.
    ClearDownloadedMovies();
    restart(0, 0, 1, true);
    PlayForm->Flash1FSCommand("exec", "tool.exe");
    EXPECT_TRUE(app.ui.messages.empty());
    EXPECT_EQ(app.sys.executed.size(), 1u);
}

TEST_F(FSCommandTest, FrameScriptAndButtonReachTheGuard) {
    swfw::CommandMovieSpec spec;
    spec.frames = 10;
    spec.rate = 1;
    spec.calls = {{2, "FullScreen", "true"}, {4, "bogus", "x"}};
    spec.buttonCommand = "exec";
    spec.buttonArgs = "tool.exe";
    movie = path("films\\calls.swf");
    ASSERT_TRUE(swfw::writeFile(movie, swfw::commandMovie(spec)));
    restart(0, 0, 1, true);
    for (int i = 0; i < 3; ++i) PlayForm->Flash1.tick();
    EXPECT_TRUE(PlayForm->fullScreen());
    for (int i = 0; i < 2; ++i) PlayForm->Flash1.tick();
    EXPECT_EQ(app.ui.lastText(), warned("bogus", "x"));

    // The button covers the middle of the stage: a click there runs the file.
    HWND flash = PlayForm->Flash1.handle();
    RECT rc;
    GetClientRect(flash, &rc);
    const LPARAM mid = MAKELPARAM(rc.right / 2, rc.bottom / 2);
    SendMessageA(flash, WM_MOUSEMOVE, 0, mid);
    SendMessageA(flash, WM_LBUTTONDOWN, MK_LBUTTON, mid);
    SendMessageA(flash, WM_LBUTTONUP, 0, mid);
    ASSERT_EQ(app.sys.executed.size(), 1u);
    EXPECT_TRUE(AnsiSameTextAscii(app.sys.executed[0].file, path("sys\\tool.exe")));
}

namespace {

// Pages a movie shows in a browser window: web and mail addresses and web
// pages on disk go to the shell (a form as the query, since the shell
// cannot post one); programs, other files and script addresses never do.
TEST_F(FSCommandTest, PagesForABrowserWindowOpenOnlyWebPages) {
    restart(0, 0, 0, false);
    app.folder.write("films\\help.html", "<p>");
    const std::string html = path("films\\help.html");
    PlayForm->Flash1GetURL("http://host/form.php", "_blank", "a=1&b=%20");
    PlayForm->Flash1GetURL("HTTPS://host/p?x=1", "_self", "a=1");
    PlayForm->Flash1GetURL("mailto:a@b.c", "", "");
    PlayForm->Flash1GetURL(html, "_self", "a=1");
    for (const char* bad : {"films\\game.exe", "films\\missing.html", "films\\film.swf"})
        PlayForm->Flash1GetURL(path(bad), "_blank", "");
    PlayForm->Flash1GetURL("javascript:alert(1)", "_self", "");
    PlayForm->Flash1GetURL("file.exe", "_self", "");
    std::vector<std::string> opened;
    for (const auto& e : app.sys.executed) {
        EXPECT_EQ(e.verb, "open");
        EXPECT_EQ(e.show, SW_SHOWNORMAL);
        opened.push_back(e.file);
    }
    EXPECT_EQ(opened, (std::vector<std::string>{"http://host/form.php?a=1&b=%20", "HTTPS://host/p?x=1&a=1",
                                                "mailto:a@b.c", html}));
}

}  // namespace
