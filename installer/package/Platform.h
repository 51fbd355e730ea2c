#pragma once
// What the installer's portable core needs of the system. All texts and paths
// are GB2312 (code page 936) bytes; the Win32 implementation converts them at
// its boundary. The stub installs the Win32 implementation, the native tests
// a recording one, and the package builder the stdio-based file streams.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "installer/package/FixedText.h"

namespace vela {

// An open binary file. Destroying it closes the file.
class IBinaryFile {
public:
    virtual ~IBinaryFile() = default;
    // Moves to an absolute byte offset; false when the stream refuses.
    virtual bool Seek(std::uint64_t offset) = 0;
    // Reads up to size bytes; returns how many were read (short at the end).
    virtual std::size_t Read(void* buffer, std::size_t size) = 0;
    // Writes size bytes; returns how many were written.
    virtual std::size_t Write(const void* data, std::size_t size) = 0;
    // The file's whole length in bytes.
    virtual std::uint64_t Length() = 0;
};

// Local date and time as the system clock reports it.
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The five registry roots a setup may name.
enum class RegistryRoot {
    ClassesRoot,
    CurrentUser,
    LocalMachine,
    Users,
    CurrentConfig,
};

enum class RegistryReadResult {
    KeyNotOpened,  // the key could not be opened for reading
    ValueMissing,  // the key opened, the value is absent or not a string
    Read,          // the value was read
};

// A path or text the system reports, in GB2312 bytes: one the text cannot
// hold comes back empty and Overflowed, and is used as no path at all.
inline constexpr std::size_t kSystemPathSize = 1024;
using SystemPath = FixedText<kSystemPathSize>;

class IPlatform {
public:
    virtual ~IPlatform() = default;

    // Full path of the running program's own file.
    virtual SystemPath ModuleFileName() = 0;
    // The temporary folder as the system reports it (it may or may not end in
    // a backslash).
    virtual SystemPath TemporaryFolder() = 0;
    virtual LocalTime Now() = 0;
    // The Windows and system folders, without a trailing backslash.
    virtual SystemPath WindowsFolder() = 0;
    virtual SystemPath SystemFolder() = 0;
    // The desktop directory through the shell's item-identifier list; false
    // when the allocator, the location or its conversion to a path fails.
    virtual bool DesktopFolder(SystemPath& path) = 0;
    // Makes a folder the process's current folder; false when it does not
    // exist or cannot be entered (this is also the folder-existence test).
    virtual bool SetCurrentFolder(std::string_view path) = 0;
    virtual SystemPath CurrentFolder() = 0;

    // Reads a string value of a key opened for reading.
    virtual RegistryReadResult ReadRegistryString(RegistryRoot root, std::string_view keyPath,
                                                  std::string_view valueName,
                                                  SystemPath& value) = 0;

    // Starts the Windows sockets layer; false when it does not start.
    virtual bool StartSockets() = 0;

    // A modal message box without owner window, OK button. An empty caption
    // stands for the application's own title (the framework's message box).
    virtual void ShowMessage(std::string_view text, std::string_view caption) = 0;

    // Opens an existing file for binary reading; nullptr on failure.
    virtual std::unique_ptr<IBinaryFile> OpenForReading(std::string_view path) = 0;
    // Creates a file for binary writing, truncating an existing one; nullptr
    // on failure.
    virtual std::unique_ptr<IBinaryFile> CreateForWriting(std::string_view path) = 0;
    // Creates a file for binary writing only when no file of that name
    // exists (an existing one is never opened, truncated or trusted);
    // nullptr otherwise. The default asks first and then creates; a system
    // that can do both in one step (CREATE_NEW) overrides it.
    virtual std::unique_ptr<IBinaryFile> CreateNewForWriting(std::string_view path)
    {
        if (OpenForReading(path)) return nullptr;
        return CreateForWriting(path);
    }
    // Deletes a file; false when it could not be deleted.
    virtual bool RemoveFile(std::string_view path) = 0;
};

// Binary file streams over the C library, for the native build (package
// builder, tests). Paths are handed to fopen unchanged.
std::unique_ptr<IBinaryFile> OpenStdioFileForReading(const std::string& path);
std::unique_ptr<IBinaryFile> CreateStdioFileForWriting(const std::string& path);

// A read-only stream over bytes held in memory (writes are refused).
std::unique_ptr<IBinaryFile> OpenMemoryFile(std::string bytes);

} // namespace vela
