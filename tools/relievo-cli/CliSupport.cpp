#include "CliSupport.h"

#include "painter/image/Picture.h"

#include <charconv>
#include <cstdio>

namespace rvcli {

bool MessageCollector::Saw(std::string_view text) const
{
    for (const auto& s : shown_)
        if (s == text) return true;
    return false;
}

int Fail(const char* command, const std::string& problem)
{
    std::fprintf(stderr, "relievo-cli %s: %s\n", command, problem.c_str());
    return kExitBadInput;
}

int ShowHelp(const char* text)
{
    std::fputs(text, stdout);
    return 0;
}

bool Options::Parse(const Args& args, const std::vector<OptionSpec>& specs, std::string& problem)
{
    values_.clear();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--help" || word == "-h") {
            values_["--help"];
            continue;
        }
        const OptionSpec* option = nullptr;
        for (const auto& s : specs)
            if (word == s.name) option = &s;
        if (!option) {
            problem = word.rfind("-", 0) == 0 ? "unknown option '" + word + "'" : "unexpected argument '" + word + "'";
            return false;
        }
        if (values_.count(word)) {
            problem = "option " + word + " is given twice";
            return false;
        }
        if (!option->takesValue) {
            values_[word];
            continue;
        }
        if (i + 1 >= args.size()) {
            problem = "option " + word + " needs a value";
            return false;
        }
        values_[word] = args[++i];
    }
    return true;
}

bool ParseWholeNumber(std::string_view text, int& value)
{
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') return false;
    int parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed, 10);
    if (error != std::errc() || end != last) return false;
    value = parsed;
    return true;
}

bool NumberOption(const Options& options, const std::string& name, int low, int high, int& value,
                  std::string& problem)
{
    if (!options.Has(name)) return true;
    const std::string& text = options.Value(name);
    int parsed = 0;
    if (!ParseWholeNumber(text, parsed)) {
        problem = name + ": '" + text + "' is not a whole number";
        return false;
    }
    if (parsed < low || parsed > high) {
        problem = name + ": " + text + " is out of range (" + std::to_string(low) + " to " + std::to_string(high) + ")";
        return false;
    }
    value = parsed;
    return true;
}

bool ReadPicture(rv::CDibImage& image, const std::string& path, MessageCollector& messages, std::string& problem)
{
    std::FILE* probe = rv::OpenFile(path, "rb");
    if (!probe) {
        problem = path + ": cannot open the file";
        return false;
    }
    std::fclose(probe);
    messages.Forget();
    std::string reason;
    if (rv::LoadPicture(image, path, &reason)) return true;
    if (!reason.empty())
        problem = path + ": " + reason;
    else if (messages.Saw(rv::kMsgNot24Bit))
        problem = path + ": not a 24-bit BMP";
    else if (messages.Saw(rv::kMsgCompressedBmp))
        problem = path + ": a compressed BMP (only uncompressed 24-bit pictures can be read)";
    else if (messages.Saw(rv::kMsgBadBmpHeader))
        problem = path + ": a BMP header of an unknown kind";
    else if (messages.Saw(rv::kMsgDamagedBmp))
        problem = path + ": a damaged BMP (its sizes do not fit the file)";
    else
        problem = path + ": not a BMP, PNG or JPEG file, or truncated";
    messages.Forget();
    return false;
}

bool WritePicture(const rv::CDibImage& image, const std::string& path, std::string& problem)
{
    const std::string temporary = path + ".relievo-tmp";
    // The output's name says its format; the temporary file is written the same way.
    if (!(rv::HasPngExtension(path) ? rv::SavePng(image, temporary) : image.SaveBmp(temporary))) {
        rv::RemoveFile(temporary);
        problem = path + ": cannot write the file";
        return false;
    }
    if (!rv::RenameFile(temporary, path)) {
        rv::RemoveFile(temporary);
        problem = path + ": cannot replace the file";
        return false;
    }
    return true;
}

} // namespace rvcli
