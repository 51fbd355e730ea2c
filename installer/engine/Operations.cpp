#include "installer/engine/Operations.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <iterator>

#include "installer/engine/EngineTexts.h"
#include "installer/package/Messages.h"
#include "installer/package/PathMacros.h"
#include "installer/package/SetupScript.h"
#include "installer/package/TextFields.h"

namespace vela {
namespace {

using namespace std::string_view_literals;

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
        if (i >= 3 && path[i] == '\\') system.CreateFolder(path.substr(0, i));
        i += IsLeadByte(static_cast<unsigned char>(path[i])) ? 2 : 1;
    }
    system.CreateFolder(path);
}

ProcessCommand ResolveCommandLine(IEngineSystem& system, std::string_view commandLine)
{
    return ResolveCommandLine(commandLine, [&system](const char* path) { return system.IsFile(path); });
}

std::int64_t RunAndWait(const EngineEnvironment& env, std::string_view commandLine, int showState)
{
    std::uint32_t exitCode = 0;
    const ProcessCommand command = ResolveCommandLine(env.system, commandLine);
    if (command.commandLine.Overflowed() || !env.system.RunProcessAndWait(command, showState, exitCode)) {
        env.platform.ShowMessage(kProcessFailed, Constant(kCaptionError));
        return -1;
    }
    return exitCode;
}

bool RegisterCommand(const EngineEnvironment& env, std::string_view componentPath, CommandText& command)
{
    char text[kCommandLineSize];
    command.Clear();
    return CopyText(text, kSystemMacro) && AppendText(text, "\\regsvr32.exe \""sv) &&
           AppendText(text, componentPath) && AppendText(text, "\" /s"sv) &&
           ExpandPathMacros(env.platform, env.context, text, sizeof text) && command.Append(text);
}

void RunInstallAction(const EngineEnvironment& env, std::string_view path)
{
    if (path.size() < 4 || path[path.size() - 4] != '.') return;
    char ext[3];
    for (std::size_t i = 0; i < 3; ++i) ext[i] = AsciiLower(path[path.size() - 3 + i]);
    // Programs, then components; anything else goes to the shell.
    static constexpr char kKnown[][4] = {"exe", "dll", "ocx"};
    std::size_t kind = 0;
    while (kind < std::size(kKnown) && std::memcmp(ext, kKnown[kind], 3) != 0) ++kind;

    if (kind == 0) {
        RunAndWait(env, path, kShowNormal);
    } else if (kind < std::size(kKnown)) {
        CommandText command;
        if (!RegisterCommand(env, path, command)) {
            env.platform.ShowMessage(kProcessFailed, Constant(kCaptionError));
            return;
        }
        RunAndWait(env, command, kShowNormal);
    } else {
        env.system.ShellOpen(path, kShowMaximized);
    }
}

RegistryLineKind ClassifyRegistryLine(std::string_view line)
{
    if (line.empty()) return RegistryLineKind::Empty;
    if (line.front() == '[') return RegistryLineKind::Key;
    return RegistryLineKind::Value;
}

bool ParseRegistryValueLine(std::string_view line, std::string_view& name, std::string_view& text)
{
    // "name"="text": the name runs from the second character to the next
    // quote, the text from three characters after that quote to the closing
    // quote, which is the line's last character. A double quote is never a
    // trail byte, so a plain search is safe.
    if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
    const std::size_t nameEnd = line.find('"', 1);
    if (nameEnd == std::string_view::npos || nameEnd + 3 > line.size() - 1) return false;
    if (line[nameEnd + 1] != '=' || line[nameEnd + 2] != '"') return false;
    name = line.substr(1, nameEnd - 1);
    text = line.substr(nameEnd + 3, line.size() - 1 - (nameEnd + 3));
    return true;
}

bool ParseRegistryKeyLine(std::string_view line, RegistryRoot& root, std::string_view& keyPath)
{
    const std::size_t slash = FindFirstBackslash(line);
    const std::size_t last = LastCharStart(line);
    if (slash == kNotFound || last == kNotFound || line[last] != ']' ||
        last <= slash)
        return false;
    const std::string_view keyword(line.data(), slash);
    for (const RootKeyword& candidate : kRootKeywords) {
        if (keyword == candidate.keyword) {
            root = candidate.root;
            keyPath = {line.data() + slash + 1, last - slash - 1};
            return true;
        }
    }
    return false;
}

RegistryKey OpenRegistryKeyPath(IEngineSystem& system, std::string_view keyLine)
{
    RegistryRoot root{};
    std::string_view path;
    if (!ParseRegistryKeyLine(keyLine, root, path)) return kNoRegistryKey;

    // The key path is part of one script line: it fits the line's bound.
    RegistryKey key = kNoRegistryKey;
    FixedText<kLongLineBound> built;
    while (!path.empty()) {
        // The path up to its next backslash is one level; the rest follows.
        const std::size_t slash = std::min(FindFirstBackslash(path), path.size());
        const std::string_view component(path.data(), slash);
        path.remove_prefix(slash == path.size() ? slash : slash + 1);
        if (component.empty()) continue;  // "a\\b" and a trailing "\" name no level

        const std::size_t remembered = built.size();
        if (!built.empty()) built.Append('\\');
        if (key != kNoRegistryKey) system.CloseRegistryKey(key);
        if (!built.Append(component)) return kNoRegistryKey;

        key = system.OpenRegistryKey(root, built);
        if (key == kNoRegistryKey) {
            const RegistryKey parent = system.OpenRegistryKey(root, {built.c_str(), remembered});
            if (parent == kNoRegistryKey) return kNoRegistryKey;
            key = system.CreateRegistrySubKey(parent, component);
            system.CloseRegistryKey(parent);
            if (key == kNoRegistryKey) return kNoRegistryKey;
        }
    }
    return key;
}

void ImportRegistryScript(const EngineEnvironment& env, std::string_view path)
{
    IEngineSystem& system = env.system;
    std::unique_ptr<CScriptFile> script = OpenScript(env.platform, path);
    if (!script) return;

    RegistryKey current = kNoRegistryKey;
    char line[kLongLineBound];
    std::string_view name;
    std::string_view text;
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
    if (slash == std::string_view::npos) return {field, {}};
    std::string_view program = field.substr(0, slash);
    if (!program.empty() && program.back() == ' ') program.remove_suffix(1);
    return {program, field.substr(slash + 1)};
}

std::string_view ShortcutWorkingFolder(std::string_view program)
{
    const std::size_t slash = FindLastBackslash(program);
    if (slash == kNotFound) return {};
    return program.substr(0, slash <= 3 ? slash + 1 : slash);
}

void CreateShortcut(const EngineEnvironment& env, const ShortcutDestination& destination,
                    std::string_view program, std::string_view name, ShortcutPlace place,
                    std::string_view arguments)
{
    SystemPath desktop;
    if (!env.platform.DesktopFolder(desktop) || desktop.Overflowed()) return;

    ShellLinkFields fields;
    fields.program = program;
    fields.arguments = arguments;
    fields.workingFolder = ShortcutWorkingFolder(program);
    fields.description = name;  // showCommand keeps its default, kShowNormal

    FixedText<kGroupPathSize + kLinkTextSize> linkPath;
    if (place == ShortcutPlace::Desktop) {
        linkPath.Append(desktop);
        linkPath.Append('\\');
    } else {
        linkPath.Append(destination.startMenuGroupPath);
    }
    linkPath.Append(name);
    linkPath.Append(".lnk"sv);
    // A link whose texts do not fit is not made (the callers' buffers make
    // that impossible for what a script can hold).
    if (linkPath.Overflowed() || fields.program.Overflowed() || fields.arguments.Overflowed() ||
        fields.workingFolder.Overflowed() || fields.description.Overflowed())
        return;

    if (env.system.SaveShellLink(fields, linkPath) == ShellLinkOutcome::NoObject) return;
    if (destination.fileLog) {
        destination.fileLog->Write(linkPath.c_str(), linkPath.size());
        destination.fileLog->Write("\r\n", 2);
    }
}

} // namespace vela
