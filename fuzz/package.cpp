// A package appended to a stub: the package check, then the whole start-up
// on the test platform. Oracle: the start-up refuses exactly what the
// integrity trailer and the check refuse and then writes nothing; otherwise it extracts the script and only
// the pictures the check vetted, byte for byte from where the vetted file
// table says.
#include "fuzz/FuzzCheck.h"

#include "installer/package/Package.h"
#include "installer/package/SetupScript.h"
#include "installer/package/Startup.h"
#include "installer/package/Trailer.h"
#include "installer/package/tests/FakePlatform.h"

#include <string>

namespace {

class Pages : public vela::IWizardPages {
public:
    void RunPathPageAsMain() override {}
    void RunSplash() override {}
    bool RunWelcome() override { return true; }
    void RunLicenceAsMain() override {}
};

constexpr std::uint64_t kOffset = 64;

std::string Item(const std::string& installer, std::int64_t dataBase, const vela::FileTableEntry& entry)
{
    if (entry.size <= 0) return {};
    return installer.substr(static_cast<std::size_t>(dataBase + entry.offset), static_cast<std::size_t>(entry.size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string installer = std::string(kOffset, 'S') + std::string(reinterpret_cast<const char*>(data), size);
    vela::test::FakePlatform sys;
    sys.files[sys.moduleFileName] = installer;

    vela::PackageProblem problem;
    auto file = vela::OpenMemoryFile(installer);
    const bool sound = vela::CheckPackage(*file, kOffset, problem);
    FUZZ_CHECK(sound == (problem.fault == vela::PackageFault::None));

    Pages pages;
    auto ctx = std::make_unique<vela::InstallContext>();
    const vela::StartupEnd end = vela::RunStartup(sys, pages, *ctx, kOffset);
    // An integrity trailer that does not match comes first.
    const vela::TrailerCheck trailer = vela::CheckTrailer(*file, kOffset).result;
    if (trailer != vela::TrailerCheck::Absent && trailer != vela::TrailerCheck::Sound) {
        FUZZ_CHECK(end == vela::StartupEnd::PackageCorrupt);
        FUZZ_CHECK(sys.files.size() == 1);
        return 0;
    }
    if (!sound) {
        FUZZ_CHECK(end == vela::StartupEnd::PackageDamaged);
        FUZZ_CHECK(sys.files.size() == 1);
        return 0;
    }
    FUZZ_CHECK(end == vela::StartupEnd::WizardRun || end == vela::StartupEnd::PathPageRun);

    vela::PackageHeader header;
    FUZZ_CHECK(vela::ReadPackageHeader(*file, kOffset, header));
    const std::string script = installer.substr(kOffset + vela::kPackageHeaderSize, static_cast<std::size_t>(header.scriptLength));
    FUZZ_CHECK(sys.files.at(ctx->scriptFilePath) == script);
    const vela::SetupScriptContents contents = vela::ReadSetupScript(script);
    const std::int64_t dataBase = static_cast<std::int64_t>(kOffset) + header.scriptLength;
    FUZZ_CHECK(ctx->packageDataBase == dataBase);

    std::size_t expected = 2;  // the program and the script
    if (end == vela::StartupEnd::WizardRun) {
        FUZZ_CHECK(sys.files.at(ctx->welcomeBitmapPath) == Item(installer, dataBase, contents.welcomePicture));
        ++expected;
        if (vela::IsSplashTag(contents.splashPicture.target)) {
            FUZZ_CHECK(sys.files.at(ctx->splashBitmapPath) == Item(installer, dataBase, contents.splashPicture));
            ++expected;
        }
    }
    FUZZ_CHECK(sys.files.size() == expected);
    return 0;
}
