#include "tools/velapack/PackageCheck.h"

#include "installer/package/InstallContext.h"

namespace velapack {
namespace {

std::string ItemName(const vela::PackageProblem& p)
{
    switch (p.item) {
    case vela::CheckedItem::WelcomePicture: return "welcome picture";
    case vela::CheckedItem::SplashPicture: return "splash picture";
    case vela::CheckedItem::File: break;
    }
    return "file line " + std::to_string(p.fileLine);
}

} // namespace

std::string DescribePackageProblem(const vela::PackageProblem& p)
{
    using vela::PackageFault;
    const std::string line = p.basalLine == 2 ? "the [Basal] name line" : "the [Basal] folder line";
    switch (p.fault) {
    case PackageFault::None: return "";
    case PackageFault::NoHeader: return "the file ends before the package header";
    case PackageFault::NoScriptLength: return "the header gives no script length";
    case PackageFault::ScriptBeyondEnd:
        return "the script length " + std::to_string(p.number) + " reaches beyond the end of the file";
    case PackageFault::ScriptUnreadable: return "the script cannot be read";
    case PackageFault::BasalLineNul: return line + " holds a NUL byte";
    case PackageFault::BasalLineTooLong:
        return line + " is longer than " + std::to_string(vela::kNameSize - 1) + " bytes";
    case PackageFault::BasalLineNoEnd: return line + " has no line end (CR LF)";
    case PackageFault::NoFileTable:
        return "the script has no complete file table ([Directory], [File], two picture lines, [TotalSize])";
    case PackageFault::CountMismatch:
        return "the header counts " + std::to_string(p.number) + " files, the file table holds " +
               std::to_string(p.count);
    case PackageFault::ItemNegative: return ItemName(p) + ": negative offset or size";
    case PackageFault::ItemBeforeData:
        return ItemName(p) + ": offset " + std::to_string(p.offset) + " lies before the stored items";
    case PackageFault::ItemBeyondEnd:
        return ItemName(p) + ": bytes " + std::to_string(p.offset) + " to " +
               std::to_string(std::int64_t{p.offset} + p.size) + " lie beyond the end of the file";
    }
    return "the package is damaged";
}

bool CheckPackage(vela::IBinaryFile& file, std::uint64_t packageOffset, std::string& problem)
{
    vela::PackageProblem found;
    const bool sound = vela::CheckPackage(file, packageOffset, found);
    problem = DescribePackageProblem(found);
    return sound;
}

} // namespace velapack
