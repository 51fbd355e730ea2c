#pragma once
// The setup script: bounded line reads, section headers and the readers of
// each section. Several readers open the extracted script independently and
// skip to their own section.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "installer/package/Platform.h"

namespace vela {

// Section headers (compared together with their CR LF).
inline constexpr std::string_view kBasalHeader = "[Basal]";
inline constexpr std::string_view kAutoRegHeader = "[AutoReg]";
inline constexpr std::string_view kClearFileHeader = "[ClearFile]";
inline constexpr std::string_view kMenuHeader = "[Menu]";
inline constexpr std::string_view kRunHeader = "[Run]";
inline constexpr std::string_view kDirectoryHeader = "[Directory]";
inline constexpr std::string_view kFileHeader = "[File]";
inline constexpr std::string_view kTotalSizeHeader = "[TotalSize]";
inline constexpr std::string_view kReadmeHeader = "[Readme Content]";
inline constexpr std::string_view kReadmeEndHeader = "[Readme End]";

// Line bounds: a bounded read of n bytes takes at most n - 1 characters.
inline constexpr std::size_t kBasalLineBound = 400;
inline constexpr std::size_t kBasalLastLineBound = 280;  // line 5
inline constexpr std::size_t kLongLineBound = 480;       // [AutoReg] .. [Run], registry scripts
inline constexpr std::size_t kShortLineBound = 400;      // [Directory] .. [Readme End]

// A text file read line by line with bounded reads, over any binary stream.
class CScriptFile {
public:
    explicit CScriptFile(std::unique_ptr<IBinaryFile> file);

    // Reads one line: stops after a line feed, at bound - 1 bytes or at the
    // end of the file, whichever comes first, and stores it NUL-terminated in
    // buffer (which holds bound bytes). False when nothing was left to read.
    // A line longer than the bound is split: its rest is the next line.
    bool ReadLine(char* buffer, std::size_t bound);
    // Bytes the last ReadLine stored, NUL bytes of the line included (the
    // line's length is this, not the string length).
    std::size_t LastLength() const { return lastLength_; }
    // True once a read has met the end of the file.
    bool AtEnd() const { return atEnd_; }
    // Reads again from the file's first byte, as a new script file would.
    void Rewind();

    // Reads lines until one is the header with its CR LF; false when the
    // file ends first. The bound is at most kLongLineBound.
    bool SkipToSection(std::string_view header, std::size_t bound);
    // Reads the next line of a section; false at the section's end header
    // or at the end of the file.
    bool ReadSectionLine(std::string_view endHeader, char* buffer, std::size_t bound);

private:
    bool Fill();

    std::unique_ptr<IBinaryFile> file_;
    char data_[4096];
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    std::size_t lastLength_ = 0;
    bool atEnd_ = false;
};

// Opens a script file by path through the platform; nullptr on failure.
std::unique_ptr<CScriptFile> OpenScript(IPlatform& sys, std::string_view path);
std::unique_ptr<CScriptFile> OpenScript(IPlatform& sys, const char* path);

// The five "[Basal]" lines, as read at start-up (line ends kept).
struct BasalLines {
    char header[kBasalLineBound] = {};
    char displayName[kBasalLineBound] = {};
    char installPath[kBasalLineBound] = {};
    char showWelcome[kBasalLineBound] = {};
    char registerUninstall[kBasalLastLineBound] = {};
    // Bytes read for each of the five lines (a NUL byte shortens the string,
    // not the line).
    std::size_t lengths[5] = {};
};
// Reads the first five lines of the script with their bounds.
void ReadBasal(CScriptFile& script, BasalLines& lines);

// Positions the script just after the "[File]" header that ends the
// "[Directory]" section: the file table the install engine copies from and
// the package check vets. Every reader of the table finds it this way, so a
// "[File]" line elsewhere (in [Basal], [Menu] or [Run]) is never taken for
// it. False when either header is missing.
bool SkipToFileTable(CScriptFile& script);
// The same, handing each directory line (without its line end) to
// directories (the package listing).
bool SkipToFileTable(CScriptFile& script, std::vector<std::string>& directories);

// One line of the [File] table: 268 columns of target name, 20 of offset,
// 20 of size and the flag character.
inline constexpr std::size_t kFileTargetWidth = 268;
inline constexpr std::size_t kFileNumberWidth = 20;
inline constexpr std::size_t kFileLineWidth = 309;
inline constexpr std::size_t kFileTargetSize = 480;  // room for the expanded path

struct FileTableEntry {
    char target[kFileTargetSize] = {};  // columns 0-267, blanks kept
    std::int32_t offset = 0;            // relative to packageDataBase
    std::int32_t size = 0;
    char flag = '\0';                   // column 308; '\0' when the line is shorter
};
void ParseFileTableLine(std::string_view line, FileTableEntry& entry);
// The same for a line read into a buffer (up to its first NUL byte).
void ParseFileTableLine(const char* line, FileTableEntry& entry);

// One shortcut line of [Menu]: 100 columns of name, 300 of target, flag.
inline constexpr std::size_t kMenuNameWidth = 100;
inline constexpr std::size_t kMenuTargetWidth = 300;
inline constexpr std::size_t kMenuLineWidth = 401;

struct MenuEntry {
    char name[kMenuNameWidth + 1] = {};      // trailing blanks removed
    char target[kMenuTargetWidth + 1] = {};  // trailing blanks removed
    bool onDesktop = false;                  // column 400 is "1"
};
void ParseMenuLine(std::string_view line, MenuEntry& entry);

// The completion page's reader: skips to "[Run]" and reads the check-box
// caption and the run command, each without its line end. False when the
// section or one of its two lines is missing (both texts are then empty).
bool ReadRunEntry(CScriptFile& script, std::string& caption, std::string& command);

// The licence page's reader: skips to "[TotalSize]", reads the total line,
// then gathers every line (with its CR LF) between "[Readme Content]" and
// "[Readme End]". The text is kept within limit bytes, terminating zero
// included: a line that would not fit ends the text there (truncated is then
// set). False when "[TotalSize]" or "[Readme Content]" is missing.
inline constexpr std::size_t kLicenceTextSize = 20000;
bool ReadLicenceText(CScriptFile& script, std::string& text, bool& truncated,
                     std::size_t limit = kLicenceTextSize);

// The whole script as its readers see it; used by the package check and the
// package builder's listing.
struct SetupScriptContents {
    BasalLines basal;
    std::vector<std::string> autoReg;
    std::vector<std::string> clearFile;
    bool hasMenu = false;
    std::string menuGroup;
    std::vector<MenuEntry> menu;
    bool hasRun = false;
    std::string runCaption;
    std::string runCommand;
    std::vector<std::string> directories;
    bool hasFileTable = false;     // [File] found, two picture lines and [TotalSize]
    FileTableEntry welcomePicture;
    FileTableEntry splashPicture;
    std::vector<FileTableEntry> files;
    std::string totalSize;
    bool hasReadme = false;
    bool readmeTruncated = false;
    std::string readme;            // with its line ends
};
// Reads every section from the script text, each with its own reader and
// bounds, as the installer does.
SetupScriptContents ReadSetupScript(std::string_view text);

// True when the splash line's tag shows the splash window.
bool IsSplashTag(std::string_view target);

} // namespace vela
