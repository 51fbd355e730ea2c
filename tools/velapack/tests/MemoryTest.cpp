// How much memory velapack takes for an installer whose header lies: every
// allocation of this program passes through the counting operator new below.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "installer/package/tests/FakePlatform.h"
#include "tools/velapack/Velapack.h"

namespace {
std::atomic<std::size_t> largestAllocation{0};

void* Allocate(std::size_t size)
{
    std::size_t seen = largestAllocation.load();
    while (size > seen && !largestAllocation.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

std::string Field(const std::string& text) { return text + std::string(20 - text.size(), ' '); }

// Runs velapack on the installer and gives the largest single allocation.
std::size_t LargestAllocationOf(const std::vector<std::string>& args, vela::test::FakePlatform& fs, int& status,
                                std::string& err)
{
    std::string out;
    out.reserve(4096);
    err.reserve(4096);
    largestAllocation = 0;
    status = velapack::Run(args, fs, out, err);
    return largestAllocation.load();
}

} // namespace

TEST(VelapackMemory, ALyingScriptLengthTakesNoMoreThanTheFileHolds)
{
    vela::test::FakePlatform fs;
    // 40 bytes: a header claiming a 2 GiB script and nothing after it; then
    // the same claim with a little script text behind it.
    for (const std::string& package :
         {Field("2147483647") + Field("0"), Field("2147483647") + Field("1") + "[Basal]\r\nA\r\n"}) {
        fs.files["setup.exe"] = package;
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--list", "setup.exe", "--offset", "0"},
              std::vector<std::string>{"--extract", "setup.exe", "out", "--offset", "0"},
              std::vector<std::string>{"--verify", "setup.exe", "--offset", "0"}}) {
            int status = 0;
            std::string err;
            EXPECT_LT(LargestAllocationOf(args, fs, status, err), 64u * 1024) << args[0];
            EXPECT_EQ(status, 1) << args[0];
            EXPECT_NE(err.find("the script length 2147483647 reaches beyond the end of the file"), std::string::npos)
                << args[0] << ": " << err;
        }
    }
}
