// What package authors write: descriptions in UTF-8 or GB2312, values the
// installer's readers would misread, the uninstaller line and the folders
// velapack adds to [Directory]. Files live in the in-memory fake system.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/SetupScript.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/wizard/core/DibFile.h"
#include "installer/wizard/core/tests/BmpFile.h"
#include "tools/velapack/Description.h"
#include "tools/velapack/PackageCheck.h"
#include "tools/velapack/Velapack.h"

using namespace std::string_literals;

namespace {

// The start of every description below: welcome pages off, so no picture.
const std::string kHead = "name = A\nfolder = [Program Files]\\A\nwelcome-pages = no\nuninstall = no\nrun = x\n";
constexpr std::size_t kHeadLines = 5;

// GB2312 bytes of 浮雕画家 and of 小.
const std::string kGbName = "\xB8\xA1\xB5\xF1\xBB\xAD\xBC\xD2";
const std::string kGbSmall = "\xD0\xA1";

class Authoring : public ::testing::Test {
protected:
    vela::test::FakePlatform fs;
    vela::PackageDescription d;
    velapack::DescriptionNotes notes;
    std::string problem;

    void SetUp() override
    {
        fs.files["a.exe"] = "MZ program";
        fs.files["VelaUnInsApp.exe"] = "MZ\x90\0uninstaller"s;
        fs.files["data.bin"] = "data";
    }
    bool Parse(const std::string& text)
    {
        problem.clear();
        return velapack::ParseDescription(text, "", fs, d, problem, notes);
    }
    // Builds the package and reads its script back as the installer does.
    vela::SetupScriptContents Script()
    {
        std::string package, why;
        EXPECT_TRUE(vela::BuildPackage(d, package, why)) << why;
        auto file = vela::OpenMemoryFile(package);
        EXPECT_TRUE(velapack::CheckPackage(*file, 0, why)) << why;
        vela::PackageHeader header;
        EXPECT_TRUE(vela::ReadPackageHeader(*file, 0, header));
        return vela::ReadSetupScript(package.substr(vela::kPackageHeaderSize, header.scriptLength));
    }
};

} // namespace

TEST_F(Authoring, Utf8DescriptionsBecomeGb2312WithOrWithoutByteOrderMark)
{
    const std::string utf8 = "name = 浮雕画家\nfolder = [Program Files]\\浮雕画家\nwelcome-pages = no\n"
                             "uninstall = no\nrun-caption = 现在运行吗？ — 好\nrun = x\n";
    for (const std::string& text : {utf8, "\xEF\xBB\xBF" + utf8, "\xEF\xBB\xBF" + utf8 + "encoding = UTF-8\n"}) {
        ASSERT_TRUE(Parse(text)) << problem;
        EXPECT_EQ(d.displayName, kGbName);
        EXPECT_EQ(d.defaultFolder, "[Program Files]\\" + kGbName);
        // 现在运行吗？ — 好: the em dash is A1AA, as code page 936 shows it.
        EXPECT_EQ(d.runCaption, "\xCF\xD6\xD4\xDA\xD4\xCB\xD0\xD0\xC2\xF0\xA3\xBF \xA1\xAA \xBA\xC3");
        EXPECT_EQ(Script().runCaption, d.runCaption);
    }
}

TEST_F(Authoring, Gb2312DescriptionsKeepTheirBytes)
{
    const std::string afterName = kHead.substr(kHead.find('\n') + 1);
    struct Case {
        std::string text;
        std::string displayName;
        const char* why;
    } cases[] = {
        {"name = " + kGbName + "\n" + afterName, kGbName, "not valid UTF-8: taken as GB2312"},
        // 小 in GB2312 (D0 A1) is also valid UTF-8 (U+0421): only the
        // encoding line keeps it from being read as a Cyrillic letter.
        {"name = " + kGbSmall + "\n" + afterName, "\xA7\xB3", "valid UTF-8: taken as UTF-8"},
        {"encoding = gb2312\nname = " + kGbSmall + "\n" + afterName, kGbSmall, "said outright"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Parse(c.text)) << c.why << ": " << problem;
        EXPECT_EQ(d.displayName, c.displayName) << c.why;
    }
}

TEST_F(Authoring, CharactersGb2312CannotHoldAreRefusedWithTheirLine)
{
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {kHead + "group = 鍾表\n", "line 6: the character U+937E has no GB2312 code"},
        {kHead + "\n# 注释\nrun-caption = 10 €\n", "line 8: the character U+20AC has no GB2312 code"},
        {"\xEF\xBB\xBF" + kHead + "group = \xC3\n", "line 6: the text is not valid UTF-8 here"},
        {"encoding = utf-8\n" + kHead + "group = " + kGbName + "\n", "line 7: the text is not valid UTF-8 here"},
        {"\xEF\xBB\xBF" "encoding = gb2312\n" + kHead, "byte-order mark but is said to be GB2312"},
        {"encoding = latin-1\n" + kHead, "line 1: encoding must be utf-8 or gb2312"},
        {"encoding = utf-8\n" + kHead + "encoding = gb2312\n", "line 7: a second encoding line (line 1 gives one)"},
        {"\xFF\xFEn\0a\0"s, "UTF-16"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Parse(c.text)) << c.expected;
        EXPECT_NE(problem.find(c.expected), std::string::npos) << problem;
    }
    // A GB2312 text misread as UTF-8 is told how to say what it is.
    EXPECT_FALSE(Parse(kHead + "group = \xD6\xB5\n"));
    EXPECT_NE(problem.find("encoding = gb2312"), std::string::npos) << problem;
}

TEST_F(Authoring, TheLicenceTextIsConvertedLikeTheDescription)
{
    fs.files["licence.txt"] = "条款\r\nTerms\n";
    ASSERT_TRUE(Parse(kHead + "licence = licence.txt\n")) << problem;
    EXPECT_EQ(Script().readme, "\xCC\xF5\xBF\xEE\r\nTerms\r\n");

    fs.files["licence.txt"] = "Terms\n€\n";
    EXPECT_FALSE(Parse(kHead + "licence = licence.txt\n"));
    EXPECT_EQ(problem, "line 6: the licence \"licence.txt\", line 2: the character U+20AC has no GB2312 code "
                       "(the text was read as UTF-8; a GB2312 text says so with \"encoding = gb2312\")");
    fs.files["licence.txt"] = "Terms\nA\0B\n"s;
    EXPECT_FALSE(Parse(kHead + "licence = licence.txt\n"));
    EXPECT_EQ(problem, "line 6: the licence \"licence.txt\", line 2: the line holds a NUL byte");
}

TEST_F(Authoring, ValuesTheReadersWouldTakeForASectionHeaderAreRefused)
{
    const char* keys[] = {"name", "folder", "group", "run-caption", "run", "directory", "autoreg", "clear"};
    const char* headers[] = {"[Basal]", "[AutoReg]", "[ClearFile]", "[Menu]", "[Run]",
                             "[Directory]", "[File]", "[TotalSize]", "[Readme Content]", "[Readme End]"};
    for (const char* key : keys) {
        for (const char* header : headers) {
            EXPECT_FALSE(Parse(kHead + key + " =  " + header + " \n")) << key << " = " << header;
            EXPECT_EQ(problem, "line 6: the value \"" + std::string(header) +
                                   "\" would be read as a section header of the setup script");
        }
    }
    // Near misses are plain texts: the readers compare whole lines, case and all.
    ASSERT_TRUE(Parse(kHead + "run-caption = [file]\ngroup = [Run] now\ndirectory = [InstallDir]\\[File]\n"))
        << problem;
    const vela::SetupScriptContents s = Script();
    EXPECT_EQ(s.runCaption, "[file]");
    EXPECT_EQ(s.menuGroup, "[Run] now");
    EXPECT_EQ(s.directories, std::vector<std::string>{"[InstallDir]\\[File]"});
}

TEST_F(Authoring, NulBytesAreRefusedWithTheirLine)
{
    for (const std::string& line : {"name = A\0B"s, "run = \0"s, "file = 0 | a.exe | [InstallDir]\\a\0.exe"s,
                                    "# note \0"s}) {
        EXPECT_FALSE(Parse(kHead + "\n" + line + "\n"));
        EXPECT_EQ(problem, "line 7: the line holds a NUL byte");
    }
}

TEST_F(Authoring, OneLineAddsTheUninstaller)
{
    const std::string head = "name = A\nfolder = [Program Files]\\A\nwelcome-pages = no\nrun = x\ngroup = A\n";
    ASSERT_TRUE(Parse(head + "uninstaller = VelaUnInsApp.exe\nfile = 0 | data.bin | [InstallDir]\\data.bin\n"))
        << problem;
    EXPECT_TRUE(notes.warnings.empty());
    ASSERT_EQ(d.files.size(), 2u);
    EXPECT_EQ(d.files[1].target, "[Windows Directory]\\VelaUnInsApp.exe");
    EXPECT_EQ(d.files[1].flag, '4');
    EXPECT_EQ(d.files[1].bytes, fs.files["VelaUnInsApp.exe"]);
    const vela::SetupScriptContents s = Script();
    EXPECT_EQ(std::string(s.basal.registerUninstall), "1\r\n");
    ASSERT_EQ(s.files.size(), 2u);
    EXPECT_EQ(std::string(s.files[1].target).substr(0, 37), "[Windows Directory]\\VelaUnInsApp.exe ");
    EXPECT_EQ(s.files[1].flag, '4');
    EXPECT_EQ(s.files[1].size, 15);

    // Without it the author is told the Uninstall entry would start nothing.
    ASSERT_TRUE(Parse(head)) << problem;
    ASSERT_EQ(notes.warnings.size(), 1u);
    EXPECT_NE(notes.warnings[0].find("carries no uninstaller"), std::string::npos);
    ASSERT_TRUE(Parse(head + "file = 4 | VelaUnInsApp.exe | [windows directory]\\velauninsapp.exe\n")) << problem;
    EXPECT_TRUE(notes.warnings.empty());

    struct Case {
        std::string text;
        std::string expected;
    } refused[] = {
        {head + "uninstall = no\nuninstaller = VelaUnInsApp.exe\n", "line 7: the uninstaller needs uninstall = yes"},
        {head + "uninstaller = data.bin\n", "line 6: \"data.bin\" is not a Windows program"},
        {head + "uninstaller = missing.exe\n", "line 6: cannot read the file \"missing.exe\""},
        {head + "uninstaller = VelaUnInsApp.exe\nuninstaller = a.exe\n", "line 7: a second uninstaller (line 6"},
        {head + "uninstaller = VelaUnInsApp.exe\nfile = 0 | a.exe | [Windows Directory]\\VelaUnInsApp.exe\n",
         "line 6: a file line already stores"},
    };
    for (const Case& c : refused) {
        EXPECT_FALSE(Parse(c.text)) << c.expected;
        EXPECT_NE(problem.find(c.expected), std::string::npos) << problem;
    }
}

TEST_F(Authoring, FoldersThatReceiveFilesAreAddedToTheDirectories)
{
    const std::string text = kHead +
                             "group = Vela\\A\nshortcut = A | [InstallDir]\\a.exe\n"
                             "directory = [installdir]\\BIN\\\n"
                             "file = 0 | a.exe | [InstallDir]\\bin\\a.exe\n"
                             "file = 0 | data.bin | [InstallDir]\\share\\doc\\data.bin\n"
                             "file = 1 | a.exe | [Windows System]\\a.ocx\n"
                             "file = 0 | data.bin | [Windows System]\\drivers\\data.bin\n"
                             "file = 0 | data.bin | [Windows Desktop]\\\xD5\x5C\\data.bin\n"
                             "file = 0 | data.bin | [Absolute Directory]D:\\data.bin\n"
                             "file = 0 | data.bin | [Absolute Directory]D:\\Vela\\data.bin\n";
    ASSERT_TRUE(Parse(text)) << problem;
    const std::vector<std::string> added = {"[InstallDir]",
                                            "[InstallDir]\\share",
                                            "[InstallDir]\\share\\doc",
                                            "[Windows System]\\drivers",
                                            "[Windows Desktop]\\\xD5\x5C",
                                            "[Absolute Directory]D:\\Vela",
                                            "[Start Menu]\\Vela",
                                            "[Start Menu]\\Vela\\A"};
    EXPECT_EQ(notes.addedFolders, added);
    std::vector<std::string> all = {"[installdir]\\BIN\\"};
    all.insert(all.end(), added.begin(), added.end());
    EXPECT_EQ(d.directories, all);
    EXPECT_TRUE(notes.warnings.empty());
    EXPECT_EQ(Script().directories, all);

    // Turned off, the folders are only named.
    ASSERT_TRUE(Parse("auto-directories = no\n" + text)) << problem;
    EXPECT_TRUE(notes.addedFolders.empty());
    EXPECT_EQ(d.directories, std::vector<std::string>{"[installdir]\\BIN\\"});
    ASSERT_EQ(notes.warnings.size(), 5u);
    EXPECT_NE(notes.warnings[0].find("\"[InstallDir]\\share\\doc\""), std::string::npos) << notes.warnings[0];
    EXPECT_NE(notes.warnings[3].find("\"[Absolute Directory]D:\\Vela\""), std::string::npos) << notes.warnings[3];
    EXPECT_NE(notes.warnings[4].find("program group"), std::string::npos) << notes.warnings[4];
    EXPECT_FALSE(Parse("auto-directories = sometimes\n" + text));
    EXPECT_EQ(problem, "line 1: auto-directories must be yes or no");
}

TEST_F(Authoring, TheProgramGroupIsAddedWhenTheUninstallShortcutGoesThere)
{
    const std::string head = "name = A\nfolder = [Program Files]\\A\nwelcome-pages = no\nrun = x\n";
    ASSERT_TRUE(Parse(head + "group = A\nuninstaller = VelaUnInsApp.exe\n")) << problem;
    EXPECT_EQ(notes.addedFolders, std::vector<std::string>{"[Start Menu]\\A"});
    ASSERT_TRUE(Parse(head + "group = A\nuninstall = no\n")) << problem;
    EXPECT_TRUE(notes.addedFolders.empty());
    ASSERT_TRUE(Parse(head + "uninstaller = VelaUnInsApp.exe\n")) << problem;
    EXPECT_TRUE(notes.addedFolders.empty()) << "no group: the shortcut goes into the programs folder itself";
}

TEST(SameFolder, ComparesSingleByteLettersWithoutCase)
{
    struct Case {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"[InstallDir]\\Back", "[installdir]\\back\\", true},
        {"[InstallDir]\\", "[InstallDir]", true},
        {"[InstallDir]\\back", "[InstallDir]\\backs", false},
        // The trail byte of a double-byte character is no letter (0x81 0x41
        // and 0x81 0x61 are two characters) and no backslash.
        {"[InstallDir]\\\x81\x41", "[InstallDir]\\\x81\x61", false},
        {"[InstallDir]\\\xD5\x5C", "[InstallDir]\\\xD5", false},
    };
    for (const Case& c : cases) EXPECT_EQ(velapack::SameFolder(c.a, c.b), c.same) << c.a << " / " << c.b;
}

TEST(VelapackHelp, PrintsTheUsageAndSucceeds)
{
    for (const char* flag : {"--help", "-h"}) {
        std::string out, err;
        EXPECT_EQ(velapack::Run({flag}, out, err), 0);
        EXPECT_NE(out.find("usage: velapack DESCRIPTION --stub STUB.exe -o INSTALLER.exe"), std::string::npos);
        EXPECT_NE(out.find("--extract INSTALLER FOLDER"), std::string::npos);
        EXPECT_EQ(err, "");
    }
}

// The display name names folders, files and a registry key: what Windows
// refuses there is refused here, with the line, not on the progress page.
TEST_F(Authoring, ANameWindowsCannotUseForAFolderOrKeyIsRefusedWithItsLine)
{
    for (const char* bad : {"\\", "/", ":", "*", "?", "\"", "<", ">", "|", "\t"}) {
        const std::string text = "folder = [Program Files]\\A\nwelcome-pages = no\nuninstall = no\nrun = x\nname = A" +
                                 std::string(bad) + "B\n";
        EXPECT_FALSE(Parse(text)) << bad;
        EXPECT_EQ(problem.rfind("line 5: the name holds ", 0), 0u) << problem;
        EXPECT_NE(problem.find("folder or registry key name"), std::string::npos) << problem;
    }
    // 錦 and 脇 end in the bytes of a backslash and a bar: whole characters are no such thing.
    EXPECT_TRUE(Parse("encoding = gb2312\n" + kHead + "name = \xE5\x5C\xC3\x7C\n")) << problem;
    EXPECT_EQ(d.displayName, "\xE5\x5C\xC3\x7C");
    EXPECT_TRUE(Parse("name = 浮雕画家 2.0 (测试版)\nfolder = [Program Files]\\A\nwelcome-pages = no\nrun = x\n"))
        << problem;
}

namespace {

// A 3 × 2 picture of the given depth, header size and compression, its
// colour table and pixel rows made up.
vela::test::Bmp Picture(std::uint16_t bits, std::uint32_t headerSize, std::uint32_t compression = 0)
{
    vela::test::Bmp bmp;
    bmp.width = 3;
    bmp.height = 2;
    bmp.bits = bits;
    bmp.headerSize = headerSize;
    bmp.compression = compression;
    if (bits <= 8) {
        for (std::uint32_t i = 0; i < (1u << bits); ++i) bmp.colours.push_back(0x010203 * i);
    }
    for (std::size_t i = 0; i < vela::test::Stride(bits, 3) * 2; ++i) bmp.pixels.push_back(static_cast<char>(i * 37));
    return bmp;
}

} // namespace

// Pictures the installer would not draw are converted when only the header
// is in the way, and refused, naming the file, otherwise.
TEST_F(Authoring, PicturesBecomeWhatTheInstallerDrawsOrAreRefusedByName)
{
    const std::string head = "name = A\nfolder = [Program Files]\\A\nwelcome-pages = yes\nrun = x\n";
    struct Good {
        const char* what;
        vela::test::Bmp picture;
    };
    vela::test::Bmp v5 = Picture(24, 124);
    vela::test::Bmp v4Palette = Picture(8, 108);
    vela::test::Bmp v4Fields = Picture(32, 108, 3);
    v4Fields.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    vela::test::Bmp fields40 = Picture(16, 40, 3);
    fields40.masks = {0x7C00, 0x03E0, 0x001F};
    vela::test::Bmp topDown = Picture(24, 124);
    topDown.height = -2;
    const Good goods[] = {{"version 5, 24 bits", v5},       {"version 4, 8 bits", v4Palette},
                          {"version 4, 32-bit fields", v4Fields}, {"40 bytes, 5-5-5 fields", fields40},
                          {"version 5, top-down", topDown}};
    for (const Good& g : goods) {
        SCOPED_TRACE(g.what);
        fs.files["w.bmp"] = g.picture.File();
        ASSERT_TRUE(Parse(head + "welcome-picture = w.bmp\n")) << problem;
        // The header the installer reads, and the very same table and pixels.
        vela::test::Bmp expected = g.picture;
        expected.headerSize = 40;
        expected.compression = 0;
        expected.masks.clear();
        expected.coloursUsed = static_cast<std::uint32_t>(expected.colours.size());
        EXPECT_EQ(d.welcomePicture, expected.File());
        auto file = vela::OpenMemoryFile(d.welcomePicture);
        EXPECT_NE(vela::LoadDib(*file), nullptr);
    }

    // What the installer draws already is kept byte for byte.
    for (const vela::test::Bmp& kept : {Picture(24, 40), Picture(4, 40), Picture(1, 12)}) {
        vela::test::Bmp core = kept;
        core.core = kept.headerSize == 12;
        core.headerSize = 0;
        fs.files["s.bmp"] = core.File();
        ASSERT_TRUE(Parse(head + "welcome-picture = s.bmp\nsplash-picture = s.bmp\n")) << problem;
        EXPECT_EQ(d.splashPicture, core.File());
    }

    struct Bad {
        const char* what;
        std::string bytes;
        const char* reason;
    };
    vela::test::Bmp fields565 = Picture(16, 124, 3);
    fields565.masks = {0xF800, 0x07E0, 0x001F};
    vela::test::Bmp noPlanes = Picture(24, 124);
    noPlanes.planes = 2;
    const Bad bads[] = {
        {"run lengths", Picture(8, 40, 1).File(), "is compressed (compression 1)"},
        {"run lengths, version 5", Picture(4, 124, 2).File(), "is compressed (compression 2)"},
        {"JPEG inside", Picture(24, 124, 4).File(), "is compressed (compression 4)"},
        {"5-6-5 fields", fields565.File(), "is compressed (compression 3)"},
        {"2 bits", Picture(2, 124).File(), "has 2 bits per pixel"},
        {"OS/2 2.x header", Picture(24, 64).File(), "has a 64-byte information header"},
        {"two planes", noPlanes.File(), "plane count"},
        {"not a BMP", "GIF89a picture", "is not a BMP file"},
    };
    for (const Bad& b : bads) {
        SCOPED_TRACE(b.what);
        fs.files["bad.bmp"] = b.bytes;
        EXPECT_FALSE(Parse(head + "welcome-picture = bad.bmp\n"));
        EXPECT_EQ(problem.rfind("line 5: the picture \"bad.bmp\" ", 0), 0u) << problem;
        EXPECT_NE(problem.find(b.reason), std::string::npos) << problem;
        EXPECT_FALSE(Parse(head + "welcome-picture = w.bmp\nsplash-picture = bad.bmp\n"));
        EXPECT_EQ(problem.rfind("line 6: the picture \"bad.bmp\" ", 0), 0u) << problem;
    }
}
