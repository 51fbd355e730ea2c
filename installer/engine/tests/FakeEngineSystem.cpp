#include "installer/engine/tests/FakeEngineSystem.h"

#include <algorithm>
#include <cstring>

namespace vela::test {

bool FakeEngineSystem::CreateFolder(std::string_view pathText)
{
    const std::string path(pathText);
    foldersCreated.push_back(path);
    return existingFolders.insert(path).second;
}

bool FakeEngineSystem::ClearFileAttributes(std::string_view pathText)
{
    const std::string path(pathText);
    attributesCleared.push_back(path);
    return true;
}

bool FakeEngineSystem::PutFileInPlace(std::string_view fromText, std::string_view toText)
{
    const std::string from(fromText);
    const std::string to(toText);
    if (refuseReplace || existingFiles.count(from) == 0) return false;
    existingFiles.erase(from);
    existingFiles.insert(to);
    return true;
}

bool FakeEngineSystem::RunProcessAndWait(const ProcessCommand& command, int showState, std::uint32_t& code)
{
    runs.push_back({std::string(command.commandLine), showState, std::string(command.program)});
    if (!processStarts) return false;
    code = exitCode;
    return true;
}

bool FakeEngineSystem::ShellOpen(std::string_view pathText, int showState)
{
    const std::string path(pathText);
    shellOpens.push_back({path, showState, ""});
    return true;
}

std::string FakeEngineSystem::KeyName(RegistryRoot root, const std::string& path)
{
    std::string name = std::to_string(static_cast<int>(root));
    if (!path.empty()) name += "\\" + path;
    return name;
}

void FakeEngineSystem::AddKey(RegistryRoot root, const std::string& path)
{
    keys[KeyName(root, path)];
}

bool FakeEngineSystem::HasKey(RegistryRoot root, const std::string& path) const
{
    return keys.count(KeyName(root, path)) > 0;
}

std::string FakeEngineSystem::Value(RegistryRoot root, const std::string& path, const std::string& name) const
{
    auto key = keys.find(KeyName(root, path));
    if (key == keys.end()) return "<no key>";
    auto value = key->second.find(name);
    return value == key->second.end() ? "<no value>" : value->second;
}

RegistryKey FakeEngineSystem::OpenRegistryKey(RegistryRoot root, std::string_view pathText)
{
    const std::string path(pathText);
    const std::string name = KeyName(root, path);
    if (!path.empty() && !keys.count(name)) return kNoRegistryKey;
    handles_[next_] = name;
    return next_++;
}

RegistryKey FakeEngineSystem::CreateRegistrySubKey(RegistryKey parent, std::string_view nameText)
{
    const std::string name(nameText);
    auto it = handles_.find(parent);
    if (it == handles_.end() || refuseCreate) return kNoRegistryKey;
    const std::string full = it->second + "\\" + name;
    if (!keys.count(full)) {
        keys[full];
        keysCreated.push_back(full);
    }
    handles_[next_] = full;
    return next_++;
}

bool FakeEngineSystem::SetRegistryString(RegistryKey key, std::string_view nameText, std::string_view textText)
{
    const std::string name(nameText);
    const std::string text(textText);
    auto it = handles_.find(key);
    if (it == handles_.end()) return false;
    keys[it->second][name] = text;
    return true;
}

void FakeEngineSystem::CloseRegistryKey(RegistryKey key)
{
    handles_.erase(key);
}

ShellLinkOutcome FakeEngineSystem::SaveShellLink(const ShellLinkFields& fields, std::string_view linkPathText)
{
    const std::string linkPath(linkPathText);
    links.push_back({fields, linkPath});
    return linkOutcome;
}

bool MemoryFile::Seek(std::uint64_t offset)
{
    if (offset > data_->size()) return false;
    pos_ = static_cast<std::size_t>(offset);
    return true;
}

std::size_t MemoryFile::Read(void* buffer, std::size_t size)
{
    const std::size_t n = std::min(size, data_->size() - pos_);
    std::memcpy(buffer, data_->data() + pos_, n);
    pos_ += n;
    return n;
}

std::size_t MemoryFile::Write(const void* data, std::size_t size)
{
    if (data_->size() < pos_ + size) data_->resize(pos_ + size);
    std::memcpy(data_->data() + pos_, data, size);
    pos_ += size;
    return size;
}

bool FakePlatform::DesktopFolder(SystemPath& path)
{
    if (!desktopAvailable) return false;
    path = desktopFolder;
    return true;
}

std::unique_ptr<IBinaryFile> FakePlatform::OpenForReading(std::string_view pathText)
{
    const std::string path(pathText);
    auto it = files.find(path);
    if (it == files.end()) return nullptr;
    return std::make_unique<MemoryFile>(it->second);
}

std::unique_ptr<IBinaryFile> FakePlatform::CreateForWriting(std::string_view pathText)
{
    const std::string path(pathText);
    auto data = std::make_shared<std::string>();
    files[path] = data;
    return std::make_unique<MemoryFile>(data);
}

} // namespace vela::test
