// velapack's description reader, and the round trip behind it: a
// description it accepts builds a package (when the format holds it) that
// the installer's check accepts and whose script its readers read back as
// the description said. The files a description names are served from
// memory: w.bmp, s.bmp, a.exe, k.reg and lic.txt.
#include "fuzz/FuzzCheck.h"

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/SetupScript.h"
#include "installer/wizard/core/tests/BmpFile.h"
#include "tools/velapack/Description.h"
#include "tools/velapack/PackageCheck.h"

#include <map>
#include <string>

namespace {

// A 4 × 4 24-bit picture the installer draws, filled up to size bytes.
std::string Picture(std::size_t size, char fill)
{
    vela::test::Bmp bmp;
    bmp.width = bmp.height = 4;
    bmp.pixels = std::string(size - 54, fill);
    return bmp.File();
}

class MemoryFiles : public velapack::CToolPlatformBase {
public:
    std::map<std::string, std::string> files{
        {"in/w.bmp", Picture(300, 'W')},
        {"in/s.bmp", Picture(2100, 'S')},
        {"in/a.exe", "MZ program"},
        {"in/k.reg", "[HKEY_CURRENT_USER\\Software\\Vela]\r\n\"a\"=\"b\"\r\n"},
        {"in/lic.txt", "Licence\nsecond line\r\n"},
    };
    std::unique_ptr<vela::IBinaryFile> OpenForReading(std::string_view pathText) override
    {
        const std::string path(pathText);
        auto it = files.find(path);
        return it == files.end() ? nullptr : vela::OpenMemoryFile(it->second);
    }
    std::unique_ptr<vela::IBinaryFile> CreateForWriting(std::string_view) override { return nullptr; }
    bool RemoveFile(std::string_view) override { return false; }
};

std::string Value(const char* line)
{
    std::string s(line);
    s.resize(s.size() >= 2 ? s.size() - 2 : 0);
    return s;
}

std::string Trimmed(std::string s)
{
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 8192) return 0;
    MemoryFiles files;
    vela::PackageDescription d;
    std::string problem;
    if (!velapack::ParseDescription(std::string_view(reinterpret_cast<const char*>(data), size), "in", files, d,
                                    problem)) {
        FUZZ_CHECK(!problem.empty());
        return 0;
    }
    std::string package;
    if (!vela::BuildPackage(d, package, problem)) return 0;

    const std::string stub(100, 'S');
    auto installer = vela::OpenMemoryFile(stub + package);
    FUZZ_CHECK(velapack::CheckPackage(*installer, stub.size(), problem));

    vela::PackageHeader header;
    FUZZ_CHECK(vela::ReadPackageHeader(*installer, stub.size(), header));
    FUZZ_CHECK(header.fileCount == static_cast<std::int32_t>(d.files.size()));
    const std::string script = package.substr(vela::kPackageHeaderSize, static_cast<std::size_t>(header.scriptLength));
    const vela::SetupScriptContents s = vela::ReadSetupScript(script);

    FUZZ_CHECK(Value(s.basal.displayName) == d.displayName);
    FUZZ_CHECK(Value(s.basal.installPath) == d.defaultFolder);
    FUZZ_CHECK((std::string_view(s.basal.showWelcome) == "1\r\n") == d.showWelcomePages);
    FUZZ_CHECK((std::string_view(s.basal.registerUninstall) == "1\r\n") == d.registerUninstall);
    FUZZ_CHECK(s.autoReg == d.autoReg);
    FUZZ_CHECK(s.clearFile == d.clearFile);
    FUZZ_CHECK(s.hasMenu && s.menuGroup == d.menuGroup);
    FUZZ_CHECK(s.menu.size() == d.shortcuts.size());
    for (std::size_t i = 0; i < s.menu.size(); ++i) {
        const vela::PackageShortcut& want = d.shortcuts[i];
        FUZZ_CHECK(s.menu[i].name == want.name);
        FUZZ_CHECK(s.menu[i].target == want.program + (want.arguments.empty() ? "" : " /" + want.arguments));
        FUZZ_CHECK(s.menu[i].onDesktop == want.onDesktop);
    }
    FUZZ_CHECK(s.hasRun && s.runCaption == d.runCaption && s.runCommand == d.runCommand);
    FUZZ_CHECK(s.directories == d.directories);
    FUZZ_CHECK(s.hasFileTable && s.files.size() == d.files.size());
    const std::string items = package.substr(vela::kPackageHeaderSize + script.size());
    for (std::size_t i = 0; i < s.files.size(); ++i) {
        FUZZ_CHECK(Trimmed(s.files[i].target) == d.files[i].target);
        FUZZ_CHECK(s.files[i].flag == d.files[i].flag);
        FUZZ_CHECK(s.files[i].size == static_cast<std::int32_t>(d.files[i].bytes.size()));
        FUZZ_CHECK(items.compare(static_cast<std::size_t>(s.files[i].offset) - vela::kPackageHeaderSize,
                                 d.files[i].bytes.size(), d.files[i].bytes) == 0);
    }
    FUZZ_CHECK(vela::IsSplashTag(s.splashPicture.target) == d.hasSplash);
    if (!d.licence.empty()) FUZZ_CHECK(s.hasReadme);
    return 0;
}
