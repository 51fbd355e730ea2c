// Path-macro expansion into buffers of the installer's real sizes, with the
// folders, the desktop and the registry's start-menu value taken from the
// input too. Oracle: the text stays NUL-terminated inside its buffer (each
// buffer is a heap block of exactly its size, so ASan sees any overrun); a
// text without a leading "[" is untouched; a failed expansion leaves the
// trimmed text.
#include "fuzz/FuzzCheck.h"

#include "installer/package/PathMacros.h"
#include "installer/package/SetupScript.h"
#include "installer/package/TextFields.h"
#include "installer/package/tests/FakePlatform.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// The buffers the installer expands into: the install folder (300), the
// temporary paths (320), script lines (400 and 480), the program group (800).
constexpr std::size_t kSizes[] = {vela::kInstallPathSize, vela::kTempPathSize, vela::kShortLineBound,
                                  vela::kLongLineBound, vela::kGroupPathSize};

std::vector<std::string> Fields(std::string_view input)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() < 6) {
        const std::size_t end = input.find('\n', start);
        fields.emplace_back(input.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    fields.resize(6);
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // text \n windows folder \n system folder \n desktop \n Common Programs \n install path
    const auto fields = Fields(std::string_view(reinterpret_cast<const char*>(data), size));
    vela::test::FakePlatform sys;
    sys.windowsFolder = fields[1];
    sys.systemFolder = fields[2];
    sys.desktopAvailable = !fields[3].empty();
    sys.desktopFolder = fields[3];
    if (!fields[4].empty())
        sys.registryValues[vela::test::FakePlatform::RegistryName(
            vela::RegistryRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
            "Common Programs")] = fields[4];
    if (size > 0 && data[size - 1] == '!') sys.folders.insert(fields[1] + "\\Start Menu\\Programs");
    auto ctx = std::make_unique<vela::InstallContext>();
    vela::CopyText(ctx->installPath, fields[5]);

    const std::string& text = fields[0];
    for (std::size_t capacity : kSizes) {
        if (text.size() >= capacity) continue;
        auto buffer = std::make_unique<char[]>(capacity);
        std::memcpy(buffer.get(), text.c_str(), text.size() + 1);
        const bool expanded = vela::ExpandPathMacros(sys, *ctx, buffer.get(), capacity);
        FUZZ_CHECK(std::memchr(buffer.get(), '\0', capacity) != nullptr);
        const std::string result(buffer.get());
        const std::string plain(text.c_str());  // the text as the C string the installer holds
        if (plain.empty() || plain[0] != '[') {
            FUZZ_CHECK(expanded && result == plain);
        } else if (!expanded) {
            std::string trimmed = plain;
            while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
            FUZZ_CHECK(result == trimmed);
        }
    }
    return 0;
}
