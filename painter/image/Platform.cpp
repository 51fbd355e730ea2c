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

namespace {

bool WriteOnce(const std::string& path, const std::function<bool(std::FILE*)>& write)
{
    std::FILE* file = OpenFile(path, "wb");
    if (!file) return false;
    const bool written = write(file);
    return std::fclose(file) == 0 && written;
}

} // namespace

bool WriteFileWhole(const std::string& path, const std::function<bool(std::FILE*)>& write)
{
    // Written under a name of its own first: a file already at path is
    // replaced only by a complete new one.
    const std::string temporary = path + kSavingSuffix;
    if (!WriteOnce(temporary, write)) {
        RemoveFile(temporary);
        return false;
    }
    // A rename that will not replace a file (the C library's on Windows)
    // gets the old file out of the way only now that the new one is whole.
    if (RenameFile(temporary, path) || (RemoveFile(path) && RenameFile(temporary, path))) return true;
    // A file layer that cannot rename at all: the file is known to be
    // writable, so it is written in place.
    RemoveFile(temporary);
    return WriteOnce(path, write);
}

} // namespace rv
