#pragma once
// The installation package appended to the installer: a 40-byte header (two
// blank-padded decimal fields: script length and file count), the setup
// script and the stored items back to back. Item offsets count from the data
// base, package offset + script length, so the first item lies at 40.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "installer/package/FixedText.h"
#include "installer/package/InstallContext.h"
#include "installer/package/Platform.h"

namespace vela {

inline constexpr std::size_t kHeaderFieldWidth = 20;
inline constexpr std::size_t kPackageHeaderSize = 2 * kHeaderFieldWidth;

struct PackageHeader {
    std::int32_t scriptLength = 0;
    std::int32_t fileCount = 0;
};

// Parses the 40 header bytes.
PackageHeader ParsePackageHeader(const char (&bytes)[kPackageHeaderSize]);
// Seeks to the package offset and reads the header; false when the file
// holds fewer than 40 bytes there.
bool ReadPackageHeader(IBinaryFile& package, std::uint64_t packageOffset, PackageHeader& header);

// Copies size bytes found at the absolute offset of the package into a new
// target file (truncating an old one), as CopyStoredItem. A target that cannot
// be created is reported with its path as text and "创建该文件时出错" as
// caption. False when the target could not be created or the package did
// not hold all the bytes.
bool ExtractStoredFile(IPlatform& sys, IBinaryFile& package, const std::string& targetPath,
                       std::int64_t absoluteOffset, std::int32_t size);

// Copies size bytes found at the absolute offset of the package into a file
// open for writing, leaving what a copy below 2,048 bytes byte by byte and
// otherwise in blocks of 2,000 and a remainder would leave (only whole
// blocks when the package ends early), in large pieces. False when the
// package did not hold every byte or the file did not take them all (a full
// disk).
bool CopyStoredItem(IBinaryFile& package, IBinaryFile& target, std::int64_t absoluteOffset, std::int32_t size);

// How an extraction into a new file ended.
enum class ExtractResult {
    NotCreated,  // the target could not be created (reported); nothing written
    Short,       // created, but the package did not hold every byte
    Done,
};
// As ExtractStoredFile, but the target must be a new file: a file of that
// name that already exists is left alone (reported like a target that
// cannot be created).
ExtractResult ExtractStoredFileNew(IPlatform& sys, IBinaryFile& package, std::string_view targetPath,
                                   std::int64_t absoluteOffset, std::int32_t size);

// The temporary stem: the temporary folder, "~temp" (with a backslash before
// it unless the folder ends in one) and the local time as seven decimal
// numbers run together (year, month, day, hour, minute, second, millisecond).
// A stem too long for a temporary path comes back Overflowed.
using TemporaryText = FixedText<kTempPathSize>;
TemporaryText TemporaryStem(std::string_view temporaryFolder, const LocalTime& time);
// Sets scriptFilePath, welcomeBitmapPath and splashBitmapPath from the stem;
// false when a path does not fit its buffer (the paths are then empty).
bool SetTemporaryPaths(InstallContext& ctx, std::string_view stem);
// Sets the three temporary paths from the first stem none of whose files
// exists: the stem itself, then the stem followed by "-1", "-2", ... up to
// "-99". False (paths empty) when none is free or the paths do not fit.
inline constexpr int kTemporaryStemTries = 100;
bool ChooseTemporaryPaths(IPlatform& sys, InstallContext& ctx, std::string_view stem);

// What is wrong with a package, as the check found it first. The installer
// needs only whether there is a problem; velapack describes it in words
// (tools/velapack/PackageCheck.h).
enum class PackageFault : std::uint8_t {
    None,
    NoHeader,           // the file ends before the 40 header bytes
    NoScriptLength,     // the script length is 0 or negative
    ScriptBeyondEnd,    // number: the script length
    ScriptUnreadable,   // the script's bytes cannot be read
    BasalLineNul,       // basalLine holds a NUL byte
    BasalLineTooLong,   // basalLine is longer than its buffer
    BasalLineNoEnd,     // basalLine has no CR LF
    NoFileTable,        // no [Directory], [File], two picture lines, [TotalSize]
    CountMismatch,      // number: the header's count; count: the table's
    ItemNegative,       // item: negative offset or size
    ItemBeforeData,     // item: offset below 40
    ItemBeyondEnd,      // item: bytes past the end of the file
};
enum class CheckedItem : std::uint8_t { WelcomePicture, SplashPicture, File };
struct PackageProblem {
    PackageFault fault = PackageFault::None;
    int basalLine = 0;             // 2 the name line, 3 the folder line
    CheckedItem item = CheckedItem::File;
    std::uint32_t fileLine = 0;    // 1 for the first file line of the table
    std::int64_t number = 0;
    std::uint32_t count = 0;
    std::int32_t offset = 0;       // the item's offset and size fields
    std::int32_t size = 0;
};

// Checks a package before anything is installed from it: the header's
// script length and every item that will be read lie inside the file, the script
// has its "[Basal]" line and a complete file table, and the table holds as
// many file lines as the header says. False with the first problem found.
// The script is read in place, never copied.
bool CheckPackage(IBinaryFile& file, std::uint64_t packageOffset, PackageProblem& problem);

} // namespace vela
