#pragma once
// The installer's process-wide state: fixed-size GB2312 text buffers, flags
// and counters. The start-up fills it before the first page; the pages and
// the install engine read it. Every text is NUL-terminated inside its buffer.
#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vela {

// Buffer sizes in bytes, terminating zero included.
inline constexpr std::size_t kPackagePathSize = 280;   // own executable
inline constexpr std::size_t kTempPathSize = 320;      // temporary files
inline constexpr std::size_t kNameSize = 300;          // display name
inline constexpr std::size_t kInstallPathSize = 300;   // install folder
inline constexpr std::size_t kLogPathSize = 640;       // installPath\displayName + "file.ini"
inline constexpr std::size_t kGroupPathSize = 800;     // expanded program-group folder

struct InstallContext {
    // Start-up (package and script).
    char packagePath[kPackagePathSize] = {};
    std::int64_t packageDataBase = 0;      // package offset + script length
    std::int32_t packageFileCount = 0;     // header field 2
    char scriptFilePath[kTempPathSize] = {};
    char welcomeBitmapPath[kTempPathSize] = {};
    char splashBitmapPath[kTempPathSize] = {};
    char displayName[kNameSize] = {};
    char installPath[kInstallPathSize] = {};
    char installPathTail[kInstallPathSize] = {};
    bool showWelcomePages = false;
    bool registerUninstall = false;

    // Install engine.
    char dirLogPath[kLogPathSize] = {};
    char fileLogPath[kLogPathSize] = {};
    char startMenuGroupPath[kGroupPathSize] = {};
    // Shared between the progress page and the worker; one writer at a time.
    std::atomic<std::int32_t> progressCount{0};
    std::atomic<bool> cancelRequested{false};
    std::atomic<bool> installAborted{false};

    // Wizard.
    bool agreementAccepted = false;
};

// The one process-wide context of the installer program.
InstallContext& TheInstallContext();

} // namespace vela
