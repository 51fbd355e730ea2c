// The C library's files behind IBinaryFile, for the native tools and tests
// (the stub reads and writes through its own Win32 files).
#include "installer/package/Platform.h"

#include <cstdio>

namespace vela {
namespace {

class StdioBinaryFile final : public IBinaryFile {
public:
    explicit StdioBinaryFile(std::FILE* file) : file_(file) {}
    ~StdioBinaryFile() override { std::fclose(file_); }
    StdioBinaryFile(const StdioBinaryFile&) = delete;
    StdioBinaryFile& operator=(const StdioBinaryFile&) = delete;

    bool Seek(std::uint64_t offset) override
    {
        if (offset > static_cast<std::uint64_t>(LONG_MAX_OFFSET)) return false;
        return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
    }
    std::size_t Read(void* buffer, std::size_t size) override
    {
        return std::fread(buffer, 1, size, file_);
    }
    std::size_t Write(const void* data, std::size_t size) override
    {
        return std::fwrite(data, 1, size, file_);
    }
    std::uint64_t Length() override
    {
        long here = std::ftell(file_);
        if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return 0;
        long end = std::ftell(file_);
        std::fseek(file_, here, SEEK_SET);
        return end < 0 ? 0 : static_cast<std::uint64_t>(end);
    }

private:
    static constexpr long LONG_MAX_OFFSET = 0x7FFFFFFFL;
    std::FILE* file_;
};

std::unique_ptr<IBinaryFile> OpenStdio(const std::string& path, const char* mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) return nullptr;
    return std::make_unique<StdioBinaryFile>(file);
}

} // namespace

std::unique_ptr<IBinaryFile> OpenStdioFileForReading(const std::string& path)
{
    return OpenStdio(path, "rb");
}

std::unique_ptr<IBinaryFile> CreateStdioFileForWriting(const std::string& path)
{
    return OpenStdio(path, "wb");
}

} // namespace vela
