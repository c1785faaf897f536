// Sharing as Windows enforces it: conversions hold their inputs for exclusive
// use, and an input held elsewhere cannot be converted or read.
#include <gtest/gtest.h>
#include <windows.h>

#include "flashfile/FlashFileAttr.h"
#include "flashfile/Projector.h"
#include "platform/ExclusiveFile.h"
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
