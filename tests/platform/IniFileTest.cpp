#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "tests/platform/TempFolder.h"

namespace kv {
namespace {

using kvtest::ReadFileBytes;

class IniFileTest : public ::testing::Test {
protected:
    IniFile load(const std::string& text) {
        kvtest::WriteFileBytes(file_, text);
        return IniFile(file_);
    }
    kvtest::TempFolder folder_;
    std::string file_ = folder_.file("t.ini");
};

TEST_F(IniFileTest, NamesIgnoreBlanksAndAsciiCaseOnly) {
    // 0x81 0x41 and 0x81 0x61 are two characters, not the cases of one.
    IniFile ini = load(
        "[\xce\xc4"
        "A]\r\n\x81\x41=trail A\r\nKey=v\r\n");
    EXPECT_EQ(ini.readString(" \xce\xc4"
                             "a ",
                             " KEY ", ""),
              "v");
    EXPECT_EQ(ini.readString("\xce\xc4"
                             "a",
                             "\x81\x41", ""),
              "trail A");
    EXPECT_EQ(ini.readString("\xce\xc4"
                             "a",
                             "\x81\x61", "<def>"),
              "<def>");
}

TEST_F(IniFileTest, ReadIntegerTakesDecimalAndHexOnly) {
    IniFile ini = load(
        "[N]\r\na=42\r\nb=-7\r\nc=0x1F\r\nd=0XfF\r\ne=12abc\r\nf=0x\r\ng=\r\nh=abc\r\ni=2147483647\r\n"
        "j=2147483648\r\nk=-2147483648\r\nl=0xFFFFFFFF\r\nm=0x100000000\r\nn=+5\r\n");
    const std::pair<const char*, int> cases[] = {{"a", 42},
                                                 {"b", -7},
                                                 {"c", 31},
                                                 {"d", 255},
                                                 {"e", 99},
                                                 {"f", 99},
                                                 {"g", 99},
                                                 {"h", 99},
                                                 {"i", 2147483647},
                                                 {"j", 99},
                                                 {"k", -2147483647 - 1},
                                                 {"l", -1},
                                                 {"m", 99},
                                                 {"n", 5},
                                                 {"missing", 99}};
    for (const auto& c : cases) EXPECT_EQ(ini.readInteger("N", c.first, 99), c.second) << c.first;
    EXPECT_TRUE(ini.readBool("N", "n", false));
    EXPECT_TRUE(ini.readBool("N", "h", true));  // not a number: the default
    EXPECT_FALSE(ini.readBool("N", "h", false));
}

TEST_F(IniFileTest, LongValuesAreCutWithoutSplittingACharacter) {
    std::string ascii(3000, 'a'), gbk;
    for (int i = 0; i < 1500; ++i) gbk += "\xd6\xd0";
    IniFile ini = load("[L]\r\nascii=" + ascii + "\r\ngbk=" + gbk + "\r\n");
    EXPECT_EQ(ini.readString("L", "ascii", ""), ascii.substr(0, 2047));
    EXPECT_EQ(ini.readString("L", "gbk", ""), gbk.substr(0, 2046));
}

TEST_F(IniFileTest, EraseRemovesEveryCopyOfASectionAndDeleteTheFirstKey) {
    IniFile ini = load("[A]\r\nk=1\r\nk=2\r\nx=0\r\n[B]\r\nb=1\r\n[a]\r\nk=3\r\n[b]\r\n");
    ini.deleteKey("A", "K");
    EXPECT_EQ(ini.readString("A", "k", ""), "2");  // the next line of that name answers now
    ini.eraseSection("B");
    EXPECT_FALSE(ini.sectionExists("b"));
    ini.writeString("B", "new", "1");
    ini.writeString("", "top", "t");  // the unnamed section must come first
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "top=t\r\n[A]\r\nk=2\r\nx=0\r\n[a]\r\nk=3\r\n[B]\r\nnew=1\r\n");
}

TEST_F(IniFileTest, LineBreaksInAValueCannotAddLines) {
    IniFile ini(file_);
    ini.writeString("S", "k", "one\r\n[Injected]\r\nevil=1");
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(IniFile(file_).readSections(), std::vector<std::string>{"S"});
    EXPECT_EQ(IniFile(file_).readString("S", "k", ""), "one  [Injected]  evil=1");
}

TEST_F(IniFileTest, NothingIsWrittenWithoutAChange) {
    IniFile none(file_);
    none.eraseSection("None");
    none.deleteKey("None", "k");
    EXPECT_TRUE(none.updateFile());
    EXPECT_FALSE(kvtest::FileExists(file_));

    IniFile same = load("[A]\nk=v\n");
    same.writeString("a", "K", "v");
    EXPECT_TRUE(same.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[A]\nk=v\n");  // untouched: still LF line ends
}

TEST_F(IniFileTest, FailedSavesKeepTheOldFileAndLeaveNoTemporaryFile) {
    IniFile ini = load("[A]\r\nk=old\r\n");
    kvtest::MakeReadOnly(file_);
    ini.writeString("A", "k", "new");
    EXPECT_FALSE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[A]\r\nk=old\r\n");
    EXPECT_EQ(folder_.fileCount(), 1L);

    IniFile lost(folder_.file("no folder") + folder_.sep() + "t.ini");
    lost.writeString("A", "k", "v");
    EXPECT_FALSE(lost.updateFile());
}

TEST_F(IniFileTest, ByteOrderMarkBeforeTheFirstSectionIsSkippedAndNotWritten) {
    IniFile ini = load("\xEF\xBB\xBF[WindowState]\r\nLeft=5\r\n");
    EXPECT_EQ(ini.readSections(), std::vector<std::string>{"WindowState"});
    EXPECT_EQ(ini.readInteger("WindowState", "Left", 0), 5);
    ini.writeInteger("WindowState", "Top", 6);
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[WindowState]\r\nLeft=5\r\nTop=6\r\n");
}

TEST_F(IniFileTest, UntouchedLinesAreWrittenBackByteForByte) {
    const std::string head = "; settings\n\n[A]\nk = v\n;note=1\n\n\t\n";
    const std::string tail = "[C]\n  x=1  \n\n";
    IniFile ini = load(head + "[B]\r\nold=1\r\n# kept?\r\n\r\n" + tail);
    ini.emptySection("b");
    ini.writeString("B", "File1", "new");
    ini.writeString("A", "added", "1");  // after the section's last line that is not blank
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_),
              "; settings\n\n[A]\nk = v\n;note=1\nadded=1\r\n\n\t\n[B]\r\nFile1=new\r\n\r\n" + tail);
}

TEST_F(IniFileTest, EmptySectionKeepsItsPlaceAndDropsLaterCopies) {
    IniFile ini = load("[P]\r\na=1\r\n[Q]\r\nq=1\r\n[p]\r\nb=2\r\n");
    ini.emptySection("P");
    ini.writeString("P", "c", "3");
    ini.emptySection("New");
    EXPECT_EQ(ini.text(), "[P]\r\nc=3\r\n[Q]\r\nq=1\r\n[New]\r\n");
}

TEST_F(IniFileTest, LastLineWithoutLineEndGetsOneWhenMoreFollows) {
    IniFile ini = load("[A]\nk=v");
    ini.writeString("A", "n", "1");
    ini.writeString("B", "m", "2");
    EXPECT_EQ(ini.text(), "[A]\nk=v\r\nn=1\r\n[B]\r\nm=2\r\n");
}

TEST_F(IniFileTest, ValuesWithOuterBlanksOrQuotesReadBackAsWritten) {
    const std::string values[] = {" lead", "trail ", "\"quoted\"", "'single'", "\"", "a\"b\"", "\t", ""};
    IniFile ini(file_);
    for (const std::string& v : values) ini.writeString("V", "k" + std::to_string(&v - values), v);
    ASSERT_TRUE(ini.updateFile());
    IniFile back(file_);
    for (const std::string& v : values)
        EXPECT_EQ(back.readString("V", "k" + std::to_string(&v - values), "?"), v);
}

#ifdef _WIN32
TEST_F(IniFileTest, AFileThatCouldNotBeReadIsNeverSavedOver) {
    kvtest::WriteFileBytes(file_, "[A]\r\nkeep=1\r\n");
    HANDLE h = CreateFileA(file_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    IniFile ini(file_);  // sharing violation: the read fails
    CloseHandle(h);
    EXPECT_TRUE(ini.readFailed());
    ini.writeString("A", "other", "2");
    EXPECT_FALSE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[A]\r\nkeep=1\r\n");
    EXPECT_FALSE(IniFile(folder_.file("missing.ini")).readFailed());
}

// Under Wine the Linux /proc folder cannot be written even by an administrator.
TEST(IniFileSystemFolder, SaveIntoUnwritableFolderFailsAndKeepsTheFile) {
    const std::string path = "Z:\\proc\\version";
    if (!kvtest::FileExists(path)) GTEST_SKIP() << "not running under Wine";
    std::string before = ReadFileBytes(path);
    IniFile ini(path);
    ini.writeString("A", "k", "v");
    EXPECT_FALSE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(path), before);
}
#else
TEST_F(IniFileTest, SaveIntoReadOnlyFolderFailsAndKeepsTheFile) {
    kvtest::WriteFileBytes(file_, "[A]\r\nk=old\r\n");
    int code = kvtest::RunInReadOnlyFolder(folder_.path(), [&] {
        IniFile ini(file_);
        ini.writeString("A", "k", "new");
        return ini.updateFile() ? 1 : 0;
    });
    EXPECT_EQ(code, 0) << "the save should have failed";
    EXPECT_EQ(ReadFileBytes(file_), "[A]\r\nk=old\r\n");
    EXPECT_EQ(folder_.fileCount(), 1L);
}
#endif

}  // namespace
}  // namespace kv
