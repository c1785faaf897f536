// The batch conversion window inside the real main window, on the convert page.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "app/MainForm.h"
#include "flashfile/FileConvertForm.h"
#include "playlist/PlayListState.h"
#include "tests/flashfile/SmallDisk.h"
#include "tests/flashfile/TestFiles.h"
#include "tests/support/AppHarness.h"
#include "tests/ui/Screenshot.h"
#include "tools/swfwriter/HeaderVariants.h"

using namespace kv;
using kvtest::writeBytes;

namespace {

swfw::Bytes movie(size_t padding = 4000) {
    swfw::HeaderSpec s;
    s.padding = padding;
    return swfw::headerMovie(s);
}

class ConvertWindow : public ::testing::Test {
protected:
    test::AppHarness app;

    void open(const std::string& ini = "[FileConvert]\r\nConvertMode=1\r\n") {
        ASSERT_TRUE(app.start(ini));
        ASSERT_FALSE(FileConvertFormExists);
        MainForm->setActivePage(1);
        app.pump();
        ASSERT_TRUE(FileConvertFormExists);
        ASSERT_NE(FileConvertForm, nullptr);
        EXPECT_TRUE(FileConvertForm->docked());
    }
    std::string file(const std::string& name) { return app.folder.file(name); }
    // Writes movies and adds them through "添加文件...".
    void addMovies(const std::vector<std::string>& names) {
        FileDialogResult r;
        for (const auto& n : names) {
            writeBytes(file(n), movie());
            r.files.push_back(file(n));
        }
        app.ui.openResults.push_back(r);
        FileConvertForm->pmiAddFilesClick();
    }
    std::vector<std::string> cells(int column) {
        ReportList& lv = FileConvertForm->lvConvertFileList();
        std::vector<std::string> out;
        for (int i = 0; i < lv.rowCount(); ++i) out.push_back(lv.cell(i, column));
        return out;
    }
    void TearDown() override { app.stop(); }
};

}  // namespace

TEST_F(ConvertWindow, TargetsWithAndWithoutSavePathAndProjectorsWithoutTrailerAreNotListed) {
    open();
    EXPECT_TRUE(FileConvertForm->PopupMenu1()["pmiSwf2Exe"].checked());
    CreateDirectoryA(file("out").c_str(), nullptr);
    addMovies({"a.swf"});
    Options.SavePath = file("out\\");
    addMovies({"b.swf"});
    Options.SavePath = file("gone\\");  // missing folder: beside the source
    addMovies({"c.swf"});
    EXPECT_EQ(app.ui.openRequests.back().filter, "swf文件|*.swf");
    EXPECT_EQ(cells(1), (std::vector<std::string>{file("a.exe"), file("out\\b.exe"), file("c.exe")}));
    EXPECT_EQ(cells(2), (std::vector<std::string>(3, "准备就绪")));

    FileConvertForm->pmiExe2SwfClick();  // the list empties with the mode
    EXPECT_EQ(FileConvertForm->lvConvertFileList().rowCount(), 0);
    EXPECT_EQ(Options.ConvertMode, 0);
    writeBytes(file("plain.exe"), swfw::fakeStub(500));
    writeBytes(file("proj.exe"), swfw::projector(swfw::fakeStub(500), movie()));
    FileDialogResult r;
    r.files = {file("plain.exe"), file("proj.exe")};
    app.ui.openResults.push_back(r);
    FileConvertForm->pmiAddFilesClick();
    EXPECT_EQ(cells(0), (std::vector<std::string>{file("proj.exe")}));
}

TEST_F(ConvertWindow, SecondOfThreeFailingStopsTheRunWithoutPlayOrDelete) {
    open("[FileConvert]\r\nConvertMode=1\r\nPlayConvertedFiles=1\r\nDeleteConvertedFiles=1\r\n");
    writeBytes(file("SAKorvamelden.exe"), swfw::fakeStub(3000));
    addMovies({"a.swf", "b.swf", "c.swf"});
    DeleteFileA(file("b.swf").c_str());
    FileConvertForm->sbBeginConvertClick();
    EXPECT_EQ(cells(2), (std::vector<std::string>{"转换成功", "转换失败", "准备就绪"}));
    EXPECT_EQ(FileConvertForm->prbConvertProgress().position(), 2 * TFileConvertForm::kStepsPerRow);
    EXPECT_TRUE(FileConvertForm->pnlConvertProgress().visible());
    EXPECT_TRUE(ExclusiveFile::exists(file("a.swf")));  // no delete step
    EXPECT_EQ(PlayListCount, 0);                        // no play step
    EXPECT_FALSE(FileConvertForm->busy());
    EXPECT_TRUE(FileConvertForm->PopupMenu1()["pmiAddFiles"].enabled());
}

TEST_F(ConvertWindow, PlaysRowThreeThenRowOneAndDeletesOnlyCheckedSources) {
    open("[FileConvert]\r\nConvertMode=1\r\nPlayConvertedFiles=1\r\nDeleteConvertedFiles=1\r\n");
    writeBytes(file("SAKorvamelden.exe"), swfw::fakeStub(3000));
    addMovies({"a.swf", "b.swf", "c.swf"});
    FileConvertForm->lvConvertFileList().setChecked(1, false);
    FileConvertForm->sbBeginConvertClick();
    app.pump();
    EXPECT_EQ(PlayListFiles, (std::vector<std::string>{file("c.exe"), file("a.exe")}));
    EXPECT_EQ(CurrentPlayListFile, file("Korvamelden.fpl"));
    EXPECT_EQ(MainForm->lblPlayListName.text(), "正在播放");
    EXPECT_FALSE(FileConvertForm->pnlConvertProgress().visible());
    // Delete step: sources of converted rows gone, their rows removed.
    EXPECT_FALSE(ExclusiveFile::exists(file("a.swf")));
    EXPECT_FALSE(ExclusiveFile::exists(file("c.swf")));
    EXPECT_TRUE(ExclusiveFile::exists(file("b.swf")));
    EXPECT_EQ(cells(0), (std::vector<std::string>{file("b.swf")}));
}

TEST_F(ConvertWindow, MissingStubEndsTheRunWithTheMessage) {
    open();
    addMovies({"a.swf"});
    FileConvertForm->sbBeginConvertClick();
    EXPECT_EQ(app.ui.lastText(), "文件”" + ProgramPath + "SAKorvamelden.exe“丢失，请重新安装本软件");
    EXPECT_EQ(cells(2), (std::vector<std::string>{"准备就绪"}));
}

TEST_F(ConvertWindow, OutputFolderMoveAndRemoveCommands) {
    open();
    addMovies({"a.swf", "b.swf", "c.swf"});
    ReportList& lv = FileConvertForm->lvConvertFileList();
    lv.setChecked(0, false);
    lv.setSelectedIndex(1);
    FileConvertForm->pmiMoveUpClick();  // ticked row 2 up beside the unticked row 1
    EXPECT_EQ(cells(0), (std::vector<std::string>{file("b.swf"), file("a.swf"), file("c.swf")}));
    EXPECT_FALSE(lv.checked(0));
    EXPECT_TRUE(lv.checked(1));
    EXPECT_EQ(lv.selectedIndex(), 0);

    app.ui.browseResults.push_back("E:\\new");
    FileConvertForm->pmiChangeOutputDirectoryClick();
    EXPECT_EQ(app.ui.browseTitles.back(), "请选择文件的输出目录");
    EXPECT_EQ(Options.SavePath, "E:\\new\\");
    EXPECT_EQ(cells(1), (std::vector<std::string>{"E:\\new\\b.exe", "E:\\new\\a.exe", "E:\\new\\c.exe"}));

    app.ui.answers.push_back(IDNO);
    FileConvertForm->pmiDeleteSelectedItemsClick();
    EXPECT_EQ(lv.rowCount(), 3);
    EXPECT_EQ(app.ui.lastText(), "是否删除所有选择的项目");
    FileConvertForm->pmiDeleteUnSelectedItemsClick();
    EXPECT_EQ(cells(0), (std::vector<std::string>{file("a.swf"), file("c.swf")}));
    FileConvertForm->pmiDeleteAllClick();
    EXPECT_EQ(lv.rowCount(), 0);
    size_t asked = app.ui.messages.size();
    FileConvertForm->pmiDeleteAllClick();  // empty list: no question
    EXPECT_EQ(app.ui.messages.size(), asked);
}

TEST_F(ConvertWindow, AddDirectoryTakesMatchingFlashFilesOfAllSubfolders) {
    open();
    CreateDirectoryA(file("tree").c_str(), nullptr);
    CreateDirectoryA(file("tree\\sub").c_str(), nullptr);
    writeBytes(file("tree\\x.swf"), movie());
    writeBytes(file("tree\\sub\\y.SWF"), movie());
    writeBytes(file("tree\\sub\\z.exe"), swfw::projector(swfw::fakeStub(100), movie()));
    app.ui.browseResults.push_back(file("tree"));
    FileConvertForm->pmiAddDirectoryClick();
    EXPECT_EQ(app.ui.browseTitles.back(), "请选择需要添加的目录");
    EXPECT_EQ(cells(0), (std::vector<std::string>{file("tree\\x.swf"), file("tree\\sub\\y.SWF")}));
}

TEST_F(ConvertWindow, ScreenshotOfAFinishedRunWithMixedStates) {
    const std::string dir = test::screenshotDir();
    if (dir.empty()) GTEST_SKIP() << "KV_SCREENSHOT_DIR not set";
    open();
    ShowWindow(MainForm->handle(), SW_SHOWNORMAL);
    SetWindowPos(MainForm->handle(), HWND_TOP, 20, 20, 900, 560, SWP_SHOWWINDOW);
    SetForegroundWindow(MainForm->handle());
    writeBytes(file("SAKorvamelden.exe"), swfw::fakeStub(3000));
    addMovies({"动画1.swf", "动画2.swf", "动画3.swf", "动画4.swf", "动画5.swf"});
    FileConvertForm->lvConvertFileList().setChecked(1, false);
    DeleteFileA(file("动画4.swf").c_str());
    FileConvertForm->sbBeginConvertClick();
    app.pump(20);
    EXPECT_TRUE(test::saveWindowShot(MainForm->handle(), dir + "\\convert-mixed-states.bmp"));
}

TEST_F(ConvertWindow, ListCommandsAreDisabledWhileARunGoesOn) {
    open();
    writeBytes(file("SAKorvamelden.exe"), swfw::fakeStub(3000));
    addMovies({"a.swf", "b.swf"});
    bool seen = false, busy = false, addEnabled = true, deleteEnabled = true;
    int hook = Application::instance().addMessageHook([&](MSG& m) {
        if (m.message != WM_APP + 77) return false;
        seen = true;
        busy = FileConvertForm->busy();
        addEnabled = FileConvertForm->PopupMenu1()["pmiAddFiles"].enabled();
        deleteEnabled = FileConvertForm->PopupMenu1()["pmiDeleteAll"].enabled();
        FileConvertForm->PopupMenu1()["pmiDeleteAll"].onClick();  // must not remove rows under the run
        return true;
    });
    PostThreadMessageA(GetCurrentThreadId(), WM_APP + 77, 0, 0);
    FileConvertForm->sbBeginConvertClick();
    Application::instance().removeMessageHook(hook);
    ASSERT_TRUE(seen);
    EXPECT_TRUE(busy);
    EXPECT_FALSE(addEnabled);
    EXPECT_FALSE(deleteEnabled);
    EXPECT_EQ(cells(2), (std::vector<std::string>{"转换成功", "转换成功"}));
    EXPECT_TRUE(FileConvertForm->PopupMenu1()["pmiAddFiles"].enabled());
}

// The middle row's target lies on a full disk or on a read-only one: that row
// fails and ends the run, no source is deleted (the delete step does not run)
// and the disk holds no partial target.
TEST_F(ConvertWindow, FullOrReadOnlyOutputDiskFailsTheRowAndKeepsEverySource) {
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "read-only" : "full");
        kvtest::SmallDisk disk(128 << 10);
        if (!disk.ok()) {
            GTEST_SKIP() << kvtest::SmallDisk::skipReason();
        }
        open("[FileConvert]\r\nConvertMode=1\r\nPlayConvertedFiles=1\r\nDeleteConvertedFiles=1\r\n");
        writeBytes(file("SAKorvamelden.exe"), swfw::fakeStub(3000));
        const swfw::Bytes big = movie(400000);
        addMovies({"a.swf"});
        Options.SavePath = disk.path() + "\\";
        writeBytes(file("b.swf"), big);
        FileConvertForm->AddSourceFile(file("b.swf"));
        Options.SavePath.clear();
        addMovies({"c.swf"});
        EXPECT_EQ(cells(1)[1], disk.file("b.exe"));
        if (readOnly) {
            ASSERT_TRUE(disk.makeReadOnly());
        }
        FileConvertForm->sbBeginConvertClick();
        EXPECT_EQ(cells(2), (std::vector<std::string>{"转换成功", "转换失败", "准备就绪"}));
        EXPECT_EQ(kvtest::readBytes(file("a.swf")), movie());
        EXPECT_EQ(kvtest::readBytes(file("b.swf")), big);
        EXPECT_EQ(kvtest::readBytes(file("c.swf")), movie());
        EXPECT_EQ(kvtest::readBytes(file("a.exe")).size(), 3000 + movie().size() + 8);
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((disk.path() + "\\*.*").c_str(), &fd);
        std::vector<std::string> left;
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) left.push_back(fd.cFileName);
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        EXPECT_EQ(left, std::vector<std::string>{});
        EXPECT_EQ(PlayListCount, 0);  // no play step
        app.stop();
        DeleteFileA(file("a.exe").c_str());
    }
}

TEST_F(ConvertWindow, TitleLineAndColumnsFollowTheWindowsSize) {
    open();
    DialogPanel& title = FileConvertForm->get<DialogPanel>("pnlTitle");
    Panel& line = FileConvertForm->titleLine();
    EXPECT_EQ(title.color(), 11758134u);
    EXPECT_EQ(line.color(), 15830905u);
    for (int width : {700, 1000}) {
        SetWindowPos(MainForm->handle(), nullptr, 0, 0, width, 560, SWP_NOMOVE | SWP_NOZORDER);
        app.pump();
        RECT t, l;
        GetWindowRect(title.handle(), &t);
        GetWindowRect(line.handle(), &l);
        EXPECT_EQ(l.bottom, t.bottom);
        EXPECT_EQ(l.bottom - l.top, 3);
        EXPECT_EQ(l.left, t.left);
        EXPECT_EQ(l.right, t.right);
        // The two path columns share the list's width less 130 pixels.
        HWND lv = FileConvertForm->lvConvertFileList().handle();
        RECT c;
        GetClientRect(lv, &c);
        EXPECT_EQ(ListView_GetColumnWidth(lv, 0), (c.right - 130) / 2);
        EXPECT_EQ(ListView_GetColumnWidth(lv, 1), (c.right - 130) / 2);
    }
}

namespace {

// A movie of 200 MB: a real header, then a hole (the file is sparse).
void writeLargeMovie(const std::string& path, int64_t size) {
    writeBytes(path, movie());
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER at;
    at.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    EXPECT_TRUE(SetEndOfFile(h));
    CloseHandle(h);
}

// A movie that plays for minutes at 30 frames a second.
std::string writeLongMovie(const std::string& path) {
    swfw::Movie m;
    m.frameRate = 30.0;
    m.setBackground(20, 40, 60);
    for (int f = 0; f < 6000; ++f) m.showFrame();
    EXPECT_TRUE(swfw::writeFile(path, m.build()));
    return path;
}

}  // namespace

// One large file converts on the window's thread in blocks with the message
// loop run after each: meanwhile the window answers another thread's messages
// at once, the progress bar moves within the file, the playing movie goes on
// and a main menu command works.
TEST_F(ConvertWindow, StaysResponsiveWhileOneLargeFileConverts) {
    open();
    writeBytes(file("SAKorvamelden.exe"), swfw::fakeStub(3000));
    const int64_t size = 200ll << 20;
    writeLargeMovie(file("big.swf"), size);
    FileConvertForm->AddSourceFile(file("big.swf"));
    ASSERT_EQ(FileConvertForm->lvConvertFileList().rowCount(), 1);
    app.setList({writeLongMovie(file("long.swf"))});
    PlayForm->pmiPlayClick();
    ASSERT_EQ(PlayState, 1);
    const int frameBefore = PlayForm->Flash1.CurrentFrame();
    const bool onTop = MainForm->item("mmiStayOnTop").checked();

    HWND main = MainForm->handle(), bar = FileConvertForm->prbConvertProgress().handle();
    const UINT stayOnTop = MainForm->item("mmiStayOnTop").id();
    std::atomic<bool> done{false};
    std::vector<double> waits;  // ms until each probe was answered (-1: not within a second)
    std::vector<int> positions;
    std::thread watcher([&] {
        bool commandSent = false;
        while (!done) {
            auto t0 = std::chrono::steady_clock::now();
            DWORD_PTR r = 0;
            bool answered = SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &r) != 0;
            waits.push_back(
                answered
                    ? std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count()
                    : -1);
            if (SendMessageTimeoutA(bar, PBM_GETPOS, 0, 0, SMTO_NORMAL, 1000, &r))
                positions.push_back(int(r));
            if (!commandSent && !positions.empty() && positions.back() > 0) {
                PostMessageA(main, WM_COMMAND, MAKEWPARAM(stayOnTop, 0), 0);
                commandSent = true;
            }
            Sleep(15);
        }
    });
    auto t0 = std::chrono::steady_clock::now();
    FileConvertForm->sbBeginConvertClick();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    done = true;
    watcher.join();

    EXPECT_EQ(cells(2), (std::vector<std::string>{"转换成功"}));
    ExclusiveFile target;
    uint64_t written = 0;
    ASSERT_EQ(target.open(file("big.exe"), ExclusiveFile::Mode::ReadShared), ExclusiveFile::OpenStatus::Ok);
    EXPECT_TRUE(target.size(written));
    EXPECT_EQ(written, 3000u + size + 8);
    target.close();
    DeleteFileA(file("big.exe").c_str());
    ASSERT_GE(waits.size(), 5u) << "the conversion took " << seconds << " s";
    std::vector<double> sorted = waits;
    std::sort(sorted.begin(), sorted.end());
    // A disk that is busy writing back earlier data can hold a single write
    // for a second; the window must answer promptly in all but a rare case.
    const size_t stalled = size_t(std::count(waits.begin(), waits.end(), -1.0));
    EXPECT_LE(stalled, waits.size() / 20) << "probes unanswered for a second";
    EXPECT_LT(sorted[sorted.size() / 2], 100) << "median wait";
    std::set<int> within;
    for (int p : positions)
        if (p > 0 && p < TFileConvertForm::kStepsPerRow) within.insert(p);
    EXPECT_GE(within.size(), 2u) << "the bar should move within the file";
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_GT(PlayForm->Flash1.CurrentFrame(), frameBefore + 3) << "the movie should go on playing";
    EXPECT_NE(MainForm->item("mmiStayOnTop").checked(), onTop) << "the menu command should have run";
    std::printf(
        "[ figures  ] %.2f s for 200 MB; %zu probes (%zu unanswered), median wait %.1f ms, longest "
        "answered %.1f ms; %zu bar positions\n",
        seconds, waits.size(), stalled, sorted[sorted.size() / 2], sorted.back(), within.size());
}

// Quitting while a row is half copied ends the run: that row fails without a
// partial target, the next row is not started and neither the play step nor
// the delete step runs for the rows converted before.
TEST_F(ConvertWindow, QuittingDuringARunEndsItWithoutPlayOrDelete) {
    open("[FileConvert]\r\nConvertMode=1\r\nPlayConvertedFiles=1\r\nDeleteConvertedFiles=1\r\n");
    writeBytes(file("SAKorvamelden.exe"), swfw::fakeStub(3000));
    addMovies({"a.swf"});
    writeBytes(file("b.swf"), movie(30000000));
    FileConvertForm->AddSourceFile(file("b.swf"));
    addMovies({"c.swf"});
    int quitAt = 0;
    bool quit = false;
    // A thread timer looks every few milliseconds whether the second row has
    // started, then quits as the tray's close command does.
    const UINT_PTR timer = SetTimer(nullptr, 0, 5, nullptr);
    int hook = Application::instance().addMessageHook([&](MSG& m) {
        if (m.message != WM_TIMER || m.hwnd != nullptr || m.wParam != timer) return false;
        if (!quit && FileConvertForm->rows().rows[1].state == ConvertState::Converting) {
            quit = true;
            quitAt = FileConvertForm->prbConvertProgress().position();
            MainForm->mmiApplicationCloseClick();
        }
        return true;
    });
    FileConvertForm->sbBeginConvertClick();
    KillTimer(nullptr, timer);
    Application::instance().removeMessageHook(hook);
    ASSERT_TRUE(quit);
    EXPECT_GE(quitAt, TFileConvertForm::kStepsPerRow);  // the first row was done
    EXPECT_EQ(cells(2), (std::vector<std::string>{"转换成功", "转换失败", "准备就绪"}));
    EXPECT_TRUE(ExclusiveFile::exists(file("a.swf")));
    EXPECT_TRUE(ExclusiveFile::exists(file("b.swf")));
    EXPECT_FALSE(ExclusiveFile::exists(file("b.exe")));
    EXPECT_FALSE(ExclusiveFile::exists(file("c.exe")));
    EXPECT_EQ(PlayListCount, 0);
}
