#include "installer/package/SetupScript.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "installer/package/TextFields.h"

namespace vela {

CScriptFile::CScriptFile(std::unique_ptr<IBinaryFile> file) : file_(std::move(file)) {}

void CScriptFile::Rewind()
{
    pos_ = len_ = lastLength_ = 0;
    atEnd_ = false;
    if (file_) file_->Seek(0);
}

bool CScriptFile::Fill()
{
    if (pos_ < len_) return true;
    pos_ = 0;
    len_ = file_ ? file_->Read(data_, sizeof data_) : 0;
    return len_ > 0;
}

bool CScriptFile::ReadLine(char* buffer, std::size_t bound)
{
    if (bound == 0) return false;
    std::size_t n = 0;
    while (n + 1 < bound) {
        if (!Fill()) {
            atEnd_ = true;
            break;
        }
        char c = data_[pos_++];
        buffer[n++] = c;
        if (c == '\n') break;
    }
    buffer[n] = '\0';
    lastLength_ = n;
    return n > 0;
}

bool CScriptFile::SkipToSection(std::string_view header, std::size_t bound)
{
    char line[kLongLineBound];
    if (bound > sizeof line) bound = sizeof line;
    while (ReadLine(line, bound)) {
        if (IsHeaderLine(line, header)) return true;
    }
    return false;
}

bool CScriptFile::ReadSectionLine(std::string_view endHeader, char* buffer, std::size_t bound)
{
    if (!ReadLine(buffer, bound)) return false;
    return !IsHeaderLine(buffer, endHeader);
}

std::unique_ptr<CScriptFile> OpenScript(IPlatform& sys, std::string_view path)
{
    auto file = sys.OpenForReading(path);
    if (!file) return nullptr;
    return std::make_unique<CScriptFile>(std::move(file));
}

std::unique_ptr<CScriptFile> OpenScript(IPlatform& sys, const char* path)
{
    return OpenScript(sys, std::string_view(path));
}

void ReadBasal(CScriptFile& script, BasalLines& lines)
{
    const std::pair<char*, std::size_t> reads[5] = {
        {lines.header, sizeof lines.header},
        {lines.displayName, sizeof lines.displayName},
        {lines.installPath, sizeof lines.installPath},
        {lines.showWelcome, sizeof lines.showWelcome},
        {lines.registerUninstall, sizeof lines.registerUninstall},
    };
    for (std::size_t i = 0; i < 5; ++i)
        lines.lengths[i] = script.ReadLine(reads[i].first, reads[i].second) ? script.LastLength() : 0;
}

bool SkipToFileTable(CScriptFile& script)
{
    if (!script.SkipToSection(kDirectoryHeader, kShortLineBound)) return false;
    char line[kShortLineBound];
    while (script.ReadSectionLine(kFileHeader, line, sizeof line)) {
    }
    return IsHeaderLine(line, kFileHeader);
}

bool SkipToFileTable(CScriptFile& script, std::vector<std::string>& directories)
{
    if (!script.SkipToSection(kDirectoryHeader, kShortLineBound)) return false;
    char line[kShortLineBound];
    while (script.ReadSectionLine(kFileHeader, line, sizeof line)) {
        std::string value(line);
        value.resize(value.size() >= 2 ? value.size() - 2 : 0);
        directories.push_back(std::move(value));
    }
    return IsHeaderLine(line, kFileHeader);
}

void ParseFileTableLine(std::string_view line, FileTableEntry& entry)
{
    char number[kFileNumberWidth + 1];
    CopyColumns(line, 0, kFileTargetWidth, entry.target);
    CopyColumns(line, kFileTargetWidth, kFileNumberWidth, number);
    entry.offset = ParseDecimalField(number);
    CopyColumns(line, kFileTargetWidth + kFileNumberWidth, kFileNumberWidth, number);
    entry.size = ParseDecimalField(number);
    entry.flag = line.size() > kFileLineWidth - 1 ? line[kFileLineWidth - 1] : '\0';
}

void ParseFileTableLine(const char* line, FileTableEntry& entry)
{
    ParseFileTableLine(std::string_view(line), entry);
}

void ParseMenuLine(std::string_view line, MenuEntry& entry)
{
    CopyColumns(line, 0, kMenuNameWidth, entry.name);
    TrimTrailingSpaces(entry.name);
    CopyColumns(line, kMenuNameWidth, kMenuTargetWidth, entry.target);
    TrimTrailingSpaces(entry.target);
    entry.onDesktop = line.size() > kMenuLineWidth - 1 && line[kMenuLineWidth - 1] == '1';
}

bool IsSplashTag(std::string_view target)
{
    return target.size() >= 5 && std::memcmp(target.data(), "[Soft", 5) == 0;
}

bool ReadRunEntry(CScriptFile& script, std::string& caption, std::string& command)
{
    caption.clear();
    command.clear();
    char line[kLongLineBound];
    if (!script.SkipToSection(kRunHeader, kLongLineBound) || !script.ReadLine(line, sizeof line)) return false;
    CutLineEnd(line);
    std::string first = line;
    if (!script.ReadLine(line, sizeof line)) return false;
    CutLineEnd(line);
    caption = first;
    command = line;
    return true;
}

bool ReadLicenceText(CScriptFile& script, std::string& text, bool& truncated, std::size_t limit)
{
    text.clear();
    truncated = false;
    char line[kShortLineBound];
    if (!script.SkipToSection(kTotalSizeHeader, kShortLineBound)) return false;
    script.ReadLine(line, sizeof line);  // the total, not used here
    if (!script.SkipToSection(kReadmeHeader, kShortLineBound)) return false;
    while (script.ReadSectionLine(kReadmeEndHeader, line, sizeof line)) {
        const std::size_t n = std::strlen(line);
        if (truncated || text.size() + n + 1 > limit) {
            truncated = true;
            continue;
        }
        text.append(line, n);
    }
    return true;
}

namespace {

CScriptFile OpenText(std::string_view text)
{
    return CScriptFile(OpenMemoryFile(std::string(text)));
}

std::string WithoutLineEnd(const char* line)
{
    std::string s(line);
    s.resize(s.size() >= 2 ? s.size() - 2 : 0);
    return s;
}

} // namespace

SetupScriptContents ReadSetupScript(std::string_view text)
{
    SetupScriptContents out;
    {
        CScriptFile script = OpenText(text);
        ReadBasal(script, out.basal);
    }
    std::vector<char> line(kLongLineBound);
    {
        // The install engine's registrations, deletions and shortcuts.
        CScriptFile script = OpenText(text);
        if (script.SkipToSection(kAutoRegHeader, kLongLineBound)) {
            while (script.ReadSectionLine(kClearFileHeader, line.data(), kLongLineBound))
                out.autoReg.push_back(WithoutLineEnd(line.data()));
            while (script.ReadSectionLine(kMenuHeader, line.data(), kLongLineBound))
                out.clearFile.push_back(WithoutLineEnd(line.data()));
            if (script.ReadLine(line.data(), kLongLineBound)) {
                out.hasMenu = true;
                out.menuGroup = WithoutLineEnd(line.data());
                while (script.ReadSectionLine(kRunHeader, line.data(), kLongLineBound)) {
                    MenuEntry entry;
                    ParseMenuLine(line.data(), entry);
                    out.menu.push_back(entry);
                }
            }
        }
    }
    {
        // The completion page's run entry.
        CScriptFile script = OpenText(text);
        out.hasRun = ReadRunEntry(script, out.runCaption, out.runCommand);
    }
    {
        // The install engine's folders and file table.
        CScriptFile script = OpenText(text);
        if (SkipToFileTable(script, out.directories) && script.ReadLine(line.data(), kShortLineBound)) {
            ParseFileTableLine(line.data(), out.welcomePicture);
            if (script.ReadLine(line.data(), kShortLineBound)) {
                ParseFileTableLine(line.data(), out.splashPicture);
                while (script.ReadSectionLine(kTotalSizeHeader, line.data(), kShortLineBound)) {
                    FileTableEntry entry;
                    ParseFileTableLine(line.data(), entry);
                    out.files.push_back(entry);
                }
                out.hasFileTable = IsHeaderLine(line.data(), kTotalSizeHeader);
            }
        }
    }
    {
        // The total line, as the licence page passes over it.
        CScriptFile script = OpenText(text);
        if (script.SkipToSection(kTotalSizeHeader, kShortLineBound) &&
            script.ReadLine(line.data(), kShortLineBound))
            out.totalSize = WithoutLineEnd(line.data());
    }
    {
        // The licence page.
        CScriptFile script = OpenText(text);
        out.hasReadme = ReadLicenceText(script, out.readme, out.readmeTruncated);
    }
    return out;
}

} // namespace vela
