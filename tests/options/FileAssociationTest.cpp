// File associations against the real registry of the test prefix; every test
// puts back the keys it touches.
#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>
#include <shellapi.h>

#include "options/FileAssociation.h"
#include "platform/Registry.h"
#include "tests/support/RegistrySnapshot.h"

using namespace kv;

namespace {

const std::string kProgram = "C:\\Program Files\\Tesvanor Flash\\";
const std::string kCommand = "\"C:\\Program Files\\Tesvanor Flash\\Korvamelden.exe\" \"%1\"";
const std::string kIcon = "C:\\Program Files\\Tesvanor Flash\\Korvamelden.exe,0";
const std::string kPlayWith = std::string("\\Shell\\") + kPlayWithVerb;

std::string value(const std::string& path) {
    std::string v;
    return RegReadDefault(HKEY_CLASSES_ROOT, path, v) ? v : "<none>";
}
bool exists(const std::string& path) { return RegKeyExists(HKEY_CLASSES_ROOT, path); }
void set(const std::string& path, const std::string& v) { RegWriteDefault(HKEY_CLASSES_ROOT, path, v); }

class FileAssociationTest : public ::testing::Test {
protected:
    test::RegistrySnapshot saved{
        HKEY_CLASSES_ROOT,
        {".swf", ".fpl", ".ffv", "Korvamelden", "KorvameldenFile", "KorvameldenPlayList",
         "KorvameldenFavorite", "KvOtherPlayer.Movie", "KvOtherList"}};
    void SetUp() override {
        for (const char* k : {".swf", ".fpl", ".ffv", "Korvamelden", "KorvameldenFile", "KorvameldenPlayList",
                              "KorvameldenFavorite", "KvOtherPlayer.Movie", "KvOtherList"})
            RegDeleteKeyTree(HKEY_CLASSES_ROOT, k);
    }
    // Another program owns ".swf" with its own Open verb and icon.
    static void otherProgramOwnsSwf() {
        set(".swf", "KvOtherPlayer.Movie");
        set("KvOtherPlayer.Movie", "Other movie");
        set("KvOtherPlayer.Movie\\DefaultIcon", "C:\\Other\\other.exe,1");
        set("KvOtherPlayer.Movie\\Shell\\Open", "Play");
        set("KvOtherPlayer.Movie\\Shell\\Open\\Command", "C:\\Other\\other.exe \"%1\"");
    }
};

TEST(AssociationText, CommandAndIconQuoteThePaths) {
    EXPECT_EQ(AssociationCommand(kProgram), kCommand);
    EXPECT_EQ(AssociationIcon(kProgram), kIcon);
}

TEST(AssociationText, RecognisesOurExecutable) {
    struct {
        const char* text;
        bool ours;
    } cases[] = {
        {"\"C:\\Program Files\\x\\Korvamelden.exe\" \"%1\"", true},
        {"C:\\x\\Korvamelden.exe %1", true},
        {"C:\\x\\KORVAMELDEN.EXE,0", true},
        {"Korvamelden.exe", true},
        {"C:\\x\\SAKorvamelden.exe %1", false},
        {"C:\\x\\Korvamelden.exe.bak %1", false},
        {"C:\\Other\\other.exe \"%1\"", false},
        {"", false},
        // a GBK character whose trail byte is '\' just before the name
        {"C:\\\x95\x5CKorvamelden.exe %1", false},
        {"C:\\\xd6\xd0\\Korvamelden.exe %1", true},
    };
    for (const auto& c : cases) EXPECT_EQ(NamesOurExecutable(c.text), c.ours) << c.text;
}

TEST_F(FileAssociationTest, AllBoxesOnFreshSystem) {
    ApplyFileAssociations(kProgram, {true, true, true, true});
    EXPECT_EQ(value(".swf"), "Korvamelden");
    EXPECT_EQ(value("Korvamelden\\DefaultIcon"), kIcon);
    EXPECT_EQ(value("Korvamelden\\Shell\\Open"), "打开(&O)");
    EXPECT_EQ(value("Korvamelden\\Shell\\Open\\Command"), kCommand);
    EXPECT_EQ(value("Korvamelden" + kPlayWith + "\\Command"), kCommand);
    EXPECT_EQ(value("Korvamelden" + kPlayWith), "<none>");  // the key name is the menu text
    for (const auto& t :
         {std::make_pair(".fpl", "KorvameldenPlayList"), std::make_pair(".ffv", "KorvameldenFavorite")}) {
        const std::string p = t.second;
        EXPECT_EQ(value(t.first), p);
        EXPECT_EQ(value(p), p == "KorvameldenPlayList" ? "TesvanorFlash播放器播放列表文件"
                                                       : "TesvanorFlash播放器收藏夹文件");
        EXPECT_EQ(value(p + "\\DefaultIcon"), kIcon);
        EXPECT_EQ(value(p + "\\Shell\\Open"), "打开(&O)");
        EXPECT_EQ(value(p + "\\Shell\\Open\\Command"), kCommand);
        EXPECT_EQ(value(p + kPlayWith + "\\Command"), kCommand);
    }
}

TEST_F(FileAssociationTest, FplPointingElsewhereIsRepointed) {
    set(".fpl", "KvOtherList");
    set("KvOtherList\\Shell\\Open\\Command", "C:\\Other\\list.exe %1");
    ApplyFileAssociations(kProgram, {false, true, false, false});
    EXPECT_EQ(value(".fpl"), "KorvameldenPlayList");
    EXPECT_EQ(value("KorvameldenPlayList\\Shell\\Open\\Command"), kCommand);
    EXPECT_EQ(value("KvOtherList\\Shell\\Open\\Command"), "C:\\Other\\list.exe %1");
}

TEST_F(FileAssociationTest, SwfOfAnotherProgramKeepsItsProgIdAndGetsOurVerbAndIcon) {
    otherProgramOwnsSwf();
    ApplyFileAssociations(kProgram, {true, false, false, false});
    EXPECT_EQ(value(".swf"), "KvOtherPlayer.Movie");
    EXPECT_EQ(value("KvOtherPlayer.Movie\\DefaultIcon"), kIcon);
    EXPECT_EQ(value("KvOtherPlayer.Movie\\Shell\\Open\\Command"), kCommand);
    EXPECT_EQ(value("KvOtherPlayer.Movie"), "Other movie");
    EXPECT_FALSE(exists("Korvamelden"));
}

TEST_F(FileAssociationTest, PlayWithOnlyOnSystemWithoutSwf) {
    ApplyFileAssociations(kProgram, {false, false, false, true});
    EXPECT_EQ(value(".swf"), "KorvameldenFile");
    EXPECT_EQ(value("KorvameldenFile" + kPlayWith + "\\Command"), kCommand);
    EXPECT_FALSE(exists("KorvameldenFile\\Shell\\Open"));
    EXPECT_FALSE(exists("KorvameldenFile\\DefaultIcon"));
    // ".fpl" gets its description and icon with the play-with verb, no Open verb.
    EXPECT_EQ(value("KorvameldenPlayList\\DefaultIcon"), kIcon);
    EXPECT_FALSE(exists("KorvameldenPlayList\\Shell\\Open"));
}

TEST_F(FileAssociationTest, UntickingFplKeepsExtensionAndPlayWithUntilThatBoxGoes) {
    ApplyFileAssociations(kProgram, {false, true, false, true});
    UnregisterFileType(".fpl", "KorvameldenPlayList");
    EXPECT_EQ(value(".fpl"), "KorvameldenPlayList");
    EXPECT_EQ(value("KorvameldenPlayList"), "");
    EXPECT_FALSE(exists("KorvameldenPlayList\\DefaultIcon"));
    EXPECT_FALSE(exists("KorvameldenPlayList\\Shell\\Open"));
    EXPECT_EQ(value("KorvameldenPlayList" + kPlayWith + "\\Command"), kCommand);
    ApplyFileAssociations(kProgram, {false, false, false, false});
    EXPECT_FALSE(exists("KorvameldenPlayList" + kPlayWith));
    EXPECT_EQ(value(".fpl"), "KorvameldenPlayList");
}

TEST_F(FileAssociationTest, StartUpRepairRegistersAllThreeAndLeavesPlayWith) {
    RegisterFileTypesAtStart(kProgram);
    EXPECT_EQ(value(".swf"), "Korvamelden");
    EXPECT_EQ(value("Korvamelden\\Shell\\Open\\Command"), kCommand);
    EXPECT_EQ(value(".fpl"), "KorvameldenPlayList");
    EXPECT_EQ(value(".ffv"), "KorvameldenFavorite");
    EXPECT_EQ(value("KorvameldenFavorite\\Shell\\Open\\Command"), kCommand);
    EXPECT_FALSE(exists("Korvamelden" + kPlayWith));
    EXPECT_FALSE(exists("KorvameldenPlayList" + kPlayWith));
}

TEST_F(FileAssociationTest, AnotherProgramsSwfSurvivesUnticking) {
    otherProgramOwnsSwf();
    ApplyFileAssociations(kProgram, {false, false, false, false});
    EXPECT_EQ(value(".swf"), "KvOtherPlayer.Movie");
    EXPECT_EQ(value("KvOtherPlayer.Movie\\DefaultIcon"), "C:\\Other\\other.exe,1");
    EXPECT_EQ(value("KvOtherPlayer.Movie\\Shell\\Open"), "Play");
    EXPECT_EQ(value("KvOtherPlayer.Movie\\Shell\\Open\\Command"), "C:\\Other\\other.exe \"%1\"");
    EXPECT_EQ(value("KvOtherPlayer.Movie"), "Other movie");
}

TEST_F(FileAssociationTest, OurEntriesInAnotherProgIdGoWhenUnticked) {
    otherProgramOwnsSwf();
    ApplyFileAssociations(kProgram, {true, false, false, false});
    ApplyFileAssociations(kProgram, {false, false, false, false});
    EXPECT_EQ(value(".swf"), "KvOtherPlayer.Movie");
    EXPECT_FALSE(exists("KvOtherPlayer.Movie\\DefaultIcon"));
    EXPECT_FALSE(exists("KvOtherPlayer.Movie\\Shell\\Open"));
    EXPECT_EQ(value("KvOtherPlayer.Movie"), "Other movie");
}

TEST_F(FileAssociationTest, EarlierUnquotedRegistrationIsRecognisedAsOurs) {
    set(".fpl", "KorvameldenPlayList");
    set("KorvameldenPlayList", "TesvanorFlash播放器播放列表文件");
    set("KorvameldenPlayList\\DefaultIcon", "D:\\Old Place\\Korvamelden.exe,0");
    set("KorvameldenPlayList\\Shell\\Open\\Command", "D:\\Old Place\\Korvamelden.exe %1");
    UnregisterFileType(".fpl", "KorvameldenPlayList");
    EXPECT_FALSE(exists("KorvameldenPlayList\\DefaultIcon"));
    EXPECT_FALSE(exists("KorvameldenPlayList\\Shell\\Open"));
    EXPECT_EQ(value("KorvameldenPlayList"), "");
}

TEST_F(FileAssociationTest, EmptyExtensionValueIsPointedAtOurProgId) {
    set(".swf", "");
    ApplyFileAssociations(kProgram, {true, false, false, false});
    EXPECT_EQ(value(".swf"), "Korvamelden");
    EXPECT_EQ(value("Korvamelden\\Shell\\Open\\Command"), kCommand);
}

// The command the shell runs for a movie in a folder with blanks hands the
// program the whole path as one argument.
TEST_F(FileAssociationTest, MovieInFolderWithSpacesArrivesAsOneArgument) {
    ApplyFileAssociations(kProgram, {true, false, false, false});
    std::string command = value("Korvamelden\\Shell\\Open\\Command");
    const std::string movie = "D:\\My Movies\\sea side.swf";
    command.replace(command.find("%1"), 2, movie);
    int argc = 0;
    std::wstring wide(command.begin(), command.end());
    LPWSTR* argv = CommandLineToArgvW(wide.c_str(), &argc);
    ASSERT_EQ(argc, 2);
    EXPECT_EQ(std::wstring(argv[0]), L"C:\\Program Files\\Tesvanor Flash\\Korvamelden.exe");
    EXPECT_EQ(std::wstring(argv[1]), std::wstring(movie.begin(), movie.end()));
    LocalFree(argv);
}

// A key whose security descriptor allows reading only: the registration
// stops there with the runtime's text, what came before stays written.
TEST_F(FileAssociationTest, RefusedWriteRaisesTheRuntimeText) {
    set(".fpl", "KorvameldenPlayList");
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KRWDSD;;;WD)", SDDL_REVISION_1,
                                                                     &sd, nullptr));
    {
        RegKey k = RegKey::open(HKEY_CLASSES_ROOT, ".fpl", KEY_READ | WRITE_DAC);
        ASSERT_TRUE(k);
        ASSERT_EQ(RegSetKeySecurity(k.get(), DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    }
    LocalFree(sd);
    std::string error;
    try {
        ApplyFileAssociations(kProgram, {true, true, true, false});
    } catch (const RegistryError& e) {
        error = e.what();
    }
    // Give the key back its inherited rights before the snapshot restores it.
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;;KA;;;WD)", SDDL_REVISION_1, &sd,
                                                                     nullptr));
    {
        RegKey k = RegKey::open(HKEY_CLASSES_ROOT, ".fpl", KEY_READ | WRITE_DAC);
        RegSetKeySecurity(k.get(), DACL_SECURITY_INFORMATION, sd);
    }
    LocalFree(sd);
    EXPECT_EQ(error, "Failed to create key .fpl");
    EXPECT_EQ(value(".swf"), "Korvamelden");  // written before the refusal
    EXPECT_FALSE(exists(".ffv"));             // never reached
}

}  // namespace
