#include "installer/package/Package.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

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

ExtractResult ExtractStoredFileNew(IPlatform& sys, IBinaryFile& package, std::string_view targetPath,
                                   std::int64_t absoluteOffset, std::int32_t size)
{
    auto target = sys.CreateNewForWriting(targetPath);
    if (!target) {
        sys.ShowMessage(targetPath, Constant(kCaptionCreateFileError));
        return ExtractResult::NotCreated;
    }
    return CopyStoredItem(package, *target, absoluteOffset, size) ? ExtractResult::Done : ExtractResult::Short;
}

TemporaryText TemporaryStem(std::string_view temporaryFolder, const LocalTime& t)
{
    TemporaryText stem(temporaryFolder);
    stem.Append(EndsWithBackslash(temporaryFolder) ? "~temp" : "\\~temp");
    static constexpr int LocalTime::*kFields[] = {&LocalTime::year,   &LocalTime::month,  &LocalTime::day,
                                                  &LocalTime::hour,   &LocalTime::minute, &LocalTime::second,
                                                  &LocalTime::millisecond};
    for (const auto field : kFields) stem.AppendNumber(t.*field);
    return stem;
}

bool SetTemporaryPaths(InstallContext& ctx, std::string_view stem)
{
    bool ok = true;
    const std::pair<char*, const char*> paths[] = {
        {ctx.welcomeBitmapPath, "Wel.Bmp"}, {ctx.splashBitmapPath, "Soft.Bmp"}, {ctx.scriptFilePath, ".ini"}};
    for (const auto& [path, ending] : paths) ok = ok && CopyText(path, kTempPathSize, stem) && AppendText(path, kTempPathSize, ending);
    if (!ok) {
        ctx.welcomeBitmapPath[0] = ctx.splashBitmapPath[0] = ctx.scriptFilePath[0] = '\0';
    }
    return ok;
}

bool ChooseTemporaryPaths(IPlatform& sys, InstallContext& ctx, std::string_view stem)
{
    for (int n = 0; n < kTemporaryStemTries; ++n) {
        TemporaryText candidate(stem);
        if (n > 0) {
            candidate.Append('-');
            candidate.AppendNumber(n);
        }
        if (candidate.Overflowed() || !SetTemporaryPaths(ctx, candidate)) {
            ctx.welcomeBitmapPath[0] = ctx.splashBitmapPath[0] = ctx.scriptFilePath[0] = '\0';
            return false;
        }
        bool free = true;
        for (const char* path : {ctx.scriptFilePath, ctx.welcomeBitmapPath, ctx.splashBitmapPath})
            if (sys.OpenForReading(path)) free = false;
        if (free) return true;
    }
    ctx.welcomeBitmapPath[0] = ctx.splashBitmapPath[0] = ctx.scriptFilePath[0] = '\0';
    return false;
}

namespace {

// A read-only view of part of a file: the package's script, read in place.
class FileWindow final : public IBinaryFile {
public:
    FileWindow(IBinaryFile& file, std::uint64_t start, std::uint64_t length)
        : file_(file), start_(start), length_(length)
    {
    }
    bool Seek(std::uint64_t offset) override
    {
        pos_ = offset;
        return true;
    }
    std::size_t Read(void* buffer, std::size_t size) override
    {
        if (pos_ >= length_) return 0;
        const std::uint64_t left = length_ - pos_;
        const std::size_t want = left < size ? static_cast<std::size_t>(left) : size;
        const std::size_t got = file_.Seek(start_ + pos_) ? file_.Read(buffer, want) : 0;
        if (got != want) failed = true;
        pos_ += got;
        return got;
    }
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::uint64_t Length() override { return length_; }

    bool failed = false;  // a read inside the window came back short

private:
    IBinaryFile& file_;
    std::uint64_t start_;
    std::uint64_t length_;
    std::uint64_t pos_ = 0;
};

// The bytes of the file from the data base on, as far as an item can reach:
// two 31-bit fields end at most 2^32 - 2 bytes past the base, so a room
// beyond that is taken as 2^32 - 1 without changing any verdict.
std::uint32_t ItemRoom(std::int64_t dataBase, std::uint64_t length)
{
    const std::uint64_t room = length - static_cast<std::uint64_t>(dataBase);  // the base lies inside the file
    return room < 0xFFFFFFFFu ? static_cast<std::uint32_t>(room) : 0xFFFFFFFFu;
}

// What is wrong with an item of the given offset and size fields, if anything.
PackageFault ItemFault(std::int32_t offset, std::int32_t size, std::uint32_t room)
{
    if (size < 0 || offset < 0) return PackageFault::ItemNegative;
    if (size == 0) return PackageFault::None;
    if (offset < static_cast<std::int32_t>(kPackageHeaderSize)) return PackageFault::ItemBeforeData;
    const std::uint32_t end = static_cast<std::uint32_t>(offset) + static_cast<std::uint32_t>(size);
    return end <= room ? PackageFault::None : PackageFault::ItemBeyondEnd;
}

bool ItemInside(std::int32_t offset, std::int32_t size, std::uint32_t room, CheckedItem which,
                std::uint32_t fileLine, PackageProblem& problem)
{
    const PackageFault fault = ItemFault(offset, size, room);
    if (fault == PackageFault::None) return true;
    problem.fault = fault;
    problem.item = which;
    problem.fileLine = fileLine;
    problem.offset = offset;
    problem.size = size;
    return false;
}

// What the check needs of a file-table line: its offset and size fields,
// and whether its target is the splash picture's tag.
struct ItemFields {
    std::int32_t offset = 0;
    std::int32_t size = 0;
    bool splashTag = false;
};
ItemFields ParseItem(const char* line)
{
    FileTableEntry entry;
    ParseFileTableLine(line, entry);
    return {entry.offset, entry.size, IsSplashTag(entry.target)};
}

bool Fail(PackageProblem& problem, PackageFault fault)
{
    problem.fault = fault;
    return false;
}

// The script's part of the check, read in place through its window: the
// "[Basal]" lines, then the file table and its items. Out of line, its large
// buffers lie in a frame of their own, away from the header's 64-bit
// arithmetic.
[[gnu::noinline]] bool CheckScript(std::unique_ptr<FileWindow> window, const PackageHeader& header,
                                   std::uint32_t room, PackageProblem& problem)
{
    // Line 1 is the "[Basal]" header by position; like the installer, the
    // check does not judge its text.
    BasalLines basal;
    const FileWindow& read = *window;
    CScriptFile script(std::move(window));
    ReadBasal(script, basal);
    bool readFailed = read.failed;
    const char* const values[] = {basal.displayName, basal.installPath};
    for (int i = 0; i < 2 && !readFailed; ++i) {
        const char* const value = values[i];
        const std::size_t size = basal.lengths[i + 1];
        problem.basalLine = i + 2;
        if (std::memchr(value, '\0', size) != nullptr) return Fail(problem, PackageFault::BasalLineNul);
        if (size == kBasalLineBound - 1 && value[size - 1] != '\n')
            return Fail(problem, PackageFault::BasalLineTooLong);
        if (size < 2 || value[size - 2] != '\r' || value[size - 1] != '\n')
            return Fail(problem, PackageFault::BasalLineNoEnd);
        if (size - 2 >= kNameSize) return Fail(problem, PackageFault::BasalLineTooLong);
    }
    problem.basalLine = 0;

    // The file table, read as the install engine reads it. Its items are
    // judged in table order, the pictures first, once the table is known
    // to be whole and to hold as many lines as the header says.
    bool hasFileTable = false;
    std::uint32_t count = 0;
    ItemFields welcome;
    ItemFields splash;
    // The first file line whose item lies outside (0: none) and its fields;
    // it is reported once the table and the pictures are known sound.
    std::uint32_t firstBadLine = 0;
    std::int32_t firstBadOffset = 0;
    std::int32_t firstBadSize = 0;
    if (!readFailed) {
        script.Rewind();
        char line[kShortLineBound];
        if (SkipToFileTable(script) && script.ReadLine(line, sizeof line)) {
            welcome = ParseItem(line);
            if (script.ReadLine(line, sizeof line)) {
                splash = ParseItem(line);
                while (script.ReadSectionLine(kTotalSizeHeader, line, sizeof line)) {
                    const ItemFields entry = ParseItem(line);
                    ++count;
                    if (firstBadLine == 0 &&
                        ItemFault(entry.offset, entry.size, room) != PackageFault::None) {
                        firstBadLine = count;
                        firstBadOffset = entry.offset;
                        firstBadSize = entry.size;
                    }
                }
                hasFileTable = IsHeaderLine(line, kTotalSizeHeader);
            }
        }
        readFailed = read.failed;
    }
    if (readFailed) return Fail(problem, PackageFault::ScriptUnreadable);
    if (!hasFileTable) return Fail(problem, PackageFault::NoFileTable);
    if (header.fileCount < 0 || static_cast<std::uint32_t>(header.fileCount) != count) {
        problem.number = header.fileCount;
        problem.count = count;
        return Fail(problem, PackageFault::CountMismatch);
    }
    // The pictures are read only when the welcome pages are shown, the splash
    // picture only when its tag asks for it: a "[NonePic]" line may hold any
    // offset and size.
    if (std::strcmp(basal.showWelcome, "1\r\n") == 0) {
        if (!ItemInside(welcome.offset, welcome.size, room, CheckedItem::WelcomePicture, 0, problem))
            return false;
        if (splash.splashTag &&
            !ItemInside(splash.offset, splash.size, room, CheckedItem::SplashPicture, 0, problem))
            return false;
    }
    return firstBadLine == 0 ||
           ItemInside(firstBadOffset, firstBadSize, room, CheckedItem::File, firstBadLine, problem);
}

} // namespace

bool CheckPackage(IBinaryFile& file, std::uint64_t packageOffset, PackageProblem& problem)
{
    problem = PackageProblem{};
    const std::uint64_t length = file.Length();
    PackageHeader header;
    if (length < packageOffset + kPackageHeaderSize || !ReadPackageHeader(file, packageOffset, header))
        return Fail(problem, PackageFault::NoHeader);
    if (header.scriptLength <= 0) return Fail(problem, PackageFault::NoScriptLength);
    const std::uint64_t scriptStart = packageOffset + kPackageHeaderSize;
    const auto scriptLength = static_cast<std::uint64_t>(header.scriptLength);
    if (scriptStart + scriptLength > length) {
        problem.number = header.scriptLength;
        return Fail(problem, PackageFault::ScriptBeyondEnd);
    }
    // Past the header only 32-bit figures are needed: what the items may reach.
    const std::uint32_t room = ItemRoom(static_cast<std::int64_t>(packageOffset) + header.scriptLength, length);
    return CheckScript(std::make_unique<FileWindow>(file, scriptStart, scriptLength), header, room, problem);
}

} // namespace vela
