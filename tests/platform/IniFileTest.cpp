#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "tests/platform/TempFolder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace kv {
namespace {

using kvtest::FileExists;
using kvtest::ReadFileBytes;
using kvtest::TempFolder;
using kvtest::WriteFileBytes;

class IniFileTest : public ::testing::Test {
protected:
    IniFile load(const std::string& text) {
        WriteFileBytes(file_, text);
        return IniFile(file_);
    }
    TempFolder folder_;
    std::string file_ = folder_.file("t.ini");
};

TEST_F(IniFileTest, ReadsValuesAsTheProfileFunctionsDo) {
    IniFile ini = load(
        "top=1\r\n"
        "  [ Main ] trailing words\r\n"
        "  spaced  =  value with blanks  \r\n"
        "quoted=\"q\"\r\n"
        "single='s'\r\n"
        "mismatch=\"m'\r\n"
        "lonequote=\"\r\n"
        "bare line\r\n"
        "dup=first\r\n"
        "DUP=second\r\n"
        "empty=\r\n"
        "eof=\x1a"
        "v\x1a\r\n"
        "\r\n\r\n"
        "[main]\r\n"
        "later=x\r\n");
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"", "top", "1"},                         // keys before any header
        {"MAIN", "spaced", "value with blanks"},  // names without case, blanks trimmed
        {" main ", " SPACED ", "value with blanks"},
        {"Main", "quoted", "q"},
        {"Main", "single", "s"},
        {"Main", "mismatch", "\"m'"},
        {"Main", "lonequote", "\""},
        {"Main", "bare line", "<def>"},  // a line without '=' has no value
        {"Main", "dup", "first"},        // the first of repeated keys
        {"Main", "empty", ""},
        {"Main", "eof", "v"},        // 0x1A counts as a blank
        {"Main", "later", "<def>"},  // only the first of repeated sections is read
        {"Other", "top", "<def>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.readString(c.section, c.key, "<def>"), c.expected) << c.section << "/" << c.key;
    EXPECT_EQ(ini.readSections(), (std::vector<std::string>{"Main", "main"}));
    EXPECT_EQ(ini.readSection("main"), (std::vector<std::string>{"spaced", "quoted", "single", "mismatch",
                                                                 "lonequote", "dup", "DUP", "empty", "eof"}));
}

TEST_F(IniFileTest, SplitsLinesAtLfOrAtCrWhenThereIsNoLf) {
    EXPECT_EQ(load("[A]\nk=lf\n").readString("A", "k", ""), "lf");
    EXPECT_EQ(load("[A]\rk=cr\r").readString("A", "k", ""), "cr");
    EXPECT_EQ(load("[A]\r\nk=last line without end").readString("A", "k", ""), "last line without end");
}

TEST_F(IniFileTest, CommentsAreKeptButNotListed) {
    IniFile ini = load("[A]\r\n;note=1\r\nk=v\r\n");
    EXPECT_EQ(ini.readSection("A"), std::vector<std::string>{"k"});
    EXPECT_FALSE(ini.valueExists("A", ";note"));
    ini.writeString("A", "n", "2");
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[A]\r\n;note=1\r\nk=v\r\nn=2\r\n");
}

TEST_F(IniFileTest, ReadIntegerTakesDecimalAndHexOnly) {
    IniFile ini = load(
        "[N]\r\na=42\r\nb=-7\r\nc=0x1F\r\nd=0XfF\r\ne=12abc\r\nf=0x\r\ng=\r\nh=abc\r\n"
        "i=2147483647\r\nj=2147483648\r\nk=-2147483648\r\nl=0xFFFFFFFF\r\nm=0x100000000\r\nn=+5\r\n");
    struct Case {
        const char* key;
        int expected;
    } cases[] = {{"a", 42},
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
    for (const Case& c : cases) EXPECT_EQ(ini.readInteger("N", c.key, 99), c.expected) << c.key;
}

TEST_F(IniFileTest, ReadBoolIsNonZeroIntegerElseDefault) {
    IniFile ini = load("[B]\r\none=1\r\nzero=0\r\ntwo=2\r\nword=true\r\nhex=0x0\r\n");
    EXPECT_TRUE(ini.readBool("B", "one", false));
    EXPECT_FALSE(ini.readBool("B", "zero", true));
    EXPECT_TRUE(ini.readBool("B", "two", false));
    EXPECT_TRUE(ini.readBool("B", "word", true));
    EXPECT_FALSE(ini.readBool("B", "word", false));
    EXPECT_FALSE(ini.readBool("B", "hex", true));
    EXPECT_TRUE(ini.readBool("B", "missing", true));
}

TEST_F(IniFileTest, GbkNamesFoldOnlyAsciiCase) {
    // 0x81 0x41 and 0x81 0x61 are different characters although their
    // trail bytes are 'A' and 'a'; 0xB1 0x5D has a trail byte ']'.
    IniFile ini = load(
        "[\xce\xc4\xbc\xfe"
        "A]\r\nk=1\r\n"
        "[\xb1\x5d]\r\nk=2\r\n"
        "[S]\r\n\x81\x41=upper\r\n");
    EXPECT_EQ(ini.readString("\xce\xc4\xbc\xfe"
                             "a",
                             "K", ""),
              "1");
    EXPECT_EQ(ini.readString("\xb1\x5d", "k", ""), "2");
    EXPECT_EQ(ini.readString("S", "\x81\x41", ""), "upper");
    EXPECT_EQ(ini.readString("S", "\x81\x61", "<def>"), "<def>");
}

TEST_F(IniFileTest, LongValuesAreCutWithoutSplittingACharacter) {
    std::string ascii(3000, 'a');
    std::string gbk;
    for (int i = 0; i < 1500; ++i) gbk += "\xd6\xd0";
    IniFile ini = load("[L]\r\nascii=" + ascii + "\r\ngbk=" + gbk + "\r\n");
    EXPECT_EQ(ini.readString("L", "ascii", ""), ascii.substr(0, 2047));
    EXPECT_EQ(ini.readString("L", "gbk", ""), gbk.substr(0, 2046));
}

TEST_F(IniFileTest, WritesInTheWindowsLayout) {
    IniFile ini(file_);
    ini.writeString("First", "a", "1");
    ini.writeInteger("Second", "n", -12);
    ini.writeBool("First", "b", true);
    ini.writeBool("first", "c", false);
    ini.writeString("Second", "  v  ", "  text  ");
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[First]\r\na=1\r\nb=1\r\nc=0\r\n[Second]\r\nn=-12\r\nv=text  \r\n");
}

TEST_F(IniFileTest, RewriteKeepsOtherLinesInPlaceAndNormalisesThem) {
    IniFile ini = load("; header\n  [A]  \n x = 1 \n\n\n[B]\ny=2\nbare\n[C]\n");
    ini.writeString("A", "X", "changed");
    ini.writeString("B", "z", "3");
    ini.writeString("D", "w", "4");
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_),
              "; header\r\n[A]\r\nx=changed\r\n[B]\r\ny=2\r\nbare\r\nz=3\r\n[C]\r\n[D]\r\nw=4\r\n");
}

TEST_F(IniFileTest, EraseSectionRemovesEveryCopyAndDeleteKeyTheFirst) {
    IniFile ini = load("[A]\r\nk=1\r\nk=2\r\nx=0\r\n[B]\r\nb=1\r\n[a]\r\nk=3\r\n");
    ini.deleteKey("A", "K");
    EXPECT_EQ(ini.readString("A", "k", ""), "2");
    ini.deleteKey("A", "k");
    EXPECT_FALSE(ini.valueExists("A", "k"));
    ini.eraseSection("B");
    EXPECT_FALSE(ini.sectionExists("B"));
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[A]\r\nx=0\r\n[a]\r\nk=3\r\n");

    ini.eraseSection("A");
    EXPECT_TRUE(ini.readSections().empty());
    ini.writeString("A", "new", "1");
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[A]\r\nnew=1\r\n");
}

TEST_F(IniFileTest, LineBreaksInNamesAndValuesCannotAddLines) {
    IniFile ini(file_);
    ini.writeString("S", "k", "one\r\n[Injected]\r\nevil=1");
    ASSERT_TRUE(ini.updateFile());
    IniFile again(file_);
    EXPECT_EQ(again.readSections(), std::vector<std::string>{"S"});
    EXPECT_EQ(again.readString("S", "k", ""), "one  [Injected]  evil=1");
}

TEST_F(IniFileTest, UnnamedSectionIsWrittenFirst) {
    IniFile ini = load("[A]\r\nk=1\r\n");
    ini.writeString("", "top", "t");
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "top=t\r\n[A]\r\nk=1\r\n");
    EXPECT_EQ(IniFile(file_).readString("A", "k", ""), "1");
}

TEST_F(IniFileTest, NothingIsWrittenWithoutAChange) {
    IniFile ini(file_);
    ini.eraseSection("None");
    ini.deleteKey("None", "k");
    EXPECT_TRUE(ini.updateFile());
    EXPECT_FALSE(FileExists(file_));

    IniFile same = load("[A]\nk=v\n");
    same.writeString("A", "k", "v");
    EXPECT_TRUE(same.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[A]\nk=v\n");  // untouched, still LF only
}

TEST_F(IniFileTest, GbkPathsRoundTrip) {
    std::string path = "D:\\\xb6\xaf\xbb\xad\\\x81\x5c\\\xba\xa3.swf";  // 动画\<0x81 0x5C>\海.swf
    IniFile ini(file_);
    ini.writeString("\xb2\xa5\xb7\xc5", "File1", path);
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(IniFile(file_).readString("\xb2\xa5\xb7\xc5", "file1", ""), path);
}

TEST_F(IniFileTest, ReadOnlyFileIsNeverReplaced) {
    WriteFileBytes(file_, "[A]\r\nk=old\r\n");
#ifdef _WIN32
    SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY);
#else
    ::chmod(file_.c_str(), 0444);
#endif
    IniFile ini(file_);
    ini.writeString("A", "k", "new");
    EXPECT_FALSE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(file_), "[A]\r\nk=old\r\n");
    EXPECT_EQ(folder_.fileCount(), 1u);  // no temporary file left behind
}

TEST_F(IniFileTest, SaveIntoMissingFolderFails) {
    std::string path = folder_.file("no such folder") + kvtest::kSep + "t.ini";
    IniFile ini(path);
    ini.writeString("A", "k", "v");
    EXPECT_FALSE(ini.updateFile());
    EXPECT_FALSE(FileExists(path));
}

#ifdef _WIN32
// Under Wine the Linux /proc folder is one that even an administrator cannot
// write: a save there must fail and leave the file as it was.
TEST(IniFileSystemFolder, SaveIntoUnwritableFolderFailsAndKeepsTheFile) {
    const std::string path = "Z:\\proc\\version";
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "not running under Wine";
    std::string before = ReadFileBytes(path);
    IniFile ini(path);
    ini.writeString("A", "k", "v");
    EXPECT_FALSE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(path), before);
}
#endif

#ifndef _WIN32
// Saving into a folder the user may not write loses nothing. Root may write
// anywhere, so as root the save runs in a child that gives up its rights.
TEST_F(IniFileTest, SaveIntoReadOnlyFolderFailsAndKeepsTheOldFile) {
    std::string old = "[A]\r\nk=old\r\n";
    WriteFileBytes(file_, old);
    ::chmod(folder_.path().c_str(), 0555);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(3);
        IniFile ini(file_);
        ini.writeString("A", "k", "new");
        ::_exit(ini.updateFile() ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(folder_.path().c_str(), 0755);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the save should have failed";
    EXPECT_EQ(ReadFileBytes(file_), old);
    EXPECT_EQ(folder_.fileCount(), 1u);
}
#endif

TEST(IniWriteError, NamesTheFile) {
    IniWriteError e("C:\\x\\list.fpl");
    EXPECT_STREQ(e.what(), "Unable to write to C:\\x\\list.fpl");
    EXPECT_EQ(e.fileName(), "C:\\x\\list.fpl");
}

}  // namespace
}  // namespace kv
