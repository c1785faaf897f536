#include <gtest/gtest.h>

#include "options/ConvertWindowLink.h"
#include "options/OptionKeys.h"
#include "tests/app/ProgramFolder.h"

using namespace kv;

namespace {

TEST(OptionKeys, DefaultsThenRoundTripBesideOtherKeys) {
    test::ProgramFolder folder;
    folder.write("Korvamelden.ini", "[Option]\r\nConfirmWhenQuit=1\r\nOption=abc\r\n");
    OptionAssociationKeys k = ReadOptionAssociationKeys(folder.path());
    EXPECT_FALSE(k.Regswf || k.Regfpl || k.Regffv || k.LinkToMenu);
    EXPECT_EQ(ReadOptionPage(folder.path()), 0);
    WriteOptionAssociationKeys(folder.path(), {true, false, true, true});
    WriteOptionPage(folder.path(), 6);
    k = ReadOptionAssociationKeys(folder.path());
    EXPECT_TRUE(k.Regswf);
    EXPECT_FALSE(k.Regfpl);
    EXPECT_TRUE(k.Regffv);
    EXPECT_TRUE(k.LinkToMenu);
    EXPECT_EQ(ReadOptionPage(folder.path()), 6);
    EXPECT_EQ(
        folder.read("Korvamelden.ini"),
        "[Option]\r\nConfirmWhenQuit=1\r\nOption=6\r\nRegswf=1\r\nRegffv=1\r\nRegfpl=0\r\nLinkToMenu=1\r\n");
}

TEST(OptionKeys, PriorityClasses) {
    EXPECT_EQ(PriorityClassOf(1), static_cast<DWORD>(IDLE_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassOf(2), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassOf(3), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassOf(4), static_cast<DWORD>(REALTIME_PRIORITY_CLASS));
    EXPECT_EQ(PriorityClassOf(0), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST(ConvertWindowLink, RetargetKeepsTheTargetFileName) {
    EXPECT_EQ(RetargetConvertedFile("E:\\Out\\", "C:\\src\\a.swf", "D:\\old\\a.exe"), "E:\\Out\\a.exe");
    EXPECT_EQ(RetargetConvertedFile("", "C:\\src\\a.swf", "D:\\old\\a.exe"), "C:\\src\\a.exe");
}

}  // namespace
