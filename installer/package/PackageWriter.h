#pragma once
// Writing the installation package: the fixed-width lines of the setup
// script and the package that follows the stub (header, script, items).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vela {

// An installed file: its target path (beginning with a path macro), its
// flag character and its bytes.
struct PackageItem {
    std::string target;
    char flag = '0';
    std::string bytes;
};

struct PackageShortcut {
    std::string name;       // link name without ".lnk", also its description
    std::string program;    // program path with a macro; no "/" allowed
    std::string arguments;  // empty for none
    bool onDesktop = false;
};

// Everything a package holds. Texts are GB2312 bytes without line ends.
struct PackageDescription {
    std::string displayName;
    std::string defaultFolder;
    bool showWelcomePages = true;
    bool registerUninstall = true;
    std::vector<std::string> autoReg;
    std::vector<std::string> clearFile;
    std::string menuGroup;
    std::vector<PackageShortcut> shortcuts;
    std::string runCaption;
    std::string runCommand;
    std::vector<std::string> directories;
    std::string welcomePicture;        // BMP bytes
    bool hasSplash = false;
    std::string splashPicture;         // BMP bytes, used when hasSplash
    std::vector<PackageItem> files;
    std::string licence;               // line ends LF or CR LF
};

// One file-table line with its CR LF; false (and a reason) when the target
// is wider than its column or a number does not fit.
bool FormatFileTableLine(std::string_view target, std::int64_t offset, std::int64_t size, char flag,
                         std::string& line, std::string& problem);
// One [Menu] shortcut line with its CR LF; refuses a name or target wider
// than its column and a program path holding "/".
bool FormatMenuLine(const PackageShortcut& shortcut, std::string& line, std::string& problem);
// The 40-byte header.
std::string FormatPackageHeader(std::int64_t scriptLength, std::int64_t fileCount);

// Builds the setup script and the package (header, script, items) that is
// appended to the stub. False with a reason for what the format cannot hold.
bool BuildPackage(const PackageDescription& description, std::string& package, std::string& problem);

} // namespace vela
