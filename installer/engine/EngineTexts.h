#pragma once
// The install engine's messages, captions and status lines, GB2312 bytes.
#include "installer/package/TextFields.h"  // Constant

namespace vela {

// 安装程序出错，安装失败！
inline constexpr const char kMsgInstallFailed[] =
    "\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\xB3\xF6\xB4\xED\xA3\xAC\xB0\xB2\xD7\xB0\xCA\xA7\xB0\xDC\xA3\xA1";
// 读取安装文件时出错!
inline constexpr const char kMsgInstallScriptError[] =
    "\xB6\xC1\xC8\xA1\xB0\xB2\xD7\xB0\xCE\xC4\xBC\xFE\xCA\xB1\xB3\xF6\xB4\xED!";
// 写注册表信息时出错!
inline constexpr const char kMsgRegistryWriteError[] =
    "\xD0\xB4\xD7\xA2\xB2\xE1\xB1\xED\xD0\xC5\xCF\xA2\xCA\xB1\xB3\xF6\xB4\xED!";
// 退出询问
inline constexpr const char kCaptionExitQuestion[] = "\xCD\xCB\xB3\xF6\xD1\xAF\xCE\xCA";
// 你确实想退出安装程序吗？ (the progress page's question)
inline constexpr const char kMsgCancelInstallQuestion[] =
    "\xC4\xE3\xC8\xB7\xCA\xB5\xCF\xEB\xCD\xCB\xB3\xF6\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\xC2\xF0\xA3\xBF";

// The progress page's texts: " 安装进度" (caption), "正在进行安装，请稍候 ..." (control
// 1011) and the status line's first text.
inline constexpr const char kProgressCaption[] = " \xB0\xB2\xD7\xB0\xBD\xF8\xB6\xC8";
inline constexpr const char kProgressNotice[] =
    "\xD5\xFD\xD4\xDA\xBD\xF8\xD0\xD0\xB0\xB2\xD7\xB0\xA3\xAC\xC7\xEB\xC9\xD4\xBA\xF2 ...";
// 正在复制文件 Setup.ini 到你的硬盘...
inline constexpr const char kStatusInitial[] =
    "\xD5\xFD\xD4\xDA\xB8\xB4\xD6\xC6\xCE\xC4\xBC\xFE Setup.ini \xB5\xBD\xC4\xE3\xB5\xC4\xD3\xB2\xC5\xCC...";
// "正在复制文件 " + file name + " 到你的硬盘..."
inline constexpr const char kStatusCopyStart[] = "\xD5\xFD\xD4\xDA\xB8\xB4\xD6\xC6\xCE\xC4\xBC\xFE ";
inline constexpr const char kStatusCopyEnd[] = " \xB5\xBD\xC4\xE3\xB5\xC4\xD3\xB2\xC5\xCC...";
// 正在对应用程序组件进行注册...
inline constexpr const char kStatusRegistering[] =
    "\xD5\xFD\xD4\xDA\xB6\xD4\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2\xD7\xE9\xBC\xFE\xBD\xF8\xD0\xD0\xD7\xA2\xB2\xE1...";
// 正在创建应用程序的快捷方式...
inline constexpr const char kStatusShortcuts[] =
    "\xD5\xFD\xD4\xDA\xB4\xB4\xBD\xA8\xD3\xA6\xD3\xC3\xB3\xCC\xD0\xF2\xB5\xC4\xBF\xEC\xBD\xDD\xB7\xBD\xCA\xBD...";
// 安装程序正在更新你的系统...
inline constexpr const char kStatusUpdating[] =
    "\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\xD5\xFD\xD4\xDA\xB8\xFC\xD0\xC2\xC4\xE3\xB5\xC4\xCF\xB5\xCD\xB3...";

// 卸载 (the uninstall shortcut's name is this followed by the display name)
inline constexpr const char kUninstallPrefix[] = "\xD0\xB6\xD4\xD8";
// The uninstaller's file name in the Windows folder, with its backslash.
inline constexpr const char kUninstallerName[] = "\\VelaUnInsApp.exe";
// The Uninstall key under HKEY_LOCAL_MACHINE and its two values.
inline constexpr const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char kDisplayNameValue[] = "DisplayName";
inline constexpr const char kUninstallStringValue[] = "UninstallString";

} // namespace vela
