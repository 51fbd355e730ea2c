#include "installer/uninstall/SilentUninstall.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace vela;

namespace {

// The logs and files of an install in memory; records questions and messages.
class Recording final : public IUninstallSystem {
public:
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::map<std::string, std::string> entries;
    int questions = 0;
    int messages = 0;
    bool answer = false;

    std::unique_ptr<IBinaryFile> OpenForReading(std::string_view pathText) override
    {
        const std::string path(pathText);
        auto it = files.find(path);
        return it == files.end() ? nullptr : OpenMemoryFile(it->second);
    }
    Removal RemoveFile(std::string_view path) override { return files.erase(std::string(path)) ? Removal::Removed : Removal::Missing; }
    Removal RemoveFolder(const std::string& path) override
    {
        for (const auto& [file, bytes] : files)
            if (file.compare(0, path.size() + 1, path + "\\") == 0) return Removal::NotEmpty;
        return folders.erase(path) ? Removal::Removed : Removal::Missing;
    }
    bool ReadUninstallString(const std::string& displayName, std::string& command) override
    {
        auto it = entries.find(displayName);
        if (it == entries.end()) return false;
        command = it->second;
        return true;
    }
    bool DeleteUninstallEntry(const std::string& displayName) override { return entries.erase(displayName) > 0; }
    bool Confirm(std::string_view, std::string_view) override { return ++questions, answer; }
    void ShowMessage(std::string_view, std::string_view, bool) override { ++messages; }
    ShortcutFolders FindShortcutFolders() override { return {}; }
    bool IsReparsePoint(const std::string&) override { return false; }
    bool RewriteFile(const std::string& path, std::string_view bytes) override
    {
        files[path] = std::string(bytes);
        return true;
    }
};

void InstallApp(Recording& sys)
{
    sys.files["C:\\App\\app.exe"] = "program";
    sys.files["C:\\App\\Appfile.ini"] = "C:\\App\\app.exe\r\n";
    sys.files["C:\\App\\Appdir.ini"] = "C:\\App\r\n";
    sys.folders.insert("C:\\App");
    sys.entries["App"] = "C:\\WINDOWS\\VelaUnInsApp.exe C:\\App\\Appfile.ini";
}

} // namespace

TEST(SilentUninstall, TheSwitchIsTakenOnlyAtTheStart)
{
    std::string a = "/S C:\\Program Files\\App\\Appfile.ini";
    EXPECT_TRUE(TakeSilentSwitch(a));
    EXPECT_EQ(a, "C:\\Program Files\\App\\Appfile.ini");
    std::string quoted = "/s  \"C:\\Program Files\\App\\Appfile.ini\"";
    EXPECT_TRUE(TakeSilentSwitch(quoted));
    EXPECT_EQ(quoted, "C:\\Program Files\\App\\Appfile.ini");
    for (std::string plain : {"C:\\App\\Appfile.ini", "/Sx C:\\a", "/S", "C:\\a /S b"}) {
        const std::string before = plain;
        EXPECT_FALSE(TakeSilentSwitch(plain)) << before;
        EXPECT_EQ(plain, before);
    }
}

TEST(SilentUninstall, RemovesWithoutAQuestionOrAReport)
{
    Recording sys;
    InstallApp(sys);
    CSilentUninstallSystem silent(sys);
    std::string argument = UninstallArgument("VelaUnInsApp.exe /S C:\\App\\Appfile.ini");
    ASSERT_TRUE(TakeSilentSwitch(argument));
    EXPECT_EQ(RunUninstall(silent, argument), UninstallEnd::Done);
    EXPECT_EQ(sys.questions, 0);
    EXPECT_EQ(sys.messages, 0);
    EXPECT_TRUE(sys.files.empty());
    EXPECT_TRUE(sys.folders.empty());
    EXPECT_TRUE(sys.entries.empty());

    // What cannot be removed is told by the exit code alone.
    InstallApp(sys);
    sys.files["C:\\App\\mine.txt"] = "the user's";
    EXPECT_EQ(RunUninstall(silent, argument), UninstallEnd::Partly);
    EXPECT_EQ(sys.messages, 0);
    EXPECT_EQ(sys.files.count("C:\\App\\mine.txt"), 1u);
    EXPECT_EQ(RunUninstall(silent, "relative\\Appfile.ini"), UninstallEnd::BadArgument);
    EXPECT_EQ(sys.messages, 0);
}
