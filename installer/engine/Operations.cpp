#include "installer/engine/Operations.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <vector>

#include "installer/package/Messages.h"
#include "installer/package/PathMacros.h"
#include "installer/package/SetupScript.h"
#include "installer/package/TextFields.h"

namespace vela {
namespace {

// "创建程序进程失败!"
constexpr std::string_view kProcessFailed = "\xB4\xB4\xBD\xA8\xB3\xCC\xD0\xF2\xBD\xF8\xB3\xCC\xCA\xA7\xB0\xDC!";

// Position of the last character (which may be double-byte), or kNotFound.
std::size_t LastCharStart(std::string_view text)
{
    std::size_t last = kNotFound;
    for (std::size_t i = 0; i < text.size(); i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1)
        last = i;
    return last;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

struct RootKeyword {
    std::string_view keyword;
    RegistryRoot root;
};

constexpr std::array<RootKeyword, 5> kRootKeywords{{
    {"[HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {"[HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {"[HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {"[HKEY_USERS", RegistryRoot::Users},
    {"[HKEY_CURRENT_CONFIG", RegistryRoot::CurrentConfig},
}};

} // namespace

void CreateDirectoryChain(IEngineSystem& system, std::string_view path)
{
    if (path.size() < 4) return;
    for (std::size_t i = 0; i < path.size();) {
        if (i >= 3 && path[i] == '\\') system.CreateFolder(std::string(path.substr(0, i)));
        i += IsLeadByte(static_cast<unsigned char>(path[i])) ? 2 : 1;
    }
    system.CreateFolder(std::string(path));
}

ProcessCommand ResolveCommandLine(std::string_view commandLine,
                                  const std::function<bool(const std::string&)>& isFile)
{
    const ProcessCommand asWritten{std::string(), std::string(commandLine)};
    if (commandLine.empty() || commandLine.front() == '"') return asWritten;

    // Every place a blank ends a word, then the end of the text.
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < commandLine.size();) {
        if (commandLine[i] == ' ' || commandLine[i] == '\t') ends.push_back(i);
        i += IsLeadByte(static_cast<unsigned char>(commandLine[i])) ? 2 : 1;
    }
    if (ends.empty() || ends.front() == 0) return asWritten;
    ends.push_back(commandLine.size());

    if (isFile(std::string(commandLine.substr(0, ends.front())))) return asWritten;
    for (std::size_t k = 1; k < ends.size(); ++k) {
        const std::size_t end = ends[k];
        // The system drops trailing blanks of a file name: "app.exe " would
        // name app.exe, but that is the shorter prefix's business.
        if (ends[k - 1] + 1 == end) continue;
        std::string program(commandLine.substr(0, end));
        if (!isFile(program)) continue;
        std::string line = "\"" + program + "\"";
        line += commandLine.substr(end);
        return {std::move(program), std::move(line)};
    }
    return asWritten;
}

ProcessCommand ResolveCommandLine(IEngineSystem& system, std::string_view commandLine)
{
    return ResolveCommandLine(commandLine, [&system](const std::string& path) { return system.IsFile(path); });
}

std::int64_t RunAndWait(const EngineEnvironment& env, const std::string& commandLine, int showState)
{
    std::uint32_t exitCode = 0;
    if (!env.system.RunProcessAndWait(ResolveCommandLine(env.system, commandLine), showState, exitCode)) {
        env.platform.ShowMessage(kProcessFailed, kCaptionError);
        return -1;
    }
    return exitCode;
}

std::string RegisterCommand(const EngineEnvironment& env, std::string_view componentPath)
{
    std::string command = std::string(kSystemMacro) + "\\regsvr32.exe \"";
    command += componentPath;
    command += "\" /s";
    // Room for the system folder in place of the macro.
    std::vector<char> buffer(command.size() + 1024, '\0');
    std::memcpy(buffer.data(), command.data(), command.size());
    ExpandPathMacros(env.platform, env.context, buffer.data(), buffer.size());
    return buffer.data();
}

void RunInstallAction(const EngineEnvironment& env, std::string_view path)
{
    if (path.size() < 4 || path[path.size() - 4] != '.') return;
    std::string extension;
    for (char c : path.substr(path.size() - 3)) extension.push_back(AsciiLower(c));

    const std::string file(path);
    if (extension == "exe") {
        RunAndWait(env, file, kShowNormal);
    } else if (extension == "dll" || extension == "ocx") {
        RunAndWait(env, RegisterCommand(env, path), kShowNormal);
    } else {
        env.system.ShellOpen(file, kShowMaximized);
    }
}

RegistryLineKind ClassifyRegistryLine(std::string_view line)
{
    if (line.empty()) return RegistryLineKind::Empty;
    if (line.front() == '[') return RegistryLineKind::Key;
    return RegistryLineKind::Value;
}

bool ParseRegistryValueLine(std::string_view line, std::string& name, std::string& text)
{
    // "name"="text": the name runs from the second character to the next
    // quote, the text from three characters after that quote to the closing
    // quote, which is the line's last character. A double quote is never a
    // trail byte, so a plain search is safe.
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
    const std::size_t nameEnd = line.find('"', 1);
    if (nameEnd == std::string_view::npos || nameEnd + 3 > line.size() - 1) return false;
    if (line[nameEnd + 1] != '=' || line[nameEnd + 2] != '"') return false;
    name.assign(line.substr(1, nameEnd - 1));
    text.assign(line.substr(nameEnd + 3, line.size() - 1 - (nameEnd + 3)));
    return true;
}

bool ParseRegistryKeyLine(std::string_view line, RegistryRoot& root, std::string& keyPath)
{
    const std::size_t slash = FindFirstBackslash(line);
    const std::size_t last = LastCharStart(line);
    if (slash == kNotFound || last == kNotFound || line[last] != ']' ||
        last <= slash)
        return false;
    const std::string_view keyword = line.substr(0, slash);
    for (const RootKeyword& candidate : kRootKeywords) {
        if (keyword == candidate.keyword) {
            root = candidate.root;
            keyPath.assign(line.substr(slash + 1, last - slash - 1));
            return true;
        }
    }
    return false;
}

RegistryKey OpenRegistryKeyPath(IEngineSystem& system, std::string_view keyLine)
{
    RegistryRoot root{};
    std::string keyPath;
    if (!ParseRegistryKeyLine(keyLine, root, keyPath)) return kNoRegistryKey;

    RegistryKey key = kNoRegistryKey;
    std::string built;
    std::size_t start = 0;
    const std::string_view path(keyPath);
    while (start <= path.size()) {
        std::size_t end = FindFirstBackslash(path.substr(start));
        end = (end == kNotFound) ? path.size() : start + end;
        const std::string component(path.substr(start, end - start));
        start = end + 1;
        if (component.empty()) continue;  // "a\\b" and a trailing "\" name no level

        const std::string remembered = built;
        if (!built.empty()) built += '\\';
        built += component;

        if (key != kNoRegistryKey) system.CloseRegistryKey(key);
        key = system.OpenRegistryKey(root, built);
        if (key == kNoRegistryKey) {
            const RegistryKey parent = system.OpenRegistryKey(root, remembered);
            if (parent == kNoRegistryKey) return kNoRegistryKey;
            key = system.CreateRegistrySubKey(parent, component);
            system.CloseRegistryKey(parent);
            if (key == kNoRegistryKey) return kNoRegistryKey;
        }
    }
    return key;
}

void ImportRegistryScript(const EngineEnvironment& env, const std::string& path)
{
    IEngineSystem& system = env.system;
    std::unique_ptr<CScriptFile> script = OpenScript(env.platform, path);
    if (!script) return;

    RegistryKey current = kNoRegistryKey;
    char line[kLongLineBound];
    std::string name;
    std::string text;
    while (script->ReadLine(line, sizeof line)) {
        if (script->AtEnd()) break;  // a last line without its line end
        // Lengths are the bytes read: a NUL inside a line must not make it
        // look shorter than it is.
        const std::size_t length = script->LastLength();
        if (length == sizeof line - 1 && line[length - 1] != '\n') {
            // Longer than the bound: skip it whole rather than apply its pieces.
            bool ended = false;
            while (!ended && script->ReadLine(line, sizeof line)) {
                const std::size_t n = script->LastLength();
                ended = script->AtEnd() || (n > 0 && line[n - 1] == '\n');
            }
            continue;
        }
        // A line holding a NUL byte is no line of the format: skipped whole.
        if (std::memchr(line, '\0', length) != nullptr) continue;
        CutLineEnd(line);

        switch (ClassifyRegistryLine(line)) {
        case RegistryLineKind::Empty:
            break;
        case RegistryLineKind::Key:
            if (current != kNoRegistryKey) system.CloseRegistryKey(current);
            current = OpenRegistryKeyPath(system, line);
            break;
        case RegistryLineKind::Value:
            if (current != kNoRegistryKey && ParseRegistryValueLine(line, name, text))
                system.SetRegistryString(current, name, text);
            break;
        }
    }
    if (current != kNoRegistryKey) system.CloseRegistryKey(current);
}

ShortcutTarget SplitShortcutTarget(std::string_view field)
{
    // A slash is never a trail byte, so a plain search is safe.
    const std::size_t slash = field.find('/');
    if (slash == std::string_view::npos) return {std::string(field), {}};
    std::string_view program = field.substr(0, slash);
    if (!program.empty() && program.back() == ' ') program.remove_suffix(1);
    return {std::string(program), std::string(field.substr(slash + 1))};
}

std::string ShortcutWorkingFolder(std::string_view program)
{
    const std::size_t slash = FindLastBackslash(program);
    if (slash == kNotFound) return {};
    return std::string(program.substr(0, slash <= 3 ? slash + 1 : slash));
}

void CreateShortcut(const EngineEnvironment& env, const ShortcutDestination& destination,
                    const std::string& program, const std::string& name, ShortcutPlace place,
                    const std::string& arguments)
{
    std::string desktop;
    if (!env.platform.DesktopFolder(desktop)) return;

    ShellLinkFields fields;
    fields.program = program;
    fields.arguments = arguments;
    fields.workingFolder = ShortcutWorkingFolder(program);
    fields.description = name;
    fields.showCommand = kShowNormal;

    const std::string linkPath = (place == ShortcutPlace::Desktop)
                                     ? desktop + "\\" + name + ".lnk"
                                     : std::string(destination.startMenuGroupPath) + name + ".lnk";

    if (env.system.SaveShellLink(fields, linkPath) == ShellLinkOutcome::NoObject) return;
    if (destination.fileLog) {
        const std::string entry = linkPath + "\r\n";
        destination.fileLog->Write(entry.data(), entry.size());
    }
}

} // namespace vela
