// Runs the same operations through the Windows profile functions and through
// kv::IniFile on two copies of a file, and compares what both read and write.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/IniFile.h"
#include "tests/platform/TempFolder.h"

namespace kv {
namespace {

using kvtest::ReadFileBytes;
using kvtest::TempFolder;
using kvtest::WriteFileBytes;

// One WritePrivateProfileString call: no key erases the section, no value deletes the key.
struct Op {
    std::string section;
    const char* key;
    const char* value;
};
Op W(const std::string& s, const char* k, const char* v) { return {s, k, v}; }
Op E(const std::string& s) { return {s, nullptr, nullptr}; }
Op D(const std::string& s, const char* k) { return {s, k, nullptr}; }

void WinApply(const std::string& file, const Op& op) {
    WritePrivateProfileStringA(op.section.c_str(), op.key, op.value, file.c_str());
}

void OurApply(IniFile& ini, const Op& op) {
    if (!op.key)
        ini.eraseSection(op.section);
    else if (!op.value)
        ini.deleteKey(op.section, op.key);
    else
        ini.writeString(op.section, op.key, op.value);
}

std::vector<std::string> SplitNulList(const char* buf, DWORD n) {
    std::vector<std::string> out;
    for (const char* p = buf; p < buf + n && *p; p += out.back().size() + 1) out.emplace_back(p);
    return out;
}

std::string WinRead(const std::string& file, const std::string& s, const std::string& k) {
    static char buf[2048];
    return std::string(
        buf, GetPrivateProfileStringA(s.c_str(), k.c_str(), "<def>", buf, sizeof buf, file.c_str()));
}

std::vector<std::string> WinKeys(const std::string& file, const std::string& s) {
    static char buf[1 << 16];
    return SplitNulList(buf, GetPrivateProfileStringA(s.c_str(), nullptr, "", buf, sizeof buf, file.c_str()));
}

std::vector<std::string> WinSections(const std::string& file) {
    static char buf[1 << 16];
    return SplitNulList(buf, GetPrivateProfileSectionNamesA(buf, sizeof buf, file.c_str()));
}

struct Scenario {
    const char* name;
    const char* initial;  // nullptr: no file
    std::vector<Op> ops;
};

const char* const kGbkSection = "\xb2\xa5\xb7\xc5\xc1\xd0\xb1\xed";  // 播放列表
const char* const kGbkPath = "D:\\\xb6\xaf\xbb\xad\\\x81\x5c\\\xba\xa3.swf";

std::vector<Scenario> Scenarios() {
    return {
        {"new file", nullptr, {W("A", "k1", "v1"), W("B", "k2", "v2"), W("a", "K3", "v3")}},
        {"delete and erase",
         "[A]\r\nk1=v1\r\nk2=v2\r\n[B]\r\nb=1\r\n",
         {D("A", "K1"), E("b"), W("C", "", "e")}},
        {"messy layout",
         "top=1\r\n  [ S1 ] junk\r\n; c=1\r\n  a  =  b  \r\nnoeq\r\n\r\n\r\n[S1]\r\nz=2\r\n",
         {W("S1", "new", "N"), W("S3", "n", "N")}},
        {"quotes and blanks", "[Q]\nq='x'\nr=\"y\"\ns=\"y'\nt=\"\nu=  lead\n", {W("Q", "w", "plain")}},
        {"lf and cr", "[X]\nk=1\n", {W("X", "k", "2")}},
        {"cr only", "[X]\rk=1\rm=2\r", {W("X", "n", "3")}},
        {"no final line end", "[X]\r\nk=1", {W("Y", "k", "2")}},
        {"duplicate keys",
         "[S]\r\nk=v\r\nk=dup\r\nK=dup2\r\n[s]\r\nm=1\r\n",
         {D("S", "k"), W("S", "K", "new")}},
        {"empty section gets keys", "[A]\r\n[B]\r\nx=1\r\n", {W("A", "a", "1"), W("B", "y", "2")}},
        {"gbk", nullptr, {W(kGbkSection, "File1", kGbkPath), W(kGbkSection, "Title1", "\xba\xa3")}},
        {"gbk trail bytes", "[\xb1\x5d]\r\n\x81\x41=1\r\n", {W("\xb1\x5d", "\x81\x61", "2")}},
        {"playlist rewrite",
         "[Other]\r\nx=1\r\n[PlayList]\r\nFile1=a\r\nTitle1=a\r\nFile2=b\r\nTitle2=b\r\n[Z]\r\n",
         {E("PlayList"), W("PlayList", "File1", "c"), W("PlayList", "Title1", "c")}},
        {"erase the only section", "[PlayList]\r\nFile1=a\r\n", {E("PlayList")}},
        {"values that look like numbers",
         nullptr,
         {W("N", "a", "0x1F"), W("N", "b", "-7"), W("N", "c", "2147483647"), W("N", "d", "0")}},
    };
}

class IniWineDiff : public ::testing::TestWithParam<std::size_t> {};

TEST_P(IniWineDiff, SameFileAndSameAnswers) {
    const Scenario sc = Scenarios()[GetParam()];
    SCOPED_TRACE(sc.name);
    TempFolder folder;
    std::string win = folder.file("profile.ini"), ours = folder.file("ours.ini");
    if (sc.initial) {
        WriteFileBytes(win, sc.initial);
        WriteFileBytes(ours, sc.initial);
    }
    for (const Op& op : sc.ops) WinApply(win, op);
    IniFile ini(ours);
    for (const Op& op : sc.ops) OurApply(ini, op);
    ASSERT_TRUE(ini.updateFile());
    // Lines not written keep their bytes here (see below), so the files are
    // compared by what the Windows functions read from them.
    EXPECT_EQ(WinSections(ours), WinSections(win));

    IniFile back(ours);
    std::vector<std::string> sections = back.readSections();
    EXPECT_EQ(sections, WinSections(win));
    sections.push_back("");
    sections.push_back("missing");
    for (const std::string& s : sections) {
        std::vector<std::string> keys = back.readSection(s);
        EXPECT_EQ(keys, WinKeys(win, s)) << "section " << s;
        keys.push_back("missing");
        keys.push_back("noeq");
        EXPECT_EQ(WinKeys(ours, s), WinKeys(win, s)) << "section " << s;
        for (const std::string& k : keys) {
            EXPECT_EQ(back.readString(s, k, "<def>"), WinRead(win, s, k)) << s << "/" << k;
            EXPECT_EQ(WinRead(ours, s, k), WinRead(win, s, k)) << s << "/" << k;
            int value = GetPrivateProfileIntA(s.c_str(), k.c_str(), 77, win.c_str());
            int ourValue = back.readInteger(s, k, 77);
            // Text after the digits makes the number unreadable here, while
            // GetPrivateProfileInt stops at it; the two agree on plain numbers.
            if (value != 0 && ourValue != 77) {
                EXPECT_EQ(ourValue, value) << s << "/" << k;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, IniWineDiff, ::testing::Range<std::size_t>(0, Scenarios().size()));

// The differences below are deliberate; each test shows both sides.
class IniWineDifference : public ::testing::Test {
protected:
    IniFile prepare(const std::string& text) {
        WriteFileBytes(win_, text);
        WriteFileBytes(ours_, text);
        return IniFile(ours_);
    }
    TempFolder folder_;
    std::string win_ = folder_.file("profile.ini"), ours_ = folder_.file("ours.ini");
};

TEST_F(IniWineDifference, EraseRemovesRepeatedSectionsAndNamesAreStoredTrimmed) {
    IniFile ini = prepare("[P]\r\nFile1=a\r\n[X]\r\n[p]\r\nFile1=b\r\n");
    for (const Op& op : {E("P"), W("X", "  nk  ", "v")}) {
        WinApply(win_, op);
        OurApply(ini, op);
    }
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(win_), "[X]\r\nnk  =v\r\n[p]\r\nFile1=b\r\n");
    EXPECT_EQ(ReadFileBytes(ours_), "[X]\r\nnk=v\r\n");
}

TEST_F(IniWineDifference, UntouchedLinesKeepTheirBytesAndOuterBlanksAreQuoted) {
    IniFile ini = prepare("; c\n\n[A]\n  a  =  b  \n\n[B]\r\nx=1\r\n");
    for (const Op& op : {W("B", "y", "  two  "), W("B", "x", "2")}) {
        WinApply(win_, op);
        OurApply(ini, op);
    }
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(ReadFileBytes(win_), "; c\r\n[A]\r\na=b\r\n[B]\r\nx=2\r\ny=two\r\n");
    EXPECT_EQ(ReadFileBytes(ours_), "; c\n\n[A]\n  a  =  b  \n\n[B]\r\nx=2\r\ny=\"  two  \"\r\n");
    EXPECT_EQ(WinRead(ours_, "B", "y"), "  two  ");  // read back as written, by both readers
    EXPECT_EQ(IniFile(ours_).readString("B", "y", ""), "  two  ");
}

TEST_F(IniWineDifference, LineBreaksInAValueBecomeSpaces) {
    IniFile ini = prepare("");
    WinApply(win_, W("S", "k", "a\r\n[T]\r\nx=1"));
    OurApply(ini, W("S", "k", "a\r\n[T]\r\nx=1"));
    ASSERT_TRUE(ini.updateFile());
    EXPECT_EQ(WinSections(win_), (std::vector<std::string>{"S", "T"}));
    EXPECT_EQ(IniFile(ours_).readSections(), std::vector<std::string>{"S"});
}

TEST_F(IniWineDifference, LongGbkValueEndsOnAWholeCharacterAndEmptyKeyNamesHideNothing) {
    std::string gbk;
    for (int i = 0; i < 1500; ++i) gbk += "\xd6\xd0";
    IniFile ini = prepare("[L]\r\nk=" + gbk + "\r\n[S]\r\n=x\r\nk=v\r\n");
    char buf[2048];
    EXPECT_EQ(GetPrivateProfileStringA("L", "k", "", buf, sizeof buf, win_.c_str()), 2047u);
    EXPECT_EQ(std::string(buf, 2046), gbk.substr(0, 2046));  // byte 2047 is not part of the value
    EXPECT_EQ(ini.readString("L", "k", ""), gbk.substr(0, 2046));
    EXPECT_TRUE(WinKeys(win_, "S").empty());
    EXPECT_EQ(ini.readSection("S"), std::vector<std::string>{"k"});
}

}  // namespace
}  // namespace kv
