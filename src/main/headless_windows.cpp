#include "main/headless_windows.h"

#include <windows.h>
#include <shlobj.h>

#include "main/install_log.h"
#include "main/kmain.h"
#include "main/startup_sequence.h"

namespace kbase {

std::wstring DefaultInstallPath() {
  wchar_t folder[MAX_PATH] = {};
  std::wstring path = SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE)
                          ? folder
                          : L"c:\\program files";
  return path + L"\\vesmark\\vesmark antivirus\\";
}

void KHeadlessWindows::ShowRebootNotice() { KLogW(L"%ls", kRebootNoticeText); }

int KHeadlessWindows::ShowInstallModeChoice(const std::wstring&, int) { return kModeNormal; }

void KHeadlessWindows::ShowMainWindow(int32_t cid, int32_t tid, int32_t kid,
                                      const std::wstring&) {
  KMain pipeline(kid);
  init_result_ = pipeline._Init(cid, tid);
  if (init_result_ != 0) return;  // _Init has ended the pipeline itself
  pipeline.set_install_path(DefaultInstallPath());
  check_result_ = pipeline._RunDetector(kActionCheckAndDownload | kActionVerify);
  load_result_ = pipeline._RunDetector(check_result_ == 0 ? kActionLoad | kActionRunList
                                                          : kActionRunList);
  pipeline.Uninit();
}

}  // namespace kbase
