#include "installer/package/PackageWriter.h"

#include "installer/package/InstallContext.h"
#include "installer/package/Package.h"
#include "installer/package/SetupScript.h"
#include "installer/package/TextFields.h"

namespace vela {
namespace {

std::string Padded(std::string_view text, std::size_t width)
{
    std::string s(text);
    s.resize(width, ' ');
    return s;
}

bool FitsNumberField(std::int64_t n) { return n >= 0 && n <= 0x7FFFFFFF; }

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

// A plain script line: refused when it holds a line break or would be split
// by its reader's bounded read.
bool AddLine(std::string& script, std::string_view text, std::size_t bound, std::string_view what,
             std::string& problem)
{
    if (HasLineBreak(text)) {
        problem = std::string(what) + " holds a line break";
        return false;
    }
    if (text.size() + 2 > bound - 1) {
        problem = std::string(what) + " is longer than " + std::to_string(bound - 3) + " bytes";
        return false;
    }
    script.append(text).append("\r\n");
    return true;
}

void AddHeader(std::string& script, std::string_view header) { script.append(header).append("\r\n"); }

bool AddLicence(std::string& script, std::string_view licence, std::string& problem)
{
    // The licence page gathers the text in 20,000 bytes, terminating zero included.
    constexpr std::size_t kLicenceLimit = 20000;
    std::string text;
    std::size_t start = 0;
    while (start < licence.size()) {
        std::size_t end = licence.find('\n', start);
        std::string_view line = licence.substr(start, end == std::string_view::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.find('\r') != std::string_view::npos) {
            problem = "the licence text holds a lone carriage return";
            return false;
        }
        if (IsHeaderLine(std::string(line) + "\r\n", kReadmeEndHeader)) {
            problem = "the licence text holds a line \"[Readme End]\"";
            return false;
        }
        if (line.size() + 2 > kShortLineBound - 1) {
            problem = "a licence line is longer than " + std::to_string(kShortLineBound - 3) + " bytes";
            return false;
        }
        text.append(line).append("\r\n");
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    if (text.size() + 1 > kLicenceLimit) {
        problem = "the licence text is longer than " + std::to_string(kLicenceLimit - 1) + " bytes";
        return false;
    }
    script += text;
    return true;
}

} // namespace

bool FormatFileTableLine(std::string_view target, std::int64_t offset, std::int64_t size, char flag,
                         std::string& line, std::string& problem)
{
    if (target.size() > kFileTargetWidth) {
        problem = "the target \"" + std::string(target) + "\" is wider than " + std::to_string(kFileTargetWidth) +
                  " bytes";
        return false;
    }
    if (HasLineBreak(target)) {
        problem = "a target holds a line break";
        return false;
    }
    if (!FitsNumberField(offset) || !FitsNumberField(size)) {
        problem = "the package is too large for its 32-bit offsets";
        return false;
    }
    line = Padded(target, kFileTargetWidth) + Padded(std::to_string(offset), kFileNumberWidth) +
           Padded(std::to_string(size), kFileNumberWidth) + flag + "\r\n";
    return true;
}

bool FormatMenuLine(const PackageShortcut& shortcut, std::string& line, std::string& problem)
{
    if (shortcut.name.empty() || shortcut.name.size() > kMenuNameWidth || HasLineBreak(shortcut.name)) {
        problem = "the shortcut name \"" + shortcut.name + "\" is empty or wider than " +
                  std::to_string(kMenuNameWidth) + " bytes";
        return false;
    }
    if (shortcut.program.find('/') != std::string::npos) {
        problem = "the shortcut program \"" + shortcut.program + "\" holds a slash";
        return false;
    }
    if (shortcut.program.empty() || shortcut.program.back() == ' ') {
        problem = "the shortcut program \"" + shortcut.program + "\" is empty or ends in a blank";
        return false;
    }
    std::string target = shortcut.program;
    if (!shortcut.arguments.empty()) target += " /" + shortcut.arguments;
    if (target.size() > kMenuTargetWidth || HasLineBreak(target)) {
        problem = "the shortcut target \"" + target + "\" is wider than " + std::to_string(kMenuTargetWidth) +
                  " bytes";
        return false;
    }
    if (!target.empty() && target.back() == ' ') {
        problem = "the shortcut arguments of \"" + shortcut.name + "\" end in a blank";
        return false;
    }
    line = Padded(shortcut.name, kMenuNameWidth) + Padded(target, kMenuTargetWidth) +
           (shortcut.onDesktop ? '1' : '0') + "\r\n";
    return true;
}

std::string FormatPackageHeader(std::int64_t scriptLength, std::int64_t fileCount)
{
    return Padded(std::to_string(scriptLength), kHeaderFieldWidth) +
           Padded(std::to_string(fileCount), kHeaderFieldWidth);
}

bool BuildPackage(const PackageDescription& d, std::string& package, std::string& problem)
{
    if (d.displayName.empty() || d.displayName.size() >= kNameSize || HasLineBreak(d.displayName)) {
        problem = "the display name is empty or longer than " + std::to_string(kNameSize - 1) + " bytes";
        return false;
    }
    if (d.defaultFolder.size() >= kInstallPathSize || HasLineBreak(d.defaultFolder)) {
        problem = "the default folder is longer than " + std::to_string(kInstallPathSize - 1) + " bytes";
        return false;
    }
    std::string script;
    AddHeader(script, kBasalHeader);
    script += d.displayName + "\r\n" + d.defaultFolder + "\r\n";
    script += d.showWelcomePages ? "1\r\n" : "0\r\n";
    script += d.registerUninstall ? "1\r\n" : "0\r\n";

    AddHeader(script, kAutoRegHeader);
    for (const auto& line : d.autoReg)
        if (!AddLine(script, line, kLongLineBound, "an [AutoReg] line", problem)) return false;
    AddHeader(script, kClearFileHeader);
    for (const auto& line : d.clearFile)
        if (!AddLine(script, line, kLongLineBound, "a [ClearFile] line", problem)) return false;
    AddHeader(script, kMenuHeader);
    if (!AddLine(script, d.menuGroup, kLongLineBound, "the program group", problem)) return false;
    for (const auto& shortcut : d.shortcuts) {
        std::string line;
        if (!FormatMenuLine(shortcut, line, problem)) return false;
        script += line;
    }
    AddHeader(script, kRunHeader);
    if (!AddLine(script, d.runCaption, kLongLineBound, "the run caption", problem) ||
        !AddLine(script, d.runCommand, kLongLineBound, "the run command", problem))
        return false;
    AddHeader(script, kDirectoryHeader);
    for (const auto& line : d.directories)
        if (!AddLine(script, line, kShortLineBound, "a [Directory] line", problem)) return false;

    AddHeader(script, kFileHeader);
    std::int64_t offset = static_cast<std::int64_t>(kPackageHeaderSize);
    std::string line;
    if (!FormatFileTableLine("[WelPic]", offset, static_cast<std::int64_t>(d.welcomePicture.size()), 'B', line,
                             problem))
        return false;
    script += line;
    offset += static_cast<std::int64_t>(d.welcomePicture.size());
    if (d.hasSplash) {
        if (!FormatFileTableLine("[SoftPic]", offset, static_cast<std::int64_t>(d.splashPicture.size()), 'B', line,
                                 problem))
            return false;
        offset += static_cast<std::int64_t>(d.splashPicture.size());
    } else if (!FormatFileTableLine("[NonePic]", 0, 0, 'B', line, problem)) {
        return false;
    }
    script += line;
    std::int64_t total = 0;
    for (const auto& item : d.files) {
        if (item.target.empty() || item.target[0] != '[') {
            problem = "the target \"" + item.target + "\" does not begin with a path macro";
            return false;
        }
        if (!FormatFileTableLine(item.target, offset, static_cast<std::int64_t>(item.bytes.size()), item.flag, line,
                                 problem))
            return false;
        script += line;
        offset += static_cast<std::int64_t>(item.bytes.size());
        total += static_cast<std::int64_t>(item.bytes.size());
    }
    AddHeader(script, kTotalSizeHeader);
    script += std::to_string(total) + "\r\n";
    AddHeader(script, kReadmeHeader);
    if (!AddLicence(script, d.licence, problem)) return false;
    AddHeader(script, kReadmeEndHeader);

    if (!FitsNumberField(static_cast<std::int64_t>(script.size()) + offset)) {
        problem = "the package is too large for its 32-bit offsets";
        return false;
    }
    package = FormatPackageHeader(static_cast<std::int64_t>(script.size()),
                                  static_cast<std::int64_t>(d.files.size()));
    package += script;
    package += d.welcomePicture;
    if (d.hasSplash) package += d.splashPicture;
    for (const auto& item : d.files) package += item.bytes;
    return true;
}

} // namespace vela
