// Speed of the package reader: extracting stored items on either side of the
// byte-by-byte limit and a large one, and reading every section of a large
// setup script.
#include <benchmark/benchmark.h>

#include <string>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/SetupScript.h"
#include "installer/package/tests/FakePlatform.h"
#include "installer/package/tests/SamplePackage.h"

using namespace vela;

static void BM_ExtractStoredFile(benchmark::State& state)
{
    const auto size = static_cast<std::int32_t>(state.range(0));
    const std::string data = test::Pattern(static_cast<std::size_t>(size) + 40, 1);
    test::FakePlatform sys;
    auto package = OpenMemoryFile(data);
    for (auto _ : state) benchmark::DoNotOptimize(ExtractStoredFile(sys, *package, "C:\\out.bin", 40, size));
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ExtractStoredFile)->Arg(2047)->Arg(2048)->Arg(1 << 20);

static void BM_ReadSetupScript(benchmark::State& state)
{
    PackageDescription d = test::SampleDescription();
    for (int i = 0; i < state.range(0); ++i)
        d.files.push_back({"[InstallDir]\\data\\file" + std::to_string(i) + ".dat", '0', "x"});
    std::string package, problem;
    BuildPackage(d, package, problem);
    char header[kPackageHeaderSize];
    package.copy(header, sizeof header);
    const std::string script =
        package.substr(kPackageHeaderSize, static_cast<std::size_t>(ParsePackageHeader(header).scriptLength));
    for (auto _ : state) benchmark::DoNotOptimize(ReadSetupScript(script).files.size());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(script.size()));
}
BENCHMARK(BM_ReadSetupScript)->Arg(1000);

BENCHMARK_MAIN();
