// The runtime's error texts, the default error report, integer conversion,
// the name filters and dialog units.
#include <gtest/gtest.h>

#include "platform/IniFile.h"
#include "tests/support/FakeUiServices.h"
#include "ui/DialogUnits.h"
#include "ui/NameFilter.h"
#include "ui/RuntimeErrors.h"

using namespace kv;
using namespace kv::test;

TEST(RuntimeErrors, EachKindCarriesTheRuntimesText) {
    struct Case {
        std::string what, expected;
    };
    const Case cases[] = {
        {RegistryError::keyNotCreated("\\.swf\\shell\\open").what(),
         "Failed to create key \\.swf\\shell\\open"},
        {RegistryError::dataNotSet("Wallpaper").what(), "Failed to set data for 'Wallpaper'"},
        {ConvertError("12a").what(), "'12a' is not a valid integer value"},
        {IniWriteError("C:\\a.ini").what(), "Unable to write to C:\\a.ini"},
        {InOutError(5).what(), "File access denied"},
        {InOutError(3).what(), "Invalid filename"},
        {InOutError(183).what(), "I/O error 183"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.what, c.expected);
}

TEST(RuntimeErrors, TheReportAddsAPeriodAndShowsAnErrorBoxWithTheProgramsTitle) {
    EXPECT_EQ(errorReportText("Disk full"), "Disk full.");
    EXPECT_EQ(errorReportText("Done."), "Done.");
    EXPECT_EQ(errorReportText("Stop!"), "Stop!");  // '!' sorts before '.'
    EXPECT_EQ(errorReportText("无法写入"), "无法写入.");
    EXPECT_EQ(errorReportText(""), "");
    FakeUiServices fake;
    bool ran = false;
    EXPECT_TRUE(RunCommand([&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(fake.messages.empty());
    EXPECT_FALSE(RunCommand([] { throw IniWriteError("D:\\Korvamelden.ini"); }));
    EXPECT_FALSE(RunCommand([] { StrToInt("x"); }));
    ASSERT_EQ(fake.messages.size(), 2u);
    EXPECT_EQ(fake.messages[0].text, "Unable to write to D:\\Korvamelden.ini.");
    EXPECT_EQ(fake.messages[0].caption, "TesvanorFlash播放器");
    EXPECT_EQ(fake.messages[0].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(fake.messages[1].text, "'x' is not a valid integer value.");
}

TEST(RuntimeErrors, StrToIntReadsWhatTheRuntimeReadsAndRefusesTheRest) {
    struct Case {
        const char* text;
        int value;
        bool ok;
    };
    const Case cases[] = {
        {"0", 0, true},
        {"  42", 42, true},
        {"-17", -17, true},
        {"+8", 8, true},
        {"$1F", 31, true},
        {"0x10", 16, true},
        {"2147483647", 2147483647, true},
        {"-2147483648", -2147483647 - 1, true},
        {"2147483648", 0, false},
        {"99999999999", 0, false},
        {"", 0, false},
        {"-", 0, false},
        {"12 ", 0, false},
        {"1.5", 0, false},
        {"一", 0, false},
        {"$", 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        if (c.ok) {
            EXPECT_EQ(StrToInt(c.text), c.value);
        } else {
            EXPECT_THROW(StrToInt(c.text), ConvertError);
        }
    }
}

TEST(RuntimeErrors, MakeDirectoryRaisesTheInputOutputErrorOfTheSystemCode) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "kv_mkdir_test";
    RemoveDirectoryA(dir.c_str());
    MakeDirectory(dir);
    try {
        MakeDirectory(dir);
        ADD_FAILURE() << "no InOutError";
    } catch (const InOutError& e) {
        EXPECT_EQ(e.code(), static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
        EXPECT_STREQ(e.what(), "I/O error 183");
    }
    RemoveDirectoryA(dir.c_str());
    EXPECT_THROW(MakeDirectory(dir + "\\no\\such"), InOutError);
}

TEST(NameFilter, RefusedCharactersAndWarningsOfBothFields) {
    EXPECT_EQ(nameFilterWarning(kPlayListNameFilter),
              "播放列表名称中不能包含下列任何字符之一:\r\r     - \\ / : * ? \" < > |");
    EXPECT_EQ(nameFilterWarning(kFileNameFilter),
              "文件名不能包含下列任何字符之一:\r\r     \\ / : * ? \" < > |");
    for (unsigned ch : {'\\', '/', ':', '*', '?', '"', '<', '>', '|'}) {
        EXPECT_TRUE(nameFilterRefuses(kPlayListNameFilter, ch)) << char(ch);
        EXPECT_TRUE(nameFilterRefuses(kFileNameFilter, ch)) << char(ch);
    }
    EXPECT_TRUE(nameFilterRefuses(kPlayListNameFilter, '-'));
    EXPECT_FALSE(nameFilterRefuses(kFileNameFilter, '-'));
    for (unsigned ch : {unsigned('a'), unsigned(' '), unsigned('.'), 8u, 0x955Cu, 0xB27Cu})
        EXPECT_FALSE(nameFilterRefuses(kPlayListNameFilter, ch)) << ch;
}

TEST(DialogUnits, KeepTheProportionsAt96And120Dpi) {
    DialogUnits at96 = DialogUnits::forDpi(96), at120 = DialogUnits::forDpi(120);
    EXPECT_GE(at96.baseX(), 5);
    EXPECT_GE(at96.baseY(), 11);
    // A standard 50 x 14 button grows by a quarter, within rounding.
    EXPECT_NEAR(at120.x(50), at96.x(50) * 5 / 4, at96.x(50) / 8 + 1);
    EXPECT_NEAR(at120.y(14), at96.y(14) * 5 / 4, at96.y(14) / 8 + 1);
    RECT r = at96.toPixels({4, 8, 8, 16});
    EXPECT_EQ(r.left, at96.baseX());
    EXPECT_EQ(r.top, at96.baseY());
    EXPECT_EQ(r.right - r.left, at96.baseX() * 2);
    EXPECT_EQ(r.bottom - r.top, at96.baseY() * 2);
}
