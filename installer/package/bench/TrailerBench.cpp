// The integrity check against a plain read of the same installer: the check
// reads the package once, in blocks, and runs the CRC-32 over each block.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "installer/package/Platform.h"
#include "installer/package/Trailer.h"
#include "installer/package/tests/SamplePackage.h"

using namespace vela;

namespace {

constexpr std::uint64_t kStub = 4096;

// An installer of the given package size in the temporary folder (the page
// cache holds it after the first pass: both benchmarks read from memory).
const std::string& InstallerFile(std::size_t packageSize)
{
    static std::string path;
    static std::size_t made = 0;
    if (made != packageSize) {
        path = "/tmp/rv-trailer-bench.bin";
        const std::string package = test::Pattern(packageSize, 3);
        char trailer[kTrailerSize];
        FormatTrailer(Crc32(0, package.data(), package.size()), package.size(), trailer);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const std::string stub(kStub, 'S');
        std::fwrite(stub.data(), 1, stub.size(), f);
        std::fwrite(package.data(), 1, package.size(), f);
        std::fwrite(trailer, 1, sizeof trailer, f);
        std::fclose(f);
        made = packageSize;
    }
    return path;
}

} // namespace

static void BM_TrailerCheck(benchmark::State& state)
{
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const std::string& path = InstallerFile(size);
    for (auto _ : state) {
        auto file = OpenStdioFileForReading(path);
        const TrailerInfo info = CheckTrailer(*file, kStub);
        if (info.result != TrailerCheck::Sound) state.SkipWithError("the trailer does not match");
        benchmark::DoNotOptimize(info.computedCrc);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_TrailerCheck)->Arg(1 << 20)->Arg(64 << 20);

// The same bytes read in the same blocks, nothing computed.
static void BM_PlainRead(benchmark::State& state)
{
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const std::string& path = InstallerFile(size);
    static char block[32768];
    for (auto _ : state) {
        auto file = OpenStdioFileForReading(path);
        file->Seek(kStub);
        std::size_t total = 0;
        for (std::size_t n; (n = file->Read(block, sizeof block)) > 0;) total += n;
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_PlainRead)->Arg(1 << 20)->Arg(64 << 20);

static void BM_Crc32InMemory(benchmark::State& state)
{
    const std::string bytes = test::Pattern(static_cast<std::size_t>(state.range(0)), 5);
    for (auto _ : state) benchmark::DoNotOptimize(Crc32(0, bytes.data(), bytes.size()));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Crc32InMemory)->Arg(1 << 20);
