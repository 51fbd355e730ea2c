#include "installer/engine/tests/FakeEngineSystem.h"

#include <algorithm>
#include <cstring>

namespace vela::test {

bool FakeEngineSystem::CreateFolder(const std::string& path)
{
    foldersCreated.push_back(path);
    return existingFolders.insert(path).second;
}

bool FakeEngineSystem::ClearFileAttributes(const std::string& path)
{
    attributesCleared.push_back(path);
    return true;
}

bool FakeEngineSystem::PutFileInPlace(const std::string& from, const std::string& to)
{
    if (refuseReplace || existingFiles.count(from) == 0) return false;
    existingFiles.erase(from);
    existingFiles.insert(to);
    return true;
}

bool FakeEngineSystem::RunProcessAndWait(const ProcessCommand& command, int showState, std::uint32_t& code)
{
    runs.push_back({command.commandLine, showState, command.program});
    if (!processStarts) return false;
    code = exitCode;
    return true;
}

bool FakeEngineSystem::ShellOpen(const std::string& path, int showState)
{
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

RegistryKey FakeEngineSystem::OpenRegistryKey(RegistryRoot root, const std::string& path)
{
    const std::string name = KeyName(root, path);
    if (!path.empty() && !keys.count(name)) return kNoRegistryKey;
    handles_[next_] = name;
    return next_++;
}

RegistryKey FakeEngineSystem::CreateRegistrySubKey(RegistryKey parent, const std::string& name)
{
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

bool FakeEngineSystem::SetRegistryString(RegistryKey key, const std::string& name, const std::string& text)
{
    auto it = handles_.find(key);
    if (it == handles_.end()) return false;
    keys[it->second][name] = text;
    return true;
}

void FakeEngineSystem::CloseRegistryKey(RegistryKey key)
{
    handles_.erase(key);
}

ShellLinkOutcome FakeEngineSystem::SaveShellLink(const ShellLinkFields& fields, const std::string& linkPath)
{
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

bool FakePlatform::DesktopFolder(std::string& path)
{
    if (!desktopAvailable) return false;
    path = desktopFolder;
    return true;
}

std::unique_ptr<IBinaryFile> FakePlatform::OpenForReading(const std::string& path)
{
    auto it = files.find(path);
    if (it == files.end()) return nullptr;
    return std::make_unique<MemoryFile>(it->second);
}

std::unique_ptr<IBinaryFile> FakePlatform::CreateForWriting(const std::string& path)
{
    auto data = std::make_shared<std::string>();
    files[path] = data;
    return std::make_unique<MemoryFile>(data);
}

} // namespace vela::test
