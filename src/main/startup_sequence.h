#pragma once
// The process entry and the start-up sequence: one instance at a time, the self-update,
// the crash filter and the firewall entry around a run that learns its channel, chooses
// and fills the working folder, opens the install-mode choice and the main window and
// removes the working folder again.
#include <string>

#include "main/startup_windows.h"

namespace kbase {

// What a run is made of besides its command line; tests replace the parts.
struct KStartupContext {
  std::wstring program_path;  // this program's file (name and appended resource block)
  IStartupWindows* windows = nullptr;
  // The update step and the alternative-package step; null skips them.
  int (*check_update)(const std::wstring& command_line) = nullptr;  // 1: ended by the update
  int (*alternative_package)(const std::wstring& install_res, const std::string& key) = nullptr;
};

// The whole process: always 0, as the process's exit code.
int RunInstallerProcess(const std::wstring& command_line, const KStartupContext& context);

// The start-up sequence alone (run settings are written as it goes).
void RunStartupSequence(const std::wstring& command_line, const KStartupContext& context);

// The text of the reboot notice and its single button.
inline constexpr wchar_t kRebootNoticeText[] =
    L"您安装Tovel后尚未重新启动系统，重启后即可\n享受Tovel的全面保护！";
inline constexpr wchar_t kRebootNoticeButton[] = L"我知道了";

}  // namespace kbase
