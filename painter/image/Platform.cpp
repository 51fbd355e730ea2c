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
        return std::fopen(NativePath(path).c_str(), mode);
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
bool RenameFile(const std::string& from, const std::string& to) { return currentOpener->Rename(from, to); }
bool RemoveFile(const std::string& path) { return currentOpener->Remove(path); }

} // namespace rv
