// The real program started the way the shell starts it: a favorite given on
// the command line plays its movie and counts a view; a movie path with
// blanks arrives whole, quoted or not.
#include <gtest/gtest.h>

#include "favorites/FavoriteFile.h"
#include "platform/IniFile.h"
#include "tests/app/ProgramFolder.h"
#include "tools/swfwriter/SwfWriter.h"

using namespace kv;

namespace {

class BlackBoxTest : public ::testing::Test {
protected:
    test::ProgramFolder folder;
    std::string prog = folder.path() + "Tesvanor Flash 播放器\\";
    std::string movie = prog + "My Movies\\sea side.swf";

    void SetUp() override {
        CreateDirectoryA(prog.c_str(), nullptr);
        CreateDirectoryA((prog + "My Movies").c_str(), nullptr);
        CreateDirectoryA((prog + "Favorite").c_str(), nullptr);
        std::string exe = std::string("Z:") + KV_DIST_DIR + "/Korvamelden.exe";
        for (char& c : exe)
            if (c == '/') c = '\\';
        ASSERT_TRUE(CopyFileA(exe.c_str(), (prog + "Korvamelden.exe").c_str(), FALSE));
        swfw::Movie m;
        for (int i = 0; i < 3; ++i) m.showFrame();
        ASSERT_TRUE(swfw::writeFile(movie, m.build()));
        folder.write("Tesvanor Flash 播放器\\Korvamelden.ini",
                     "[Option]\r\nResumePlayWhenStart=1\r\nListLatestFilesNum=5\r\nShowTrayIcon=0\r\n"
                     "CancelScreenSaveWhenPlay=0\r\n");
    }

    // Runs the program with `args` in its folder until `done` holds, then
    // closes it the normal way so it writes its settings.
    void run(const std::string& args, const std::function<bool()>& done) {
        std::string cmd = "\"" + prog + "Korvamelden.exe\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(
            CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, prog.c_str(), &si, &pi));
        HWND main = nullptr;
        for (int i = 0; i < 300 && !(main && done()); ++i) {
            Sleep(50);
            if (!main) main = FindWindowA("Korvamelden_qlo", nullptr);
        }
        if (main) PostMessageA(main, WM_CLOSE, 0, 0);
        DWORD wait = WaitForSingleObject(pi.hProcess, 20000);
        if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        ASSERT_TRUE(main);
        ASSERT_EQ(wait, WAIT_OBJECT_0);
    }
    std::string setting(const std::string& section, const std::string& key) const {
        return IniFile(prog + "Korvamelden.ini").readString(section, key, "");
    }
};

TEST_F(BlackBoxTest, FavoriteOnTheCommandLinePlaysAndCountsAView) {
    const std::string ffv = prog + "Favorite\\x.ffv";
    folder.write("Tesvanor Flash 播放器\\Favorite\\x.ffv",
                 "[Favorite]\r\nFile=" + movie + "\r\nViewTimes=1\r\n");
    run("Favorite\\x.ffv", [&] { return ReadFavorite(ffv).ViewTimes == 2; });
    FavoriteItem f = ReadFavorite(ffv);
    EXPECT_EQ(f.ViewTimes, 2);
    EXPECT_FALSE(f.LastViewTime.empty());
    EXPECT_EQ(setting("LatestUsedFiles", "File1"), movie);  // it was played
    EXPECT_EQ(setting("PlayInfo", "FileName"), movie);      // and still playing at exit
}

TEST_F(BlackBoxTest, MovieWithBlanksArrivesWholeQuotedOrNot) {
    for (const std::string& arg : {"\"" + movie + "\"", movie}) {
        DeleteFileA((prog + "Korvamelden.ini").c_str());
        folder.write("Tesvanor Flash 播放器\\Korvamelden.ini", "[Option]\r\nResumePlayWhenStart=1\r\n");
        run(arg, [] { return true; });
        EXPECT_EQ(setting("PlayInfo", "FileName"), movie) << arg;
    }
}

}  // namespace
