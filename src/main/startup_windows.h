#pragma once
// The windows the start-up sequence opens, behind one interface: the skinned dialogs
// implement it, the headless run stands in where no dialog is shown, and tests record
// what was asked.
#include <cstdint>
#include <string>

namespace kbase {

// End codes of the install-mode choice.
enum KInstallModeEnd {
  kModeClosed = 5,             // the user closed the choice and confirmed
  kModeSafeInstall = 6,        // "软件安全安装"
  kModeNormal = 7,             // normal install, without asking
  kModeNormalThenSafe = 8,     // normal chosen, then "安全安装" in its confirmation
  kModeNormalConfirmed = 9,    // normal chosen and confirmed
};

class IStartupWindows {
 public:
  virtual ~IStartupWindows() = default;
  // An earlier product installation still waits for a reboot.
  virtual void ShowRebootNotice() = 0;
  // Modal; returns its end code.
  virtual int ShowInstallModeChoice(const std::wstring& install_res, int popup_style) = 0;
  // Modal: the main installer window, which drives the install pipeline. install_res is
  // empty when the window uses its built-in resources.
  virtual void ShowMainWindow(int32_t cid, int32_t tid, int32_t kid,
                              const std::wstring& install_res) = 0;
};

}  // namespace kbase
