// relievo-cli paint end to end: what it writes, what it refuses, and that a
// refused run leaves the output alone.
#include "painter/image/DibImage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace rv {
namespace {

namespace fs = std::filesystem;

class PaintCli : public ::testing::Test {
protected:
    PaintCli()
        : dir(fs::temp_directory_path() / ("rv-paint-cli-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name()))
    {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~PaintCli() override { fs::remove_all(dir); }

    int Run(const std::string& arguments)
    {
        const std::string command =
            std::string(RV_CLI_EXE) + " paint " + arguments + " >" + Path("out.txt") + " 2>" + Path("err.txt");
        const int status = std::system(command.c_str());
        return status == -1 ? -1 : WEXITSTATUS(status);
    }
    std::string Path(const std::string& name) const { return (dir / name).string(); }
    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static std::string Script(const std::string& name) { return "../../painting/tests/scripts/" + name; }

    fs::path dir;
};

TEST_F(PaintCli, PaintsAWhiteMapAndContinuesFromAFile)
{
    ASSERT_EQ(Run("--width 40 --height 30 --script " + Script("strokes.txt") + " --out " + Path("a.bmp")), 0)
        << Read("err.txt");
    CDibImage first;
    ASSERT_TRUE(first.LoadBmp(Path("a.bmp")));
    EXPECT_EQ(first.Width(), 40);
    EXPECT_EQ(first.Height(), 30);
    EXPECT_EQ(first.GetPixel(7, 6), 0x969696u);
    EXPECT_EQ(first.GetPixel(20, 20), 0x969696u);
    EXPECT_EQ(first.GetPixel(20, 21), kWhite);
    EXPECT_TRUE(Read("err.txt").empty());

    Write("erase.txt", "tool eraser\npanel eraser-kind square\ndown 20 20\nup 20 20\n");
    ASSERT_EQ(Run("--depth " + Path("a.bmp") + " --script " + Path("erase.txt") + " --out " + Path("b.bmp")), 0)
        << Read("err.txt");
    CDibImage second;
    ASSERT_TRUE(second.LoadBmp(Path("b.bmp")));
    EXPECT_EQ(second.GetPixel(7, 6), 0x969696u);
    EXPECT_EQ(second.GetPixel(20, 20), kWhite);
    EXPECT_EQ(second.GetPixel(10, 20), kWhite); // radius 10: columns 10 to 29
    EXPECT_EQ(second.GetPixel(30, 20), 0x969696u);
}

// undo and redo lines: a script cut back with undo writes what the shorter
// script writes; an undo with nothing left names its line and writes nothing.
TEST_F(PaintCli, UndoAndRedoLinesCutTheScriptBack)
{
    const std::string two = "tool filled-rect\ndown 3 3\nmove 20 15\nup 20 15\n";
    const std::string three = two + "tool line\ndown 1 25\nmove 35 2\nup 35 2\n";
    Write("two.txt", two);
    Write("undone.txt", three + "undo\n");
    Write("redone.txt", three + "undo\nredo\n");
    Write("three.txt", three);
    for (const char* name : {"two", "undone", "redone", "three"})
        ASSERT_EQ(Run("--width 40 --height 30 --script " + Path(std::string(name) + ".txt") + " --out " +
                      Path(std::string(name) + ".bmp")), 0)
            << Read("err.txt");
    EXPECT_TRUE(Read("undone.bmp") == Read("two.bmp"));
    EXPECT_TRUE(Read("redone.bmp") == Read("three.bmp"));
    EXPECT_FALSE(Read("two.bmp") == Read("three.bmp"));

    Write("too-far.txt", two + "undo\nundo\n");
    EXPECT_NE(Run("--width 40 --height 30 --script " + Path("too-far.txt") + " --out " + Path("far.bmp")), 0);
    EXPECT_NE(Read("err.txt").find("line 6: nothing to undo"), std::string::npos) << Read("err.txt");
    EXPECT_FALSE(fs::exists(Path("far.bmp")));
}

TEST_F(PaintCli, PointsBeyondTheDepthMapAreTheView)
{
    // The view reaches far past a 300 x 200 depth map.
    Write("far.txt", "tool pencil\ndown 250 120\nmove 320 120\nmove 32767 32767\nup 32767 32767\n");
    ASSERT_EQ(Run("--width 300 --height 200 --script " + Path("far.txt") + " --out " + Path("far.bmp")), 0)
        << Read("err.txt");
    CDibImage far;
    ASSERT_TRUE(far.LoadBmp(Path("far.bmp")));
    EXPECT_EQ(far.GetPixel(299, 120), 0x969696u);
    EXPECT_EQ(far.GetPixel(250, 121), kWhite);
    Write("outside.txt", "move 32768 0\n");
    EXPECT_NE(Run("--width 300 --height 200 --script " + Path("outside.txt") + " --out " + Path("o.bmp")), 0);
    EXPECT_NE(Read("err.txt").find("out of range (0 to 32767)"), std::string::npos) << Read("err.txt");
}

TEST_F(PaintCli, MalformedLineWritesNothing)
{
    Write("bad.txt", "tool pencil\ndown 3 3\nmove 9 9 9\nup 9 9\n");
    Write("o.bmp", "keep");
    EXPECT_NE(Run("--width 20 --height 20 --script " + Path("bad.txt") + " --out " + Path("o.bmp")), 0);
    const std::string err = Read("err.txt");
    EXPECT_NE(err.find("line 3"), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err; // one line
    EXPECT_EQ(Read("o.bmp"), "keep");
    EXPECT_NE(Run("--width 20 --height 20 --script " + Path("bad.txt") + " --out " + Path("n.bmp")), 0);
    EXPECT_FALSE(fs::exists(Path("n.bmp")));
}

TEST_F(PaintCli, BadInputFiles)
{
    Write("ok.txt", "tool pencil\n");
    // Missing depth map.
    EXPECT_NE(Run("--depth " + Path("none.bmp") + " --script " + Path("ok.txt") + " --out " + Path("o.bmp")), 0);
    EXPECT_NE(Read("err.txt").find("none.bmp"), std::string::npos);
    // An 8-bit picture.
    std::string eight(14 + 40 + 4 * 256 + 4, '\0');
    eight[0] = 'B', eight[1] = 'M', eight[14] = 40, eight[18] = 1, eight[22] = 1, eight[26] = 1, eight[28] = 8;
    Write("eight.bmp", eight);
    EXPECT_NE(Run("--depth " + Path("eight.bmp") + " --script " + Path("ok.txt") + " --out " + Path("o.bmp")), 0);
    const std::string err = Read("err.txt");
    EXPECT_NE(err.find("24-bit"), std::string::npos) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    // Missing script; unwritable output.
    EXPECT_NE(Run("--width 5 --height 5 --script " + Path("none.txt") + " --out " + Path("o.bmp")), 0);
    EXPECT_NE(Run("--width 5 --height 5 --script " + Path("ok.txt") + " --out " + Path("no/such/o.bmp")), 0);
    EXPECT_FALSE(fs::exists(Path("o.bmp")));
    EXPECT_FALSE(fs::exists(Path("o.bmp.relievo-tmp")));
}

TEST_F(PaintCli, OptionsAreChecked)
{
    Write("ok.txt", "tool pencil\n");
    const std::string rest = " --script " + Path("ok.txt") + " --out " + Path("o.bmp");
    EXPECT_NE(Run("--width 5" + rest), 0);
    EXPECT_NE(Run("--width 5 --height 5 --depth " + Path("x.bmp") + rest), 0);
    EXPECT_NE(Run("--width 0 --height 5" + rest), 0);
    EXPECT_NE(Run("--width 5 --height 10001" + rest), 0);
    EXPECT_NE(Run("--width 5 --height 5 --out " + Path("o.bmp")), 0);
    EXPECT_FALSE(fs::exists(Path("o.bmp")));
    EXPECT_EQ(Run("--help"), 0);
    EXPECT_NE(Read("out.txt").find("--script"), std::string::npos);
}

} // namespace
} // namespace rv
