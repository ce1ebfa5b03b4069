#pragma once
// The start-up windows for a run without dialogs: nothing is asked, the reboot notice
// goes to the log, the install-mode choice counts as a normal install, and the main
// window's work (the install pipeline, driven as its worker drives it) runs on the
// calling thread with the default install folder.
#include "main/startup_windows.h"

namespace kbase {

class KHeadlessWindows : public IStartupWindows {
 public:
  void ShowRebootNotice() override;
  int ShowInstallModeChoice(const std::wstring& install_res, int popup_style) override;
  void ShowMainWindow(int32_t cid, int32_t tid, int32_t kid,
                      const std::wstring& install_res) override;
};

// The Program Files folder, or "c:\program files" when it cannot be read, followed by
// "\vesmark\vesmark antivirus\".
std::wstring DefaultInstallPath();

}  // namespace kbase
