#pragma once
// What the relievo-cli commands share: option parsing, whole-number
// arguments, reading BMP files with a clear complaint, and writing the result
// so that a failed run leaves no output file created or changed.
#include "painter/image/DibImage.h"
#include "painter/image/Platform.h"

#include "Commands.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace rvcli {

// Collects the engine's message boxes while a command runs, so that they
// become part of the command's one error line instead of a second line.
class MessageCollector final : public rv::IMessageBox {
public:
    MessageCollector() { rv::SetMessageBox(this); }
    ~MessageCollector() override { rv::SetMessageBox(nullptr); }
    MessageCollector(const MessageCollector&) = delete;
    MessageCollector& operator=(const MessageCollector&) = delete;

    void Show(std::string_view text) override { shown_.emplace_back(text); }
    bool Saw(std::string_view text) const;
    void Forget() { shown_.clear(); }

private:
    std::vector<std::string> shown_;
};

// One command's error line: "relievo-cli COMMAND: problem" on stderr; the
// returned status is what the command exits with.
int Fail(const char* command, const std::string& problem);
constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;

struct OptionSpec {
    const char* name;  // "--width"
    bool takesValue;
};

class Options {
public:
    // Parses `args` against `specs`. On a problem returns false with
    // `problem` set (unknown option, missing value, option given twice,
    // stray word). "--help" is always known.
    bool Parse(const Args& args, const std::vector<OptionSpec>& specs, std::string& problem);
    bool Has(const std::string& name) const { return values_.count(name) != 0; }
    const std::string& Value(const std::string& name) const { return values_.at(name); }

private:
    std::map<std::string, std::string> values_;
};

// Strict decimal whole number: optional '-', digits only, within int.
bool ParseWholeNumber(std::string_view text, int& value);

// Reads the value of a numeric option into `value` (left alone when the
// option is absent) and checks it lies in [low, high]. On a problem returns
// false with `problem` set.
bool NumberOption(const Options& options, const std::string& name, int low, int high, int& value,
                  std::string& problem);

// Loads a 24-bit BMP, a PNG or a JPEG file. On a problem returns false with
// `problem` naming the file and what is wrong with it (missing, not 24-bit,
// damaged, too large, not a picture or truncated).
bool ReadPicture(rv::CDibImage& image, const std::string& path, MessageCollector& messages, std::string& problem);

// Writes `image` to a temporary file beside `path` and renames it into place,
// as a PNG file when `path` ends in ".png" and a BMP file otherwise; on a
// problem nothing is left behind and `problem` is set.
bool WritePicture(const rv::CDibImage& image, const std::string& path, std::string& problem);

// Prints a command's help text to stdout and returns 0.
int ShowHelp(const char* text);

} // namespace rvcli
