// The package check as package authors read it: every problem the installer
// refuses, named in words (which line, which item, which bytes).
#include "tools/velapack/PackageCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "installer/package/Package.h"
#include "installer/package/PackageWriter.h"
#include "installer/package/SetupScript.h"
#include "installer/package/tests/BuildOrFail.h"
#include "installer/package/tests/SamplePackage.h"

using namespace vela;
using vela::test::BuildOrFail;
using vela::test::Pattern;

namespace {

class PackageCheck : public ::testing::Test {
protected:
    std::string stub = Pattern(512, 3);
    PackageDescription description = test::SampleDescription();
    std::string package = BuildOrFail(description);

    bool Check(const std::string& installer, std::string& problem)
    {
        auto file = OpenMemoryFile(installer);
        return velapack::CheckPackage(*file, stub.size(), problem);
    }
    std::size_t ScriptLength() const { return test::ScriptLength(package); }
};

} // namespace

TEST_F(PackageCheck, AcceptsAWellFormedPackage)
{
    std::string problem;
    EXPECT_TRUE(Check(stub + package, problem)) << problem;
}

// Each damage is refused, and the words say where (no words asked for where
// nothing of the package can be read).
TEST_F(PackageCheck, RefusesEachDamageAndNamesIt)
{
    const std::string installer = stub + package;
    const std::int64_t script = static_cast<std::int64_t>(ScriptLength());
    const std::string afterHeader = package.substr(40);
    const std::size_t line = package.find("[InstallDir]\\comp.ocx   ");
    ASSERT_NE(line, std::string::npos);
    // The package with one file line's offset (column 268) or size (288) field replaced.
    const auto field = [&](std::size_t column, const std::string& value) {
        std::string changed = package;
        changed.replace(line + column, 20, value + std::string(20 - value.size(), ' '));
        return stub + changed;
    };
    std::string noTotal = package;
    noTotal.replace(noTotal.find("[TotalSize]"), 11, "[TotalSizE]");
    struct Damage {
        std::string installer;
        const char* words;  // in the problem, or nullptr
    };
    const Damage damages[] = {
        {installer.substr(0, installer.size() - 1), "file line 5"},
        {stub + package.substr(0, 40 + ScriptLength() + 1500), "splash picture"},
        {stub + package.substr(0, 40 + ScriptLength() - 1), "script length"},
        {stub + package.substr(0, 39), nullptr},
        {stub.substr(0, 100), nullptr},
        {stub + FormatPackageHeader(script, 4) + afterHeader, "counts 4"},
        {stub + FormatPackageHeader(0, 5) + afterHeader, nullptr},
        // A script length too large moves every item towards the end.
        {stub + FormatPackageHeader(script + 20, 5) + afterHeader, "beyond the end"},
        {field(268, "12"), "before the stored items"},
        {field(268, "-40"), "negative"},
        {field(288, "99999999"), "beyond the end"},
        {stub + noTotal, "file table"},
    };
    for (const Damage& damage : damages) {
        std::string problem;
        EXPECT_FALSE(Check(damage.installer, problem)) << (damage.words ? damage.words : "unreadable");
        if (damage.words) {
            EXPECT_NE(problem.find(damage.words), std::string::npos) << problem;
        }
    }
}

TEST_F(PackageCheck, TheFirstLineIsNotJudged)
{
    // The installer reads line 1 by position and never looks at it.
    std::string problem;
    for (const char* first : {"[BASAL]", "[Basel]", "xxxxxxx"}) {
        std::string other = package;
        other.replace(40, 7, first);
        EXPECT_TRUE(Check(stub + other, problem)) << first << ": " << problem;
    }
}

TEST_F(PackageCheck, ABasalLineIsRefusedForWhatIsReallyWrongWithIt)
{
    const std::size_t name = package.find("Relievo\r\n");
    ASSERT_NE(name, std::string::npos);
    struct Case {
        std::string line;  // replaces "Relievo\r\n"
        const char* cause;
    };
    const Case cases[] = {
        {std::string("Rel\0evo\r\n", 9), "NUL"},
        {std::string("Relievo\n"), "line end"},
        {std::string(300, 'x') + "\r\n", "longer than 299"},
        {std::string(420, 'x') + "\r\n", "longer than 299"},
    };
    for (const Case& c : cases) {
        std::string script = package.substr(40, ScriptLength());
        script.replace(name - 40, 9, c.line);
        const std::string changed = FormatPackageHeader(static_cast<std::int64_t>(script.size()), 5) + script +
                                    package.substr(40 + ScriptLength());
        std::string problem;
        EXPECT_FALSE(Check(stub + changed, problem)) << c.cause;
        EXPECT_NE(problem.find(c.cause), std::string::npos) << problem;
        EXPECT_NE(problem.find("name line"), std::string::npos) << problem;
        if (std::string_view(c.cause) != "longer than 299") {
            EXPECT_EQ(problem.find("longer"), std::string::npos) << problem;
        }
    }
    // 299 bytes fit.
    std::string script = package.substr(40, ScriptLength());
    script.replace(name - 40, 9, std::string(299, 'x') + "\r\n");
    std::string problem;
    EXPECT_TRUE(Check(stub + FormatPackageHeader(static_cast<std::int64_t>(script.size()), 5) + script +
                          package.substr(40 + ScriptLength()),
                      problem))
        << problem;
}

TEST_F(PackageCheck, TheFileTableIsTheOneAfterDirectory)
{
    // A "[File]" line in [Run] followed by a picture-like line: the check
    // reads the real table, and so must the start-up.
    description.runCaption = "[File]";
    std::string fake;
    std::string reason;
    ASSERT_TRUE(FormatFileTableLine("[WelPic]", 40, 30, 'B', fake, reason)) << reason;
    description.runCommand = fake.substr(0, fake.size() - 2);
    std::string problem;
    EXPECT_TRUE(Check(stub + BuildOrFail(description), problem)) << problem;
    std::string script = BuildOrFail(description).substr(40);
    auto contents = ReadSetupScript(script);
    EXPECT_EQ(contents.welcomePicture.size, static_cast<std::int32_t>(description.welcomePicture.size()));
    EXPECT_EQ(contents.runCaption, "[File]");
}

TEST_F(PackageCheck, APictureThatIsNeverReadMayHoldAnyOffsetAndSize)
{
    std::string problem;
    const std::string far = std::string("99999999") + std::string(12, ' ');

    description.hasSplash = false;
    std::string noSplash = BuildOrFail(description);
    const std::size_t none = noSplash.find("[NonePic]");
    ASSERT_NE(none, std::string::npos);
    noSplash.replace(none + 268, 20, far);
    noSplash.replace(none + 288, 20, far);
    EXPECT_TRUE(Check(stub + noSplash, problem)) << problem;

    // The same numbers under a splash tag are read, and refused.
    noSplash.replace(none, 9, "[SoftPic]");
    EXPECT_FALSE(Check(stub + noSplash, problem));
    EXPECT_NE(problem.find("splash picture"), std::string::npos) << problem;

    // Without welcome pages neither picture is extracted.
    description.showWelcomePages = false;
    std::string noWelcome = BuildOrFail(description);
    const std::size_t welcome = noWelcome.find("[WelPic]");
    ASSERT_NE(welcome, std::string::npos);
    noWelcome.replace(welcome + 268, 20, far);
    EXPECT_TRUE(Check(stub + noWelcome, problem)) << problem;
    description.showWelcomePages = true;
    std::string withWelcome = BuildOrFail(description);
    withWelcome.replace(withWelcome.find("[WelPic]") + 268, 20, far);
    EXPECT_FALSE(Check(stub + withWelcome, problem));
    EXPECT_NE(problem.find("welcome picture"), std::string::npos) << problem;
}
