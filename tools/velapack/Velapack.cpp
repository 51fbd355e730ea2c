#include "tools/velapack/Velapack.h"

#include <cstdio>
#include <memory>
#include <utility>
#include <string_view>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/Platform.h"
#include "installer/package/SetupScript.h"
#include "installer/package/TextFields.h"
#include "installer/package/Trailer.h"
#include "installer/wizard/PackageOffset.h"
#include "tools/velapack/Description.h"
#include "tools/velapack/PackageCheck.h"
#include "tools/velapack/Sign.h"

namespace velapack {
namespace {

const char kUsage[] =
    "usage: velapack DESCRIPTION --stub STUB.exe -o INSTALLER.exe\n"
    "       velapack --list INSTALLER.exe [--offset N]\n"
    "       velapack --verify INSTALLER.exe [--offset N]\n"
    "       velapack --extract INSTALLER.exe FOLDER [--offset N]\n"
    "       velapack [DESCRIPTION --stub STUB.exe -o] INSTALLER.exe --sign CERT [--key KEY]\n"
    "                [--pass-file FILE | --pass-env VARIABLE] [--timestamp URL]\n"
    "       velapack --help\n";

const char kHelp[] =
    "\n"
    "Builds a self-extracting installer from the stub VelaInstall.exe and a\n"
    "description of \"key = value\" lines (UTF-8 or GB2312; see docs/velapack.md),\n"
    "and lists, checks or unpacks an installer it made.\n"
    "\n"
    "  DESCRIPTION --stub STUB -o OUT   build OUT: the stub followed by the package\n"
    "  --list INSTALLER                 print the header, the script and the file table\n"
    "  --verify INSTALLER               check the package as the installer does\n"
    "  --extract INSTALLER FOLDER       write the script, pictures and files into FOLDER\n"
    "  --offset N                       the package offset (default: the stub's own)\n"
    "  --sign CERT --key KEY            sign OUT (or INSTALLER) with Authenticode through\n"
    "                                   osslsigncode: a PEM certificate and key, or a\n"
    "                                   PKCS#12 file alone (no --key)\n"
    "  --pass-file FILE                 the key's password, from a file\n"
    "  --pass-env VARIABLE              the key's password, from the environment\n"
    "  --timestamp URL                  an RFC 3161 time-stamp server for the signature\n"
    "  --help                           this text\n"
    "\n"
    "Exit status: 0 done, 1 refused or damaged, 2 wrong usage.\n";

// The tool's system for extraction: files through the given platform,
// messages to the error text.
class CToolPlatform final : public CToolPlatformBase {
public:
    // Paths under folder (as given on the command line) keep that part as it
    // is; the rest, names from the package, is shown in the display encoding.
    CToolPlatform(vela::IPlatform& files, std::string& err, DisplayEncoding display, std::string folder)
        : files_(files), err_(err), display_(display), folder_(std::move(folder))
    {
    }
    void ShowMessage(std::string_view text, std::string_view caption) override
    {
        err_.append(ForDisplay(caption, display_)).append(": ");
        if (text.substr(0, folder_.size()) == folder_) {
            err_.append(folder_);
            text.remove_prefix(folder_.size());
        }
        err_.append(ForDisplay(text, display_)).append("\n");
    }
    std::unique_ptr<vela::IBinaryFile> OpenForReading(std::string_view path) override
    {
        return files_.OpenForReading(path);
    }
    std::unique_ptr<vela::IBinaryFile> CreateForWriting(std::string_view path) override
    {
        return files_.CreateForWriting(path);
    }
    bool RemoveFile(std::string_view path) override { return files_.RemoveFile(path); }

private:
    vela::IPlatform& files_;
    std::string& err_;
    DisplayEncoding display_;
    std::string folder_;
};

// The folder part of a path; both separators count (a backslash only as a
// character of its own, never as the trail byte of a double-byte one).
std::size_t LastSeparator(const std::string& path)
{
    std::size_t slash = path.find_last_of('/');
    std::size_t backslash = vela::FindLastBackslash(path);
    if (backslash != vela::kNotFound && (slash == std::string::npos || backslash > slash)) slash = backslash;
    return slash;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = LastSeparator(path);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The name after the last separator of either kind, so that a "/" in a
// stored target cannot lead an extracted file out of its folder.
std::string LastComponent(const std::string& path)
{
    const std::size_t slash = LastSeparator(path);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Trimmed(const char* text)
{
    std::string s(text);
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

int Build(vela::IPlatform& files, const std::string& descriptionPath, const std::string& stubPath,
          const std::string& outputPath, DisplayEncoding display, std::string& out, std::string& err)
{
    auto shown = [display](std::string_view text) { return ForDisplay(text, display); };
    std::string text, stub, package, problem;
    if (!ReadWholeFile(files, descriptionPath, text)) {
        err += "velapack: cannot read the description \"" + descriptionPath + "\"\n";
        return 1;
    }
    vela::PackageDescription description;
    DescriptionNotes notes;
    if (!ParseDescription(text, FolderOf(descriptionPath), files, description, problem, notes)) {
        err += "velapack: " + descriptionPath + ": " + shown(problem) + "\n";
        return 1;
    }
    if (!ReadWholeFile(files, stubPath, stub)) {
        err += "velapack: cannot read the stub \"" + stubPath + "\"\n";
        return 1;
    }
    std::uint64_t slot = 0;
    bool unique = false;
    const bool hasSlot = vela::FindPackageOffsetSlot(stub, slot, unique);
    if (hasSlot && (!unique || slot != stub.size())) {
        err += "velapack: the stub \"" + stubPath + "\" expects its package at offset " + std::to_string(slot) +
               (unique ? "" : " (its offset tag is not unique)") + " but is " + std::to_string(stub.size()) +
               " bytes long\n";
        return 1;
    }
    if (!vela::BuildPackage(description, package, problem)) {
        err += "velapack: " + shown(problem) + "\n";
        return 1;
    }
    // The integrity trailer the installer checks before it writes anything.
    char trailer[vela::kTrailerSize];
    vela::FormatTrailer(vela::Crc32(0, package.data(), package.size()), package.size(), trailer);
    auto output = files.CreateForWriting(outputPath);
    if (!output || output->Write(stub.data(), stub.size()) != stub.size() ||
        output->Write(package.data(), package.size()) != package.size() ||
        output->Write(trailer, sizeof trailer) != sizeof trailer) {
        err += "velapack: cannot write \"" + outputPath + "\"\n";
        output.reset();
        files.RemoveFile(outputPath);
        return 1;
    }
    out += "velapack: wrote " + outputPath + ": stub " + std::to_string(stub.size()) + " bytes, package " +
           std::to_string(package.size()) + " bytes, " + std::to_string(description.files.size()) + " files\n";
    for (const std::string& folder : notes.addedFolders)
        out += "velapack: note: added \"" + shown(folder) + "\" to [Directory]\n";
    for (const std::string& warning : notes.warnings) out += "velapack: warning: " + shown(warning) + "\n";
    if (!hasSlot)
        out += "velapack: note: the stub carries no package offset; the package lies at offset " +
               std::to_string(stub.size()) + "\n";
    return 0;
}

std::unique_ptr<vela::IBinaryFile> OpenInstaller(vela::IPlatform& files, const std::string& path, std::string& err)
{
    auto file = files.OpenForReading(path);
    if (!file) err += "velapack: cannot open \"" + path + "\"\n";
    return file;
}

// Reads the header and the script of an installer. The script is read only
// when it lies inside the file, so a header cannot make it take more memory
// than the file holds.
bool ReadScript(vela::IBinaryFile& file, std::uint64_t offset, vela::PackageHeader& header, std::string& script,
                std::string& err)
{
    const std::uint64_t length = file.Length();
    if (length < offset || length - offset < vela::kPackageHeaderSize || !vela::ReadPackageHeader(file, offset, header) ||
        header.scriptLength <= 0) {
        err += "velapack: no package header at offset " + std::to_string(offset) + "\n";
        return false;
    }
    if (static_cast<std::uint64_t>(header.scriptLength) > length - offset - vela::kPackageHeaderSize) {
        err += "velapack: the package is damaged: the script length " + std::to_string(header.scriptLength) +
               " reaches beyond the end of the file\n";
        return false;
    }
    script.assign(static_cast<std::size_t>(header.scriptLength), '\0');
    if (!file.Seek(offset + vela::kPackageHeaderSize) || file.Read(script.data(), script.size()) != script.size()) {
        err += "velapack: the script cannot be read\n";
        return false;
    }
    return true;
}

void ListEntry(std::string& out, const char* label, const vela::FileTableEntry& e, DisplayEncoding display)
{
    out += std::string("  ") + label + "offset " + std::to_string(e.offset) + ", size " + std::to_string(e.size) +
           ", flag " + (e.flag ? ForDisplay(std::string_view(&e.flag, 1), display) : std::string("none")) + ": " +
           ForDisplay(Trimmed(e.target), display) + "\n";
}

int List(vela::IPlatform& files, const std::string& path, std::uint64_t offset, DisplayEncoding display,
         std::string& out, std::string& err)
{
    auto shown = [display](std::string_view text) { return ForDisplay(text, display); };
    // The check comes first; a package that fails it is still listed as far
    // as its script lies inside the file, to show what is wrong.
    auto file = OpenInstaller(files, path, err);
    if (!file) return 1;
    std::string problem;
    const bool sound = CheckPackage(*file, offset, problem);
    vela::PackageHeader header;
    std::string script;
    if (!ReadScript(*file, offset, header, script, err)) return 1;
    const vela::SetupScriptContents s = vela::ReadSetupScript(script);
    auto value = [&shown](const char* line) {
        std::string v(line);
        v.resize(v.size() >= 2 ? v.size() - 2 : 0);
        return shown(v);
    };
    out += "Package at offset " + std::to_string(offset) + ": script " + std::to_string(header.scriptLength) +
           " bytes, " + std::to_string(header.fileCount) + " files\n";
    out += "[Basal]\n  name: " + value(s.basal.displayName) + "\n  folder: " + value(s.basal.installPath) +
           "\n  welcome pages: " + value(s.basal.showWelcome) + "\n  uninstall: " +
           value(s.basal.registerUninstall) + "\n";
    out += "[AutoReg]\n";
    for (const auto& line : s.autoReg) out += "  " + shown(line) + "\n";
    out += "[ClearFile]\n";
    for (const auto& line : s.clearFile) out += "  " + shown(line) + "\n";
    out += "[Menu]\n  group: " + shown(s.menuGroup) + "\n";
    for (const auto& m : s.menu)
        out += "  shortcut: " + shown(m.name) + " -> " + shown(m.target) + (m.onDesktop ? " (desktop)" : "") + "\n";
    out += "[Run]\n  caption: " + shown(s.runCaption) + "\n  command: " + shown(s.runCommand) + "\n";
    out += "[Directory]\n";
    for (const auto& line : s.directories) out += "  " + shown(line) + "\n";
    out += "[File]\n";
    ListEntry(out, "welcome picture: ", s.welcomePicture, display);
    ListEntry(out, "splash picture: ", s.splashPicture, display);
    for (std::size_t i = 0; i < s.files.size(); ++i)
        ListEntry(out, (std::to_string(i + 1) + ": ").c_str(), s.files[i], display);
    out += "[TotalSize]\n  " + shown(s.totalSize) + "\n";
    out += "[Readme Content]\n  " + std::to_string(s.readme.size()) + " bytes\n";
    if (!sound) {
        err += "velapack: the package is damaged: " + shown(problem) + "\n";
        return 1;
    }
    return 0;
}

int Verify(vela::IPlatform& files, const std::string& path, std::uint64_t offset, DisplayEncoding display,
           std::string& out, std::string& err)
{
    auto file = OpenInstaller(files, path, err);
    if (!file) return 1;
    std::string problem;
    const vela::TrailerInfo trailer = vela::CheckTrailer(*file, offset);
    if (trailer.result != vela::TrailerCheck::Absent && trailer.result != vela::TrailerCheck::Sound) {
        err += "velapack: " + path + ": the package is damaged: " + vela::DescribeTrailerCheck(trailer.result) + "\n";
        return 1;
    }
    if (!CheckPackage(*file, offset, problem)) {
        err += "velapack: " + path + ": the package is damaged: " + ForDisplay(problem, display) + "\n";
        return 1;
    }
    out += "velapack: " + path + ": the package is sound (" + vela::DescribeTrailerCheck(trailer.result) +
           (trailer.signatureFound ? ", signed" : "") + ")\n";
    return 0;
}

int Extract(vela::IPlatform& files, const std::string& path, std::uint64_t offset, const std::string& folder,
            DisplayEncoding display, std::string& out, std::string& err)
{
    auto file = OpenInstaller(files, path, err);
    if (!file) return 1;
    std::string script, problem;
    if (!CheckPackage(*file, offset, problem)) {
        err += "velapack: the package is damaged: " + ForDisplay(problem, display) + "\n";
        return 1;
    }
    vela::PackageHeader header;
    if (!ReadScript(*file, offset, header, script, err)) return 1;
    CToolPlatform sys(files, err, display, folder);
    const vela::SetupScriptContents s = vela::ReadSetupScript(script);
    const std::int64_t base = static_cast<std::int64_t>(offset) + header.scriptLength;
    bool ok = vela::ExtractStoredFile(sys, *file, folder + "/setup.ini",
                                      static_cast<std::int64_t>(offset + vela::kPackageHeaderSize),
                                      header.scriptLength);
    // The pictures, as the installer reads them: only with its welcome pages,
    // the splash picture only under a splash tag.
    if (std::string_view(s.basal.showWelcome) == "1\r\n") {
        ok = vela::ExtractStoredFile(sys, *file, folder + "/welcome.bmp", base + s.welcomePicture.offset,
                                     s.welcomePicture.size) && ok;
        if (vela::IsSplashTag(s.splashPicture.target))
            ok = vela::ExtractStoredFile(sys, *file, folder + "/splash.bmp", base + s.splashPicture.offset,
                                         s.splashPicture.size) && ok;
    }
    for (std::size_t i = 0; i < s.files.size(); ++i) {
        std::string target = Trimmed(s.files[i].target);
        std::string name = std::to_string(i + 1) + "-" + LastComponent(target);
        ok = vela::ExtractStoredFile(sys, *file, folder + "/" + name, base + s.files[i].offset, s.files[i].size) && ok;
    }
    if (!ok) return 1;
    out += "velapack: extracted the script, the pictures and " + std::to_string(s.files.size()) + " files\n";
    return 0;
}

bool ParseOffset(const std::string& text, std::uint64_t& offset)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 12) return false;
    offset = std::stoull(text);
    return true;
}

} // namespace

int Run(const std::vector<std::string>& args, vela::IPlatform& files, std::string& out, std::string& err,
        DisplayEncoding display)
{
    std::vector<std::string> rest;
    std::uint64_t offset = 0;
    bool offsetGiven = false;
    std::string stub, output, mode;
    SignOptions sign;
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            out += std::string(kUsage) + kHelp;
            return 0;
        }
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        if (a == "--offset" && hasValue) {
            offsetGiven = true;
            if (!ParseOffset(args[++i], offset)) {
                err += "velapack: --offset needs a decimal byte offset\n";
                return 2;
            }
        } else if (a == "--stub" && hasValue) {
            stub = args[++i];
        } else if (a == "-o" && hasValue) {
            output = args[++i];
        } else if (a == "--sign" && hasValue) {
            sign.certificate = args[++i];
        } else if (a == "--key" && hasValue) {
            sign.key = args[++i];
        } else if (a == "--pass-file" && hasValue) {
            sign.passwordFile = args[++i];
        } else if (a == "--pass-env" && hasValue) {
            sign.passwordEnv = args[++i];
        } else if (a == "--timestamp" && hasValue) {
            sign.timestampUrl = args[++i];
        } else if ((a == "--list" || a == "--verify" || a == "--extract") && mode.empty()) {
            mode = a;
        } else if (!a.empty() && a[0] == '-') {
            err += "velapack: unknown or incomplete option \"" + a + "\"\n" + kUsage;
            return 2;
        } else {
            rest.push_back(a);
        }
    }
    const bool signing = !sign.certificate.empty();
    if (!signing && (!sign.key.empty() || !sign.passwordFile.empty() || !sign.passwordEnv.empty() ||
                     !sign.timestampUrl.empty())) {
        err += "velapack: --key, --pass-file, --pass-env and --timestamp go with --sign\n" + std::string(kUsage);
        return 2;
    }
    std::string signProblem;
    if (signing && !CheckSignOptions(sign, signProblem)) {
        err += "velapack: " + signProblem + "\n";
        return 2;
    }
    if (mode.empty() && rest.size() == 1 && !stub.empty() && !output.empty()) {
        const int built = Build(files, rest[0], stub, output, display, out, err);
        if (built != 0 || !signing) return built;
        if (SignInstaller(output, sign, out, err)) return 0;
        files.RemoveFile(output);  // an unsigned installer is not what was asked for
        return 1;
    }
    if (signing && mode.empty() && rest.size() == 1 && stub.empty() && output.empty())
        return SignInstaller(rest[0], sign, out, err) ? 0 : 1;
    if (!mode.empty() && !rest.empty() && !offsetGiven) {
        // The offset the installer's own stub carries, else the usual one.
        std::string bytes;
        bool unique = false;
        if (!ReadWholeFile(files, rest[0], bytes) || !vela::FindPackageOffsetSlot(bytes, offset, unique)) offset = kDefaultPackageOffset;
    }
    if (mode == "--list" && rest.size() == 1) return List(files, rest[0], offset, display, out, err);
    if (mode == "--verify" && rest.size() == 1) return Verify(files, rest[0], offset, display, out, err);
    if (mode == "--extract" && rest.size() == 2) return Extract(files, rest[0], offset, rest[1], display, out, err);
    err += kUsage;
    return 2;
}

int Run(const std::vector<std::string>& args, std::string& out, std::string& err, DisplayEncoding display)
{
    return Run(args, StdioFiles(), out, err, display);
}

} // namespace velapack
