// Each reader of the setup script on any text: the start-up's [Basal]
// reader, the engine's [AutoReg]..[Run] and [Directory]/[File] readers, the
// completion page's [Run] reader, the licence page's reader (with a varying
// limit) and the table-line parsers. Oracle: every text stays inside its
// buffer and NUL-terminated, and the licence text keeps to its limit.
#include "fuzz/FuzzCheck.h"

#include "installer/package/SetupScript.h"

#include <cstring>
#include <string>
#include <string_view>

namespace {

std::unique_ptr<vela::CScriptFile> Open(std::string_view text)
{
    return std::make_unique<vela::CScriptFile>(vela::OpenMemoryFile(std::string(text)));
}

template <std::size_t N>
void ExpectTerminated(const char (&buffer)[N])
{
    FUZZ_CHECK(std::memchr(buffer, '\0', N) != nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const vela::SetupScriptContents all = vela::ReadSetupScript(text);
    ExpectTerminated(all.basal.header);
    ExpectTerminated(all.basal.registerUninstall);
    ExpectTerminated(all.welcomePicture.target);
    for (std::size_t i = 0; i < 5; ++i) FUZZ_CHECK(all.basal.lengths[i] < vela::kBasalLineBound);
    FUZZ_CHECK(all.readme.size() < vela::kLicenceTextSize);
    for (const vela::MenuEntry& entry : all.menu) {
        ExpectTerminated(entry.name);
        ExpectTerminated(entry.target);
    }
    for (const vela::FileTableEntry& entry : all.files) ExpectTerminated(entry.target);

    {
        auto script = Open(text);
        std::string caption, command;
        if (vela::ReadRunEntry(*script, caption, command))
            FUZZ_CHECK(caption.size() < vela::kLongLineBound && command.size() < vela::kLongLineBound);
        else
            FUZZ_CHECK(caption.empty() && command.empty());
    }
    {
        auto script = Open(text);
        std::string licence;
        bool truncated = false;
        const std::size_t limit = size ? 1 + data[0] % 64 : 1;
        vela::ReadLicenceText(*script, licence, truncated, limit);
        FUZZ_CHECK(licence.size() + 1 <= limit);
    }
    {
        auto script = Open(text);
        std::vector<std::string> directories;
        if (vela::SkipToFileTable(*script, directories)) {
            char line[vela::kShortLineBound];
            while (script->ReadLine(line, sizeof line)) {
                FUZZ_CHECK(script->LastLength() < sizeof line);
                vela::FileTableEntry entry;
                vela::ParseFileTableLine(std::string_view(line, script->LastLength()), entry);
                ExpectTerminated(entry.target);
                vela::MenuEntry menu;
                vela::ParseMenuLine(std::string_view(line, script->LastLength()), menu);
                ExpectTerminated(menu.name);
                ExpectTerminated(menu.target);
            }
        }
        for (const std::string& d : directories) FUZZ_CHECK(d.size() < vela::kShortLineBound);
    }
    return 0;
}
