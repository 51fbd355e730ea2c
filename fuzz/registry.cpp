// A registry script applied to the test registry. Oracle: no key is left
// open, nothing is written without a key line, and every value written is
// one the script holds whole, within the line bound.
#include "fuzz/FuzzCheck.h"

#include "installer/engine/Operations.h"
#include "installer/engine/tests/FakeEngineSystem.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string script(reinterpret_cast<const char*>(data), size);
    vela::test::EngineFixture f;
    if (size > 0 && data[0] == 'E') f.system.AddKey(vela::RegistryRoot::CurrentUser, "Software");
    if (size > 1 && data[1] == 'R') f.system.refuseCreate = true;
    f.platform.files["C:\\App\\keys.reg"] = std::make_shared<std::string>(script);
    vela::ImportRegistryScript(f.env, "C:\\App\\keys.reg");
    FUZZ_CHECK(f.system.OpenKeyCount() == 0);
    if (script.find('[') == std::string::npos) {
        for (const auto& [key, values] : f.system.keys) FUZZ_CHECK(values.empty());
    }
    for (const auto& [key, values] : f.system.keys)
        for (const auto& [name, text] : values) {
            // The line as written in the script (its last two bytes, the
            // line end, are cut whatever they are).
            const std::string line = "\"" + name + "\"=\"" + text + "\"";
            FUZZ_CHECK(script.find(line) != std::string::npos);
            FUZZ_CHECK(line.size() + 2 < 480);
        }
    return 0;
}
