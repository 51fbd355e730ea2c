// A read-only IBinaryFile over bytes held in memory.
#include "installer/package/Platform.h"

#include <algorithm>
#include <cstring>

namespace vela {
namespace {

class MemoryBinaryFile final : public IBinaryFile {
public:
    explicit MemoryBinaryFile(std::string bytes) : bytes_(std::move(bytes)) {}

    bool Seek(std::uint64_t offset) override
    {
        pos_ = offset;
        return true;
    }
    std::size_t Read(void* buffer, std::size_t size) override
    {
        if (pos_ >= bytes_.size()) return 0;
        std::size_t n = std::min<std::uint64_t>(size, bytes_.size() - pos_);
        std::memcpy(buffer, bytes_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    std::size_t Write(const void*, std::size_t) override { return 0; }
    std::uint64_t Length() override { return bytes_.size(); }

private:
    std::string bytes_;
    std::uint64_t pos_ = 0;
};

} // namespace

std::unique_ptr<IBinaryFile> OpenMemoryFile(std::string bytes)
{
    return std::make_unique<MemoryBinaryFile>(std::move(bytes));
}

} // namespace vela
