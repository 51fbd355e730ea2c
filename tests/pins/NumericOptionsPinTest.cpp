// Both ends of every numeric option of relievo-cli are accepted; the values
// just beyond them are refused.
#include "CliSupport.h"
#include "Commands.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>

namespace rvcli {
namespace {

namespace fs = std::filesystem;

bool Accepts(const std::string& option, const std::string& text, int low, int high, int& value, std::string& problem)
{
    Options options;
    problem.clear();
    if (!options.Parse({option, text}, {{option.c_str(), true}}, problem)) return false;
    return NumberOption(options, option, low, high, value, problem);
}

TEST(NumericOptions, BothEndsOfEveryRangeAreAccepted)
{
    struct Range {
        const char* option;
        int low, high;
    };
    // The ranges of generate, background, random-tile and paint.
    const Range ranges[] = {
        {"--feel", 1, 240}, {"--width", 1, INT_MAX}, {"--height", 1, INT_MAX},
        {"--index", 1, 10000}, {"--random-index", 1, 10000}, {"--width", 1, 10000},
    };
    for (const Range& r : ranges) {
        std::string problem;
        int value = -7;
        EXPECT_TRUE(Accepts(r.option, std::to_string(r.low), r.low, r.high, value, problem)) << r.option << problem;
        EXPECT_EQ(value, r.low);
        EXPECT_TRUE(Accepts(r.option, std::to_string(r.high), r.low, r.high, value, problem)) << r.option << problem;
        EXPECT_EQ(value, r.high);
        EXPECT_FALSE(Accepts(r.option, std::to_string(r.low - 1), r.low, r.high, value, problem)) << r.option;
        EXPECT_NE(problem.find("out of range"), std::string::npos) << problem;
        if (r.high < INT_MAX) {
            EXPECT_FALSE(Accepts(r.option, std::to_string(r.high + 1), r.low, r.high, value, problem)) << r.option;
            EXPECT_NE(problem.find("out of range"), std::string::npos) << problem;
        }
        EXPECT_EQ(value, r.high) << "a refused value leaves the old one";
    }
}

class NumericOptionEnds : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() /
              ("rv_pins_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    int Quiet(int (*command)(const Args&), const Args& args)
    {
        ::testing::internal::CaptureStderr();
        const int status = command(args);
        err = ::testing::internal::GetCapturedStderr();
        return status;
    }
    fs::path dir;
    std::string err;
};

TEST_F(NumericOptionEnds, TheCommandsRunAtTheEndsOfTheirRanges)
{
    ASSERT_EQ(Quiet(RunRandomTile, {"--index", "1", "--out", P("tile.bmp")}), 0) << err;
    for (const char* feel : {"1", "240"}) {
        EXPECT_EQ(Quiet(RunGenerate, {"--tile", P("tile.bmp"), "--width", "101", "--height", "1", "--feel", feel,
                                      "--out", P("s.bmp")}),
                  0)
            << feel << ": " << err;
    }
    EXPECT_EQ(Quiet(RunBackground, {"--tile", P("tile.bmp"), "--width", "1", "--height", "1", "--out", P("b.bmp")}), 0)
        << err;
    // The largest width is accepted as a number; only the memory refuses it.
    EXPECT_NE(Quiet(RunBackground, {"--tile", P("tile.bmp"), "--width", std::to_string(INT_MAX), "--out", P("b.bmp")}), 0);
    EXPECT_EQ(err.find("out of range"), std::string::npos) << err;
    EXPECT_NE(err.find("too large"), std::string::npos) << err;
    EXPECT_NE(Quiet(RunGenerate, {"--tile", P("tile.bmp"), "--feel", "241", "--out", P("s.bmp")}), 0);
    EXPECT_NE(err.find("out of range"), std::string::npos) << err;
}

} // namespace
} // namespace rvcli
