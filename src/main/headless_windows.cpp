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
  if (pipeline._Init(cid, tid) != 0) return;  // _Init has ended the pipeline itself
  pipeline.set_install_path(DefaultInstallPath());
  const int checked = pipeline._RunDetector(kActionCheckAndDownload | kActionVerify);
  pipeline._RunDetector(checked == 0 ? kActionLoad | kActionRunList : kActionRunList);
  pipeline.Uninit();
}

}  // namespace kbase
