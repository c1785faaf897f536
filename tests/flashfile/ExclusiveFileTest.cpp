// Sharing as Windows enforces it: conversions hold their inputs for exclusive
// use, and an input held elsewhere cannot be converted or read.
#include <gtest/gtest.h>
#include <windows.h>

#include "flashfile/FlashFileAttr.h"
#include "flashfile/Projector.h"
#include "platform/ExclusiveFile.h"
#include "stub/AppendedMovie.h"
#include "tests/flashfile/TestFiles.h"
#include "tools/swfwriter/HeaderVariants.h"

using namespace kv;
using kvtest::TempFolder;

TEST(ExclusiveFile, ExclusiveReadShutsOutEveryOtherOpen) {
    TempFolder dir;
    kvtest::writeBytes(dir / "m.swf", swfw::headerMovie({}));
    ExclusiveFile held;
    ASSERT_EQ(held.open(dir / "m.swf", ExclusiveFile::Mode::ReadExclusive), ExclusiveFile::OpenStatus::Ok);
    ExclusiveFile other;
    EXPECT_EQ(other.open(dir / "m.swf", ExclusiveFile::Mode::ReadShared), ExclusiveFile::OpenStatus::Failed);
    TFlashFileAttr attr;
    EXPECT_THROW(GetFlashFileAttr(dir / "m.swf", attr), FileReadError);
    EXPECT_THROW(SwfToExe(dir / "m.swf", dir / "p.exe", dir / "m.swf"), FileReadError);
}

TEST(ExclusiveFile, InputWrittenByAnotherProgramIsNotConverted) {
    TempFolder dir;
    kvtest::writeBytes(dir / "stub.exe", swfw::fakeStub(100));
    kvtest::writeBytes(dir / "m.swf", swfw::headerMovie({}));
    HANDLE writer = CreateFileA((dir / "m.swf").c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_THROW(SwfToExe(dir / "m.swf", dir / "p.exe", dir / "stub.exe"), FileReadError);
    EXPECT_FALSE(kvtest::fileExists(dir / "p.exe"));
    CloseHandle(writer);
    SwfToExe(dir / "m.swf", dir / "p.exe", dir / "stub.exe");
    EXPECT_TRUE(kvtest::fileExists(dir / "p.exe"));
}

TEST(ExclusiveFile, GbkNamesWithBackslashTrailBytesAreRead) {
    TempFolder dir;
    // A folder and a file named with a character whose second byte is 0x5C ('\').
    std::string folder = dir / "\x95\x5C";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string path = folder + "\\\x95\x5C.SWF";
    kvtest::writeBytes(path, swfw::headerMovie({}));
    TFlashFileAttr attr;
    GetFlashFileAttr(path, attr);
    EXPECT_TRUE(attr.IsFlashFile);
    EXPECT_EQ(attr.Width, 550);
}

TEST(DeviceFiles, DeviceNamesAreRecognisedWhateverTheirCaseAndExtension) {
    const std::pair<const char*, bool> cases[] = {
        {"C:\\m\\COM1.swf", true},
        {"c:\\m\\con", true},
        {"aux.exe", true},
        {"D:\\lpt9.Swf", true},
        {"nul . swf", true},
        {"C:\\PRN.tar.swf", true},
        {"\\\\.\\pipe\\kv.swf", true},
        {"conin$", true},
        {"C:\\COM10.swf", false},
        {"C:\\COMA.swf", false},
        {"C:\\console.swf", false},
        {"C:\\my con.swf", false},
        {"C:\\con\\a.swf", false},
        {"C:\\\x95\x5c"
         "COM1.swf",
         false},  // a trail byte, no separator
    };
    for (const auto& c : cases) EXPECT_EQ(IsDeviceName(c.first), c.second) << c.first;
}

namespace {
// Runs `call` on its own thread; false when it has not returned within `ms`.
template <class F>
DWORD WINAPI RunCall(LPVOID p) {
    (*static_cast<F*>(p))();
    return 0;
}

template <class F>
bool ReturnsWithin(DWORD ms, F call) {
    HANDLE t = CreateThread(nullptr, 0, &RunCall<F>, &call, 0, nullptr);
    bool done = WaitForSingleObject(t, ms) == WAIT_OBJECT_0;
    if (!done) TerminateThread(t, 1);
    CloseHandle(t);
    return done;
}
}  // namespace

TEST(DeviceFiles, DevicesAndPipesAreRefusedAtOnce) {
    TFlashFileAttr attr;
    for (const char* path : {"C:\\COM1.swf", "C:\\movies\\CON.swf", "LPT1.exe", "C:\\aux.swf"}) {
        EXPECT_TRUE(ReturnsWithin(2000, [&] {
            try {
                GetFlashFileAttr(path, attr);
            } catch (const FileError&) {
            }
        })) << path;
        EXPECT_FALSE(attr.IsFlashFile) << path;
        std::vector<uint8_t> movie;
        EXPECT_FALSE(readAppendedMovie(path, movie)) << path;
    }

    // A pipe whose other end never writes: reading it would wait for ever.
    const char* pipe = "\\\\.\\pipe\\kv_device_test.swf";
    HANDLE server =
        CreateNamedPipeA(pipe, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 4, 4096, 4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    ExclusiveFile f;
    EXPECT_EQ(f.open(pipe, ExclusiveFile::Mode::ReadShared), ExclusiveFile::OpenStatus::Failed);
    EXPECT_TRUE(ReturnsWithin(2000, [&] {
        try {
            GetFlashFileAttr(pipe, attr);
        } catch (const FileError&) {
        }
    }));
    std::vector<uint8_t> movie;
    EXPECT_TRUE(ReturnsWithin(2000, [&] { readAppendedMovie(pipe, movie); }));
    EXPECT_TRUE(movie.empty());
    CloseHandle(server);
}

// A finished target replaces the old one by renaming its open handle; an old
// target that a player holds open stays as it was, and the conversion fails
// without leaving its temporary file.
TEST(ExclusiveFile, FinishedTargetReplacesTheOldOneUnlessItIsHeldOpen) {
    TempFolder dir;
    const swfw::Bytes old = {9, 9}, movie = swfw::headerMovie({});
    kvtest::writeBytes(dir / "m.swf", movie);
    for (bool held : {false, true}) {
        SCOPED_TRACE(held ? "held" : "free");
        kvtest::writeBytes(dir / "t.swf", old);
        HANDLE player = INVALID_HANDLE_VALUE;
        if (held) {
            player = CreateFileA((dir / "t.swf").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(player, INVALID_HANDLE_VALUE);
        }
        if (held) {
            EXPECT_THROW(CopyFileOver(dir / "m.swf", dir / "t.swf"), FileError);
        } else {
            CopyFileOver(dir / "m.swf", dir / "t.swf");
        }
        if (player != INVALID_HANDLE_VALUE) CloseHandle(player);
        EXPECT_EQ(kvtest::readBytes(dir / "t.swf"), held ? old : movie);
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir / "*.tmp").c_str(), &fd);
        EXPECT_EQ(h, INVALID_HANDLE_VALUE) << fd.cFileName;  // no temporary file left
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    }
}
