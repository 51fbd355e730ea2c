#include "installer/package/Package.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "installer/package/Messages.h"
#include "installer/package/SetupScript.h"
#include "installer/package/TextFields.h"

namespace vela {

PackageHeader ParsePackageHeader(const char (&bytes)[kPackageHeaderSize])
{
    char field[kHeaderFieldWidth + 1];
    PackageHeader header;
    std::memcpy(field, bytes, kHeaderFieldWidth);
    field[kHeaderFieldWidth] = '\0';
    header.scriptLength = ParseDecimalField(field);
    std::memcpy(field, bytes + kHeaderFieldWidth, kHeaderFieldWidth);
    field[kHeaderFieldWidth] = '\0';
    header.fileCount = ParseDecimalField(field);
    return header;
}

bool ReadPackageHeader(IBinaryFile& package, std::uint64_t packageOffset, PackageHeader& header)
{
    char bytes[kPackageHeaderSize];
    if (!package.Seek(packageOffset) || package.Read(bytes, sizeof bytes) != sizeof bytes) return false;
    header = ParsePackageHeader(bytes);
    return true;
}

bool CopyStoredItem(IBinaryFile& package, IBinaryFile& target, std::int64_t absoluteOffset, std::int32_t size)
{
    constexpr std::int32_t kByteByByteLimit = 2048;
    constexpr std::size_t kBlockSize = 2000;
    // The bytes move in pieces of whole 2,000-byte blocks, so that a package
    // that ends early leaves what the copy byte by byte (below 2,048 bytes:
    // every byte read) or block by block (only whole blocks) would have left.
    constexpr std::size_t kPieceSize = 128 * kBlockSize;

    if (absoluteOffset < 0 || !package.Seek(static_cast<std::uint64_t>(absoluteOffset))) return false;
    if (size <= 0) return true;
    const std::size_t whole = static_cast<std::size_t>(size);
    std::unique_ptr<char[]> heap(new (std::nothrow) char[whole < kPieceSize ? whole : kPieceSize]);
    char block[kBlockSize];
    char* const buffer = heap ? heap.get() : block;
    const std::size_t piece = heap ? (whole < kPieceSize ? whole : kPieceSize) : kBlockSize;
    for (std::size_t left = whole; left > 0;) {
        const std::size_t want = left < piece ? left : piece;
        const std::size_t got = package.Read(buffer, want);
        const std::size_t keep = got == want || size < kByteByByteLimit ? got : got / kBlockSize * kBlockSize;
        if (keep > 0 && target.Write(buffer, keep) != keep) return false;
        if (got != want) return false;
        left -= got;
    }
    return true;
}

bool ExtractStoredFile(IPlatform& sys, IBinaryFile& package, const std::string& targetPath,
                       std::int64_t absoluteOffset, std::int32_t size)
{
    auto target = sys.CreateForWriting(targetPath);
    if (!target) {
        sys.ShowMessage(targetPath, kCaptionCreateFileError);
        return false;
    }
    return CopyStoredItem(package, *target, absoluteOffset, size);
}

ExtractResult ExtractStoredFileNew(IPlatform& sys, IBinaryFile& package, const std::string& targetPath,
                                   std::int64_t absoluteOffset, std::int32_t size)
{
    auto target = sys.CreateNewForWriting(targetPath);
    if (!target) {
        sys.ShowMessage(targetPath, kCaptionCreateFileError);
        return ExtractResult::NotCreated;
    }
    return CopyStoredItem(package, *target, absoluteOffset, size) ? ExtractResult::Done : ExtractResult::Short;
}

std::string TemporaryStem(std::string_view temporaryFolder, const LocalTime& t)
{
    std::string stem(temporaryFolder);
    stem += EndsWithBackslash(temporaryFolder) ? "~temp" : "\\~temp";
    for (int n : {t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond})
        stem += std::to_string(n);
    return stem;
}

bool SetTemporaryPaths(InstallContext& ctx, std::string_view stem)
{
    std::string s(stem);
    bool ok = CopyText(ctx.welcomeBitmapPath, s + "Wel.Bmp") &&
              CopyText(ctx.splashBitmapPath, s + "Soft.Bmp") && CopyText(ctx.scriptFilePath, s + ".ini");
    if (!ok) {
        ctx.welcomeBitmapPath[0] = ctx.splashBitmapPath[0] = ctx.scriptFilePath[0] = '\0';
    }
    return ok;
}

bool ChooseTemporaryPaths(IPlatform& sys, InstallContext& ctx, std::string_view stem)
{
    for (int n = 0; n < kTemporaryStemTries; ++n) {
        std::string candidate(stem);
        if (n > 0) {
            candidate += '-';
            candidate += std::to_string(n);
        }
        if (!SetTemporaryPaths(ctx, candidate)) return false;
        bool free = true;
        for (const char* path : {ctx.scriptFilePath, ctx.welcomeBitmapPath, ctx.splashBitmapPath})
            if (sys.OpenForReading(path)) free = false;
        if (free) return true;
    }
    ctx.welcomeBitmapPath[0] = ctx.splashBitmapPath[0] = ctx.scriptFilePath[0] = '\0';
    return false;
}

namespace {

bool ItemInside(const FileTableEntry& item, std::int64_t dataBase, std::uint64_t length, std::string& problem,
                const std::string& what)
{
    if (item.size < 0 || item.offset < 0) {
        problem = what + ": negative offset or size";
        return false;
    }
    if (item.size == 0) return true;
    if (item.offset < static_cast<std::int32_t>(kPackageHeaderSize)) {
        problem = what + ": offset " + std::to_string(item.offset) + " lies before the stored items";
        return false;
    }
    std::uint64_t end = static_cast<std::uint64_t>(dataBase) + static_cast<std::uint64_t>(item.offset) +
                        static_cast<std::uint64_t>(item.size);
    if (end > length) {
        problem = what + ": bytes " + std::to_string(item.offset) + " to " +
                  std::to_string(std::int64_t{item.offset} + item.size) + " lie beyond the end of the file";
        return false;
    }
    return true;
}

} // namespace

bool CheckPackage(IBinaryFile& file, std::uint64_t packageOffset, std::string& problem)
{
    std::uint64_t length = file.Length();
    PackageHeader header;
    if (length < packageOffset + kPackageHeaderSize || !ReadPackageHeader(file, packageOffset, header)) {
        problem = "the file ends before the package header";
        return false;
    }
    if (header.scriptLength <= 0) {
        problem = "the header gives no script length";
        return false;
    }
    std::uint64_t scriptStart = packageOffset + kPackageHeaderSize;
    if (scriptStart + static_cast<std::uint64_t>(header.scriptLength) > length) {
        problem = "the script length " + std::to_string(header.scriptLength) + " reaches beyond the end of the file";
        return false;
    }
    std::string script(static_cast<std::size_t>(header.scriptLength), '\0');
    if (!file.Seek(scriptStart) || file.Read(script.data(), script.size()) != script.size()) {
        problem = "the script cannot be read";
        return false;
    }
    // Line 1 is the "[Basal]" header by position; like the installer, the
    // check does not judge its text.
    SetupScriptContents contents = ReadSetupScript(script);
    const std::pair<const char*, std::size_t> values[] = {
        {contents.basal.displayName, contents.basal.lengths[1]},
        {contents.basal.installPath, contents.basal.lengths[2]},
    };
    for (const auto& [line, length] : values) {
        const std::string_view value(line, length);
        const char* which = line == contents.basal.displayName ? "the [Basal] name line" : "the [Basal] folder line";
        if (value.find('\0') != std::string_view::npos) {
            problem = std::string(which) + " holds a NUL byte";
            return false;
        }
        if (length == kBasalLineBound - 1 && value.back() != '\n') {
            problem = std::string(which) + " is longer than " + std::to_string(kNameSize - 1) + " bytes";
            return false;
        }
        if (value.size() < 2 || value.substr(value.size() - 2) != "\r\n") {
            problem = std::string(which) + " has no line end (CR LF)";
            return false;
        }
        if (value.size() - 2 >= kNameSize) {
            problem = std::string(which) + " is longer than " + std::to_string(kNameSize - 1) + " bytes";
            return false;
        }
    }
    if (!contents.hasFileTable) {
        problem = "the script has no complete file table ([Directory], [File], two picture lines, [TotalSize])";
        return false;
    }
    if (header.fileCount < 0 || static_cast<std::size_t>(header.fileCount) != contents.files.size()) {
        problem = "the header counts " + std::to_string(header.fileCount) + " files, the file table holds " +
                  std::to_string(contents.files.size());
        return false;
    }
    std::int64_t dataBase = static_cast<std::int64_t>(packageOffset) + header.scriptLength;
    // The pictures are read only when the welcome pages are shown, the splash
    // picture only when its tag asks for it: a "[NonePic]" line may hold any
    // offset and size.
    if (std::string_view(contents.basal.showWelcome) == "1\r\n") {
        if (!ItemInside(contents.welcomePicture, dataBase, length, problem, "welcome picture")) return false;
        if (IsSplashTag(contents.splashPicture.target) &&
            !ItemInside(contents.splashPicture, dataBase, length, problem, "splash picture"))
            return false;
    }
    for (std::size_t i = 0; i < contents.files.size(); ++i) {
        if (!ItemInside(contents.files[i], dataBase, length, problem, "file line " + std::to_string(i + 1)))
            return false;
    }
    return true;
}

} // namespace vela
