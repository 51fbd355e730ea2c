#include "Platform.h"

namespace rv {
namespace {

class StderrMessageBox final : public IMessageBox {
public:
    void Show(std::string_view text) override
    {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    }
};

class StdFileOpener final : public IFileOpener {
public:
    std::FILE* Open(const std::string& path, const char* mode) override
    {
        // Relative paths are written the Windows way (".\back\b1.bmp");
        // elsewhere the backslash is a folder separator too.
        std::string native = path;
#ifndef _WIN32
        for (char& c : native)
            if (c == '\\') c = '/';
#endif
        return std::fopen(native.c_str(), mode);
    }
};

StderrMessageBox defaultBox;
StdFileOpener defaultOpener;
IMessageBox* currentBox = &defaultBox;
IFileOpener* currentOpener = &defaultOpener;

} // namespace

void SetMessageBox(IMessageBox* box) { currentBox = box ? box : &defaultBox; }
void SetFileOpener(IFileOpener* opener) { currentOpener = opener ? opener : &defaultOpener; }
void ShowMessage(std::string_view text) { currentBox->Show(text); }
std::FILE* OpenFile(const std::string& path, const char* mode) { return currentOpener->Open(path, mode); }

} // namespace rv
